#pragma once

#include "DiscChecker.h"
#include "DiscTree.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QString>

#include <vector>

// Reads a disc image as a desktop that mounts it sees it, without laying anything out on disk: its
// Rock Ridge tree (names, modes) read in a process of its own that is stopped after a few seconds
// (a damaged image can send the ISO library round a loop), files read straight from their places
// in the image, and its Joliet tree compared with it for the names that desktops reading only
// Joliet would see otherwise.
class ImageReader : public DiscTree
{
public:
    // How long reading the image's folders may take.
    static constexpr int TimeLimitSeconds = 10;
    // Whether the file at path holds an ISO 9660 volume (by its content, not its name).
    static bool IsImage(const QString &path);

    // Reads the image's trees. Raises EDiscError when it cannot.
    explicit ImageReader(const QString &path);
    ~ImageReader() override;

    // What is wrong with the image itself: names that are not UTF-8 or cannot be file names (left
    // out of the tree), links Joliet cannot hold, extensions missing.
    QList<DiscChecker::Finding> Findings() const { return findings_; }

    QString Label() const { return label_; }

    // Where the image holds a file's first byte; nullopt for an empty file or one that is no file.
    std::optional<qint64> Offset(const Entry &file) const;
    std::optional<QString> JolietName(const Entry &entry) const override;
    bool Pressed() const override { return true; }

protected:
    QByteArray readData(const Entry &file, qint64 offset, qint64 length) const override;

private:
    void decode(const QByteArray &description);

    struct Section
    {
        quint32 block = 0;
        quint32 size = 0;
    };

    QString path_;
    mutable QFile image_; // open while the image is read from
    QString label_;
    QList<DiscChecker::Finding> findings_;
    QHash<QString, QString> jolietNames_;        // by path, where Joliet does not hold the name as it stands
    std::vector<std::vector<Section>> sections_; // by Entry::index
};
