#include "platform/SystemFolders.h"

#include <QDir>
#include <QStandardPaths>

QString SystemFolders::SettingsFile(const QString &fileName)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        return {};
    return QDir(folder).filePath(fileName);
}

QString SystemFolders::HardDisk()
{
    return QDir::homePath();
}
