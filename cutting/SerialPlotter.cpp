#include "SerialPlotter.h"

#include <QSerialPort>

#include <algorithm>

namespace {
QSerialPort::DataBits dataBitsOf(int bits)
{
    switch (bits) {
    case 5:
        return QSerialPort::Data5;
    case 6:
        return QSerialPort::Data6;
    case 7:
        return QSerialPort::Data7;
    default:
        return QSerialPort::Data8;
    }
}

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
    return setError(m_port ? m_port->errorString() : tr("No serial port"));
}

bool SerialPlotter::configure()
{
    return m_port->setBaudRate(m_device.baudRate()) && m_port->setDataBits(dataBitsOf(m_device.dataBits()))
        && m_port->setParity(parityOf(m_device.parity()))
        && m_port->setStopBits(m_device.stopBits() == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop)
        && m_port->setFlowControl(flowOf(m_device.flowControl()));
}

bool SerialPlotter::open()
{
    // Created here, on the driver's thread, which then owns it.
    m_port = new QSerialPort(m_device.port());
    // The system may still be sending the job's last bytes when the port
    // closes; the line settings of before, put back then, would garble them.
    // Qt 5.15 marks the switch deprecated but offers no other way.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    m_port->setSettingsRestoredOnClose(false);
    QT_WARNING_POP
    if (m_device.port().isEmpty())
        return setError(tr("No port is set for the device"));
    // The port's queue holds a quarter of a second of the line (ten bits a
    // byte), and no less than the default: enough that a fast line is not
    // starved between two looks at it, little for a stop to wait for.
    setQueueLimit(std::max(int(kQueueLimit), m_device.baudRate() / 40));
    return (m_port->open(QIODevice::WriteOnly) && configure()) || portError();
}

void SerialPlotter::close()
{
    if (m_port)
        m_port->close();
    delete m_port;
    m_port = nullptr;
}

qint64 SerialPlotter::write(const char* data, qint64 size)
{
    return writeDescriptor(int(m_port->handle()), data, size);
}
