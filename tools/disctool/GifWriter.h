#pragma once

#include <QByteArray>

class QImage;

// Writes a picture as a GIF file: 256-colour palette, LZW stream of literal codes only.
class GifWriter
{
public:
    // The GIF file for image. Pictures of more than 256 colours are reduced to 256 first;
    // raises EDiscError for an empty picture or one larger than 65535 pixels a side.
    static QByteArray Encode(const QImage &image);
};
