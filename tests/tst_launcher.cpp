// The launcher's file list, file icons and setup runner, and the Windows-1252 decoder.

#include "TestSupport.h"

#include "app/GlobalsU.h"
#include "app/LaunchF.h"
#include "platform/Fonts.h"
#include "toolkit/AnsiText.h"
#include "toolkit/Exceptions.h"
#include "toolkit/FileListBox.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

class TestLauncher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void decodesWindows1252_data();
    void decodesWindows1252();

    void masksMatchLikeWindows_data();
    void masksMatchLikeWindows();
    void listsPlainFilesSortedCaseBlind();
    void listingMakesFolderCurrentAndReplacesEarlierListing();
    void pathWithWildcardSetsFolderAndMask();
    void missingFolderChangesNothing();
    void folderFoundWithoutRegardToCase();

    void iconsComeFromTheFileTypeAtIconSize();
    void iconIndexOutsideListIsRefused();
    void scalableThemeIconsDrawnAtIconSize_data();
    void scalableThemeIconsDrawnAtIconSize();

    void setupFoundInAnyCaseAndMaskRestored_data();
    void setupFoundInAnyCaseAndMaskRestored();
    void setupMissingIsReportedAndNothingStarted_data();
    void setupMissingIsReportedAndNothingStarted();
    void installerForThisSystemStarted_data();
    void installerForThisSystemStarted();

private:
    QString startFolder_;
};

void TestLauncher::initTestCase()
{
    UseOwnIconTheme();
    Fonts::Install();
    startFolder_ = QDir::currentPath();
}

void TestLauncher::init()
{
    QDir::setCurrent(startFolder_);
}

void TestLauncher::cleanup()
{
    QDir::setCurrent(startFolder_);
}

void TestLauncher::decodesWindows1252_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii and line ends kept") << QByteArray("a\r\nb\n") << QStringLiteral("a\r\nb\n");
    QTest::newRow("right single quote") << QByteArray("It\x92s") << QStringLiteral("It\u2019s");
    QTest::newRow("euro, dashes, quotes")
        << QByteArray("\x80\x96\x97\x93x\x94") << QStringLiteral("\u20ac\u2013\u2014\u201cx\u201d");
    QTest::newRow("last of the table") << QByteArray("\x9f\x9e") << QStringLiteral("\u0178\u017e");
    QTest::newRow("unassigned bytes pass through")
        << QByteArray("\x81\x8d\x8f\x90\x9d") << QStringLiteral("\u0081\u008d\u008f\u0090\u009d");
    QTest::newRow("latin-1 above the table") << QByteArray("\xa0\xe9\xff") << QStringLiteral("\u00a0\u00e9\u00ff");
    QTest::newRow("nul kept") << QByteArray("a\0b", 3) << QString(QStringLiteral("a")) + QChar(0) + QStringLiteral("b");
}

void TestLauncher::decodesWindows1252()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(AnsiText::Decode(bytes), text);
}

void TestLauncher::masksMatchLikeWindows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<bool>("matches");
    QTest::newRow("*.* with dot") << "Letter.doc"
                                  << "*.*" << true;
    QTest::newRow("*.* without dot") << "README"
                                     << "*.*" << true;
    QTest::newRow("name case-blind") << "SETUP.EXE"
                                     << "Setup.exe" << true;
    QTest::newRow("other name") << "Setup.exe.bak"
                                << "Setup.exe" << false;
    QTest::newRow("extension case-blind") << "Clip.GIF"
                                          << "*.gif" << true;
    QTest::newRow("extension differs") << "Clip.gifx"
                                       << "*.gif" << false;
    QTest::newRow("second of two patterns") << "tune.WAV"
                                            << "*.gif; *.wav" << true;
    QTest::newRow("neither pattern") << "tune.mp3"
                                     << "*.gif;*.wav" << false;
    QTest::newRow("question mark one char") << "Tool1"
                                            << "Tool?" << true;
    QTest::newRow("question mark not zero chars") << "Tool"
                                                  << "Tool?" << false;
    QTest::newRow("star in the middle") << "Budget 2001.xls"
                                        << "B*1.xls" << true;
    QTest::newRow("name.* without extension") << "Setup"
                                              << "Setup.*" << true;
    QTest::newRow("empty mask") << "a.txt"
                                << "" << false;
}

void TestLauncher::masksMatchLikeWindows()
{
    QFETCH(QString, name);
    QFETCH(QString, mask);
    QFETCH(bool, matches);
    QCOMPARE(TFileListBox::Matches(name, mask), matches);
}

