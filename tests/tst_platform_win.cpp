#include "app/CopyF.h"
#include "app/GlobalsU.h"
#include "platform/FileOps.h"
#include "platform/InstanceChannel.h"
#include "platform/InstanceLock.h"
#include "platform/ProfileFile.h"
#include "platform/SystemFolders.h"

#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <thread>

#include <windows.h>

// FileOps::CopyFile, not the system's macro for CopyFileA or CopyFileW.
#undef CopyFile

namespace {
const QString Section = QStringLiteral("Template");

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

DWORD attributesOf(const QString &path)
{
    return GetFileAttributesA(native(path).toLocal8Bit().constData());
}

bool setAttributes(const QString &path, DWORD attributes)
{
    return SetFileAttributesA(native(path).toLocal8Bit().constData(), attributes);
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

// The outcome of acquiring the lock called name on a thread of its own (the mutex belongs to a thread).
InstanceLock::Outcome acquireElsewhere(const QString &name)
{
    InstanceLock::Outcome outcome = InstanceLock::Outcome::Failed;
    std::thread other([&] { outcome = InstanceLock(name).Acquire(0); });
    other.join();
    return outcome;
}
} // namespace

// The platform layer on Windows' own interfaces: profile strings, copies and attributes, the
// settings file's place, the start-up mutex and the window a later start finds.
class TestPlatformWin : public QObject
{
    Q_OBJECT

private slots:
    void profileStringsRoundTripCaseBlind_data();
    void profileStringsRoundTripCaseBlind();
    void profileRefusesWhatItCannotHold_data();
    void profileRefusesWhatItCannotHold();

    void copyKeepsTheUsersFile();
    void copiesBecomeWritable_data();
    void copiesBecomeWritable();
    void listingLeavesOutHiddenAndSystemFiles();

    void settingsFileFallsBackToApplicationData_data();
    void settingsFileFallsBackToApplicationData();
    void discContextUsesBackslashes_data();
    void discContextUsesBackslashes();

    void mutexIsExclusiveAndAbandonedCounts();
    void laterStartFindsAndRestoresTheMenu();

private:
    QTemporaryDir dir_;
};

void TestPlatformWin::profileStringsRoundTripCaseBlind_data()
{
    QTest::addColumn<QString>("writtenKey");
    QTest::addColumn<QString>("readSection");
    QTest::addColumn<QString>("readKey");
    QTest::addColumn<QString>("value");
    QTest::newRow("same names") << "Letter.doc"
                                << "Template"
                                << "Letter.doc"
                                << "C:\\BrindlePC\\CD-ROM7\\";
    QTest::newRow("other case") << "Letter.doc"
                                << "TEMPLATE"
                                << "LETTER.DOC"
                                << "D:\\Work\\";
    QTest::newRow("blanks kept") << "Budget.xls"
                                 << "template"
                                 << "budget.XLS"
                                 << "  C:\\Odd \\  ";
    QTest::newRow("quotes kept") << "Quote.doc"
                                 << "Template"
                                 << "quote.doc"
                                 << "\"C:\\Quoted\\\"";
    // Wine compares only the ASCII letters of a name without regard to case.
    QTest::newRow("latin-1 name") << "Résumé.doc"
                                  << "Template"
                                  << "RéSUMé.DOC"
                                  << "C:\\Café\\";
}

void TestPlatformWin::profileStringsRoundTripCaseBlind()
{
    QFETCH(QString, writtenKey);
    QFETCH(QString, readSection);
    QFETCH(QString, readKey);
    QFETCH(QString, value);
    const QString file = native(dir_.filePath(QStringLiteral("round.ini")));
    QVERIFY(ProfileFile::WriteString(file, Section, writtenKey, QStringLiteral("first")));
    QVERIFY(ProfileFile::WriteString(file, Section, writtenKey, value));
    QCOMPARE(ProfileFile::ReadString(file, readSection, readKey, QStringLiteral("ERROR")), value);
    QCOMPARE(ProfileFile::ReadString(file, readSection, QStringLiteral("Missing.doc"), QStringLiteral("ERROR")),
             QStringLiteral("ERROR"));
}

void TestPlatformWin::profileRefusesWhatItCannotHold_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("readOnlyFile");
    QTest::newRow("equals in key") << "Template"
                                   << "a=b.doc"
                                   << "C:\\" << false;
    QTest::newRow("bracket in front") << "Template"
                                      << "[x.doc"
                                      << "C:\\" << false;
    QTest::newRow("line break in key") << "Template"
                                       << "a\nb.doc"
                                       << "C:\\" << false;
    QTest::newRow("line break in value") << "Template"
                                         << "a.doc"
                                         << "C:\\\r\n[Other]" << false;
    QTest::newRow("bracket in section") << "Tem]plate"
                                        << "a.doc"
                                        << "C:\\" << false;
    QTest::newRow("read-only file") << "Template"
                                    << "a.doc"
                                    << "C:\\" << true;
}

