#pragma once

#include "StandInState.h"

namespace standin {

// Calls made without signing in: the look of an installation, the update
// check and the account settings kept per channel.
class CommonApi
{
public:
    explicit CommonApi(StandInState& state);
    void addRoutes(StandInState::Routes& routes);

private:
    StandInReply adminParams(const StandInRequest& request) const;
    StandInReply checkUpdate(const StandInRequest& request) const;
    StandInReply getSettings(const StandInRequest& request) const;
    StandInReply setSettings(const StandInRequest& request) const;
    bool isKnownAdmin(const QString& id) const;
    QString settingsPath(const QString& id) const;

    StandInState& m_state;
};

} // namespace standin
