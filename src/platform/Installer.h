// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// Starting the installer a disc folder holds for this system: on Windows its Setup.exe through the
// shell; elsewhere the folder's own installer for this system, started directly, or else its
// Setup.exe, handed to the desktop only where the desktop runs Windows programs.
class Installer
{
public:
    // The installer a disc folder holds for Windows, and those it may hold for Linux (an
    // executable script or an AppImage), each matched without regard to letter case.
    static QString WindowsName();
    static QStringList LinuxNames();

    // The installers this system starts, in the order they are preferred.
    static QStringList Names();

    enum class Outcome {
        Started,
        ForWindows,    // a Windows installer on a desktop that runs no Windows programs
        NotExecutable, // a Linux installer without its execute permission
    };
    // Starts the installer at path, working in the current folder (its own, where the launcher
    // listed it), and returns at once; what cannot be started is left alone.
    static Outcome Start(const QString &path);
};
