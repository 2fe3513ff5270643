#include "TestSupport.h"

#include "platform/Beep.h"
#include "toolkit/RzLstBox.h"
#include "toolkit/Timer.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

namespace {

const QStringList Templates{QStringLiteral("Budget.xls"), QStringLiteral("Letter.doc"),  QStringLiteral("pamphlet.dot"),
                            QStringLiteral("PARTY.wks"),  QStringLiteral("Recipes.mdb"), QStringLiteral("Sales.xls"),
                            QStringLiteral("summary.doc")};

// Counts beeps while it lives.
class BeepCounter
{
public:
    BeepCounter()
    {
        previous_ = Beep::SetPlayer([this] { ++count; });
    }
    ~BeepCounter() { Beep::SetPlayer(previous_); }
    int count = 0;

private:
    Beep::Player previous_;
};

// The template list as the extra-files page configures it, in a shown window.
struct Stage
{
    explicit Stage(const QStringList &items = Templates)
    {
        window.resize(300, 200);
        list = new TRzListBox(&window);
        list->setGeometry(20, 20, 205, 133);
        list->BeginLoad();
        list->SetFrameFlat(true);
        list->SetFrameSides(TSides());
        list->SetFrameStyle(fsStatus);
        list->SetFrameVisible(true);
        list->SetItemHeight(28);
        list->SetStyle(lbOwnerDrawFixed);
        list->EndLoad();
        for (const QString &item : items)
            list->AddItem(item);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        list->setFocus();
        QTRY_VERIFY(list->hasFocus());
    }

    void Type(const QString &text) { QTest::keyClicks(list, text); }

    void WheelSteps(int steps)
    {
        QWidget *target = list->viewport();
        const QPointF at(20, 20);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, steps * 120), Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }

    void ExpireSearch() { list->SearchTimer().OnTimer(&list->SearchTimer()); }

    QWidget window;
    TRzListBox *list = nullptr;
};

} // namespace

// The template list: type-ahead search, selection keys, wheel, scroll bars, owner drawing and clicks.
class TestListBox : public QObject
{
    Q_OBJECT

private slots:
    void typingSearchesByPrefixWithoutRegardToCase()
    {
        BeepCounter beeps;
        Stage stage;
        int matches = 0;
        stage.list->OnMatch = [&](QObject *) { ++matches; };
        stage.Type(QStringLiteral("p"));
        QCOMPARE(stage.list->ItemIndex(), 2);
        stage.Type(QStringLiteral("A"));
        QCOMPARE(stage.list->ItemIndex(), 2);
        QCOMPARE(stage.list->SearchText(), QStringLiteral("pA"));
        stage.Type(QStringLiteral("r"));
        QCOMPARE(stage.list->ItemIndex(), 3);
        QCOMPARE(matches, 3);
        QCOMPARE(beeps.count, 0);
        // No item begins with "parq": a beep, and selection and search text stay.
        stage.Type(QStringLiteral("q"));
        QCOMPARE(beeps.count, 1);
        QCOMPARE(stage.list->ItemIndex(), 3);
        QCOMPARE(stage.list->SearchText(), QStringLiteral("pAr"));
        QCOMPARE(matches, 3);
    }

    void searchTextExpiresWithTheTimer()
    {
        BeepCounter beeps;
        Stage stage;
        stage.Type(QStringLiteral("pa"));
        TTimer &timer = stage.list->SearchTimer();
        QVERIFY(timer.Enabled());
        QCOMPARE(timer.Interval(), 1500);
        stage.ExpireSearch();
        QVERIFY(stage.list->SearchText().isEmpty());
        QVERIFY(!timer.Enabled());
        stage.Type(QStringLiteral("s"));
        QCOMPARE(stage.list->ItemIndex(), 5);
        QCOMPARE(stage.list->SearchText(), QStringLiteral("s"));
        QCOMPARE(beeps.count, 0);
    }

    void typingRestartsTheTimer()
    {
        Stage stage;
        TTimer &timer = stage.list->SearchTimer();
        timer.SetInterval(40);
        stage.Type(QStringLiteral("s"));
        QVERIFY(timer.Enabled());
        QTRY_VERIFY(stage.list->SearchText().isEmpty());
        QVERIFY(!timer.Enabled());
        QCOMPARE(stage.list->ItemIndex(), 5);
    }