void TestPlatformWin::profileRefusesWhatItCannotHold()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(bool, readOnlyFile);
    const QString file = native(dir_.filePath(QStringLiteral("refused.ini")));
    const QByteArray before = "[Template]\r\nKept.doc=C:\\Kept\\\r\n";
    QVERIFY(writeFile(file, before));
    if (readOnlyFile)
        QVERIFY(setAttributes(file, FILE_ATTRIBUTE_READONLY));
    QVERIFY(!ProfileFile::WriteString(file, section, key, value));
    QCOMPARE(ReadAll(file), before);
    QVERIFY(setAttributes(file, FILE_ATTRIBUTE_NORMAL));
    QVERIFY(QFile::remove(file));
}

void TestPlatformWin::copyKeepsTheUsersFile()
{
    const QString source = dir_.filePath(QStringLiteral("disc/Letter.doc"));
    const QString destination = native(dir_.filePath(QStringLiteral("user/Letter.doc")));
    QVERIFY(FileOps::ForceDirectories(dir_.filePath(QStringLiteral("disc"))));
    QVERIFY(writeFile(source, "the disc's template"));
    QVERIFY(CopyF::CopyTemplateFile(source, destination));
    QCOMPARE(ReadAll(destination), QByteArray("the disc's template"));
    QVERIFY(writeFile(destination, "the user's letter"));
    QVERIFY(!FileOps::CopyFile(source, destination, true));
    QVERIFY(CopyF::CopyTemplateFile(source, destination));
    QCOMPARE(ReadAll(destination), QByteArray("the user's letter"));
    // A read-only file is not replaced even when asked to.
    QVERIFY(setAttributes(destination, FILE_ATTRIBUTE_READONLY));
    QVERIFY(!FileOps::CopyFile(source, destination, false));
    QCOMPARE(ReadAll(destination), QByteArray("the user's letter"));
}

