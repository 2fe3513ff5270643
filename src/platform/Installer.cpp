// SPDX-License-Identifier: MIT
#include "platform/Installer.h"

QString Installer::WindowsName()
{
    return QStringLiteral("Setup.exe");
}

QStringList Installer::LinuxNames()
{
    return {QStringLiteral("setup.sh"), QStringLiteral("Setup.AppImage")};
}
