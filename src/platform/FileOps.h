#pragma once

#include <QString>
#include <QStringList>

// File operations with the Windows file rules the program relies on: copies that never leave a
// torn file, and the read-only and hidden attributes. On Windows these are the system's own; elsewhere
// read-only is the missing owner-write permission and hidden a leading dot.
class FileOps
{
public:
    // Whether path names an existing file (not a folder).
    static bool FileExists(const QString &path);

    // Creates the folder with every missing parent; returns whether it exists afterwards.
    static bool ForceDirectories(const QString &folder);

    // Copies source to destination so that destination is either the old file or the whole new one
    // (elsewhere than on Windows through a temporary file renamed into place; on Windows with the
    // system's copy, a broken-off copy removed). Fails when failIfExists is set and destination
    // exists, and when destination exists read-only. The copy is read-only when the source is.
    // Returns whether the copy was written.
    static bool CopyFile(const QString &source, const QString &destination, bool failIfExists);

    // Clears the read-only attribute (elsewhere than on Windows: adds the owner-write permission); on
    // Windows also clears hidden and system and sets archive. A missing file is left alone.
    static void MakeWritable(const QString &path);

    // Whether the file is read-only (elsewhere than on Windows: lacks its owner-write permission).
    static bool IsReadOnly(const QString &path);

    // Writes data to path through a temporary file renamed into place. An existing file keeps its
    // permissions (on Windows its attributes). Returns whether the file now holds data.
    static bool ReplaceFile(const QString &path, const QByteArray &data);

    // The plain, non-hidden files of folder whose names match the wildcard pattern without regard to
    // letter case, sorted by name without regard to letter case. A missing folder gives none.
    static QStringList ListFiles(const QString &folder, const QString &pattern);
};
