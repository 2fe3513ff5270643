#include "TestSupport.h"

#include "toolkit/Dispatch.h"
#include "toolkit/ScrollU.h"
#include "toolkit/Timer.h"

#include <QPaintEvent>
#include <QTest>

#include <memory>

namespace {

const QColor Paper = Qt::white;

bool IsInk(QRgb pixel)
{
    return QColor(pixel) != Paper;
}

// The smallest rectangle holding every pixel of area that is not paper; null when there is none.
QRect InkBounds(const QImage &image, const QRect &area)
{
    QRect bounds;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (IsInk(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

int InkCount(const QImage &image, const QRect &area)
{
    int count = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += IsInk(image.pixel(x, y)) ? 1 : 0;
    return count;
}

QList<QByteArray> Lines(std::initializer_list<const char *> lines)
{
    QList<QByteArray> list;
    for (const char *line : lines)
        list.append(QByteArray(line));
    return list;
}

// A marquee the size of the credits box, white, in an 11-pixel serif face.
std::unique_ptr<TMarquee> MakeMarquee(const QList<QByteArray> &lines)
{
    auto marquee = std::make_unique<TMarquee>();
    marquee->resize(297, 118);
    marquee->SetColor(Paper);
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(11);
    marquee->setFont(font);
    QPalette palette = marquee->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    marquee->setPalette(palette);
    marquee->SetItems(lines);
    return marquee;
}

void Tick(const TMarquee &marquee)
{
    marquee.Timer().OnTimer(nullptr);
}

// The rows of the buffer that hold line index.
QRect LineRows(const TMarquee &marquee, int index)
{
    return QRect(0, marquee.height() + index * marquee.LineHeight(), marquee.width(), marquee.LineHeight());
}

// What the control shows inside its view rectangle.
QImage View(TMarquee &marquee)
{
    return marquee.grab().toImage().copy(marquee.ViewRect().ToQRect());
}

// Records the rectangles the control is asked to repaint.
class PaintSpy : public QObject
{
public:
    explicit PaintSpy(QWidget *widget) { widget->installEventFilter(this); }
    QList<QRect> rects;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            rects.append(static_cast<QPaintEvent *>(event)->rect());
        return false;
    }
};

} // namespace

// The scrolling text control: states, pass arithmetic, painting and rendering of the lines.
class TestMarquee : public QObject
{
    Q_OBJECT

private slots:
    void idleMarqueePaintsRaisedPanel()
    {
        TMarquee marquee;
        marquee.SetColor(Paper);
        const QImage look = marquee.grab().toImage();
        QCOMPARE(look.size(), QSize(100, 75));
        const QColor light = marquee.palette().color(QPalette::Light);
        const QColor dark = marquee.palette().color(QPalette::Dark);
        // Three nested rings, light along the top and left, dark along the bottom and right.
        for (int ring = 0; ring < 3; ++ring) {
            QCOMPARE(look.pixel(ring, 40), light.rgb());
            QCOMPARE(look.pixel(50, ring), light.rgb());
            QCOMPARE(look.pixel(99 - ring, 40), dark.rgb());
            QCOMPARE(look.pixel(50, 74 - ring), dark.rgb());
        }
        QCOMPARE(look.pixelColor(3, 3), Paper);
        QCOMPARE(look.pixelColor(96, 71), Paper);
    }

    void emptyListStaysIdle()
    {
        int done = 0;
        const auto marquee = MakeMarquee({});
        marquee->OnDone = [&done](QObject *) { ++done; };
        marquee->Start();
        QVERIFY(!marquee->Running());
        QVERIFY(marquee->Buffer().isNull());
        QVERIFY(!marquee->Timer().Enabled());
        QVERIFY(!marquee->Timer().IsTicking());
        marquee->Stop();
        QCOMPARE(done, 0);
    }

    void startWhileRunningAndStopWhileIdleChangeNothing()
    {
        int done = 0;
        const auto marquee = MakeMarquee(Lines({"one", "two"}));
        marquee->OnDone = [&done](QObject *) { ++done; };
        marquee->Stop();
        QCOMPARE(done, 0);
        QVERIFY(!marquee->Running());

        marquee->Start();
        for (int i = 0; i < 5; ++i)
            Tick(*marquee);
        const qint64 buffer = marquee->Buffer().cacheKey();
        marquee->Start();
        QCOMPARE(marquee->ScrollOffset(), 5);
        QCOMPARE(marquee->Buffer().cacheKey(), buffer);
        QVERIFY(marquee->Timer().Enabled());
        QCOMPARE(done, 0);
    }

    void setItemsCopiesTheLines()
    {
        const auto marquee = MakeMarquee({});
        QList<QByteArray> lines = Lines({"a", "b"});
        marquee->SetItems(lines);
        lines.append("c");
        lines[0] = "changed";
        QCOMPARE(marquee->Items(), Lines({"a", "b"}));
        marquee->SetItems(marquee->Items());
        QCOMPARE(marquee->Items(), Lines({"a", "b"}));
    }

    void pointerAndSizeEventsReachTheOwner()
    {
        QWidget window;
        auto *marquee = new TMarquee(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList seen;
        const auto button = [&seen](QObject *, Qt::MouseButton b, Qt::KeyboardModifiers shift, int x, int y) {
            seen.append(QStringLiteral("%1 %2 %3,%4").arg(int(b)).arg(shift.toInt()).arg(x).arg(y));
        };
        marquee->OnMouseDown = marquee->OnMouseUp = button;
        marquee->OnMouseMove = [&](QObject *, Qt::KeyboardModifiers, int x, int y) { button({}, {}, {}, x, y); };
        marquee->OnResize = [&](QObject *) { seen.append(QString::number(marquee->width())); };
        QTest::mousePress(marquee, Qt::RightButton, Qt::ShiftModifier, QPoint(5, 6));
        QTest::mouseMove(marquee, QPoint(7, 8));
        QTest::mouseRelease(marquee, Qt::RightButton, Qt::ShiftModifier, QPoint(9, 10));
        marquee->resize(120, 75);
        QCOMPARE(seen, QStringList({"2 33554432 5,6", "0 0 7,8", "2 33554432 9,10", "120"}));
    }

    void geometryOfTheCreditsBox()
    {
        const auto marquee = MakeMarquee(Lines({"Hello", " ", "Hello"}));
        marquee->Start();
        QCOMPARE(marquee->ViewRect(), (TRect{3, 3, 291, 112}));
        const int lineHeight = marquee->LineHeight();
        QCOMPARE(marquee->BufferRect(), (TRect{0, 0, 297, 3 * lineHeight + 236}));
        QCOMPARE(marquee->Buffer().size(), QSize(297, 3 * lineHeight + 236));
        // The line pitch holds a whole cell: lines never overlap.
        QVERIFY(lineHeight >= QFontMetrics(marquee->font()).height());
        // Blank space of one control height above and below the text; a single space is a blank line.
        const QImage &buffer = marquee->Buffer();
        QVERIFY(InkBounds(buffer, QRect(0, 0, 297, 118)).isNull());
        QVERIFY(!InkBounds(buffer, LineRows(*marquee, 0)).isNull());
        QVERIFY(InkBounds(buffer, LineRows(*marquee, 1)).isNull());
        QVERIFY(!InkBounds(buffer, LineRows(*marquee, 2)).isNull());
        QVERIFY(InkBounds(buffer, QRect(0, 118 + 3 * lineHeight, 297, 118)).isNull());
        // Ink of each line starts at the same place of its cell.
        QCOMPARE(InkBounds(buffer, LineRows(*marquee, 2)).top() - InkBounds(buffer, LineRows(*marquee, 0)).top(),
                 2 * lineHeight);
    }

    void upwardPassLoopsWhenContinuous()
    {
        int done = 0;
        const auto marquee = MakeMarquee(Lines({"one", "two", "three"}));
        marquee->OnDone = [&done](QObject *) { ++done; };
        marquee->Start();
        QCOMPARE(marquee->ScrollOffset(), 0);
        const int last = 118 + 3 * marquee->LineHeight();
        for (int expected = 1; expected <= last; ++expected) {
            Tick(*marquee);
            QCOMPARE(marquee->ScrollOffset(), expected);
        }
        Tick(*marquee);
        QCOMPARE(marquee->ScrollOffset(), 0);
        QVERIFY(marquee->Running());
        Tick(*marquee);
        QCOMPARE(marquee->ScrollOffset(), 1);
        QCOMPARE(done, 0);
    }

    void passWithoutContinuousStopsOnceAndShowsThePanel()
    {
        int done = 0;
        const auto marquee = MakeMarquee(Lines({"one", "two"}));
        marquee->SetContinuous(false);
        bool runningInDone = false;
        bool bufferInDone = false;
        QObject *sender = nullptr;
        marquee->OnDone = [&](QObject *s) {
            ++done;
            sender = s;
            runningInDone = marquee->Running();
            bufferInDone = !marquee->Buffer().isNull();
            marquee->Stop(); // already stopped: raises nothing again
        };
        marquee->Start();
        const int last = 118 + 2 * marquee->LineHeight();
        for (int i = 0; i < last; ++i)
            Tick(*marquee);
        QCOMPARE(marquee->ScrollOffset(), last);
        QCOMPARE(done, 0);
        // Running, the control shows the buffer: paper where the idle panel has its bevel.
        QCOMPARE(marquee->grab().toImage().pixelColor(0, 0), Paper);

        Tick(*marquee);
        QCOMPARE(done, 1);
        QCOMPARE(sender, marquee.get());
        QVERIFY(!runningInDone);
        QVERIFY(bufferInDone);
        QVERIFY(!marquee->Running());
        QVERIFY(marquee->Buffer().isNull());
        QVERIFY(!marquee->Timer().Enabled());
        const QImage look = marquee->grab().toImage();
        QCOMPARE(look.pixel(0, 0), marquee->palette().color(QPalette::Light).rgb());
        QCOMPARE(look.pixel(296, 117), marquee->palette().color(QPalette::Dark).rgb());

        Tick(*marquee);
        marquee->Stop();
        QCOMPARE(done, 1);
    }

    void freeingARunningMarqueeRaisesDone()
    {
        int done = 0;
        bool runningInDone = false;
        {
            const auto marquee = MakeMarquee(Lines({"one"}));
            marquee->OnDone = [&](QObject *sender) {
                ++done;
                runningInDone = static_cast<TMarquee *>(sender)->Running();
                static_cast<TMarquee *>(sender)->Stop();
            };
            marquee->Start();
        }
        QCOMPARE(done, 1);
        QVERIFY(!runningInDone);

        {
            const auto idle = MakeMarquee(Lines({"one"}));
            idle->OnDone = [&done](QObject *) { ++done; };
        }
        QCOMPARE(done, 1);
    }

    void scrollDownEntersWithTheLastLineAndEndsAtZero()
    {
        int done = 0;
        const auto marquee = MakeMarquee(Lines({"i", "i", "MMMMMMMMMM"}));
        marquee->SetScrollDown(true);
        marquee->SetContinuous(false);
        marquee->OnDone = [&done](QObject *) { ++done; };
        marquee->Start();
        const int start = 3 * marquee->LineHeight() + 118;
        QCOMPARE(marquee->ScrollOffset(), start);
        QVERIFY(InkBounds(View(*marquee), QRect(0, 0, 288, 109)).isNull());

        QRect firstInk;
        int expected = start;
        while (firstInk.isNull() && expected > 0) {
            Tick(*marquee);
            QCOMPARE(marquee->ScrollOffset(), --expected);
            firstInk = InkBounds(View(*marquee), QRect(0, 0, 288, 109));
        }
        // The first ink enters at the top edge and is the wide last line.
        QCOMPARE(firstInk.top(), 0);
        QVERIFY(firstInk.width() > 40);

        while (expected > 0) {
            Tick(*marquee);
            QCOMPARE(marquee->ScrollOffset(), --expected);
        }
        QCOMPARE(done, 0);
        Tick(*marquee);
        QCOMPARE(done, 1);
        QVERIFY(!marquee->Running());
    }

    void scrollDownContinuousRestartsAtTheBottomBand()
    {
        const auto marquee = MakeMarquee(Lines({"one"}));
        marquee->SetScrollDown(true);
        marquee->Start();
        const int start = marquee->ScrollOffset();
        for (int i = 0; i < start; ++i)
            Tick(*marquee);
        QCOMPARE(marquee->ScrollOffset(), 0);
        Tick(*marquee);
        QCOMPARE(marquee->ScrollOffset(), start);
        QVERIFY(marquee->Running());
    }

    void emptyLineFailsAndLeavesTheMarqueeStill()
    {
        int done = 0;
        const auto marquee = MakeMarquee(Lines({"first", "", "third"}));
        marquee->OnDone = [&done](QObject *) { ++done; };
        try {
            marquee->Start();
            QFAIL("Start accepted an empty line");
        } catch (const EMarqueeError &error) {
            QCOMPARE(error.Message(), QStringLiteral("Failed to render text"));
        }
        QVERIFY(marquee->Running());
        QVERIFY(!marquee->Timer().Enabled());
        QCOMPARE(marquee->ScrollOffset(), 0);
        // The lines before the empty one are drawn, the ones after it are not.
        QVERIFY(!InkBounds(marquee->Buffer(), LineRows(*marquee, 0)).isNull());
        QVERIFY(InkBounds(marquee->Buffer(), LineRows(*marquee, 2)).isNull());

        marquee->Start();
        QVERIFY(!marquee->Timer().Enabled());
        marquee->Stop();
        QCOMPARE(done, 1);
        QVERIFY(!marquee->Running());
    }

    void failureReachesTheErrorBox()
    {
        ErrorRecorder recorder;
        const auto marquee = MakeMarquee(Lines({""}));
        Dispatch::Guarded([&marquee] { marquee->Start(); });
        QCOMPARE(recorder.errors, QStringList{QStringLiteral("Failed to render text.")});
    }

    void wideLinesAreCutAtTheViewEdges_data()
    {
        QTest::addColumn<int>("justify");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("leftEnd");
        QTest::addColumn<bool>("rightEnd");
        const QByteArray wide = "WWWWW" + QByteArray(300, ' ') + "WWWWW";
        const QByteArray narrow = "WWWWW" + QByteArray(20, ' ') + "WWWWW";
        QTest::newRow("centred, cut on both sides") << int(tjCenter) << wide << false << false;
        QTest::newRow("left, cut on the right") << int(tjLeft) << wide << true << false;
        QTest::newRow("right, cut on the left") << int(tjRight) << wide << false << true;
        QTest::newRow("centred, fits") << int(tjCenter) << narrow << false << false;
    }

    void wideLinesAreCutAtTheViewEdges()
    {
        QFETCH(int, justify);
        QFETCH(QByteArray, line);
        QFETCH(bool, leftEnd);
        QFETCH(bool, rightEnd);
        const auto marquee = MakeMarquee({line});
        marquee->SetJustify(TJustification(justify));
        marquee->Start();
        const QImage &buffer = marquee->Buffer();
        const QRect rows = LineRows(*marquee, 0);
        const QRect ink = InkBounds(buffer, rows);
        // Nothing ever lands outside the columns of the view.
        QVERIFY(InkBounds(buffer, QRect(0, rows.top(), 3, rows.height())).isNull());
        QVERIFY(InkBounds(buffer, QRect(291, rows.top(), 6, rows.height())).isNull());
        if (line.size() < 100) {
            // A line that fits is centred as a whole.
            QVERIFY(!ink.isNull());
            QVERIFY(qAbs((ink.left() - 3) - (290 - ink.right())) <= 2);
            return;
        }
        QCOMPARE(!InkBounds(buffer, QRect(3, rows.top(), 60, rows.height())).isNull(), leftEnd);
        QCOMPARE(!InkBounds(buffer, QRect(231, rows.top(), 60, rows.height())).isNull(), rightEnd);
        if (leftEnd)
            QVERIFY(ink.left() <= 4);
        if (rightEnd)
            QVERIFY(ink.right() >= 289);
    }

    void ampersandsUnderlineAndEscape()
    {
        const auto marquee = MakeMarquee(Lines({"AB", "A&B", "A&&B", "A&&&&B"}));
        marquee->SetJustify(tjLeft);
        marquee->Start();
        const QImage &buffer = marquee->Buffer();
        const QRect plain = InkBounds(buffer, LineRows(*marquee, 0));
        // Line 1 moved up onto line 0's rows, so that the two compare directly.
        const QRect marked = InkBounds(buffer, LineRows(*marquee, 1)).translated(0, -marquee->LineHeight());
        const QRect one = InkBounds(buffer, LineRows(*marquee, 2));
        const QRect two = InkBounds(buffer, LineRows(*marquee, 3));

        // "&B" hides the ampersand and underlines the B: the same width, ink added below the text.
        QCOMPARE(marked.left(), plain.left());
        QCOMPARE(marked.right(), plain.right());
        QVERIFY(marked.bottom() > plain.bottom());
        QVERIFY(InkCount(buffer, LineRows(*marquee, 1)) > InkCount(buffer, LineRows(*marquee, 0)));
        const int underlineRow = marked.bottom() + marquee->LineHeight();
        const QRect underline = InkBounds(buffer, QRect(0, underlineRow, 297, 1));
        QVERIFY(underline.left() > plain.left() + 2); // under the B, not the A

        // "&&" shows one ampersand: each pair adds the same width.
        const int ampersand = one.width() - plain.width();
        QVERIFY(ampersand > 3);
        QVERIFY(qAbs((two.width() - one.width()) - ampersand) <= 1);
    }

    void longLinesAreDrawnWhole()
    {
        // Past 255 characters the line goes on: its end still shows when right-justified.
        const QByteArray line = QByteArray(300, '.') + "WWWW";
        const auto marquee = MakeMarquee({line});
        marquee->SetJustify(tjRight);
        marquee->Start();
        const QRect rows = LineRows(*marquee, 0);
        const QRect end(261, rows.top(), 30, rows.height());
        const QRect start(3, rows.top(), 30, rows.height());
        // Full stops sit on the baseline; capitals rise far above it.
        const int endHeight = InkBounds(marquee->Buffer(), end).height();
        const int startHeight = InkBounds(marquee->Buffer(), start).height();
        QVERIFY(startHeight > 0);
        QVERIFY2(endHeight > startHeight + 3, qPrintable(QStringLiteral("%1 %2").arg(endHeight).arg(startHeight)));
    }

    void paintShowsTheBufferAtTheOffset_data()
    {
        QTest::addColumn<int>("rowsAboveInk");
        QTest::addColumn<bool>("inkInTopStrip");
        QTest::newRow("text across the top strip") << 1 << true;
        QTest::newRow("text inside the view") << 60 << false;
    }

    // A full repaint copies the block at the offset, the strips along the top and left edges
    // included, and erases what the block leaves uncovered.
    void paintShowsTheBufferAtTheOffset()
    {
        QFETCH(int, rowsAboveInk);
        QFETCH(bool, inkInTopStrip);
        const auto marquee = MakeMarquee(Lines({"Brindlemoor", "credits", "scroll"}));
        marquee->Start();
        const QImage &buffer = marquee->Buffer();
        const int firstInk = InkBounds(buffer, buffer.rect()).top();
        while (marquee->ScrollOffset() < firstInk - rowsAboveInk)
            Tick(*marquee);
        const QImage shown = marquee->grab().toImage();
        QVERIFY(!InkBounds(shown, QRect(3, 3, 288, 109)).isNull());
        QCOMPARE(InkCount(shown, QRect(0, 0, 291, 3)) > 0, inkInTopStrip);
        for (int y = 0; y < 112; ++y)
            for (int x = 0; x < 291; ++x)
                QCOMPARE(shown.pixel(x, y), buffer.pixel(x, y + marquee->ScrollOffset()));
        QCOMPARE(shown.pixelColor(294, 50), Paper);
        QCOMPARE(shown.pixelColor(100, 115), Paper);
    }

    void aTickRepaintsOnlyTheView()
    {
        const auto marquee = MakeMarquee(Lines({"one", "two"}));
        marquee->show();
        QVERIFY(QTest::qWaitForWindowExposed(marquee.get()));
        PaintSpy spy(marquee.get());
        // Only the tick driven here.
        marquee->SetInterval(0);
        marquee->Start();
        Tick(*marquee);
        QTRY_VERIFY(!spy.rects.isEmpty());
        QCOMPARE(spy.rects, QList<QRect>{QRect(3, 3, 288, 109)});
    }

    void intervalZeroHoldsStill()
    {
        const auto marquee = MakeMarquee(Lines({"one"}));
        marquee->SetInterval(1);
        marquee->Start();
        QVERIFY(marquee->Timer().IsTicking());
        QTRY_VERIFY(marquee->ScrollOffset() >= 3);
        marquee->SetInterval(0);
        QVERIFY(marquee->Timer().Enabled());
        QVERIFY(!marquee->Timer().IsTicking());
        marquee->SetInterval(1);
        const int held = marquee->ScrollOffset();
        QTRY_VERIFY(marquee->ScrollOffset() > held);
    }

    void linesAddedWhileRunningLengthenThePassOverBlankSpace()
    {
        const auto marquee = MakeMarquee(Lines({"one"}));
        marquee->Start();
        const int bufferHeight = marquee->Buffer().height();
        marquee->Items().append(QByteArray(20, 'W'));
        marquee->Items().append(QByteArray(20, 'W'));
        const int last = 118 + 3 * marquee->LineHeight();
        for (int i = 0; i < last; ++i)
            Tick(*marquee);
        QCOMPARE(marquee->ScrollOffset(), last);
        QVERIFY(last + 112 > bufferHeight);
        QVERIFY(InkBounds(marquee->grab().toImage(), marquee->rect()).isNull());
    }
};

QTEST_MAIN(TestMarquee)
#include "tst_marquee.moc"
