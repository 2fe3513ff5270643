// Windows bitmap files decoded the same way whichever path reads them, and refused when cut short.

#include "toolkit/BitmapFile.h"
#include "toolkit/PictureData.h"

#include <QBuffer>
#include <QTest>
#include <QtEndian>

namespace {

// A picture with a different colour in every pixel, so that a swapped channel, row or column shows.
QImage Pattern(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37) & 255, (y * 53) & 255, (x * y + 11) & 255));
    return image;
}

// The 24-bit file of image, its rows stored bottom-up or, with a negative height, top-down.
QByteArray File24(const QImage &image, bool topDown)
{
    QByteArray file = PictureData::BitmapFile(image.convertToFormat(QImage::Format_RGB32), 96);
    if (!topDown)
        return file;
    const qint32 height = image.height();
    qToLittleEndian<qint32>(-height, file.data() + 22);
    const quint32 offset = qFromLittleEndian<quint32>(file.constData() + 10);
    const int stride = (image.width() * 3 + 3) / 4 * 4;
    QByteArray flipped = file.left(offset);
    for (int row = height - 1; row >= 0; --row)
        flipped += file.mid(offset + qsizetype(row) * stride, stride);
    return flipped;
}

} // namespace

class TestBitmapFile : public QObject
{
    Q_OBJECT

private slots:
    void decodesLikeQtReader_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("24-bit, width padded to four bytes") << File24(Pattern(13, 7), false);
        QTest::newRow("24-bit, full rows") << File24(Pattern(640, 4), false);
        QTest::newRow("24-bit, rows top-down") << File24(Pattern(5, 9), true);
        QImage indexed = Pattern(9, 5).convertToFormat(QImage::Format_Indexed8);
        QTest::newRow("8-bit with its colours") << PictureData::BitmapFile(indexed, 96);
    }

    void decodesLikeQtReader()
    {
        QFETCH(QByteArray, file);
        const QImage expected = QImage::fromData(file, "BMP").convertToFormat(QImage::Format_RGB32);
        QVERIFY(!expected.isNull());
        QCOMPARE(BitmapFile::Decode(file).convertToFormat(QImage::Format_RGB32), expected);
    }

    void refusesWhatIsNoCompleteBitmap_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray whole = File24(Pattern(31, 17), false);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a bitmap") << QByteArray("GIF89a and then some more bytes than a header has....");
        QTest::newRow("header only") << whole.left(54);
        QTest::newRow("last row cut short") << whole.left(whole.size() - 1);
        QTest::newRow("half the rows") << whole.left(54 + (whole.size() - 54) / 2);
        QByteArray huge = whole;
        qToLittleEndian<qint32>(0x7fffffff, huge.data() + 18);
        qToLittleEndian<qint32>(0x7fffffff, huge.data() + 22);
        QTest::newRow("sides beyond any file") << huge;
        QByteArray topDownCut = File24(Pattern(8, 8), true);
        topDownCut.chop(10);
        QTest::newRow("top-down, cut short") << topDownCut;
    }

    void refusesWhatIsNoCompleteBitmap()
    {
        QFETCH(QByteArray, file);
        QVERIFY(BitmapFile::Decode(file).isNull());
    }
};

QTEST_MAIN(TestBitmapFile)
#include "tst_bitmapfile.moc"
