#include "DesignStoreApi.h"

#include "StandInRequest.h"

#include <QDateTime>
#include <QJsonObject>

namespace standin {

DesignStoreApi::DesignStoreApi(StandInState& state)
    : m_state(state)
{
}

void DesignStoreApi::addRoutes(StandInState::Routes& routes)
{
    routes.insert(QStringLiteral("template/saveNew"), [this](const StandInRequest& r) { return saveNew(r); });
    routes.insert(QStringLiteral("template/open"), [this](const StandInRequest& r) { return open(r); });
    routes.insert(QStringLiteral("template/report"), [this](const StandInRequest& r) { return report(r); });
}

StandInReply DesignStoreApi::saveNew(const StandInRequest& request) const
{
    StandInReply refused;
    const Accounts::Account* account
        = m_state.admit(request, { QStringLiteral("name"), QStringLiteral("url"), QStringLiteral("image") }, &refused);
    if (!account)
        return refused;
    const QString name = request.field(QStringLiteral("name"));
    if (name.trimmed().isEmpty())
        return StandInReply::refuse(QStringLiteral("The file name cannot be empty"));
    const QString package = m_state.objects.designKey(request.field(QStringLiteral("url")));
    const QString image = m_state.objects.designKey(request.field(QStringLiteral("image")));
    if (package.isEmpty() || image.isEmpty())
        return StandInReply::refuse(QStringLiteral("The design's files are not in the store"));
    const bool overwrite = request.field(QStringLiteral("force")) == QLatin1String("1");
    const Records::SaveResult result
        = m_state.records.save(account->id, name, package, image, overwrite, QDateTime::currentSecsSinceEpoch());
    if (result == Records::NameTaken)
        return StandInReply::refuse(QStringLiteral("The file name already exists"));
    m_state.note(QStringLiteral("saved ") + name);
    return StandInReply::ok(
        QJsonValue(), result == Records::Replaced ? QStringLiteral("Replaced") : QStringLiteral("Saved"));
}

StandInReply DesignStoreApi::open(const StandInRequest& request) const
{
    StandInReply refused;
    if (!m_state.admit(request, { QStringLiteral("share_code"), QStringLiteral("password") }, &refused))
        return refused;
    const Records::Record* record = m_state.records.findShared(
        request.field(QStringLiteral("share_code")), request.field(QStringLiteral("password")));
    if (!record)
        return StandInReply::refuse(QStringLiteral("No record found"));
    return StandInReply::ok(QJsonObject { { QStringLiteral("url"), Records::packageAddress(*record, request.origin()) },
        { QStringLiteral("name"), record->name } });
}

StandInReply DesignStoreApi::report(const StandInRequest& request) const
{
    StandInReply refused;
    if (!m_state.admit(request, { QStringLiteral("name"), QStringLiteral("url") }, &refused))
        return refused;
    const QString name = request.field(QStringLiteral("name"));
    const QString url = request.field(QStringLiteral("url"));
    if (name.isEmpty() || !url.startsWith(QLatin1String("http")))
        return StandInReply::refuse(QStringLiteral("A report needs the file's name and address"));
    m_state.note(QStringLiteral("reported ") + name + QLatin1Char(' ') + url);
    return StandInReply::ok();
}

} // namespace standin
