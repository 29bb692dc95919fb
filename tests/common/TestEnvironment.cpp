#include "TestEnvironment.h"
#include "ParallelLoop.h"

#include <QDir>
#include <QLocale>

#include <clocale>
#include <string>

TestEnvironment::TestEnvironment()
    : m_root(QDir::tempPath() + QStringLiteral("/zocut-test-XXXXXX"))
{
    const QString base = m_root.path();
    for (const char* name : { "config", "data", "cache", "runtime", "home" })
        QDir().mkpath(base + QLatin1Char('/') + QLatin1String(name));
    qputenv("XDG_CONFIG_HOME", (base + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (base + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CACHE_HOME", (base + QStringLiteral("/cache")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", (base + QStringLiteral("/runtime")).toUtf8());
    qputenv("HOME", (base + QStringLiteral("/home")).toUtf8());
    QFile::setPermissions(base + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ParallelLoop::forceThreads(kLoopThreads);
}

bool TestEnvironment::requestedLocaleIsActive()
{
    if (!qEnvironmentVariable("LC_ALL").startsWith(QLatin1String("de_DE")))
        return true;
    const bool active
        = QLocale::system().decimalPoint() == QLatin1Char(',') && std::localeconv()->decimal_point == std::string(",");
    if (!active)
        qCritical("LC_ALL asks for de_DE, but that locale is not active here (run scripts/install-deps.sh)");
    return active;
}
