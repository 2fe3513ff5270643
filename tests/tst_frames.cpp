#include "toolkit/RzCommon.h"

#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTest>

#include <vector>

namespace {

const QColor Paper(0xff, 0x00, 0xff);
constexpr int W = 12;
constexpr int H = 9;

// A palette in which every colour role the frames use is told apart.
QPalette Distinct()
{
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(0xfe, 0xfe, 0xf0));
    palette.setColor(QPalette::Shadow, QColor(0x01, 0x02, 0x03));
    palette.setColor(QPalette::Dark, QColor(0x80, 0x80, 0x81));
    palette.setColor(QPalette::Light, QColor(0xfa, 0xfb, 0xfc));
    palette.setColor(QPalette::ButtonText, QColor(0x10, 0x20, 0x30));
    palette.setColor(QPalette::Midlight, QColor(0xd0, 0xd1, 0xd2));
    return palette;
}

QColor Sys(TSystemColor colour)
{
    return RzCommon::SystemColor(colour, Distinct());
}

QImage Blank()
{
    QImage image(W, H, QImage::Format_RGB32);
    image.fill(Paper);
    return image;
}

// The picture a ring drawn by the rules would leave: lines on the chosen sides of rect, the right and
// bottom ones after (and so over) the left and top ones.
void ExpectRing(QImage &image, const TRect &rect, const QColor &upperLeft, const QColor &lowerRight, TSides sides)
{
    for (int y = rect.Top; y < rect.Bottom; ++y) {
        for (int x = rect.Left; x < rect.Right; ++x) {
            const bool onLeft = sides.Contains(sdLeft) && x == rect.Left;
            const bool onTop = sides.Contains(sdTop) && y == rect.Top;
            const bool onRight = sides.Contains(sdRight) && x == rect.Right - 1;
            const bool onBottom = sides.Contains(sdBottom) && y == rect.Bottom - 1;
            if (onRight || onBottom)
                image.setPixelColor(x, y, lowerRight);
            else if (onLeft || onTop)
                image.setPixelColor(x, y, upperLeft);
        }
    }
}

TRect Shrunk(TRect rect, TSides sides, int by)
{
    rect.Left += sides.Contains(sdLeft) ? by : 0;
    rect.Top += sides.Contains(sdTop) ? by : 0;
    rect.Right -= sides.Contains(sdRight) ? by : 0;
    rect.Bottom -= sides.Contains(sdBottom) ? by : 0;
    return rect;
}

QString Describe(const QImage &actual, const QImage &expected)
{
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            if (actual.pixel(x, y) != expected.pixel(x, y))
                return QStringLiteral("first difference at (%1, %2): %3 instead of %4")
                    .arg(x)
                    .arg(y)
                    .arg(actual.pixelColor(x, y).name(), expected.pixelColor(x, y).name());
        }
    }
    return {};
}

struct Ring
{
    QColor upperLeft;
    QColor lowerRight;
};

} // namespace

Q_DECLARE_METATYPE(TFrameStyle)

// The frame-painting routines, checked pixel by pixel for every style and every set of sides.
class TestFrames : public QObject
{
    Q_OBJECT

private slots:
    void frameSidesForEverySideSet_data()
    {
        QTest::addColumn<int>("bits");
        for (int bits = 0; bits < 16; ++bits)
            QTest::addRow("sides %d", bits) << bits;
    }

    void frameSidesForEverySideSet()
    {
        QFETCH(int, bits);
        const TSides sides = TSides::FromBits(std::uint8_t(bits));
        const TRect rect{1, 2, W - 1, H - 1};
        QImage actual = Blank();
        QPainter painter(&actual);
        const TRect inner = RzCommon::PaintFrameSides(painter, rect, Qt::red, Qt::blue, sides);
        painter.end();
        QImage expected = Blank();
        ExpectRing(expected, rect, Qt::red, Qt::blue, sides);
        QVERIFY2(actual == expected, qPrintable(Describe(actual, expected)));
        QCOMPARE(inner, Shrunk(rect, sides, 1));
    }

