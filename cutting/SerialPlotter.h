#pragma once

#include "AbstractPlotter.h"
#include "DeviceRecord.h"

class QSerialPort;

// Writes the job to a serial or USB-serial plotter (/dev/ttyS*,
// /dev/ttyUSB*) with the device's line settings.
class SerialPlotter : public AbstractPlotter
{
    Q_OBJECT
public:
    explicit SerialPlotter(const DeviceRecord& device, QObject* parent = nullptr);
    ~SerialPlotter() override;

protected:
    bool open() override;
    void close() override;
    bool write(const char* data, qint64 size) override;
    bool flush() override;
    QString errorString() const override { return m_error; }

private:
    bool configure();
    bool waitWritten();
    bool portError();

    DeviceRecord m_device;
    QSerialPort* m_port = nullptr;
    QString m_error;
};
