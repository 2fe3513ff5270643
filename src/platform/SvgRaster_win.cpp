// SPDX-License-Identifier: MIT
#include "platform/SvgRaster.h"

#include <QSize>
#include <QString>

// Windows' file icons are the shell's bitmaps; SVG files only come from Linux icon themes.
QImage SvgRaster::Render(const QString &, const QSize &)
{
    return {};
}
