#include "toolkit/BitmapFile.h"

#include <QtEndian>

#include <cstdint>

namespace {

constexpr qsizetype FileHeaderSize = 14;
constexpr quint32 InfoHeaderSize = 40;
constexpr quint32 Uncompressed = 0;
constexpr quint32 BitFields = 3;
constexpr std::int64_t MaxSide = 1 << 24;

// The fields of a file with an information header of at least the standard size.
struct Header
{
    quint32 pixelOffset = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // negative for rows stored top-down
    quint16 planes = 0;
    quint16 bitsPerPixel = 0;
    quint32 compression = 0;

    std::int64_t Stride() const { return (qAbs(width) * bitsPerPixel + 31) / 32 * 4; }
};

bool ReadHeader(const QByteArray &data, Header &header)
{
    if (data.size() < FileHeaderSize + qsizetype(InfoHeaderSize) || !data.startsWith("BM"))
        return false;
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    if (qFromLittleEndian<quint32>(bytes + FileHeaderSize) < InfoHeaderSize)
        return false;
    header.pixelOffset = qFromLittleEndian<quint32>(bytes + 10);
    header.width = qFromLittleEndian<qint32>(bytes + FileHeaderSize + 4);
    header.height = qFromLittleEndian<qint32>(bytes + FileHeaderSize + 8);
    header.planes = qFromLittleEndian<quint16>(bytes + FileHeaderSize + 12);
    header.bitsPerPixel = qFromLittleEndian<quint16>(bytes + FileHeaderSize + 14);
    header.compression = qFromLittleEndian<quint32>(bytes + FileHeaderSize + 16);
    return true;
}

// Whether the file holds every row its header promises. Qt's reader keeps what it could read of
// a cut-short file, which would show part of a picture without a word.
bool HoldsAllRows(const QByteArray &data, const Header &header)
{
    if (header.compression != Uncompressed && header.compression != BitFields)
        return true; // run-length data has no fixed size; its reader checks it
    if (qAbs(header.width) > MaxSide || qAbs(header.height) > MaxSide || header.bitsPerPixel > 64)
        return true; // sizes the reader refuses anyway
    return std::int64_t(header.pixelOffset) + header.Stride() * qAbs(header.height) <= data.size();
}

QImage Decode24(const QByteArray &data, const Header &header)
{
    const int width = int(header.width);
    const int height = int(qAbs(header.height));
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const auto *pixels = reinterpret_cast<const uchar *>(data.constData()) + header.pixelOffset;
    for (int y = 0; y < height; ++y) {
        const int stored = header.height > 0 ? height - 1 - y : y;
        const uchar *source = pixels + header.Stride() * stored;
        auto *target = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x, source += 3)
            target[x] = qRgb(source[2], source[1], source[0]);
    }
    return image;
}

} // namespace

QImage BitmapFile::Decode(const QByteArray &data)
{
    Header header;
    if (!ReadHeader(data, header))
        return data.startsWith("BM") ? QImage::fromData(data, "BMP") : QImage();
    if (!HoldsAllRows(data, header))
        return {};
    if (header.compression == Uncompressed && header.bitsPerPixel == 24 && header.planes == 1 && header.width > 0 &&
        header.width <= 32767 && header.height != 0 && qAbs(header.height) <= 32767)
        return Decode24(data, header);
    return QImage::fromData(data, "BMP");
}