void TestPlatformWin::copiesBecomeWritable_data()
{
    QTest::addColumn<uint>("sourceAttributes");
    QTest::newRow("read-only") << uint(FILE_ATTRIBUTE_READONLY);
    QTest::newRow("read-only hidden") << uint(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    QTest::newRow("hidden system") << uint(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    QTest::newRow("plain") << uint(FILE_ATTRIBUTE_NORMAL);
}

void TestPlatformWin::copiesBecomeWritable()
{
    QFETCH(uint, sourceAttributes);
    const QString source = native(dir_.filePath(QStringLiteral("Source.doc")));
    const QString copy = native(dir_.filePath(QStringLiteral("copies/Copy.doc")));
    QVERIFY(writeFile(source, "template"));
    QVERIFY(setAttributes(source, sourceAttributes));
    QVERIFY(FileOps::ForceDirectories(dir_.filePath(QStringLiteral("copies"))));
    QVERIFY(FileOps::CopyFile(source, copy, true));
    QCOMPARE(FileOps::IsReadOnly(copy), bool(sourceAttributes & FILE_ATTRIBUTE_READONLY));
    CopyF::MakeFileWritable(copy);
    const DWORD after = attributesOf(copy);
    QCOMPARE(after & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), DWORD(0));
    QVERIFY(after & FILE_ATTRIBUTE_ARCHIVE);
    QVERIFY(writeFile(copy, "edited"));
    QVERIFY(setAttributes(source, FILE_ATTRIBUTE_NORMAL));
    QVERIFY(QFile::remove(source) && QFile::remove(copy));
}

void TestPlatformWin::listingLeavesOutHiddenAndSystemFiles()
{
    const QString folder = dir_.filePath(QStringLiteral("listed"));
    QVERIFY(FileOps::ForceDirectories(folder + QStringLiteral("/folder.gif")));
    for (const char *name : {"b.GIF", "a.gif", "hidden.gif", "system.gif", "sound.wav"})
        QVERIFY(writeFile(folder + QLatin1Char('/') + QLatin1String(name), "x"));
    QVERIFY(setAttributes(folder + QStringLiteral("/hidden.gif"), FILE_ATTRIBUTE_HIDDEN));
    QVERIFY(setAttributes(folder + QStringLiteral("/system.gif"), FILE_ATTRIBUTE_SYSTEM));
    QCOMPARE(FileOps::ListFiles(native(folder), QStringLiteral("*.gif")), QStringList({"a.gif", "b.GIF"}));
    // Made writable, a hidden file is a plain one again.
    FileOps::MakeWritable(folder + QStringLiteral("/hidden.gif"));
    QCOMPARE(FileOps::ListFiles(folder, QStringLiteral("*.GIF")), QStringList({"a.gif", "b.GIF", "hidden.gif"}));
}

void TestPlatformWin::settingsFileFallsBackToApplicationData_data()
{
    QTest::addColumn<QByteArray>("existing"); // empty: no file in the Windows folder
    QTest::addColumn<uint>("attributes");
    QTest::addColumn<bool>("inWindowsFolder");
    QTest::newRow("none yet") << QByteArray() << uint(FILE_ATTRIBUTE_NORMAL) << true;
    QTest::newRow("writable file") << QByteArray("[Template]\r\n") << uint(FILE_ATTRIBUTE_NORMAL) << true;
    QTest::newRow("standard user") << QByteArray("[Template]\r\n") << uint(FILE_ATTRIBUTE_READONLY) << false;
}

void TestPlatformWin::settingsFileFallsBackToApplicationData()
{
    QFETCH(QByteArray, existing);
    QFETCH(uint, attributes);
    QFETCH(bool, inWindowsFolder);
    const QString inWindows = qEnvironmentVariable("SystemRoot") + QStringLiteral("\\BrindlePC.Ini");
    const QString inApplicationData = qEnvironmentVariable("APPDATA") + QStringLiteral("\\BrindlePC.Ini");
    const auto removeAll = [&] {
        setAttributes(inWindows, FILE_ATTRIBUTE_NORMAL);
        QFile::remove(inWindows);
        QFile::remove(inApplicationData);
    };
    removeAll();
    const auto cleanup = qScopeGuard(removeAll);
    if (!existing.isEmpty()) {
        QVERIFY(writeFile(inWindows, existing));
        QVERIFY(setAttributes(inWindows, attributes));
    }
    const QString expected = inWindowsFolder ? inWindows : inApplicationData;
    QCOMPARE(CopyF::SettingsFileName(), expected);
    // Probing the Windows folder leaves nothing behind, and the chosen file takes the record.
    QCOMPARE(QFile::exists(inWindows), !existing.isEmpty());
    CopyF::RecordTemplateFolder(QStringLiteral("C:\\BrindlePC\\CD-ROM7\\Letter.doc"));
    QCOMPARE(ProfileFile::ReadString(expected, Section, QStringLiteral("letter.doc"), QStringLiteral("ERROR")),
             QStringLiteral("C:\\BrindlePC\\CD-ROM7\\"));
    if (!inWindowsFolder)
        QCOMPARE(ReadAll(inWindows), existing);
}

void TestPlatformWin::discContextUsesBackslashes_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("disc");
    QTest::addColumn<QString>("interfaceFolder");
    QTest::newRow("CD07.exe") << "D:/CD07.exe" << 7 << "D:\\Files\\Interface\\Green\\";
    QTest::newRow("MENU.EXE") << "E:/Discs/MENU.EXE" << 0 << "E:\\Discs\\Files\\Interface\\Blue\\";
    QTest::newRow("CD0004.EXE") << "D:\\CD0004.EXE" << 4 << "D:\\Files\\Interface\\Blue\\";
}

