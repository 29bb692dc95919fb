#include "ApiReply.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonParseError>

ApiReply ApiReply::parse(const QString& body)
{
    ApiReply reply;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body.toUtf8(), &error);
    if (error.error == QJsonParseError::NoError && document.isObject()) {
        reply.m_object = document.object();
        reply.m_isObject = true;
    }
    return reply;
}

int ApiReply::code() const
{
    return m_object.value(QStringLiteral("code")).toInt(0);
}

QString ApiReply::msg() const
{
    return m_object.value(QStringLiteral("msg")).toString();
}

QJsonValue ApiReply::data() const
{
    return m_object.value(QStringLiteral("data"));
}

bool ApiReply::isEnvelope() const
{
    return m_isObject && m_object.value(QStringLiteral("code")).isDouble();
}

QString ApiReply::unreadableText()
{
    return QCoreApplication::translate("ApiReply", "The server's reply could not be read.");
}
