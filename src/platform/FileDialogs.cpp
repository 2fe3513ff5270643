#include "platform/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include <utility>

namespace {
FileDialogs::FolderAnswerer &folderAnswerer()
{
    static FileDialogs::FolderAnswerer answerer;
    return answerer;
}

FileDialogs::OpenAnswerer &openAnswerer()
{
    static FileDialogs::OpenAnswerer answerer;
    return answerer;
}

std::optional<QString> firstSelected(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList selected = dialog.selectedFiles();
    if (selected.isEmpty())
        return std::nullopt;
    // The dialog answers with "/"; the program's paths use the system's separator.
    return QDir::toNativeSeparators(selected.front());
}
} // namespace

std::optional<QString> FileDialogs::SelectFolder(QWidget *parent, const QString &startFolder)
{
    const FolderRequest request{startFolder};
    if (folderAnswerer())
        return folderAnswerer()(request);
    QFileDialog dialog(parent, {}, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    // Picks an existing folder only: no new folders, no renaming.
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly | QFileDialog::DontUseNativeDialog);
    return firstSelected(dialog);
}

std::optional<QString> FileDialogs::OpenFile(QWidget *parent, const QString &folder, const QString &fileName,
                                             const QString &filter)
{
    const OpenRequest request{folder, fileName, NameFilter(filter)};
    if (openAnswerer())
        return openAnswerer()(request);
    QFileDialog dialog(parent, {}, request.folder);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOptions(QFileDialog::ReadOnly | QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(request.nameFilter);
    dialog.selectFile(request.fileName);
    return firstSelected(dialog);
}

QString FileDialogs::NameFilter(const QString &filter)
{
    // The toolkit pairs descriptions and patterns with bars and parts patterns with semicolons.
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() < 2)
        return QString(filter).replace(QLatin1Char(';'), QLatin1Char(' '));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts.at(i + 1)).replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(parts.at(i) + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

FileDialogs::FolderAnswerer FileDialogs::SetFolderAnswerer(FolderAnswerer answerer)
{
    return std::exchange(folderAnswerer(), std::move(answerer));
}

FileDialogs::OpenAnswerer FileDialogs::SetOpenAnswerer(OpenAnswerer answerer)
{
    return std::exchange(openAnswerer(), std::move(answerer));
}
