// Prints the median cost, in microseconds, of one timer tick of each animated control: the step
// that moves its state and the painting that step asks for.

#include "app/CredFrm.h"
#include "platform/Fonts.h"
#include "toolkit/ImageList.h"
#include "toolkit/ScrollU.h"
#include "toolkit/Timer.h"
#include "toolkit/lxAnimator.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QPainter>
#include <QTextStream>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int WarmUpRuns = 200;
constexpr int MeasuredRuns = 5000;

// The median of MeasuredRuns timings of tick, in microseconds.
double MedianMicroseconds(const std::function<void()> &tick)
{
    for (int i = 0; i < WarmUpRuns; ++i)
        tick();
    std::vector<qint64> nanoseconds;
    nanoseconds.reserve(MeasuredRuns);
    QElapsedTimer clock;
    for (int i = 0; i < MeasuredRuns; ++i) {
        clock.start();
        tick();
        nanoseconds.push_back(clock.nsecsElapsed());
    }
    std::nth_element(nanoseconds.begin(), nanoseconds.begin() + MeasuredRuns / 2, nanoseconds.end());
    return double(nanoseconds[MeasuredRuns / 2]) / 1000.0;
}

// Shows the window and waits until it can be painted; false when it never can.
bool ShowExposed(QWidget &window)
{
    window.show();
    const QDeadlineTimer deadline(5000);
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return window.windowHandle() && window.windowHandle()->isExposed();
}

// Delivers the repaint that a tick asked for, as the event loop would next.
void PaintPending(QWidget &window)
{
    QCoreApplication::sendPostedEvents(&window, QEvent::UpdateRequest);
}

// The credits window's scrolling box: one-pixel step, then the block copy of its view.
double MarqueeTick()
{
    TfrmCredits credits;
    credits.Create();
    auto *marquee = credits.findChild<TMarquee *>();
    if (!ShowExposed(credits) || !marquee || !marquee->Running())
        return -1;
    const TTimer &timer = marquee->Timer();
    PaintPending(credits);
    return MedianMicroseconds([&] {
        timer.OnTimer(nullptr);
        PaintPending(credits);
    });
}

// An animated button: a 41-frame list of 214 by 81 pictures, one frame drawn and shown per tick.
double AnimatorTick()
{
    TImageList list(214, 81);
    for (int frame = 0; frame < 41; ++frame) {
        QImage picture(214, 81, QImage::Format_RGB32);
        QPainter painter(&picture);
        painter.fillRect(picture.rect(), QColor::fromHsv(frame * 8, 160, 200));
        painter.drawText(picture.rect(), Qt::AlignCenter, QString::number(frame));
        list.Add(picture);
    }
    QWidget window;
    window.resize(240, 100);
    TlxAnimator animator(&window);
    animator.move(10, 10);
    animator.SetImageList(&list);
    if (!ShowExposed(window))
        return -1;
    PaintPending(window);
    return MedianMicroseconds([&] {
        animator.AnimateStep(nullptr);
        PaintPending(window);
    });
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Fonts::Install();

    QTextStream out(stdout);
    out << "median cost of one tick, microseconds\n";
    out << "marquee (credits box, 297x118): " << MarqueeTick() << '\n';
    out << "animator (214x81, 41 frames): " << AnimatorTick() << '\n';
    return 0;
}
