#pragma once

#include <QImage>
#include <QList>

// Colour reduction for the 8-bit pictures: one palette chosen for a set of pictures by median cut,
// and each picture mapped to its nearest palette colour (no dithering, so that a lit picture cut
// from a page matches the page pixel for pixel).
namespace Palette {

// A palette of exactly size colours for the pictures together.
QList<QRgb> For(const QList<QImage> &pictures, int size);

// picture as an indexed picture with the given palette.
QImage Reduce(const QImage &picture, const QList<QRgb> &palette);

} // namespace Palette
