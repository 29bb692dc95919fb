#pragma once

#include "StandInState.h"

namespace standin {

// Signing in, the signed-in account's information and its password.
class AccountApi
{
public:
    // The sign-in path of the web API.
    static const QString kSignInPath;

    explicit AccountApi(StandInState& state);
    void addRoutes(StandInState::Routes& routes);

private:
    StandInReply signIn(const StandInRequest& request) const;
    StandInReply userIndex(const StandInRequest& request) const;
    StandInReply changePassword(const StandInRequest& request) const;
    StandInReply printerList(const StandInRequest& request) const;

    StandInState& m_state;
};

} // namespace standin
