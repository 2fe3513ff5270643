#include "platform/FileOps.h"

#include <QDir>
#include <QFileInfo>

bool FileOps::FileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool FileOps::ForceDirectories(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    return QDir().mkpath(folder) && QFileInfo(folder).isDir();
}
