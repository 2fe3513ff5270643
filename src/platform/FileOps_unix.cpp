#include "platform/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
// Files are written unbuffered: a buffered flush does not report a short write (a full disc, a
// file-size limit), and the torn file would then be renamed into place.
constexpr qint64 ChunkSize = 64 * 1024;

constexpr QFileDevice::Permissions WriteBits =
    QFileDevice::WriteOwner | QFileDevice::WriteUser | QFileDevice::WriteGroup | QFileDevice::WriteOther;
} // namespace

bool FileOps::CopyFile(const QString &source, const QString &destination, bool failIfExists)
{
    const QFileInfo target(destination);
    if (target.exists() || target.isSymLink()) {
        // A read-only file is not replaced, whoever runs the program.
        if (failIfExists || !target.isFile() || IsReadOnly(destination))
            return false;
    }
    QFile in(source);
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    QByteArray chunk;
    bool written = true;
    while (written && !in.atEnd()) {
        chunk = in.read(ChunkSize);
        written = !chunk.isEmpty() && out.write(chunk) == chunk.size();
    }
    // An uncommitted QSaveFile removes its temporary file: the destination stays as it was.
    if (!written || in.error() != QFileDevice::NoError)
        return false;
    if (IsReadOnly(source) && !out.setPermissions(out.permissions() & ~WriteBits))
        return false;
    return out.commit();
}

void FileOps::MakeWritable(const QString &path)
{
    if (!FileExists(path))
        return;
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
}

bool FileOps::IsReadOnly(const QString &path)
{
    return !(QFile::permissions(path) & QFileDevice::WriteOwner);
}

bool FileOps::ReplaceFile(const QString &path, const QByteArray &data)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (out.write(data) != data.size())
        return false;
    return out.commit();
}

QStringList FileOps::ListFiles(const QString &folder, const QString &pattern)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};
    // Without QDir::CaseSensitive the name filter matches without regard to letter case.
    QDir dir(folder, pattern, QDir::Name | QDir::IgnoreCase, QDir::Files);
    return dir.entryList();
}
