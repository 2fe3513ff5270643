// SPDX-License-Identifier: MIT
#include "app/OwnPlugins.h"

#include <QFile>

OwnPlugins::OwnPlugins()
{
    if (!QFile::exists(QStringLiteral(":/qt/etc/qt.conf")))
        return;
    for (Hidden &variable : hidden_) {
        variable.set = qEnvironmentVariableIsSet(variable.name);
        if (variable.set) {
            variable.value = qgetenv(variable.name);
            qunsetenv(variable.name);
        }
    }
}

OwnPlugins::~OwnPlugins()
{
    for (const Hidden &variable : hidden_) {
        if (variable.set)
            qputenv(variable.name, variable.value);
    }
}
