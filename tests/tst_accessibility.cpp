// What a screen reader and the keyboard find in the menu: every hot spot and animated button is a
// named button that can be pressed, the disc label reads as text, and none of them takes the
// keyboard focus, which goes round the page's text boxes and lists.

#include "TestSupport.h"

#include "app/Application.h"
#include "app/CredFrm.h"
#include "app/LaunchF.h"
#include "app/MainF.h"
#include "toolkit/Control.h"
#include "toolkit/Image.h"
#include "toolkit/RzLabel.h"
#include "toolkit/RzLstBox.h"
#include "toolkit/ScrollU.h"
#include "toolkit/lxAnimator.h"
#include "toolkit/lxPageControl1.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QTest>

#include <memory>

namespace {

QAccessibleInterface *accessible(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

QString nameOf(QObject *object)
{
    return accessible(object)->text(QAccessible::Name);
}

void press(QObject *object)
{
    QAccessibleActionInterface *actions = accessible(object)->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); // the click that follows the answer
}

// The menu on a disc that holds every file its buttons open.
class Menu : public MenuWindows
{
public:
    Menu()
    {
        disc.WriteStartFiles();
        for (int tool = 1; tool <= 4; ++tool)
            disc.Write(QStringLiteral("Files/ToolBox/Tool%1/Setup.exe").arg(tool), "MZ");
        disc.Write(QStringLiteral("Files/Sample/Setup.exe"), "MZ");
        disc.Write(QStringLiteral("Files/Web Files/Order.html"), "<html/>");
        disc.Write(QStringLiteral("Files/Web Files/Help.html"), "<html/>");
        disc.Activate(QStringLiteral("CD07"));
        QVERIFY(Open());
        QCOMPARE(errors.errors, QStringList());
    }

    template <class T = QWidget> T *Find(const char *name) const { return form->findChild<T *>(QLatin1String(name)); }

    QString PageName() const { return Find<TlxPageControl1>("pgcBrindle")->ActivePage()->objectName(); }

    ErrorRecorder errors;
    TempDisc disc;
};

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void namedButtons_data();
    void namedButtons();
    void everyClickableControlIsANamedButton();
    void otherControls();
    void pressingButtons();
    void pressActsOnlyWhereAClickCould();
    void creditsReadWhole();
    void tabOrderOfEachPage_data();
    void tabOrderOfEachPage();
    void captionsReadWithoutAccelerators_data();
    void captionsReadWithoutAccelerators();
};

void TestAccessibility::namedButtons_data()
{
    QTest::addColumn<QString>("component");
    QTest::addColumn<QString>("name");
    const char *const rows[][2] = {
        {"lblOverQuit", "Quit"},
        {"lblOverLogo", "Credits"},
        {"anmMainSampleware", "Sampleware"},
        {"lblOverSampleTab", "Sampleware"},
        {"anmMainOrder", "Order form"},
        {"lblOverSoftwareTab", "Order form"},
        {"anmMainTemplate", "Extra files"},
        {"lblOverExtraTab", "Extra files"},
        {"anmMainToolbox", "Toolbox"},
        {"lblOverToolboxTab", "Toolbox"},
        {"lblSamplewareBack", "Main Menu"},
        {"lblExtraBack", "Main Menu"},
        {"lblToolboxBack", "Main Menu"},
        {"lblOverInstall", "Install the sample program"},
        {"lblExtraFileHelp", "Help on extra files"},
        {"lblOverWinZip", "Install WinZip"},
        {"lblOverFlash", "Install Flash"},
        {"lblOverAcrobat", "Install Acrobat"},
        {"lblOverReal", "Install Real"},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
}

void TestAccessibility::namedButtons()
{
    QFETCH(QString, component);
    QFETCH(QString, name);
    Menu menu;
    QWidget *control = menu.Find(component.toLatin1());
    QVERIFY(control);
    QAccessibleInterface *iface = accessible(control);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::Button);
    QCOMPARE(iface->text(QAccessible::Name), name);
    // Naming changes nothing a sighted user meets: no focus, the hand cursor, no caption drawn.
    QCOMPARE(control->focusPolicy(), Qt::NoFocus);
    QVERIFY(!iface->state().focusable);
    QCOMPARE(control->cursor().shape(), Qt::PointingHandCursor);
    if (auto *label = qobject_cast<TRzLabel *>(control))
        QCOMPARE(label->Caption(), QString());
}

