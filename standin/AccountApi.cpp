#include "AccountApi.h"

#include "StandInRequest.h"

namespace standin {

const QString AccountApi::kSignInPath = QStringLiteral("user/loginNewNNNN");

AccountApi::AccountApi(StandInState& state)
    : m_state(state)
{
}

void AccountApi::addRoutes(StandInState::Routes& routes)
{
    routes.insert(kSignInPath, [this](const StandInRequest& r) { return signIn(r); });
    routes.insert(QStringLiteral("user/index"), [this](const StandInRequest& r) { return userIndex(r); });
    routes.insert(QStringLiteral("user/changepwd"), [this](const StandInRequest& r) { return changePassword(r); });
    routes.insert(QStringLiteral("user/printer_lists"), [this](const StandInRequest& r) { return printerList(r); });
}

StandInReply AccountApi::signIn(const StandInRequest& request) const
{
    StandInReply refused;
    if (!StandInState::hasFields(request,
            { QStringLiteral("account"), QStringLiteral("password"), QStringLiteral("admin_id"),
                QStringLiteral("version") },
            &refused))
        return refused;
    if (!m_state.admins.contains(request.field(QStringLiteral("admin_id"))))
        return StandInReply::refuse(QStringLiteral("Unknown channel"));
    if (StandInState::compareVersions(request.field(QStringLiteral("version")), m_state.minimumVersion) < 0)
        return StandInReply::refuse(QStringLiteral("请使用最新版本"));
    Accounts::Account* account = m_state.accounts.byMobile(request.field(QStringLiteral("account")));
    if (!account)
        return StandInReply::refuse(QStringLiteral("账户不正确"));
    if (account->password != request.field(QStringLiteral("password")))
        return StandInReply::refuse(QStringLiteral("密码不正确"));
    QJsonObject info = Accounts::userInfo(*account);
    info.insert(QStringLiteral("token"), m_state.accounts.issueToken(*account));
    return StandInReply::ok(QJsonObject { { QStringLiteral("userinfo"), info } }, QStringLiteral("Signed in"));
}

StandInReply AccountApi::userIndex(const StandInRequest& request) const
{
    StandInReply refused;
    const Accounts::Account* account = m_state.admit(request, {}, &refused);
    if (!account)
        return refused;
    return StandInReply::ok(QJsonObject { { QStringLiteral("userinfo"), Accounts::userInfo(*account) } });
}

StandInReply AccountApi::changePassword(const StandInRequest& request) const
{
    StandInReply refused;
    Accounts::Account* account = m_state.admit(request,
        { QStringLiteral("oldpassword"), QStringLiteral("newpassword"), QStringLiteral("renewpassword") }, &refused);
    if (!account)
        return refused;
    const QString newPassword = request.field(QStringLiteral("newpassword"));
    if (account->password != request.field(QStringLiteral("oldpassword")))
        return StandInReply::refuse(QStringLiteral("The old password is wrong"));
    if (newPassword.isEmpty())
        return StandInReply::refuse(QStringLiteral("The new password is empty"));
    if (newPassword != request.field(QStringLiteral("renewpassword")))
        return StandInReply::refuse(QStringLiteral("The two new passwords differ"));
    account->password = newPassword;
    m_state.accounts.dropTokens(account->id);
    return StandInReply::ok(QJsonValue(), QStringLiteral("Password changed"));
}

StandInReply AccountApi::printerList(const StandInRequest& request) const
{
    StandInReply refused;
    const Accounts::Account* account = m_state.admit(request, {}, &refused);
    if (!account)
        return refused;
    return StandInReply::ok(account->printers);
}

} // namespace standin
