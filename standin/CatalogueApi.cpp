#include "CatalogueApi.h"

#include "FieldCipher.h"
#include "StandInRequest.h"

#include <QJsonArray>

namespace standin {

CatalogueApi::CatalogueApi(StandInState& state)
    : m_state(state)
{
}

void CatalogueApi::addRoutes(StandInState::Routes& routes)
{
    routes.insert(QStringLiteral("template_new/category"), [this](const StandInRequest& r) { return category(r); });
    routes.insert(QStringLiteral("template_new/index"), [this](const StandInRequest& r) { return index(r); });
    routes.insert(QStringLiteral("template_new/view"), [this](const StandInRequest& r) { return view(r); });
}

QStringList CatalogueApi::values(const QString& keywords)
{
    QStringList values = keywords.split(QLatin1Char('-'));
    if (!values.isEmpty() && values.last().isEmpty())
        values.removeLast();
    return values;
}

StandInReply CatalogueApi::category(const StandInRequest& request) const
{
    StandInReply refused;
    if (!m_state.admit(
            request, { QStringLiteral("cate"), QStringLiteral("keywords"), QStringLiteral("lang") }, &refused))
        return refused;
    const QString language = request.field(QStringLiteral("lang"));
    if (!Catalogue::kLanguages.contains(language))
        return StandInReply::refuse(QStringLiteral("Unknown language"));
    const QStringList picked = values(request.field(QStringLiteral("keywords")));
    // Each level asks for the entries of the level below what it picked.
    if (picked.size() >= Catalogue::kLevels.size()
        || request.field(QStringLiteral("cate")) != Catalogue::kLevels.at(picked.size()))
        return StandInReply::refuse(QStringLiteral("The category does not follow the keywords"));
    QJsonArray entries;
    m_state.catalogue.entries(picked, language, &entries);
    return StandInReply::ok(entries);
}

QJsonObject CatalogueApi::templateRow(const QJsonObject& entry)
{
    QJsonObject row;
    for (const char* key : { "id", "name1", "name2", "name3", "area" })
        row.insert(QLatin1String(key), entry.value(QLatin1String(key)));
    row.insert(QStringLiteral("code"),
        FieldCipher::encrypt(QStringLiteral("designs/") + entry.value(QStringLiteral("design")).toString()));
    return row;
}

StandInReply CatalogueApi::index(const StandInRequest& request) const
{
    StandInReply refused;
    if (!m_state.admit(request, { QStringLiteral("keywords"), QStringLiteral("lang") }, &refused))
        return refused;
    QJsonArray rows;
    const QList<QJsonObject> found = m_state.catalogue.templatesAt(
        values(request.field(QStringLiteral("keywords"))), request.field(QStringLiteral("lang")));
    for (const QJsonObject& entry : found)
        rows.append(templateRow(entry));
    return StandInReply::ok(QJsonObject { { QStringLiteral("total"), rows.size() }, { QStringLiteral("data"), rows } });
}

StandInReply CatalogueApi::view(const StandInRequest& request) const
{
    StandInReply refused;
    Accounts::Account* account = m_state.admit(request, { QStringLiteral("id") }, &refused);
    if (!account)
        return refused;
    if (m_state.catalogue.findTemplate(request.field(QStringLiteral("id")).toInt()).isEmpty())
        return StandInReply::refuse(QStringLiteral("No such template"));
    if (!m_state.accounts.countView(*account))
        return StandInReply::refuse(QStringLiteral("今日查看次数已用完"));
    return StandInReply::ok();
}

} // namespace standin
