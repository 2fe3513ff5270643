// The main window driven through real pointer events on the shown window: pages, hover rules,
// disc label, texts from the disc, the template list, installers, order form and help.

#include "TestSupport.h"

#include "app/Application.h"
#include "app/CredFrm.h"
#include "app/GlobalsU.h"
#include "app/LaunchF.h"
#include "app/MainF.h"
#include "platform/Fonts.h"
#include "toolkit/AnsiText.h"
#include "toolkit/FileListBox.h"
#include "toolkit/Image.h"
#include "toolkit/RzEdit.h"
#include "toolkit/RzLabel.h"
#include "toolkit/RzLstBox.h"
#include "toolkit/lxAnimator.h"
#include "toolkit/lxPageControl1.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QListWidgetItem>
#include <QPainter>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QColor SchemeBack(10, 60, 30);
const QColor SamplePicture(200, 40, 40);

// A disc with everything the menu reads, and the menu's windows on it, shown.
class Menu : public MenuWindows
{
public:
    explicit Menu(const QString &programName = QStringLiteral("CD07"), bool fill = true)
    {
        if (fill)
            FillDisc();
        disc.Activate(programName);
    }

    void FillDisc()
    {
        for (const char *scheme : {"Blue", "Red", "Purple", "Green"})
            disc.WriteBitmap(QStringLiteral("Files/Interface/%1/MainBack.bmp").arg(QLatin1String(scheme)),
                             SolidImage(640, 480, SchemeBack));
        disc.WriteBitmap(QStringLiteral("Files/Sample Pics/Sampleware.bmp"), SolidImage(214, 180, SamplePicture));
        disc.Write(QStringLiteral("Files/Text Files/Zip.txt"), "Zip it\x92s small");
        disc.Write(QStringLiteral("Files/Text Files/Flash.txt"), "{\\rtf1 Flash}");
        disc.Write(QStringLiteral("Files/Text Files/Acrobat.txt"), "Acrobat\nreader");
        disc.Write(QStringLiteral("Files/Text Files/Real.txt"), "Real");
        disc.Write(QStringLiteral("Files/Text Files/Sample.txt"), "Sample one");
        disc.Write(QStringLiteral("Files/Text Files/Extra File.txt"), "Extra \x93"
                                                                      "files\x94");
        for (const char *name : {"Letter.doc", "budget.xls", "address.mdb", ".hidden.doc", "Diary.wps"})
            disc.Write(QStringLiteral("Files/Templates/") + QLatin1String(name), "x");
        for (int tool = 1; tool <= 4; ++tool)
            disc.Write(QStringLiteral("Files/ToolBox/Tool%1/Setup.exe").arg(tool), "MZ");
        disc.Write(QStringLiteral("Files/Sample/Setup.exe"), "MZ");
        disc.Write(QStringLiteral("Setup.exe"), "MZ");
        disc.Write(QStringLiteral("Files/Web Files/Order.html"), "<html/>");
        disc.Write(QStringLiteral("Files/Web Files/Help.html"), "<html/>");
    }

    // Creates and shows the windows as start-up does.
    void Start() { QVERIFY(Open()); }

    template <class T = QWidget> T *Find(const char *name) const { return form->findChild<T *>(QLatin1String(name)); }

    // The centre of a component in window coordinates.
    QPoint Centre(const char *name) const
    {
        QWidget *w = Find(name);
        return w->mapTo(form.get(), w->rect().center());
    }

    // Moves the pointer onto a component (from a place off every hot spot first, so that the
    // move is not ignored).
    void MoveTo(const char *name) { QTest::mouseMove(form.get(), Centre(name)); }
    void MoveToWindow(QPoint p) { QTest::mouseMove(form.get(), p); }
    void Click(const char *name)
    {
        MoveTo(name);
        ClickAt(Centre(name));
    }
    // Through the window, so that the control under the pointer takes the click.
    void ClickAt(QPoint p) { QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, p); }

    QWidget *ActivePage() const { return Find<TlxPageControl1>("pgcBrindle")->ActivePage(); }
    QString PageName() const { return ActivePage() ? ActivePage()->objectName() : QString(); }
    QString Text(const char *box) const { return Find<TRzRichEdit>(box)->Text(); }
    bool Lit(const char *picture) const { return Find(picture)->isVisible(); }
    TlxAnimator *Button(const char *name) const { return Find<TlxAnimator>(name); }
    TRzListBox *Templates() const { return Find<TRzListBox>("lbxTemplate"); }

    TempDisc disc;
};

// A place on the window background, away from every hot spot and from the page panel.
const QPoint Background(10, 10);
// A place on the main page picture, away from the buttons and strips.
const QPoint MainScreen(35 + 240, 97 + 125);

// Whether colour lies nearer to one than to other (text is drawn smoothed).
bool nearer(const QColor &colour, const QColor &one, const QColor &other)
{
    const auto distance = [&colour](const QColor &c) {
        return qAbs(colour.red() - c.red()) + qAbs(colour.green() - c.green()) + qAbs(colour.blue() - c.blue());
    };
    return distance(one) < distance(other);
}