void TestLauncher::listsPlainFilesSortedCaseBlind()
{
    TempDisc disc;
    for (const char *name : {"budget.xls", "Letter.doc", "address.mdb", "ZEBRA.wps", ".hidden.doc", "README"})
        disc.Write(QStringLiteral("Files/Templates/") + QLatin1String(name), "x");
    QDir(disc.Root()).mkpath(QStringLiteral("Files/Templates/Sub folder"));
    QVERIFY(QFile::link(disc.Root() + QStringLiteral("Files/Templates/budget.xls"),
                        disc.Root() + QStringLiteral("Files/Templates/Copy.xls")));

    TFileListBox files;
    files.ApplyFilePath(disc.Root() + QStringLiteral("Files/Templates/"));
    QCOMPARE(files.Items(),
             QStringList({"address.mdb", "budget.xls", "Copy.xls", "Letter.doc", "README", "ZEBRA.wps"}));
    QCOMPARE(files.Mask(), QStringLiteral("*.*"));
    QCOMPARE(files.Directory(), disc.Root() + QStringLiteral("Files/Templates/"));

    files.SetMask(QStringLiteral("*.DOC;*.wps"));
    QCOMPARE(files.Items(), QStringList({"Letter.doc", "ZEBRA.wps"}));
}

void TestLauncher::listingMakesFolderCurrentAndReplacesEarlierListing()
{
    TempDisc disc;
    disc.Write(QStringLiteral("Files/Images/a.gif"), "x");
    disc.Write(QStringLiteral("Files/Sounds/b.wav"), "x");
    TFileListBox files;
    files.ApplyFilePath(disc.Root() + QStringLiteral("Files/Images/"));
    QCOMPARE(QDir::currentPath() + QLatin1Char('/'), disc.Root() + QStringLiteral("Files/Images/"));
    files.ApplyFilePath(disc.Root() + QStringLiteral("Files/Sounds/"));
    QCOMPARE(files.Items(), QStringList({"b.wav"}));
    QCOMPARE(QDir::currentPath() + QLatin1Char('/'), disc.Root() + QStringLiteral("Files/Sounds/"));
}

void TestLauncher::pathWithWildcardSetsFolderAndMask()
{
    TempDisc disc;
    disc.Write(QStringLiteral("Files/Images/one.GIF"), "x");
    disc.Write(QStringLiteral("Files/Images/two.jpg"), "x");
    TFileListBox files;
    files.ApplyFilePath(disc.Root() + QStringLiteral("Files/Images/*.gif"));
    QCOMPARE(files.Mask(), QStringLiteral("*.gif"));
    QCOMPARE(files.Items(), QStringList({"one.GIF"}));
    QCOMPARE(files.Directory(), disc.Root() + QStringLiteral("Files/Images/"));
}

void TestLauncher::missingFolderChangesNothing()
{
    TempDisc disc;
    disc.Write(QStringLiteral("Files/Templates/Letter.doc"), "x");
    TFileListBox files;
    files.ApplyFilePath(disc.Root() + QStringLiteral("Files/Templates/"));
    QDir::setCurrent(startFolder_);

    const QString missing = disc.Root() + QStringLiteral("Files/Nowhere/");
    try {
        files.ApplyFilePath(missing + QStringLiteral("*.txt"));
        QFAIL("listing a missing folder succeeded");
    } catch (const EInOutError &e) {
        QCOMPARE(e.Message(), QStringLiteral("Cannot open file ") + missing);
    }
    QCOMPARE(files.Directory(), disc.Root() + QStringLiteral("Files/Templates/"));
    QCOMPARE(files.Mask(), QStringLiteral("*.*"));
    QCOMPARE(files.Items(), QStringList({"Letter.doc"}));
    QCOMPARE(QDir::currentPath(), startFolder_);

    // A regular file where the folder should be is no folder either.
    QVERIFY_THROWS_EXCEPTION(EInOutError,
                             files.ApplyFilePath(disc.Root() + QStringLiteral("Files/Templates/Letter.doc/")));
    QCOMPARE(files.Items(), QStringList({"Letter.doc"}));
}

void TestLauncher::folderFoundWithoutRegardToCase()
{
    TempDisc disc;
    // A disc mastered with lower-case names only.
    disc.Remove(QStringLiteral("Files"));
    disc.Write(QStringLiteral("files/templates/letter.doc"), "x");
    TFileListBox files;
    files.ApplyFilePath(disc.Root() + QStringLiteral("Files/Templates/"));
    QCOMPARE(files.Items(), QStringList({"letter.doc"}));
    QVERIFY(QFile::exists(files.Directory() + files.Items().first()));
}

namespace {
bool isOpaque(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 255)
                return false;
    return true;
}
} // namespace