    void cornersTakeTheLowerRightColour()
    {
        QImage image = Blank();
        QPainter painter(&image);
        RzCommon::PaintFrameSides(painter, TRect{0, 0, W, H}, Qt::red, Qt::blue, TSides::All());
        painter.end();
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(image.pixelColor(W - 1, 0), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(0, H - 1), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(W - 1, H - 1), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(1, 1), Paper);
    }

    void ringsNestInward()
    {
        QImage image = Blank();
        QPainter painter(&image);
        const TRect inner =
            RzCommon::PaintFrameRings(painter, TRect{0, 0, W, H}, Qt::red, Qt::blue, 3, TSides{sdLeft, sdBottom});
        painter.end();
        QCOMPARE(inner, (TRect{3, 0, W, H - 3}));
        for (int ring = 0; ring < 3; ++ring) {
            QCOMPARE(image.pixelColor(ring, 0), QColor(Qt::red));
            QCOMPARE(image.pixelColor(W - 1, H - 1 - ring), QColor(Qt::blue));
        }
        QCOMPARE(image.pixelColor(3, 0), Paper);
        QCOMPARE(image.pixelColor(W - 1, H - 4), Paper);
    }

    void styledBorders_data()
    {
        QTest::addColumn<TFrameStyle>("style");
        QTest::addColumn<int>("bits");
        const std::vector<std::pair<TFrameStyle, const char *>> styles{
            {fsNone, "none"},       {fsFlat, "flat"},     {fsStatus, "status"},      {fsPopup, "popup"},
            {fsLowered, "lowered"}, {fsRaised, "raised"}, {fsButtonUp, "button up"}, {fsButtonDown, "button down"}};
        for (const auto &[style, name] : styles) {
            for (int bits = 0; bits < 16; ++bits)
                QTest::addRow("%s, sides %d", name, bits) << style << bits;
        }
    }

    // Ring styles: one or two rings in the colours the style names.
    void styledBorders()
    {
        QFETCH(TFrameStyle, style);
        QFETCH(int, bits);
        using C = TSystemColor;
        std::vector<Ring> rings;
        switch (style) {
        case fsFlat:
            rings = {{Sys(C::clWindowFrame), Sys(C::clWindowFrame)}};
            break;
        case fsStatus:
            rings = {{Sys(C::clBtnShadow), Sys(C::clBtnHighlight)}};
            break;
        case fsPopup:
            rings = {{Sys(C::clBtnHighlight), Sys(C::clBtnShadow)}};
            break;
        case fsLowered:
            rings = {{Sys(C::clBtnShadow), Sys(C::clBtnHighlight)}, {Sys(C::clBtnText), Sys(C::cl3DLight)}};
            break;
        case fsRaised:
            rings = {{Sys(C::cl3DLight), Sys(C::clBtnText)}, {Sys(C::clBtnHighlight), Sys(C::clBtnShadow)}};
            break;
        case fsButtonUp:
            rings = {{Sys(C::clBtnHighlight), Sys(C::cl3DDkShadow)}, {Sys(C::cl3DLight), Sys(C::clBtnShadow)}};
            break;
        case fsButtonDown:
            rings = {{Sys(C::clBtnText), Sys(C::clBtnText)}, {Sys(C::clBtnShadow), Sys(C::clBtnShadow)}};
            break;
        default:
            break;
        }
        const TSides sides = TSides::FromBits(std::uint8_t(bits));
        const TRect rect{0, 0, W, H};
        QImage actual = Blank();
        QPainter painter(&actual);
        const TRect inner = RzCommon::PaintStyledBorder(painter, rect, style, sides, Distinct());
        painter.end();
        QImage expected = Blank();
        TRect ring = rect;
        for (const Ring &colours : rings) {
            ExpectRing(expected, ring, colours.upperLeft, colours.lowerRight, sides);
            ring = Shrunk(ring, sides, 1);
        }
        QVERIFY2(actual == expected, qPrintable(Describe(actual, expected)));
        QCOMPARE(inner, Shrunk(rect, sides, int(rings.size())));
    }

    void etchedBorders_data()
    {
        QTest::addColumn<TFrameStyle>("style");
        QTest::addColumn<QColor>("outerUpperLeft");
        QTest::addColumn<QColor>("innerUpperLeft");
        QTest::newRow("groove") << fsGroove << Sys(TSystemColor::clBtnShadow) << Sys(TSystemColor::clBtnHighlight);
        QTest::newRow("bump") << fsBump << Sys(TSystemColor::clBtnHighlight) << Sys(TSystemColor::clBtnShadow);
    }

