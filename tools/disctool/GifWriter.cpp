#include "GifWriter.h"

#include "EDiscError.h"

#include <QImage>

namespace {

constexpr int MinCodeSize = 8;
constexpr quint32 ClearCode = 1u << MinCodeSize;
constexpr quint32 EndCode = ClearCode + 1;
constexpr int CodeWidth = MinCodeSize + 1;
// Every literal after the first adds a table entry in the decoder; clearing the table this often
// keeps it below 512 entries, so every code stays 9 bits wide and no compression is needed.
constexpr int LiteralsPerClear = 250;

void putWord(QByteArray &out, int value)
{
    out.append(static_cast<char>(value & 0xff));
    out.append(static_cast<char>((value >> 8) & 0xff));
}

// Packs codes least significant bit first, as GIF streams are read.
class CodePacker
{
public:
    void Put(quint32 code)
    {
        bits_ |= code << count_;
        count_ += CodeWidth;
        while (count_ >= 8) {
            bytes_.append(static_cast<char>(bits_ & 0xff));
            bits_ >>= 8;
            count_ -= 8;
        }
    }

    QByteArray Finish()
    {
        if (count_ > 0)
            bytes_.append(static_cast<char>(bits_ & 0xff));
        bits_ = 0;
        count_ = 0;
        return bytes_;
    }

private:
    QByteArray bytes_;
    quint32 bits_ = 0;
    int count_ = 0;
};

} // namespace

QByteArray GifWriter::Encode(const QImage &source)
{
    if (source.isNull() || source.width() > 0xffff || source.height() > 0xffff)
        throw EDiscError(QStringLiteral("a GIF picture must be 1 to 65535 pixels a side"));
    const QImage image = source.format() == QImage::Format_Indexed8
                             ? source
                             : source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    const QList<QRgb> palette = image.colorTable();

    QByteArray out("GIF89a");
    putWord(out, image.width());
    putWord(out, image.height());
    out.append(static_cast<char>(0xf7)); // global colour table of 256 entries, 8 bits a primary
    out.append('\0');                    // background colour index
    out.append('\0');                    // square pixels
    for (int i = 0; i < 256; ++i) {
        const QRgb colour = i < palette.size() ? palette.at(i) : qRgb(0, 0, 0);
        out.append(static_cast<char>(qRed(colour)));
        out.append(static_cast<char>(qGreen(colour)));
        out.append(static_cast<char>(qBlue(colour)));
    }

    out.append(',');
    putWord(out, 0);
    putWord(out, 0);
    putWord(out, image.width());
    putWord(out, image.height());
    out.append('\0'); // no local colour table, not interlaced
    out.append(static_cast<char>(MinCodeSize));

    CodePacker packer;
    int sinceClear = LiteralsPerClear;
    for (int y = 0; y < image.height(); ++y) {
        const uchar *line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (sinceClear == LiteralsPerClear) {
                packer.Put(ClearCode);
                sinceClear = 0;
            }
            packer.Put(line[x]);
            ++sinceClear;
        }
    }
    packer.Put(EndCode);
    const QByteArray stream = packer.Finish();
    for (qsizetype at = 0; at < stream.size(); at += 255) {
        const qsizetype length = std::min<qsizetype>(255, stream.size() - at);
        out.append(static_cast<char>(length));
        out.append(stream.mid(at, length));
    }
    out.append('\0'); // end of the image data
    out.append(';');  // end of the file
    return out;
}