void TestLauncher::iconsComeFromTheFileTypeAtIconSize()
{
    TempDisc disc;
    for (const char *name : {"a.doc", "b.xls", "c.mdb"})
        disc.Write(QStringLiteral("Files/Templates/") + QLatin1String(name), "x");
    TLauncher launcher;
    launcher.Files().ApplyFilePath(disc.Root() + QStringLiteral("Files/Templates/"));
    QImage icon(5, 7, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    // Its own icon, the type's generic icon, then (a type the theme lacks) the style's file icon,
    // each into the same bitmap.
    const QColor colours[] = {Qt::red, Qt::green};
    for (int i = 0; i < 3; ++i) {
        launcher.LoadListedFileIcon(i, icon);
        QCOMPARE(icon.size(), QSize(32, 32));
        QVERIFY(isOpaque(icon));
        if (i < 2)
            QCOMPARE(icon.pixelColor(0, 0), colours[i]);
    }
    QVERIFY(icon.pixelColor(0, 0) != colours[1]);
    QVERIFY(icon.pixel(0, 0) != icon.pixel(16, 16) || icon.pixel(0, 0) != icon.pixel(8, 24));
}

void TestLauncher::iconIndexOutsideListIsRefused()
{
    TempDisc disc;
    disc.Write(QStringLiteral("Files/Templates/a.doc"), "x");
    TLauncher launcher;
    launcher.Files().ApplyFilePath(disc.Root() + QStringLiteral("Files/Templates/"));
    QImage icon;
    QVERIFY_THROWS_EXCEPTION(Exception, launcher.LoadListedFileIcon(1, icon));
    QVERIFY_THROWS_EXCEPTION(Exception, launcher.LoadListedFileIcon(-1, icon));
}

void TestLauncher::scalableThemeIconsDrawnAtIconSize_data()
{
    // The theme's bitmap is red; its SVG is blue, 16 units wide, with a yellow corner of one unit in 32.
    QTest::addColumn<QByteArray>("svg");
    QTest::addColumn<QColor>("edge");
    QTest::addColumn<QColor>("centre");
    QTest::addColumn<QColor>("corner");
    QTest::newRow("svg drawn at the icon size")
        << QByteArray("<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16' viewBox='0 0 32 32'>"
                      "<rect width='32' height='32' fill='#0000ff'/>"
                      "<rect x='31' y='31' width='1' height='1' fill='#ffff00'/></svg>")
        << QColor(Qt::blue) << QColor(Qt::blue) << QColor(Qt::yellow);
    QTest::newRow("svg that cannot be drawn leaves the bitmap at its size")
        << QByteArray("<svg xmlns='http://www.w3.org/2000/svg'") << QColor(Qt::white) << QColor(Qt::red)
        << QColor(Qt::white);
}

void TestLauncher::scalableThemeIconsDrawnAtIconSize()
{
    QFETCH(QByteArray, svg);
    QFETCH(QColor, edge);
    QFETCH(QColor, centre);
    QFETCH(QColor, corner);
    const ScalableIconTheme theme(QStringLiteral("application-msword"), Qt::red, svg);
    TempDisc disc;
    disc.Write(QStringLiteral("Files/Templates/a.doc"), "x");
    TLauncher launcher;
    launcher.Files().ApplyFilePath(disc.Root() + QStringLiteral("Files/Templates/"));
    QImage icon;
    launcher.LoadListedFileIcon(0, icon);
    QCOMPARE(icon.pixelColor(0, 0), edge);
    QCOMPARE(icon.pixelColor(16, 16), centre);
    QCOMPARE(icon.pixelColor(31, 31), corner);
}

void TestLauncher::setupFoundInAnyCaseAndMaskRestored_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("as named") << QStringLiteral("Setup.exe");
    QTest::newRow("capitals") << QStringLiteral("SETUP.EXE");
    QTest::newRow("lower case") << QStringLiteral("setup.exe");
}

void TestLauncher::setupFoundInAnyCaseAndMaskRestored()
{
    QFETCH(QString, stored);
    TempDisc disc;
    disc.Write(QStringLiteral("Files/ToolBox/Tool3/") + stored, "MZ");
    disc.Write(QStringLiteral("Files/ToolBox/Tool3/Readme.txt"), "x");
    disc.Write(QStringLiteral("Files/Templates/Letter.doc"), "x");
    FakeOpener opener;
    TLauncher launcher;
    const QString folder = disc.Root() + QStringLiteral("Files/ToolBox/Tool3/");
    launcher.RunFolderSetup(folder);

    const auto calls = opener.Calls(1);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.first().arguments, QStringList({folder + stored}));
    // The installer works in its own folder.
    QCOMPARE(calls.first().folder + QLatin1Char('/'), folder);
    QCOMPARE(launcher.Files().Mask(), QStringLiteral("*.*"));
    QCOMPARE(launcher.Files().Items(), QStringList({"Readme.txt", stored}));

    // The template list lists with the mask the setup run left behind.
    launcher.Files().ApplyFilePath(disc.Root() + QStringLiteral("Files/Templates/"));
    QCOMPARE(launcher.Files().Items(), QStringList({"Letter.doc"}));
}

