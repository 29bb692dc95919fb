#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// The envelope of every web API reply: {"code": 1 on success, "msg": the
// server's text, "data": the payload}. A reply whose "code" is not 1 is a
// refusal; a missing or non-numeric "code" counts as 0.
class ApiReply
{
public:
    static ApiReply parse(const QString& body);

    // The body was a JSON object (possibly empty).
    bool isObject() const { return m_isObject; }
    bool isEmpty() const { return m_object.isEmpty(); }
    // A JSON object whose "code" is a number: anything else cannot be told
    // from a refusal and is reported as unreadable.
    bool isEnvelope() const;
    // What the user is told about a reply that is no envelope.
    static QString unreadableText();
    int code() const;
    bool isSuccess() const { return code() == 1; }
    QString msg() const;
    QJsonValue data() const;
    const QJsonObject& object() const { return m_object; }

private:
    QJsonObject m_object;
    bool m_isObject = false;
};
