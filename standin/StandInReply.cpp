#include "StandInReply.h"

#include <QJsonDocument>

namespace standin {

StandInReply StandInReply::json(const QJsonObject& object, int status)
{
    StandInReply reply;
    reply.status = status;
    reply.body = QJsonDocument(object).toJson(QJsonDocument::Indented);
    return reply;
}

StandInReply StandInReply::envelope(int code, const QString& msg, const QJsonValue& data)
{
    return json(QJsonObject {
        { QStringLiteral("code"), code }, { QStringLiteral("msg"), msg }, { QStringLiteral("data"), data } });
}

StandInReply StandInReply::ok(const QJsonValue& data, const QString& msg)
{
    return envelope(1, msg, data);
}

StandInReply StandInReply::refuse(const QString& msg)
{
    return envelope(0, msg);
}

StandInReply StandInReply::missing(const QString& field)
{
    return refuse(QStringLiteral("Missing parameter: %1").arg(field));
}

StandInReply StandInReply::signInFirst()
{
    StandInReply reply = envelope(401, QStringLiteral("Please login first"));
    reply.status = 401;
    return reply;
}

StandInReply StandInReply::notFound()
{
    StandInReply reply = envelope(0, QStringLiteral("Not found"));
    reply.status = 404;
    return reply;
}

StandInReply StandInReply::file(const QByteArray& bytes, const QByteArray& contentType)
{
    StandInReply reply;
    reply.contentType = contentType;
    reply.body = bytes;
    return reply;
}

} // namespace standin