QStringList itemTexts(const TRzListBox *list)
{
    QStringList texts;
    for (int i = 0; i < list->Count(); ++i)
        texts.append(list->ItemText(i));
    return texts;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void builtInPicturesHaveTheSizesTheyAreGiven();
    void windowAndDiscLabel_data();
    void windowAndDiscLabel();
    void artworkPaintedAndLitPicturesHidden();

    void navigatesToEachPageAndBack_data();
    void navigatesToEachPageAndBack();
    void restoreFromMinimisedKeepsThePage();

    void buttonAndItsStripPlayOneAnimation();
    void clickThatChangesPageLeavesAnimationRunning();
    void pageSwitchNotifiesControlUnderPointer();
    void litPicturesFollowThePointer_data();
    void litPicturesFollowThePointer();
    void litBackPictureSurvivesPageChanges();

    void textsLoadedAndDecoded();
    void textBoxesLayTextsOutAsDescribed();
    void loadFailureAtCreationLeavesTheLaterStepsUndone_data();
    void loadFailureAtCreationLeavesTheLaterStepsUndone();
    void sampleTextReadAgainOnEveryVisit();
    void missingExtraFilesLeaveListEmpty_data();
    void missingExtraFilesLeaveListEmpty();

    void templateListFilledSortedAndEmptiedOnReturn();
    void templateEntryDrawnWithItsIcon_data();
    void templateEntryDrawnWithItsIcon();

    void doubleClickDeliversTheChosenTemplate();
    void logoShowsCreditsModally();

    void installersOrderFormAndHelp_data();
    void installersOrderFormAndHelp();
    void sampleInstallerFallsBackToDiscRoot_data();
    void sampleInstallerFallsBackToDiscRoot();
    void setupInCapitalsFoundAndMaskRestored();
    void missingToolFolderShowsErrorBox();

private:
    QString startFolder_;
};

void TestMainWindow::initTestCase()
{
    UseOwnIconTheme();
    Fonts::Install();
    startFolder_ = QDir::currentPath();
}

void TestMainWindow::init()
{
    QDir::setCurrent(startFolder_);
}

void TestMainWindow::cleanup()
{
    QDir::setCurrent(startFolder_);
}

// The built-in pictures are decoded when first needed; until then the size the window gives
// them stands in for theirs, and decides whether the disc's backdrop covers them.
void TestMainWindow::builtInPicturesHaveTheSizesTheyAreGiven()
{
    Menu menu;
    TfrmMain form;
    form.Create();
    const QList<TImage *> pictures = form.findChildren<TImage *>();
    QCOMPARE(pictures.size(), 12);
    for (TImage *picture : pictures) {
        const QSize given = picture->PictureSize();
        QVERIFY2(!picture->Picture().isNull(), qPrintable(picture->objectName()));
        QVERIFY2(picture->Picture().size() == given, qPrintable(picture->objectName()));
    }
}

void TestMainWindow::windowAndDiscLabel_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("wraps");
    QTest::newRow("starter disc") << "MENU"
                                  << "Your Starter CD" << QColor(148, 165, 222) << 50 << true;
    QTest::newRow("disc 7") << "CD07"
                            << "CD-Rom 7" << QColor(0, 181, 57) << 18 << false;
    QTest::newRow("disc 2") << "CD2"
                            << "CD-Rom 2" << QColor(99, 8, 123) << 18 << false;
}

void TestMainWindow::windowAndDiscLabel()
{
    QFETCH(QString, program);
    QFETCH(QString, caption);
    QFETCH(QColor, colour);
    QFETCH(int, height);
    QFETCH(bool, wraps);
    ErrorRecorder errors;
    Menu menu(program);
    menu.Start();

    QCOMPARE(menu.form->windowTitle(), QStringLiteral("Brindlemoor"));
    QCOMPARE(menu.form->size(), QSize(640, 480));
    // At the centre of the screen with its frame, not with its client area.
    const QRect frame = menu.form->frameGeometry();
    QVERIFY(frame != menu.form->geometry());
    QCOMPARE(frame.center(), menu.form->screen()->availableGeometry().center());
    QVERIFY(!menu.form->windowIcon().isNull());
    QCOMPARE(errors.errors, QStringList());

    auto *label = menu.Find<TRzLabel>("lblCdRodNumber");
    QCOMPARE(label->Caption(), caption);
    QCOMPARE(label->FontColor(), colour);
    QCOMPARE(label->geometry(), QRect(523, 135, 84, height));
    QCOMPARE(label->WordWrap(), wraps);
    QCOMPARE(label->Font().pixelSize(), 15);
    QVERIFY(label->Font().bold());

    // The label draws its caption in the scheme's colour, centred, over the backdrop.
    QImage shot = menu.form->grab().toImage();
    const QRect box(523, 135, 84, height);
    int inColour = 0;
    int left = box.right();
    int right = box.left();
    int bottom = box.top();
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (shot.pixelColor(x, y) == colour) {
                ++inColour;
                left = std::min(left, x);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
    QVERIFY(inColour > 20);
    QVERIFY(qAbs((left - box.left()) - (box.right() - right)) <= 3);
    // Two lines on the starter disc reach well below a single line's height.
    QCOMPARE(bottom - box.top() > 18, wraps);
}

void TestMainWindow::artworkPaintedAndLitPicturesHidden()
{
    Menu menu(QStringLiteral("CD2"), false);
    menu.FillDisc();
    // Disc 2 reads the purple scheme: make it differ from the others.
    menu.disc.WriteBitmap(QStringLiteral("Files/Interface/Purple/MainBack.bmp"), SolidImage(320, 240, Qt::yellow));
    menu.Start();

    const QImage back = menu.Find<TImage>("imgMainBack")->Picture();
    QCOMPARE(back.size(), QSize(640, 480));
    QCOMPARE(back.pixelColor(0, 0), QColor(Qt::yellow));
    QCOMPARE(back.pixelColor(319, 239), QColor(Qt::yellow));
    // Outside the smaller file the built-in backdrop stays.
    QVERIFY(back.pixelColor(330, 250) != QColor(Qt::yellow));
    QCOMPARE(menu.Find<TImage>("imgSample")->Picture().pixelColor(100, 100), SamplePicture);

    for (const char *lit : {"imgQuit", "imgExtraBack", "imgToolBack", "imgSampleBack", "imgArrow", "imgHelp"})
        QVERIFY2(!menu.Find(lit)->isVisibleTo(menu.form.get()), lit);
    QCOMPARE(menu.Button("anmMainTemplate")->ImageIndex(), 33);
    QVERIFY(!menu.Button("anmMainTemplate")->Animate());
    QVERIFY(!menu.Button("anmMainOrder")->Animate());
    QCOMPARE(menu.PageName(), QStringLiteral("tabMain"));
}

void TestMainWindow::navigatesToEachPageAndBack_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("back");
    QTest::newRow("extra-files button") << "anmMainTemplate"
                                        << "tabIndex"
                                        << "lblExtraBack";
    QTest::newRow("extra-files strip") << "lblOverExtraTab"
                                       << "tabIndex"
                                       << "lblExtraBack";
    QTest::newRow("sampleware button") << "anmMainSampleware"
                                       << "tabSampleware"
                                       << "lblSamplewareBack";
    QTest::newRow("sampleware strip") << "lblOverSampleTab"
                                      << "tabSampleware"
                                      << "lblSamplewareBack";
    QTest::newRow("toolbox button") << "anmMainToolbox"
                                    << "tabToolBox"
                                    << "lblToolboxBack";
    QTest::newRow("toolbox strip") << "lblOverToolboxTab"
                                   << "tabToolBox"
                                   << "lblToolboxBack";
}

