// Writes that fail or are cut off: the settings file written by a process that is killed or runs
// out of room, a settings file that cannot be written, and a template copy onto a full disk.
// The files on the hard disk are always the old ones or the whole new ones.

#include "CopyDialogDriver.h"
#include "TestSupport.h"

#include "app/CopyF.h"
#include "platform/FileOps.h"
#include "platform/ProfileFile.h"
#include "toolkit/Dispatch.h"
#include "toolkit/Exceptions.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <memory>
#include <sys/resource.h>

namespace {

const QString CopyError = QStringLiteral("An error has occured whilst copying the file");
const QString Section = QStringLiteral("Template");
constexpr int FillerKeys = 3000;

// The file-size limit lowered for its lifetime, with the signal that would end the process ignored,
// so that writes past the limit fail as on a full disk (root ignores permission bits).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

// A settings file of some size: other programs' keys around the template entries.
QByteArray FilledSettings(const QString &letterFolder)
{
    QByteArray content = "; settings of the Brindlemoor discs\n[Template]\nLetter.doc=" + letterFolder.toUtf8() + '\n';
    for (int i = 0; i < FillerKeys; ++i)
        content +=
            "Filler" + QByteArray::number(i) + ".doc=/home/someone/Documents/folder " + QByteArray::number(i) + "/\n";
    content += "[Other]\nkept=yes\n";
    return content;
}

// Whether the settings file is whole: every filler key and the other section in place.
bool Whole(const QByteArray &content)
{
    return content.endsWith("[Other]\nkept=yes\n") &&
           ProfileFile::ValueIn(content, Section, QStringLiteral("Filler%1.doc").arg(FillerKeys - 1), {}) ==
               QStringLiteral("/home/someone/Documents/folder %1/").arg(FillerKeys - 1);
}

// The child side: records the folder of path, again and again when asked, under an optional limit.
int RunWriter(const QStringList &arguments)
{
    const QString path = arguments.value(0);
    const int times = arguments.value(1).toInt();
    const long limit = arguments.value(2).toLong();
    std::unique_ptr<FileSizeLimit> limited;
    if (limit > 0)
        limited = std::make_unique<FileSizeLimit>(rlim_t(limit));
    try {
        for (int i = 0; i < times; ++i)
            CopyF::RecordTemplateFolder(times == 1 ? path : path.arg(i));
    } catch (const Exception &error) {
        QTextStream(stdout) << error.Message();
        return 3;
    }
    return 0;
}

// A home, a configuration folder and a disc of their own for each test.
class Workspace
{
public:
    Workspace()
    {
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        disc.Activate(QStringLiteral("CD07"));
    }

    QString Settings() const { return CopyF::SettingsFileName(); }
    // The names in the configuration folder.
    QStringList ConfigEntries() const
    {
        return QDir(config.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }

    // Starts this test program as a writer of the settings file.
    std::unique_ptr<QProcess> StartWriter(const QString &path, int times, qint64 limit) const
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::SeparateChannels);
        process->start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--settings-writer"), path, QString::number(times), QString::number(limit)});
        return process;
    }

    QTemporaryDir home;
    QTemporaryDir config;
    TempDisc disc;
};

} // namespace

class TestWriteFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(false); }
    void cleanup() { QTRY_VERIFY(!CopyDialogDriver::Showing()); }

    void settingsWriterOutOfRoomKeepsOldFile_data();
    void settingsWriterOutOfRoomKeepsOldFile();
    void settingsWriterKilledMidWrite();
    void unwritableSettingsReportedAndCopyKept_data();
    void unwritableSettingsReportedAndCopyKept();
    void templateCopyOntoFullDisk();
};

void TestWriteFaults::settingsWriterOutOfRoomKeepsOldFile_data()
{
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("written");
    const qint64 size = FilledSettings(QStringLiteral("/old/")).size();
    QTest::newRow("no room at all") << qint64(1) << false;
    QTest::newRow("room for a few lines") << qint64(200) << false;
    QTest::newRow("room for half") << size / 2 << false;
    QTest::newRow("one byte short") << size + qint64(std::strlen("/home/new folder/")) - qint64(std::strlen("/old/")) -
                                           1
                                    << false;
    QTest::newRow("room enough") << size * 2 << true;
}

void TestWriteFaults::settingsWriterOutOfRoomKeepsOldFile()
{
    QFETCH(qint64, limit);
    QFETCH(bool, written);
    Workspace space;
    const QByteArray old = FilledSettings(QStringLiteral("/old/"));
    QVERIFY(FileOps::ReplaceFile(space.Settings(), old));

    const auto writer = space.StartWriter(QStringLiteral("/home/new folder/Letter.doc"), 1, limit);
    QVERIFY(writer->waitForFinished(30000));
    QCOMPARE(writer->exitStatus(), QProcess::NormalExit);
    const QByteArray now = ReadAll(space.Settings());
    if (written) {
        QCOMPARE(writer->exitCode(), 0);
        QCOMPARE(now, FilledSettings(QStringLiteral("/home/new folder/")));
    } else {
        QCOMPARE(writer->exitCode(), 3);
        QCOMPARE(QString::fromUtf8(writer->readAllStandardOutput()),
                 QStringLiteral("Unable to write to ") + space.Settings());
        QCOMPARE(now, old);
    }
    QCOMPARE(space.ConfigEntries(), QStringList{QStringLiteral("BrindlePC.Ini")});
}

