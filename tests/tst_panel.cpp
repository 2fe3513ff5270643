#include "toolkit/Panel.h"

#include <QTest>

namespace {

const QColor Face(200, 200, 200);

QRgb Pixel(QWidget &widget, int x, int y)
{
    return widget.grab().toImage().pixel(x, y);
}

QRgb Role(const QWidget &widget, QPalette::ColorRole role)
{
    return widget.palette().color(role).rgb();
}

// The smallest rectangle holding every pixel of the image that differs from the face colour.
QRect InkBounds(const QImage &image, const QRect &area)
{
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != Face.rgb())
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace

// The toolkit panel: borders, bevels, caption placement and children that fill its client area.
class TestPanel : public QObject
{
    Q_OBJECT

private slots:
    void singleBorderWithoutThreeDIsOneBlackPixel()
    {
        TCustomPanel panel;
        panel.resize(299, 120);
        panel.SetColor(Face);
        panel.SetBevelOuter(TCustomPanel::bvNone);
        panel.SetBorderStyle(TCustomPanel::bsSingle);
        panel.SetCtl3D(false);
        QCOMPARE(panel.ClientRect(), QRect(1, 1, 297, 118));
        const QImage look = panel.grab().toImage();
        for (const QPoint p : {QPoint(0, 0), QPoint(298, 0), QPoint(0, 119), QPoint(298, 119), QPoint(150, 0),
                               QPoint(150, 119), QPoint(0, 60), QPoint(298, 60)})
            QCOMPARE(look.pixel(p), qRgb(0, 0, 0));
        for (const QPoint p : {QPoint(1, 1), QPoint(297, 118), QPoint(150, 60)})
            QCOMPARE(look.pixel(p), Face.rgb());
    }

    void threeDBorderIsTwoSunkenPixels()
    {
        TCustomPanel panel;
        panel.resize(60, 40);
        panel.SetBevelOuter(TCustomPanel::bvNone);
        panel.SetBorderStyle(TCustomPanel::bsSingle);
        QCOMPARE(panel.ClientRect(), QRect(2, 2, 56, 36));
        QCOMPARE(Pixel(panel, 0, 20), Role(panel, QPalette::Dark));
        QCOMPARE(Pixel(panel, 59, 20), Role(panel, QPalette::Light));
        QCOMPARE(Pixel(panel, 1, 20), Role(panel, QPalette::Shadow));
        QCOMPARE(Pixel(panel, 58, 20), Role(panel, QPalette::Midlight));
    }

    void bevelRings_data()
    {
        QTest::addColumn<int>("bevel");
        QTest::addColumn<int>("topLeft");
        QTest::addColumn<int>("bottomRight");
        QTest::newRow("raised") << int(TCustomPanel::bvRaised) << int(QPalette::Light) << int(QPalette::Dark);
        QTest::newRow("lowered") << int(TCustomPanel::bvLowered) << int(QPalette::Dark) << int(QPalette::Light);
    }

    void bevelRings()
    {
        QFETCH(int, bevel);
        QFETCH(int, topLeft);
        QFETCH(int, bottomRight);
        TCustomPanel panel;
        panel.resize(40, 30);
        panel.SetColor(Face);
        panel.SetBevelOuter(TCustomPanel::TBevelCut(bevel));
        panel.SetBevelWidth(2);
        const QRgb upper = Role(panel, QPalette::ColorRole(topLeft));
        const QRgb lower = Role(panel, QPalette::ColorRole(bottomRight));
        const QImage look = panel.grab().toImage();
        for (int ring = 0; ring < 2; ++ring) {
            QCOMPARE(look.pixel(ring, ring), upper);
            QCOMPARE(look.pixel(ring, 29 - ring - 1), upper);
            QCOMPARE(look.pixel(39 - ring - 1, ring), upper);
            // The far corners belong to the lower-right colour.
            QCOMPARE(look.pixel(39 - ring, ring), lower);
            QCOMPARE(look.pixel(ring, 29 - ring), lower);
            QCOMPARE(look.pixel(39 - ring, 29 - ring), lower);
        }
        QCOMPARE(look.pixel(2, 2), Face.rgb());
        QCOMPARE(look.pixel(37, 27), Face.rgb());
    }