void TestMainWindow::navigatesToEachPageAndBack()
{
    QFETCH(QString, control);
    QFETCH(QString, page);
    QFETCH(QString, back);
    ErrorRecorder errors;
    FakeOpener opener;
    Menu menu;
    menu.Start();

    menu.MoveToWindow(Background);
    menu.Click(control.toLatin1());
    QTRY_COMPARE(menu.PageName(), page);
    menu.Click(back.toLatin1());
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabMain"));
    QCOMPARE(errors.errors, QStringList());
    QCOMPARE(opener.Calls(1, 200).size(), 0);
}

void TestMainWindow::restoreFromMinimisedKeepsThePage()
{
    Menu menu;
    menu.Start();
    menu.MoveToWindow(Background);
    menu.Click("anmMainToolbox");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabToolBox"));

    menu.form->showMinimized();
    QTRY_VERIFY(menu.form->isMinimized());
    menu.form->showNormal();
    QTRY_VERIFY(!menu.form->isMinimized());
    QCOMPARE(menu.PageName(), QStringLiteral("tabToolBox"));

    // Showing it again from the program goes back to the main page.
    menu.form->hide();
    menu.form->show();
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabMain"));
}

void TestMainWindow::buttonAndItsStripPlayOneAnimation()
{
    Menu menu;
    menu.Start();
    TlxAnimator *extra = menu.Button("anmMainTemplate");
    TlxAnimator *sample = menu.Button("anmMainSampleware");

    // The buttons show a frame every 60 ms.
    for (const char *button : {"anmMainTemplate", "anmMainSampleware", "anmMainOrder", "anmMainToolbox"})
        QVERIFY2(menu.Button(button)->Delay() == 60, button);
    // The frames the extra-files button plays, each the one after the last.
    QList<int> frames;
    extra->OnChangeFrame = [&frames](QObject *, int frame) { frames.append(frame); };

    menu.MoveToWindow(Background);
    menu.MoveTo("anmMainTemplate");
    QTRY_VERIFY(extra->Animate());
    QCOMPARE(menu.form->CurrentAnimator(), extra);
    // It plays from its rest frame 33.
    QTRY_VERIFY(frames.size() >= 2);
    QCOMPARE(frames.first(), 34);

    // Onto its caption strip: the animation runs on where it was, it does not start again.
    menu.MoveTo("lblOverExtraTab");
    QTRY_VERIFY(menu.Find("lblOverExtraTab")->underMouse());
    const qsizetype onStrip = frames.size();
    QTRY_VERIFY(frames.size() >= onStrip + 3);
    for (qsizetype i = 1; i < frames.size(); ++i)
        QCOMPARE(frames.at(i), (frames.at(i - 1) + 1) % 41);
    QVERIFY(extra->Animate());
    QCOMPARE(menu.form->CurrentAnimator(), extra);
    extra->OnChangeFrame = nullptr;

    menu.MoveTo("anmMainSampleware");
    QTRY_VERIFY(sample->Animate());
    QVERIFY(!extra->Animate());
    QCOMPARE(extra->ImageIndex(), 33);
    QCOMPARE(menu.form->CurrentAnimator(), sample);
    QTRY_VERIFY(sample->ImageIndex() > 0);

    // Leaving onto a control without hover rules (the disc label) keeps it playing.
    menu.MoveTo("lblCdRodNumber");
    const int before = sample->ImageIndex();
    QTRY_VERIFY(sample->ImageIndex() != before);
    QVERIFY(sample->Animate());

    // Out of the window it plays on too.
    menu.MoveToWindow(QPoint(700, 520));
    const int outside = sample->ImageIndex();
    QTRY_VERIFY(sample->ImageIndex() != outside);
    QVERIFY(sample->Animate());

    // The window background stops it on its rest frame.
    menu.MoveToWindow(Background);
    QTRY_VERIFY(!sample->Animate());
    QCOMPARE(sample->ImageIndex(), 0);
}

