#pragma once

#include <QDate>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace standin {

struct StandInRequest;

// The accounts of the stand-in and the sign-in tokens handed out to them.
class Accounts
{
public:
    struct Account
    {
        int id = 0;
        QString mobile;
        QString password;
        QString username;
        QString area;
        int allowtype = 0;
        int viewsPerDay = 0;
        int viewsToday = 0;
        QDate viewsDate;
        QJsonObject rights;
        int savedVersions = 0;
        int cutRecords = 0;
        // The cutting devices listed for the account.
        QJsonArray printers;
    };

    void load(const QJsonArray& accounts);
    const QList<Account>& all() const { return m_accounts; }

    Account* byMobile(const QString& mobile);
    // The account whose token the request carries in its "token" header.
    Account* byRequest(const StandInRequest& request);
    QString issueToken(const Account& account);
    // A changed password signs the account out everywhere.
    void dropTokens(int accountId);
    // Counts one template view; false when today's views are used up.
    bool countView(Account& account);

    // The "userinfo" object of the account.
    static QJsonObject userInfo(const Account& account);

private:
    QList<Account> m_accounts;
    QHash<QString, int> m_tokens;
};

} // namespace standin
