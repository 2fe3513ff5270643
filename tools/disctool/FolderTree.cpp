#include "FolderTree.h"

#include "EDiscError.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString kindProblem(mode_t mode)
{
    const QString onlyThese = QStringLiteral(": a disc holds only folders, files and links");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("is a device") + onlyThese;
    if (S_ISFIFO(mode))
        return QStringLiteral("is a named pipe") + onlyThese;
    if (S_ISSOCK(mode))
        return QStringLiteral("is a socket") + onlyThese;
    return QStringLiteral("is neither a folder, a file nor a link") + onlyThese;
}

struct Pending
{
    DiscTree::Entry *folder;
    int depth;
};

} // namespace

FolderTree::FolderTree(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        throw EDiscError(QStringLiteral("%1 is not a folder").arg(folder));
    folder_ = info.absoluteFilePath();
    hostPaths_.push_back(QFile::encodeName(folder_));
    identities_.emplace_back();

    std::vector<Pending> pending{{&root_, 0}};
    while (!pending.empty()) {
        const Pending at = pending.back();
        pending.pop_back();
        const QByteArray path = hostPaths_.at(at.folder->index);
        const QString shownFolder = at.folder == &root_ ? QString() : PathOf(*at.folder) + QLatin1Char('/');
        DIR *listing = ::opendir(path.constData());
        if (!listing) {
            problems_.append({at.folder == &root_ ? PathOf(root_) : shownFolder,
                              QStringLiteral("cannot be read: %1").arg(reason())});
            continue;
        }
        errno = 0;
        while (const dirent *found = ::readdir(listing)) {
            const QByteArray name(found->d_name);
            if (name == "." || name == "..")
                continue;
            const QByteArray hostPath = path + '/' + name;
            const QString invalid = ShowInvalidName(name);
            if (!invalid.isEmpty()) {
                problems_.append({shownFolder + invalid,
                                  QStringLiteral("the name is not UTF-8: a disc holds its names in UTF-8, and "
                                                 "desktops would show this one garbled")});
                continue;
            }
            const QString shown = shownFolder + QString::fromUtf8(name);
            struct stat status = {};
            if (::lstat(hostPath.constData(), &status) != 0) {
                problems_.append({shown, QStringLiteral("cannot be read: %1").arg(reason())});
                continue;
            }
            Kind kind = Kind::Other;
            if (S_ISDIR(status.st_mode))
                kind = Kind::Folder;
            else if (S_ISREG(status.st_mode))
                kind = Kind::File;
            else if (S_ISLNK(status.st_mode))
                kind = Kind::Link;
            if (kind == Kind::Other) {
                problems_.append({shown, kindProblem(status.st_mode)});
                continue;
            }
            if (kind == Kind::Folder && at.depth + 1 > MaxDepth) {
                ::closedir(listing);
                throw EDiscError(QStringLiteral("%1: folders nested more than %2 deep: no disc needs them")
                                     .arg(shown)
                                     .arg(MaxDepth));
            }
            if (qsizetype(hostPaths_.size()) > MaxEntries) {
                ::closedir(listing);
                throw EDiscError(QStringLiteral("%1 holds more than %2 files and folders").arg(folder).arg(MaxEntries));
            }
            Entry *entry = Add(at.folder, QString::fromUtf8(name), kind);
            entry->mode = status.st_mode & 07777;
            entry->size = status.st_size;
            entry->index = static_cast<qsizetype>(hostPaths_.size());
            hostPaths_.push_back(hostPath);
            identities_.emplace_back(status.st_dev, status.st_ino);
            if (kind == Kind::Link) {
                QByteArray target(PATH_MAX, '\0');
                const ssize_t length = ::readlink(hostPath.constData(), target.data(), target.size());
                entry->target = length > 0 ? QFile::decodeName(target.left(length)) : QString();
            } else if (kind == Kind::Folder) {
                pending.push_back({entry, at.depth + 1});
            }
            errno = 0;
        }
        const int failure = errno;
        ::closedir(listing);
        if (failure != 0) {
            errno = failure;
            problems_.append({at.folder == &root_ ? PathOf(root_) : shownFolder,
                              QStringLiteral("cannot be read: %1").arg(reason())});
        }
    }
    Sort();
}

QString FolderTree::HostPath(const Entry &entry) const
{
    return QFile::decodeName(hostPaths_.at(entry.index));
}

std::pair<dev_t, ino_t> FolderTree::Identity(const Entry &entry) const
{
    return identities_.at(entry.index);
}

QByteArray FolderTree::readData(const Entry &file, qint64 offset, qint64 length) const
{
    // The file as it was read into the tree: a link put in its place since is not followed.
    const int descriptor = ::open(hostPaths_.at(file.index).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
    if (descriptor < 0)
        throw EDiscError(reason());
    QByteArray bytes;
    struct stat status = {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        const QString why = S_ISDIR(status.st_mode) ? QStringLiteral("it is a folder") : QStringLiteral("not a file");
        ::close(descriptor);
        throw EDiscError(why);
    }
    bytes.resize(std::max<qint64>(std::min<qint64>(length, status.st_size - offset), 0));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::pread(descriptor, bytes.data() + done, bytes.size() - done, offset + done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const QString why = reason();
            ::close(descriptor);
            throw EDiscError(why);
        }
        if (got == 0)
            break;
        done += got;
    }
    ::close(descriptor);
    bytes.truncate(done);
    return bytes;
}
