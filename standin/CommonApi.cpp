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

QString CommonApi::channel(
    const StandInRequest& request, const QStringList& fields, const QString& unknown, StandInReply* refused) const
{
    if (!StandInState::hasFields(request, fields, refused))
        return QString();
    const QString id = request.field(fields.first());
    if (id.isEmpty() || !m_state.admins.contains(id)) {
        *refused = StandInReply::refuse(unknown);
        return QString();
    }
    return id;
}

StandInReply CommonApi::adminParams(const StandInRequest& request) const
{
    StandInReply refused;
    const QString id = channel(request, { QStringLiteral("admin_id") }, QStringLiteral("Unknown channel"), &refused);
    if (id.isEmpty())
        return refused;
    return StandInReply::ok(m_state.admins.value(id));
}

StandInReply CommonApi::checkUpdate(const StandInRequest& request) const
{
    StandInReply refused;
    if (channel(
            request, { QStringLiteral("_id"), QStringLiteral("_version") }, QStringLiteral("Unknown channel"), &refused)
            .isEmpty())
        return refused;
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
    const QString id = channel(request, { QStringLiteral("id") }, QStringLiteral("Unknown id"), &refused);
    if (id.isEmpty())
        return refused;
    QFile file(settingsPath(id));
    const QJsonObject settings
        = file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
    return StandInReply::json(settings);
}

StandInReply CommonApi::setSettings(const StandInRequest& request) const
{
    StandInReply refused;
    const QString id
        = channel(request, { QStringLiteral("id"), QStringLiteral("content") }, QStringLiteral("Unknown id"), &refused);
    if (id.isEmpty())
        return refused;
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
