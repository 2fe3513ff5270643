#include "toolkit/ImageListStream.h"

#include "toolkit/BitmapFile.h"
#include "toolkit/Exceptions.h"
#include "toolkit/ImageList.h"

#include <QPainter>
#include <QtEndian>

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

constexpr int HeaderSize = 28;
constexpr int TrailerSize = 22;
constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;
constexpr int Columns = 4;
constexpr quint16 Version = 0x0101;
constexpr quint16 GrowStep = 4;
constexpr quint16 Flags = 0x10FF;
constexpr quint16 MaskFlag = 0x0001;

[[noreturn]] void Fail()
{
    throw EReadError(QStringLiteral("Failed to read ImageList data from stream"));
}

// Sequential reader that refuses to go past the end of the bytes at hand.
class Cursor
{
public:
    explicit Cursor(const QByteArray &data)
        : data_(reinterpret_cast<const uchar *>(data.constData())), size_(static_cast<std::uint64_t>(data.size()))
    {
    }

    const uchar *Take(std::uint64_t count)
    {
        if (count > size_ - pos_)
            Fail();
        const uchar *at = data_ + pos_;
        pos_ += count;
        return at;
    }
    // Everything not read yet.
    QByteArray Rest() const
    {
        return QByteArray(reinterpret_cast<const char *>(data_ + pos_), static_cast<qsizetype>(size_ - pos_));
    }
    quint16 U16() { return qFromLittleEndian<quint16>(Take(2)); }
    quint32 U32() { return qFromLittleEndian<quint32>(Take(4)); }
    qint32 I32() { return qFromLittleEndian<qint32>(Take(4)); }

private:
    const uchar *data_;
    std::uint64_t size_;
    std::uint64_t pos_ = 0;
};

// One bitmap file of the stream: the pixel rows bottom-up, stride bytes each.
struct StoredBitmap
{
    const uchar *pixels = nullptr;
    int width = 0;
    int height = 0;
    std::uint64_t stride = 0;

    const uchar *Row(int topDownRow) const
    {
        return pixels + stride * static_cast<std::uint64_t>(height - 1 - topDownRow);
    }
};

