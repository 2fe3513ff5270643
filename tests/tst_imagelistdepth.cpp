// Image lists read from a stream keep their 5-5-5 pixels; every way of drawing a picture widens
// them to the same 8-bit colours.

#include "app/Artwork.h"
#include "toolkit/ImageList.h"
#include "toolkit/ImageListStream.h"

#include <QPainter>
#include <QTest>

namespace {

// 5-bit channel value v widened to 8 bits with its top bits repeated.
int Widened(int v)
{
    return (v << 3) | (v >> 2);
}

// A picture whose pixel (x, y) has the 5-bit channels (x, y, (x + y) % 32).
QImage Ramp(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(Widened(x % 32), Widened(y % 32), Widened((x + y) % 32)));
    return picture;
}

QRgb Expected(int x, int y)
{
    return qRgb(Widened(x % 32), Widened(y % 32), Widened((x + y) % 32));
}

} // namespace

class TestImageListDepth : public QObject
{
    Q_OBJECT

private slots:
    void streamPicturesDrawnAlike()
    {
        const QList<QImage> pictures{Ramp(40, 36), Ramp(40, 36).mirrored(true, false)};
        TImageList list;
        ImageListStream::Read(ImageListStream::Write(pictures, 40, 36, 4, QColor(1, 2, 3)), list);
        QCOMPARE(list.Count(), 2);
        // Half the memory of 32-bit pictures.
        QCOMPARE(list.Image(0).sizeInBytes(), qsizetype(40 * 36 * 2));

        QImage bitmap;
        list.GetBitmap(0, bitmap);
        QImage painted(40, 36, QImage::Format_RGB32);
        QPainter painter(&painted);
        list.Draw(painter, 0, 0, 0);
        painter.end();
        for (int y = 0; y < 36; ++y) {
            for (int x = 0; x < 40; ++x) {
                QCOMPARE(bitmap.pixel(x, y), Expected(x, y));
                QCOMPARE(painted.pixel(x, y), Expected(x, y));
                QCOMPARE(list.Image(0).pixel(x, y), Expected(x, y));
            }
        }
        list.GetBitmap(1, bitmap);
        QCOMPARE(bitmap.pixel(0, 5), Expected(39, 5));
        QCOMPARE(bitmap.pixel(39, 5), Expected(0, 5));
    }

    void builtInListsHoldWhatTheyHeld()
    {
        // Widening the stored pixels gives the colours a full 32-bit decoding gave.
        for (const char *name : {"ilstExtraFiles", "ilstSampleware", "ilstOrder", "ilstToolBox"}) {
            TImageList list(214, 81);
            Artwork::LoadImageList(QLatin1String(name), list);
            QVERIFY(list.Count() > 0);
            QImage bitmap;
            for (int i = 0; i < list.Count(); ++i) {
                list.GetBitmap(i, bitmap);
                QCOMPARE(bitmap, list.Image(i).convertToFormat(QImage::Format_RGB32));
            }
        }
    }
};

QTEST_MAIN(TestImageListDepth)
#include "tst_imagelistdepth.moc"