void TestWriteFaults::settingsWriterKilledMidWrite()
{
    Workspace space;
    QVERIFY(FileOps::ReplaceFile(space.Settings(), FilledSettings(QStringLiteral("/start/"))));
    const QRegularExpression written(QStringLiteral("^(/start/|/home/u/run \\d+/)$"));
    const QRegularExpression leftover(QStringLiteral("^BrindlePC\\.Ini(\\.\\w{6})?$"));
    QRandomGenerator random(7);
    int changes = 0;
    for (int round = 0; round < 25; ++round) {
        const auto writer = space.StartWriter(QStringLiteral("/home/u/run %1/Letter.doc"), 100000, 0);
        QVERIFY(writer->waitForStarted(10000));
        if (round == 0) // however slowly the writer starts, the kills fall among real writes
            QTRY_VERIFY_WITH_TIMEOUT(!ReadAll(space.Settings()).contains("Letter.doc=/start/"), 20000);
        QTest::qWait(int(random.bounded(20, 120)));
        QCOMPARE(writer->state(), QProcess::Running);
        writer->kill();
        QVERIFY(writer->waitForFinished(10000));

        const QByteArray content = ReadAll(space.Settings());
        QVERIFY2(Whole(content), qPrintable(QStringLiteral("torn after round %1").arg(round)));
        const QString letter = ProfileFile::ValueIn(content, Section, QStringLiteral("Letter.doc"), {});
        QVERIFY2(written.match(letter).hasMatch(), qPrintable(letter));
        changes += letter != QLatin1String("/start/");
        // A writer killed between writing its temporary copy and renaming it over the settings file
        // leaves that copy behind (nothing can clean up after SIGKILL); nothing else may appear.
        for (const QString &entry : space.ConfigEntries())
            QVERIFY2(leftover.match(entry).hasMatch(), qPrintable(entry));
        QVERIFY(space.ConfigEntries().contains(QStringLiteral("BrindlePC.Ini")));
    }
    QVERIFY(changes > 0);
}

void TestWriteFaults::unwritableSettingsReportedAndCopyKept_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("settings file without write permission") << true;
    QTest::newRow("no room for the settings file") << false;
}

void TestWriteFaults::unwritableSettingsReportedAndCopyKept()
{
    QFETCH(bool, readOnly);
    Workspace space;
    ErrorRecorder errors;
    FileDialogAnswers dialogs;
    space.disc.Write(QStringLiteral("Files/Templates/Letter.doc"), "letter template");
    const QByteArray old = FilledSettings(QStringLiteral("/old/"));
    QVERIFY(FileOps::ReplaceFile(space.Settings(), old));
    if (readOnly)
        QFile::setPermissions(space.Settings(), QFile::ReadOwner | QFile::ReadGroup);

    QString destination;
    bool located = false;
    {
        // Room for the template but not for the settings file.
        const std::unique_ptr<FileSizeLimit> limit = readOnly ? nullptr : std::make_unique<FileSizeLimit>(4096);
        CopyDialogDriver driver({
            [](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCopy"); },
            [](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCancel"); },
        });
        located = CopyF::LocateTemplate(space.disc.Root() + QStringLiteral("Files/Templates/Letter.doc"), destination);
        QVERIFY(driver.AllStepsRun());
        // The dialog stayed open after the error, and the user could still leave it.
        QCOMPARE(driver.pages, (QList<int>{0, 0}));
    }
    QVERIFY(!located);
    QCOMPARE(errors.errors, QStringList{QStringLiteral("Unable to write to ") + space.Settings() + QLatin1Char('.')});
    QCOMPARE(ReadAll(space.Settings()), old);
    QCOMPARE(space.ConfigEntries(), QStringList{QStringLiteral("BrindlePC.Ini")});
    const QString copy = CopyF::DefaultTemplateFolder() + QStringLiteral("Letter.doc");
    QCOMPARE(ReadAll(copy), QByteArray("letter template"));

    // The program carries on: with room again, the same template is recorded.
    if (readOnly)
        QFile::setPermissions(space.Settings(), QFile::ReadOwner | QFile::WriteOwner);
    Dispatch::Guarded([&] { CopyF::RecordTemplateFolder(copy); });
    QCOMPARE(errors.errors.size(), 1);
    QCOMPARE(CopyF::LookUpTemplateFolder(copy), CopyF::DefaultTemplateFolder());
}

void TestWriteFaults::templateCopyOntoFullDisk()
{
    Workspace space;
    ErrorRecorder errors;
    FileDialogAnswers dialogs;
    const QByteArray letter(256 * 1024, 'L');
    space.disc.Write(QStringLiteral("Files/Templates/Letter.doc"), letter);
    const QString folder = CopyF::DefaultTemplateFolder();

    QString destination;
    bool located = false;
    {
        const FileSizeLimit limit(64 * 1024);
        CopyDialogDriver driver({
            [](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCopy"); },
            [](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCancel"); },
        });
        located = CopyF::LocateTemplate(space.disc.Root() + QStringLiteral("Files/Templates/Letter.doc"), destination);
        QVERIFY(driver.AllStepsRun());
    }
    QVERIFY(!located);
    QCOMPARE(errors.messages, QStringList{CopyError});
    QVERIFY(errors.errors.isEmpty());
    // Nothing half-copied, nothing remembered.
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
             QStringList());
    QVERIFY(!QFileInfo::exists(space.Settings()));
}

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--settings-writer") == 0) {
        QCoreApplication app(argc, argv);
        QStandardPaths::setTestModeEnabled(false);
        return RunWriter(QCoreApplication::arguments().mid(2));
    }
    QApplication app(argc, argv);
    TestWriteFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_writefaults.moc"