    void escapeSelectsNothing()
    {
        Stage stage;
        stage.Type(QStringLiteral("le"));
        QCOMPARE(stage.list->ItemIndex(), 1);
        QTest::keyClick(stage.list, Qt::Key_Escape);
        QCOMPARE(stage.list->ItemIndex(), -1);
        QVERIFY(stage.list->SearchText().isEmpty());
    }

    void backspaceRules()
    {
        BeepCounter beeps;
        Stage stage;
        stage.list->SetItemIndex(4);
        QTest::keyClick(stage.list, Qt::Key_Backspace);
        QCOMPARE(beeps.count, 1);
        stage.ExpireSearch();
        stage.Type(QStringLiteral("su"));
        QCOMPARE(stage.list->ItemIndex(), 6);
        QTest::keyClick(stage.list, Qt::Key_Backspace);
        QCOMPARE(stage.list->SearchText(), QStringLiteral("s"));
        QCOMPARE(stage.list->ItemIndex(), 5);
        QTest::keyClick(stage.list, Qt::Key_Backspace);
        QVERIFY(stage.list->SearchText().isEmpty());
        QCOMPARE(stage.list->ItemIndex(), 0);
        QCOMPARE(beeps.count, 1);
    }

    void silentWhenBeepingIsOff()
    {
        BeepCounter beeps;
        Stage stage;
        stage.list->SetBeepOnInvalidKey(false);
        stage.Type(QStringLiteral("zz"));
        QTest::keyClick(stage.list, Qt::Key_Backspace);
        QTest::keyClick(stage.list, Qt::Key_Backspace);
        QCOMPARE(beeps.count, 0);
    }

    void navigationKeysAndClicksClearTheSearchText()
    {
        Stage stage;
        stage.Type(QStringLiteral("pa"));
        QTest::keyClick(stage.list, Qt::Key_Down);
        QVERIFY(stage.list->SearchText().isEmpty());
        QCOMPARE(stage.list->ItemIndex(), 3);
        stage.Type(QStringLiteral("re"));
        QCOMPARE(stage.list->ItemIndex(), 4);
        const int top = stage.list->TopIndex();
        QTest::mouseClick(stage.list->viewport(), Qt::LeftButton, {}, QPoint(30, 10));
        QVERIFY(stage.list->SearchText().isEmpty());
        QCOMPARE(stage.list->ItemIndex(), top);
        stage.Type(QStringLiteral("s"));
        QCOMPARE(stage.list->ItemIndex(), 5);
    }

