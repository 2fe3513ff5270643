#include "toolkit/RzEdit.h"

#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QWindow>

namespace {

QString NumberedLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("Line %1").arg(i);
    return lines.join(QLatin1Char('\n'));
}

void Wheel(QWidget *target, int steps, Qt::KeyboardModifiers modifiers = {})
{
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, steps * 120), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

// A description box as the toolbox page configures it, with a palette whose colours differ.
struct Stage
{
    explicit Stage(TSides sides)
    {
        window.resize(300, 200);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Base, QColor(0xfe, 0xfd, 0xf0));
        palette.setColor(QPalette::Dark, QColor(0x80, 0x81, 0x82));
        palette.setColor(QPalette::Light, QColor(0xf8, 0xf9, 0xfa));
        palette.setColor(QPalette::ButtonText, QColor(0x11, 0x12, 0x13));
        palette.setColor(QPalette::Midlight, QColor(0xd0, 0xd1, 0xd2));
        window.setPalette(palette);
        edit = new TRzRichEdit(&window);
        edit->setGeometry(20, 20, 150, 46);
        edit->BeginLoad();
        edit->SetReadOnly(true);
        edit->SetFrameVisible(true);
        edit->SetFrameFlat(true);
        edit->SetFrameFlatStyle(fsFlat);
        edit->SetFrameFocusStyle(fsFlat);
        edit->SetFrameSides(sides);
        edit->EndLoad();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    QImage Shot() const { return window.screen()->grabWindow(window.winId()).toImage().copy(20, 20, 150, 46); }

    QWidget window;
    TRzRichEdit *edit = nullptr;
};

// Whether the outermost and the second pixel ring are each in one colour, as given.
void CheckRings(const QImage &shot, const QColor &outer, const QColor &second)
{
    const int w = shot.width();
    const int h = shot.height();
    for (int x = 0; x < w; ++x) {
        QCOMPARE(shot.pixelColor(x, 0), outer);
        QCOMPARE(shot.pixelColor(x, h - 1), outer);
    }
    for (int y = 0; y < h; ++y) {
        QCOMPARE(shot.pixelColor(0, y), outer);
        QCOMPARE(shot.pixelColor(w - 1, y), outer);
    }
    for (int x = 1; x < w - 1; ++x) {
        QCOMPARE(shot.pixelColor(x, 1), second);
        QCOMPARE(shot.pixelColor(x, h - 2), second);
    }
    for (int y = 1; y < h - 1; ++y) {
        QCOMPARE(shot.pixelColor(1, y), second);
        QCOMPARE(shot.pixelColor(w - 2, y), second);
    }
}

const QColor Box(0xfe, 0xfd, 0xf0);
const QColor Shadow(0x80, 0x81, 0x82);

} // namespace

// The framed text box: its two looks, the flat-frame rules, wheel scrolling and read-only text.
class TestRichEdit : public QObject
{
    Q_OBJECT

private slots:
    void allSidesShowAShadowOutlineWhateverFocusOrPointer()
    {
        Stage stage(TSides::All());
        stage.edit->SetText(QStringLiteral("Compresses and unpacks archives."));
        CheckRings(stage.Shot(), Shadow, Box);
        stage.window.activateWindow();
        stage.edit->setFocus();
        QTRY_VERIFY(stage.edit->hasFocus());
        CheckRings(stage.Shot(), Shadow, Box);
        QTest::mouseMove(stage.window.windowHandle(), QPoint(250, 150));
        QTest::mouseMove(stage.window.windowHandle(), QPoint(60, 40));
        QTRY_VERIFY(stage.edit->PointerOver());
        CheckRings(stage.Shot(), Shadow, Box);
    }

    void noSidesShowNoLine()
    {
        Stage stage{TSides()};
        stage.edit->SetText(QStringLiteral("A sample program."));
        CheckRings(stage.Shot(), Box, Box);
        stage.edit->setFocus();
        CheckRings(stage.Shot(), Box, Box);
    }

    void theEdgeLiesOutsideTheTextArea()
    {
        Stage stage{TSides()};
        QCOMPARE(stage.edit->viewport()->geometry(), QRect(2, 2, 146, 42));
        QVERIFY(!stage.edit->verticalScrollBar()->isVisible());
        QVERIFY(!stage.edit->horizontalScrollBar()->isVisible());
    }

    void flatAtRunTimeResetsTheSidesButNotWhileLoading()
    {
        TRzRichEdit edit;
        edit.SetFrameSides(TSides());
        edit.SetFrameStyle(fsGroove);
        edit.SetFrameFlat(true);
        QVERIFY(edit.FrameVisible());
        QCOMPARE(edit.FrameSides(), TSides::All());
        QCOMPARE(edit.FrameStyle(), fsStatus);

        TRzRichEdit loaded;
        loaded.BeginLoad();
        loaded.SetFrameSides(TSides());
        loaded.SetFrameStyle(fsGroove);
        loaded.SetFrameFlat(true);
        loaded.EndLoad();
        QVERIFY(loaded.FrameVisible());
        QCOMPARE(loaded.FrameSides(), TSides());
        QCOMPARE(loaded.FrameStyle(), fsGroove);
    }

