#include "CopyDialogDriver.h"
#include "TestSupport.h"

#include "app/CopyF.h"
#include "app/GlobalsU.h"
#include "platform/FileOps.h"
#include "platform/ProfileFile.h"
#include "toolkit/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
const QString CopyError = QStringLiteral("An error has occured whilst copying the file");

QString readTemplateEntry(const QString &name)
{
    return ProfileFile::ReadString(CopyF::SettingsFileName(), QStringLiteral("Template"), name,
                                   QStringLiteral("ERROR"));
}
} // namespace

// Where templates go, how the choice is remembered, and the copy dialog driven as a user would.
class TestCopyF : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void settingsAndDefaultFolder();
    void templateFileFilter_data();
    void templateFileFilter();
    void appendBackslash_data();
    void appendBackslash();
    void recordsFolderAndReportsUnwritableSettings();
    void copyTemplateFileReportsOnlyRealCopies();

    void locateChoosesPage_data();
    void locateChoosesPage();
    void locateFindsRememberedCopyWithoutDialog();

    void pageOneCopyMakesWritableRecordedCopy();
    void pageOneBrowseChangesFolder();
    void pageTwoCancelAndCloseBoxRecordNothing_data();
    void pageTwoCancelAndCloseBoxRecordNothing();
    void pageTwoCentredAndItsActionsReadInFull();
    void pageTwoBrowseAcceptsSameNameInAnyCase();
    void pageTwoBrowseIgnoresOtherName();
    void pageTwoCopyThenCopyTheDocument();
    void keyboardEnterAndEscape();
    void failedCopyKeepsDialogOpenAndRecordsNothing();
    void unwritableSettingsKeepDialogOpen();

private:
    // Runs LocateTemplate for the template name while the driver answers the dialog.
    bool locate(const QString &name, CopyDialogDriver &driver, QString &destination);
    QString source(const QString &name) const { return disc_->Root() + QStringLiteral("Files/Templates/") + name; }

    std::unique_ptr<QTemporaryDir> home_;
    std::unique_ptr<QTemporaryDir> config_;
    std::unique_ptr<TempDisc> disc_;
    std::unique_ptr<ErrorRecorder> errors_;
    std::unique_ptr<FileDialogAnswers> dialogs_;
};

void TestCopyF::initTestCase()
{
    QStandardPaths::setTestModeEnabled(false);
}

