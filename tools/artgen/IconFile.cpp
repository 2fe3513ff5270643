#include "IconFile.h"

#include <QtEndian>

namespace IconFile {

namespace {

void U16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void U32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

int Nearest(QRgb c, const QList<QRgb> &palette)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(c) - qRed(palette[i]), dg = qGreen(c) - qGreen(palette[i]),
                  db = qBlue(c) - qBlue(palette[i]);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

} // namespace

QList<QRgb> StandardColours()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

QByteArray Write(const QImage &picture)
{
    constexpr int Size = 32;
    constexpr quint32 ImageBytes = 40 + 16 * 4 + Size * Size / 2 + Size * 4;
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    const QList<QRgb> palette = StandardColours();
    QByteArray out;
    // File header and the one directory entry.
    U16(out, 0);
    U16(out, 1);
    U16(out, 1);
    out.append(char(Size));
    out.append(char(Size));
    out.append(char(16));
    out.append('\0');
    U16(out, 1);
    U16(out, 4);
    U32(out, ImageBytes);
    U32(out, 6 + 16);
    // The image: its header (height counts the picture and the mask), palette, pixels, mask.
    U32(out, 40);
    U32(out, Size);
    U32(out, Size * 2);
    U16(out, 1);
    U16(out, 4);
    U32(out, 0);
    U32(out, Size * Size / 2 + Size * 4);
    U32(out, 0);
    U32(out, 0);
    U32(out, 0);
    U32(out, 0);
    for (const QRgb c : palette) {
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append('\0');
    }
    for (int y = Size - 1; y >= 0; --y)
        for (int x = 0; x < Size; x += 2) {
            const auto index = [&](int px) {
                const QRgb c = source.pixel(px, y);
                return qAlpha(c) == 0 ? 0 : Nearest(c, palette);
            };
            out.append(char((index(x) << 4) | index(x + 1)));
        }
    for (int y = Size - 1; y >= 0; --y) {
        quint32 bits = 0;
        for (int x = 0; x < Size; ++x)
            if (qAlpha(source.pixel(x, y)) == 0)
                bits |= 0x80000000u >> x;
        char b[4];
        qToBigEndian(bits, b);
        out.append(b, 4);
    }
    return out;
}

} // namespace IconFile
