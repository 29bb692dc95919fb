#include "RecordApi.h"

#include "StandInRequest.h"

#include <QDateTime>

namespace standin {

namespace {
const int kLargestPage = 100;
} // namespace

RecordApi::RecordApi(StandInState& state)
    : m_state(state)
{
}

void RecordApi::addRoutes(StandInState::Routes& routes)
{
    routes.insert(QStringLiteral("template/myTemplateNew"),
        [this](const StandInRequest& r) { return list(Records::SavedVersion, r); });
    routes.insert(
        QStringLiteral("template/cutlogNew"), [this](const StandInRequest& r) { return list(Records::CutRecord, r); });
    routes.insert(QStringLiteral("template/share"), [this](const StandInRequest& r) { return share(r); });
    routes.insert(QStringLiteral("template/del"), [this](const StandInRequest& r) { return remove(r); });
    routes.insert(QStringLiteral("template/cutlogSave"), [this](const StandInRequest& r) { return saveCut(r); });
}

StandInReply RecordApi::list(Records::Kind kind, const StandInRequest& request) const
{
    StandInReply refused;
    const Accounts::Account* account = m_state.admit(
        request, { QStringLiteral("keywords"), QStringLiteral("limit"), QStringLiteral("page") }, &refused);
    if (!account)
        return refused;
    const int limit = request.field(QStringLiteral("limit")).toInt();
    if (limit < 1 || limit > kLargestPage)
        return StandInReply::refuse(QStringLiteral("limit must be between 1 and %1").arg(kLargestPage));
    // Page 0 is read as the first page.
    return StandInReply::ok(m_state.records.page(kind, account->id, request.field(QStringLiteral("keywords")), limit,
        request.field(QStringLiteral("page")).toInt(), request.origin()));
}

StandInReply RecordApi::share(const StandInRequest& request) const
{
    StandInReply refused;
    const Accounts::Account* account
        = m_state.admit(request, { QStringLiteral("id"), QStringLiteral("type") }, &refused);
    if (!account)
        return refused;
    const QString type = request.field(QStringLiteral("type"));
    if (type != QLatin1String("share") && type != QLatin1String("unshare"))
        return StandInReply::refuse(QStringLiteral("Unknown type"));
    Records::Record* record
        = m_state.records.find(Records::SavedVersion, account->id, request.field(QStringLiteral("id")).toInt());
    if (!record)
        return StandInReply::refuse(QStringLiteral("No such record"));
    if (type == QLatin1String("unshare")) {
        record->status = QStringLiteral("hidden");
        record->password.clear();
        return StandInReply::ok();
    }
    record->status = QStringLiteral("normal");
    if (record->password.isEmpty())
        record->password = QString::number(1000 + record->id % 9000);
    return StandInReply::ok(QJsonObject {
        { QStringLiteral("password"), record->password }, { QStringLiteral("share_code"), record->shareCode } });
}

StandInReply RecordApi::remove(const StandInRequest& request) const
{
    StandInReply refused;
    const Accounts::Account* account = m_state.admit(request, { QStringLiteral("id") }, &refused);
    if (!account)
        return refused;
    if (!m_state.records.remove(Records::SavedVersion, account->id, request.field(QStringLiteral("id")).toInt()))
        return StandInReply::refuse(QStringLiteral("No such record"));
    return StandInReply::ok(QJsonValue(), QStringLiteral("Deleted"));
}

// The record of a cut; its package and preview must be in the store already.
StandInReply RecordApi::saveCut(const StandInRequest& request) const
{
    StandInReply refused;
    const Accounts::Account* account = m_state.admit(request,
        { QStringLiteral("name"), QStringLiteral("url"), QStringLiteral("image"), QStringLiteral("area") }, &refused);
    if (!account)
        return refused;
    const QString package = m_state.objects.designKey(request.field(QStringLiteral("url")));
    const QString preview = m_state.objects.designKey(request.field(QStringLiteral("image")));
    if (package.isEmpty() || preview.isEmpty())
        return StandInReply::refuse(QStringLiteral("The package or its preview is not in the store"));
    bool number = false;
    const double area = request.field(QStringLiteral("area")).toDouble(&number);
    if (!number || !(area >= 0))
        return StandInReply::refuse(QStringLiteral("area must be a number"));
    const QString name = request.field(QStringLiteral("name"));
    const int id = m_state.records.addCut(
        account->id, name, package, preview, request.field(QStringLiteral("area")), QDateTime::currentSecsSinceEpoch());
    m_state.note(QStringLiteral("cut ") + name);
    return StandInReply::ok(QJsonObject { { QStringLiteral("id"), id } });
}

} // namespace standin