void TestMainWindow::clickThatChangesPageLeavesAnimationRunning()
{
    Menu menu;
    menu.Start();
    TlxAnimator *toolbox = menu.Button("anmMainToolbox");
    menu.MoveToWindow(Background);
    menu.MoveTo("anmMainToolbox");
    QTRY_VERIFY(toolbox->Animate());
    menu.ClickAt(menu.Centre("anmMainToolbox"));
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabToolBox"));
    QVERIFY(toolbox->Animate());

    // The toolbox page's picture hides lit pictures but leaves animations alone.
    menu.MoveToWindow(QPoint(35 + 200, 97 + 180));
    menu.MoveTo("lblToolboxBack");
    menu.ClickAt(menu.Centre("lblToolboxBack"));
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabMain"));
    QVERIFY(toolbox->Animate());

    menu.MoveToWindow(MainScreen);
    QTRY_VERIFY(!toolbox->Animate());
    QCOMPARE(toolbox->ImageIndex(), 0);
}

void TestMainWindow::pageSwitchNotifiesControlUnderPointer()
{
    Menu menu;
    menu.Start();
    TlxAnimator *sample = menu.Button("anmMainSampleware");
    TlxAnimator *toolbox = menu.Button("anmMainToolbox");
    menu.MoveToWindow(Background);
    menu.MoveTo("anmMainSampleware");
    QTRY_VERIFY(sample->Animate());
    menu.ClickAt(menu.Centre("anmMainSampleware"));
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabSampleware"));

    // The back hot spot lies where the toolbox button is on the main page.
    const QPoint back = menu.Centre("lblSamplewareBack");
    QVERIFY(QRect(menu.Centre("anmMainToolbox") - QPoint(107, 40), QSize(214, 81)).contains(back));
    menu.MoveToWindow(back);
    QTRY_VERIFY(menu.Lit("imgSampleBack"));
    menu.ClickAt(back);
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabMain"));

    // Without the pointer moving, the toolbox button learns that it is under the pointer.
    QTRY_VERIFY(toolbox->Animate());
    QCOMPARE(menu.form->CurrentAnimator(), toolbox);
    QVERIFY(!sample->Animate());
    QCOMPARE(sample->ImageIndex(), 0);
}

void TestMainWindow::litPicturesFollowThePointer_data()
{
    QTest::addColumn<QString>("page"); // reached by clicking this main-page control, or empty
    QTest::addColumn<QString>("hotSpot");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QPoint>("away");       // a place on a background picture
    QTest::addColumn<QString>("neighbour"); // a control beside the hot spot
    QTest::newRow("quit") << ""
                          << "lblOverQuit"
                          << "imgQuit" << Background << "lblOverLogo";
    QTest::newRow("sampleware back") << "anmMainSampleware"
                                     << "lblSamplewareBack"
                                     << "imgSampleBack" << QPoint(35 + 200, 97 + 235) << "lblOverInstall";
    QTest::newRow("install arrow") << "anmMainSampleware"
                                   << "lblOverInstall"
                                   << "imgArrow" << QPoint(35 + 200, 97 + 235) << "memSample";
    QTest::newRow("extra back") << "anmMainTemplate"
                                << "lblExtraBack"
                                << "imgExtraBack" << QPoint(35 + 240, 97 + 235) << "lbxTemplate";
    QTest::newRow("help") << "anmMainTemplate"
                          << "lblExtraFileHelp"
                          << "imgHelp" << QPoint(35 + 240, 97 + 235) << "edtText";
    QTest::newRow("toolbox back") << "anmMainToolbox"
                                  << "lblToolboxBack"
                                  << "imgToolBack" << QPoint(35 + 200, 97 + 235) << "lblOverReal";
}

void TestMainWindow::litPicturesFollowThePointer()
{
    QFETCH(QString, page);
    QFETCH(QString, hotSpot);
    QFETCH(QString, picture);
    QFETCH(QPoint, away);
    QFETCH(QString, neighbour);
    Menu menu;
    menu.Start();
    menu.MoveToWindow(Background);
    if (!page.isEmpty()) {
        menu.Click(page.toLatin1());
        QTRY_VERIFY(menu.PageName() != QStringLiteral("tabMain"));
        menu.MoveToWindow(away);
    }
    QVERIFY(!menu.Lit(picture.toLatin1()));
    menu.MoveTo(hotSpot.toLatin1());
    QTRY_VERIFY(menu.Lit(picture.toLatin1()));

    // The lit picture shows through the transparent hot spot.
    const QImage shot = menu.form->grab().toImage();
    TImage *lit = menu.Find<TImage>(picture.toLatin1());
    const QPoint origin = lit->mapTo(menu.form.get(), QPoint(0, 0));
    const QPoint probe(lit->width() / 2, lit->height() / 2);
    QCOMPARE(shot.pixelColor(origin + probe), lit->Picture().pixelColor(probe));

    menu.MoveToWindow(away);
    QTRY_VERIFY(!menu.Lit(picture.toLatin1()));

    // Straight on to a neighbour, without crossing a background picture, puts it out too.
    menu.MoveTo(hotSpot.toLatin1());
    QTRY_VERIFY(menu.Lit(picture.toLatin1()));
    menu.MoveTo(neighbour.toLatin1());
    QTRY_VERIFY(!menu.Lit(picture.toLatin1()));
}

void TestMainWindow::litBackPictureSurvivesPageChanges()
{
    Menu menu;
    menu.Start();
    menu.MoveToWindow(Background);
    menu.Click("anmMainTemplate");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabIndex"));
    menu.MoveToWindow(QPoint(35 + 240, 97 + 235));
    menu.MoveTo("lblExtraBack");
    QTRY_VERIFY(menu.Lit("imgExtraBack"));
    menu.ClickAt(menu.Centre("lblExtraBack"));
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabMain"));

    // Straight onto the extra-files button without crossing a background picture.
    menu.MoveTo("lblOverExtraTab");
    menu.ClickAt(menu.Centre("lblOverExtraTab"));
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabIndex"));
    QVERIFY(menu.Lit("imgExtraBack"));
    menu.MoveToWindow(QPoint(35 + 240, 97 + 235));
    QTRY_VERIFY(!menu.Lit("imgExtraBack"));
}

