#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The hidden file list through which disc folders are listed: the plain files of one folder whose
// names match a mask, sorted by name without regard to letter case.
class TFileListBox : public QObject
{
    Q_OBJECT

public:
    explicit TFileListBox(QObject *owner = nullptr);

    // The folder listed last, as found on the disc, ending in the separator; empty before the first listing.
    const QString &Directory() const { return directory_; }

    // Patterns separated by ";", "*" and "?" as wildcards, matched without regard to letter case;
    // a pattern ending in ".*" also matches names without an extension. Changing it lists the
    // folder again.
    const QString &Mask() const { return mask_; }
    void SetMask(const QString &mask);

    // The bare names of the listed files.
    const QStringList &Items() const { return items_; }

    // Lists a folder: a path whose last part holds "*" or "?" sets the folder and the mask, any
    // other path the folder alone. The listed folder becomes the process's current folder. A folder
    // that cannot be listed raises EInOutError and changes nothing, the current folder included.
    void ApplyFilePath(const QString &path);

    // Whether name matches mask by the rules above.
    static bool Matches(const QString &name, const QString &mask);

private:
    QString directory_;
    QString mask_ = QStringLiteral("*.*");
    QStringList items_;
};