void TestCopyF::init()
{
    home_ = std::make_unique<QTemporaryDir>();
    config_ = std::make_unique<QTemporaryDir>();
    qputenv("HOME", home_->path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", config_->path().toLocal8Bit());
    disc_ = std::make_unique<TempDisc>();
    disc_->Activate(QStringLiteral("CD07"));
    const QString letter = disc_->Write(QStringLiteral("Files/Templates/Letter.doc"), "letter template");
    // Templates on a disc are read-only.
    QFile::setPermissions(letter, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    disc_->Write(QStringLiteral("Files/Templates/Budget.xls"), "budget template");
    errors_ = std::make_unique<ErrorRecorder>();
    dialogs_ = std::make_unique<FileDialogAnswers>();
}

void TestCopyF::cleanup()
{
    QTRY_VERIFY(!CopyDialogDriver::Showing());
    dialogs_.reset();
    errors_.reset();
    disc_.reset();
    config_.reset();
    home_.reset();
}

bool TestCopyF::locate(const QString &name, CopyDialogDriver &driver, QString &destination)
{
    const bool found = CopyF::LocateTemplate(source(name), destination);
    if (!driver.AllStepsRun())
        qWarning("only %d steps of the copy dialog ran", driver.StepsRun());
    return found;
}

void TestCopyF::settingsAndDefaultFolder()
{
    QCOMPARE(CopyF::SettingsFileName(), config_->path() + QStringLiteral("/BrindlePC.Ini"));
    QCOMPARE(CopyF::DefaultTemplateFolder(), home_->path() + QStringLiteral("/BrindlePC/CD-ROM7/"));
    disc_->Activate(QStringLiteral("MENU"));
    QCOMPARE(CopyF::DefaultTemplateFolder(), home_->path() + QStringLiteral("/BrindlePC/CD-ROM0/"));
    disc_->Activate(QStringLiteral("CD0012"));
    QCOMPARE(CopyF::DefaultTemplateFolder(), home_->path() + QStringLiteral("/BrindlePC/CD-ROM12/"));
}

void TestCopyF::templateFileFilter_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("dialogFilter");

    QTest::newRow(".doc") << ".doc"
                          << "Microsoft Word files|*.doc"
                          << "Microsoft Word files (*.doc)";
    QTest::newRow(".DOC") << ".DOC"
                          << "Microsoft Word files|*.DOC"
                          << "Microsoft Word files (*.DOC)";
    QTest::newRow(".xls") << ".xls"
                          << "Microsoft Excel files|*.xls"
                          << "Microsoft Excel files (*.xls)";
    QTest::newRow(".Mdb") << ".Mdb"
                          << "Microsoft Access templates|*.Mdb"
                          << "Microsoft Access templates (*.Mdb)";
    QTest::newRow(".wks") << ".wks"
                          << "Microsoft Works files|*.wks"
                          << "Microsoft Works files (*.wks)";
    QTest::newRow(".wps") << ".wps"
                          << "Microsoft Works files|*.wps"
                          << "Microsoft Works files (*.wps)";
    QTest::newRow("other type") << ".txt"
                                << "*.txt"
                                << "*.txt";
    QTest::newRow("no dot") << "doc"
                            << "*doc"
                            << "*doc";
}

void TestCopyF::templateFileFilter()
{
    QFETCH(QString, ext);
    QFETCH(QString, filter);
    QFETCH(QString, dialogFilter);
    QCOMPARE(CopyF::TemplateFileFilter(ext), filter);
    QCOMPARE(FileDialogs::NameFilter(filter), dialogFilter);
}

void TestCopyF::appendBackslash_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("root") << "/"
                          << "/";
    QTest::newRow("folder") << "/home/u/Work"
                            << "/home/u/Work/";
    QTest::newRow("folder with separator") << "/home/u/Work/"
                                           << "/home/u/Work/";
    QTest::newRow("trailing blank kept") << "/home/u/Work "
                                         << "/home/u/Work /";
    QTest::newRow("empty") << ""
                           << "/";
}

void TestCopyF::appendBackslash()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(CopyF::AppendBackslash(path), expected);
}