    void verticalScrollBarOnlyWhenItemsOverflow()
    {
        Stage few{QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}};
        QVERIFY(!few.list->verticalScrollBar()->isVisible());
        QVERIFY(!few.list->horizontalScrollBar()->isVisible());
        Stage many;
        QTRY_VERIFY(many.list->verticalScrollBar()->isVisible());
        QVERIFY(!many.list->horizontalScrollBar()->isVisible());
    }

    void wheelScrollsByScrollLinesAndUpStopsAtTheFirstItem()
    {
        QApplication::setWheelScrollLines(3);
        QStringList items;
        for (int i = 0; i < 12; ++i)
            items << QStringLiteral("Item %1").arg(i);
        Stage stage{items};
        QCOMPARE(stage.list->TopIndex(), 0);
        stage.WheelSteps(-1);
        QCOMPARE(stage.list->TopIndex(), 3);
        stage.WheelSteps(-1);
        QCOMPARE(stage.list->TopIndex(), 6);
        stage.WheelSteps(-1);
        const int last = stage.list->verticalScrollBar()->maximum();
        QCOMPARE(stage.list->TopIndex(), std::min(9, last));
        stage.list->SetTopIndex(2);
        stage.WheelSteps(1);
        QCOMPARE(stage.list->TopIndex(), 0);
        stage.list->SetTopIndex(5);
        stage.WheelSteps(1);
        QCOMPARE(stage.list->TopIndex(), 2);
    }

    void ownerDrawingGetsPreparedCanvasAndRects()
    {
        Stage stage;
        struct Call
        {
            int index;
            TRect rect;
            TOwnerDrawState state;
            QColor brush;
            QColor pen;
        };
        QList<Call> calls;
        stage.list->OnDrawItem = [&](QWidget *control, int index, const TRect &rect, TOwnerDrawState state) {
            QCOMPARE(control, stage.list);
            QPainter &canvas = stage.list->Canvas();
            calls.append({index, rect, state, canvas.brush().color(), canvas.pen().color()});
            canvas.fillRect(rect.ToQRect(), canvas.brush());
        };
        stage.list->SetItemIndex(1);
        calls.clear();
        const QImage shot = stage.list->viewport()->grab().toImage();
        const int width = stage.list->viewport()->width();
        const QPalette &palette = stage.list->palette();
        bool sawSelected = false;
        for (const Call &call : calls) {
            QCOMPARE(call.rect, (TRect{0, call.index * 28, width, call.index * 28 + 28}));
            if (call.index == 1) {
                sawSelected = true;
                QVERIFY(call.state.testFlag(odSelected));
                QVERIFY(call.state.testFlag(odFocused));
                QCOMPARE(call.brush, palette.color(QPalette::Highlight));
                QCOMPARE(call.pen, palette.color(QPalette::HighlightedText));
            } else {
                QVERIFY(!call.state.testFlag(odSelected));
                QCOMPARE(call.brush, stage.list->Color());
                QCOMPARE(call.pen, palette.color(QPalette::Text));
            }
        }
        QVERIFY(sawSelected);
        // The focus rectangle is drawn after the handler, on the outline of the focused item.
        const QColor highlight = palette.color(QPalette::Highlight);
        QVERIFY(shot.pixelColor(0, 28) != highlight);
        QCOMPARE(shot.pixelColor(1, 28), highlight);
        QCOMPARE(shot.pixelColor(5, 40), highlight);
        QCOMPARE(shot.pixelColor(0, 0), stage.list->Color());
    }

    void itemsOwnTheirPictures()
    {
        TRzListBox list;
        QImage icon = SolidImage(32, 32, Qt::red);
        list.AddItem(QStringLiteral("Letter.doc"), icon);
        list.AddItem(QStringLiteral("NoIcon.txt"));
        icon.fill(Qt::blue);
        QCOMPARE(list.Count(), 2);
        QCOMPARE(list.ItemPicture(0).pixelColor(5, 5), QColor(Qt::red));
        QVERIFY(list.ItemPicture(1).isNull());
        QCOMPARE(list.ItemText(0), QStringLiteral("Letter.doc"));
        list.Clear();
        QCOMPARE(list.Count(), 0);
        QVERIFY(list.ItemPicture(0).isNull());
        QCOMPARE(list.ItemIndex(), -1);
    }

    void doubleClickGivesOneClickAndOneDoubleClick()
    {
        Stage stage;
        int clicks = 0, doubles = 0, selectedAtDouble = -2;
        stage.list->OnClick = [&](QObject *) { ++clicks; };
        stage.list->OnDblClick = [&](QObject *) {
            ++doubles;
            selectedAtDouble = stage.list->ItemIndex();
        };
        QWindow *window = stage.window.windowHandle();
        const QPoint onSecondItem(20 + 2 + 30, 20 + 2 + 28 + 10);
        QTest::mouseDClick(window, Qt::LeftButton, {}, onSecondItem);
        QTRY_COMPARE(doubles, 1);
        QCOMPARE(clicks, 1);
        QCOMPARE(selectedAtDouble, 1);
    }

    void framedLookHasNoLine()
    {
        Stage stage;
        const QImage shot = stage.window.screen()->grabWindow(stage.window.winId()).toImage().copy(20, 20, 205, 133);
        const QColor box = stage.list->Color();
        for (int x = 0; x < 205; ++x) {
            QCOMPARE(shot.pixelColor(x, 0), box);
            QCOMPARE(shot.pixelColor(x, 1), box);
        }
        for (int y = 0; y < 133; ++y)
            QCOMPARE(shot.pixelColor(0, y), box);
    }
};

QTEST_MAIN(TestListBox)
#include "tst_listbox.moc"
