#include "DriverChannel.h"

#include <QDebug>
#include <QJsonDocument>

DriverChannel::DriverChannel(QObject* parent)
    : QObject(parent)
{
    connect(&m_socket, &QLocalSocket::readyRead, this, &DriverChannel::readLines);
    m_socket.connectToServer(name());
    if (!m_socket.waitForConnected(5000))
        qWarning().noquote() << "driver channel not connected:" << m_socket.errorString();
}

QString DriverChannel::name()
{
    return qEnvironmentVariable("ZOCUT_DRIVER_CHANNEL");
}

void DriverChannel::send(const QJSValue& message)
{
    m_socket.write(QJsonDocument::fromVariant(message.toVariant()).toJson(QJsonDocument::Compact) + '\n');
    m_socket.flush();
}

void DriverChannel::readLines()
{
    while (m_socket.canReadLine()) {
        const QJsonDocument line = QJsonDocument::fromJson(m_socket.readLine());
        if (line.isObject())
            emit received(line.toVariant());
    }
}