    // An etched line on all sides: outer top-left and inner bottom-right in one colour, inner
    // top-left and outer bottom-right in the other.
    void etchedBorders()
    {
        QFETCH(TFrameStyle, style);
        QFETCH(QColor, outerUpperLeft);
        QFETCH(QColor, innerUpperLeft);
        QImage image = Blank();
        QPainter painter(&image);
        const TRect inner = RzCommon::PaintStyledBorder(painter, TRect{0, 0, W, H}, style, TSides::All(), Distinct());
        painter.end();
        QCOMPARE(inner, (TRect{2, 2, W - 2, H - 2}));
        for (int x = 0; x < W - 1; ++x)
            QCOMPARE(image.pixelColor(x, 0), outerUpperLeft);
        for (int y = 0; y < H - 1; ++y)
            QCOMPARE(image.pixelColor(0, y), outerUpperLeft);
        for (int x = 1; x < W - 2; ++x) {
            QCOMPARE(image.pixelColor(x, 1), innerUpperLeft);
            QCOMPARE(image.pixelColor(x, H - 2), outerUpperLeft);
            QCOMPARE(image.pixelColor(x, H - 1), innerUpperLeft);
        }
        for (int y = 1; y < H - 2; ++y) {
            QCOMPARE(image.pixelColor(1, y), innerUpperLeft);
            QCOMPARE(image.pixelColor(W - 2, y), outerUpperLeft);
            QCOMPARE(image.pixelColor(W - 1, y), innerUpperLeft);
        }
        QCOMPARE(image.pixelColor(2, 2), Paper);
        QCOMPARE(image.pixelColor(W - 3, H - 3), Paper);
    }

    void etchedBordersOnSomeSides_data()
    {
        QTest::addColumn<TFrameStyle>("style");
        QTest::addColumn<int>("bits");
        for (TFrameStyle style : {fsGroove, fsBump}) {
            for (int bits = 0; bits < 16; ++bits)
                QTest::addRow("%s, sides %d", style == fsGroove ? "groove" : "bump", bits) << style << bits;
        }
    }

    // On any set of sides, every chosen side carries its two lines and nothing is drawn elsewhere.
    void etchedBordersOnSomeSides()
    {
        QFETCH(TFrameStyle, style);
        QFETCH(int, bits);
        const TSides sides = TSides::FromBits(std::uint8_t(bits));
        const QColor shadow = Sys(TSystemColor::clBtnShadow);
        const QColor light = Sys(TSystemColor::clBtnHighlight);
        const QColor outerUL = style == fsGroove ? shadow : light;
        const QColor innerUL = style == fsGroove ? light : shadow;
        QImage image = Blank();
        QPainter painter(&image);
        const TRect inner = RzCommon::PaintStyledBorder(painter, TRect{0, 0, W, H}, style, sides, Distinct());
        painter.end();
        QCOMPARE(inner, Shrunk(TRect{0, 0, W, H}, sides, 2));
        const int midX = W / 2;
        const int midY = H / 2;
        if (sides.Contains(sdTop)) {
            QCOMPARE(image.pixelColor(midX, 0), outerUL);
            QCOMPARE(image.pixelColor(midX, 1), innerUL);
        }
        if (sides.Contains(sdLeft)) {
            QCOMPARE(image.pixelColor(0, midY), outerUL);
            QCOMPARE(image.pixelColor(1, midY), innerUL);
        }
        if (sides.Contains(sdRight)) {
            QCOMPARE(image.pixelColor(W - 2, midY), outerUL);
            QCOMPARE(image.pixelColor(W - 1, midY), innerUL);
        }
        if (sides.Contains(sdBottom)) {
            QCOMPARE(image.pixelColor(midX, H - 2), outerUL);
            QCOMPARE(image.pixelColor(midX, H - 1), innerUL);
        }
        // Everything inside the returned rectangle is untouched.
        for (int y = inner.Top; y < inner.Bottom; ++y) {
            for (int x = inner.Left; x < inner.Right; ++x)
                QCOMPARE(image.pixelColor(x, y), Paper);
        }
    }

