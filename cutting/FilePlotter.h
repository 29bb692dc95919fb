#pragma once

#include "AbstractPlotter.h"

#include <QString>

// Writes the job to a file or to a plotter's device file (USB printer-class
// cutters appear as /dev/usb/lp*). The device is written without blocking,
// so a plotter that stops taking data fails the job after the time-out.
class FilePlotter : public AbstractPlotter
{
    Q_OBJECT
public:
    explicit FilePlotter(const QString& path, QObject* parent = nullptr);
    ~FilePlotter() override;

protected:
    bool open() override;
    void close() override;
    qint64 write(const char* data, qint64 size) override;
    bool flush() override;

private:
    QString m_path;
    int m_fd = -1;
};
