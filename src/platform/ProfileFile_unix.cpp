#include "platform/ProfileFile.h"

#include "platform/FileOps.h"

#include <QFile>
#include <QFileInfo>

namespace {
// Symbolic links followed before giving up on a loop.
constexpr int MaxLinkHops = 40;

// The regular file that a write to fileName changes: symbolic links are followed to their target.
QString writeTarget(const QString &fileName)
{
    QString target = fileName;
    for (int hops = 0; QFileInfo(target).isSymLink(); ++hops) {
        if (hops == MaxLinkHops)
            return {};
        target = QFileInfo(target).symLinkTarget();
    }
    return target;
}
} // namespace

QString ProfileFile::ReadString(const QString &fileName, const QString &section, const QString &key,
                                const QString &defaultValue)
{
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile())
        return defaultValue;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return defaultValue;
    return ValueIn(content, section, key, defaultValue);
}

bool ProfileFile::WriteString(const QString &fileName, const QString &section, const QString &key, const QString &value)
{
    if (fileName.isEmpty() || !CanStore(section, key, value))
        return false;
    const QString target = writeTarget(fileName);
    if (target.isEmpty())
        return false;
    const QFileInfo info(target);
    QByteArray content;
    if (info.exists()) {
        if (!info.isFile() || FileOps::IsReadOnly(target))
            return false;
        QFile file(target);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        content = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return false;
    } else if (!FileOps::ForceDirectories(info.absolutePath())) {
        return false;
    }
    const std::optional<QByteArray> updated = WithValue(content, section, key, value);
    return updated && FileOps::ReplaceFile(target, *updated);
}
