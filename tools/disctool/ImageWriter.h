#pragma once

#include <QString>
#include <QStringList>

#include <ctime>

struct Iso_Dir;
struct Iso_Image;

// Masters an ISO 9660 image (Rock Ridge and Joliet) of a disc folder as a publisher presses it:
// every file read-only for all, the menu program and autorun.sh executable, owned by root, labelled
// with the disc number, and byte for byte the same for the same folder.
class ImageWriter
{
public:
    // Raises EDiscError when folder is not a disc folder with a menu program at its root.
    explicit ImageWriter(const QString &folder);

    // Writes the image; a failed run leaves no image file behind. Raises EDiscError.
    void Write(const QString &image);

    // "BRINDLE07" for disc 7.
    QString Label() const { return label_; }

    // The time every file and the volume carry: SOURCE_DATE_EPOCH when set, a fixed one otherwise.
    static std::time_t Timestamp();

private:
    void addFolder(Iso_Image *image, Iso_Dir *parent, const QString &path, bool atRoot) const;

    QString root_;
    QString label_;
    QStringList executables_; // names at the root that keep their execute bits
    std::time_t timestamp_ = 0;
};
