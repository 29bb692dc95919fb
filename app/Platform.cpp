#include "Platform.h"

#include <QOperatingSystemVersion>

bool Platform::isSupportedSystem()
{
#ifdef Q_OS_WIN
    return QOperatingSystemVersion::current().majorVersion() >= 10;
#else
    // Elsewhere the version check has nothing to measure (the major version
    // reads -1).
    return true;
#endif
}