void TestAccessibility::everyClickableControlIsANamedButton()
{
    Menu menu;
    int buttons = 0;
    for (TControl *control : menu.form->findChildren<TControl *>()) {
        if (!control->OnClick)
            continue;
        ++buttons;
        QAccessibleInterface *iface = accessible(control);
        QVERIFY2(iface->role() == QAccessible::Button, qPrintable(control->objectName()));
        QVERIFY2(!iface->text(QAccessible::Name).isEmpty(), qPrintable(control->objectName()));
    }
    QCOMPARE(buttons, 19);
}

void TestAccessibility::otherControls()
{
    Menu menu;
    QAccessibleInterface *label = accessible(menu.Find("lblCdRodNumber"));
    QCOMPARE(label->role(), QAccessible::StaticText);
    QCOMPARE(label->text(QAccessible::Name), QStringLiteral("CD-Rom 7"));
    QVERIFY(label->actionInterface() == nullptr || label->actionInterface()->actionNames().isEmpty());

    for (const char *picture : {"imgMainBack", "imgMainScreen", "imgQuit", "imgSample"}) {
        QAccessibleInterface *iface = accessible(menu.Find(picture));
        QVERIFY2(iface->role() == QAccessible::Graphic, picture);
        QVERIFY2(!iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()), picture);
    }
    // Hidden lit pictures are reported invisible; the buttons of the page on show are not.
    QVERIFY(accessible(menu.Find("imgQuit"))->state().invisible);
    QVERIFY(!accessible(menu.Find("lblOverQuit"))->state().invisible);
}

void TestAccessibility::pressingButtons()
{
    FakeOpener opener;
    Menu menu;
    QCOMPARE(menu.PageName(), QStringLiteral("tabMain"));

    press(menu.Find("anmMainToolbox"));
    QCOMPARE(menu.PageName(), QStringLiteral("tabToolBox"));
    press(menu.Find("lblOverFlash"));
    auto calls = opener.Calls(1);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.last().arguments, QStringList({menu.disc.Root() + QStringLiteral("Files/ToolBox/Tool2/Setup.exe")}));
    press(menu.Find("lblToolboxBack"));
    QCOMPARE(menu.PageName(), QStringLiteral("tabMain"));

    press(menu.Find("anmMainOrder"));
    calls = opener.Calls(2);
    QCOMPARE(calls.size(), 2);
    QCOMPARE(calls.last().arguments, QStringList({menu.disc.Root() + QStringLiteral("Files/Web Files/Order.html")}));
    QCOMPARE(menu.PageName(), QStringLiteral("tabMain"));

    press(menu.Find("lblOverQuit"));
    QVERIFY(!menu.form->isVisible());
    QCOMPARE(menu.errors.errors, QStringList());
}

// Hidden or disabled controls and windows behind a modal window ignore a press, as they ignore the mouse.
void TestAccessibility::pressActsOnlyWhereAClickCould()
{
    Menu menu;
    menu.disc.Write(QStringLiteral("Files/Templates/Letter.doc"), "x");
    press(menu.Find("anmMainTemplate"));
    press(menu.Find("anmMainTemplate")); // now on the hidden main page
    QCOMPARE(menu.Find<TRzListBox>("lbxTemplate")->Count(), 1);
    QWidget *back = menu.Find("lblExtraBack");
    back->setEnabled(false);
    press(back);
    back->setEnabled(true);
    QWidget modal;
    modal.setWindowModality(Qt::ApplicationModal);
    modal.show();
    press(back);
    QCOMPARE(menu.PageName(), QStringLiteral("tabIndex"));
    modal.hide();
    press(back);
    QCOMPARE(menu.PageName(), QStringLiteral("tabMain"));
}

