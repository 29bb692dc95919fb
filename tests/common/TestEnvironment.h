#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

// Gives each test program its own settings, data and cache folders, so that
// no test reads or writes the user's real files. Must exist before the
// application object, which reads these locations on first use.
//
// The parallel loops take kLoopThreads threads in every test, whatever the
// machine's cores and load and OMP_NUM_THREADS: a loop that a busy machine
// ran on one thread would test nothing of its threads.
class TestEnvironment
{
public:
    static constexpr int kLoopThreads = 4;

    TestEnvironment();
    QString root() const { return m_root.path(); }
    // A run under a comma-decimal locale proves nothing if that locale is
    // missing from the machine; such a run fails instead.
    static bool requestedLocaleIsActive();

private:
    QTemporaryDir m_root;
};

// The outside SVG suite lies beside the repository (../shared/testdata/resvg);
// a checkout without it skips the checks over it instead of failing them.
#define ZOCUT_REQUIRE_RESVG(dir)                                                                                       \
    do {                                                                                                               \
        if (!QFileInfo(QStringLiteral(dir "/shapes")).isDir())                                                         \
            QSKIP("the outside SVG suite is not beside this checkout");                                                \
    } while (0)

// Like QTEST_MAIN, with an isolated environment and the program's identity.
#define ZOCUT_TEST_MAIN(TestObject)                                                                                    \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        TestEnvironment environment;                                                                                   \
        QApplication app(argc, argv);                                                                                  \
        QCoreApplication::setOrganizationName(QStringLiteral("MORLData"));                                             \
        QCoreApplication::setApplicationName(QStringLiteral("MORLData"));                                              \
        QSettings::setDefaultFormat(QSettings::IniFormat);                                                             \
        if (!TestEnvironment::requestedLocaleIsActive())                                                               \
            return 1;                                                                                                  \
        TestObject test;                                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
