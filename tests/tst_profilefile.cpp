#include "platform/FileOps.h"
#include "platform/ProfileFile.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {
bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

// Lowers the file-size limit for its lifetime, so that writes past it fail (root ignores permissions).
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
} // namespace

// The settings-file rules and the file operations under them.
class TestProfileFile : public QObject
{
    Q_OBJECT

private slots:
    void readsByProfileRules_data();
    void readsByProfileRules();
    void cutsLongValues();
    void writeKeepsTheRestOfTheFile_data();
    void writeKeepsTheRestOfTheFile();
    void refusesWhatCannotBeStored_data();
    void refusesWhatCannotBeStored();
    void valuesRoundTripVerbatim_data();
    void valuesRoundTripVerbatim();
    void survivesArbitraryBytes();

    void createsFileAndFolderOnFirstWrite();
    void refusesFileWithoutOwnerWrite();
    void refusesWhenFolderCannotBeMade();
    void writesThroughSymbolicLinkAndKeepsPermissions();
    void failedWriteLeavesOldFile();

    void copyHonoursFailIfExistsAndReadOnly();
    void copyMirrorsReadOnlySource();
    void failedCopyLeavesNoTornFile();
    void makeWritableAddsOwnerWrite();
    void listsPlainFilesCaseBlind();
};

void TestProfileFile::readsByProfileRules_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QByteArray file = "; settings\n"
                            "[Other]\n"
                            "Letter.doc=/wrong/\n"
                            "[ Template ]\n"
                            "  Letter.DOC  =  /home/u/My Docs\\Old\\  \n"
                            "quoted=\"  spaced  \"\n"
                            "single='x'\n"
                            "half=\"open\n"
                            "empty=\n"
                            "stored=ERROR\n"
                            "[Template]\n"
                            "late=never\n";
    QTest::newRow("key and section case-blind, blanks trimmed, backslashes kept") << file << "template"
                                                                                  << "letter.doc"
                                                                                  << "/home/u/My Docs\\Old\\";
    QTest::newRow("double quotes stripped") << file << "Template"
                                            << "quoted"
                                            << "  spaced  ";
    QTest::newRow("single quotes stripped") << file << "Template"
                                            << "single"
                                            << "x";
    QTest::newRow("unmatched quote kept") << file << "Template"
                                          << "half"
                                          << "\"open";
    QTest::newRow("empty value") << file << "Template"
                                 << "empty"
                                 << "";
    QTest::newRow("ERROR as a stored value") << file << "Template"
                                             << "stored"
                                             << "ERROR";
    QTest::newRow("second section of the same name unread") << file << "Template"
                                                            << "late"
                                                            << "default";
    QTest::newRow("missing key") << file << "Template"
                                 << "none"
                                 << "default";
    QTest::newRow("missing section") << file << "Nowhere"
                                     << "Letter.doc"
                                     << "default";
    QTest::newRow("key of another section") << QByteArray("[A]\nk=1\n[B]\n") << "B"
                                            << "k"
                                            << "default";
    QTest::newRow("CRLF lines") << QByteArray("[Template]\r\nk=v\r\n") << "Template"
                                << "k"
                                << "v";
    QTest::newRow("no final line feed") << QByteArray("[Template]\nk=v") << "Template"
                                        << "k"
                                        << "v";
    QTest::newRow("comment line holding no entry") << QByteArray("[Template]\n;k\nk=v\n") << "Template"
                                                   << "k"
                                                   << "v";
    QTest::newRow("empty file") << QByteArray() << "Template"
                                << "k"
                                << "default";
}

void TestProfileFile::readsByProfileRules()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    QCOMPARE(ProfileFile::ValueIn(content, section, key, QStringLiteral("default")), expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BrindlePC.Ini"));
    QVERIFY(writeFile(path, content));
    QCOMPARE(ProfileFile::ReadString(path, section, key, QStringLiteral("default")), expected);
}

void TestProfileFile::cutsLongValues()
{
    const QString value(3000, QLatin1Char('v'));
    const QByteArray content = "[T]\nk=" + value.toUtf8() + "\n";
    QCOMPARE(ProfileFile::ValueIn(content, QStringLiteral("T"), QStringLiteral("k"), {}),
             QString(ProfileFile::MaxValueLength, QLatin1Char('v')));
    QTemporaryDir dir;
    QCOMPARE(ProfileFile::ReadString(dir.filePath(QStringLiteral("missing.ini")), QStringLiteral("T"),
                                     QStringLiteral("k"), QStringLiteral("ERROR")),
             QStringLiteral("ERROR"));
}

