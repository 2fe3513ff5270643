#pragma once

#include <QByteArray>
#include <QImage>

// Decoding of Windows bitmap files: a bitmap cut short within its rows is refused, and the
// common uncompressed 24-bit form is decoded directly, the rest by Qt's bitmap reader.
class BitmapFile
{
public:
    // The picture of a complete bitmap file; a null image when data is not one.
    static QImage Decode(const QByteArray &data);
};
