#pragma once

#include "AbstractPlotter.h"
#include "DeviceRecord.h"

class QSerialPort;

// Writes the job to a serial or USB-serial plotter (/dev/ttyS*,
// /dev/ttyUSB*) with the device's line settings. The port sets the line up;
// the bytes go through its descriptor, so that the driver knows exactly
// which of them the system took, and the port's queue is kept short.
class SerialPlotter : public AbstractPlotter
{
    Q_OBJECT
public:
    explicit SerialPlotter(const DeviceRecord& device, QObject* parent = nullptr);
    ~SerialPlotter() override;

protected:
    bool open() override;
    void close() override;
    qint64 write(const char* data, qint64 size) override;
    // What the system took goes out on its own.
    bool flush() override { return true; }

private:
    bool configure();
    bool portError();

    DeviceRecord m_device;
    QSerialPort* m_port = nullptr;
};
