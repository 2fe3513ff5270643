#include "TestSupport.h"

#include "toolkit/Image.h"
#include "toolkit/RzLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <set>

namespace {

QImage Gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, QColor(x % 256, y % 256, (x * y) % 256));
    }
    return image;
}

// A window whose whole client area is a picture, as the menu's pages are.
struct Stage
{
    Stage()
    {
        window.resize(200, 150);
        picture = new TImage(&window);
        picture->setGeometry(0, 0, 200, 150);
        picture->SetPicture(Gradient(200, 150));
    }

    TRzLabel *AddHotSpot(const QRect &rect)
    {
        auto *spot = new TRzLabel(&window);
        spot->SetAutoSize(false);
        spot->SetTransparent(true);
        spot->setGeometry(rect);
        spot->setCursor(Qt::PointingHandCursor);
        return spot;
    }

    void Show()
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    QImage Shot() const { return window.screen()->grabWindow(window.winId()).toImage(); }

    QWidget window;
    TImage *picture = nullptr;
};

// A label's own drawing on a transparent surface.
QImage Render(const TRzLabel &label)
{
    QImage image(label.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    label.Paint(painter);
    return image;
}

QRect InkBounds(const QImage &image, const QColor &colour)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

std::set<QRgb> ColoursIn(const QImage &image)
{
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0)
                colours.insert(image.pixel(x, y));
        }
    }
    return colours;
}

QFont Crisp(const QString &family, int pixels, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

const QColor Red(0xff, 0, 0);
const QColor Blue(0, 0, 0xff);
const QColor Green(0, 0xff, 0);

} // namespace

Q_DECLARE_METATYPE(TTextStyle)

// Hot spots and the caption drawing of the label.
class TestHotSpot : public QObject
{
    Q_OBJECT

private slots:
    void transparentHotSpotLeavesThePictureUnchanged()
    {
        Stage plain;
        plain.Show();
        const QImage before = plain.Shot();

        Stage stage;
        TRzLabel *spot = stage.AddHotSpot(QRect(40, 40, 60, 30));
        stage.Show();
        QVERIFY(spot->isVisible());
        QCOMPARE(stage.Shot(), before);
        QVERIFY(!spot->autoFillBackground());
        QCOMPARE(spot->focusPolicy(), Qt::NoFocus);
    }

    void opaqueLabelFillsItsColour()
    {
        Stage stage;
        TRzLabel *label = stage.AddHotSpot(QRect(40, 40, 60, 30));
        label->SetTransparent(false);
        label->SetColor(Blue);
        label->SetFrameSides(TSides{sdLeft, sdTop});
        stage.Show();
        const QImage shot = stage.Shot();
        QCOMPARE(shot.pixelColor(40, 50), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(50, 40), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(41, 41), Blue);
        QCOMPARE(shot.pixelColor(99, 69), Blue);
        QCOMPARE(shot.pixelColor(100, 70), stage.picture->Picture().pixelColor(100, 70));
    }

