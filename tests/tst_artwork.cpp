#include "app/Artwork.h"
#include "toolkit/Exceptions.h"
#include "toolkit/ImageList.h"

#include <QFile>
#include <QPainter>
#include <QtEndian>
#include <QtTest>

namespace {

QByteArray Resource(const QString &name)
{
    QFile file(QStringLiteral(":/art/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The bitmap file inside a stored picture.
QByteArray BitmapOf(const QString &picture)
{
    return Resource(picture + QStringLiteral(".pic")).mid(12);
}

std::unique_ptr<TImageList> Loaded(const QString &name)
{
    auto list = std::make_unique<TImageList>(16, 16);
    Artwork::LoadImageList(name, *list);
    return list;
}

bool Same(const QImage &a, const QImage &b)
{
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

} // namespace

// The built-in artwork as the program reads it: sizes, depths, the image lists' frames and the icon.
class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void picturesHaveTheirSizeAndDepth_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("perMetre");
        QTest::newRow("backdrop") << "imgMainBack" << QSize(640, 480) << 24 << 2834;
        QTest::newRow("quit") << "imgQuit" << QSize(39, 55) << 8 << 2834;
        QTest::newRow("main page") << "imgMainScreen" << QSize(486, 251) << 24 << 2834;
        QTest::newRow("sampleware page") << "imgSampleware" << QSize(486, 251) << 8 << 2834;
        QTest::newRow("sample") << "imgSample" << QSize(214, 180) << 24 << 2834;
        QTest::newRow("lit bullet") << "imgLitBullet" << QSize(22, 22) << 8 << 2834;
        QTest::newRow("arrow") << "imgArrow" << QSize(22, 27) << 8 << 2834;
        QTest::newRow("extra files page") << "imgExtraFiles" << QSize(486, 251) << 8 << 2834;
        QTest::newRow("toolbox page") << "imgToolbox" << QSize(486, 251) << 8 << 2834;
        QTest::newRow("credits") << "imgCredits" << QSize(462, 439) << 8 << 3779;
    }

    void picturesHaveTheirSizeAndDepth()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(int, bits);
        QFETCH(int, perMetre);
        const QImage picture = Artwork::Picture(name);
        QCOMPARE(picture.size(), size);
        const QByteArray bitmap = BitmapOf(name);
        QCOMPARE(int(qFromLittleEndian<quint16>(bitmap.constData() + 28)), bits);
        QCOMPARE(int(qFromLittleEndian<quint32>(bitmap.constData() + 38)), perMetre);
        QCOMPARE(picture.format() == QImage::Format_Indexed8, bits == 8);
    }

    void mainWindowPicturesShareOnePalette()
    {
        const QList<QRgb> palette = Artwork::Picture(QStringLiteral("imgSampleware")).colorTable();
        QCOMPARE(palette.size(), 235);
        for (const char *name : {"imgQuit", "imgLitBullet", "imgArrow", "imgExtraFiles", "imgToolbox"})
            QCOMPARE(Artwork::Picture(QString::fromLatin1(name)).colorTable(), palette);
        QCOMPARE(Artwork::Picture(QStringLiteral("imgCredits")).colorTable().size(), 256);
    }

    void unknownPictureFails()
    {
        QVERIFY_THROWS_EXCEPTION(EFOpenError, Artwork::Picture(QStringLiteral("imgNothing")));
        TImageList list(214, 81);
        QVERIFY_THROWS_EXCEPTION(EFOpenError, Artwork::LoadImageList(QStringLiteral("ilstNothing"), list));
    }

    void imageListsLoad_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("streamBytes");
        QTest::addColumn<QColor>("background");
        QTest::newRow("extra files") << "ilstExtraFiles" << 41 << 1621786 << QColor(0xEF, 0xEF, 0xEF);
        QTest::newRow("sampleware") << "ilstSampleware" << 29 << 1326946 << QColor(0, 0x80, 0);
        QTest::newRow("order") << "ilstOrder" << 35 << 1474366 << QColor(0xD6, 0xD6, 0xD6);
        QTest::newRow("toolbox") << "ilstToolBox" << 26 << 1179526 << QColor(0xD6, 0xD6, 0xD6);
    }