    // The toolbox boxes: a 1-pixel frame-colour outline, then a 1-pixel margin in the box's colour.
    void controlFrameFlatOnAllSides()
    {
        const QColor box(0xf0, 0xf0, 0xe0);
        const QColor frame = Sys(TSystemColor::clBtnShadow);
        QImage image = Blank();
        QPainter painter(&image);
        RzCommon::PaintControlFrame(painter, W, H, fsFlat, box, frame, TSides::All(), Distinct());
        painter.end();
        QImage expected = Blank();
        ExpectRing(expected, TRect{0, 0, W, H}, frame, frame, TSides::All());
        ExpectRing(expected, TRect{1, 1, W - 1, H - 1}, box, box, TSides::All());
        QVERIFY2(image == expected, qPrintable(Describe(image, expected)));
    }

    void controlFrameWithoutSidesIsTheBoxColour_data()
    {
        QTest::addColumn<TFrameStyle>("style");
        QTest::newRow("flat") << fsFlat;
        QTest::newRow("status") << fsStatus;
        QTest::newRow("lowered") << fsLowered;
    }

    // The description boxes and the template list: no line at all, whatever style is in force.
    void controlFrameWithoutSidesIsTheBoxColour()
    {
        QFETCH(TFrameStyle, style);
        const QColor box(0xf0, 0xf0, 0xe0);
        QImage image = Blank();
        QPainter painter(&image);
        RzCommon::PaintControlFrame(painter, W, H, style, box, Qt::red, TSides(), Distinct());
        painter.end();
        QImage expected = Blank();
        ExpectRing(expected, TRect{0, 0, W, H}, box, box, TSides::All());
        ExpectRing(expected, TRect{1, 1, W - 1, H - 1}, box, box, TSides::All());
        QVERIFY2(image == expected, qPrintable(Describe(image, expected)));
    }

    void controlFrameOtherStylesOverTheEdge()
    {
        const QColor box(0xf0, 0xf0, 0xe0);
        QImage image = Blank();
        QPainter painter(&image);
        RzCommon::PaintControlFrame(painter, W, H, fsLowered, box, Qt::red, TSides{sdTop}, Distinct());
        painter.end();
        QCOMPARE(image.pixelColor(5, 0), Sys(TSystemColor::clBtnShadow));
        QCOMPARE(image.pixelColor(5, 1), Sys(TSystemColor::clBtnText));
        QCOMPARE(image.pixelColor(0, 5), box);
        QCOMPARE(image.pixelColor(W - 1, 5), box);
        QCOMPARE(image.pixelColor(5, H - 2), box);
        QCOMPARE(image.pixelColor(5, 5), Paper);
    }

    void emptyAndTinyRectanglesDrawNothingOutside()
    {
        QImage image = Blank();
        QPainter painter(&image);
        RzCommon::PaintFrameSides(painter, TRect{4, 4, 4, 8}, Qt::red, Qt::blue, TSides::All());
        RzCommon::PaintStyledBorder(painter, TRect{6, 6, 5, 5}, fsLowered, TSides::All(), Distinct());
        RzCommon::PaintControlFrame(painter, 0, 0, fsFlat, Qt::red, Qt::red, TSides::All(), Distinct());
        painter.end();
        QVERIFY2(image == Blank(), qPrintable(Describe(image, Blank())));
    }

    void systemColoursFollowThePalette()
    {
        const QPalette palette = Distinct();
        QCOMPARE(RzCommon::SystemColor(TSystemColor::clWindow, palette), palette.color(QPalette::Base));
        QCOMPARE(RzCommon::SystemColor(TSystemColor::clBtnShadow, palette), palette.color(QPalette::Dark));
        QCOMPARE(RzCommon::SystemColor(TSystemColor::clBtnHighlight, palette), palette.color(QPalette::Light));
        QCOMPARE(RzCommon::SystemColor(TSystemColor::cl3DLight, palette), palette.color(QPalette::Midlight));
        QCOMPARE(RzCommon::SystemColor(TSystemColor::cl3DDkShadow, palette), palette.color(QPalette::Shadow));
    }
};

QTEST_MAIN(TestFrames)
#include "tst_frames.moc"
