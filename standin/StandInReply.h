#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace standin {

// What the stand-in answers. Web API replies are the envelope
// {"code", "msg", "data"}, written indented as some servers do.
struct StandInReply
{
    int status = 200;
    QByteArray contentType = QByteArrayLiteral("application/json; charset=utf-8");
    QByteArray body;

    static StandInReply json(const QJsonObject& object, int status = 200);
    static StandInReply envelope(int code, const QString& msg, const QJsonValue& data = QJsonValue());
    static StandInReply ok(const QJsonValue& data = QJsonValue(), const QString& msg = QStringLiteral("ok"));
    static StandInReply refuse(const QString& msg);
    static StandInReply missing(const QString& field);
    // A request without a valid "token" header.
    static StandInReply signInFirst();
    static StandInReply notFound();
    static StandInReply file(const QByteArray& bytes, const QByteArray& contentType);
};

} // namespace standin