void TestMainWindow::textsLoadedAndDecoded()
{
    ErrorRecorder errors;
    Menu menu;
    menu.Start();
    QCOMPARE(errors.errors, QStringList());
    QCOMPARE(menu.Text("edtZip"), QStringLiteral("Zip it\u2019s small"));
    // Rich-text markup is shown as it is, not interpreted.
    QCOMPARE(menu.Text("edtFlash"), QStringLiteral("{\\rtf1 Flash}"));
    QCOMPARE(menu.Text("edtAcr"), QStringLiteral("Acrobat\nreader"));
    QCOMPARE(menu.Text("edtReal"), QStringLiteral("Real"));
    QCOMPARE(menu.Text("memSample"), QStringLiteral("Sample one"));
    QCOMPARE(menu.Text("edtText"), QString());

    menu.MoveToWindow(Background);
    menu.Click("anmMainTemplate");
    QTRY_COMPARE(menu.Text("edtText"), QStringLiteral("Extra \u201cfiles\u201d"));
}

// What a tool works out about a text in its box without a window is what the window's box shows.
void TestMainWindow::textBoxesLayTextsOutAsDescribed()
{
    Menu menu;
    const QByteArray text = "Wraps where a word ends\r\nand anywhere in averyveryveryverylongwordthatgoesonandon, then "
                            "goes on\r\n\r\nfor line after line of description in the box.";
    for (const TfrmMain::TextPlace &place : TfrmMain::TextPlaces())
        menu.disc.Write(QStringLiteral("Files/Text Files/") + place.file, text);
    menu.Start();
    menu.MoveToWindow(Background);
    menu.Click("anmMainTemplate");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabIndex"));
    const auto described = [](const QList<TRzRichEdit::Line> &lines) {
        QStringList text;
        for (const TRzRichEdit::Line &line : lines)
            text.append(QStringLiteral("%1-%2 %3").arg(line.top).arg(line.bottom).arg(line.text));
        return text;
    };
    for (const TfrmMain::TextPlace &place : TfrmMain::TextPlaces()) {
        auto *box = menu.Find<TRzRichEdit>(place.box.toLatin1());
        menu.Find<TlxPageControl1>("pgcBrindle")->SetActivePage(box->parentWidget());
        QTRY_VERIFY(box->isVisible());
        QCOMPARE(QRect(box->mapTo(menu.form.get(), QPoint(0, 0)), box->size()), place.bounds);
        const QList<TRzRichEdit::Line> lines =
            TRzRichEdit::LaidOut(AnsiText::Decode(text), TfrmMain::WindowFont(), place.bounds.size());
        QVERIFY2(lines.size() > 4, qPrintable(place.box));
        QCOMPARE(described(box->Lines()), described(lines));
    }
}

void TestMainWindow::loadFailureAtCreationLeavesTheLaterStepsUndone_data()
{
    QTest::addColumn<QString>("missing");
    QTest::addColumn<int>("picturesPainted"); // the backdrop, then the sample picture
    QTest::addColumn<bool>("litShown");
    QTest::addColumn<int>("textsLoaded"); // Zip, Flash, Acrobat, Real, Sample
    QTest::newRow("backdrop") << "Files/Interface/Green/MainBack.bmp" << 0 << true << 0;
    QTest::newRow("sample picture") << "Files/Sample Pics/Sampleware.bmp" << 1 << true << 0;
    QTest::newRow("first text") << "Files/Text Files/Zip.txt" << 2 << false << 0;
    QTest::newRow("fourth text") << "Files/Text Files/Real.txt" << 2 << false << 3;
}

// Creation paints the backdrop and the sample picture, sets the buttons at rest, hides the lit
// pictures and reads the five texts, in that order: the first failure leaves the rest undone.
void TestMainWindow::loadFailureAtCreationLeavesTheLaterStepsUndone()
{
    QFETCH(QString, missing);
    QFETCH(int, picturesPainted);
    QFETCH(bool, litShown);
    QFETCH(int, textsLoaded);
    ErrorRecorder errors;
    FakeOpener opener;
    Menu menu;
    menu.disc.Remove(missing);
    menu.Start();

    QCOMPARE(errors.errors.size(), 1);
    QVERIFY(errors.errors.first().startsWith(QStringLiteral("Cannot open file ")));
    QVERIFY(errors.errors.first().endsWith(missing + QLatin1Char('.')));
    QCOMPARE(errors.lastTitle, QStringLiteral("Brindlemoor"));
    QVERIFY(menu.form->isVisible());
    QCOMPARE(menu.Find<TImage>("imgMainBack")->Picture().pixelColor(5, 5) == SchemeBack, picturesPainted > 0);
    QCOMPARE(menu.Find<TImage>("imgSample")->Picture().pixelColor(100, 100) == SamplePicture, picturesPainted > 1);
    for (const char *lit : {"imgQuit", "imgExtraBack", "imgToolBack", "imgSampleBack", "imgArrow", "imgHelp"})
        QVERIFY2(menu.Find(lit)->isHidden() != litShown, lit);
    const char *const boxes[] = {"edtZip", "edtFlash", "edtAcr", "edtReal", "memSample"};
    for (int i = 0; i < 5; ++i)
        QVERIFY2(menu.Text(boxes[i]).isEmpty() == (i >= textsLoaded), boxes[i]);

    // The sampleware text arrives on entering its page; the template list still works.
    menu.MoveToWindow(Background);
    menu.Click("anmMainSampleware");
    QTRY_COMPARE(menu.Text("memSample"), QStringLiteral("Sample one"));
    menu.Click("lblSamplewareBack");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabMain"));
    menu.Click("anmMainTemplate");
    QTRY_COMPARE(menu.Templates()->Count(), 4);
    QCOMPARE(errors.errors.size(), 1);
}

