#pragma once

#include "DiscTree.h"

#include <QList>
#include <QString>

#include <utility>
#include <vector>

#include <sys/types.h>

// A disc folder on this machine read into a disc tree, names as their bytes are: what a disc cannot
// hold (names that are not UTF-8, devices, pipes and sockets) and folders that cannot be read are
// left out and noted.
class FolderTree : public DiscTree
{
public:
    struct Problem
    {
        QString path; // relative to the folder
        QString what;
    };

    // Reads the folder's names and modes (not its contents), and each file's device and inode.
    // Raises EDiscError when folder is no folder, nests deeper than MaxDepth or holds more than
    // MaxEntries.
    explicit FolderTree(const QString &folder);

    QString Folder() const { return folder_; }
    const QList<Problem> &Problems() const { return problems_; }
    // The file on this machine that entry stands for.
    QString HostPath(const Entry &entry) const;
    // The device and inode of that file as it was read.
    std::pair<dev_t, ino_t> Identity(const Entry &entry) const;

protected:
    QByteArray readData(const Entry &file, qint64 offset, qint64 length) const override;

private:
    QString folder_;
    std::vector<QByteArray> hostPaths_;               // by Entry::index
    std::vector<std::pair<dev_t, ino_t>> identities_; // by Entry::index
    QList<Problem> problems_;
};
