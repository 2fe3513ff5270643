#include "TestSupport.h"

#include "toolkit/Exceptions.h"
#include "toolkit/ImageList.h"
#include "toolkit/lxAnimator.h"

#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <memory>

namespace {

constexpr int FrameWidth = 214;
constexpr int FrameHeight = 81;

// A distinct colour for every frame, so that a pixel tells which frame is on screen.
QColor FrameColour(int frame)
{
    return QColor(10 + frame * 5, 250 - frame * 5, (frame * 37) % 256);
}

std::unique_ptr<TImageList> MakeList(int count)
{
    auto list = std::make_unique<TImageList>(FrameWidth, FrameHeight);
    for (int i = 0; i < count; ++i)
        list->Add(SolidImage(FrameWidth, FrameHeight, FrameColour(i)));
    return list;
}

// Counts the paint events a widget receives.
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

// A shown window holding one animator at (10, 10).
struct Stage
{
    Stage()
    {
        window.resize(260, 120);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, QColor(0x40, 0x50, 0x60));
        window.setPalette(palette);
        animator = new TlxAnimator(&window);
        animator->move(10, 10);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    // What the window shows at a point of the animator, as flushed to the screen.
    QColor Shown(int x = 5, int y = 5)
    {
        const QImage shot = window.screen()->grabWindow(window.winId()).toImage();
        return shot.pixelColor(QPoint(10 + x, 10 + y));
    }

    QWidget window;
    TlxAnimator *animator = nullptr;
};

} // namespace

// The frame animator: defaults, sizing, the frame sequence, repaint rules, the timer and errors.
class TestAnimator : public QObject
{
    Q_OBJECT

private slots:
    void newAnimatorHasItsDefaultsAndTicksChangeNothing()
    {
        TlxAnimator animator;
        QCOMPARE(animator.size(), QSize(40, 40));
        QCOMPARE(animator.Delay(), 100);
        QVERIFY(animator.Animate());
        QCOMPARE(animator.ImageIndex(), 0);
        QVERIFY(animator.IsTimerRunning());
        QCOMPARE(animator.focusPolicy(), Qt::NoFocus);
        int changes = 0;
        animator.OnChangeFrame = [&](QObject *, int) { ++changes; };
        animator.AnimateStep(nullptr);
        animator.AnimateStep(nullptr);
        QCOMPARE(animator.ImageIndex(), 0);
        QCOMPARE(changes, 0);
    }

    void listSizesTheControlAndSizeSnapsBack()
    {
        auto list = MakeList(3);
        Stage stage;
        stage.animator->SetImageList(list.get());
        QCOMPARE(stage.animator->size(), QSize(FrameWidth, FrameHeight));
        stage.animator->resize(300, 40);
        QCOMPARE(stage.animator->size(), QSize(FrameWidth, FrameHeight));
        stage.animator->setGeometry(0, 0, 10, 10);
        QCOMPARE(stage.animator->size(), QSize(FrameWidth, FrameHeight));
        // Hidden controls snap back as well.
        TlxAnimator hidden;
        hidden.SetImageList(list.get());
        hidden.resize(500, 500);
        QCOMPARE(hidden.size(), QSize(FrameWidth, FrameHeight));
        // The list's size as it is now counts, not the size it had when it was assigned.
        list->SetSize(100, 50);
        stage.animator->resize(300, 40);
        QCOMPARE(stage.animator->size(), QSize(100, 50));
        hidden.resize(500, 500);
        QCOMPARE(hidden.size(), QSize(100, 50));
    }

    void ticksPlayFromIndex33AndReportTheNextFrame()
    {
        auto list = MakeList(41);
        Stage stage;
        TlxAnimator &animator = *stage.animator;
        animator.SetAnimate(false);
        animator.SetImageList(list.get());
        animator.SetImageIndex(33);
        QList<int> reported;
        animator.OnChangeFrame = [&](QObject *sender, int frame) {
            QCOMPARE(sender, &animator);
            reported.append(frame);
        };
        const QList<int> drawn{33, 34, 35, 36, 37, 38, 39, 40, 0, 1, 2, 3};
        for (int frame : drawn) {
            animator.AnimateStep(nullptr);
            // The tick draws at once: no event loop has run since.
            QCOMPARE(stage.Shown(), FrameColour(frame));
            QCOMPARE(animator.ImageIndex(), (frame + 1) % 41);
        }
        QCOMPARE(reported, (QList<int>{34, 35, 36, 37, 38, 39, 40, 0, 1, 2, 3, 4}));
    }

