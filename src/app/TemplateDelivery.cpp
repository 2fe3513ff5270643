#include "app/TemplateDelivery.h"

#include "app/CopyF.h"
#include "app/GlobalsU.h"
#include "platform/DiscPath.h"
#include "platform/FileOps.h"
#include "toolkit/Exceptions.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace {
// Copies a file from the disc where the user has none of that name yet. The copy is made writable:
// the disc's files are read-only, and a document the user cannot save is of no use to them.
void copyToUser(const QString &source, const QString &destination)
{
    if (FileOps::CopyFile(source, destination, true))
        FileOps::MakeWritable(destination);
}

// Copies every file of the disc folder that matches pattern into destinationFolder. Files the user
// already has there are kept: a copy is made only where none of that name exists. A disc without the
// folder cannot be listed: EInOutError, and nothing after it happens.
void copyDiscFiles(DiscFolder folder, const QString &pattern, const QString &destinationFolder)
{
    const QString discFolder = DiscPath::Resolve(GlobalsU::DiscFile(folder));
    if (!QFileInfo(discFolder).isDir())
        throw EInOutError(QStringLiteral("Cannot open file %1").arg(GlobalsU::DiscFile(folder)));
    for (const QString &name : FileOps::ListFiles(discFolder, pattern))
        copyToUser(discFolder + name, destinationFolder + name);
}
} // namespace

void TemplateDelivery::Deliver(const QString &templateFolder, const QStringList &entries, int selected)
{
    if (selected < 0 || selected >= entries.size())
        return;
    const QString discTemplates = GlobalsU::AppFolder() + templateFolder;
    QString destination;
    if (!CopyF::LocateTemplate(discTemplates + entries.at(selected), destination))
        return;

    // On this system a folder name may end in a blank: the folder is trimmed only when the text as
    // it stands names no folder.
    const QString copyFolder = CopyF::ExtractFilePath(destination);
    const QString folder = QFileInfo(copyFolder).isDir() ? copyFolder : GlobalsU::WithTrailingBackslash(copyFolder);
    const QString images = folder + QStringLiteral("Images") + QDir::separator();
    const QString sounds = folder + QStringLiteral("Sounds") + QDir::separator();
    FileOps::ForceDirectories(images);
    FileOps::ForceDirectories(sounds);

    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (i != selected)
            copyToUser(DiscPath::Resolve(discTemplates + entries.at(i)), folder + entries.at(i));
    }
    copyDiscFiles(DiscFolder::Images, QStringLiteral("*.gif"), images);
    copyDiscFiles(DiscFolder::Sounds, QStringLiteral("*.wav"), sounds);

    GlobalsU::ShellRun(copyFolder, QString(), QString(), GlobalsU::SW_SHOWNORMAL);
}
