// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

class QSize;
class QString;

// Draws SVG files with the desktop's own renderer, for a Qt that has no SVG module of its own.
class SvgRaster
{
public:
    // The file drawn to fit within size, keeping its proportions; a null image where the desktop has
    // no renderer for it or the file cannot be drawn.
    static QImage Render(const QString &path, const QSize &size);
};