void TestCopyF::recordsFolderAndReportsUnwritableSettings()
{
    CopyF::RecordTemplateFolder(QStringLiteral("/home/u/My Work\\/Letter.doc"));
    QCOMPARE(readTemplateEntry(QStringLiteral("LETTER.DOC")), QStringLiteral("/home/u/My Work\\/"));
    QCOMPARE(CopyF::LookUpTemplateFolder(source(QStringLiteral("letter.doc"))), QStringLiteral("/home/u/My Work\\/"));

    // A stored "ERROR" is no remembered folder.
    CopyF::RecordTemplateFolder(QStringLiteral("ERROR"));
    QCOMPARE(ReadAll(CopyF::SettingsFileName()).count("ERROR=\n"), 1);

    // The configuration folder cannot be made: a regular file stands where it should be.
    const QString blocker = home_->filePath(QStringLiteral("blocked"));
    QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
    qputenv("XDG_CONFIG_HOME", blocker.toLocal8Bit());
    const QString settings = blocker + QStringLiteral("/BrindlePC.Ini");
    QCOMPARE(CopyF::SettingsFileName(), settings);
    try {
        CopyF::RecordTemplateFolder(QStringLiteral("/home/u/Letter.doc"));
        QFAIL("recorded into a folder that cannot exist");
    } catch (const EIniFileException &e) {
        QCOMPARE(e.Message(), QStringLiteral("Unable to write to ") + settings);
    }
    QCOMPARE(CopyF::LookUpTemplateFolder(source(QStringLiteral("Letter.doc"))), QStringLiteral("ERROR"));

    // The settings file without its owner-write permission.
    qputenv("XDG_CONFIG_HOME", config_->path().toLocal8Bit());
    QVERIFY(QFile::setPermissions(CopyF::SettingsFileName(), QFile::ReadOwner | QFile::ReadGroup));
    QVERIFY_THROWS_EXCEPTION(EIniFileException, CopyF::RecordTemplateFolder(QStringLiteral("/x/Budget.xls")));
    QCOMPARE(readTemplateEntry(QStringLiteral("Budget.xls")), QStringLiteral("ERROR"));

    // A name the file cannot hold as a key is not remembered, without an error; a folder that would
    // break the file is refused.
    QVERIFY(QFile::setPermissions(CopyF::SettingsFileName(), QFile::ReadOwner | QFile::WriteOwner));
    const QByteArray before = ReadAll(CopyF::SettingsFileName());
    for (const char *name : {"a=b.doc", "[Draft].doc", ";Notes.doc", " Memo.doc", "Memo.doc ", "Two\nLines.doc"}) {
        CopyF::RecordTemplateFolder(QStringLiteral("/x/") + QLatin1String(name));
        QCOMPARE(CopyF::LookUpTemplateFolder(QStringLiteral("/x/") + QLatin1String(name)), QStringLiteral("ERROR"));
    }
    QVERIFY_THROWS_EXCEPTION(EIniFileException, CopyF::RecordTemplateFolder(QStringLiteral("/x\ny/a.doc")));
    QCOMPARE(ReadAll(CopyF::SettingsFileName()), before);
}

void TestCopyF::copyTemplateFileReportsOnlyRealCopies()
{
    const QString destination = home_->filePath(QStringLiteral("a/b/c/Letter.doc"));
    // Disc names are matched without regard to letter case.
    QVERIFY(CopyF::CopyTemplateFile(source(QStringLiteral("LETTER.DOC")), destination));
    QCOMPARE(ReadAll(destination), QByteArray("letter template"));

    // A file already at the destination is kept as it is and counts as the copy.
    QVERIFY(FileOps::ReplaceFile(destination, "the user's letter"));
    QVERIFY(CopyF::CopyTemplateFile(source(QStringLiteral("Letter.doc")), destination));
    QCOMPARE(ReadAll(destination), QByteArray("the user's letter"));
    // Nothing to copy from gives no file.
    QVERIFY(!CopyF::CopyTemplateFile(source(QStringLiteral("Missing.doc")), destination + QStringLiteral(".x")));
    QVERIFY(!QFileInfo::exists(destination + QStringLiteral(".x")));
}

void TestCopyF::locateChoosesPage_data()
{
    QTest::addColumn<QString>("remembered");
    QTest::addColumn<bool>("copyExists");
    QTest::addColumn<int>("page");

    QTest::newRow("no entry") << QString() << false << 0;
    QTest::newRow("default folder, copy gone") << "default" << false << 1;
    QTest::newRow("browsed folder") << "browsed" << true << 0;
    QTest::newRow("another disc's folder") << "CD-ROM2" << true << 0;
    QTest::newRow("default folder in other case") << "lower" << true << 0;
    QTest::newRow("default folder without final separator") << "unterminated" << true << 0;
    QTest::newRow("ERROR stored") << "ERROR" << false << 0;
}

