#include "TestSupport.h"

#include "app/CredFrm.h"
#include "platform/Fonts.h"
#include "toolkit/Image.h"
#include "toolkit/Panel.h"
#include "toolkit/ScrollU.h"
#include "toolkit/Timer.h"

#include <QFontInfo>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// A created credits window, as start-up makes it.
std::unique_ptr<TfrmCredits> MakeCredits()
{
    auto form = std::make_unique<TfrmCredits>();
    form->Create();
    return form;
}

TMarquee &MarqueeOf(TfrmCredits &form)
{
    auto *marquee = form.findChild<TMarquee *>();
    Q_ASSERT(marquee);
    return *marquee;
}

void Tick(const TMarquee &marquee)
{
    marquee.Timer().OnTimer(nullptr);
}

// The smallest rectangle holding every pixel of area that is not white; null when there is none.
QRect InkBounds(const QImage &image, const QRect &area)
{
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// True when nothing but white shows inside the box's text area.
bool BoxIsBlank(TMarquee &marquee)
{
    return InkBounds(marquee.grab().toImage(), marquee.ViewRect().ToQRect()).isNull();
}

void Show(TfrmCredits &form)
{
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
}

} // namespace

// The credits window: its layout, the scrolling box it builds, and closing by a click anywhere.
class TestCredits : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Fonts::Install(); }

    void windowLayout()
    {
        const auto form = MakeCredits();
        QCOMPARE(form->windowTitle(), QStringLiteral("Brindlemoor"));
        QCOMPARE(form->minimumSize(), QSize(462, 439));
        QCOMPARE(form->maximumSize(), QSize(462, 439));
        QCOMPARE(form->imgCredits->Picture().size(), QSize(462, 439));

        TMarquee &marquee = MarqueeOf(*form);
        QCOMPARE(marquee.Color(), QColor(Qt::white));
        QCOMPARE(marquee.Timer().Interval(), 25);
        QVERIFY(!marquee.Running());

        // The face maps to its metric twin at the original's 11 pixels; the text colour is the
        // window text colour the panel passed on.
        const QFontInfo face(marquee.font());
        QCOMPARE(face.family(), QStringLiteral("Liberation Serif"));
        QCOMPARE(face.pixelSize(), 11);
        QVERIFY(!face.bold());
        QVERIFY(!face.italic());
        QCOMPARE(marquee.palette().color(QPalette::WindowText), form->palette().color(QPalette::WindowText));

        // The lines stay Windows-1252 bytes: the copyright sign is the single byte 0xA9.
        QCOMPARE(marquee.Items().size(), 23);
        QCOMPARE(marquee.Items().at(13), QByteArray("Built with Qt 6, \xA9 The Qt Company Ltd. and others,"));
        QCOMPARE(marquee.Items().at(12), QByteArray(" "));
        QCOMPARE(marquee.Items().at(16), QByteArray(" "));
    }

    void showingStartsTheBoxAtTheTextArea()
    {
        const auto form = MakeCredits();
        Show(*form);
        TMarquee &marquee = MarqueeOf(*form);
        QVERIFY(marquee.isVisible());
        QVERIFY(marquee.Running());
        QVERIFY(marquee.Timer().IsTicking());
        QCOMPARE(marquee.ViewRect(), (TRect{3, 3, 291, 112}));
        QCOMPARE(marquee.BufferRect().Bottom, 23 * marquee.LineHeight() + 236);
        QVERIFY(BoxIsBlank(marquee));

        // Every line lies between x = 3 and x = 291.
        const QImage &buffer = marquee.Buffer();
        const QRect ink = InkBounds(buffer, buffer.rect());
        QVERIFY(ink.left() >= 3);
        QVERIFY(ink.right() <= 290);
    }

    void boxIsBlankForElevenTicksBetweenPasses()
    {
        const auto form = MakeCredits();
        Show(*form);
        TMarquee &marquee = MarqueeOf(*form);
        const int lineHeight = marquee.LineHeight();
        const int passEnd = 118 + 23 * lineHeight;
        // Ink starts a little below the first line's cell top and ends a little above the last
        // line's cell bottom; the box is blank for 11 ticks by cells, and that much longer by ink.
        const QRect ink = InkBounds(marquee.Buffer(), marquee.Buffer().rect());
        const int firstInk = ink.top();
        const int lastInk = ink.bottom();
        const int gapAbove = firstInk - 118;
        const int gapBelow = (passEnd - 1) - lastInk;
        QVERIFY(gapAbove >= 0 && gapAbove < lineHeight);
        QVERIFY(gapBelow >= 0 && gapBelow < lineHeight);

        int ticks = 0;
        while (marquee.ScrollOffset() < passEnd - 130) {
            Tick(marquee);
            ++ticks;
        }
        QVERIFY(!BoxIsBlank(marquee));
        int blankRun = 0;
        bool restarted = false;
        for (;;) {
            Tick(marquee);
            restarted = restarted || marquee.ScrollOffset() == 0;
            if (!BoxIsBlank(marquee)) {
                if (restarted)
                    break;
                blankRun = 0;
                continue;
            }
            ++blankRun;
            QVERIFY(blankRun < 100);
        }
        QVERIFY(restarted);
        QCOMPARE(blankRun, 11 + gapAbove + gapBelow);
    }

    void clickOnTheBoxClosesAndTheTextGoesOn()
    {
        const auto form = MakeCredits();
        Show(*form);
        TMarquee &marquee = MarqueeOf(*form);
        for (int i = 0; i < 50; ++i)
            Tick(marquee);
        QTest::mouseClick(&marquee, Qt::LeftButton, {}, QPoint(150, 60));
        QTRY_VERIFY(!form->isVisible());
        QVERIFY(marquee.Running());

        // Hidden, the text moves on with the timer; showing again continues from there.
        const int atClose = marquee.ScrollOffset();
        QVERIFY(atClose >= 50);
        QTRY_VERIFY(marquee.ScrollOffset() > atClose);
        const int atReopen = marquee.ScrollOffset();
        Show(*form);
        QVERIFY(marquee.ScrollOffset() >= atReopen);
        QVERIFY(marquee.Running());
    }

    void clickAnywhereClosesTheModalWindow_data()
    {
        QTest::addColumn<QString>("target"); // what lies under the pointer
        QTest::addColumn<QPoint>("where");   // in the window
        QTest::newRow("scrolling box") << "Marquee" << QPoint(155 + 150, 314 + 60);
        QTest::newRow("artwork") << "imgCredits" << QPoint(40, 40);
        QTest::newRow("artwork beside the box") << "imgCredits" << QPoint(154, 314 + 60);
        QTest::newRow("box border, left") << "pnlCredits" << QPoint(155, 314 + 60);
        QTest::newRow("box border, bottom right") << "pnlCredits" << QPoint(155 + 298, 314 + 119);
    }

    void clickAnywhereClosesTheModalWindow()
    {
        QFETCH(QString, target);
        QFETCH(QPoint, where);
        const auto form = MakeCredits();
        bool clicked = false;
        QTimer::singleShot(0, form.get(), [&] {
            // A failed check must not leave the modal window waiting for a person.
            const auto closeAnyway = qScopeGuard([&] {
                if (form->isVisible())
                    form->close();
            });
            QVERIFY(QTest::qWaitForWindowExposed(form.get()));
            // Shown at the centre of the screen, title bar and borders included.
            QCOMPARE(form->frameGeometry().center(), form->screen()->availableGeometry().center());
            const QWidget *under = form->childAt(where);
            QCOMPARE(under ? under->objectName() : QString(), target);
            // Through the window, so that whatever lies at the place takes the click.
            QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, where);
            clicked = !form->isVisible();
        });
        const int result = form->ShowModal();
        QVERIFY(clicked);
        QCOMPARE(result, int(TForm::mrCancel));
        QVERIFY(!form->isVisible());
        QVERIFY(MarqueeOf(*form).Running());
    }

    void destroyingTheWindowFreesTheRunningBox()
    {
        auto form = MakeCredits();
        Show(*form);
        QPointer<TMarquee> marquee = &MarqueeOf(*form);
        int done = 0;
        marquee->OnDone = [&done](QObject *) { ++done; };
        form.reset();
        QVERIFY(marquee.isNull());
        QCOMPARE(done, 1);
    }
};

QTEST_MAIN(TestCredits)
#include "tst_credits.moc"