void TestMainWindow::sampleTextReadAgainOnEveryVisit()
{
    Menu menu;
    menu.Start();
    menu.MoveToWindow(Background);
    menu.Click("anmMainSampleware");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabSampleware"));
    QCOMPARE(menu.Text("memSample"), QStringLiteral("Sample one"));
    menu.Click("lblSamplewareBack");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabMain"));

    menu.disc.Write(QStringLiteral("Files/Text Files/Sample.txt"), "Sample \x96 two");
    menu.Click("lblOverSampleTab");
    QTRY_COMPARE(menu.Text("memSample"), QStringLiteral("Sample \u2013 two"));
    QVERIFY(menu.Find("imgSample")->isVisible());

    // A missing file on a later visit keeps the earlier text and reports the path.
    ErrorRecorder errors;
    menu.Click("lblSamplewareBack");
    menu.disc.Remove(QStringLiteral("Files/Text Files/Sample.txt"));
    menu.Click("lblOverSampleTab");
    QTRY_COMPARE(errors.errors.size(), 1);
    QVERIFY(errors.errors.first().endsWith(QStringLiteral("Files/Text Files/Sample.txt.")));
    QCOMPARE(menu.PageName(), QStringLiteral("tabSampleware"));
    QCOMPARE(menu.Text("memSample"), QStringLiteral("Sample \u2013 two"));
}

void TestMainWindow::missingExtraFilesLeaveListEmpty_data()
{
    QTest::addColumn<QString>("missing");
    QTest::addColumn<QString>("text");
    QTest::newRow("description") << "Files/Text Files/Extra File.txt"
                                 << "";
    QTest::newRow("template folder") << "Files/Templates/"
                                     << "Extra \u201cfiles\u201d";
}

void TestMainWindow::missingExtraFilesLeaveListEmpty()
{
    QFETCH(QString, missing);
    QFETCH(QString, text);
    ErrorRecorder errors;
    Menu menu;
    menu.Start();
    // A first visit fills the description box; the second finds the file gone.
    menu.MoveToWindow(Background);
    menu.Click("anmMainTemplate");
    QTRY_COMPARE(menu.Text("edtText"), QStringLiteral("Extra \u201cfiles\u201d"));
    menu.Click("lblExtraBack");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabMain"));
    menu.disc.Remove(missing);
    menu.MoveToWindow(Background);
    menu.Click("anmMainTemplate");
    QTRY_COMPARE(errors.errors.size(), 1);
    QCOMPARE(errors.errors.first(),
             QStringLiteral("Cannot open file ") + menu.disc.Root() + missing + QLatin1Char('.'));
    QCOMPARE(menu.PageName(), QStringLiteral("tabIndex"));
    QCOMPARE(menu.Text("edtText"), text);
    QCOMPARE(menu.Templates()->Count(), 0);
    menu.Click("lblExtraBack");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabMain"));
}

void TestMainWindow::templateListFilledSortedAndEmptiedOnReturn()
{
    Menu menu;
    menu.Start();
    menu.MoveToWindow(Background);
    menu.Click("anmMainTemplate");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabIndex"));
    TRzListBox *list = menu.Templates();
    QCOMPARE(itemTexts(list), QStringList({"address.mdb", "budget.xls", "Diary.wps", "Letter.doc"}));
    QCOMPARE(menu.form->TemplateFolder(), QStringLiteral("Files/Templates/"));
    for (int i = 0; i < list->Count(); ++i)
        QCOMPARE(list->ItemPicture(i).size(), QSize(32, 32));
    // Each entry holds its own type's icon.
    QVERIFY(list->ItemPicture(1) != list->ItemPicture(3));
    QCOMPARE(menu.form->IconBitmap(), list->ItemPicture(3));

    menu.Click("lblExtraBack");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabMain"));
    QCOMPARE(list->Count(), 0);

    // Entering again lists the folder afresh.
    menu.disc.Write(QStringLiteral("Files/Templates/Card.doc"), "x");
    menu.Click("lblOverExtraTab");
    QTRY_COMPARE(list->Count(), 5);
    QCOMPARE(list->ItemText(2), QStringLiteral("Card.doc"));
}

void TestMainWindow::templateEntryDrawnWithItsIcon_data()
{
    QTest::addColumn<bool>("selected");
    QTest::newRow("not selected") << false;
    QTest::newRow("selected") << true;
}

