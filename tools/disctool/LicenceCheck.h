#pragma once

#include "RuntimeCheck.h"

#include <QList>
#include <QString>
#include <QStringList>

// Whether a disc's runtime carries what the licences of its contents require to travel with them:
// Qt's licence texts, the notice of how the disc's Qt was changed and how to link the menu with
// another, Qt's source and, where Qt is linked into the program, the menu's own source, and the
// fonts' licence. It works on the names of the runtime's files, so that a folder and an image are
// checked alike.
class LicenceCheck
{
public:
    // Where the disc carries Qt: as libraries in the runtime (found by their names) or linked into
    // the programs, for Linux (with Wayland's client) or for Windows.
    struct BuiltIn
    {
        bool linuxProgram = false;
        bool windowsProgram = false;
    };

    // files: the runtime folder's files, relative to it ("lib/libxkbcommon.so.0"), in any letter
    // case; builtIn: the systems whose program has Qt linked in.
    LicenceCheck(QStringList files, BuiltIn builtIn);

    // The problems, each with its path relative to the disc.
    QList<RuntimeCheck::Problem> Inspect() const;

    // Whether a program that needs these libraries (ELF DT_NEEDED or PE imports, as written) has
    // Qt linked in: it is a Qt program that names no Qt library.
    static bool HasQtBuiltIn(const QStringList &libraries);

private:
    // Whether a file matches the wildcard pattern (relative to the runtime folder), case-blind as the
    // menu finds names.
    bool has(const QString &pattern) const;
    void checkSource(bool wayland, QList<RuntimeCheck::Problem> &problems) const;

    QStringList files_;
    BuiltIn builtIn_;
};
