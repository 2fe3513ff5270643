// Start-up costs measured inside the program on a disc: reading the four built-in image lists,
// building the main window, and the timer events that reach the program while it sits idle.
//
//   brindle_bench_startup <program path on a disc>    (the sample disc: sample-disc/CD07)

#include "app/Application.h"
#include "app/Artwork.h"
#include "app/CredFrm.h"
#include "app/GlobalsU.h"
#include "app/LaunchF.h"
#include "app/MainF.h"
#include "platform/Fonts.h"
#include "toolkit/ImageList.h"
#include "toolkit/lxAnimator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMap>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {

// The median of runs timings of step, in milliseconds.
double MedianMilliseconds(int runs, const std::function<void()> &step)
{
    step();
    std::vector<qint64> nanoseconds;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        step();
        nanoseconds.push_back(clock.nsecsElapsed());
    }
    std::nth_element(nanoseconds.begin(), nanoseconds.begin() + runs / 2, nanoseconds.end());
    return double(nanoseconds[runs / 2]) / 1e6;
}

double LoadImageLists()
{
    return MedianMilliseconds(50, [] {
        for (const char *name : {"ilstExtraFiles", "ilstSampleware", "ilstOrder", "ilstToolBox"}) {
            TImageList list(214, 81);
            Artwork::LoadImageList(QLatin1String(name), list);
        }
    });
}

double BuildMainWindow()
{
    return MedianMilliseconds(30, [] {
        TfrmMain form;
        Application::SetMainForm(&form);
        form.Create();
        Application::SetMainForm(nullptr);
    });
}

// One animator tick on a built-in list, whose pictures are kept at 16 bits and widened as each
// frame is drawn, with the repaint it asks for; in microseconds.
double BuiltInAnimatorTick()
{
    TImageList list(214, 81);
    Artwork::LoadImageList(QStringLiteral("ilstOrder"), list);
    QWidget window;
    window.resize(240, 100);
    TlxAnimator animator(&window);
    animator.move(10, 10);
    animator.SetImageList(&list);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return -1;
    const auto tick = [&] {
        animator.AnimateStep(nullptr);
        QCoreApplication::sendPostedEvents(&window, QEvent::UpdateRequest);
    };
    for (int i = 0; i < 200; ++i)
        tick();
    return MedianMilliseconds(5000, tick) * 1000;
}

// Counts the timer events delivered to any object but the one that ends the count.
class TimerCounter : public QObject
{
public:
    explicit TimerCounter(const QObject *own) : own_(own) {}

    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        if (event->type() == QEvent::Timer && receiver != own_)
            receivers[QString::fromLatin1(receiver->metaObject()->className()) + QLatin1Char(' ') +
                      receiver->objectName()] += 1;
        return false;
    }

    QMap<QString, int> receivers;

private:
    const QObject *own_;
};

// The windows created as start-up creates them, the main one shown; after it has settled, the
// timer events of two idle seconds.
QMap<QString, int> IdleTimerEvents()
{
    auto form = std::make_unique<TfrmMain>();
    Application::SetMainForm(form.get());
    form->Create();
    form->show();
    auto launcher = std::make_unique<TLauncher>();
    Application::SetLauncher(launcher.get());
    launcher->Create();
    auto credits = std::make_unique<TfrmCredits>();
    Application::SetCredits(credits.get());
    credits->Create();
    if (!QTest::qWaitForWindowExposed(form.get()))
        return {{QStringLiteral("window never shown"), -1}};
    QTest::qWait(1000);

    QTimer stopper;
    stopper.setSingleShot(true);
    TimerCounter counter(&stopper);
    qApp->installEventFilter(&counter);
    QEventLoop loop;
    QObject::connect(&stopper, &QTimer::timeout, &loop, &QEventLoop::quit);
    stopper.start(2000);
    loop.exec();
    qApp->removeEventFilter(&counter);

    Application::SetCredits(nullptr);
    Application::SetLauncher(nullptr);
    Application::SetMainForm(nullptr);
    return counter.receivers;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc != 2) {
        out << "usage: brindle_bench_startup <program path on a disc>\n";
        return 2;
    }
    Fonts::Install();
    GlobalsU::InitDiscContext(QString::fromLocal8Bit(argv[1]));

    out << "four image lists read from their streams, median ms: " << LoadImageLists() << '\n';
    out << "main window built (construction and creation), median ms: " << BuildMainWindow() << '\n';
    out << "animator tick on a built-in list, median us: " << BuiltInAnimatorTick() << '\n';
    const QMap<QString, int> idle = IdleTimerEvents();
    int total = 0;
    for (int count : idle)
        total += count;
    out << "timer events in 2 idle seconds: " << total << '\n';
    for (auto it = idle.cbegin(); it != idle.cend(); ++it)
        out << "  " << it.key() << ": " << it.value() << '\n';
    return 0;
}
