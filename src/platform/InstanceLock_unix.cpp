#include "platform/InstanceLock.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

InstanceLock::InstanceLock(const QString &name)
    : lock_(std::make_unique<QLockFile>(RuntimeFolder() + QLatin1Char('/') + name + QStringLiteral(".lock")))
{
    // Only a holder that died makes the lock stale, never its age.
    lock_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

InstanceLock::Outcome InstanceLock::Acquire(int timeoutMs)
{
    if (lock_->tryLock(timeoutMs))
        return Outcome::Acquired;
    return lock_->error() == QLockFile::LockFailedError ? Outcome::TimedOut : Outcome::Failed;
}

void InstanceLock::Release()
{
    lock_->unlock();
}

QString InstanceLock::RuntimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}
