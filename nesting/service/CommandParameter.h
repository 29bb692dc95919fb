#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// One request of the nesting service: a command name and its parameters,
// sent as the text "helm://" + name, a line break and the parameters as a
// JSON object.
class CommandParameter
{
public:
    CommandParameter() = default;
    explicit CommandParameter(const QString& command, const QJsonObject& parameters = QJsonObject());

    QString command() const { return m_command; }
    QJsonObject parameters() const { return m_parameters; }

    QByteArray toPayload() const;
    // False for a text that is not such a request.
    static bool fromPayload(const QByteArray& payload, CommandParameter& out);

private:
    QString m_command;
    QJsonObject m_parameters;
};
