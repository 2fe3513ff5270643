#include "app/Artwork.h"

#include "toolkit/Exceptions.h"
#include "toolkit/ImageListStream.h"
#include "toolkit/PictureData.h"

#include <QPixmap>
#include <QResource>

namespace {

// The icon file's single 32 by 32, 16-colour image with its transparency mask.
QImage DecodeIcon(const QByteArray &file)
{
    constexpr int Size = 32;
    constexpr int ImageOffset = 6 + 16;
    constexpr int PaletteOffset = ImageOffset + 40;
    constexpr int PixelOffset = PaletteOffset + 16 * 4;
    constexpr int MaskOffset = PixelOffset + Size * Size / 2;
    if (file.size() < MaskOffset + Size * 4)
        throw EInvalidGraphic();
    const auto *bytes = reinterpret_cast<const uchar *>(file.constData());
    QRgb palette[16];
    for (int i = 0; i < 16; ++i) {
        const uchar *entry = bytes + PaletteOffset + 4 * i;
        palette[i] = qRgb(entry[2], entry[1], entry[0]);
    }
    QImage icon(Size, Size, QImage::Format_ARGB32);
    for (int y = 0; y < Size; ++y) {
        const uchar *pixels = bytes + PixelOffset + (Size - 1 - y) * (Size / 2);
        const uchar *mask = bytes + MaskOffset + (Size - 1 - y) * 4;
        auto *line = reinterpret_cast<QRgb *>(icon.scanLine(y));
        for (int x = 0; x < Size; ++x) {
            const int index = (x % 2 == 0) ? pixels[x / 2] >> 4 : pixels[x / 2] & 0x0F;
            const bool transparent = mask[x / 8] & (0x80 >> (x % 8));
            line[x] = transparent ? qRgba(0, 0, 0, 0) : palette[index];
        }
    }
    return icon;
}

} // namespace

namespace Artwork {

// The resources are stored compressed: the program then touches a tenth of the pages, and each
// stream is unpacked only while it is read.
QByteArray Unpacked(const QString &fileName)
{
    const QString path = QStringLiteral(":/art/") + fileName;
    const QResource resource(path);
    if (!resource.isValid())
        throw EFOpenError(path);
    // An image list is stored uncompressed: its bytes are the program's own mapped pages, read
    // only where used. Pictures are unpacked.
    return resource.uncompressedData();
}

QImage Picture(const QString &name)
{
    return PictureData::Read(Artwork::Unpacked(name + QStringLiteral(".pic")));
}

std::function<QImage()> DeferredPicture(const QString &name)
{
    return [name] { return Picture(name); };
}

void LoadImageList(const QString &name, TImageList &list)
{
    ImageListStream::Read(Artwork::Unpacked(name + QStringLiteral(".il")), list);
}

QIcon Icon()
{
    return QIcon(QPixmap::fromImage(DecodeIcon(IconFile())));
}

QByteArray IconFile()
{
    return Artwork::Unpacked(QStringLiteral("MAINICON.ico"));
}

} // namespace Artwork