    void repaintDrawsTheUpcomingFrame()
    {
        auto list = MakeList(41);
        Stage stage;
        stage.animator->SetAnimate(false);
        stage.animator->SetImageList(list.get());
        stage.animator->AnimateStep(nullptr);
        QCOMPARE(stage.Shown(), FrameColour(0));
        stage.animator->repaint();
        QCOMPARE(stage.Shown(), FrameColour(1));
    }

    void sameIndexRequestsNoRepaint()
    {
        auto list = MakeList(41);
        Stage stage;
        stage.animator->SetAnimate(false);
        stage.animator->SetImageList(list.get());
        stage.animator->SetImageIndex(33);
        QCoreApplication::processEvents();
        PaintCounter paints(stage.animator);
        stage.animator->SetImageIndex(33);
        QCoreApplication::processEvents();
        QCOMPARE(paints.count, 0);
        stage.animator->SetImageIndex(34);
        QTRY_COMPARE(paints.count, 1);
        QCOMPARE(stage.Shown(), FrameColour(34));
    }

    void stoppingLeavesTheLastFrameAndTheIndex()
    {
        auto list = MakeList(41);
        Stage stage;
        TlxAnimator &animator = *stage.animator;
        animator.SetImageList(list.get());
        animator.SetDelay(5);
        int ticks = 0;
        animator.OnChangeFrame = [&](QObject *, int) { ++ticks; };
        QTRY_VERIFY(ticks >= 3);
        animator.SetAnimate(false);
        QVERIFY(!animator.IsTimerRunning());
        const int index = animator.ImageIndex();
        const int lastDrawn = (index + 40) % 41;
        QCoreApplication::processEvents();
        QCOMPARE(stage.Shown(), FrameColour(lastDrawn));
        QCOMPARE(animator.ImageIndex(), index);
        // Back to the rest frame: its repaint shows it.
        animator.SetImageIndex(0);
        QTRY_COMPARE(stage.Shown(), FrameColour(0));
    }

    void outOfRangeIndexShowsBackgroundThenTickStartsAtZero()
    {
        auto list = MakeList(41);
        Stage stage;
        TlxAnimator &animator = *stage.animator;
        animator.SetAnimate(false);
        animator.SetImageList(list.get());
        animator.SetImageIndex(50);
        QTRY_COMPARE(stage.Shown(), QColor(0x40, 0x50, 0x60));
        animator.SetAnimate(true);
        animator.AnimateStep(nullptr);
        QCOMPARE(stage.Shown(), FrameColour(0));
        QCOMPARE(animator.ImageIndex(), 1);
    }

    void delayZeroRunsNoFrames()
    {
        auto list = MakeList(41);
        TlxAnimator animator;
        animator.SetImageList(list.get());
        int ticks = 0;
        animator.OnChangeFrame = [&](QObject *, int) { ++ticks; };
        animator.SetDelay(0);
        QVERIFY(animator.Animate());
        QVERIFY(!animator.IsTimerRunning());
        for (int i = 0; i < 50; ++i)
            QCoreApplication::processEvents();
        QCOMPARE(ticks, 0);
        QCOMPARE(animator.ImageIndex(), 0);
        animator.SetDelay(1);
        QTRY_VERIFY(ticks > 0);
    }

    void freedListIsForgotten()
    {
        auto list = MakeList(41);
        Stage stage;
        TlxAnimator &animator = *stage.animator;
        animator.SetAnimate(false);
        animator.SetImageList(list.get());
        animator.SetImageIndex(5);
        QTRY_COMPARE(stage.Shown(), FrameColour(5));
        list.reset();
        QCOMPARE(animator.ImageList(), nullptr);
        animator.AnimateStep(nullptr);
        QCOMPARE(animator.ImageIndex(), 5);
        QTRY_COMPARE(stage.Shown(), QColor(0x40, 0x50, 0x60));
        // No longer held to the frame size.
        animator.resize(60, 60);
        QCOMPARE(animator.size(), QSize(60, 60));
    }

    void replacedListNoLongerClearsTheAnimator()
    {
        auto first = MakeList(2);
        auto second = MakeList(3);
        TlxAnimator animator;
        animator.SetImageList(first.get());
        animator.SetImageList(second.get());
        first.reset();
        QCOMPARE(animator.ImageList(), second.get());
    }

