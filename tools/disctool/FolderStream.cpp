// SPDX-License-Identifier: GPL-2.0-or-later
#include "FolderStream.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Tells these streams' files apart from those of libisofs's own kinds of stream.
constexpr unsigned int FileSystemId = 0x42524430;

// libisofs's struct iso_stream, whose member named "class" C++ cannot declare: the same layout.
struct StreamLayout
{
    IsoStreamIface *methods;
    int refcount;
    void *data;
};

struct Source
{
    QByteArray hostPath;
    QString path;
    dev_t device;
    ino_t inode;
    off_t size;
    FolderStream::Failure *failure;
    int descriptor = -1;
    off_t done = 0;
};

Source &sourceOf(IsoStream *stream)
{
    return *static_cast<Source *>(reinterpret_cast<StreamLayout *>(stream)->data);
}

int fail(Source &source, const QString &why)
{
    source.failure->Set(QStringLiteral("%1 %2").arg(source.path, why));
    return static_cast<int>(ISO_FILE_READ_ERROR);
}

int closeSource(IsoStream *stream)
{
    Source &source = sourceOf(stream);
    if (source.descriptor >= 0)
        ::close(source.descriptor);
    source.descriptor = -1;
    return ISO_SUCCESS;
}

int openSource(IsoStream *stream)
{
    closeSource(stream);
    Source &source = sourceOf(stream);
    source.descriptor = ::open(source.hostPath.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
    if (source.descriptor < 0)
        return fail(source,
                    errno == ELOOP
                        ? QStringLiteral("was replaced by a link after it was checked")
                        : QStringLiteral("cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    struct stat status = {};
    const bool same = ::fstat(source.descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
                      status.st_dev == source.device && status.st_ino == source.inode;
    if (!same || status.st_size != source.size) {
        closeSource(stream);
        return fail(source, same ? QStringLiteral("changed after it was checked")
                                 : QStringLiteral("was replaced after it was checked"));
    }
    source.done = 0;
    return ISO_SUCCESS;
}

off_t sizeOf(IsoStream *stream)
{
    return sourceOf(stream).size;
}

int readSource(IsoStream *stream, void *buffer, size_t count)
{
    Source &source = sourceOf(stream);
    if (source.descriptor < 0)
        return static_cast<int>(ISO_FILE_NOT_OPENED);
    size_t got = 0;
    while (got < count && source.done < source.size) {
        const ssize_t read = ::read(source.descriptor, static_cast<char *>(buffer) + got,
                                    std::min<size_t>(count - got, size_t(source.size - source.done)));
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            return fail(source, QStringLiteral("cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        if (read == 0)
            return fail(source, QStringLiteral("changed after it was checked"));
        got += size_t(read);
        source.done += read;
    }
    return int(got);
}

int repeatable(IsoStream *)
{
    return 1;
}

// Names of one file share its data in the image, as hard links do on the disc folder.
void identify(IsoStream *stream, unsigned int *fs, dev_t *device, ino_t *inode)
{
    const Source &source = sourceOf(stream);
    *fs = FileSystemId;
    *device = source.device;
    *inode = source.inode;
}

void freeSource(IsoStream *stream)
{
    closeSource(stream);
    delete &sourceOf(stream);
}

int sameSize(IsoStream *)
{
    return ISO_SUCCESS;
}

IsoStreamIface Methods = {1,        {'u', 's', 'e', 'r'}, openSource, closeSource, sizeOf,  readSource, repeatable,
                          identify, freeSource,           sameSize,   nullptr,     nullptr, nullptr};

} // namespace

namespace FolderStream {

void Failure::Set(const QString &why)
{
    const std::lock_guard lock(mutex_);
    if (reason_.isEmpty())
        reason_ = why;
}

QString Failure::Reason() const
{
    const std::lock_guard lock(mutex_);
    return reason_;
}

IsoStream *Make(const QString &hostPath, const QString &path, dev_t device, ino_t inode, off_t size, Failure &failure)
{
    auto *layout = static_cast<StreamLayout *>(std::malloc(sizeof(StreamLayout)));
    layout->methods = &Methods;
    layout->refcount = 1;
    layout->data = new Source{QFile::encodeName(hostPath), path, device, inode, size, &failure};
    return reinterpret_cast<IsoStream *>(layout);
}

} // namespace FolderStream
