#pragma once

#include <QString>
#include <QStringList>

#include <ctime>
#include <memory>

class FolderTree;

namespace FolderStream {
class Failure;
}

struct Iso_Dir;
struct Iso_Image;

// Masters an ISO 9660 image (Rock Ridge and Joliet) of a disc folder as a publisher presses it:
// every file read-only for all, the menu program and autorun.sh executable, owned by root, labelled
// with the disc number, and byte for byte the same for the same folder.
class ImageWriter
{
public:
    // Reads the folder's names. Raises EDiscError, naming each, when it is not a disc folder with a
    // menu program at its root or holds what a disc cannot: names that are not UTF-8, devices,
    // pipes and sockets, folders or files that cannot be read.
    explicit ImageWriter(const QString &folder);
    ~ImageWriter();

    // Writes the image, which must not lie inside the folder; a failed run leaves no image file
    // behind. Raises EDiscError.
    void Write(const QString &image);

    // The folder as read, for checking it before it is written.
    const FolderTree &Tree() const { return *tree_; }

    // The volume label of ISO 9660 and of Joliet, which drives show: "BRINDLE07" for disc 7
    // unless set.
    QString Label() const { return label_; }
    // Raises EDiscError, saying why, for a label other than 1 to 16 of A to Z, 0 to 9 and "_",
    // which ISO 9660 and Joliet both hold as they stand.
    void SetLabel(const QString &label);

    // Who publishes the disc, as the volume's publisher field says; none unless set. Raises
    // EDiscError for one longer than Joliet's 64 characters or holding control characters.
    QString Publisher() const { return publisher_; }
    void SetPublisher(const QString &publisher);

    // The time every file and the volume carry: SOURCE_DATE_EPOCH when set, a fixed one otherwise.
    static std::time_t Timestamp();

private:
    void addTree(Iso_Image *image, FolderStream::Failure &failure) const;

    std::unique_ptr<FolderTree> tree_;
    QString root_;
    QString label_;
    QString publisher_;
    QStringList executables_; // names at the root that keep their execute bits
    std::time_t timestamp_ = 0;
};
