#pragma once

#include <QLockFile>
#include <QString>

// Keeps the program to one running instance per user. The guard is a lock
// file that names its owner, so a lock left behind by an instance that was
// killed or crashed is recognised as stale and taken over.
class InstanceGuard
{
public:
    // key names the lock; it lives in the user's runtime folder.
    explicit InstanceGuard(const QString& key);

    // False only when another running instance holds the lock. When the lock
    // cannot be made at all (no writable folder), the program goes on.
    bool acquire();
    bool isHeld() const { return m_lock.isLocked(); }
    QString lockFilePath() const { return m_path; }

    static QString lockFilePathFor(const QString& key);

private:
    QString m_path;
    QLockFile m_lock;
};
