#include "toolkit/Exceptions.h"
#include "toolkit/ImageList.h"
#include "toolkit/ImageListStream.h"

#include <QBuffer>
#include <QPainter>
#include <QtEndian>
#include <QtTest>

namespace {

const QString ReadFailure = QStringLiteral("Failed to read ImageList data from stream");

// A picture whose every pixel differs from its neighbours, so that a misplaced cell shows.
QImage Pattern(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed * 31) & 255, (y * 11 + seed * 17) & 255, (x * y + seed * 5) & 255));
    return image;
}

QList<QImage> Patterns(int count, int width, int height)
{
    QList<QImage> pictures;
    for (int i = 0; i < count; ++i)
        pictures.append(Pattern(width, height, i + 1));
    return pictures;
}

quint16 U16At(const QByteArray &data, qsizetype offset)
{
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

quint32 U32At(const QByteArray &data, qsizetype offset)
{
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

// The older layout: the image bitmap file's length, the picture count, the image and the mask
// bitmap files. Four 5 by 5 pictures two a row; the third has its top-left pixel masked (white).
QByteArray OlderStream(int count, int maskHeight = 10)
{
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int i = 0; i < 4; ++i)
        painter.drawImage((i % 2) * 5, (i / 2) * 5, Pattern(5, 5, i + 1));
    painter.end();
    QImage mask(10, maskHeight, QImage::Format_RGB32);
    mask.fill(Qt::black);
    mask.setPixel(0, 5 % maskHeight, qRgb(255, 255, 255));
    QBuffer imageFile, maskFile;
    imageFile.open(QIODevice::WriteOnly);
    maskFile.open(QIODevice::WriteOnly);
    image.save(&imageFile, "BMP");
    mask.save(&maskFile, "BMP");
    QByteArray stream(8, '\0');
    qToLittleEndian(quint32(imageFile.size()), stream.data());
    qToLittleEndian(quint32(count), stream.data() + 4);
    return stream + imageFile.data() + maskFile.data();
}

void SetU16(QByteArray &data, qsizetype offset, quint16 value)
{
    qToLittleEndian(value, data.data() + offset);
}

void SetU32(QByteArray &data, qsizetype offset, quint32 value)
{
    qToLittleEndian(value, data.data() + offset);
}

// Offsets inside a written stream.
struct Layout
{
    qsizetype image = 28;
    qsizetype imagePixels = 28 + 54;
    qsizetype mask = 0;
    qsizetype maskPixels = 0;
    qsizetype trailer = 0;
};

Layout LayoutOf(int width, int height, int allocated)
{
    Layout l;
    const qsizetype rows = (allocated + 3) / 4;
    const qsizetype imageStride = ((4 * width * 16 + 31) / 32) * 4;
    const qsizetype maskStride = ((4 * width + 31) / 32) * 4;
    l.mask = l.imagePixels + imageStride * height * rows;
    l.maskPixels = l.mask + 62;
    l.trailer = l.maskPixels + maskStride * height * rows;
    return l;
}

// The list stays as it was when reading fails.
void ExpectFailure(const QByteArray &data)
{
    TImageList list(5, 5);
    list.SetBkColor(Qt::red);
    list.Add(Pattern(5, 5, 9));
    try {
        ImageListStream::Read(data, list);
        QFAIL("the stream was accepted");
    } catch (const EReadError &error) {
        QCOMPARE(error.Message(), ReadFailure);
    }
    QCOMPARE(list.Count(), 1);
    QCOMPARE(list.Width(), 5);
    QCOMPARE(list.BkColor(), QColor(Qt::red));
}

} // namespace