    void flatFrameSwitchesStyleWithFocusAndPointer()
    {
        QWidget window;
        window.resize(300, 200);
        auto *edit = new TRzRichEdit(&window);
        edit->setGeometry(20, 20, 150, 46);
        edit->SetFrameFlat(true);
        auto *other = new TRzRichEdit(&window);
        other->setGeometry(20, 100, 150, 46);
        int enters = 0, leaves = 0;
        edit->OnMouseEnter = [&](QObject *) { ++enters; };
        edit->OnMouseLeave = [&](QObject *) { ++leaves; };
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        other->setFocus();
        QTRY_COMPARE(edit->FrameStyle(), fsStatus);
        edit->setFocus();
        QTRY_COMPARE(edit->FrameStyle(), fsLowered);
        other->setFocus();
        QTRY_COMPARE(edit->FrameStyle(), fsStatus);
        QTest::mouseMove(window.windowHandle(), QPoint(250, 10));
        QTest::mouseMove(window.windowHandle(), QPoint(60, 40));
        QTRY_COMPARE(enters, 1);
        QCOMPARE(edit->FrameStyle(), fsLowered);
        QTest::mouseMove(window.windowHandle(), QPoint(250, 10));
        QTRY_COMPARE(leaves, 1);
        QCOMPARE(edit->FrameStyle(), fsStatus);
    }

    void wheelScrollsByLines()
    {
        QApplication::setWheelScrollLines(3);
        Stage stage(TSides::All());
        stage.edit->SetText(NumberedLines(30));
        QCOMPARE(stage.edit->TopLine(), 0);
        QWidget *viewport = stage.edit->viewport();
        Wheel(viewport, -1);
        QCOMPARE(stage.edit->TopLine(), 1);
        Wheel(viewport, -1, Qt::ControlModifier);
        QCOMPARE(stage.edit->TopLine(), 4);
        Wheel(viewport, 1);
        QCOMPARE(stage.edit->TopLine(), 3);
        Wheel(viewport, 1, Qt::ControlModifier);
        QCOMPARE(stage.edit->TopLine(), 0);
        Wheel(viewport, 1, Qt::ControlModifier);
        QCOMPARE(stage.edit->TopLine(), 0);
        // The view moves by whole lines: the top line starts at the top of the text area.
        Wheel(viewport, -2);
        QCOMPARE(stage.edit->TopLine(), 2);
        QCOMPARE(stage.edit->cursorForPosition(QPoint(5, 2)).block().text(), QStringLiteral("Line 3"));
    }

    void wheelStopsAtTheEnd()
    {
        Stage stage(TSides::All());
        stage.edit->SetText(NumberedLines(6));
        for (int i = 0; i < 10; ++i)
            Wheel(stage.edit->viewport(), -1, Qt::ControlModifier);
        QCOMPARE(stage.edit->verticalScrollBar()->value(), stage.edit->verticalScrollBar()->maximum());
        QVERIFY(stage.edit->TopLine() < 6);
    }

    void readOnlyTextCanBeSelectedButNotTyped()
    {
        Stage stage(TSides::All());
        const QString text = QStringLiteral("{\\rtf1 Shown as it is}");
        stage.edit->SetText(text);
        QCOMPARE(stage.edit->Text(), text);
        stage.window.activateWindow();
        stage.edit->setFocus();
        QTRY_VERIFY(stage.edit->hasFocus());
        QTest::keyClicks(stage.edit, QStringLiteral("typed"));
        QTest::keyClick(stage.edit, Qt::Key_Backspace);
        QCOMPARE(stage.edit->Text(), text);
        QTest::keyClick(stage.edit, Qt::Key_End, Qt::ShiftModifier);
        QVERIFY(stage.edit->textCursor().hasSelection());
    }

    void tabOnEnterMovesTheFocusOn()
    {
        QWidget window;
        auto *first = new TRzRichEdit(&window);
        auto *second = new TRzRichEdit(&window);
        second->move(0, 60);
        first->SetTabOnEnter(true);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        first->setFocus();
        QTRY_VERIFY(first->hasFocus());
        QTest::keyClick(first, Qt::Key_Return);
        QTRY_VERIFY(second->hasFocus());
        QVERIFY(first->Text().isEmpty());
    }
};

QTEST_MAIN(TestRichEdit)
#include "tst_richedit.moc"
