#include "toolkit/Exceptions.h"
#include "toolkit/PictureData.h"

#include <QtEndian>
#include <QtTest>

namespace {

QImage Colourful(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 37 & 255, y * 53 & 255, (x + y) * 11 & 255));
    return image;
}

QImage Indexed(int width, int height, int colours)
{
    QImage image(width, height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i)
        table.append(qRgb(i * 3 & 255, 255 - i, i * 7 & 255));
    image.setColorTable(table);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, uint((x + 3 * y) % colours));
    return image;
}

quint32 U32At(const QByteArray &data, qsizetype offset)
{
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

} // namespace

// The stored picture form: the class name, the length and a Windows bitmap file.
class TestPictureData : public QObject
{
    Q_OBJECT

private slots:
    void trueColourRoundTrip_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("page") << QSize(486, 251);
        QTest::newRow("odd width pads rows") << QSize(39, 55);
        QTest::newRow("one pixel") << QSize(1, 1);
    }

    void trueColourRoundTrip()
    {
        QFETCH(QSize, size);
        const QImage source = Colourful(size.width(), size.height());
        const QByteArray data = PictureData::Write(source, 72);
        QCOMPARE(data.at(0), char(7));
        QCOMPARE(data.mid(1, 7), QByteArray("TBitmap"));
        const quint32 length = U32At(data, 8);
        QCOMPARE(qsizetype(length), data.size() - 12);
        const QByteArray bitmap = data.mid(12);
        const quint32 stride = (size.width() * 3 + 3) / 4 * 4;
        QCOMPARE(bitmap.left(2), QByteArray("BM"));
        QCOMPARE(U32At(bitmap, 2), quint32(bitmap.size()));
        QCOMPARE(U32At(bitmap, 10), 54u);
        QCOMPARE(qFromLittleEndian<quint16>(bitmap.constData() + 28), quint16(24));
        QCOMPARE(U32At(bitmap, 34), stride * size.height());
        QCOMPARE(U32At(bitmap, 38), 2834u);
        QCOMPARE(qsizetype(54 + stride * size.height()), bitmap.size());

        const QImage read = PictureData::Read(data);
        QCOMPARE(read.size(), size);
        QCOMPARE(read.convertToFormat(QImage::Format_RGB32), source);
    }

    void indexedRoundTripKeepsPaletteAndResolution()
    {
        const QImage source = Indexed(462, 439, 256);
        const QByteArray data = PictureData::Write(source, 96);
        const QByteArray bitmap = data.mid(12);
        QCOMPARE(qFromLittleEndian<quint16>(bitmap.constData() + 28), quint16(8));
        QCOMPARE(U32At(bitmap, 38), 3779u);
        QCOMPARE(U32At(bitmap, 46), 256u);
        QCOMPARE(U32At(bitmap, 10), 54u + 256 * 4);
        // Palette entries are blue, green, red, 0.
        QCOMPARE(bitmap.mid(54 + 4, 4), QByteArray::fromHex("07fe0300"));

        const QImage read = PictureData::Read(data);
        QCOMPARE(read.format(), QImage::Format_Indexed8);
        QCOMPARE(read.colorTable(), source.colorTable());
        QCOMPARE(read.convertToFormat(QImage::Format_RGB32), source.convertToFormat(QImage::Format_RGB32));
    }

    void smallPaletteIsStoredAsIs()
    {
        const QImage source = Indexed(22, 27, 235);
        const QByteArray bitmap = PictureData::Write(source, 72).mid(12);
        QCOMPARE(U32At(bitmap, 46), 235u);
        QCOMPARE(PictureData::Read(PictureData::Write(source, 72)).convertToFormat(QImage::Format_RGB32),
                 source.convertToFormat(QImage::Format_RGB32));
    }

    void refusedData_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("message");
        const QByteArray good = PictureData::Write(Colourful(5, 4), 72);
        const QString streamError = QStringLiteral("Stream read error");
        const QString invalid = QStringLiteral("Bitmap image is not valid");
        QTest::newRow("empty") << QByteArray() << streamError;
        QTest::newRow("class name cut") << good.left(5) << streamError;
        QTest::newRow("length cut") << good.left(10) << streamError;
        QTest::newRow("bitmap cut") << good.left(good.size() - 1) << streamError;
        QByteArray longer = good;
        qToLittleEndian<quint32>(0xFFFFFFF0u, longer.data() + 8);
        QTest::newRow("length past the end") << longer << streamError;
        QByteArray otherClass = good;
        otherClass.replace(1, 7, "TMetafl");
        QTest::newRow("other class") << otherClass << invalid;
        QByteArray notBitmap = good;
        notBitmap[12] = 'X';
        QTest::newRow("not a bitmap") << notBitmap << invalid;
        QByteArray tooShort = good.left(12 + 20);
        qToLittleEndian<quint32>(20u, tooShort.data() + 8);
        QTest::newRow("bitmap shorter than its headers") << tooShort << invalid;
        QByteArray badDepth = good;
        qToLittleEndian<quint16>(13, badDepth.data() + 12 + 28);
        QTest::newRow("impossible depth") << badDepth << invalid;
    }

    void refusedData()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, message);
        try {
            PictureData::Read(data);
            QFAIL("the data was accepted");
        } catch (const Exception &error) {
            QCOMPARE(error.Message(), message);
        }
    }
};

QTEST_GUILESS_MAIN(TestPictureData)
#include "tst_picturedata.moc"
