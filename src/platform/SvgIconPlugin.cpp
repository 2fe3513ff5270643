// SPDX-License-Identifier: MIT
#include "platform/SvgIconPlugin.h"

#include "platform/SvgIconEngine.h"

#include <QString>

QIconEngine *SvgIconPlugin::create(const QString &fileName)
{
    return new SvgIconEngine(fileName);
}
