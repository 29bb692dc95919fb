#pragma once

#include "StandInServer.h"

#include <QTemporaryDir>

#include <memory>

// Starts the stand-in for the online services in-process on 127.0.0.1 with
// a free port and its own data folder, and points the program at it through
// the environment, for as long as the session lives.
class StandInSession
{
public:
    StandInSession();
    ~StandInSession();
    StandInSession(const StandInSession&) = delete;
    StandInSession& operator=(const StandInSession&) = delete;

    bool isRunning() const { return m_running; }
    standin::StandInServer& server() { return *m_server; }
    QString dataFolder() const { return m_data.path(); }
    // A signed-in token of the fixture's first account.
    QString token();

private:
    QTemporaryDir m_data;
    std::unique_ptr<standin::StandInServer> m_server;
    bool m_running = false;
};

// Like ZOCUT_TEST_MAIN, for tests that need the program's application object:
// its start asks the stand-in, not the real server, for updates.
#define ZOCUT_APPLICATION_TEST_MAIN(TestObject)                                                                        \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        TestEnvironment environment;                                                                                   \
        StandInSession session;                                                                                        \
        if (!session.isRunning())                                                                                      \
            return 1;                                                                                                  \
        SVGApplication application(argc, argv);                                                                        \
        TestObject test;                                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
