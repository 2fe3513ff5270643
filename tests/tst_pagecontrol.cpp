#include "toolkit/lxPageControl1.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {

// Counts show and hide events of the pages.
class VisibilityLog : public QObject
{
public:
    int changes = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            ++changes;
        return false;
    }
};

void Paint(QWidget *page, const QColor &colour)
{
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, colour);
    page->setPalette(palette);
}

// A window with a 486x251 page control at (35, 97) holding four coloured pages.
struct Stage
{
    Stage()
    {
        window.resize(640, 480);
        control = new TlxPageControl1(&window);
        control->setGeometry(35, 97, 486, 251);
        const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
        const char *names[] = {"tabMain", "tabSampleware", "tabIndex", "tabToolBox"};
        for (int i = 0; i < 4; ++i)
            Paint(control->AddPage(QString::fromLatin1(names[i])), colours[i]);
        control->SetActivePageIndex(1);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    QColor Shown(int x, int y) const
    {
        return window.screen()->grabWindow(window.winId()).toImage().pixelColor(35 + x, 97 + y);
    }

    QWidget window;
    TlxPageControl1 *control = nullptr;
};

} // namespace

// The tabless page control: pages fill it edge to edge, and switching follows the program only.
class TestPageControl : public QObject
{
    Q_OBJECT

private slots:
    void pagesFillTheWholeControl()
    {
        Stage stage;
        QWidget *page = stage.control->ActivePage();
        QCOMPARE(page->objectName(), QStringLiteral("tabSampleware"));
        QCOMPARE(page->geometry(), QRect(0, 0, 486, 251));
        QTRY_COMPARE(stage.Shown(0, 0), QColor(Qt::green));
        QCOMPARE(stage.Shown(485, 250), QColor(Qt::green));
        stage.control->resize(300, 200);
        QCOMPARE(page->geometry(), QRect(0, 0, 300, 200));
        QCOMPARE(stage.control->Pages(3)->geometry(), QRect(0, 0, 300, 200));
    }

    void switchingShowsOnePage()
    {
        Stage stage;
        stage.control->SetActivePage(stage.control->Pages(2));
        QCOMPARE(stage.control->ActivePageIndex(), 2);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(stage.control->Pages(i)->isVisible(), i == 2);
        QTRY_COMPARE(stage.Shown(10, 10), QColor(Qt::blue));
        QCOMPARE(stage.control->Pages(2)->geometry(), QRect(0, 0, 486, 251));
    }

    void activatingTheActivePageChangesNothing()
    {
        Stage stage;
        VisibilityLog log;
        for (int i = 0; i < 4; ++i)
            stage.control->Pages(i)->installEventFilter(&log);
        stage.control->SetActivePageIndex(1);
        stage.control->SetActivePage(stage.control->Pages(1));
        QCOMPARE(log.changes, 0);
        QCOMPARE(stage.control->ActivePageIndex(), 1);
    }

    void indexOutsideTheRangeShowsNoPage_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("minus one") << -1;
        QTest::newRow("count") << 4;
        QTest::newRow("far") << 99;
    }

    void indexOutsideTheRangeShowsNoPage()
    {
        QFETCH(int, index);
        Stage stage;
        stage.control->SetActivePageIndex(index);
        QCOMPARE(stage.control->ActivePage(), nullptr);
        QCOMPARE(stage.control->ActivePageIndex(), -1);
        for (int i = 0; i < 4; ++i)
            QVERIFY(!stage.control->Pages(i)->isVisible());
        stage.control->SetActivePageIndex(0);
        QVERIFY(stage.control->Pages(0)->isVisible());
    }

    void aDestroyedPageLeavesTheControl()
    {
        Stage stage;
        QWidget *last = stage.control->Pages(3);
        delete stage.control->ActivePage();
        stage.control->resize(300, 200);
        QCOMPARE(stage.control->PageCount(), 3);
        QCOMPARE(stage.control->ActivePage(), nullptr);
        QCOMPARE(stage.control->IndexOfPage(last), 2);
    }

    void aPageOfAnotherControlIsRefused()
    {
        Stage stage;
        TlxPageControl1 other;
        QWidget *foreign = other.AddPage(QStringLiteral("elsewhere"));
        stage.control->SetActivePage(foreign);
        QCOMPARE(stage.control->ActivePageIndex(), 1);
    }

    void focusFollowsIntoTheNewPage()
    {
        Stage stage;
        auto *edit = new QLineEdit(stage.control->Pages(1));
        auto *passive = new QWidget(stage.control->Pages(2));
        auto *button = new QPushButton(QStringLiteral("Go"), stage.control->Pages(2));
        button->setFocusPolicy(Qt::StrongFocus);
        passive->setFocusPolicy(Qt::NoFocus);
        edit->show();
        button->show();
        stage.window.activateWindow();
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        stage.control->SetActivePageIndex(2);
        QTRY_VERIFY(button->hasFocus());
    }

    void focusOutsideTheOldPageStays()
    {
        Stage stage;
        auto *outside = new QLineEdit(&stage.window);
        outside->move(0, 0);
        outside->show();
        auto *button = new QPushButton(QStringLiteral("Go"), stage.control->Pages(2));
        button->show();
        stage.window.activateWindow();
        outside->setFocus();
        QTRY_VERIFY(outside->hasFocus());
        stage.control->SetActivePageIndex(2);
        QCoreApplication::processEvents();
        QVERIFY(outside->hasFocus());
    }
};

QTEST_MAIN(TestPageControl)
#include "tst_pagecontrol.moc"
