#pragma once

#include <QString>

// The system's places the program writes to and starts its dialogs in: the folder of its settings
// file and the drive its copies go to.
class SystemFolders
{
public:
    // The full path of the settings file called fileName. On Windows it is in the Windows folder
    // where the user may write there, otherwise in the user's application-data folder (a standard
    // user on current Windows cannot write the Windows folder, and a 64-bit program gets no
    // redirection there). Elsewhere it is in the user's configuration folder. Empty when the
    // system gives no such folder.
    static QString SettingsFile(const QString &fileName);

    // The folder that stands for drive C:, where copies go by default and the folder and open
    // dialogs start: "C:\" on Windows, the home folder elsewhere.
    static QString HardDisk();
};