// The image-list stream: layout of what is written, lossless round trips at 5-5-5, and refusal of
// every stream that cannot be rebuilt.
class TestImageListStream : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("allocated");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QColor>("background");
        QTest::newRow("menu list") << 41 << 44 << 214 << 81 << QColor(0xEF, 0xEF, 0xEF);
        QTest::newRow("full last row") << 8 << 8 << 13 << 7 << QColor(0, 0x80, 0);
        QTest::newRow("one picture") << 1 << 1 << 3 << 2 << QColor(1, 2, 3);
        QTest::newRow("odd width") << 5 << 9 << 7 << 3 << QColor(0xD6, 0xD6, 0xD6);
        QTest::newRow("no background") << 3 << 4 << 6 << 6 << QColor();
        QTest::newRow("empty list") << 0 << 4 << 8 << 8 << QColor(9, 9, 9);
    }

    void roundTrip()
    {
        QFETCH(int, count);
        QFETCH(int, allocated);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QColor, background);
        const QList<QImage> pictures = Patterns(count, width, height);
        const QByteArray stream = ImageListStream::Write(pictures, width, height, allocated, background);
        QCOMPARE(stream.size(), LayoutOf(width, height, allocated).trailer + 22);

        TImageList list(1, 1);
        ImageListStream::Read(stream, list);
        QCOMPARE(list.Count(), count);
        QCOMPARE(list.Width(), width);
        QCOMPARE(list.Height(), height);
        QCOMPARE(list.BkColor().isValid(), background.isValid());
        if (background.isValid())
            QCOMPARE(list.BkColor(), background);
        for (int i = 0; i < count; ++i) {
            const QImage read = list.Image(i);
            QCOMPARE(read.size(), QSize(width, height));
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    QCOMPARE(read.pixel(x, y), ImageListStream::Stored555(pictures[i].pixel(x, y)));
        }
        // Writing what was read gives the same bytes: nothing is lost at 5-5-5.
        QList<QImage> again;
        for (int i = 0; i < count; ++i)
            again.append(list.Image(i));
        QCOMPARE(ImageListStream::Write(again, width, height, allocated, background), stream);
    }

    void storedColoursKeepWhiteAndBlack()
    {
        QCOMPARE(ImageListStream::Stored555(qRgb(255, 255, 255)), qRgb(255, 255, 255));
        QCOMPARE(ImageListStream::Stored555(qRgb(0, 0, 0)), qRgb(0, 0, 0));
        QCOMPARE(ImageListStream::Stored555(qRgb(0x84, 0x42, 0x21)), qRgb(0x84, 0x42, 0x21));
        QCOMPARE(ImageListStream::Stored555(qRgb(0x87, 0x47, 0x27)), qRgb(0x84, 0x42, 0x21));
    }

    void headerFieldsAsStored()
    {
        const QByteArray s = ImageListStream::Write(Patterns(41, 214, 81), 214, 81, 44, QColor(0xEF, 0xEF, 0xEF));
        QCOMPARE(s.size(), 1621786);
        QCOMPARE(s.left(2), QByteArray("IL"));
        QCOMPARE(U16At(s, 2), quint16(0x0101));
        QCOMPARE(U16At(s, 4), quint16(41));
        QCOMPARE(U16At(s, 6), quint16(44));
        QCOMPARE(U16At(s, 8), quint16(4));
        QCOMPARE(U16At(s, 10), quint16(214));
        QCOMPARE(U16At(s, 12), quint16(81));
        QCOMPARE(s.mid(14, 4), QByteArray::fromHex("efefef00"));
        QCOMPARE(U16At(s, 18), quint16(0x10FF));
        QCOMPARE(s.mid(20, 8), QByteArray(8, '\xFF'));
        // Image bitmap: file-size field 54, 856 by 891 at 16 bits, 1712 bytes a row.
        QCOMPARE(s.mid(28, 2), QByteArray("BM"));
        QCOMPARE(U32At(s, 30), 54u);
        QCOMPARE(U32At(s, 38), 54u);
        QCOMPARE(U32At(s, 46), 856u);
        QCOMPARE(U32At(s, 50), 891u);
        QCOMPARE(U16At(s, 56), quint16(16));
        QCOMPARE(U32At(s, 62), 1712u * 891u);
        // Mask bitmap right after 1,525,392 bytes of pixels: 1 bit, black and white palette.
        const qsizetype mask = 28 + 54 + 1525392;
        QCOMPARE(s.mid(mask, 2), QByteArray("BM"));
        QCOMPARE(U32At(s, mask + 2), 62u);
        QCOMPARE(U32At(s, mask + 10), 62u);
        QCOMPARE(U16At(s, mask + 28), quint16(1));
        QCOMPARE(s.mid(mask + 54, 8), QByteArray::fromHex("00000000ffffff00"));
        QCOMPARE(s.mid(mask + 62, 108 * 891), QByteArray(108 * 891, '\0'));
        QCOMPARE(s.right(22), QByteArray(22, '\0'));
    }

    void spareSlotsAreBlack()
    {
        // Pictures 0-4 of 8 slots: the last three cells of the second row hold only black.
        const QByteArray s = ImageListStream::Write(Patterns(5, 4, 2), 4, 2, 8, Qt::white);
        const qsizetype stride = 4 * 4 * 2;
        // Bitmap rows are bottom-up: rows 0 and 1 of the file are the second row of cells.
        for (int row = 0; row < 2; ++row) {
            const QByteArray line = s.mid(28 + 54 + row * stride, stride);
            QVERIFY(line.left(8) != QByteArray(8, '\0'));
            QCOMPARE(line.mid(8), QByteArray(stride - 8, '\0'));
        }
    }

    void pictureCellsFollowTheGrid()
    {
        // Picture i sits in column i mod 4 and row i div 4, counted from the top.
        const QList<QImage> pictures = Patterns(6, 2, 1);
        const QByteArray s = ImageListStream::Write(pictures, 2, 1, 8, Qt::white);
        const auto stored = [&](int fileRow, int x) { return U16At(s, 28 + 54 + fileRow * 16 + 2 * x); };
        const auto expect555 = [](QRgb c) {
            return quint16(((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3));
        };
        QCOMPARE(stored(1, 0), expect555(pictures[0].pixel(0, 0)));
        QCOMPARE(stored(1, 7), expect555(pictures[3].pixel(1, 0)));
        QCOMPARE(stored(0, 2), expect555(pictures[5].pixel(0, 0)));
    }

    void maskedPixelsShowTheBackground()
    {
        // Drawn over magenta: a list's background colour shows, and without one what lies beneath.
        for (const QColor &background : {QColor(10, 20, 30), QColor()}) {
            QByteArray s = ImageListStream::Write(Patterns(2, 4, 2), 4, 2, 4, background);
            const Layout l = LayoutOf(4, 2, 4);
            // Top row of the picture is the last row of the bitmap; set pixel (1, 0) of picture 1.
            const qsizetype maskRow = l.maskPixels + 1 * 4;
            const int bit = 4 + 1;
            s[maskRow + bit / 8] = char(uchar(s[maskRow + bit / 8]) | (0x80 >> (bit % 8)));
            TImageList list(4, 2);
            ImageListStream::Read(s, list);
            QImage drawn(4, 2, QImage::Format_RGB32);
            drawn.fill(Qt::magenta);
            list.GetBitmap(1, drawn);
            QCOMPARE(drawn.pixelColor(1, 0), background.isValid() ? background : QColor(Qt::magenta));
            QCOMPARE(drawn.pixel(0, 0), ImageListStream::Stored555(Pattern(4, 2, 2).pixel(0, 0)));
            QCOMPARE(list.Image(0).pixel(1, 0), ImageListStream::Stored555(Pattern(4, 2, 1).pixel(1, 0)));
        }
    }

    void readPicturesAreTheListsOwn()
    {
        // Pictures are decoded when first used, from the list's own share of the stream whatever
        // becomes of the caller's bytes; a clear or a new size forgets them.
        const QList<QImage> pictures = Patterns(3, 5, 4);
        const auto stored = [](const QImage &picture) {
            QImage image = picture.convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    image.setPixel(x, y, ImageListStream::Stored555(image.pixel(x, y)));
            return image;
        };
        TImageList list(1, 1);
        {
            QByteArray stream = ImageListStream::Write(pictures, 5, 4, 4, Qt::white);
            ImageListStream::Read(stream, list);
            stream.fill('\0');
        }
        list.Add(Pattern(5, 4, 9));
        QCOMPARE(list.Count(), 4);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(list.Image(i).convertToFormat(QImage::Format_RGB32), stored(pictures[i]));
        QCOMPARE(list.Image(3).convertToFormat(QImage::Format_RGB32), Pattern(5, 4, 9));

        ImageListStream::Read(ImageListStream::Write(pictures, 5, 4, 4, Qt::white), list);
        list.Clear();
        QCOMPARE(list.Count(), 0);
        QVERIFY(list.Image(0).isNull());
        ImageListStream::Read(ImageListStream::Write(pictures, 5, 4, 4, Qt::white), list);
        list.SetSize(6, 4);
        QCOMPARE(list.Count(), 0);
    }

    void olderLayoutKeepsTheListsSizeAndBackground()
    {
        TImageList list(5, 5);
        list.SetBkColor(QColor(7, 8, 9));
        ImageListStream::Read(OlderStream(3), list);
        QCOMPARE(list.Count(), 3);
        QImage drawn;
        for (int i = 0; i < 3; ++i) {
            list.GetBitmap(i, drawn);
            QCOMPARE(drawn.pixel(4, 4), Pattern(5, 5, i + 1).pixel(4, 4));
            QCOMPARE(drawn.pixel(0, 0), i == 2 ? qRgb(7, 8, 9) : Pattern(5, 5, i + 1).pixel(0, 0));
        }
    }

    void streamWithoutMaskReads()
    {
        QByteArray s = ImageListStream::Write(Patterns(3, 4, 2), 4, 2, 4, Qt::white);
        const Layout l = LayoutOf(4, 2, 4);
        s.remove(l.mask, l.trailer - l.mask);
        SetU16(s, 18, 0x10FE);
        TImageList list(4, 2);
        ImageListStream::Read(s, list);
        QCOMPARE(list.Count(), 3);
    }

    void cutAnywhereFails()
    {
        // Cut the stream inside or at the end of every header field, every bitmap header, the pixel
        // data and the mask: nothing before the trailer may be missing.
        const QByteArray s = ImageListStream::Write(Patterns(5, 3, 2), 3, 2, 6, Qt::white);
        const Layout l = LayoutOf(3, 2, 6);
        for (qsizetype cut = 0; cut < l.trailer; ++cut) {
            // A truncated copy the reader may not read past (checked by the sanitizer build).
            const QByteArray truncated(s.constData(), cut);
            ExpectFailure(truncated);
        }
        TImageList list(1, 1);
        ImageListStream::Read(s.left(l.trailer), list);
        QCOMPARE(list.Count(), 5);
    }

    void refusedStreams_data()
    {
        QTest::addColumn<QByteArray>("stream");
        const QByteArray good = ImageListStream::Write(Patterns(5, 3, 2), 3, 2, 6, Qt::white);
        const Layout l = LayoutOf(3, 2, 6);
        const auto edited = [&](const std::function<void(QByteArray &)> &edit) {
            QByteArray copy = good;
            edit(copy);
            return copy;
        };
        QTest::newRow("wrong magic") << edited([](QByteArray &s) { s[1] = 'M'; });
        // Read as the older layout, these headers hold no image length and picture count.
        QTest::newRow("first two words alike") << edited([](QByteArray &s) { s.replace(4, 4, s.mid(0, 4)); });
        QTest::newRow("no IL") << edited([](QByteArray &s) {
            SetU32(s, 0, 120);
            SetU32(s, 4, 5);
        });
        QTest::newRow("other version") << edited([](QByteArray &s) { SetU16(s, 2, 0x0102); });
        QTest::newRow("count above allocation") << edited([](QByteArray &s) { SetU16(s, 4, 7); });
        QTest::newRow("no slots") << edited([](QByteArray &s) {
            SetU16(s, 4, 0);
            SetU16(s, 6, 0);
        });
        QTest::newRow("zero width") << edited([](QByteArray &s) { SetU16(s, 10, 0); });
        QTest::newRow("allocation larger than the bitmap") << edited([](QByteArray &s) { SetU16(s, 6, 9); });
        QTest::newRow("picture wider than its cell") << edited([](QByteArray &s) { SetU16(s, 10, 4); });
        QTest::newRow("image not a bitmap") << edited([&](QByteArray &s) { s[l.image] = 'X'; });
        QTest::newRow("image width") << edited([&](QByteArray &s) { SetU32(s, l.image + 18, 13); });
        QTest::newRow("image height") << edited([&](QByteArray &s) { SetU32(s, l.image + 22, 5); });
        QTest::newRow("image depth") << edited([&](QByteArray &s) { SetU16(s, l.image + 28, 24); });
        QTest::newRow("image compressed") << edited([&](QByteArray &s) { SetU32(s, l.image + 30, 3); });
        QTest::newRow("image header size") << edited([&](QByteArray &s) { SetU32(s, l.image + 14, 108); });
        QTest::newRow("huge palette") << edited([&](QByteArray &s) { SetU32(s, l.image + 46, 0xFFFFFFFF); });
        QTest::newRow("mask not a bitmap") << edited([&](QByteArray &s) { s[l.mask + 1] = 'X'; });
        QTest::newRow("mask depth") << edited([&](QByteArray &s) { SetU16(s, l.mask + 28, 4); });
        QTest::newRow("mask too short") << good.left(l.maskPixels + 3);
        QTest::newRow("mask missing") << good.left(l.mask);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("older layout, more pictures than cells") << OlderStream(5);
        QTest::newRow("older layout, negative count") << OlderStream(-1);
        QTest::newRow("older layout, mask of another size") << OlderStream(3, 5);
        QTest::newRow("older layout, image cut short") << OlderStream(3).left(60);
    }

    void refusedStreams()
    {
        QFETCH(QByteArray, stream);
        ExpectFailure(stream);
    }

    void drawingAPictureBeyondTheCountDrawsNothing()
    {
        TImageList list(1, 1);
        ImageListStream::Read(ImageListStream::Write(Patterns(3, 4, 4), 4, 4, 4, Qt::white), list);
        QImage target(4, 4, QImage::Format_RGB32);
        target.fill(Qt::magenta);
        QPainter painter(&target);
        list.Draw(painter, 0, 0, 3);
        painter.end();
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                QCOMPARE(target.pixel(x, y), QColor(Qt::magenta).rgb());
    }
};

QTEST_GUILESS_MAIN(TestImageListStream)
#include "tst_imageliststream.moc"