void TestPlatformWin::discContextUsesBackslashes()
{
    QFETCH(QString, program);
    QFETCH(int, disc);
    QFETCH(QString, interfaceFolder);
    GlobalsU::InitDiscContext(program);
    QCOMPARE(GlobalsU::DiscNumber(), disc);
    QCOMPARE(GlobalsU::InterfaceFolder(), interfaceFolder);
    QCOMPARE(CopyF::DefaultTemplateFolder(), QStringLiteral("C:\\BrindlePC\\CD-ROM%1\\").arg(disc));
    QCOMPARE(GlobalsU::WithTrailingBackslash(QStringLiteral(" C:\\Temp ")), QStringLiteral("C:\\Temp\\"));
    QCOMPARE(CopyF::AppendBackslash(QString()), QStringLiteral("\\"));
}

void TestPlatformWin::mutexIsExclusiveAndAbandonedCounts()
{
    const QString name = QStringLiteral("SingleInstanceProgramHMutex-%1").arg(GetCurrentProcessId());
    {
        InstanceLock holder(name);
        QCOMPARE(holder.Acquire(0), InstanceLock::Outcome::Acquired);
        QCOMPARE(acquireElsewhere(name), InstanceLock::Outcome::TimedOut);
        holder.Release();
        QCOMPARE(acquireElsewhere(name), InstanceLock::Outcome::Acquired);
    }
    // A holder whose thread ends without giving the mutex up leaves it abandoned: the next start takes it.
    InstanceLock survivor(name); // keeps the mutex in existence after its holder's end
    HANDLE kept = nullptr;
    std::thread dying([&] {
        kept = CreateMutexA(nullptr, FALSE, name.toLocal8Bit().constData());
        WaitForSingleObject(kept, 0);
    });
    dying.join();
    QCOMPARE(survivor.Acquire(0), InstanceLock::Outcome::Acquired);
    CloseHandle(kept);
}

void TestPlatformWin::laterStartFindsAndRestoresTheMenu()
{
    QWidget menu;
    menu.setWindowTitle(QStringLiteral("Brindlemoor"));
    menu.resize(320, 240);
    menu.show();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    const QString windowClass = QStringLiteral("TfrmMain%1").arg(GetCurrentProcessId());
    QVERIFY(!InstanceChannel(windowClass, QStringLiteral("Brindlemoor")).RaiseRunningCopy());
    {
        InstanceChannel running(windowClass, QStringLiteral("Brindlemoor"));
        QVERIFY(running.Listen(&menu));
        const HWND found = FindWindowA(windowClass.toLocal8Bit().constData(), "Brindlemoor");
        QVERIFY(found);
        QCOMPARE(GetWindow(found, GW_OWNER), reinterpret_cast<HWND>(menu.winId()));
        QVERIFY(!IsWindowVisible(found));
        menu.showMinimized();
        QTRY_VERIFY(IsIconic(reinterpret_cast<HWND>(menu.winId())));
        QVERIFY(InstanceChannel(windowClass, QStringLiteral("Brindlemoor")).RaiseRunningCopy());
        QTRY_VERIFY(!IsIconic(reinterpret_cast<HWND>(menu.winId())));
        QTRY_VERIFY(!menu.isMinimized());
    }
    // Once the running menu's channel is gone, nothing is found.
    QVERIFY(!InstanceChannel(windowClass, QStringLiteral("Brindlemoor")).RaiseRunningCopy());
}

int main(int argc, char **argv)
{
    // The window search needs the system's own windows, not the offscreen platform's.
    qputenv("QT_QPA_PLATFORM", "windows");
    QApplication app(argc, argv);
    TestPlatformWin test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platform_win.moc"
