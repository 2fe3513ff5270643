// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A publisher's own content for a disc: the files of a folder laid out as the disc is (Files/...),
// each with its place on the disc, the names of the disc's layout matched without regard to case
// and written as the layout writes them.
class ContentFolder
{
public:
    struct File
    {
        QString source; // the file in the content folder
        QString path;   // its place on the disc, relative to the disc's root
        bool read;      // whether the menu reads or delivers it where it lies
    };

    // Reads the folder's files; hidden ones (names starting with a dot) are left out. Raises
    // EDiscError when it is no folder or holds two files for one place on the disc.
    explicit ContentFolder(const QString &folder);

    const QList<File> &Files() const { return files_; }
    // The hidden files and folders left out, relative to the content folder.
    const QStringList &LeftOut() const { return leftOut_; }

    // The file for a place on the disc, or nullptr.
    const File *Find(const QString &path) const;
    // Whether any file lies in a folder of the disc (a path ending in '/') or below it.
    bool Holds(const QString &folder) const;

private:
    QList<File> files_;
    QStringList leftOut_;
};
