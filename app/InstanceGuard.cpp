#include "InstanceGuard.h"

#include <QDir>
#include <QStandardPaths>

InstanceGuard::InstanceGuard(const QString& key)
    : m_path(lockFilePathFor(key))
    , m_lock(m_path)
{
    // Only an owner that is gone makes a lock stale, however long it ran.
    m_lock.setStaleLockTime(0);
}

QString InstanceGuard::lockFilePathFor(const QString& key)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QLatin1Char('/') + key + QStringLiteral(".lock");
}

bool InstanceGuard::acquire()
{
    if (m_lock.tryLock(0))
        return true;
    return m_lock.error() != QLockFile::LockFailedError;
}
