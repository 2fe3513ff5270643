#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>

class TImageList;

// Reader and writer of the stored image-list stream: the "IL" header, the 5-5-5 image bitmap
// holding four pictures a row, the 1-bit mask bitmap and the trailer. The reader also takes the
// older layout without the header.
class ImageListStream
{
public:
    // Rebuilds list from data: its picture size, background colour and pictures (the older layout
    // gives only pictures, of the list's own size). Masked pixels are transparent. Raises EReadError
    // "Failed to read ImageList data from stream" for anything that cannot be rebuilt; the list is
    // then left unchanged. The list keeps a share of data and decodes each picture of the stream's
    // own layout when it is first used, so data made with fromRawData must outlive it.
    static void Read(const QByteArray &data, TImageList &list);

    // The stream of pictures (each width by height) in a list of allocated slots; an invalid
    // background colour is stored as none. Spare slots are black and every mask bit is clear.
    static QByteArray Write(const QList<QImage> &pictures, int width, int height, int allocated,
                            const QColor &background);

    // The colour a 5-5-5 pixel keeps once stored and read back.
    static QRgb Stored555(QRgb colour);
};