    void failingTickStopsAndReportsOnce()
    {
        ErrorRecorder recorder;
        auto list = MakeList(41);
        Stage stage;
        TlxAnimator &animator = *stage.animator;
        animator.SetImageList(list.get());
        animator.SetDelay(5);
        int calls = 0;
        animator.OnChangeFrame = [&](QObject *, int) {
            ++calls;
            throw EInOutError(QStringLiteral("Frame lost"));
        };
        QTRY_COMPARE(recorder.errors.size(), 1);
        QCOMPARE(recorder.errors.first(), QStringLiteral("Frame lost."));
        QVERIFY(!animator.Animate());
        QVERIFY(!animator.IsTimerRunning());
        QCOMPARE(calls, 1);
        // The control stays usable: switched on again, it plays on.
        animator.OnChangeFrame = nullptr;
        const int index = animator.ImageIndex();
        animator.SetAnimate(true);
        QTRY_VERIFY(animator.ImageIndex() != index);
        QCOMPARE(recorder.errors.size(), 1);
    }

    void clicksAndPointerThroughTheWindow()
    {
        auto list = MakeList(3);
        Stage stage;
        TlxAnimator &animator = *stage.animator;
        animator.SetAnimate(false);
        animator.SetImageList(list.get());
        animator.setCursor(Qt::PointingHandCursor);
        int clicks = 0, doubles = 0, enters = 0, leaves = 0;
        animator.OnClick = [&](QObject *) { ++clicks; };
        animator.OnDblClick = [&](QObject *) { ++doubles; };
        animator.OnMouseEnter = [&](QObject *) { ++enters; };
        animator.OnMouseLeave = [&](QObject *) { ++leaves; };
        QWindow *window = stage.window.windowHandle();
        QTest::mouseMove(window, QPoint(250, 110));
        QTest::mouseMove(window, QPoint(50, 40));
        QTRY_COMPARE(enters, 1);
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(50, 40));
        QTRY_COMPARE(clicks, 1);
        QTest::mouseDClick(window, Qt::LeftButton, {}, QPoint(50, 40));
        QTRY_COMPARE(doubles, 1);
        QCOMPARE(clicks, 2);
        QTest::mouseMove(window, QPoint(250, 110));
        QTRY_COMPARE(leaves, 1);
        QCOMPARE(enters, 1);
    }

    void imageListDrawsByIndexWithItsBackground()
    {
        TImageList list(4, 3);
        list.SetBkColor(QColor(1, 2, 3));
        list.Add(SolidImage(4, 3, Qt::red));
        QImage masked(4, 3, QImage::Format_ARGB32);
        masked.fill(Qt::transparent);
        masked.setPixelColor(1, 1, Qt::green);
        list.Add(masked);
        list.Add(SolidImage(2, 2, Qt::blue));

        QImage bitmap(4, 3, QImage::Format_RGB32);
        bitmap.fill(Qt::white);
        const uchar *memory = bitmap.constBits();
        list.GetBitmap(0, bitmap);
        QCOMPARE(bitmap.constBits(), memory);
        QCOMPARE(bitmap.pixelColor(3, 2), QColor(Qt::red));
        list.GetBitmap(1, bitmap);
        QCOMPARE(bitmap.pixelColor(1, 1), QColor(Qt::green));
        QCOMPARE(bitmap.pixelColor(0, 0), QColor(1, 2, 3));
        // A smaller picture is padded with the background colour.
        list.GetBitmap(2, bitmap);
        QCOMPARE(bitmap.pixelColor(1, 1), QColor(Qt::blue));
        QCOMPARE(bitmap.pixelColor(3, 2), QColor(1, 2, 3));
        // An index with no picture draws nothing.
        bitmap.fill(Qt::white);
        list.GetBitmap(3, bitmap);
        list.GetBitmap(-1, bitmap);
        QCOMPARE(bitmap.pixelColor(2, 2), QColor(Qt::white));
        // A bitmap of another size takes the picture size.
        QImage small(1, 1, QImage::Format_RGB32);
        list.GetBitmap(0, small);
        QCOMPARE(small.size(), QSize(4, 3));
        QCOMPARE(small.pixelColor(0, 0), QColor(Qt::red));
    }
};

QTEST_MAIN(TestAnimator)
#include "tst_animator.moc"
