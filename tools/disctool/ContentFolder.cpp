// SPDX-License-Identifier: GPL-2.0-or-later
#include "ContentFolder.h"

#include "EDiscError.h"

#include "app/GlobalsU.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {

// Every folder of the disc's layout, "Files/Text Files/" and the like.
QStringList layoutFolders()
{
    QStringList folders{GlobalsU::FolderOf(DiscFolder::Interface).section(QLatin1Char('/'), 0, 0) + QLatin1Char('/')};
    for (const DiscFolder folder :
         {DiscFolder::Interface, DiscFolder::SamplePics, DiscFolder::TextFiles, DiscFolder::Templates,
          DiscFolder::Images, DiscFolder::Sounds, DiscFolder::Sample, DiscFolder::ToolBox, DiscFolder::WebFiles})
        folders.append(GlobalsU::FolderOf(folder));
    for (const char *scheme : GlobalsU::ColourFolders)
        folders.append(GlobalsU::FolderOf(DiscFolder::Interface) + QLatin1String(scheme));
    for (int tool = 1; tool <= 4; ++tool)
        folders.append(GlobalsU::ToolFolder(tool));
    return folders;
}

// The names the menu reads in each folder of its layout.
const QStringList &layoutNames()
{
    static const QStringList names{
        QStringLiteral("MainBack.bmp"), QStringLiteral("Sampleware.bmp"), QStringLiteral("Zip.txt"),
        QStringLiteral("Flash.txt"),    QStringLiteral("Acrobat.txt"),    QStringLiteral("Real.txt"),
        QStringLiteral("Sample.txt"),   QStringLiteral("Extra File.txt"), QStringLiteral("Setup.exe"),
        QStringLiteral("Order.html"),   QStringLiteral("Help.html")};
    return names;
}

// path with the folders of the layout, and the names the menu reads, spelt as the layout spells them.
QString laidOut(const QString &path)
{
    static const QStringList folders = layoutFolders();
    QStringList names = path.split(QLatin1Char('/'));
    QString done;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const bool last = i == names.size() - 1;
        QString &name = names[i];
        const auto match = [&name](const QString &candidate) {
            return candidate.compare(name, Qt::CaseInsensitive) == 0;
        };
        if (!last) {
            const auto found = std::find_if(folders.cbegin(), folders.cend(), [&](const QString &folder) {
                return match(folder.chopped(1).section(QLatin1Char('/'), -1)) &&
                       folder.startsWith(done, Qt::CaseSensitive) && folder.count(QLatin1Char('/')) == i + 1;
            });
            if (found != folders.cend())
                name = found->chopped(1).section(QLatin1Char('/'), -1);
        } else if (const auto found = std::find_if(layoutNames().cbegin(), layoutNames().cend(), match);
                   found != layoutNames().cend()) {
            name = *found;
        }
        done += name + QLatin1Char('/');
    }
    return names.join(QLatin1Char('/'));
}

// Whether the menu reads or delivers a file at path of the disc.
bool readByTheMenu(const QString &path)
{
    const QString folder = path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
    const QString name = path.mid(folder.size());
    const auto in = [&folder](DiscFolder known) { return folder == GlobalsU::FolderOf(known); };
    if (folder.isEmpty())
        return name == QStringLiteral("Setup.exe");
    if (in(DiscFolder::Templates) || in(DiscFolder::WebFiles) || in(DiscFolder::Sample))
        return true;
    for (int tool = 1; tool <= 4; ++tool) {
        if (folder == GlobalsU::ToolFolder(tool))
            return true;
    }
    if (in(DiscFolder::Images))
        return name.endsWith(QStringLiteral(".gif"), Qt::CaseInsensitive);
    if (in(DiscFolder::Sounds))
        return name.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive);
    if (in(DiscFolder::TextFiles))
        return layoutNames().contains(name);
    if (in(DiscFolder::SamplePics))
        return name == QStringLiteral("Sampleware.bmp");
    for (const char *scheme : GlobalsU::ColourFolders) {
        if (folder == GlobalsU::FolderOf(DiscFolder::Interface) + QLatin1String(scheme))
            return name == QStringLiteral("MainBack.bmp");
    }
    return false;
}

} // namespace

ContentFolder::ContentFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        throw EDiscError(QStringLiteral("the content folder %1 is not a folder").arg(folder));
    const QDir root(info.absoluteFilePath());
    QHash<QString, QString> places; // case-folded place on the disc -> the content file there
    QDirIterator walk(root.path(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        const QString source = walk.next();
        const QString relative = root.relativeFilePath(source);
        if (relative.startsWith(QLatin1Char('.')) || relative.contains(QStringLiteral("/."))) {
            leftOut_.append(relative);
            continue;
        }
        const QString path = laidOut(relative);
        const QString key = path.toCaseFolded();
        if (places.contains(key))
            throw EDiscError(QStringLiteral("the content folder holds %1 and %2, one place on a disc whose names "
                                            "are found without regard to case")
                                 .arg(places.value(key), relative));
        places.insert(key, relative);
        files_.append({source, path, readByTheMenu(path)});
    }
    std::sort(files_.begin(), files_.end(), [](const File &a, const File &b) { return a.path < b.path; });
    std::sort(leftOut_.begin(), leftOut_.end());
}

const ContentFolder::File *ContentFolder::Find(const QString &path) const
{
    const auto found = std::find_if(files_.cbegin(), files_.cend(), [&path](const File &file) {
        return file.path.compare(path, Qt::CaseInsensitive) == 0;
    });
    return found == files_.cend() ? nullptr : &*found;
}

bool ContentFolder::Holds(const QString &folder) const
{
    return std::any_of(files_.cbegin(), files_.cend(),
                       [&folder](const File &file) { return file.path.startsWith(folder, Qt::CaseInsensitive); });
}