StoredBitmap ReadBitmap(Cursor &in, int bitsPerPixel, int width, int height)
{
    const uchar *fileHeader = in.Take(FileHeaderSize);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M')
        Fail();
    const quint32 infoSize = in.U32();
    const qint32 bmWidth = in.I32();
    const qint32 bmHeight = in.I32();
    const quint16 planes = in.U16();
    const quint16 bits = in.U16();
    const quint32 compression = in.U32();
    in.Take(12); // image size and resolution: the size follows from the dimensions
    const quint32 coloursUsed = in.U32();
    in.U32();
    if (infoSize != InfoHeaderSize || bmWidth != width || bmHeight != height || planes != 1 || bits != bitsPerPixel ||
        compression != 0)
        Fail();
    std::uint64_t paletteEntries = coloursUsed;
    if (paletteEntries == 0 && bitsPerPixel <= 8)
        paletteEntries = 1u << bitsPerPixel;
    in.Take(paletteEntries * 4);
    StoredBitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.stride = ((static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32) * 4;
    bitmap.pixels = in.Take(bitmap.stride * static_cast<std::uint64_t>(height));
    return bitmap;
}

// 5-bit channel to 8 bits, spreading the top bits into the low ones so that white stays white.
constexpr std::array<uchar, 32> Expand5 = [] {
    std::array<uchar, 32> table{};
    for (int i = 0; i < 32; ++i)
        table[i] = static_cast<uchar>((i << 3) | (i >> 2));
    return table;
}();

constexpr QRgb Expand555(quint16 v)
{
    return 0xFF000000u | (QRgb(Expand5[(v >> 10) & 31]) << 16) | (QRgb(Expand5[(v >> 5) & 31]) << 8) | Expand5[v & 31];
}

// Every 5-5-5 pixel's colour, so that decoding is one look-up a pixel.
const std::array<QRgb, 32768> &Colours555()
{
    static const std::array<QRgb, 32768> table = [] {
        std::array<QRgb, 32768> t{};
        for (quint16 v = 0; v < 32768; ++v)
            t[v] = Expand555(v);
        return t;
    }();
    return table;
}

inline QRgb From555(quint16 v)
{
    return Colours555()[v & 0x7FFF];
}

inline quint16 To555(QRgb c)
{
    return static_cast<quint16>(((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3));
}

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

void AppendBitmapHeaders(QByteArray &out, quint32 fileSizeField, quint32 pixelOffset, int width, int height,
                         int bitsPerPixel, quint32 imageSize, quint32 coloursUsed)
{
    out.append("BM");
    AppendU32(out, fileSizeField);
    AppendU32(out, 0);
    AppendU32(out, pixelOffset);
    AppendU32(out, InfoHeaderSize);
    AppendU32(out, static_cast<quint32>(width));
    AppendU32(out, static_cast<quint32>(height));
    AppendU16(out, 1);
    AppendU16(out, static_cast<quint16>(bitsPerPixel));
    AppendU32(out, 0);
    AppendU32(out, imageSize);
    AppendU32(out, 0);
    AppendU32(out, 0);
    AppendU32(out, coloursUsed);
    AppendU32(out, 0);
}

// The older layout: a 4-byte length of the image bitmap file, a 4-byte picture count, the image
// bitmap file and the mask bitmap file, in any depth the bitmap reader knows. It carries no picture
// size and no background colour: the list keeps its own, and its pictures are cut from the image
// bitmap row by row, left to right. A white mask pixel marks a transparent picture pixel.
void ReadOlderLayout(const QByteArray &data, TImageList &list)
{
    Cursor in(data);
    const quint32 imageLength = in.U32();
    const qint32 count = in.I32();
    const uchar *imageFile = in.Take(imageLength);
    const QImage image = BitmapFile::Decode(QByteArray(reinterpret_cast<const char *>(imageFile), imageLength))
                             .convertToFormat(QImage::Format_RGB32);
    const QImage mask = BitmapFile::Decode(in.Rest()).convertToFormat(QImage::Format_RGB32);
    const int width = list.Width();
    const int height = list.Height();
    if (image.isNull() || mask.size() != image.size() || count < 0 || width <= 0 || height <= 0)
        Fail();
    const int columns = image.width() / width;
    if (count > columns * (image.height() / height))
        Fail();

    QList<QImage> pictures;
    pictures.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QRect cell((i % columns) * width, (i / columns) * height, width, height);
        QImage picture = image.copy(cell);
        for (int y = 0; y < height; ++y) {
            const auto *bits = reinterpret_cast<const QRgb *>(mask.constScanLine(cell.top() + y)) + cell.left();
            for (int x = 0; x < width; ++x) {
                if (qGray(bits[x]) < 128)
                    continue;
                if (!picture.hasAlphaChannel())
                    picture = picture.convertToFormat(QImage::Format_ARGB32);
                picture.setPixel(x, y, qRgba(0, 0, 0, 0));
            }
        }
        pictures.append(picture);
    }
    list.Clear();
    for (const QImage &picture : std::as_const(pictures))
        list.Add(picture);
}

// Whether any pixel of the picture at (left, top) is masked.
bool AnyMasked(const StoredBitmap &mask, int left, int top, int width, int height)
{
    if (!mask.pixels)
        return false;
    for (int y = 0; y < height; ++y) {
        const uchar *bits = mask.Row(top + y);
        for (int bit = left; bit < left + width; ++bit) {
            if (bits[bit >> 3] & (0x80 >> (bit & 7)))
                return true;
        }
    }
    return false;
}

// The picture whose top-left corner is at (left, top) of the stored bitmaps. Only its own rows are
// read: a start draws one picture of each list.
QImage Picture(const StoredBitmap &image, const StoredBitmap &mask, int left, int top, int width, int height)
{
    if (!AnyMasked(mask, left, top, width, height)) {
        // Opaque pictures keep the stored 5-5-5 pixels; the list widens them when drawn.
        QImage picture(width, height, QImage::Format_RGB555);
        for (int y = 0; y < height; ++y) {
            auto *target = reinterpret_cast<quint16 *>(picture.scanLine(y));
            std::memcpy(target, image.Row(top + y) + 2 * left, size_t(width) * 2);
            for (int x = 0; x < width; ++x)
                target[x] = qFromLittleEndian(target[x]) & 0x7FFF;
        }
        return picture;
    }
    // Masked pixels stay transparent: the list's background colour, or what lies beneath when it
    // has none, shows through them when the picture is drawn.
    const std::array<QRgb, 32768> &colours = Colours555();
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const uchar *source = image.Row(top + y) + 2 * left;
        auto *target = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            target[x] = colours[(source[2 * x] | (source[2 * x + 1] << 8)) & 0x7FFF];
        const uchar *bits = mask.Row(top + y);
        for (int x = 0; x < width; ++x) {
            const int bit = left + x;
            if (bits[bit >> 3] & (0x80 >> (bit & 7)))
                target[x] = qRgba(0, 0, 0, 0);
        }
    }
    return picture;
}

// The stored pictures, decoded one at a time. It shares the stream's bytes, which hold the pixels
// that image and mask point into.
struct Sheet
{
    QByteArray data;
    StoredBitmap image;
    StoredBitmap mask;
    int width = 0;
    int height = 0;

    QImage operator()(int i) const
    {
        return Picture(image, mask, (i % Columns) * width, (i / Columns) * height, width, height);
    }
};

} // namespace