void TestMainWindow::templateEntryDrawnWithItsIcon()
{
    QFETCH(bool, selected);
    Menu menu;
    menu.Start();
    menu.MoveToWindow(Background);
    menu.Click("anmMainTemplate");
    QTRY_COMPARE(menu.Templates()->Count(), 4);
    TRzListBox *list = menu.Templates();

    // An icon picture with a known pattern: left half red, right half blue.
    QImage icon(32, 32, QImage::Format_RGB32);
    icon.fill(Qt::red);
    QPainter(&icon).fillRect(16, 0, 16, 32, Qt::blue);
    list->Clear();
    list->AddItem(QStringLiteral("Letter.doc"), icon);

    const QColor paper(250, 250, 250);
    QImage item(200, 28 * 2, QImage::Format_RGB32);
    item.fill(paper);
    {
        QPainter painter(&item);
        const TOwnerDrawState state = selected ? TOwnerDrawState(odSelected) : TOwnerDrawState();
        list->DrawItem(painter, 0, QRect(0, 28, 200, 28), state);
    }
    const QColor background = selected ? list->palette().color(QPalette::Highlight) : list->Color();

    // The whole item is filled, nothing outside it.
    QCOMPARE(item.pixelColor(0, 27), paper);
    QCOMPARE(item.pixelColor(1, 29), background);
    QCOMPARE(item.pixelColor(199, 28 + 27), background);
    // The picture: x 3 to 30, y 2 to 25 of the item, stretched (32 wide into 28).
    QCOMPARE(item.pixelColor(3, 28 + 2), QColor(Qt::red));
    QCOMPARE(item.pixelColor(15, 28 + 14), QColor(Qt::red));
    QCOMPARE(item.pixelColor(19, 28 + 14), QColor(Qt::blue));
    QCOMPARE(item.pixelColor(30, 28 + 25), QColor(Qt::blue));
    QCOMPARE(item.pixelColor(31, 28 + 14), background);
    QCOMPARE(item.pixelColor(2, 28 + 14), background);
    QCOMPARE(item.pixelColor(15, 28 + 1), background);
    QCOMPARE(item.pixelColor(15, 28 + 26), background);

    // The text starts at x 34, y 4 of the item, in the text colour.
    const QColor textColour =
        selected ? list->palette().color(QPalette::HighlightedText) : list->palette().color(QPalette::Text);
    int firstX = -1;
    int firstY = -1;
    for (int x = 31; x < 200 && firstX < 0; ++x)
        for (int y = 28; y < 56; ++y)
            if (item.pixelColor(x, y) != background) {
                firstX = x;
                break;
            }
    for (int y = 28; y < 56 && firstY < 0; ++y)
        for (int x = 31; x < 200; ++x)
            if (item.pixelColor(x, y) != background) {
                firstY = y - 28;
                break;
            }
    QVERIFY2(firstX >= 34 && firstX <= 36, qPrintable(QString::number(firstX)));
    QVERIFY2(firstY >= 4 && firstY <= 8, qPrintable(QString::number(firstY)));
    bool textColourSeen = false;
    for (int y = 28; y < 56 && !textColourSeen; ++y)
        for (int x = 34; x < 120; ++x)
            textColourSeen = textColourSeen || nearer(item.pixelColor(x, y), textColour, background);
    QVERIFY(textColourSeen);

    // An entry without a picture is drawn without one.
    list->AddItem(QStringLiteral("Plain.doc"), QImage());
    QImage plain(200, 28, QImage::Format_RGB32);
    plain.fill(paper);
    {
        QPainter painter(&plain);
        list->DrawItem(painter, 1, QRect(0, 0, 200, 28), {});
    }
    QCOMPARE(plain.pixelColor(15, 14), list->Color());
}

void TestMainWindow::doubleClickDeliversTheChosenTemplate()
{
    // A home whose settings remember this disc's copy of Letter.doc, so that no dialog is needed.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", oldHome);
        qputenv("XDG_CONFIG_HOME", oldConfig);
    });
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toLocal8Bit());
    const QString copies = home.path() + QStringLiteral("/BrindlePC/CD-ROM7/");
    QDir().mkpath(copies);
    QDir().mkpath(home.path() + QStringLiteral("/.config"));
    QFile(copies + QStringLiteral("Letter.doc")).open(QIODevice::WriteOnly);
    QFile ini(home.path() + QStringLiteral("/.config/BrindlePC.Ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Template]\nLetter.doc=" + copies.toLocal8Bit() + "\n");
    ini.close();

    ErrorRecorder errors;
    FakeOpener opener;
    Menu menu;
    menu.disc.Write(QStringLiteral("Files/Images/clip.gif"), "GIF89a");
    menu.disc.Write(QStringLiteral("Files/Sounds/ding.wav"), "RIFF");
    menu.Start();
    menu.MoveToWindow(Background);
    menu.Click("anmMainTemplate");
    TRzListBox *list = menu.Templates();
    QTRY_COMPARE(list->Count(), 4);
    const auto itemCentre = [&](int row) {
        return list->viewport()->mapTo(menu.form.get(), list->visualItemRect(list->item(row)).center());
    };

    // Below the last entry, with nothing selected: nothing happens.
    const QPoint empty = itemCentre(3) + QPoint(0, 28);
    QVERIFY(list->viewport()->rect().contains(list->viewport()->mapFrom(menu.form.get(), empty)));
    QTest::mouseDClick(menu.form->windowHandle(), Qt::LeftButton, {}, empty);
    QCOMPARE(opener.Calls(1, 300).size(), 0);

    QTest::mouseDClick(menu.form->windowHandle(), Qt::LeftButton, {}, itemCentre(3));
    const auto calls = opener.Calls(1);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.first().arguments, QStringList({copies}));
    for (const char *other : {"address.mdb", "budget.xls", "Diary.wps"})
        QVERIFY2(QFile::exists(copies + QLatin1String(other)), other);
    QVERIFY(QFile::exists(copies + QStringLiteral("Images/clip.gif")));
    QVERIFY(QFile::exists(copies + QStringLiteral("Sounds/ding.wav")));
    QCOMPARE(errors.errors, QStringList());
}

void TestMainWindow::logoShowsCreditsModally()
{
    Menu menu;
    menu.Start();
    TfrmCredits credits;
    Application::SetCredits(&credits);
    const auto forget = qScopeGuard([] { Application::SetCredits(nullptr); });

    // Watches for the credits window while the click waits for it to close.
    bool seenModal = false;
    QTimer watch;
    QDeadlineTimer deadline(5000);
    QObject::connect(&watch, &QTimer::timeout, &credits, [&] {
        if (credits.isVisible()) {
            seenModal = credits.IsModal() && QApplication::activeModalWidget() == &credits;
            credits.close();
        } else if (deadline.hasExpired()) {
            credits.close();
        }
    });
    watch.start(20);
    menu.MoveToWindow(Background);
    menu.Click("lblOverLogo");
    // The click returns once the credits window has closed.
    QVERIFY(seenModal);
    QVERIFY(!credits.isVisible());
    QCOMPARE(menu.PageName(), QStringLiteral("tabMain"));
}

