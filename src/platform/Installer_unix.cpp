// SPDX-License-Identifier: MIT
#include "platform/Installer.h"

#include "platform/Shell.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>

namespace {

// A desktop starts a Windows program only through a program it has for the type (Wine): asked as
// the desktop's opener asks, so that what it answers is what xdg-open would do.
bool desktopRunsWindowsPrograms(const QString &path)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    QStringList types = type.aliases();
    types.prepend(type.name());
    for (const QString &name : types) {
        QProcess query;
        query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), name});
        if (query.waitForFinished(5000) && query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
            !query.readAllStandardOutput().trimmed().isEmpty())
            return true;
    }
    return false;
}

} // namespace

QStringList Installer::Names()
{
    return LinuxNames() << WindowsName();
}

Installer::Outcome Installer::Start(const QString &path)
{
    const QFileInfo installer(path);
    if (installer.fileName().compare(WindowsName(), Qt::CaseInsensitive) == 0) {
        // A desktop without Wine would open the program as text, or not at all.
        if (!desktopRunsWindowsPrograms(path))
            return Outcome::ForWindows;
        Shell::Open(path, QString(), QString(), Shell::ShowNormal);
        return Outcome::Started;
    }
    // Started itself, never through the desktop, which may take a script for a text to edit. A
    // script that lost its execute bit on a disc still runs through the shell.
    if (installer.isExecutable())
        QProcess::startDetached(path, {}, QDir::currentPath());
    else if (installer.suffix().compare(QStringLiteral("sh"), Qt::CaseInsensitive) == 0)
        QProcess::startDetached(QStringLiteral("/bin/sh"), {path}, QDir::currentPath());
    else
        return Outcome::NotExecutable;
    return Outcome::Started;
}
