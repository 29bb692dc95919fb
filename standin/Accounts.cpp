#include "Accounts.h"

#include "StandInRequest.h"

#include <QRandomGenerator>

namespace standin {

void Accounts::load(const QJsonArray& accounts)
{
    for (const QJsonValue& value : accounts) {
        const QJsonObject object = value.toObject();
        Account account;
        account.id = object.value(QStringLiteral("id")).toInt();
        account.mobile = object.value(QStringLiteral("mobile")).toString();
        account.password = object.value(QStringLiteral("password")).toString();
        account.username = object.value(QStringLiteral("username")).toString();
        account.area = object.value(QStringLiteral("area")).toString();
        account.allowtype = object.value(QStringLiteral("allowtype")).toInt();
        account.viewsPerDay = object.value(QStringLiteral("viewsPerDay")).toInt();
        account.rights = object.value(QStringLiteral("rights")).toObject();
        account.savedVersions = object.value(QStringLiteral("savedVersions")).toInt();
        account.cutRecords = object.value(QStringLiteral("cutRecords")).toInt();
        account.printers = object.value(QStringLiteral("printers")).toArray();
        m_accounts.append(account);
    }
}

Accounts::Account* Accounts::byMobile(const QString& mobile)
{
    for (Account& account : m_accounts) {
        if (account.mobile == mobile)
            return &account;
    }
    return nullptr;
}

Accounts::Account* Accounts::byRequest(const StandInRequest& request)
{
    const QString token = QString::fromLatin1(request.header("token"));
    if (token.isEmpty() || !m_tokens.contains(token))
        return nullptr;
    const int id = m_tokens.value(token);
    for (Account& account : m_accounts) {
        if (account.id == id)
            return &account;
    }
    return nullptr;
}

QString Accounts::issueToken(const Account& account)
{
    QString token;
    for (int i = 0; i < 4; ++i)
        token += QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, QLatin1Char('0'));
    m_tokens.insert(token, account.id);
    return token;
}

void Accounts::dropTokens(int accountId)
{
    for (auto it = m_tokens.begin(); it != m_tokens.end();) {
        if (it.value() == accountId)
            it = m_tokens.erase(it);
        else
            ++it;
    }
}

bool Accounts::countView(Account& account)
{
    const QDate today = QDate::currentDate();
    if (account.viewsDate != today) {
        account.viewsDate = today;
        account.viewsToday = 0;
    }
    if (account.viewsToday >= account.viewsPerDay)
        return false;
    ++account.viewsToday;
    return true;
}

QJsonObject Accounts::userInfo(const Account& account)
{
    QJsonObject info = account.rights;
    info.insert(QStringLiteral("id"), account.id);
    info.insert(QStringLiteral("username"), account.username);
    info.insert(QStringLiteral("mobile"), account.mobile);
    info.insert(QStringLiteral("area"), account.area);
    info.insert(QStringLiteral("allowtype"), account.allowtype);
    return info;
}

} // namespace standin
