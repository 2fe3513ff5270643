#pragma once

#include <QByteArray>
#include <QImage>

// Writes the program icon as a Windows icon file: one 32 by 32 image, 4 bits a pixel in the
// standard 16 colours, with its transparency mask (766 bytes).
namespace IconFile {

// The standard 16-colour palette, in its usual order.
QList<QRgb> StandardColours();

// The icon file for picture (32 by 32; fully transparent pixels are masked out, the others are
// mapped to the nearest standard colour).
QByteArray Write(const QImage &picture);

} // namespace IconFile
