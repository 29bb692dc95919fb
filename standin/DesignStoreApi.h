#pragma once

#include "StandInState.h"

namespace standin {

// The editor's design store: designs saved under a name once their package
// and preview are in the object store, shared designs opened by share code
// and password, and the report of an imported drawing.
class DesignStoreApi
{
public:
    explicit DesignStoreApi(StandInState& state);
    void addRoutes(StandInState::Routes& routes);

private:
    StandInReply saveNew(const StandInRequest& request) const;
    StandInReply open(const StandInRequest& request) const;
    StandInReply report(const StandInRequest& request) const;

    StandInState& m_state;
};

} // namespace standin
