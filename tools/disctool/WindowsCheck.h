#pragma once

#include "FindingList.h"
#include "PeImports.h"
#include "RuntimeCheck.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Whether the disc's Windows program starts on a Windows PC as it comes: every DLL the program, the
// DLLs of its runtime and its plugins import is on the disc where Windows looks for it or is a part
// of Windows, the private assembly its manifest names is there as named, and so is the platform
// plugin. Windows reads a disc through Joliet, which holds no links: only plain files count.
class WindowsCheck
{
public:
    using Reader = RuntimeCheck::Reader;
    using Problem = RuntimeCheck::Problem;

    // files: every plain file on the disc, relative to its root ("Runtime/Qt6Core.dll").
    WindowsCheck(const QStringList &files, Reader read);

    // Adds the problems of the disc's Windows programs (names at the root; other programs are left
    // alone) and of the DLLs they load.
    void Inspect(const QStringList &programs, FindingList &problems) const;

    // Whether every Windows PC has the DLL of that name (in any letter case).
    static bool LeftToSystem(const QString &dll);

private:
    // What Windows finds for the DLLs a file imports: the files beside the program (at the root)
    // and those of the private assemblies, by their names in folded case.
    struct Found
    {
        QHash<QString, QString> root;
        QHash<QString, QString> assembly;
        QStringList assemblyFolders; // "Runtime/"
    };

    std::optional<PeImports> read(const QString &path, FindingList &problems) const;
    // Adds the private assemblies the program's manifest names to found.
    void addAssemblies(const QString &program, const QByteArray &manifest, Found &found, FindingList &problems) const;
    // Reports the DLLs path imports that Windows does not find; whether it imports any that are
    // not a part of Windows.
    bool checkImports(const QString &path, const QStringList &imports, const Found &found, FindingList &problems) const;
    const QString *file(const QString &path) const;

    QHash<QString, QString> files_; // by path in folded case
    QStringList order_;             // the paths in name order
    Reader read_;
};