void TestCopyF::locateChoosesPage()
{
    QFETCH(QString, remembered);
    QFETCH(bool, copyExists);
    QFETCH(int, page);

    const QString defaultFolder = CopyF::DefaultTemplateFolder();
    const QString browsed = home_->filePath(QStringLiteral("Docs/"));
    QString folder;
    if (remembered == QLatin1String("default"))
        folder = defaultFolder;
    else if (remembered == QLatin1String("browsed"))
        folder = browsed;
    else if (remembered == QLatin1String("CD-ROM2"))
        folder = home_->filePath(QStringLiteral("BrindlePC/CD-ROM2/"));
    else if (remembered == QLatin1String("lower"))
        folder = defaultFolder.toLower();
    else if (remembered == QLatin1String("unterminated"))
        folder = defaultFolder.chopped(1);
    else
        folder = remembered;
    if (!folder.isEmpty()) {
        QVERIFY(ProfileFile::WriteString(CopyF::SettingsFileName(), QStringLiteral("Template"),
                                         QStringLiteral("Letter.doc"), folder));
        if (copyExists) {
            QVERIFY(FileOps::ForceDirectories(CopyF::AppendBackslash(folder)));
            QVERIFY(QFile(CopyF::AppendBackslash(folder) + QStringLiteral("Letter.doc")).open(QIODevice::WriteOnly));
        }
    }

    QString destination = QStringLiteral("untouched");
    CopyDialogDriver answer(
        {[page](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, page == 0 ? "btnCancel" : "btnCancelToo"); }});
    QVERIFY(!CopyF::LocateTemplate(source(QStringLiteral("Letter.doc")), destination));
    QVERIFY(answer.AllStepsRun());
    QCOMPARE(answer.pages, QList<int>{page});
    // The default place is offered on both pages.
    QCOMPARE(answer.shownFolders, QStringList{defaultFolder});
    QCOMPARE(destination, defaultFolder + QStringLiteral("Letter.doc"));
    QCOMPARE(readTemplateEntry(QStringLiteral("Letter.doc")), folder.isEmpty() ? QStringLiteral("ERROR") : folder);
}

void TestCopyF::locateFindsRememberedCopyWithoutDialog()
{
    const QString copy = CopyF::DefaultTemplateFolder() + QStringLiteral("Letter.doc");
    QVERIFY(FileOps::ForceDirectories(CopyF::DefaultTemplateFolder()));
    QVERIFY(QFile(copy).open(QIODevice::WriteOnly));
    CopyF::RecordTemplateFolder(copy);

    CopyDialogDriver noDialog;
    QString destination;
    QVERIFY(CopyF::LocateTemplate(source(QStringLiteral("Letter.doc")), destination));
    QCOMPARE(destination, copy);
    QCOMPARE(noDialog.Unexpected(), 0);
    QCOMPARE(ReadAll(copy), QByteArray());
}

