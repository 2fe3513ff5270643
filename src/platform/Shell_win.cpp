#include "platform/Shell.h"

#include "platform/AnsiText.h"

#include <QDir>

#include <windows.h>

#include <shellapi.h>

void Shell::Open(const QString &fileName, const QString &parameters, const QString &folder, int showMode)
{
    // No owner window and no verb: the file type's default action. The texts are not cut to a
    // fixed length; an empty folder leaves the started program in the current folder. The result
    // is not looked at.
    AnsiText::Call(
        [showMode](const char *file, const char *arguments, const char *workingFolder) {
            return ShellExecuteA(nullptr, nullptr, file, *arguments ? arguments : nullptr,
                                 *workingFolder ? workingFolder : nullptr, showMode);
        },
        [showMode](const wchar_t *file, const wchar_t *arguments, const wchar_t *workingFolder) {
            return ShellExecuteW(nullptr, nullptr, file, *arguments ? arguments : nullptr,
                                 *workingFolder ? workingFolder : nullptr, showMode);
        },
        QDir::toNativeSeparators(fileName), parameters, QDir::toNativeSeparators(folder));
}
