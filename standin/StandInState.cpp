#include "StandInState.h"

#include "StandInRequest.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

static void initFixtureResource()
{
    Q_INIT_RESOURCE(standin);
}

namespace standin {

StandInState::StandInState(const QString& folder)
    : dataFolder(folder)
    , objects(folder)
{
    initFixtureResource();
    loadFixture();
}

void StandInState::loadFixture()
{
    QFile file(QStringLiteral(":/standin/fixture.json"));
    file.open(QIODevice::ReadOnly);
    const QJsonObject fixture = QJsonDocument::fromJson(file.readAll()).object();
    admins = fixture.value(QStringLiteral("admins")).toObject();
    latestVersion = fixture.value(QStringLiteral("latestVersion")).toString();
    minimumVersion = fixture.value(QStringLiteral("minimumVersion")).toString();
    accounts = Accounts();
    accounts.load(fixture.value(QStringLiteral("accounts")).toArray());
    catalogue = Catalogue();
    catalogue.load(
        fixture.value(QStringLiteral("categories")).toArray(), fixture.value(QStringLiteral("templates")).toArray());
    records = Records();
    records.generate(accounts.all(), designs.names());
}

void StandInState::note(const QString& event)
{
    events.append(event);
    while (events.size() > 1000)
        events.removeFirst();
}

int StandInState::compareVersions(const QString& left, const QString& right)
{
    const QStringList a = left.split(QLatin1Char('.'));
    const QStringList b = right.split(QLatin1Char('.'));
    for (int i = 0; i < qMax(a.size(), b.size()); ++i) {
        const int x = i < a.size() ? a.at(i).toInt() : 0;
        const int y = i < b.size() ? b.at(i).toInt() : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

Accounts::Account* StandInState::admit(const StandInRequest& request, const QStringList& fields, StandInReply* refused)
{
    Accounts::Account* account = accounts.byRequest(request);
    if (!account) {
        *refused = StandInReply::signInFirst();
        return nullptr;
    }
    return hasFields(request, fields, refused) ? account : nullptr;
}

bool StandInState::hasFields(const StandInRequest& request, const QStringList& fields, StandInReply* refused)
{
    for (const QString& field : fields) {
        if (!request.hasField(field)) {
            *refused = StandInReply::missing(field);
            return false;
        }
    }
    return true;
}

} // namespace standin