void TestCopyF::pageOneCopyMakesWritableRecordedCopy()
{
    QString destination;
    {
        CopyDialogDriver driver({[](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCopy"); }});
        QVERIFY(locate(QStringLiteral("Letter.doc"), driver, destination));
        QVERIFY(driver.AllStepsRun());
    }

    const QString expected = CopyF::DefaultTemplateFolder() + QStringLiteral("Letter.doc");
    QCOMPARE(destination, expected);
    QCOMPARE(ReadAll(expected), QByteArray("letter template"));
    QVERIFY(!FileOps::IsReadOnly(expected));
    QCOMPARE(readTemplateEntry(QStringLiteral("Letter.doc")), CopyF::DefaultTemplateFolder());
    QVERIFY(errors_->messages.isEmpty());

    // The next look-up finds the copy without asking.
    CopyDialogDriver noDialog;
    QVERIFY(CopyF::LocateTemplate(source(QStringLiteral("Letter.doc")), destination));
    QCOMPARE(destination, expected);
    QCOMPARE(noDialog.Unexpected(), 0);
}

void TestCopyF::pageOneBrowseChangesFolder()
{
    const QString chosen = home_->filePath(QStringLiteral("My Docs"));
    QVERIFY(QDir().mkpath(chosen));
    QString shownAfterCancel;
    QString shownAfterBrowse;
    QString destination;
    {
        CopyDialogDriver driver({
            [this, &shownAfterCancel](TfrmCopy &dialog) {
                dialogs_->folderAnswer.reset();
                CopyDialogDriver::Click(dialog, "btnBrowse");
                shownAfterCancel = CopyDialogDriver::PathShown(dialog);
            },
            [this, chosen, &shownAfterBrowse](TfrmCopy &dialog) {
                dialogs_->folderAnswer = chosen;
                CopyDialogDriver::Click(dialog, "btnBrowse");
                shownAfterBrowse = CopyDialogDriver::PathShown(dialog);
            },
            [](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCopy"); },
        });
        QVERIFY(locate(QStringLiteral("Letter.doc"), driver, destination));
        QVERIFY(driver.AllStepsRun());
        QCOMPARE(shownAfterCancel, CopyF::DefaultTemplateFolder());
        QCOMPARE(shownAfterBrowse, chosen + QLatin1Char('/'));
        QCOMPARE(driver.pages, (QList<int>{0, 0, 0}));
        QCOMPARE(dialogs_->folderRequests.size(), 2);
        QCOMPARE(dialogs_->folderRequests.at(0).startFolder, home_->path());
    }

    QCOMPARE(destination, chosen + QStringLiteral("/Letter.doc"));
    QCOMPARE(ReadAll(destination), QByteArray("letter template"));
    QCOMPARE(readTemplateEntry(QStringLiteral("Letter.doc")), chosen + QLatin1Char('/'));
    QVERIFY(!QFileInfo::exists(CopyF::DefaultTemplateFolder()));

    // A browsed folder is not this disc's default: the next look-up offers the default place again.
    CopyDialogDriver again({[](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCancel"); }});
    QVERIFY(!locate(QStringLiteral("Letter.doc"), again, destination));
    QCOMPARE(again.pages, QList<int>{0});
    QCOMPARE(again.shownFolders, QStringList{CopyF::DefaultTemplateFolder()});
}

void TestCopyF::pageTwoCancelAndCloseBoxRecordNothing_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("how");
    QTest::newRow("page one, close box") << 0 << "close";
    QTest::newRow("page two, close box") << 1 << "close";
    QTest::newRow("page two, Cancel") << 1 << "btnCancelToo";
    QTest::newRow("page one, Escape") << 0 << "escape";
    QTest::newRow("page two, Escape") << 1 << "escape";
}

void TestCopyF::pageTwoCancelAndCloseBoxRecordNothing()
{
    QFETCH(int, page);
    QFETCH(QString, how);

    const QString proposed = CopyF::DefaultTemplateFolder() + QStringLiteral("Letter.doc");
    CopyDialogDriver driver({[how](TfrmCopy &dialog) {
        if (how == QLatin1String("close"))
            dialog.close();
        else if (how == QLatin1String("escape"))
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            CopyDialogDriver::Click(dialog, how.toLatin1().constData());
    }});
    QString destination = proposed;
    QVERIFY(!CopyF::RunCopyDialog(page, source(QStringLiteral("Letter.doc")), destination));
    QVERIFY(driver.AllStepsRun());
    QCOMPARE(driver.pages, QList<int>{page});
    QCOMPARE(destination, proposed);
    QVERIFY(!QFileInfo::exists(CopyF::SettingsFileName()));
    QVERIFY(!QFileInfo::exists(proposed));
}

void TestCopyF::pageTwoCentredAndItsActionsReadInFull()
{
    TfrmCopy dialog(nullptr, 1, source(QStringLiteral("Letter.doc")));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // At the centre of the screen, title bar and borders included.
    QCOMPARE(dialog.frameGeometry().center(), dialog.screen()->availableGeometry().center());
    // Every dot of each action's leader shows.
    for (const char *name : {"Label2", "Label3", "Label4"}) {
        const auto *label = dialog.findChild<QLabel *>(QLatin1String(name));
        QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(label->text()), name);
    }
}

void TestCopyF::pageTwoBrowseAcceptsSameNameInAnyCase()
{
    const QString found = home_->filePath(QStringLiteral("Elsewhere/LETTER.DOC"));
    QVERIFY(QDir().mkpath(home_->filePath(QStringLiteral("Elsewhere"))));
    QFile file(found);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("user's letter");
    file.close();
    QVERIFY(QFile::setPermissions(found, QFile::ReadOwner));
    dialogs_->openAnswer = found;

    // The remembered default folder exists but the copy has gone: the open dialog starts there.
    QVERIFY(FileOps::ForceDirectories(CopyF::DefaultTemplateFolder()));
    CopyF::RecordTemplateFolder(CopyF::DefaultTemplateFolder() + QStringLiteral("Letter.doc"));
    CopyDialogDriver driver({[](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnBrowseToo"); }});
    QString destination;
    QVERIFY(locate(QStringLiteral("Letter.doc"), driver, destination));
    QCOMPARE(driver.pages, QList<int>{1});
    QCOMPARE(destination, found);
    QCOMPARE(ReadAll(found), QByteArray("user's letter"));
    QVERIFY(!FileOps::IsReadOnly(found));
    QCOMPARE(readTemplateEntry(QStringLiteral("Letter.doc")), home_->filePath(QStringLiteral("Elsewhere/")));

    QCOMPARE(dialogs_->openRequests.size(), 1);
    const FileDialogs::OpenRequest &request = dialogs_->openRequests.front();
    QCOMPARE(request.folder, CopyF::DefaultTemplateFolder());
    QCOMPARE(request.fileName, QStringLiteral("Letter.doc"));
    QCOMPARE(request.nameFilter, QStringLiteral("Microsoft Word files (*.doc)"));
}

void TestCopyF::pageTwoBrowseIgnoresOtherName()
{
    const QString other = home_->filePath(QStringLiteral("Other.doc"));
    QVERIFY(QFile(other).open(QIODevice::WriteOnly));
    QString openAfterBrowse;
    CopyDialogDriver driver({
        [this, other](TfrmCopy &dialog) {
            dialogs_->openAnswer = other;
            CopyDialogDriver::Click(dialog, "btnBrowseToo");
        },
        [this](TfrmCopy &dialog) {
            // Cancelling the open dialog changes nothing either.
            dialogs_->openAnswer.reset();
            CopyDialogDriver::Click(dialog, "btnBrowseToo");
        },
        [](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCancelToo"); },
    });
    // The remembered folder does not exist: the open dialog starts at home.
    QString destination = home_->filePath(QStringLiteral("gone/Letter.doc"));
    QVERIFY(!CopyF::RunCopyDialog(1, source(QStringLiteral("Letter.doc")), destination));
    QVERIFY(driver.AllStepsRun());
    QCOMPARE(driver.pages, (QList<int>{1, 1, 1}));
    QCOMPARE(driver.shownFolders.last(), home_->filePath(QStringLiteral("gone/")));
    QCOMPARE(dialogs_->openRequests.size(), 2);
    QCOMPARE(dialogs_->openRequests.front().folder, home_->path());
    QVERIFY(!QFileInfo::exists(CopyF::SettingsFileName()));
    QVERIFY(errors_->messages.isEmpty());
}

void TestCopyF::pageTwoCopyThenCopyTheDocument()
{
    QVERIFY(ProfileFile::WriteString(CopyF::SettingsFileName(), QStringLiteral("Template"),
                                     QStringLiteral("Budget.xls"), CopyF::DefaultTemplateFolder()));
    CopyDialogDriver driver({
        [](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCopyToo"); },
        [](TfrmCopy &dialog) {
            QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("btnCopy"))->hasFocus());
            CopyDialogDriver::Click(dialog, "btnCopy");
        },
    });
    QString destination;
    QVERIFY(locate(QStringLiteral("Budget.xls"), driver, destination));
    QCOMPARE(driver.pages, (QList<int>{1, 0}));
    QCOMPARE(driver.shownFolders.last(), CopyF::DefaultTemplateFolder());
    QCOMPARE(destination, CopyF::DefaultTemplateFolder() + QStringLiteral("Budget.xls"));
    QCOMPARE(ReadAll(destination), QByteArray("budget template"));
}

void TestCopyF::keyboardEnterAndEscape()
{
    // Enter clicks the focused button: "Copy the document" has the focus when page one opens.
    QString destination;
    {
        CopyDialogDriver driver({[](TfrmCopy &dialog) {
            QWidget *focused = dialog.focusWidget();
            QVERIFY(focused);
            QCOMPARE(focused->objectName(), QStringLiteral("btnCopy"));
            QTest::keyClick(focused, Qt::Key_Return);
        }});
        QVERIFY(locate(QStringLiteral("Budget.xls"), driver, destination));
        QCOMPARE(ReadAll(destination), QByteArray("budget template"));
    }

    // Tab moves the focus to "Cancel and return to CD"; Enter there cancels.
    CopyDialogDriver cancel({[](TfrmCopy &dialog) {
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        QCOMPARE(dialog.focusWidget()->objectName(), QStringLiteral("btnCancel"));
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
    }});
    destination = home_->filePath(QStringLiteral("x/Letter.doc"));
    QVERIFY(!CopyF::RunCopyDialog(0, source(QStringLiteral("Letter.doc")), destination));
    QVERIFY(cancel.AllStepsRun());
    QVERIFY(!QFileInfo::exists(home_->filePath(QStringLiteral("x"))));
}

void TestCopyF::failedCopyKeepsDialogOpenAndRecordsNothing()
{
    const QString blocker = home_->filePath(QStringLiteral("plain-file"));
    QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
    dialogs_->folderAnswer = blocker + QStringLiteral("/sub");
    CopyDialogDriver driver({
        [](TfrmCopy &dialog) {
            CopyDialogDriver::Click(dialog, "btnBrowse");
            CopyDialogDriver::Click(dialog, "btnCopy");
        },
        [](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCancel"); },
    });
    QString destination;
    QVERIFY(!locate(QStringLiteral("Letter.doc"), driver, destination));
    QVERIFY(driver.AllStepsRun());
    // The dialog stayed open on its page after the message.
    QCOMPARE(driver.pages, (QList<int>{0, 0}));
    QCOMPARE(driver.shownFolders.last(), blocker + QStringLiteral("/sub/"));
    QCOMPARE(errors_->messages, QStringList{CopyError});
    QCOMPARE(errors_->lastTitle, QStringLiteral("Brindlemoor"));
    QVERIFY(errors_->errors.isEmpty());
    QVERIFY(!QFileInfo::exists(CopyF::SettingsFileName()));
}

void TestCopyF::unwritableSettingsKeepDialogOpen()
{
    const QString blocker = home_->filePath(QStringLiteral("config-file"));
    QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
    qputenv("XDG_CONFIG_HOME", blocker.toLocal8Bit());
    CopyDialogDriver driver({
        [](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCopy"); },
        [](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCancel"); },
    });
    QString destination;
    QVERIFY(!locate(QStringLiteral("Letter.doc"), driver, destination));
    QCOMPARE(driver.pages, (QList<int>{0, 0}));
    QCOMPARE(errors_->errors,
             QStringList{QStringLiteral("Unable to write to ") + blocker + QStringLiteral("/BrindlePC.Ini.")});
    QVERIFY(errors_->messages.isEmpty());
    // The copy stays in place, writable.
    const QString copy = CopyF::DefaultTemplateFolder() + QStringLiteral("Letter.doc");
    QCOMPARE(ReadAll(copy), QByteArray("letter template"));
    QVERIFY(!FileOps::IsReadOnly(copy));
}

QTEST_MAIN(TestCopyF)
#include "tst_copyf.moc"