void ImageListStream::Read(const QByteArray &data, TImageList &list)
{
    Cursor in(data);
    const uchar *head = in.Take(HeaderSize);
    const quint32 firstWord = qFromLittleEndian<quint32>(head);
    const quint32 secondWord = qFromLittleEndian<quint32>(head + 4);
    if (firstWord == secondWord || head[0] != 'I' || head[1] != 'L') {
        ReadOlderLayout(data, list);
        return;
    }
    const quint16 version = qFromLittleEndian<quint16>(head + 2);
    const int count = qFromLittleEndian<quint16>(head + 4);
    const int allocated = qFromLittleEndian<quint16>(head + 6);
    const int width = qFromLittleEndian<quint16>(head + 10);
    const int height = qFromLittleEndian<quint16>(head + 12);
    const uchar *background = head + 14;
    const quint16 flags = qFromLittleEndian<quint16>(head + 18);
    if (version != Version || count > allocated || allocated == 0 || width == 0 || height == 0)
        Fail();

    const int rows = (allocated + Columns - 1) / Columns;
    const int bitmapWidth = width * Columns;
    const int bitmapHeight = height * rows;
    const StoredBitmap image = ReadBitmap(in, 16, bitmapWidth, bitmapHeight);
    StoredBitmap mask;
    if (flags & MaskFlag)
        mask = ReadBitmap(in, 1, bitmapWidth, bitmapHeight);

    const bool noBackground =
        background[0] == 0xFF && background[1] == 0xFF && background[2] == 0xFF && background[3] == 0xFF;
    const QColor bkColour = noBackground ? QColor() : QColor(background[0], background[1], background[2]);

    // Everything is checked above, so decoding a picture later cannot fail. A picture without a
    // masked pixel is opaque, as the program's own are.
    Sheet sheet{data, image, mask, width, height};
    list.SetSize(width, height);
    list.Clear();
    list.SetBkColor(bkColour);
    list.SetPictures(count, std::move(sheet));
}

QByteArray ImageListStream::Write(const QList<QImage> &pictures, int width, int height, int allocated,
                                  const QColor &background)
{
    const int rows = (allocated + Columns - 1) / Columns;
    const int bitmapWidth = width * Columns;
    const int bitmapHeight = height * rows;
    const int imageStride = ((bitmapWidth * 16 + 31) / 32) * 4;
    const int maskStride = ((bitmapWidth + 31) / 32) * 4;

    QImage sheet(bitmapWidth, bitmapHeight, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    {
        QPainter painter(&sheet);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (int i = 0; i < pictures.size(); ++i)
            painter.drawImage((i % Columns) * width, (i / Columns) * height, pictures.at(i), 0, 0, width, height);
    }

    QByteArray out;
    out.append("IL");
    AppendU16(out, Version);
    AppendU16(out, static_cast<quint16>(pictures.size()));
    AppendU16(out, static_cast<quint16>(allocated));
    AppendU16(out, GrowStep);
    AppendU16(out, static_cast<quint16>(width));
    AppendU16(out, static_cast<quint16>(height));
    if (background.isValid()) {
        out.append(static_cast<char>(background.red()));
        out.append(static_cast<char>(background.green()));
        out.append(static_cast<char>(background.blue()));
        out.append('\0');
    } else {
        out.append(4, '\xFF');
    }
    AppendU16(out, Flags);
    for (int overlay = 0; overlay < 4; ++overlay)
        AppendU16(out, 0xFFFF);

    const quint32 imageBytes = static_cast<quint32>(imageStride) * static_cast<quint32>(bitmapHeight);
    AppendBitmapHeaders(out, FileHeaderSize + InfoHeaderSize, FileHeaderSize + InfoHeaderSize, bitmapWidth,
                        bitmapHeight, 16, imageBytes, 0);
    QByteArray row(imageStride, '\0');
    for (int y = bitmapHeight - 1; y >= 0; --y) {
        const auto *pixels = reinterpret_cast<const QRgb *>(sheet.constScanLine(y));
        for (int x = 0; x < bitmapWidth; ++x)
            qToLittleEndian(To555(pixels[x]), row.data() + 2 * x);
        out.append(row);
    }

    const quint32 maskOffset = FileHeaderSize + InfoHeaderSize + 2 * 4;
    AppendBitmapHeaders(out, maskOffset, maskOffset, bitmapWidth, bitmapHeight, 1,
                        static_cast<quint32>(maskStride) * static_cast<quint32>(bitmapHeight), 2);
    AppendU32(out, 0x00000000);
    AppendU32(out, 0x00FFFFFF);
    out.append(QByteArray(static_cast<qsizetype>(maskStride) * bitmapHeight, '\0'));
    out.append(QByteArray(TrailerSize, '\0'));
    return out;
}

QRgb ImageListStream::Stored555(QRgb colour)
{
    return From555(To555(colour));
}
