#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// The folder-selection and open dialogs. Tests install answerers in place of the dialogs.
class FileDialogs
{
public:
    struct FolderRequest
    {
        QString startFolder;
    };

    struct OpenRequest
    {
        QString folder;     // the folder the dialog starts in
        QString fileName;   // the preset file name
        QString nameFilter; // in the dialog's form: "description (*.ext)" or "*.ext"
    };

    using FolderAnswerer = std::function<std::optional<QString>(const FolderRequest &request)>;
    using OpenAnswerer = std::function<std::optional<QString>(const OpenRequest &request)>;

    // Lets the user pick an existing folder, starting at startFolder. Nothing when cancelled.
    static std::optional<QString> SelectFolder(QWidget *parent, const QString &startFolder);

    // Lets the user pick an existing file. filter is the toolkit's "description|pattern" or a bare
    // pattern. Nothing when cancelled.
    static std::optional<QString> OpenFile(QWidget *parent, const QString &folder, const QString &fileName,
                                           const QString &filter);

    // The toolkit's filter in the dialog's form: "description|*.ext" gives "description (*.ext)".
    static QString NameFilter(const QString &filter);

    // Replace the dialogs; an empty answerer restores the dialog. Each returns the previous one.
    static FolderAnswerer SetFolderAnswerer(FolderAnswerer answerer);
    static OpenAnswerer SetOpenAnswerer(OpenAnswerer answerer);
};
