#pragma once

#include <QString>

// The desktop's "open with the default action": on Windows the shell's ShellExecuteA; elsewhere
// xdg-open, started detached with an argument list.
class Shell
{
public:
    // The window-show code of a normal window.
    static constexpr int ShowNormal = 1;

    // Opens the file or folder and returns at once; with parameters, starts the program itself
    // with them as its arguments. The started program works in folder, or in the current folder
    // when folder is empty; on Windows its window is shown as showMode says. Failures are silent.
    static void Open(const QString &fileName, const QString &parameters, const QString &folder,
                     int showMode = ShowNormal);
};
