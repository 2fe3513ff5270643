// SPDX-License-Identifier: MIT
#include "platform/Installer.h"

#include "platform/Shell.h"

QStringList Installer::Names()
{
    return {WindowsName()};
}

Installer::Outcome Installer::Start(const QString &path)
{
    Shell::Open(path, QString(), QString(), Shell::ShowNormal);
    return Outcome::Started;
}
