#include "platform/Shell.h"

#include <QDir>
#include <QProcess>
#include <QStringList>

void Shell::Open(const QString &fileName, const QString &parameters, const QString &folder)
{
    // Never through a command line: the path reaches the opener as one untouched argument.
    QStringList arguments{fileName};
    if (!parameters.isEmpty())
        arguments.append(parameters);
    const QString workingFolder = folder.isEmpty() ? QDir::currentPath() : folder;
    QProcess::startDetached(QStringLiteral("xdg-open"), arguments, workingFolder);
}