void TestMainWindow::installersOrderFormAndHelp_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("hotSpot");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("workingFolder");
    QTest::newRow("WinZip") << "anmMainToolbox"
                            << "lblOverWinZip"
                            << "Files/ToolBox/Tool1/Setup.exe"
                            << "Files/ToolBox/Tool1";
    QTest::newRow("Flash") << "anmMainToolbox"
                           << "lblOverFlash"
                           << "Files/ToolBox/Tool2/Setup.exe"
                           << "Files/ToolBox/Tool2";
    QTest::newRow("Acrobat") << "anmMainToolbox"
                             << "lblOverAcrobat"
                             << "Files/ToolBox/Tool3/Setup.exe"
                             << "Files/ToolBox/Tool3";
    QTest::newRow("Real") << "anmMainToolbox"
                          << "lblOverReal"
                          << "Files/ToolBox/Tool4/Setup.exe"
                          << "Files/ToolBox/Tool4";
    QTest::newRow("sample program") << "anmMainSampleware"
                                    << "lblOverInstall"
                                    << "Files/Sample/Setup.exe"
                                    << "Files/Sample";
    QTest::newRow("order button") << ""
                                  << "anmMainOrder"
                                  << "Files/Web Files/Order.html"
                                  << "";
    QTest::newRow("order strip") << ""
                                 << "lblOverSoftwareTab"
                                 << "Files/Web Files/Order.html"
                                 << "";
    QTest::newRow("help") << "anmMainTemplate"
                          << "lblExtraFileHelp"
                          << "Files/Web Files/Help.html"
                          << "Files/Templates";
}

void TestMainWindow::installersOrderFormAndHelp()
{
    QFETCH(QString, page);
    QFETCH(QString, hotSpot);
    QFETCH(QString, opened);
    QFETCH(QString, workingFolder);
    ErrorRecorder errors;
    FakeOpener opener;
    Menu menu;
    menu.Start();
    menu.MoveToWindow(Background);
    if (!page.isEmpty())
        menu.Click(page.toLatin1());
    const QString pageBefore = menu.PageName();

    menu.Click(hotSpot.toLatin1());
    const auto calls = opener.Calls(1);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.first().arguments, QStringList({menu.disc.Root() + opened}));
    if (!workingFolder.isEmpty())
        QCOMPARE(calls.first().folder, menu.disc.Root() + workingFolder);
    QCOMPARE(menu.PageName(), pageBefore);
    QCOMPARE(errors.errors, QStringList());

    // Clicking again asks again.
    menu.ClickAt(menu.Centre(hotSpot.toLatin1()));
    QCOMPARE(opener.Calls(2).size(), 2);
}

void TestMainWindow::sampleInstallerFallsBackToDiscRoot_data()
{
    QTest::addColumn<QString>("inSampleFolder"); // written there instead of the installer
    QTest::newRow("another program") << "Files/Sample/Other.exe";
    QTest::newRow("a folder of that name") << "Files/Sample/Setup.exe/Other.exe";
}

void TestMainWindow::sampleInstallerFallsBackToDiscRoot()
{
    QFETCH(QString, inSampleFolder);
    FakeOpener opener;
    Menu menu;
    menu.disc.Remove(QStringLiteral("Files/Sample/Setup.exe"));
    menu.disc.Write(inSampleFolder, "MZ");
    menu.Start();
    menu.MoveToWindow(Background);
    menu.Click("anmMainSampleware");
    menu.Click("lblOverInstall");
    const auto calls = opener.Calls(1);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.first().arguments, QStringList({menu.disc.Root() + QStringLiteral("Setup.exe")}));
}

void TestMainWindow::setupInCapitalsFoundAndMaskRestored()
{
    FakeOpener opener;
    Menu menu;
    menu.disc.Remove(QStringLiteral("Files/ToolBox/Tool3/Setup.exe"));
    menu.disc.Write(QStringLiteral("Files/ToolBox/Tool3/SETUP.EXE"), "MZ");
    menu.Start();
    menu.MoveToWindow(Background);
    menu.Click("anmMainToolbox");
    menu.Click("lblOverAcrobat");
    const auto calls = opener.Calls(1);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.first().arguments,
             QStringList({menu.disc.Root() + QStringLiteral("Files/ToolBox/Tool3/SETUP.EXE")}));
    QCOMPARE(menu.launcher->Files().Mask(), QStringLiteral("*.*"));

    // The template list lists every template afterwards.
    menu.Click("lblToolboxBack");
    menu.Click("lblOverExtraTab");
    QTRY_COMPARE(menu.Templates()->Count(), 4);
}

void TestMainWindow::missingToolFolderShowsErrorBox()
{
    ErrorRecorder errors;
    FakeOpener opener;
    Menu menu;
    menu.disc.Remove(QStringLiteral("Files/ToolBox/Tool4"));
    menu.Start();
    menu.MoveToWindow(Background);
    menu.Click("anmMainToolbox");
    menu.Click("lblOverReal");
    QTRY_COMPARE(errors.errors.size(), 1);
    QCOMPARE(errors.errors.first(),
             QStringLiteral("Cannot open file ") + menu.disc.Root() + QStringLiteral("Files/ToolBox/Tool4/Setup.exe."));
    QCOMPARE(errors.lastTitle, QStringLiteral("Brindlemoor"));
    QCOMPARE(opener.Calls(1, 300).size(), 0);
    QCOMPARE(menu.launcher->Files().Mask(), QStringLiteral("*.*"));
    QCOMPARE(menu.PageName(), QStringLiteral("tabToolBox"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
