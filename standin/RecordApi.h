#pragma once

#include "Records.h"
#include "StandInState.h"

namespace standin {

// The account's saved versions and crop records: paged lists, sharing and
// deleting.
class RecordApi
{
public:
    explicit RecordApi(StandInState& state);
    void addRoutes(StandInState::Routes& routes);

private:
    StandInReply list(Records::Kind kind, const StandInRequest& request) const;
    StandInReply share(const StandInRequest& request) const;
    StandInReply remove(const StandInRequest& request) const;
    StandInReply saveCut(const StandInRequest& request) const;

    StandInState& m_state;
};

} // namespace standin
