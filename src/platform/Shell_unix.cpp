#include "platform/Shell.h"

#include <QDir>
#include <QProcess>
#include <QStringList>

void Shell::Open(const QString &fileName, const QString &parameters, const QString &folder, int showMode)
{
    // The desktop decides how the started program shows its window.
    Q_UNUSED(showMode);
    // Never through a shell's command line: the path is one untouched argument, and parameters
    // are split only at blanks outside double quotes, as a program's command line is.
    const QString workingFolder = folder.isEmpty() ? QDir::currentPath() : folder;
    if (parameters.isEmpty())
        QProcess::startDetached(QStringLiteral("xdg-open"), {fileName}, workingFolder);
    else
        QProcess::startDetached(fileName, QProcess::splitCommand(parameters), workingFolder);
}
