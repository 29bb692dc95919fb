#pragma once

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

// Every benchmark runs with the program's identity and INI settings, in Qt's
// test locations, so that a settings read costs what it costs in the program
// and never touches the user's files. The program's debug and warning
// messages are quieted, and QtTest's limit on messages is lifted: once the
// limit is reached it drops every later message, the ratios too. A function
// may take up to two hours, not QtTest's five minutes: several rounds of a
// large placement on a busy machine take longer.
#define ZOCUT_BENCH_MAIN(BenchObject) ZOCUT_BENCH_MAIN_WITH(QCoreApplication, BenchObject)

// For benchmarks of widgets: Application is QApplication.
#define ZOCUT_BENCH_MAIN_WITH(Application, BenchObject)                                                                \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        QStandardPaths::setTestModeEnabled(true);                                                                      \
        Application app(argc, argv);                                                                                   \
        QCoreApplication::setOrganizationName(QStringLiteral("MORLData"));                                             \
        QCoreApplication::setApplicationName(QStringLiteral("MORLData"));                                              \
        QSettings::setDefaultFormat(QSettings::IniFormat);                                                             \
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.warning=false"));                            \
        if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))                                                      \
            qputenv("QTEST_FUNCTION_TIMEOUT", "7200000");                                                              \
        QStringList arguments = app.arguments();                                                                       \
        arguments << QStringLiteral("-maxwarnings") << QStringLiteral("0");                                            \
        BenchObject bench;                                                                                             \
        return QTest::qExec(&bench, arguments);                                                                        \
    }
