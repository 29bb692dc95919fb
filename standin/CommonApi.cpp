#include "CommonApi.h"

#include "StandInRequest.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>

namespace standin {

CommonApi::CommonApi(StandInState& state)
    : m_state(state)
{
}

void CommonApi::addRoutes(StandInState::Routes& routes)
{
    routes.insert(QStringLiteral("common/getAdminParams"), [this](const StandInRequest& r) { return adminParams(r); });
    routes.insert(QStringLiteral("common/checkUpdate"), [this](const StandInRequest& r) { return checkUpdate(r); });
    routes.insert(
        QStringLiteral("common/getSettingConfigbyid"), [this](const StandInRequest& r) { return getSettings(r); });
    routes.insert(
        QStringLiteral("common/setSettingConfigbyid"), [this](const StandInRequest& r) { return setSettings(r); });
}

bool CommonApi::isKnownAdmin(const QString& id) const
{
    return !id.isEmpty() && m_state.admins.contains(id);
}

StandInReply CommonApi::adminParams(const StandInRequest& request) const
{
    StandInReply refused;
    if (!StandInState::hasFields(request, { QStringLiteral("admin_id") }, &refused))
        return refused;
    const QString id = request.field(QStringLiteral("admin_id"));
    if (!isKnownAdmin(id))
        return StandInReply::refuse(QStringLiteral("Unknown channel"));
    return StandInReply::ok(m_state.admins.value(id));
}

StandInReply CommonApi::checkUpdate(const StandInRequest& request) const
{
    StandInReply refused;
    if (!StandInState::hasFields(request, { QStringLiteral("_id"), QStringLiteral("_version") }, &refused))
        return refused;
    if (!isKnownAdmin(request.field(QStringLiteral("_id"))))
        return StandInReply::refuse(QStringLiteral("Unknown channel"));
    const QString version = request.field(QStringLiteral("_version"));
    QJsonObject reply { { QStringLiteral("code"), 0 },
        { QStringLiteral("msg"), QStringLiteral("Already the latest version") }, { QStringLiteral("url"), QString() },
        { QStringLiteral("data"), QJsonValue() } };
    if (StandInState::compareVersions(version, m_state.latestVersion) < 0) {
        reply.insert(QStringLiteral("code"), 1);
        reply.insert(QStringLiteral("msg"), QStringLiteral("A new version is available"));
        reply.insert(QStringLiteral("url"),
            request.origin() + QStringLiteral("downloads/ZoCut-%1.exe").arg(m_state.latestVersion));
        reply.insert(QStringLiteral("data"), QJsonObject { { QStringLiteral("version"), m_state.latestVersion } });
    }
    return StandInReply::json(reply);
}

QString CommonApi::settingsPath(const QString& id) const
{
    return m_state.dataFolder + QStringLiteral("/settings/") + id + QStringLiteral(".json");
}

// The reply is the stored settings object itself, which the program keeps
// whole as its account settings; {} while none were stored.
StandInReply CommonApi::getSettings(const StandInRequest& request) const
{
    StandInReply refused;
    if (!StandInState::hasFields(request, { QStringLiteral("id") }, &refused))
        return refused;
    const QString id = request.field(QStringLiteral("id"));
    if (!isKnownAdmin(id))
        return StandInReply::refuse(QStringLiteral("Unknown id"));
    QFile file(settingsPath(id));
    const QJsonObject settings
        = file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
    return StandInReply::json(settings);
}

StandInReply CommonApi::setSettings(const StandInRequest& request) const
{
    StandInReply refused;
    if (!StandInState::hasFields(request, { QStringLiteral("id"), QStringLiteral("content") }, &refused))
        return refused;
    const QString id = request.field(QStringLiteral("id"));
    if (!isKnownAdmin(id))
        return StandInReply::refuse(QStringLiteral("Unknown id"));
    const QJsonDocument content = QJsonDocument::fromJson(request.field(QStringLiteral("content")).toUtf8());
    if (!content.isObject())
        return StandInReply::refuse(QStringLiteral("content is not a JSON object"));
    QDir().mkpath(m_state.dataFolder + QStringLiteral("/settings"));
    QSaveFile file(settingsPath(id));
    if (!file.open(QIODevice::WriteOnly) || file.write(content.toJson()) < 0 || !file.commit())
        return StandInReply::refuse(QStringLiteral("Settings not saved"));
    return StandInReply::ok(QJsonValue(), QStringLiteral("Saved"));
}

} // namespace standin
