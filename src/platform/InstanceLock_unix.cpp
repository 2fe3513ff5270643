#include "platform/InstanceLock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How often a start waiting for the lock tries again.
constexpr int RetryMs = 10;

bool ownedFolder(const QByteArray &path, struct stat &info)
{
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
}

// Whether the open file is still the one at path: a holder removes the file as it lets go, and a
// lock taken on a removed file guards nothing.
bool stillAt(int file, const QByteArray &path)
{
    struct stat opened = {};
    struct stat named = {};
    return ::fstat(file, &opened) == 0 && ::lstat(path.constData(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

} // namespace

InstanceLock::InstanceLock(const QString &name)
{
    const QString folder = RuntimeFolder();
    if (!folder.isEmpty())
        path_ =
            folder + QLatin1Char('/') + name + QLatin1Char('-') + QString::number(::getuid()) + QStringLiteral(".lock");
}

InstanceLock::~InstanceLock()
{
    Release();
}

InstanceLock::Outcome InstanceLock::Acquire(int timeoutMs)
{
    // Without a place of this user's own, a lock could be held by anyone: the start goes on without one.
    if (path_.isEmpty())
        return Outcome::Failed;
    Release();
    // The kernel's lock on the open file, which a holder that dies gives up at once. Nothing is
    // written to the file, so taking it costs no wait on the disk.
    const QByteArray path = QFile::encodeName(path_);
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        file_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (file_ < 0)
            return Outcome::Failed;
        int locked = 0;
        do
            locked = ::flock(file_, LOCK_EX | LOCK_NB);
        while (locked != 0 && errno == EINTR);
        const bool held = locked != 0 && errno == EWOULDBLOCK;
        if (locked == 0 && stillAt(file_, path))
            return Outcome::Acquired;
        ::close(file_);
        file_ = -1;
        if (locked == 0)
            continue; // taken on a file its holder has just removed: the next one is free
        if (!held)
            return Outcome::Failed;
        if (deadline.hasExpired())
            return Outcome::TimedOut;
        QThread::msleep(std::min<qint64>(RetryMs, deadline.remainingTime()));
    }
}

void InstanceLock::Release()
{
    if (file_ < 0)
        return;
    // Removed while still locked, so that no later start finds a file that nobody will unlock.
    ::unlink(QFile::encodeName(path_).constData());
    ::close(file_);
    file_ = -1;
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
    // Not the temporary folder, where anyone can make it first.
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/brindlemoor-") +
           QString::number(::getuid());
}

bool InstanceLock::MakePrivateFolder(const QString &folder)
{
    // Made where only this user can make anything, so that no one else can have made it first.
    const QByteArray parent = QFile::encodeName(QFileInfo(folder).path());
    struct stat above = {};
    if ((::mkdir(parent.constData(), 0700) != 0 && errno != EEXIST) || ::stat(parent.constData(), &above) != 0 ||
        !S_ISDIR(above.st_mode) || above.st_uid != ::getuid() || (above.st_mode & 022) != 0)
        return false;
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
