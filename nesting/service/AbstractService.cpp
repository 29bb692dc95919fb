#include "AbstractService.h"

#include "AssertionError.h"
#include "CGlobalConfig.h"
#include "TcpRequestImpl.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString kErrorPrefix = QStringLiteral("_err://helm/");

// "name:value" split at its last colon, as host and port or account and
// password; false when either side is empty.
bool splitPair(const QString& text, QString& first, QString& second)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    first = text.left(colon).trimmed();
    second = text.mid(colon + 1).trimmed();
    return colon > 0 && !first.isEmpty() && !second.isEmpty();
}
} // namespace

AbstractService::AbstractService(std::unique_ptr<AbstractRequestImpl> transport)
    : m_transport(transport ? std::move(transport) : std::make_unique<HelmSystem::TcpRequestImpl>())
{
}

AbstractService::~AbstractService() = default;

QString AbstractService::connect()
{
    QString host;
    QString portText;
    bool numeric = false;
    const QString address = g_config.getSetting(QStringLiteral("NestingServer")).toString();
    const uint port = splitPair(address, host, portText) ? portText.toUInt(&numeric) : 0;
    if (!numeric || port == 0 || port > 65535)
        return makeError(BadSetting,
            QCoreApplication::translate("AbstractService", "The nesting server address \"%1\" is not valid.")
                .arg(address));
    const QString failure = m_transport->open(host, quint16(port), m_timeout);
    if (!failure.isEmpty())
        return makeError(NetworkFailure, failure);
    return request(CommandParameter(g_heartbeat));
}

QString AbstractService::login()
{
    QString account;
    QString password;
    if (!splitPair(g_config.getSetting(QStringLiteral("NestingAccount")).toString(), account, password))
        return makeError(BadSetting, QCoreApplication::translate("AbstractService", "The nesting account is not set."));
    return request(CommandParameter(QStringLiteral("login"),
        QJsonObject { { QStringLiteral("account"), account }, { QStringLiteral("password"), password } }));
}

QString AbstractService::request(const CommandParameter& command)
{
    if (!m_transport->isOpen())
        throw HelmSystem::AssertionError("request on a nesting service that is not connected");
    QByteArray reply;
    const QString failure = m_transport->exchange(command.toPayload(), reply, m_timeout);
    if (!failure.isEmpty())
        return makeError(NetworkFailure, failure);
    const QString text = QString::fromUtf8(reply);
    if (isError(text))
        return text;
    if (!QJsonDocument::fromJson(reply).isObject()) {
        m_transport->close();
        return makeError(Malformed,
            QCoreApplication::translate("AbstractService", "The nesting server sent a reply that cannot be read."));
    }
    return text;
}

QString AbstractService::logout()
{
    if (!m_transport->isOpen())
        return QString();
    const QString reply = request(CommandParameter(QStringLiteral("logout")));
    m_transport->close();
    return reply;
}

bool AbstractService::isConnected() const
{
    return m_transport->isOpen();
}

QString AbstractService::makeError(int code, const QString& message)
{
    return kErrorPrefix + QString::number(code) + QLatin1Char('/') + message;
}

bool AbstractService::isError(const QString& reply)
{
    return reply.startsWith(kErrorPrefix);
}

int AbstractService::errorCode(const QString& reply)
{
    return isError(reply) ? reply.mid(kErrorPrefix.size()).section(QLatin1Char('/'), 0, 0).toInt() : 0;
}

QString AbstractService::errorMessage(const QString& reply)
{
    return isError(reply) ? reply.mid(kErrorPrefix.size()).section(QLatin1Char('/'), 1) : QString();
}