void TestLauncher::setupMissingIsReportedAndNothingStarted_data()
{
    QTest::addColumn<bool>("folderExists");
    QTest::newRow("folder without Setup.exe") << true;
    QTest::newRow("missing folder") << false;
}

void TestLauncher::setupMissingIsReportedAndNothingStarted()
{
    QFETCH(bool, folderExists);
    TempDisc disc;
    disc.Write(QStringLiteral("Files/Templates/Letter.doc"), "x");
    disc.Write(QStringLiteral("Files/ToolBox/Tool2/Install.exe"), "MZ");
    if (!folderExists)
        disc.Remove(QStringLiteral("Files/ToolBox/Tool2"));
    FakeOpener opener;
    TLauncher launcher;
    launcher.Files().ApplyFilePath(disc.Root() + QStringLiteral("Files/Templates/"));

    const QString folder = disc.Root() + QStringLiteral("Files/ToolBox/Tool2/");
    try {
        launcher.RunFolderSetup(folder);
        QFAIL("a missing installer was not reported");
    } catch (const EFOpenError &e) {
        QCOMPARE(e.Message(), QStringLiteral("Cannot open file ") + folder + QStringLiteral("Setup.exe"));
    }
    QCOMPARE(launcher.Files().Mask(), QStringLiteral("*.*"));
    QCOMPARE(opener.Calls(1, 300).size(), 0);
}

void TestLauncher::installerForThisSystemStarted_data()
{
    QTest::addColumn<QStringList>("files"); // an x after the name: executable
    QTest::addColumn<bool>("wine");
    QTest::addColumn<QString>("started"); // run in its folder, or none
    QTest::addColumn<QString>("error");
    // clang-format off
    QTest::newRow("script beside Setup.exe") << QStringList{"setup.sh x", "Setup.exe"} << true << "setup.sh" << "";
    QTest::newRow("AppImage in capitals") << QStringList{"SETUP.APPIMAGE x", "Setup.exe"} << false << "SETUP.APPIMAGE" << "";
    QTest::newRow("script not executable") << QStringList{"Setup.sh"} << false << "Setup.sh" << "";
    QTest::newRow("AppImage not executable") << QStringList{"Setup.AppImage", "Setup.exe"} << true << ""
                                             << "Setup.AppImage cannot be started: it is not executable";
    QTest::newRow("Setup.exe without Wine") << QStringList{"Setup.exe"} << false << ""
                                            << "Setup.exe is an installer for Windows, and this computer cannot run "
                                               "Windows programs";
    // clang-format on
}

void TestLauncher::installerForThisSystemStarted()
{
    QFETCH(QStringList, files);
    QFETCH(bool, wine);
    QFETCH(QString, started);
    QFETCH(QString, error);
    TempDisc disc;
    for (const QString &file : files) {
        // Each installer notes the folder it ran in beside itself.
        const QString path = disc.Write(QStringLiteral("Files/ToolBox/Tool2/") + file.section(u' ', 0, 0),
                                        "#!/bin/sh\npwd > \"$0.ran\"\n");
        QFile::setPermissions(path, file.endsWith(QStringLiteral(" x")) ? QFile::ReadOwner | QFile::ExeOwner
                                                                        : QFile::ReadOwner);
    }
    FakeOpener opener;
    opener.SetRunsWindowsPrograms(wine);
    TLauncher launcher;
    const QString folder = disc.Root() + QStringLiteral("Files/ToolBox/Tool2/");
    const auto ranIn = [&folder](const QString &name) {
        QFile note(folder + name + QStringLiteral(".ran"));
        return note.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(note.readAll()).trimmed() + u'/' : QString();
    };
    try {
        launcher.RunFolderSetup(folder);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    } catch (const EInstallerError &e) {
        QCOMPARE(e.Message(), folder + error);
    }
    if (!started.isEmpty())
        QTRY_COMPARE(ranIn(started), folder);
    // Never through the desktop's opener.
    QCOMPARE(opener.Calls(0, 300).size(), 0);
}

QTEST_MAIN(TestLauncher)
#include "tst_launcher.moc"
