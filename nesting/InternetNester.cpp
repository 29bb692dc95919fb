#include "InternetNester.h"

#include "AbstractService.h"
#include "NestingJobFormat.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>

using namespace Vantor::Placement;

namespace {
QString unreadable()
{
    return QCoreApplication::translate("InternetNester", "The nesting server sent a reply that cannot be read.");
}
} // namespace

CommandParameter InternetNester::submitCommand(
    const QString& name, const QVector<PieceInfo>& pieces, const PlacementSettings& settings)
{
    return CommandParameter(QStringLiteral("submit"),
        { { QStringLiteral("name"), name }, { QStringLiteral("settings"), NestingJobFormat::settingsToJson(settings) },
            { QStringLiteral("pieces"), NestingJobFormat::piecesToJson(pieces) } });
}

CommandParameter InternetNester::jobCommand(const QString& command, const QString& job)
{
    return CommandParameter(command, { { QStringLiteral("job"), job } });
}

CommandParameter InternetNester::listCommand()
{
    return CommandParameter(QStringLiteral("jobs"));
}

bool InternetNester::readObject(const QString& reply, QJsonObject& object, QString& message)
{
    if (AbstractService::isError(reply)) {
        message = AbstractService::errorMessage(reply);
        return false;
    }
    object = QJsonDocument::fromJson(reply.toUtf8()).object();
    return true;
}

bool InternetNester::readJobId(const QString& reply, QString& job, QString& message)
{
    QJsonObject object;
    if (!readObject(reply, object, message))
        return false;
    job = object.value(QStringLiteral("job")).toString();
    if (job.isEmpty())
        message = unreadable();
    return !job.isEmpty();
}

bool InternetNester::readState(const QString& reply, JobState& state, QString& message)
{
    QJsonObject object;
    if (!readObject(reply, object, message))
        return false;
    state.job = object.value(QStringLiteral("job")).toString();
    state.state = object.value(QStringLiteral("state")).toString();
    state.placed = object.value(QStringLiteral("placed")).toInt();
    state.pieces = object.value(QStringLiteral("pieces")).toInt();
    state.length = object.value(QStringLiteral("length")).toDouble();
    state.error = object.value(QStringLiteral("error")).toString();
    state.refusal = NestingJobFormat::refusalFromJson(object.value(QStringLiteral("refusal")));
    static const QStringList states { QStringLiteral("running"), QStringLiteral("finished"), QStringLiteral("failed") };
    if (!states.contains(state.state))
        message = unreadable();
    return states.contains(state.state);
}

bool InternetNester::readPlacements(
    const QString& reply, QVector<PlacementInfo>& placements, double& length, QString& message)
{
    QJsonObject object;
    if (!readObject(reply, object, message))
        return false;
    length = object.value(QStringLiteral("length")).toDouble();
    const QJsonValue list = object.value(QStringLiteral("placements"));
    if (!list.isArray() || !NestingJobFormat::placementsFromJson(list.toArray(), placements)) {
        message = unreadable();
        return false;
    }
    return true;
}

bool InternetNester::readRunningCount(const QString& reply, int& count, QString& message)
{
    QJsonObject object;
    if (!readObject(reply, object, message))
        return false;
    const QJsonValue jobs = object.value(QStringLiteral("jobs"));
    if (!jobs.isArray()) {
        message = unreadable();
        return false;
    }
    count = 0;
    for (const QJsonValue& job : jobs.toArray())
        count += job.toObject().value(QStringLiteral("state")).toString() == QLatin1String("running");
    return true;
}
