#pragma once

#include "ElfDynamic.h"
#include "Finding.h"
#include "FindingList.h"

#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Whether the disc's program starts on a desktop without Qt: every library the program and the
// runtime's libraries and plugins need is in the runtime folder or left to the system, and, beside
// a Qt whose libraries are in the runtime, the plugins for X11 and Wayland are there. It works on the disc's list of
// files and a reader, so that a folder and an image are checked alike.
class RuntimeCheck
{
public:
    // Up to length bytes of the file at path from offset; raises EDiscError, saying why, when the
    // file cannot be read.
    using Reader = std::function<QByteArray(const QString &path, qint64 offset, qint64 length)>;

    using Problem = Finding;

    // files: every file on the disc, relative to its root ("Runtime/lib/libQt6Core.so.6");
    // read gives a file's bytes; broken: the files among them that are links leading to no file of
    // the disc, which the check of the disc's links reports.
    RuntimeCheck(QStringList files, Reader read, QSet<QString> broken = {});

    // Adds the problems of the disc's programs (names at the root) and of the runtime folder.
    void Inspect(const QStringList &programs, FindingList &problems) const;

    // Whether the user's system is trusted to provide the library of that name.
    static bool LeftToSystem(const QString &soname);
    // The name patterns of a list file (shell patterns, one a line, "#" for comments) as one
    // expression that matches a name any of them matches.
    static QRegularExpression Patterns(const QString &list, QRegularExpression::PatternOptions options);

private:
    // The file's ELF description; nullopt, with the problem noted, when it cannot be read.
    std::optional<ElfDynamic> read(const QString &path, FindingList &problems) const;
    void checkNeeded(const QString &path, const QStringList &needed, bool searchesRuntime, FindingList &problems) const;

    QStringList files_;
    Reader read_;
    QSet<QString> broken_;
    QStringList libraries_; // the names in the runtime's library folder
};