void TestProfileFile::writeKeepsTheRestOfTheFile_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new file") << QByteArray() << QByteArray("[Template]\nLetter.doc=/home/u/Work\\ A/\n");
    QTest::newRow("replaces the value, keeps the key's spelling and the comments")
        << QByteArray("; my notes\n[template]\n  LETTER.DOC = /old/\n; keep\n[Other]\nx=1\n")
        << QByteArray("; my notes\n[template]\n  LETTER.DOC =/home/u/Work\\ A/\n; keep\n[Other]\nx=1\n");
    QTest::newRow("new key at the end of its section, before the blank line")
        << QByteArray("[Template]\na=1\n\n[Other]\nx=1\n")
        << QByteArray("[Template]\na=1\nLetter.doc=/home/u/Work\\ A/\n\n[Other]\nx=1\n");
    QTest::newRow("new section after the others")
        << QByteArray("[Other]\nx=1") << QByteArray("[Other]\nx=1\n\n[Template]\nLetter.doc=/home/u/Work\\ A/\n");
    QTest::newRow("CRLF file keeps CRLF")
        << QByteArray("[Template]\r\na=1\r\n") << QByteArray("[Template]\r\na=1\r\nLetter.doc=/home/u/Work\\ A/\r\n");
    QTest::newRow("section without final line feed")
        << QByteArray("[Template]\na=1") << QByteArray("[Template]\na=1\nLetter.doc=/home/u/Work\\ A/\n");
}

void TestProfileFile::writeKeepsTheRestOfTheFile()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);

    const QString key = QStringLiteral("Letter.doc");
    const QString value = QStringLiteral("/home/u/Work\\ A/");
    QCOMPARE(ProfileFile::WithValue(before, QStringLiteral("Template"), key, value).value_or("refused"), after);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BrindlePC.Ini"));
    if (!before.isEmpty())
        QVERIFY(writeFile(path, before));
    QVERIFY(ProfileFile::WriteString(path, QStringLiteral("Template"), key, value));
    QCOMPARE(ReadAll(path), after);
    QCOMPARE(ProfileFile::ReadString(path, QStringLiteral("TEMPLATE"), key.toUpper(), {}), value);
}

void TestProfileFile::refusesWhatCannotBeStored_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("line feed in value") << "Template"
                                        << "k"
                                        << "a\nb";
    QTest::newRow("carriage return in value") << "Template"
                                              << "k"
                                              << "a\rb";
    QTest::newRow("NUL in value") << "Template"
                                  << "k" << QString(QChar(0));
    QTest::newRow("line feed in key") << "Template"
                                      << "a\nb"
                                      << "v";
    QTest::newRow("equals sign in key") << "Template"
                                        << "a=b"
                                        << "v";
    QTest::newRow("key opening a section") << "Template"
                                           << "[x"
                                           << "v";
    QTest::newRow("key opening a section after blanks") << "Template"
                                                        << "  [x"
                                                        << "v";
    QTest::newRow("blank key") << "Template"
                               << "  "
                               << "v";
    QTest::newRow("bracket in section") << "Temp]late"
                                        << "k"
                                        << "v";
    QTest::newRow("line feed in section") << "Temp\nlate"
                                          << "k"
                                          << "v";
}

void TestProfileFile::refusesWhatCannotBeStored()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);

    const QByteArray before("[Template]\nk=old\n");
    QVERIFY(!ProfileFile::WithValue(before, section, key, value));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BrindlePC.Ini"));
    QVERIFY(writeFile(path, before));
    QVERIFY(!ProfileFile::WriteString(path, section, key, value));
    QCOMPARE(ReadAll(path), before);
    const QString fresh = dir.filePath(QStringLiteral("fresh.ini"));
    QVERIFY(!ProfileFile::WriteString(fresh, section, key, value));
    QVERIFY(!QFileInfo::exists(fresh));
}

void TestProfileFile::valuesRoundTripVerbatim_data()
{
    QTest::addColumn<QString>("value");

    QTest::newRow("backslashes and inner blanks") << "C:\\Brindle PC\\CD-ROM3\\";
    QTest::newRow("leading and trailing blanks") << "  /home/u/dir /  ";
    QTest::newRow("surrounded by quotes") << "\"quoted\"";
    QTest::newRow("single quote alone") << "'";
    QTest::newRow("equals signs and brackets") << "a=b[c]";
    QTest::newRow("semicolon") << "; not a comment";
    QTest::newRow("non-ASCII") << QString::fromUtf8("/home/zoë/Müll/");
    QTest::newRow("empty") << "";
}

