#pragma once

#include "StandInState.h"

namespace standin {

// The data centre's JSON calls: the cascade of category selectors, the
// templates found by it, and the daily-limited opening of a template.
class CatalogueApi
{
public:
    explicit CatalogueApi(StandInState& state);
    void addRoutes(StandInState::Routes& routes);

private:
    StandInReply category(const StandInRequest& request) const;
    StandInReply index(const StandInRequest& request) const;
    StandInReply view(const StandInRequest& request) const;
    // The picked values of the keywords "a-b-c" or "a-b-c-".
    static QStringList values(const QString& keywords);
    static QJsonObject templateRow(const QJsonObject& entry);

    StandInState& m_state;
};

} // namespace standin