    void innerBevelSitsInsideTheBorderWidth()
    {
        TCustomPanel panel;
        panel.resize(40, 30);
        panel.SetColor(Face);
        panel.SetBevelInner(TCustomPanel::bvLowered);
        panel.SetBorderWidth(2);
        const QImage look = panel.grab().toImage();
        QCOMPARE(look.pixel(0, 10), Role(panel, QPalette::Light));
        QCOMPARE(look.pixel(1, 10), Face.rgb());
        QCOMPARE(look.pixel(2, 10), Face.rgb());
        QCOMPARE(look.pixel(3, 10), Role(panel, QPalette::Dark));
        QCOMPARE(look.pixel(36, 10), Role(panel, QPalette::Light));
        QCOMPARE(panel.AlignClientRect(), QRect(4, 4, 32, 22));
    }

    void childFillsTheClientArea()
    {
        TCustomPanel panel;
        panel.resize(299, 120);
        panel.SetBevelOuter(TCustomPanel::bvNone);
        panel.SetBorderStyle(TCustomPanel::bsSingle);
        panel.SetCtl3D(false);
        auto *child = new TCustomPanel(&panel);
        child->SetAlign(TCustomPanel::alClient);
        QCOMPARE(child->geometry(), QRect(1, 1, 297, 118));
        // A hidden widget hears of its new size only when it is shown.
        panel.show();

        panel.resize(200, 100);
        QCOMPARE(child->geometry(), QRect(1, 1, 198, 98));
        panel.SetBorderStyle(TCustomPanel::bsNone);
        QCOMPARE(child->geometry(), QRect(0, 0, 200, 100));
        panel.SetBevelOuter(TCustomPanel::bvRaised);
        panel.SetBevelWidth(3);
        QCOMPARE(child->geometry(), QRect(3, 3, 194, 94));

        child->SetAlign(TCustomPanel::alNone);
        panel.resize(300, 300);
        QCOMPARE(child->geometry(), QRect(3, 3, 194, 94));

        // Moved to another parent, an aligned child fills that one instead.
        QWidget other;
        other.resize(50, 60);
        child->SetAlign(TCustomPanel::alClient);
        child->setParent(&other);
        QCOMPARE(child->geometry(), QRect(0, 0, 50, 60));
        panel.resize(120, 120);
        QCOMPARE(child->geometry(), QRect(0, 0, 50, 60));
    }

    void captionPlacement_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("side");
        QTest::newRow("left") << int(TCustomPanel::taLeftJustify) << -1;
        QTest::newRow("centre") << int(TCustomPanel::taCenter) << 0;
        QTest::newRow("right") << int(TCustomPanel::taRightJustify) << 1;
    }

    void captionPlacement()
    {
        QFETCH(int, alignment);
        QFETCH(int, side);
        TCustomPanel panel;
        panel.resize(185, 41);
        panel.SetColor(Face);
        panel.SetBevelOuter(TCustomPanel::bvNone);
        panel.SetAlignment(TCustomPanel::TAlignment(alignment));
        panel.SetCaption(QStringLiteral("Caption"));
        const QRect ink = InkBounds(panel.grab().toImage(), panel.rect());
        QVERIFY(!ink.isNull());
        const int leftGap = ink.left();
        const int rightGap = 184 - ink.right();
        if (side < 0)
            QVERIFY(leftGap <= 2 && rightGap > 60);
        else if (side > 0)
            QVERIFY(rightGap <= 2 && leftGap > 60);
        else
            QVERIFY(qAbs(leftGap - rightGap) <= 2);
        // Vertically centred.
        QVERIFY(qAbs(ink.top() - (40 - ink.bottom())) <= 4);
    }

    void captionHidesPrefixAmpersand()
    {
        TCustomPanel plain;
        TCustomPanel marked;
        for (TCustomPanel *panel : {&plain, &marked}) {
            panel->resize(185, 41);
            panel->SetColor(Face);
            panel->SetBevelOuter(TCustomPanel::bvNone);
            panel->SetAlignment(TCustomPanel::taLeftJustify);
        }
        plain.SetCaption(QStringLiteral("File"));
        marked.SetCaption(QStringLiteral("&File"));
        const QImage plainLook = plain.grab().toImage();
        const QImage markedLook = marked.grab().toImage();
        const QRect a = InkBounds(plainLook, plain.rect());
        const QRect b = InkBounds(markedLook, marked.rect());
        // The same letters (placed to within a pixel), no ampersand drawn; the underline below them.
        const QRect letters = InkBounds(markedLook, QRect(0, 0, 185, a.bottom() + 1));
        QVERIFY(qAbs(letters.left() - a.left()) <= 1);
        QVERIFY(qAbs(letters.right() - a.right()) <= 1);
        QVERIFY(b.bottom() > a.bottom());
    }
};

QTEST_MAIN(TestPanel)
#include "tst_panel.moc"
