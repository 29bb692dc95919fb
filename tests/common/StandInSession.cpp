#include "StandInSession.h"

StandInSession::StandInSession()
    : m_server(std::make_unique<standin::StandInServer>(m_data.path()))
{
    m_running = m_server->start(0);
    if (!m_running)
        return;
    for (const auto& variable : m_server->environment())
        qputenv(variable.first.constData(), variable.second.toUtf8());
}

StandInSession::~StandInSession()
{
    if (m_running) {
        for (const auto& variable : m_server->environment())
            qunsetenv(variable.first.constData());
    }
    m_server->stop();
}

QString StandInSession::token()
{
    return m_server->issueToken(QStringLiteral("13800000001"));
}
