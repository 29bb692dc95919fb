#pragma once

#include "Accounts.h"
#include "Catalogue.h"
#include "FixtureDesigns.h"
#include "ObjectStore.h"
#include "Records.h"
#include "StandInReply.h"

#include <QHash>
#include <QJsonObject>
#include <QString>

#include <functional>

namespace standin {

struct StandInRequest;

// Everything the stand-in knows, from its fixture and from what clients
// sent it. The server handles one request at a time on it.
struct StandInState
{
    explicit StandInState(const QString& dataFolder);

    // Path under the API base (such as "user/index") to its handler.
    using Routes = QHash<QString, std::function<StandInReply(const StandInRequest&)>>;

    // Everything back as the fixture has it: accounts (with their passwords,
    // signed out), catalogue and records. Uploads stay.
    void loadFixture();

    // Compares dotted version numbers field by field.
    static int compareVersions(const QString& left, const QString& right);
    // The account whose token the request carries when it also carries all
    // the fields; null with the refusal set otherwise.
    Accounts::Account* admit(const StandInRequest& request, const QStringList& fields, StandInReply* refused);
    // False with the refusal set when the request lacks one of the fields.
    static bool hasFields(const StandInRequest& request, const QStringList& fields, StandInReply* refused);

    QString dataFolder;
    QJsonObject admins;
    QString latestVersion;
    QString minimumVersion;
    Accounts accounts;
    Catalogue catalogue;
    Records records;
    FixtureDesigns designs;
    ObjectStore objects;
    // What the services did, oldest first (the latest 1000): "stored
    // <bucket>/<key>", "saved <name>", "reported <name> <address>".
    QStringList events;
    void note(const QString& event);
};

} // namespace standin