    void imageListsLoad()
    {
        QFETCH(QString, name);
        QFETCH(int, count);
        QFETCH(int, streamBytes);
        QFETCH(QColor, background);
        QCOMPARE(Resource(name + QStringLiteral(".il")).size(), streamBytes);
        const auto list = Loaded(name);
        QCOMPARE(list->Count(), count);
        QCOMPARE(list->Width(), 214);
        QCOMPARE(list->Height(), 81);
        QCOMPARE(list->BkColor(), background);
        for (int i = 0; i < count; ++i)
            QCOMPARE(list->Image(i).size(), QSize(214, 81));
    }

    void spareSlotOfExtraFilesDrawsNothing()
    {
        const auto list = Loaded(QStringLiteral("ilstExtraFiles"));
        QImage target(214, 81, QImage::Format_RGB32);
        target.fill(QColor(1, 2, 3));
        QPainter painter(&target);
        list->Draw(painter, 0, 0, 41);
        painter.end();
        QCOMPARE(target.pixel(0, 0), qRgb(1, 2, 3));
        QCOMPARE(target.pixel(107, 40), qRgb(1, 2, 3));
        QCOMPARE(target.pixel(213, 80), qRgb(1, 2, 3));
        // Drawing a real frame does change it.
        painter.begin(&target);
        list->Draw(painter, 0, 0, 40);
        painter.end();
        QVERIFY(target.pixel(107, 40) != qRgb(1, 2, 3));
    }

