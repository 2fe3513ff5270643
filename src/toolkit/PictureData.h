#pragma once

#include <QByteArray>
#include <QImage>

// Reader and writer of the stored picture form: the picture class's name ("TBitmap"), the length
// of the bitmap file that follows, and that Windows bitmap file.
class PictureData
{
public:
    // The picture held by data. Raises EReadError "Stream read error" when data ends before a
    // field it announces, and EInvalidGraphic for another class or a bitmap that cannot be decoded.
    static QImage Read(const QByteArray &data);

    // The stored form of image: 8 bits per pixel with its colour table when image is indexed,
    // 24 bits per pixel otherwise, with dotsPerInch recorded.
    static QByteArray Write(const QImage &image, int dotsPerInch);

    // A standard uncompressed Windows bitmap file of image (8-bit with palette or 24-bit, as above).
    static QByteArray BitmapFile(const QImage &image, int dotsPerInch);
};
