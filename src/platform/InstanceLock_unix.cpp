#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool ownedFolder(const QByteArray &path, struct stat &info)
{
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
}

} // namespace

InstanceLock::InstanceLock(const QString &name)
{
    const QString folder = RuntimeFolder();
    if (folder.isEmpty())
        return;
    path_ = folder + QLatin1Char('/') + name + QLatin1Char('-') + QString::number(::getuid()) + QStringLiteral(".lock");
    lock_ = std::make_unique<QLockFile>(path_);
    // Only a holder that died makes the lock stale, never its age.
    lock_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

InstanceLock::Outcome InstanceLock::Acquire(int timeoutMs)
{
    // Without a place of this user's own, a lock could be held by anyone: the start goes on without one.
    if (!lock_)
        return Outcome::Failed;
    if (lock_->tryLock(timeoutMs))
        return Outcome::Acquired;
    return lock_->error() == QLockFile::LockFailedError ? Outcome::TimedOut : Outcome::Failed;
}

void InstanceLock::Release()
{
    if (lock_)
        lock_->unlock();
}

QString InstanceLock::RuntimeFolder()
{
    // Qt hands out the runtime folder only when it is this user's alone.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!folder.isEmpty())
        return folder;
    return MakePrivateFolder(OwnFolder()) ? OwnFolder() : QString();
}

QString InstanceLock::OwnFolder()
{
    return QDir::tempPath() + QStringLiteral("/brindlemoor-") + QString::number(::getuid());
}

bool InstanceLock::MakePrivateFolder(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info = {};
    if (!ownedFolder(path, info))
        return false;
    return (info.st_mode & 077) == 0 || ::chmod(path.constData(), 0700) == 0;
}

bool InstanceLock::IsPrivateFolder(const QString &folder)
{
    struct stat info = {};
    return ownedFolder(QFile::encodeName(folder), info) && (info.st_mode & 077) == 0;
}
