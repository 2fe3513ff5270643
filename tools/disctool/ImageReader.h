#pragma once

#include "DiscChecker.h"

#include <QList>
#include <QString>

#include <memory>

struct Iso_Dir;
struct Iso_Image;

// Reads a disc image as a desktop that mounts it sees it: its Rock Ridge tree (names, modes) is
// laid out in a folder for the disc checker, and its Joliet tree is compared with it for the names
// that desktops reading only Joliet would see otherwise.
class ImageReader
{
public:
    // Whether the file at path holds an ISO 9660 volume (by its content, not its name).
    static bool IsImage(const QString &path);

    // Reads the image's trees. Raises EDiscError when it cannot.
    explicit ImageReader(const QString &path);
    ~ImageReader();

    // Writes every folder, file and link of the image into folder (which must exist), files with
    // their modes from the image.
    void Extract(const QString &folder) const;

    // What is wrong with the image itself: names Joliet cuts or changes, extensions missing.
    QList<DiscChecker::Finding> Findings() const;

    QString Label() const;

private:
    void extractFolder(Iso_Dir *folder, const QString &path) const;
    void compareNames(Iso_Dir *rockRidge, Iso_Dir *joliet, const QString &path,
                      QList<DiscChecker::Finding> &findings) const;

    QString path_;
    struct Trees;
    std::unique_ptr<Trees> trees_;
};
