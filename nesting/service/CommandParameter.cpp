#include "CommandParameter.h"

#include <QJsonDocument>
#include <QRegularExpression>

namespace {
const QByteArray kScheme = QByteArrayLiteral("helm://");
}

CommandParameter::CommandParameter(const QString& command, const QJsonObject& parameters)
    : m_command(command)
    , m_parameters(parameters)
{
}

QByteArray CommandParameter::toPayload() const
{
    return kScheme + m_command.toUtf8() + '\n' + QJsonDocument(m_parameters).toJson(QJsonDocument::Compact);
}

bool CommandParameter::fromPayload(const QByteArray& payload, CommandParameter& out)
{
    const int lineEnd = payload.indexOf('\n');
    if (!payload.startsWith(kScheme) || lineEnd < 0)
        return false;
    const QString command = QString::fromUtf8(payload.mid(kScheme.size(), lineEnd - kScheme.size()));
    static const QRegularExpression name(QStringLiteral("^[a-z]{1,32}$"));
    QJsonParseError error;
    const QJsonDocument parameters = QJsonDocument::fromJson(payload.mid(lineEnd + 1), &error);
    if (!name.match(command).hasMatch() || error.error != QJsonParseError::NoError || !parameters.isObject())
        return false;
    out = CommandParameter(command, parameters.object());
    return true;
}
