#include "toolkit/PictureData.h"

#include "toolkit/BitmapFile.h"
#include "toolkit/Exceptions.h"

#include <QtEndian>

namespace {

const QByteArray PictureClass = QByteArrayLiteral("TBitmap");
constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;

void AppendU16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void AppendU32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

[[noreturn]] void ReadFailure()
{
    throw EReadError(QStringLiteral("Stream read error"));
}

} // namespace

QImage PictureData::Read(const QByteArray &data)
{
    if (data.isEmpty())
        ReadFailure();
    const int nameLength = static_cast<unsigned char>(data.at(0));
    if (data.size() < 1 + nameLength + 4)
        ReadFailure();
    if (data.mid(1, nameLength) != PictureClass)
        throw EInvalidGraphic();
    const quint32 length = qFromLittleEndian<quint32>(data.constData() + 1 + nameLength);
    const qsizetype start = 1 + nameLength + 4;
    if (length > static_cast<quint64>(data.size() - start))
        ReadFailure();
    const QByteArray bitmap = data.mid(start, length);
    if (bitmap.size() < FileHeaderSize + InfoHeaderSize || !bitmap.startsWith("BM"))
        throw EInvalidGraphic();
    QImage image = BitmapFile::Decode(bitmap);
    if (image.isNull())
        throw EInvalidGraphic();
    return image;
}

QByteArray PictureData::Write(const QImage &image, int dotsPerInch)
{
    const QByteArray bitmap = BitmapFile(image, dotsPerInch);
    QByteArray out;
    out.reserve(1 + PictureClass.size() + 4 + bitmap.size());
    out.append(static_cast<char>(PictureClass.size()));
    out.append(PictureClass);
    AppendU32(out, static_cast<quint32>(bitmap.size()));
    out.append(bitmap);
    return out;
}

QByteArray PictureData::BitmapFile(const QImage &image, int dotsPerInch)
{
    const bool indexed = image.format() == QImage::Format_Indexed8;
    const QImage source = indexed ? image : image.convertToFormat(QImage::Format_RGB32);
    const int width = source.width();
    const int height = source.height();
    const int bitsPerPixel = indexed ? 8 : 24;
    const int stride = ((width * bitsPerPixel + 31) / 32) * 4;
    const QList<QRgb> palette = indexed ? source.colorTable() : QList<QRgb>();
    const quint32 paletteBytes = static_cast<quint32>(palette.size()) * 4;
    const quint32 pixelOffset = FileHeaderSize + InfoHeaderSize + paletteBytes;
    const quint32 pixelBytes = static_cast<quint32>(stride) * static_cast<quint32>(height);
    const auto perMetre =
        static_cast<quint32>(dotsPerInch * 10000 / 254); // whole dots per metre, as Windows records them

    QByteArray out;
    out.reserve(static_cast<qsizetype>(pixelOffset + pixelBytes));
    out.append("BM");
    AppendU32(out, pixelOffset + pixelBytes);
    AppendU32(out, 0);
    AppendU32(out, pixelOffset);
    AppendU32(out, InfoHeaderSize);
    AppendU32(out, static_cast<quint32>(width));
    AppendU32(out, static_cast<quint32>(height));
    AppendU16(out, 1);
    AppendU16(out, static_cast<quint16>(bitsPerPixel));
    AppendU32(out, 0);
    AppendU32(out, pixelBytes);
    AppendU32(out, perMetre);
    AppendU32(out, perMetre);
    AppendU32(out, static_cast<quint32>(palette.size()));
    AppendU32(out, 0);
    for (const QRgb colour : palette) {
        out.append(static_cast<char>(qBlue(colour)));
        out.append(static_cast<char>(qGreen(colour)));
        out.append(static_cast<char>(qRed(colour)));
        out.append('\0');
    }
    QByteArray row(stride, '\0');
    for (int y = height - 1; y >= 0; --y) {
        if (indexed) {
            std::copy_n(source.constScanLine(y), width, row.data());
        } else {
            const auto *pixels = reinterpret_cast<const QRgb *>(source.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                row[3 * x] = static_cast<char>(qBlue(pixels[x]));
                row[3 * x + 1] = static_cast<char>(qGreen(pixels[x]));
                row[3 * x + 2] = static_cast<char>(qRed(pixels[x]));
            }
        }
        out.append(row);
    }
    return out;
}
