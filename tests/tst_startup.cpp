#include "TestSupport.h"

#include "platform/AppTitle.h"
#include "platform/ErrorBox.h"
#include "toolkit/Control.h"
#include "toolkit/Dispatch.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Form.h"
#include "toolkit/Timer.h"

#include <QGuiApplication>
#include <QTest>
#include <QTimer>

#include <stdexcept>

namespace {
// A window whose creation handler fails half-way.
class FailingForm : public TForm
{
public:
    bool firstStepDone = false;
    bool lastStepDone = false;

protected:
    void FormCreate() override
    {
        firstStepDone = true;
        throw EFOpenError(QStringLiteral("/disc/Files/Text Files/Real.txt"));
        lastStepDone = true;
    }
};

// A window that decides itself whether it may close.
class GuardedForm : public TForm
{
public:
    bool allowClose = true;
    bool failOnClose = false;
    int closeQueries = 0;
    int closes = 0;

protected:
    void FormCloseQuery(bool &canClose) override
    {
        ++closeQueries;
        if (failOnClose)
            throw EIniFileException(QStringLiteral("/home/u/.config/BrindlePC.Ini"));
        canClose = allowClose;
    }
    void FormClose() override { ++closes; }
};
} // namespace

// The error box, the dispatch guard, the message-loop timer and the window life cycle.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void errorBoxText_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("path") << "Cannot open file /d/Files/Text Files/Real.txt"
                              << "Cannot open file /d/Files/Text Files/Real.txt.";
        QTest::newRow("full stop") << "Bitmap image is not valid."
                                   << "Bitmap image is not valid.";
        QTest::newRow("quote") << "'99999999999' is not a valid integer value"
                               << "'99999999999' is not a valid integer value.";
        QTest::newRow("ends in quote") << "Cannot open file 'x'"
                                       << "Cannot open file 'x'";
        QTest::newRow("exclamation") << "Stop!"
                                     << "Stop!";
        QTest::newRow("bracket") << "Failed (twice)"
                                 << "Failed (twice)";
        QTest::newRow("slash sorts after") << "Unable to write to /a/"
                                           << "Unable to write to /a/.";
        QTest::newRow("digit") << "Error 7"
                               << "Error 7.";
        QTest::newRow("empty") << ""
                               << "";
    }

    void errorBoxText()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorBox::BoxText(message), shown);
    }

    void guardShowsTheErrorAndTheProgramCarriesOn()
    {
        ErrorRecorder recorder;
        bool after = false;
        Dispatch::Guarded([] { throw EInvalidGraphic(); });
        Dispatch::Guarded([] { throw std::runtime_error("out of paper"); });
        Dispatch::Guarded([] { throw 42; });
        after = true;
        QVERIFY(after);
        QCOMPARE(recorder.errors, QStringList({"Bitmap image is not valid.", "out of paper.", "Unknown error."}));
        QCOMPARE(recorder.lastTitle, QStringLiteral("Brindlemoor"));
        QCOMPARE(AppTitle::Title(), QStringLiteral("Brindlemoor"));
        // Setting the title names the program on the desktop, in place of its file name.
        AppTitle::SetTitle(QStringLiteral("Brindlemoor"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Brindlemoor"));
    }

    void creationErrorIsShownAndTheWindowStillCreated()
    {
        ErrorRecorder recorder;
        FailingForm form;
        form.Create();
        QVERIFY(form.firstStepDone);
        QVERIFY(!form.lastStepDone);
        QCOMPARE(recorder.errors, QStringList{"Cannot open file /disc/Files/Text Files/Real.txt."});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }

    void timerAtIntervalZeroRunsNoTicks()
    {
        TTimer timer;
        int ticks = 0;
        timer.OnTimer = [&ticks](QObject *) { ++ticks; };
        timer.SetInterval(0);
        QVERIFY(timer.Enabled());
        QVERIFY(!timer.IsTicking());
        QTest::qWait(60);
        QCOMPARE(ticks, 0);
        timer.SetInterval(5);
        QTRY_VERIFY(ticks > 2);
        timer.SetEnabled(false);
        const int stopped = ticks;
        QTest::qWait(40);
        QCOMPARE(ticks, stopped);
    }

    void timerSetToItsOwnValuesKeepsCounting()
    {
        TTimer timer;
        timer.SetInterval(600);
        QTest::qWait(300);
        const int before = timer.RemainingTime();
        QVERIFY(before <= 330);
        timer.SetInterval(600);
        timer.SetEnabled(true);
        QVERIFY(timer.RemainingTime() <= before);
        timer.SetInterval(900);
        QVERIFY(timer.RemainingTime() > 600);
    }

    void timerErrorsGoThroughTheGuardAndTheTimerGoesOn()
    {
        ErrorRecorder recorder;
        TTimer timer;
        int ticks = 0;
        timer.OnTimer = [&ticks](QObject *) {
            ++ticks;
            throw EReadError(QStringLiteral("Failed to read ImageList data from stream"));
        };
        timer.SetInterval(5);
        QTRY_VERIFY(ticks >= 2);
        QVERIFY(recorder.errors.size() >= 2);
        QCOMPARE(recorder.errors.first(), QStringLiteral("Failed to read ImageList data from stream."));
    }

    void clicksFollowTheOriginalToolkit()
    {
        QWidget window;
        window.resize(200, 200);
        auto *control = new TControl(&window);
        control->setGeometry(50, 50, 40, 40);
        int clicks = 0;
        int doubleClicks = 0;
        control->OnClick = [&clicks](QObject *) { ++clicks; };
        control->OnDblClick = [&doubleClicks](QObject *) { ++doubleClicks; };
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks, 1);

        // Pressed inside, released outside: no click.
        QTest::mousePress(control, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(clicks, 1);

        // The right button clicks nothing.
        QTest::mouseClick(control, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(clicks, 1);

        // A double-click is one click and one double-click.
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseDClick(control, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks, 2);
        QCOMPARE(doubleClicks, 1);
    }

    void closeBoxOnAModalWindowCountsAsCancel()
    {
        GuardedForm form;
        QTimer::singleShot(50, &form, [&form] { form.close(); });
        QCOMPARE(form.ShowModal(), int(TForm::mrCancel));
        QCOMPARE(form.closeQueries, 1);
        QCOMPARE(form.closes, 1);
        QVERIFY(!form.isVisible());
    }

    void modalResultClosesThroughTheCloseQuery()
    {
        GuardedForm form;
        form.allowClose = false;
        QTimer::singleShot(30, &form, [&form] { form.SetModalResult(TForm::mrOk); });
        QTimer::singleShot(120, &form, [&form] {
            // The refused attempt left the window open with no result.
            QVERIFY(form.isVisible());
            QCOMPARE(form.ModalResult(), int(TForm::mrNone));
            form.allowClose = true;
            form.SetModalResult(TForm::mrYes);
        });
        QCOMPARE(form.ShowModal(), int(TForm::mrYes));
        QCOMPARE(form.closeQueries, 2);
        QCOMPARE(form.closes, 1);
    }

    void errorWhileDecidingToCloseKeepsTheWindowOpen()
    {
        ErrorRecorder recorder;
        GuardedForm form;
        form.failOnClose = true;
        QTimer::singleShot(30, &form, [&form] { form.SetModalResult(TForm::mrOk); });
        QTimer::singleShot(120, &form, [&form] {
            QVERIFY(form.isVisible());
            form.failOnClose = false;
            form.SetModalResult(TForm::mrCancel);
        });
        QCOMPARE(form.ShowModal(), int(TForm::mrCancel));
        QCOMPARE(recorder.errors, QStringList{"Unable to write to /home/u/.config/BrindlePC.Ini."});
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
