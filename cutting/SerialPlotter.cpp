#include "SerialPlotter.h"

#include <QElapsedTimer>
#include <QSerialPort>

namespace {
// A stop request is seen at least this often while the plotter is busy.
const int kWaitSliceMs = 200;

QSerialPort::Parity parityOf(const QString& text)
{
    if (text == QLatin1String("even"))
        return QSerialPort::EvenParity;
    return text == QLatin1String("odd") ? QSerialPort::OddParity : QSerialPort::NoParity;
}

QSerialPort::FlowControl flowOf(const QString& text)
{
    if (text == QLatin1String("hardware"))
        return QSerialPort::HardwareControl;
    return text == QLatin1String("software") ? QSerialPort::SoftwareControl : QSerialPort::NoFlowControl;
}
} // namespace

SerialPlotter::SerialPlotter(const DeviceRecord& device, QObject* parent)
    : AbstractPlotter(parent)
    , m_device(device)
{
}

SerialPlotter::~SerialPlotter()
{
    close();
}

bool SerialPlotter::portError()
{
    m_error = m_port ? m_port->errorString() : tr("No serial port");
    return false;
}

bool SerialPlotter::configure()
{
    return m_port->setBaudRate(m_device.baudRate())
        && m_port->setDataBits(m_device.dataBits() == 7 ? QSerialPort::Data7 : QSerialPort::Data8)
        && m_port->setParity(parityOf(m_device.parity()))
        && m_port->setStopBits(m_device.stopBits() == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop)
        && m_port->setFlowControl(flowOf(m_device.flowControl()));
}

bool SerialPlotter::open()
{
    // Created here, on the driver's thread, which then owns it.
    m_port = new QSerialPort(m_device.port());
    if (m_device.port().isEmpty()) {
        m_error = tr("No port is set for the device");
        return false;
    }
    return (m_port->open(QIODevice::WriteOnly) && configure()) || portError();
}

void SerialPlotter::close()
{
    if (m_port)
        m_port->close();
    delete m_port;
    m_port = nullptr;
}

bool SerialPlotter::waitWritten()
{
    QElapsedTimer waited;
    waited.start();
    while (m_port->bytesToWrite() > 0) {
        if (isStopping())
            return false;
        const qint64 before = m_port->bytesToWrite();
        if (!m_port->waitForBytesWritten(kWaitSliceMs) && m_port->error() != QSerialPort::TimeoutError)
            return portError();
        if (m_port->bytesToWrite() < before)
            waited.restart();
        else if (waited.elapsed() > timeoutMs()) {
            m_error = tr("The plotter takes no more data");
            return false;
        }
    }
    return true;
}

bool SerialPlotter::write(const char* data, qint64 size)
{
    if (m_port->write(data, size) != size)
        return portError();
    return waitWritten();
}

bool SerialPlotter::flush()
{
    return waitWritten();
}
