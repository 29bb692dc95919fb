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
    // The channel (administrator) id in the first of the fields when the
    // request carries them all and the channel is known; empty with the
    // refusal set otherwise.
    QString channel(
        const StandInRequest& request, const QStringList& fields, const QString& unknown, StandInReply* refused) const;
    QString settingsPath(const QString& id) const;

    StandInState& m_state;
};

} // namespace standin