void TestProfileFile::valuesRoundTripVerbatim()
{
    QFETCH(QString, value);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BrindlePC.Ini"));
    QVERIFY(ProfileFile::WriteString(path, QStringLiteral("Template"), QStringLiteral("k"), value));
    QCOMPARE(ProfileFile::ReadString(path, QStringLiteral("Template"), QStringLiteral("k"), QStringLiteral("ERROR")),
             value);
}

void TestProfileFile::survivesArbitraryBytes()
{
    // Whatever a settings file holds, reading it is safe and a write leaves a file that reads back.
    QRandomGenerator random(20261208);
    const char alphabet[] = "[]=;\"' \t\r\nkKvV\0\xff\xc3";
    for (int round = 0; round < 500; ++round) {
        QByteArray content;
        const int size = random.bounded(200);
        for (int i = 0; i < size; ++i)
            content +=
                random.bounded(4) == 0 ? char(random.bounded(256)) : alphabet[random.bounded(int(sizeof alphabet) - 1)];
        ProfileFile::ValueIn(content, QStringLiteral("k"), QStringLiteral("k"), {});
        const std::optional<QByteArray> written =
            ProfileFile::WithValue(content, QStringLiteral("K"), QStringLiteral("kv"), QStringLiteral("' v ='"));
        QVERIFY(written);
        QCOMPARE(ProfileFile::ValueIn(*written, QStringLiteral("k"), QStringLiteral("KV"), {}),
                 QStringLiteral("' v ='"));
        // Only the one entry is added: everything that was there is still there, in order.
        qsizetype from = 0;
        for (const QByteArray &line : content.split('\n')) {
            const qsizetype at = written->indexOf(line, from);
            QVERIFY2(at >= 0, content.toHex().constData());
            from = at + line.size();
        }
    }
}

void TestProfileFile::createsFileAndFolderOnFirstWrite()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config/deeper/BrindlePC.Ini"));
    QVERIFY(ProfileFile::WriteString(path, QStringLiteral("Template"), QStringLiteral("a.doc"), QStringLiteral("/x/")));
    QCOMPARE(ReadAll(path), QByteArray("[Template]\na.doc=/x/\n"));
}

void TestProfileFile::refusesFileWithoutOwnerWrite()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BrindlePC.Ini"));
    QVERIFY(writeFile(path, "[Template]\n"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::WriteGroup));
    QVERIFY(!ProfileFile::WriteString(path, QStringLiteral("Template"), QStringLiteral("a"), QStringLiteral("b")));
    QCOMPARE(ReadAll(path), QByteArray("[Template]\n"));
    QCOMPARE(ProfileFile::ReadString(path, QStringLiteral("Template"), QStringLiteral("a"), QStringLiteral("ERROR")),
             QStringLiteral("ERROR"));
}

void TestProfileFile::refusesWhenFolderCannotBeMade()
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("config"));
    QVERIFY(writeFile(blocker, "a file where the folder should be"));
    QVERIFY(!ProfileFile::WriteString(blocker + QStringLiteral("/BrindlePC.Ini"), QStringLiteral("Template"),
                                      QStringLiteral("a"), QStringLiteral("b")));
    QCOMPARE(ReadAll(blocker), QByteArray("a file where the folder should be"));
    // A folder standing where the file should be is not a settings file either.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("BrindlePC.Ini")));
    QVERIFY(!ProfileFile::WriteString(dir.filePath(QStringLiteral("BrindlePC.Ini")), QStringLiteral("Template"),
                                      QStringLiteral("a"), QStringLiteral("b")));
}

void TestProfileFile::writesThroughSymbolicLinkAndKeepsPermissions()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("real/settings.ini"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("real")));
    QVERIFY(writeFile(target, "[Template]\n"));
    const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(target, permissions));
    const QString link = dir.filePath(QStringLiteral("BrindlePC.Ini"));
    QVERIFY(QFile::link(QStringLiteral("real/settings.ini"), link));

    QVERIFY(ProfileFile::WriteString(link, QStringLiteral("Template"), QStringLiteral("a"), QStringLiteral("/b/")));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(ReadAll(target), QByteArray("[Template]\na=/b/\n"));
    QCOMPARE(QFile::permissions(target) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser), permissions);
    QCOMPARE(QDir(dir.filePath(QStringLiteral("real"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("settings.ini")});

    // A link to a file not yet made creates the target.
    QVERIFY(QFile::link(QStringLiteral("real/later.ini"), dir.filePath(QStringLiteral("later"))));
    QVERIFY(ProfileFile::WriteString(dir.filePath(QStringLiteral("later")), QStringLiteral("T"), QStringLiteral("k"),
                                     QStringLiteral("v")));
    QCOMPARE(ReadAll(dir.filePath(QStringLiteral("real/later.ini"))), QByteArray("[T]\nk=v\n"));

    // A loop of links is refused.
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("loopB")), dir.filePath(QStringLiteral("loopA"))));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("loopA")), dir.filePath(QStringLiteral("loopB"))));
    QVERIFY(!ProfileFile::WriteString(dir.filePath(QStringLiteral("loopA")), QStringLiteral("T"), QStringLiteral("k"),
                                      QStringLiteral("v")));
}