    void hotSpotTakesClickAndEnterFromThePointer()
    {
        Stage stage;
        TRzLabel *spot = stage.AddHotSpot(QRect(40, 40, 60, 30));
        int clicks = 0, enters = 0, leaves = 0;
        spot->OnClick = [&](QObject *sender) {
            QCOMPARE(sender, spot);
            ++clicks;
        };
        spot->OnMouseEnter = [&](QObject *) { ++enters; };
        spot->OnMouseLeave = [&](QObject *) { ++leaves; };
        stage.Show();
        QWindow *window = stage.window.windowHandle();
        QTest::mouseMove(window, QPoint(5, 5));
        QTest::mouseMove(window, QPoint(60, 50));
        QTRY_COMPARE(enters, 1);
        QTest::mouseMove(window, QPoint(70, 55));
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(70, 55));
        QTRY_COMPARE(clicks, 1);
        QCOMPARE(enters, 1);
        QCOMPARE(spot->cursor().shape(), Qt::PointingHandCursor);
        // A click on the picture beside it is not the hot spot's.
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(150, 120));
        QTRY_COMPARE(leaves, 1);
        QCOMPARE(clicks, 1);
        // A press inside released outside is no click.
        QTest::mousePress(window, Qt::LeftButton, {}, QPoint(60, 50));
        QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(150, 120));
        QCoreApplication::processEvents();
        QCOMPARE(clicks, 1);
    }

    void laterHotSpotLiesOnTop()
    {
        Stage stage;
        TRzLabel *below = stage.AddHotSpot(QRect(20, 20, 100, 100));
        TRzLabel *above = stage.AddHotSpot(QRect(50, 50, 30, 30));
        int belowClicks = 0, aboveClicks = 0;
        below->OnClick = [&](QObject *) { ++belowClicks; };
        above->OnClick = [&](QObject *) { ++aboveClicks; };
        stage.Show();
        QTest::mouseClick(stage.window.windowHandle(), Qt::LeftButton, {}, QPoint(60, 60));
        QTRY_COMPARE(aboveClicks, 1);
        QTest::mouseClick(stage.window.windowHandle(), Qt::LeftButton, {}, QPoint(25, 25));
        QTRY_COMPARE(belowClicks, 1);
        QCOMPARE(aboveClicks, 1);
    }

    void discLabelIsCentredAtTheTopWithoutBackground()
    {
        TRzLabel label;
        label.SetAutoSize(false);
        label.SetTransparent(true);
        label.SetAlignment(taCenter);
        label.SetTextStyle(tsNormal);
        label.SetFont(Crisp(QStringLiteral("Arial"), 15, true));
        label.SetFontColor(Red);
        label.setGeometry(523, 135, 84, 18);
        label.SetCaption(QStringLiteral("CD-Rom 12"));
        const QImage image = Render(label);
        const QRect ink = InkBounds(image, Red);
        QVERIFY(!ink.isEmpty());
        QCOMPARE(ColoursIn(image), std::set<QRgb>{Red.rgb()});
        const int advance = QFontMetrics(label.Font()).horizontalAdvance(label.Caption());
        QVERIFY2(qAbs((ink.left() + ink.right() + 1) - 84) <= 3, qPrintable(QString::number(ink.left())));
        QVERIFY(ink.width() <= advance);
        QVERIFY(ink.top() <= 5);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(83, 17)), 0);
    }

    void wordWrapBreaksBetweenWords()
    {
        TRzLabel label;
        label.SetAutoSize(false);
        label.SetTransparent(true);
        label.SetAlignment(taCenter);
        label.SetTextStyle(tsNormal);
        label.SetFont(Crisp(QStringLiteral("Arial"), 15, true));
        label.SetFontColor(Red);
        label.resize(84, 50);
        label.SetCaption(QStringLiteral("Your Starter CD"));
        const int lineHeight = QFontMetrics(label.Font()).height();
        QVERIFY(InkBounds(Render(label), Red).height() <= lineHeight);
        label.SetWordWrap(true);
        const QRect wrapped = InkBounds(Render(label), Red);
        QVERIFY(wrapped.height() > lineHeight);
        QVERIFY(wrapped.right() < 84);
    }

    void textStyles_data()
    {
        QTest::addColumn<TTextStyle>("style");
        QTest::addColumn<bool>("light");
        QTest::addColumn<bool>("shadowShown");
        QTest::addColumn<bool>("highlightShown");
        QTest::addColumn<QPoint>("shadowOffset");
        QTest::newRow("normal") << tsNormal << false << false << false << QPoint();
        QTest::newRow("raised") << tsRaised << false << true << true << QPoint(1, 1);
        QTest::newRow("raised light") << tsRaised << true << false << true << QPoint();
        QTest::newRow("recessed") << tsRecessed << false << true << true << QPoint(-1, -1);
        QTest::newRow("recessed light") << tsRecessed << true << false << true << QPoint();
        QTest::newRow("shadow") << tsShadow << false << true << false << QPoint(2, 2);
    }

    void textStyles()
    {
        QFETCH(TTextStyle, style);
        QFETCH(bool, light);
        QFETCH(bool, shadowShown);
        QFETCH(bool, highlightShown);
        QFETCH(QPoint, shadowOffset);
        TRzLabel label;
        label.SetAutoSize(false);
        label.SetTransparent(true);
        label.SetFont(Crisp(QStringLiteral("Arial"), 30, true));
        label.SetFontColor(Red);
        label.SetShadowColor(Blue);
        label.SetHighlightColor(Green);
        label.SetTextStyle(style);
        label.SetLightTextStyle(light);
        label.setGeometry(0, 0, 60, 40);
        label.SetCaption(QStringLiteral("H"));
        const QImage image = Render(label);
        const QRect text = InkBounds(image, Red);
        const QRect shadow = InkBounds(image, Blue);
        QCOMPARE(!shadow.isEmpty(), shadowShown);
        QCOMPARE(!InkBounds(image, Green).isEmpty(), highlightShown);
        if (shadowShown) {
            // The shadow pass shows on the side it is moved to.
            if (shadowOffset.x() > 0)
                QCOMPARE(shadow.right(), text.right() + shadowOffset.x());
            else
                QCOMPARE(shadow.left(), text.left() + shadowOffset.x());
        }
    }

    void disabledLabelIsGreyedWithHighlight()
    {
        TRzLabel label;
        label.SetAutoSize(false);
        label.SetTransparent(true);
        label.SetTextStyle(tsNormal);
        label.SetFont(Crisp(QStringLiteral("Arial"), 30, true));
        QPalette palette = label.palette();
        palette.setColor(QPalette::Light, Green);
        palette.setColor(QPalette::Disabled, QPalette::Text, Blue);
        label.setPalette(palette);
        label.SetFontColor(Red);
        label.setGeometry(0, 0, 60, 40);
        label.SetCaption(QStringLiteral("H"));
        label.setEnabled(false);
        const QImage image = Render(label);
        QVERIFY(InkBounds(image, Red).isEmpty());
        const QRect grey = InkBounds(image, Blue);
        QCOMPARE(InkBounds(image, Green).right(), grey.right() + 1);
    }

    void layoutAndRightAlignmentPlaceTheText()
    {
        TRzLabel label;
        label.SetAutoSize(false);
        label.SetTransparent(true);
        label.SetTextStyle(tsNormal);
        label.SetFont(Crisp(QStringLiteral("Arial"), 15));
        label.SetFontColor(Red);
        label.setGeometry(0, 0, 80, 60);
        label.SetCaption(QStringLiteral("Hi"));
        const QRect top = InkBounds(Render(label), Red);
        label.SetLayout(tlBottom);
        const QRect bottom = InkBounds(Render(label), Red);
        label.SetLayout(tlCenter);
        const QRect centre = InkBounds(Render(label), Red);
        const int spare = 60 - QFontMetrics(label.Font()).height();
        QCOMPARE(bottom.top() - top.top(), spare - 1);
        QCOMPARE(centre.top() - top.top(), spare / 2);
        label.SetLayout(tlTop);
        label.SetAlignment(taRightJustify);
        const QRect right = InkBounds(Render(label), Red);
        QVERIFY(right.right() <= 78);
        QVERIFY(right.left() > top.left() + 40);
    }

    void autoSizeFollowsTheCaption()
    {
        TRzLabel label;
        label.SetFont(Crisp(QStringLiteral("Arial"), 15));
        label.SetCaption(QStringLiteral("A longer caption"));
        const QFontMetrics metrics(label.Font());
        QCOMPARE(label.height(), metrics.height());
        QVERIFY(label.width() >= metrics.horizontalAdvance(label.Caption()) - 1);
        label.SetAutoSize(false);
        label.resize(84, 18);
        label.SetCaption(QStringLiteral("x"));
        QCOMPARE(label.size(), QSize(84, 18));
    }

    void captionChangeRepaintsAtOnce()
    {
        Stage stage;
        TRzLabel *label = stage.AddHotSpot(QRect(10, 10, 120, 20));
        stage.Show();
        QCoreApplication::processEvents();
        PaintCounter paints(label);
        label->SetCaption(QStringLiteral("CD-Rom 7"));
        QCOMPARE(paints.count, 1);
        label->SetCaption(QStringLiteral("CD-Rom 7"));
        QCOMPARE(paints.count, 1);
    }
};

QTEST_MAIN(TestHotSpot)
#include "tst_hotspot.moc"