    void restFramesMatchTheMainPage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rest");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("extra files") << "ilstExtraFiles" << 33 << QPoint(19, 150);
        QTest::newRow("sampleware") << "ilstSampleware" << 0 << QPoint(19, 32);
        QTest::newRow("order") << "ilstOrder" << 0 << QPoint(253, 32);
        QTest::newRow("toolbox") << "ilstToolBox" << 0 << QPoint(253, 150);
    }

    void restFramesMatchTheMainPage()
    {
        QFETCH(QString, name);
        QFETCH(int, rest);
        QFETCH(QPoint, place);
        const QImage page = Artwork::Picture(QStringLiteral("imgMainScreen"));
        const auto list = Loaded(name);
        QVERIFY(Same(list->Image(rest), page.copy(QRect(place, QSize(214, 81)))));
    }

    void framesHoldAndRepeatAsPlanned_data()
    {
        // Groups of frames that show one picture; the first of a group differs from its neighbours.
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<QList<int>>>("same");
        QTest::addColumn<QList<QList<int>>>("different");
        QTest::newRow("extra files") << "ilstExtraFiles"
                                     << QList<QList<int>>{{0, 1, 2, 3, 39, 40},
                                                          {18, 19, 20},
                                                          {24, 25, 26, 27, 28, 29, 30, 31, 32}}
                                     << QList<QList<int>>{{0, 4, 8, 17, 18, 21, 23, 24, 33, 34, 38}};
        QTest::newRow("sampleware") << "ilstSampleware"
                                    << QList<QList<int>>{{0, 1, 2, 3, 4, 28},      {7, 8, 9, 10}, {21, 22, 23, 24, 25},
                                                         {13, 14, 15, 16, 17, 18}, {19, 12},      {20, 11}}
                                    << QList<QList<int>>{{0, 5, 6, 7, 11, 12, 13}};
        QTest::newRow("order") << "ilstOrder"
                               << QList<QList<int>>{{0, 30, 31, 32, 33, 34},
                                                    {5, 6, 7, 21, 22, 23, 24, 25, 26},
                                                    {11, 12, 13, 14, 15, 16, 17, 18}}
                               << QList<QList<int>>{{0, 1, 4, 5, 8, 10, 11, 19}};
        QTest::newRow("toolbox") << "ilstToolBox" << QList<QList<int>>{{0, 1, 2, 3, 4, 5, 23, 24, 25}}
                                 << QList<QList<int>>{
                                        {0, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22}};
    }

    void framesHoldAndRepeatAsPlanned()
    {
        QFETCH(QString, name);
        QFETCH(QList<QList<int>>, same);
        QFETCH(QList<QList<int>>, different);
        const auto list = Loaded(name);
        for (const QList<int> &group : same)
            for (int frame : group)
                QVERIFY2(list->Image(frame) == list->Image(group.first()),
                         qPrintable(QStringLiteral("frame %1 differs from %2").arg(frame).arg(group.first())));
        for (const QList<int> &group : different)
            for (int i = 0; i < group.size(); ++i)
                for (int j = i + 1; j < group.size(); ++j)
                    QVERIFY2(list->Image(group[i]) != list->Image(group[j]),
                             qPrintable(QStringLiteral("frames %1 and %2 are alike").arg(group[i]).arg(group[j])));
    }

    void restOfExtraFilesDiffersOnlySlightly()
    {
        const auto list = Loaded(QStringLiteral("ilstExtraFiles"));
        const QImage held = list->Image(32), rest = list->Image(33);
        int changed = 0;
        for (int y = 0; y < 81; ++y)
            for (int x = 0; x < 214; ++x)
                changed += held.pixel(x, y) != rest.pixel(x, y);
        QVERIFY(changed > 0);
        QVERIFY2(changed < 214 * 81 / 50, qPrintable(QString::number(changed)));
    }

    void litBulletBlendsIntoEveryPage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("sampleware back") << "imgSampleware" << QPoint(336, 202);
        QTest::newRow("extra files back") << "imgExtraFiles" << QPoint(336, 202);
        QTest::newRow("extra files help") << "imgExtraFiles" << QPoint(29, 202);
        QTest::newRow("toolbox back") << "imgToolbox" << QPoint(336, 202);
    }

    void litBulletBlendsIntoEveryPage()
    {
        // The lit picture covers the unlit bullet; its edge must be the page itself.
        QFETCH(QString, page);
        QFETCH(QPoint, place);
        const QImage lit = Artwork::Picture(QStringLiteral("imgLitBullet")).convertToFormat(QImage::Format_RGB32);
        const QImage under =
            Artwork::Picture(page).convertToFormat(QImage::Format_RGB32).copy(QRect(place, lit.size()));
        for (int i = 0; i < 22; ++i) {
            QCOMPARE(lit.pixel(i, 0), under.pixel(i, 0));
            QCOMPARE(lit.pixel(i, 21), under.pixel(i, 21));
            QCOMPARE(lit.pixel(0, i), under.pixel(0, i));
            QCOMPARE(lit.pixel(21, i), under.pixel(21, i));
        }
        QVERIFY(lit != under);
    }

    void litArrowAndQuitBlendIn()
    {
        const QImage arrow = Artwork::Picture(QStringLiteral("imgArrow")).convertToFormat(QImage::Format_RGB32);
        const QImage page = Artwork::Picture(QStringLiteral("imgSampleware")).convertToFormat(QImage::Format_RGB32);
        const QImage underArrow = page.copy(264, 141, 22, 27);
        QCOMPARE(arrow.pixel(0, 26), underArrow.pixel(0, 26));
        QCOMPARE(arrow.pixel(21, 0), underArrow.pixel(21, 0));
        QVERIFY(arrow != underArrow);
        const QImage quit = Artwork::Picture(QStringLiteral("imgQuit")).convertToFormat(QImage::Format_RGB32);
        const QImage back = Artwork::Picture(QStringLiteral("imgMainBack")).convertToFormat(QImage::Format_RGB32);
        const QImage underQuit = back.copy(545, 276, 39, 55);
        for (int i = 0; i < 39; ++i)
            QCOMPARE(quit.pixel(i, 0), underQuit.pixel(i, 0));
        QVERIFY(quit != underQuit);
    }

    void iconFileIsComplete()
    {
        const QByteArray file = Artwork::IconFile();
        QCOMPARE(file.size(), 766);
        const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(file.constData() + at); };
        const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(file.constData() + at); };
        QCOMPARE(u16(0), quint16(0));
        QCOMPARE(u16(2), quint16(1));
        QCOMPARE(u16(4), quint16(1));
        QCOMPARE(uchar(file[6]), uchar(32));
        QCOMPARE(uchar(file[7]), uchar(32));
        QCOMPARE(uchar(file[8]), uchar(16));
        QCOMPARE(u32(14), 744u);
        QCOMPARE(u32(18), 22u);
        QCOMPARE(u32(22), 40u);
        QCOMPARE(u32(26), 32u);
        QCOMPARE(u32(30), 64u);
        QCOMPARE(u16(36), quint16(4));
    }

    void iconDecodesToACubeStack()
    {
        const QIcon icon = Artwork::Icon();
        QVERIFY(!icon.isNull());
        const QImage image = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(32, 32));
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(31, 0)), 0);
        QCOMPARE(image.pixel(4, 26), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(13, 26), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(22, 26), qRgb(0, 255, 0));
        QCOMPARE(image.pixel(13, 17), qRgb(255, 255, 0));
        // Qt's own icon reader agrees where it is installed.
        const QImage viaQt = QImage::fromData(Artwork::IconFile(), "ICO");
        if (!viaQt.isNull())
            QCOMPARE(viaQt.convertToFormat(QImage::Format_ARGB32), image);
    }
};

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
