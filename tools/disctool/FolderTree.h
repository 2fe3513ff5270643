#pragma once

#include "DiscTree.h"

#include <QList>
#include <QString>

#include <vector>

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

    // Reads the folder's names and modes (not its contents). maxDepth: how deep folders may nest,
    // 0 for no limit. Raises EDiscError when folder is no folder or nests deeper.
    FolderTree(const QString &folder, int maxDepth);

    QString Folder() const { return folder_; }
    const QList<Problem> &Problems() const { return problems_; }
    // The file on this machine that entry stands for.
    QString HostPath(const Entry &entry) const;

    // Links are followed as this machine follows them, also off the disc.
    Kind Seen(const Entry &entry) const override;
    bool Executable(const Entry &entry) const override;
    QByteArray Read(const Entry &file, qint64 offset, qint64 length) const override;

private:
    QString folder_;
    std::vector<QByteArray> hostPaths_; // by Entry::index
    QList<Problem> problems_;
};
