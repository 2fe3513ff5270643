#pragma once

#include <QString>

// The desktop's "open with the default action": xdg-open, started detached with an argument list.
class Shell
{
public:
    // Opens the file or folder and returns at once; with parameters, starts the program itself
    // with them as its arguments. The started program works in folder, or in the current folder
    // when folder is empty. Failures are silent.
    static void Open(const QString &fileName, const QString &parameters, const QString &folder);
};