void TestProfileFile::failedWriteLeavesOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BrindlePC.Ini"));
    const QByteArray before = "[Template]\nkeep=this\n";
    QVERIFY(writeFile(path, before));
    {
        const FileSizeLimit limit(before.size() + 4);
        QVERIFY(!ProfileFile::WriteString(path, QStringLiteral("Template"), QStringLiteral("long.doc"),
                                          QString(200, QLatin1Char('x'))));
    }
    QCOMPARE(ReadAll(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("BrindlePC.Ini")});
}

void TestProfileFile::copyHonoursFailIfExistsAndReadOnly()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.doc"));
    const QString destination = dir.filePath(QStringLiteral("copy.doc"));
    QVERIFY(writeFile(source, "new"));

    QVERIFY(FileOps::CopyFile(source, destination, true));
    QCOMPARE(ReadAll(destination), QByteArray("new"));

    QVERIFY(writeFile(destination, "user's"));
    QVERIFY(!FileOps::CopyFile(source, destination, true));
    QCOMPARE(ReadAll(destination), QByteArray("user's"));
    QVERIFY(FileOps::CopyFile(source, destination, false));
    QCOMPARE(ReadAll(destination), QByteArray("new"));

    // A read-only file is not replaced, also for root.
    QVERIFY(writeFile(destination, "locked"));
    QVERIFY(QFile::setPermissions(destination, QFile::ReadOwner));
    QVERIFY(!FileOps::CopyFile(source, destination, false));
    QCOMPARE(ReadAll(destination), QByteArray("locked"));

    QVERIFY(!FileOps::CopyFile(dir.filePath(QStringLiteral("missing")), dir.filePath(QStringLiteral("x")), false));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("x"))));
    QVERIFY(!FileOps::CopyFile(dir.path(), dir.filePath(QStringLiteral("x")), false));
    QVERIFY(!FileOps::CopyFile(source, dir.path(), false));
}

void TestProfileFile::copyMirrorsReadOnlySource()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("disc.doc"));
    QVERIFY(writeFile(source, "template"));
    QVERIFY(QFile::setPermissions(source, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QString destination = dir.filePath(QStringLiteral("copy.doc"));
    QVERIFY(FileOps::CopyFile(source, destination, false));
    QVERIFY(FileOps::IsReadOnly(destination));
    QVERIFY(!(QFile::permissions(destination) & (QFile::WriteGroup | QFile::WriteOther)));
    QVERIFY(!(QFile::permissions(destination) & QFile::ExeOwner));
}

void TestProfileFile::failedCopyLeavesNoTornFile()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("big.doc"));
    QVERIFY(writeFile(source, QByteArray(100000, 'b')));
    const QString destination = dir.filePath(QStringLiteral("copy.doc"));
    QVERIFY(writeFile(destination, "old"));
    {
        const FileSizeLimit limit(4096);
        QVERIFY(!FileOps::CopyFile(source, destination, false));
        QVERIFY(!FileOps::CopyFile(source, dir.filePath(QStringLiteral("fresh.doc")), false));
    }
    QCOMPARE(ReadAll(destination), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{QStringLiteral("big.doc"), QStringLiteral("copy.doc")}));
}

void TestProfileFile::makeWritableAddsOwnerWrite()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral(".hidden.doc"));
    QVERIFY(writeFile(path, "x"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    FileOps::MakeWritable(path);
    QCOMPARE(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QVERIFY(QFileInfo::exists(path));

    FileOps::MakeWritable(dir.filePath(QStringLiteral("missing")));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("missing"))));
}

void TestProfileFile::listsPlainFilesCaseBlind()
{
    QTemporaryDir dir;
    for (const char *name : {"b.gif", "A.GIF", "c.Gif", ".hidden.gif", "d.png", "gif"})
        QVERIFY(writeFile(dir.filePath(QLatin1String(name)), "x"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.gif")));
    QCOMPARE(FileOps::ListFiles(dir.path(), QStringLiteral("*.gif")),
             (QStringList{QStringLiteral("A.GIF"), QStringLiteral("b.gif"), QStringLiteral("c.Gif")}));
    QCOMPARE(FileOps::ListFiles(dir.filePath(QStringLiteral("missing")), QStringLiteral("*.gif")), QStringList());
}

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