// The scrolling box offers the credits whole, and every part that a click closes the window on
// says so and can be pressed.
void TestAccessibility::creditsReadWhole()
{
    TfrmCredits credits;
    credits.Create();
    credits.show();
    QVERIFY(QTest::qWaitForWindowExposed(&credits));

    auto *marquee = credits.findChild<TMarquee *>();
    QVERIFY(marquee);
    QAccessibleInterface *box = accessible(marquee);
    QCOMPARE(box->text(QAccessible::Name), QStringLiteral("Credits"));
    const QStringList lines = box->text(QAccessible::Description).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 21); // the two single-space lines are not read out
    QVERIFY(lines.contains(QStringLiteral("Built with Qt 6, \u00A9 The Qt Company Ltd. and others,")));
    for (const QString &line : lines)
        QVERIFY2(!line.trimmed().isEmpty() && line == line.trimmed(), qPrintable(line));

    for (QObject *part : {static_cast<QObject *>(credits.imgCredits), static_cast<QObject *>(credits.pnlCredits)}) {
        QCOMPARE(accessible(part)->role(), QAccessible::Button);
        QCOMPARE(nameOf(part), QStringLiteral("Close the credits"));
    }
    press(marquee);
    QVERIFY(!credits.isVisible());
}

void TestAccessibility::tabOrderOfEachPage_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("main page") << "" << QStringList();
    QTest::newRow("sampleware") << "anmMainSampleware" << QStringList{"memSample"};
    QTest::newRow("extra files") << "anmMainTemplate" << QStringList{"edtText", "lbxTemplate"};
    QTest::newRow("toolbox") << "anmMainToolbox" << QStringList{"edtAcr", "edtZip", "edtFlash", "edtReal"};
}

// Tab and Shift+Tab go round the text boxes and lists of the page on show in their order, and
// nothing else ever takes the focus: no hot spot, animated button or picture.
void TestAccessibility::tabOrderOfEachPage()
{
    QFETCH(QString, button);
    QFETCH(QStringList, order);
    Menu menu;
    menu.disc.Write(QStringLiteral("Files/Templates/Letter.doc"), "x");
    menu.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(menu.form.get()));
    if (!button.isEmpty())
        press(menu.Find(button.toLatin1()));

    const int presses = 2 * int(qMax<qsizetype>(order.size(), 1)) + 1;
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        QStringList seen;
        for (int i = 0; i < presses; ++i) {
            QTest::keyClick(menu.form->windowHandle(), key);
            const QWidget *focus = QApplication::focusWidget();
            seen.append(focus ? focus->objectName() : QString());
        }
        // Wherever the round starts, it follows the order; Shift+Tab goes back, n - 1 steps on.
        QStringList expected;
        const qsizetype n = order.size();
        const qsizetype start = qMax<qsizetype>(0, order.indexOf(seen.first()));
        const qsizetype step = key == Qt::Key_Tab ? 1 : n - 1;
        for (int i = 0; i < presses; ++i)
            expected.append(n == 0 ? QString() : order.at((start + step * i) % n));
        QCOMPARE(seen, expected);
    }
    QCOMPARE(menu.errors.errors, QStringList());
}

void TestAccessibility::captionsReadWithoutAccelerators_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("showAccelChar");
    QTest::addColumn<QString>("name");
    QTest::newRow("accelerator") << "&Quit" << true << "Quit";
    QTest::newRow("doubled") << "Save && Quit" << true << "Save & Quit";
    QTest::newRow("trailing") << "Quit&" << true << "Quit&";
    QTest::newRow("shown as typed") << "&Quit" << false << "&Quit";
    QTest::newRow("empty") << "" << true << "";
}

void TestAccessibility::captionsReadWithoutAccelerators()
{
    QFETCH(QString, caption);
    QFETCH(bool, showAccelChar);
    QFETCH(QString, name);
    TRzLabel label;
    label.SetShowAccelChar(showAccelChar);
    label.SetCaption(caption);
    QCOMPARE(nameOf(&label), name);
    QCOMPARE(accessible(&label)->role(), QAccessible::StaticText);

    // A name given to the label wins over its caption.
    label.setAccessibleName(QStringLiteral("Disc label"));
    QCOMPARE(nameOf(&label), QStringLiteral("Disc label"));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
