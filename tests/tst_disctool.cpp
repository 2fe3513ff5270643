#include "DiscToolSupport.h"
#include "EDiscError.h"
#include "GifWriter.h"
#include "ImageReader.h"
#include "StartOrder.h"
#include "WavWriter.h"

#include "platform/Fonts.h"
#include "toolkit/AnsiText.h"
#include "toolkit/RzEdit.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QXmlStreamReader>
#include <QtEndian>

#include <cstring>

namespace {

using Outcome = ToolOutcome;

Outcome runTool(const QStringList &arguments, const QString &shellPrefix = {})
{
    return WithoutStandIns(RunTool(QStringLiteral(BRINDLE_DISC_TOOL), arguments, shellPrefix));
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &content)
{
    QVERIFY2(WriteFile(path, content), qPrintable(path));
}

QByteArray bitmapBytes(int width, int height, const QColor &colour, const char *format = "BMP")
{
    return BitmapBytes(width, height, colour, format);
}

void writeArt(const QString &art)
{
    QVERIFY(WriteDiscArt(art));
}

// Stands in for the menu program: an executable the loader reads like one, needing only the C library.
void writeProgram(const QString &path)
{
    writeAll(path, ElfFile({QStringLiteral("libc.so.6")}, {}, {}, 62, 4096));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

qsizetype countBareLineFeeds(const QByteArray &bytes)
{
    qsizetype bare = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if ((bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) ||
            (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            ++bare;
    }
    return bare;
}

const QStringList LayoutFiles = {
    QStringLiteral("Files/Interface/Blue/MainBack.bmp"),
    QStringLiteral("Files/Interface/Red/MainBack.bmp"),
    QStringLiteral("Files/Interface/Purple/MainBack.bmp"),
    QStringLiteral("Files/Interface/Green/MainBack.bmp"),
    QStringLiteral("Files/Sample Pics/Sampleware.bmp"),
    QStringLiteral("Files/Text Files/Zip.txt"),
    QStringLiteral("Files/Text Files/Flash.txt"),
    QStringLiteral("Files/Text Files/Acrobat.txt"),
    QStringLiteral("Files/Text Files/Real.txt"),
    QStringLiteral("Files/Text Files/Sample.txt"),
    QStringLiteral("Files/Text Files/Extra File.txt"),
    QStringLiteral("Files/Sample/Setup.exe"),
    QStringLiteral("Files/ToolBox/Tool1/Setup.exe"),
    QStringLiteral("Files/ToolBox/Tool2/Setup.exe"),
    QStringLiteral("Files/ToolBox/Tool3/Setup.exe"),
    QStringLiteral("Files/ToolBox/Tool4/Setup.exe"),
    QStringLiteral("Files/Web Files/Order.html"),
    QStringLiteral("Files/Web Files/Help.html"),
    QStringLiteral("autorun.sh"),
};

QStringList filesIn(const QString &folder, const QString &pattern)
{
    return QDir(folder).entryList({pattern}, QDir::Files, QDir::Name);
}

} // namespace

// The disc tool as a publisher runs it: mastering a disc folder and checking one.
class TestDiscTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void makeLaysOutTheWholeDisc();
    void makeTakesThePublishersContent();
    void makeNamesTheDiscAfterTheProgram();
    void makeRefusesAndLeavesNothingBehind_data();
    void makeRefusesAndLeavesNothingBehind();
    void makeFailingToWriteLeavesNoDisc();
    void makeWarnsAboutOddArtAndNamesButGoesOn();
    void autorunStartsTheMenuFromTheDisc_data();
    void autorunStartsTheMenuFromTheDisc();
    void makeLaysOutADiscForBothSystems_data();
    void makeLaysOutADiscForBothSystems();

    void textsAreWindowsTextsThatFitTheirBoxes_data();
    void textsAreWindowsTextsThatFitTheirBoxes();
    void picturesAndSoundsDecode();
    void templatesHoldTheirFormats();

    void gifRoundTrip_data();
    void gifRoundTrip();
    void gifReducesRichPictures();
    void wavHeaderDescribesTheSamples_data();
    void wavHeaderDescribesTheSamples();

    void checkFindsTheStandInsOfAFreshDisc();
    void checkReportsEachFault_data();
    void checkReportsEachFault();
    void checkRejectsWhatIsNotAFolder();
    void commandLineIsAnswered_data();
    void commandLineIsAnswered();

    void imageIsTheSameForTheSameFolder();
    void imageCarriesTheLabelAndPublisherGiven();
    void imageLaysTheStartOutTogether();
    void imageRefusesAndLeavesNothingBehind_data();
    void imageRefusesAndLeavesNothingBehind();
    void checkReportsImageFaults_data();
    void checkReportsImageFaults();

private:
    // A freshly mastered disc in the test's folder; its path.
    QString makeDisc(const QString &name = QStringLiteral("CD07"));
    void mutate(const QString &disc, const QString &operation);
    // The image of folder, mastered at the given time; its path, empty when it could not be made.
    QString makeImage(const QString &folder, const QString &name, qint64 epoch = 1234567890);

    QTemporaryDir work_;
    QString art_;
    QString program_;
    QString disc_; // made once, only read
    std::unique_ptr<QTemporaryDir> scratch_;
};

void TestDiscTool::initTestCase()
{
    QVERIFY(work_.isValid());
    art_ = work_.filePath(QStringLiteral("art"));
    writeArt(art_);
    program_ = work_.filePath(QStringLiteral("bin/brindlemoor"));
    writeProgram(program_);
    // A program that names no Qt library has Qt linked in: its licences and sources travel beside it.
    QVERIFY(WriteRuntimeLicences(work_.filePath(QStringLiteral("bin/Runtime"))));
    disc_ = work_.filePath(QStringLiteral("disc"));
    const Outcome made =
        runTool({QStringLiteral("make"), disc_, QStringLiteral("--program"), program_, QStringLiteral("--art"), art_});
    QVERIFY2(made.status == 0, qPrintable(made.errors));
}

void TestDiscTool::init()
{
    scratch_ = std::make_unique<QTemporaryDir>();
    QVERIFY(scratch_->isValid());
}

QString TestDiscTool::makeDisc(const QString &name)
{
    const QString disc = scratch_->filePath(QStringLiteral("disc"));
    const Outcome made = runTool({QStringLiteral("make"), disc, QStringLiteral("--program"), program_,
                                  QStringLiteral("--art"), art_, QStringLiteral("--name"), name});
    if (made.status != 0)
        qWarning().noquote() << made.errors;
    return made.status == 0 ? disc : QString();
}

void TestDiscTool::makeLaysOutTheWholeDisc()
{
    const QString disc = makeDisc();
    QVERIFY(!disc.isEmpty());
    for (const QString &file : LayoutFiles)
        QVERIFY2(QFileInfo(disc + QLatin1Char('/') + file).isFile(), qPrintable(file));
    for (const QString &art :
         {QStringLiteral("Files/Interface/Green/MainBack.bmp"), QStringLiteral("Files/Sample Pics/Sampleware.bmp")})
        QCOMPARE(readAll(disc + QLatin1Char('/') + art), readAll(art_ + QLatin1Char('/') + art));

    const QFileInfo program(disc + QStringLiteral("/CD07"));
    QVERIFY(program.isFile());
    QVERIFY(!program.isSymLink());
    QVERIFY(program.isExecutable());
    QCOMPARE(readAll(program.filePath()), readAll(program_));
    QVERIFY(QFileInfo(disc + QStringLiteral("/autorun.sh")).isExecutable());

    const QString templates = disc + QStringLiteral("/Files/Templates");
    for (const char *type : {"*.doc", "*.xls", "*.mdb", "*.wks", "*.wps"})
        QVERIFY2(!filesIn(templates, QLatin1String(type)).isEmpty(), type);
    QVERIFY(filesIn(disc + QStringLiteral("/Files/Images"), QStringLiteral("*.gif")).size() >= 2);
    QVERIFY(filesIn(disc + QStringLiteral("/Files/Sounds"), QStringLiteral("*.wav")).size() >= 2);

    // Nothing of the staging work is left beside the disc.
    QCOMPARE(QDir(scratch_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("disc")});
}

// The publisher's own files, in the disc's layout in any letter case, with the sample's wherever they give none.
void TestDiscTool::makeTakesThePublishersContent()
{
    const QString content = scratch_->filePath(QStringLiteral("content"));
    const QList<std::pair<QString, QString>> own{
        {"files/interface/green/mainback.bmp", "Files/Interface/Green/MainBack.bmp"},
        {"FILES/TEXT FILES/zip.txt", "Files/Text Files/Zip.txt"},
        {"Files/Templates/Minutes.odt", "Files/Templates/Minutes.odt"},
        {"Files/toolbox/tool2/Setup.exe", "Files/ToolBox/Tool2/Setup.exe"},
        {"Files/toolbox/tool2/setup.sh", "Files/ToolBox/Tool2/setup.sh"},
        {"Files/Web Files/Order.html", "Files/Web Files/Order.html"},
        {"Files/Extras/Read me.txt", "Files/Extras/Read me.txt"},
    };
    for (const auto &[given, placed] : own) {
        writeAll(content + QLatin1Char('/') + given,
                 placed.endsWith(QStringLiteral(".bmp")) ? readAll(art_ + QLatin1Char('/') + placed) : placed.toUtf8());
    }
    writeAll(content + QStringLiteral("/Files/.notes"), "left out");
    // A disc made before brings a start script of its own.
    writeAll(content + QStringLiteral("/autorun.sh"), "an old disc's");
    const QString disc = scratch_->filePath(QStringLiteral("disc"));
    const Outcome made = runTool({QStringLiteral("make"), disc, QStringLiteral("--program"), program_,
                                  QStringLiteral("--content"), QDir::current().relativeFilePath(content)});
    QVERIFY2(made.status == 0, qPrintable(made.errors));
    QVERIFY(made.errors.contains(
        QStringLiteral("warning: Files/Extras/Read me.txt: not a file the menu reads; copied onto the disc as it is")));
    QVERIFY(made.errors.contains(QStringLiteral("warning: Files/.notes: hidden; left out")));
    QVERIFY(made.errors.contains(QStringLiteral("warning: autorun.sh: make lays it out itself; left out")));
    QVERIFY(readAll(disc + QStringLiteral("/autorun.sh")) != "an old disc's");

    QStringList fromSample = made.lines.filter(QStringLiteral("from the sample: "));
    fromSample.replaceInStrings(QStringLiteral("from the sample: "), QString());
    // Every file of the disc's Files/ is the publisher's own, where it was given, or one listed.
    QStringList onDisc;
    QDirIterator walk(disc + QStringLiteral("/Files"), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (walk.hasNext())
        onDisc.append(walk.next().mid(disc.size() + 1));
    for (const QString &file : onDisc) {
        const auto given = std::find_if(own.cbegin(), own.cend(), [&file](const auto &o) { return o.second == file; });
        if (given == own.cend())
            QVERIFY2(fromSample.contains(file), qPrintable(file));
        else
            QCOMPARE(readAll(disc + QLatin1Char('/') + file), readAll(content + QLatin1Char('/') + given->first));
    }
    QCOMPARE(onDisc.size(), fromSample.size() + own.size());
    // Only the scheme's backdrop is needed; the sample's templates give way to the publisher's.
    QVERIFY(!QFileInfo::exists(disc + QStringLiteral("/Files/Interface/Blue")));
    QCOMPARE(filesIn(disc + QStringLiteral("/Files/Templates"), QStringLiteral("*")),
             QStringList{QStringLiteral("Minutes.odt")});
    QCOMPARE(runTool({QStringLiteral("check"), disc}).status, 0);
}

void TestDiscTool::makeNamesTheDiscAfterTheProgram()
{
    // An empty folder is taken over as the disc.
    QVERIFY(QDir(scratch_->path()).mkdir(QStringLiteral("disc")));
    const QString disc = makeDisc(QStringLiteral("DISC12"));
    QVERIFY(!disc.isEmpty());
    QVERIFY(QFileInfo(disc + QStringLiteral("/DISC12")).isExecutable());
    QVERIFY(!QFileInfo::exists(disc + QStringLiteral("/CD07")));
    // The help page names the folder the menu copies this disc's templates to.
    const QByteArray help = readAll(disc + QStringLiteral("/Files/Web Files/Help.html"));
    QVERIFY(help.contains("BrindlePC/CD-ROM12"));
    QVERIFY(readAll(disc + QStringLiteral("/autorun.sh")).contains("DISC12"));
}

void TestDiscTool::makeRefusesAndLeavesNothingBehind_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing backdrop") << "art without Green" << 1
                                      << "has no Files/Interface/Green/MainBack.bmp, the backdrop of the disc's "
                                         "colour scheme";
    QTest::newRow("two names for one place") << "art with two names" << 1 << "one place on a disc";
    QTest::newRow("artwork not a bitmap") << "art with a PNG" << 1 << "is not a valid Windows bitmap";
    QTest::newRow("no program") << "program missing" << 1 << "is not an executable file";
    QTest::newRow("folder not empty") << "target not empty" << 1 << "is not empty";
    QTest::newRow("name with a folder") << "name a/b" << 1 << "not a plain, visible file name";
    QTest::newRow("name taken by the layout") << "name files" << 1 << "taken by the disc's own files";
    QTest::newRow("digits too many") << "name CD99999999999" << 1 << "above 2147483647";
    QTest::newRow("name Windows cannot read")
        << "windows CD?07" << 1 << "the program name \"CD?07.exe\" holds \"?\", which Joliet replaces";
    QTest::newRow("no content option") << "no art option" << 2 << "make needs --program and --content";
    QTest::newRow("unknown command") << "burn" << 2 << "unknown command burn";
}

void TestDiscTool::makeRefusesAndLeavesNothingBehind()
{
    QFETCH(QString, situation);
    QFETCH(int, status);
    QFETCH(QString, message);

    QString art = art_;
    QString program = program_;
    QString name = QStringLiteral("CD07");
    QString command = QStringLiteral("make");
    const QString disc = scratch_->filePath(QStringLiteral("disc"));
    if (situation.startsWith(QStringLiteral("art "))) {
        art = scratch_->filePath(QStringLiteral("art"));
        writeArt(art);
        if (situation.endsWith(QStringLiteral("Green"))) {
            QVERIFY(QFile::remove(art + QStringLiteral("/Files/Interface/Green/MainBack.bmp")));
        } else if (situation.endsWith(QStringLiteral("autorun.sh"))) {
            writeAll(art + QStringLiteral("/autorun.sh"), "#!/bin/sh\n");
        } else if (situation.endsWith(QStringLiteral("two names"))) {
            writeAll(art + QStringLiteral("/Files/Templates/Letter.doc"), "one");
            writeAll(art + QStringLiteral("/files/templates/LETTER.DOC"), "two");
        } else {
            writeAll(art + QStringLiteral("/Files/Sample Pics/Sampleware.bmp"), bitmapBytes(214, 180, Qt::red, "PNG"));
        }
    } else if (situation == QStringLiteral("program missing")) {
        program = scratch_->filePath(QStringLiteral("nothing"));
    } else if (situation == QStringLiteral("target not empty")) {
        writeAll(disc + QStringLiteral("/notes.txt"), "keep me");
    } else if (situation.startsWith(QStringLiteral("name ")) || situation.startsWith(QStringLiteral("windows "))) {
        name = situation.section(QLatin1Char(' '), 1);
    } else if (situation != QStringLiteral("no art option")) {
        command = situation;
    }

    QStringList arguments{command, disc, QStringLiteral("--program"), program, QStringLiteral("--name"), name};
    if (situation != QStringLiteral("no art option"))
        arguments << QStringLiteral("--art") << art;
    if (situation.startsWith(QStringLiteral("windows ")))
        arguments << QStringLiteral("--windows-program")
                  << WriteWindowsProgram(scratch_->filePath(QStringLiteral("win")));
    const QStringList before = QDir(scratch_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const Outcome outcome = runTool(arguments);
    QCOMPARE(outcome.status, status);
    QVERIFY2(outcome.errors.contains(message), qPrintable(outcome.errors));
    QCOMPARE(QDir(scratch_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
    if (situation == QStringLiteral("target not empty"))
        QCOMPARE(QDir(disc).entryList(QDir::Files), QStringList{QStringLiteral("notes.txt")});
}

void TestDiscTool::makeFailingToWriteLeavesNoDisc()
{
    // A file-size limit below the size of a backdrop makes the copy fail half-way.
    const QString disc = scratch_->filePath(QStringLiteral("disc"));
    const Outcome outcome =
        runTool({QStringLiteral("make"), disc, QStringLiteral("--program"), program_, QStringLiteral("--art"), art_},
                QStringLiteral("trap '' XFSZ; ulimit -f 100;"));
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.errors.contains(QStringLiteral("cannot")), qPrintable(outcome.errors));
    QVERIFY(QDir(scratch_->path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void TestDiscTool::makeWarnsAboutOddArtAndNamesButGoesOn()
{
    const QString art = scratch_->filePath(QStringLiteral("art"));
    writeArt(art);
    writeAll(art + QStringLiteral("/Files/Interface/Blue/MainBack.bmp"), bitmapBytes(320, 240, Qt::blue));
    const QString disc = scratch_->filePath(QStringLiteral("disc"));
    const Outcome made = runTool({QStringLiteral("make"), disc, QStringLiteral("--program"), program_,
                                  QStringLiteral("--art"), art, QStringLiteral("--name"), QStringLiteral("MENU")});
    QCOMPARE(made.status, 0);
    QVERIFY(made.lines.last().startsWith(QStringLiteral("disc 0 (blue scheme) written to ")));
    const QStringList warnings = made.errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(warnings.size(), 2);
    QVERIFY(warnings.at(0).startsWith(QStringLiteral("warning: the program name \"MENU\" has no digits")));
    QVERIFY(warnings.at(1).endsWith(QStringLiteral("Blue/MainBack.bmp is 320x240, not 640x480")));
    QVERIFY(readAll(disc + QStringLiteral("/Files/Web Files/Help.html")).contains("BrindlePC/CD-ROM0"));

    // The made disc is what the check expects of a starter disc with that backdrop.
    const Outcome checked = runTool({QStringLiteral("check"), disc});
    QCOMPARE(checked.status, 0);
    QCOMPARE(checked.lines.size(), 2);
}

void TestDiscTool::autorunStartsTheMenuFromTheDisc_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("CD07");
    QTest::newRow("blanks and quotes") << QStringLiteral("CD 07 'Gold' $(x)");
}

void TestDiscTool::autorunStartsTheMenuFromTheDisc()
{
    QFETCH(QString, name);
    // A program that records the folder it was started in and its arguments.
    const QString recorder = work_.filePath(QStringLiteral("recorder"));
    const QString record = scratch_->filePath(QStringLiteral("record.txt"));
    writeAll(recorder, "#!/bin/sh\n{ pwd; printf '%s\\n' \"$@\"; } > \"$RECORD\"\n");
    QFile::setPermissions(recorder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString disc = scratch_->filePath(QStringLiteral("disc"));
    const Outcome made = runTool({QStringLiteral("make"), disc, QStringLiteral("--program"), recorder,
                                  QStringLiteral("--art"), art_, QStringLiteral("--name"), name});
    QCOMPARE(made.status, 0);

    QProcess autorun;
    autorun.setWorkingDirectory(work_.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("RECORD"), record);
    autorun.setProcessEnvironment(environment);
    autorun.start(disc + QStringLiteral("/autorun.sh"), {QStringLiteral("one arg")});
    QVERIFY(autorun.waitForFinished(10000));
    QCOMPARE(autorun.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(readAll(record)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines, (QStringList{QFileInfo(disc).canonicalFilePath(), QStringLiteral("one arg")}));
}

void TestDiscTool::makeLaysOutADiscForBothSystems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("autorun");
    QTest::newRow("disc 7") << QStringLiteral("CD07")
                            << QByteArray("[autorun]\r\nopen=CD07.exe\r\nicon=CD07.exe,0\r\nlabel=Brindlemoor CD-Rom "
                                          "7\r\n");
    QTest::newRow("a name with a blank") << QStringLiteral("CD 12")
                                         << QByteArray("[autorun]\r\nopen=\"CD 12.exe\"\r\nicon=CD 12.exe,0\r\n"
                                                       "label=Brindlemoor CD-Rom 12\r\n");
    QTest::newRow("starter disc beyond ASCII, in UTF-16")
        << QStringLiteral("Menü")
        << QByteArray("\xff\xfe") +
               QStringEncoder(QStringEncoder::Utf16LE)(
                   u"[autorun]\r\nopen=Menü.exe\r\nicon=Menü.exe,0\r\nlabel=Brindlemoor Starter CD\r\n");
}

void TestDiscTool::makeLaysOutADiscForBothSystems()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, autorun);
    const QString windows = WriteWindowsProgram(scratch_->filePath(QStringLiteral("windows")));
    QVERIFY(!windows.isEmpty());
    const QString disc = scratch_->filePath(QStringLiteral("disc"));
    const Outcome made =
        runTool({QStringLiteral("make"), disc, QStringLiteral("--program"), program_, QStringLiteral("--art"), art_,
                 QStringLiteral("--name"), name, QStringLiteral("--windows-program"), windows});
    QVERIFY2(made.status == 0, qPrintable(made.errors));
    QCOMPARE(readAll(disc + QLatin1Char('/') + name + QStringLiteral(".exe")), readAll(windows));
    QCOMPARE(readAll(disc + QStringLiteral("/autorun.inf")), autorun);
    QCOMPARE(runTool({QStringLiteral("check"), disc}).lines.filter(QStringLiteral("error: ")), QStringList());

    // The program of a disc for both takes only its own system's runtime onto a disc for one.
    const QString linux = scratch_->filePath(QStringLiteral("linux"));
    const Outcome linuxOnly = runTool({QStringLiteral("make"), linux, QStringLiteral("--program"),
                                       disc + QLatin1Char('/') + name, QStringLiteral("--art"), art_});
    QVERIFY2(linuxOnly.status == 0, qPrintable(linuxOnly.errors));
    QVERIFY(!QFileInfo::exists(linux + QStringLiteral("/autorun.inf")));
    QStringList runtime;
    for (QDirIterator it(linux + QStringLiteral("/Runtime"), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        runtime.append(it.next().mid(linux.size() + 1));
    QVERIFY(runtime.contains(QStringLiteral("Runtime/fonts/LiberationSans-Regular.ttf")));
    QVERIFY(runtime.contains(QStringLiteral("Runtime/licences/README.txt")));
    QCOMPARE(runtime.filter(QRegularExpression(QStringLiteral("\\.(dll|manifest)$"))), QStringList());
}

void TestDiscTool::textsAreWindowsTextsThatFitTheirBoxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("box");
    QTest::newRow("Zip") << QStringLiteral("Zip.txt") << QSize(150, 45);
    QTest::newRow("Flash") << QStringLiteral("Flash.txt") << QSize(150, 45);
    QTest::newRow("Acrobat") << QStringLiteral("Acrobat.txt") << QSize(150, 45);
    QTest::newRow("Real") << QStringLiteral("Real.txt") << QSize(150, 45);
    QTest::newRow("Sample") << QStringLiteral("Sample.txt") << QSize(204, 79);
    QTest::newRow("Extra File") << QStringLiteral("Extra File.txt") << QSize(214, 133);
}

void TestDiscTool::textsAreWindowsTextsThatFitTheirBoxes()
{
    QFETCH(QString, name);
    QFETCH(QSize, box);
    const QByteArray bytes = readAll(disc_ + QStringLiteral("/Files/Text Files/") + name);
    QVERIFY(!bytes.isEmpty());
    QVERIFY(bytes.contains("\r\n"));
    QCOMPARE(countBareLineFeeds(bytes), 0);
    // Windows-1252, not UTF-8: at least one byte above 0x7f, and the bytes do not decode as UTF-8.
    QVERIFY(std::any_of(bytes.cbegin(), bytes.cend(), [](char c) { return static_cast<uchar>(c) > 0x7f; }));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString asUtf8 = utf8.decode(bytes);
    QVERIFY(utf8.hasError());

    // Shown in the menu's framed text box in the window's font, the whole text is visible at once.
    Fonts::Install();
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    TRzRichEdit edit;
    edit.setFont(font);
    edit.SetFrameVisible(true);
    edit.SetFrameFlat(true);
    edit.resize(box);
    edit.SetText(AnsiText::Decode(bytes));
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.document()->setTextWidth(edit.viewport()->width());
    QVERIFY2(edit.document()->size().height() <= edit.viewport()->height(),
             qPrintable(QStringLiteral("%1 high in a box %2 high")
                            .arg(edit.document()->size().height())
                            .arg(edit.viewport()->height())));
}

void TestDiscTool::picturesAndSoundsDecode()
{
    const QString &disc = disc_;
    const QString images = disc + QStringLiteral("/Files/Images/");
    for (const QString &name : filesIn(images, QStringLiteral("*.gif"))) {
        const QByteArray bytes = readAll(images + name);
        QVERIFY(bytes.startsWith("GIF89a"));
        const QImage picture = QImage::fromData(bytes, "GIF");
        QVERIFY2(!picture.isNull(), qPrintable(name));
        QVERIFY(picture.width() >= 32 && picture.height() >= 32);
        // A drawing, not a blank: the corner (background) and the middle differ.
        QVERIFY2(picture.pixel(0, 0) != picture.pixel(picture.width() / 2, picture.height() / 2), qPrintable(name));
    }
    const QString sounds = disc + QStringLiteral("/Files/Sounds/");
    for (const QString &name : filesIn(sounds, QStringLiteral("*.wav"))) {
        const QByteArray bytes = readAll(sounds + name);
        QVERIFY(bytes.size() > 44);
        QCOMPARE(bytes.left(4), QByteArray("RIFF"));
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 4), quint32(bytes.size() - 8));
        QCOMPARE(bytes.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 20), quint16(1)); // PCM
        QCOMPARE(bytes.mid(36, 4), QByteArray("data"));
        const quint32 rate = qFromLittleEndian<quint32>(bytes.constData() + 24);
        const quint32 data = qFromLittleEndian<quint32>(bytes.constData() + 40);
        QCOMPARE(data, quint32(bytes.size() - 44));
        QVERIFY2(data / 2 > rate / 4, qPrintable(name)); // longer than a quarter of a second
        // Audible: the loudest sample is well above silence.
        qint16 loudest = 0;
        for (qsizetype at = 44; at + 1 < bytes.size(); at += 2)
            loudest = std::max<qint16>(loudest, qAbs(qFromLittleEndian<qint16>(bytes.constData() + at)));
        QVERIFY2(loudest > 8000, qPrintable(name));
    }
}

void TestDiscTool::templatesHoldTheirFormats()
{
    const QString &disc = disc_;
    const QString folder = disc + QStringLiteral("/Files/Templates/");
    const QStringList templates = QDir(folder).entryList(QDir::Files);
    QVERIFY(templates.size() >= 5);
    for (const QString &name : templates) {
        const QByteArray bytes = readAll(folder + name);
        const QString type = QFileInfo(name).suffix().toLower();
        if (type == QLatin1String("doc") || type == QLatin1String("wps")) {
            QVERIFY2(bytes.startsWith("{\\rtf1"), qPrintable(name));
            QCOMPARE(bytes.count('{') - bytes.count("\\{"), bytes.count('}') - bytes.count("\\}"));
            QVERIFY(bytes.trimmed().endsWith('}'));
        } else if (type == QLatin1String("xls")) {
            QXmlStreamReader xml(bytes);
            int cells = 0;
            int formulas = 0;
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement)
                    continue;
                QCOMPARE(xml.namespaceUri(), QStringLiteral("urn:schemas-microsoft-com:office:spreadsheet"));
                if (xml.name() == QLatin1String("Cell")) {
                    ++cells;
                    formulas += xml.attributes().hasAttribute(
                        QStringLiteral("urn:schemas-microsoft-com:office:spreadsheet"), QStringLiteral("Formula"));
                }
            }
            QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
            QVERIFY(cells > 10);
            QVERIFY(formulas > 0);
        } else if (type == QLatin1String("wks")) {
            // Lotus records from a beginning-of-file to an end-of-file, each within the file.
            QVERIFY(bytes.size() >= 10);
            QCOMPARE(qFromLittleEndian<quint16>(bytes.constData()), quint16(0x0000));
            QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 4), quint16(0x0404));
            qsizetype at = 0;
            int labels = 0;
            int numbers = 0;
            quint16 opcode = 0xffff;
            while (at + 4 <= bytes.size()) {
                opcode = qFromLittleEndian<quint16>(bytes.constData() + at);
                const quint16 length = qFromLittleEndian<quint16>(bytes.constData() + at + 2);
                QVERIFY(at + 4 + length <= bytes.size());
                const QByteArray body = bytes.mid(at + 4, length);
                if (opcode == 0x000f) {
                    ++labels;
                    QVERIFY(body.size() > 6 && body.endsWith('\0') && QByteArray("'\"^").contains(body[5]));
                } else if (opcode == 0x000e) {
                    ++numbers;
                    QCOMPARE(body.size(), 13);
                }
                at += 4 + length;
                if (opcode == 0x0001)
                    break;
            }
            QCOMPARE(opcode, quint16(0x0001));
            QCOMPARE(at, bytes.size());
            QVERIFY(labels > 3);
            QVERIFY(numbers > 0);
        } else {
            QCOMPARE(type, QStringLiteral("mdb"));
            QVERIFY(!bytes.isEmpty());
        }
    }
}

void TestDiscTool::gifRoundTrip_data()
{
    QTest::addColumn<QImage>("image");
    QImage single(1, 1, QImage::Format_RGB32);
    single.fill(QColor(12, 34, 56));
    QTest::newRow("one pixel") << single;

    // Every one of 256 colours, in more pixels than one table clear covers.
    QImage palette(37, 29, QImage::Format_RGB32);
    for (int y = 0; y < palette.height(); ++y) {
        for (int x = 0; x < palette.width(); ++x) {
            const int index = (y * palette.width() + x * 7) % 256;
            palette.setPixel(x, y, qRgb(index, 255 - index, (index * 37) % 256));
        }
    }
    QTest::newRow("256 colours") << palette;

    QImage wide(700, 3, QImage::Format_RGB32);
    for (int x = 0; x < wide.width(); ++x)
        for (int y = 0; y < wide.height(); ++y)
            wide.setPixel(x, y, (x / 5 + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    QTest::newRow("long rows of two colours") << wide;
}

void TestDiscTool::gifRoundTrip()
{
    QFETCH(QImage, image);
    const QByteArray gif = GifWriter::Encode(image);
    QVERIFY(gif.startsWith("GIF89a"));
    QVERIFY(gif.endsWith(";"));
    const QImage back = QImage::fromData(gif, "GIF");
    QVERIFY(!back.isNull());
    QCOMPARE(back.size(), image.size());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(qRgb(qRed(back.pixel(x, y)), qGreen(back.pixel(x, y)), qBlue(back.pixel(x, y))),
                     image.pixel(x, y));
}

void TestDiscTool::gifReducesRichPictures()
{
    QImage gradient(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < gradient.height(); ++y)
        for (int x = 0; x < gradient.width(); ++x)
            gradient.setPixel(x, y, qRgb(x * 255 / 299, y * 255 / 199, (x + y) % 256));
    const QImage back = QImage::fromData(GifWriter::Encode(gradient), "GIF");
    QCOMPARE(back.size(), gradient.size());
    // Close to the original everywhere, even with fewer colours.
    for (const QPoint at : {QPoint(0, 0), QPoint(150, 100), QPoint(299, 199), QPoint(10, 190)}) {
        const QColor want(gradient.pixel(at));
        const QColor got(back.pixel(at));
        QVERIFY(qAbs(want.red() - got.red()) + qAbs(want.green() - got.green()) + qAbs(want.blue() - got.blue()) < 120);
    }
    QVERIFY_THROWS_EXCEPTION(EDiscError, GifWriter::Encode(QImage()));
}

void TestDiscTool::wavHeaderDescribesTheSamples_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::newRow("mono") << 1 << 22050;
    QTest::newRow("stereo") << 2 << 44100;
}

void TestDiscTool::wavHeaderDescribesTheSamples()
{
    QFETCH(int, channels);
    QFETCH(int, rate);
    const QList<qint16> samples{0, 1, -1, 32767, -32768, 1234};
    const QByteArray wav = WavWriter::Encode(samples, rate, channels);
    QCOMPARE(wav.size(), 44 + 12);
    QCOMPARE(qFromLittleEndian<quint16>(wav.constData() + 22), quint16(channels));
    QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 24), quint32(rate));
    QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 28), quint32(rate * channels * 2));
    QCOMPARE(qFromLittleEndian<quint16>(wav.constData() + 32), quint16(channels * 2));
    QCOMPARE(qFromLittleEndian<quint16>(wav.constData() + 34), quint16(16));
    for (int i = 0; i < samples.size(); ++i)
        QCOMPARE(qFromLittleEndian<qint16>(wav.constData() + 44 + 2 * i), samples.at(i));
    // A half frame cannot be written.
    QVERIFY_THROWS_EXCEPTION(EDiscError, WavWriter::Encode({1, 2, 3}, rate, 2));
}

void TestDiscTool::checkFindsTheStandInsOfAFreshDisc()
{
    const QString disc = makeDisc();
    QVERIFY(!disc.isEmpty());
    QStringList standIns;
    for (const char *path :
         {"Text Files/Zip.txt", "Text Files/Flash.txt", "Text Files/Acrobat.txt", "Text Files/Real.txt",
          "Text Files/Sample.txt", "Text Files/Extra File.txt", "Templates/Address Book.mdb",
          "Templates/Fax Cover Sheet.doc", "Templates/Household Budget.xls", "Templates/Letter.doc",
          "Templates/Mileage Log.wks", "Templates/Recipe Card.wps", "Sample/Setup.exe", "ToolBox/Tool1/Setup.exe",
          "ToolBox/Tool2/Setup.exe", "ToolBox/Tool3/Setup.exe", "ToolBox/Tool4/Setup.exe", "Web Files/Order.html",
          "Web Files/Help.html"})
        standIns.append(QStringLiteral("Files/") + QLatin1String(path));
    const auto pathsOf = [](const QStringList &lines, const QString &kind) {
        QStringList paths;
        for (const QString &line : lines) {
            if (line.startsWith(kind) && line.contains(QLatin1String(": is still the sample disc's ")))
                paths.append(line.section(QLatin1String(": "), 1, 1));
        }
        return paths;
    };
    const Outcome outcome = RunTool(QStringLiteral(BRINDLE_DISC_TOOL), {QStringLiteral("check"), disc});
    QCOMPARE(outcome.status, 0);
    QCOMPARE(pathsOf(outcome.lines, QStringLiteral("warning")), standIns);
    QCOMPARE(WithoutStandIns(outcome).lines, QStringList());

    // A file of the publisher's own is no stand-in, even one that differs from the sample's by a byte.
    QByteArray zip = readAll(disc + QStringLiteral("/Files/Text Files/Zip.txt"));
    zip[0] = 'p';
    writeAll(disc + QStringLiteral("/Files/Text Files/Zip.txt"), zip);
    writeAll(disc + QStringLiteral("/Files/ToolBox/Tool2/Setup.exe"), "MZ a real installer");
    standIns.removeOne(QStringLiteral("Files/Text Files/Zip.txt"));
    standIns.removeOne(QStringLiteral("Files/ToolBox/Tool2/Setup.exe"));
    const Outcome strict =
        RunTool(QStringLiteral(BRINDLE_DISC_TOOL), {QStringLiteral("check"), QStringLiteral("--strict"), disc});
    QCOMPARE(strict.status, 1);
    QCOMPARE(pathsOf(strict.lines, QStringLiteral("error")), standIns);
}

// Operations on a made disc, one a string: "remove <path>", "garble <path>", "png <path>",
// "small <path>", "folder <path>", "write <path>[|<content>]", "utf8 <path>", "rename <path>|<new name>",
// "chmod-x <path>", "symlink <path>", "lowercase".
void TestDiscTool::mutate(const QString &disc, const QString &operation)
{
    const qsizetype blank = operation.indexOf(QLatin1Char(' '));
    const QString verb = operation.left(blank);
    const QString argument = blank < 0 ? QString() : operation.mid(blank + 1);
    const QString path = disc + QLatin1Char('/') + argument.section(QLatin1Char('|'), 0, 0);
    if (verb == QLatin1String("remove")) {
        QVERIFY2(QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path), qPrintable(path));
    } else if (verb == QLatin1String("garble")) {
        writeAll(path, QByteArray("BM") + QByteArray(60, '\x01'));
    } else if (verb == QLatin1String("png")) {
        writeAll(path, bitmapBytes(214, 180, Qt::red, "PNG"));
    } else if (verb == QLatin1String("small")) {
        writeAll(path, bitmapBytes(320, 240, Qt::yellow));
    } else if (verb == QLatin1String("folder")) {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path));
    } else if (verb == QLatin1String("write")) {
        writeAll(path, argument.contains(QLatin1Char('|')) ? argument.section(QLatin1Char('|'), 1).toLatin1()
                                                           : QByteArray("something"));
    } else if (verb == QLatin1String("utf8")) {
        writeAll(path, "Caf\xc3\xa9 and cr\xc3\xa8me");
    } else if (verb == QLatin1String("rename")) {
        QVERIFY(QFile::rename(path, QFileInfo(path).dir().filePath(argument.section(QLatin1Char('|'), 1))));
    } else if (verb == QLatin1String("chmod-x")) {
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    } else if (verb == QLatin1String("symlink")) {
        QVERIFY(QFile::rename(path, disc + QStringLiteral("/Files/elsewhere")));
        QVERIFY(QFile::link(QStringLiteral("Files/elsewhere"), path));
    } else if (verb == QLatin1String("lowercase")) {
        // A disc mastered without long names: every name below the root in lower case.
        QDirIterator it(disc + QStringLiteral("/Files"), QDir::AllEntries | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        QStringList all;
        while (it.hasNext())
            all.append(it.next());
        all.append(disc + QStringLiteral("/Files"));
        std::sort(all.begin(), all.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
        for (const QString &entry : all) {
            const QFileInfo info(entry);
            QVERIFY(QDir(info.path()).rename(info.fileName(), info.fileName().toLower()));
        }
    } else {
        QFAIL(qPrintable(QStringLiteral("unknown operation ") + operation));
    }
}

void TestDiscTool::checkReportsEachFault_data()
{
    QTest::addColumn<QStringList>("operations");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("lines");

    const auto row = [](const char *name, const QStringList &operations, int status, const QStringList &lines) {
        QTest::newRow(name) << operations << status << lines;
    };
    const QString green = QStringLiteral("Files/Interface/Green/MainBack.bmp");
    const QString blue = QStringLiteral("Files/Interface/Blue/MainBack.bmp");
    const QString sample = QStringLiteral("Files/Sample Pics/Sampleware.bmp");

    row("backdrop missing", {"remove " + green}, 1, {"error: " + green + ": missing"});
    row("backdrop of an unused scheme missing", {"remove " + blue}, 0, {});
    row("backdrop garbled", {"garble " + green}, 1, {"error: " + green + ": not a valid Windows bitmap"});
    row("unused backdrop garbled", {"garble " + blue}, 0,
        {"warning: " + blue + ": not a valid Windows bitmap (no program on this disc uses it)"});
    row("sample picture is a PNG", {"png " + sample}, 1, {"error: " + sample + ": not a valid Windows bitmap"});
    row("sample picture missing", {"remove " + sample}, 1, {"error: " + sample + ": missing"});
    row("backdrop too small", {"small " + green}, 0,
        {"warning: " + green + ": 320x240, not 640x480: the menu paints it over part of its built-in picture"});
    row("sample picture too big", {"small " + sample}, 0,
        {"warning: " + sample + ": 320x240, not 214x180: the menu paints it over part of its built-in picture"});
    row("text missing", {"remove Files/Text Files/Real.txt"}, 1, {"error: Files/Text Files/Real.txt: missing"});
    row("text is a folder", {"folder Files/Text Files/Extra File.txt"}, 1,
        {"error: Files/Text Files/Extra File.txt: cannot be read: it is a folder"});
    row("text in UTF-8", {"utf8 Files/Text Files/Zip.txt"}, 0,
        {"warning: Files/Text Files/Zip.txt: written in UTF-8: the menu shows its bytes as Windows-1252, so "
         "accented letters come out garbled"});
    row("texts too long for their boxes",
        {"write Files/Text Files/Zip.txt|Packs files into small archives and opens the ones you have downloaded from "
         "the web.",
         "write Files/Text Files/Sample.txt|One\r\nTwo\r\nThree\r\nFour\r\nFive\r\nSix lines\r\n\r\n"},
        0,
        {"warning: Files/Text Files/Zip.txt: does not fit its box edtZip (150x45 pixels) as the menu lays it out: the "
         "box shows 3 of its 4 lines, and line 4, \"the web.\", shows only when the box is scrolled with the mouse "
         "wheel",
         "warning: Files/Text Files/Sample.txt: does not fit its box memSample (204x79 pixels) as the menu lays it "
         "out: the box shows 5 of its 8 lines, and line 6, \"Six lines\", is cut off at its lower edge"});
    row("order form missing", {"remove Files/Web Files/Order.html"}, 1, {"error: Files/Web Files/Order.html: missing"});
    row("help page missing", {"remove Files/Web Files/Help.html"}, 1, {"error: Files/Web Files/Help.html: missing"});
    row("templates missing", {"remove Files/Templates"}, 1,
        {"error: Files/Templates/: missing: the extra-files page cannot list its templates"});
    row("a template of another type", {"write Files/Templates/Notes.odt", "write Files/Templates/README"}, 0, {});
    const QString browse = "once its copy has gone missing, the copy dialog's Browse cannot show it: its extension "
                           "makes the file-type filter ";
    row("extensions the open dialog takes apart",
        {"write Files/Templates/Plan.v(2)", "write Files/Templates/A.xls old"}, 0,
        {"warning: Files/Templates/A.xls old: " + browse + "\"*.xls old\", which its own name does not match",
         "warning: Files/Templates/Plan.v(2): " + browse + "\"*.v(2)\", which its own name does not match"});
    row("sounds missing", {"remove Files/Sounds"}, 1,
        {"error: Files/Sounds/: missing: delivering a template fails without it"});
    row("toolbox installer missing", {"remove Files/ToolBox/Tool3/Setup.exe"}, 1,
        {"error: Files/ToolBox/Tool3/: no Setup.exe: the Acrobat installer cannot start"});
    row("toolbox folder missing", {"remove Files/ToolBox/Tool1"}, 1,
        {"error: Files/ToolBox/Tool1/: missing: the WinZip installer cannot start"});
    row("toolbox installer in capitals", {"rename Files/ToolBox/Tool2/Setup.exe|SETUP.EXE"}, 0, {});
    row("sample installer missing", {"remove Files/Sample/Setup.exe"}, 1,
        {"error: Files/Sample/Setup.exe: missing, and no Setup.exe at the disc root either: the sample program's "
         "installer cannot start"});
    row("sample installer at the root instead", {"remove Files/Sample/Setup.exe", "write setup.exe"}, 0, {});
    row("starter disc", {"rename CD07|MENU"}, 0,
        {"warning: MENU: has no digits in its name: the menu presents the starter disc (disc 0, blue scheme)"});
    row("starter disc without its backdrop", {"rename CD07|MENU", "remove " + blue}, 1,
        {"error: " + blue + ": missing",
         "warning: MENU: has no digits in its name: the menu presents the starter disc (disc 0, blue scheme)"});
    row("no program", {"remove CD07", "remove Files/Interface/Red/MainBack.bmp"}, 1,
        {"error: ./: no menu program at the disc root: every colour scheme is checked",
         "error: Files/Interface/Red/MainBack.bmp: missing"});
    row("program not executable", {"chmod-x CD07"}, 1, {"error: CD07: is not executable"});
    row("program is a link", {"symlink CD07"}, 1,
        {"error: CD07: is a symbolic link: the menu would look for its files beside the link's target; put a copy "
         "of the program here"});
    row("names differing in case", {"write Files/Text Files/zip.txt"}, 0,
        {"warning: Files/Text Files/zip.txt: differs only in letter case from \"Zip.txt\": the menu may open "
         "either"});
    row("names in lower case", {"lowercase"}, 0, {});
    row("autorun missing", {"remove autorun.sh"}, 0,
        {"warning: autorun.sh: missing: the menu does not start by itself when the disc is inserted"});
    row("several faults", {"remove Files/Text Files/Zip.txt", "small " + sample, "remove Files/Images"}, 1,
        {"error: Files/Text Files/Zip.txt: missing",
         "error: Files/Images/: missing: delivering a template fails without it",
         "warning: " + sample + ": 320x240, not 214x180: the menu paints it over part of its built-in picture"});
}

void TestDiscTool::checkReportsEachFault()
{
    QFETCH(QStringList, operations);
    QFETCH(int, status);
    QFETCH(QStringList, lines);
    const QString disc = makeDisc();
    QVERIFY(!disc.isEmpty());
    for (const QString &operation : operations) {
        mutate(disc, operation);
        if (QTest::currentTestFailed())
            return;
    }
    const Outcome outcome = runTool({QStringLiteral("check"), disc});
    QCOMPARE(outcome.lines, lines);
    QCOMPARE(outcome.status, status);
}

void TestDiscTool::checkRejectsWhatIsNotAFolder()
{
    const Outcome missing = runTool({QStringLiteral("check"), scratch_->filePath(QStringLiteral("none"))});
    QCOMPARE(missing.status, 1);
    QVERIFY(missing.errors.contains(QStringLiteral("is not a folder")));
    writeAll(scratch_->filePath(QStringLiteral("notes.iso")), QByteArray(40000, 'x'));
    const Outcome file = runTool({QStringLiteral("check"), scratch_->filePath(QStringLiteral("notes.iso"))});
    QCOMPARE(file.status, 1);
    QVERIFY(file.errors.contains(QStringLiteral("is neither a folder nor an ISO 9660 image")));
    const Outcome extra = runTool({QStringLiteral("check"), scratch_->path(), QStringLiteral("--name"), "x"});
    QCOMPARE(extra.status, 2);
    QVERIFY(extra.errors.contains(QStringLiteral("usage:")));
}

QString TestDiscTool::makeImage(const QString &folder, const QString &name, qint64 epoch)
{
    const QString image = scratch_->filePath(name);
    const Outcome made = runTool({QStringLiteral("image"), QStringLiteral("--force"), folder, image},
                                 QStringLiteral("SOURCE_DATE_EPOCH=%1").arg(epoch));
    if (made.status != 0)
        qWarning().noquote() << made.errors;
    return made.status == 0 ? image : QString();
}

void TestDiscTool::commandLineIsAnswered_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output"); // standard output's first line, for an answer
    QTest::addColumn<QString>("errors"); // in standard error, for a refusal

    const auto row = [](const char *name, const QStringList &arguments, int status, const char *output,
                        const char *errors) {
        QTest::newRow(name) << arguments << status << QString(output) << QString(errors);
    };
    row("--help", {"--help"}, 0, "usage:", "");
    row("-h", {"-h"}, 0, "usage:", "");
    row("help", {"help"}, 0, "usage:", "");
    row("help for a command", {"help", "image"}, 0,
        "usage: brindle-disc image [--force] [--label BRINDLE07] [--publisher <name>] <folder> <image file>", "");
    row("a command's --help", {"check", "--help"}, 0, "usage: brindle-disc check [--strict] <folder or image file>",
        "");
    row("--version", {"--version"}, 0, "brindle-disc " BRINDLE_VERSION, "");
    row("nothing", {}, 2, "", "a command is needed");
    row("help for no such command", {"help", "burn"}, 2, "", "unknown command burn");
    row("another command's option", {"check", "--art", "art", "disc"}, 2, "",
        "unknown option --art\nusage: brindle-disc check [--strict] <folder or image file>");
    row("an option without its value", {"make", "disc", "--program"}, 2, "", "--program needs a value");
    row("-- before an operand like an option", {"check", "--", "-disc"}, 1, "", "-disc is not a folder");
}

void TestDiscTool::commandLineIsAnswered()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    const Outcome outcome =
        RunTool(QStringLiteral(BRINDLE_DISC_TOOL), arguments, QStringLiteral("cd %1 &&").arg(scratch_->path()));
    QCOMPARE(outcome.status, status);
    QCOMPARE(outcome.lines.value(0), output);
    QVERIFY2(outcome.errors.contains(errors), qPrintable(outcome.errors));
}

void TestDiscTool::imageIsTheSameForTheSameFolder()
{
    const QString first = makeImage(disc_, QStringLiteral("first.iso"));
    QTest::qWait(1100); // the second image is written in another second
    const QString second = makeImage(disc_, QStringLiteral("second.iso"));
    const QString later = makeImage(disc_, QStringLiteral("later.iso"), 1700000000);
    QVERIFY(!first.isEmpty() && !second.isEmpty() && !later.isEmpty());
    QVERIFY(readAll(first).size() > 100000);
    QVERIFY(readAll(first) == readAll(second));
    QVERIFY(readAll(first) != readAll(later));
}

void TestDiscTool::imageLaysTheStartOutTogether()
{
    // As written by `image`: what a start reads, in the order it reads it, in one run from the
    // image's first file on; `check` has nothing to say about it.
    const QString image = makeImage(disc_, QStringLiteral("disc.iso"));
    QVERIFY(!image.isEmpty());
    const ImageReader reader(image);
    const StartOrder order(reader);
    QVERIFY2(order.Files().size() >= 4, "the program, the backdrop, the sample picture and the texts");
    qint64 end = 0;
    for (const DiscTree::Entry *file : order.Files()) {
        const qint64 start = reader.Offset(*file).value_or(-1);
        if (end)
            QVERIFY2(start == end, qPrintable(DiscTree::PathOf(*file)));
        end = start + (file->size + 2047) / 2048 * 2048;
    }
    QVERIFY(StartOrder::Apart(reader).isEmpty());

    // Mastered by another tool, in the order of the names: the other schemes' backdrops and the
    // installers come between.
    const QString other = scratch_->filePath(QStringLiteral("other.iso"));
    const ToolOutcome mastered =
        RunTool(QStringLiteral("xorriso"), {QStringLiteral("-as"), QStringLiteral("mkisofs"), QStringLiteral("-quiet"),
                                            QStringLiteral("-R"), QStringLiteral("-o"), other, disc_});
    QVERIFY2(mastered.status == 0, qPrintable(mastered.errors));
    const QStringList warnings =
        runTool({QStringLiteral("check"), other}).lines.filter(QStringLiteral("a start reads"));
    QCOMPARE(warnings.size(), 1);
    QVERIFY2(
        QRegularExpression(QStringLiteral("^warning: Files/[^:]+: the \\d+ files a start reads lie in [2-9] places "
                                          "on the disc, [0-9.]+ MB apart in all; the widest gap, [0-9.]+ MB"))
            .match(warnings.first())
            .hasMatch(),
        qPrintable(warnings.first()));
}

void TestDiscTool::imageCarriesTheLabelAndPublisherGiven()
{
    // The primary volume (ISO 9660) and the Joliet volume (UTF-16), read where a drive reads them.
    const auto field = [](const QByteArray &image, int volume, int offset, int size) {
        const QByteArray bytes = image.mid(volume * 2048 + offset, size);
        return (volume == 16 ? QString::fromLatin1(bytes) : QStringDecoder(QStringDecoder::Utf16BE)(bytes)).trimmed();
    };
    const QString image = scratch_->filePath(QStringLiteral("labelled.iso"));
    const Outcome made =
        runTool({QStringLiteral("image"), QStringLiteral("--label=DISC_12"), QStringLiteral("--publisher"),
                 QStringLiteral("Lanternfish Press, Oxford"), disc_, image});
    QVERIFY2(made.status == 0, qPrintable(made.errors));
    const QByteArray bytes = readAll(image);
    for (const int volume : {16, 17})
        QCOMPARE(field(bytes, volume, 40, 32), QStringLiteral("DISC_12"));
    QCOMPARE(field(bytes, 16, 318, 128), QStringLiteral("LANTERNFISH PRESS, OXFORD"));
    QCOMPARE(field(bytes, 17, 318, 128), QStringLiteral("Lanternfish Press, Oxford"));

    // A label one volume would hold otherwise than the other is refused, and nothing is written.
    const Outcome refused = runTool({QStringLiteral("image"), QStringLiteral("--label"), QStringLiteral("Disc 12"),
                                     disc_, scratch_->filePath(QStringLiteral("refused.iso"))});
    QCOMPARE(refused.status, 1);
    QVERIFY2(refused.errors.contains(QStringLiteral("the label \"Disc 12\" is not")), qPrintable(refused.errors));
    QVERIFY(!QFileInfo::exists(scratch_->filePath(QStringLiteral("refused.iso"))));
}

void TestDiscTool::imageRefusesAndLeavesNothingBehind_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QString>("message");
    const auto row = [](const char *name, const char *folder, const char *image, const char *environment,
                        const char *message) {
        QTest::newRow(name) << QString(folder) << QString(image) << QString(environment) << QString(message);
    };
    row("no folder", "none", "disc.iso", "", "none is not a folder");
    row("no program", "empty", "disc.iso", "", "has no menu program at its root");
    row("image under a file", "disc", "file/disc.iso", "", "cannot write");
    row("time stamp not a number", "disc", "disc.iso", "SOURCE_DATE_EPOCH=soon", "SOURCE_DATE_EPOCH");
}

void TestDiscTool::imageRefusesAndLeavesNothingBehind()
{
    QFETCH(QString, folder);
    QFETCH(QString, image);
    QFETCH(QString, environment);
    QFETCH(QString, message);
    QVERIFY(QDir(scratch_->path()).mkdir(QStringLiteral("empty")));
    writeAll(scratch_->filePath(QStringLiteral("file")), "a file");
    const QString source = folder == QLatin1String("disc") ? disc_ : scratch_->filePath(folder);
    const QStringList before = QDir(scratch_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const Outcome outcome = runTool({QStringLiteral("image"), source, scratch_->filePath(image)}, environment);
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.errors.contains(message), qPrintable(outcome.errors));
    QCOMPARE(QDir(scratch_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
}

void TestDiscTool::checkReportsImageFaults_data()
{
    QTest::addColumn<QStringList>("operations");
    QTest::addColumn<bool>("dropExecutableBits");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("lines");

    const QString longName = QStringLiteral("Files/Templates/A letter to the parents of every pupil in the school "
                                            "about the trip.doc");
    QTest::newRow("fresh disc") << QStringList() << false << 0 << QStringList();
    QTest::newRow("fault of the folder") << QStringList{"remove Files/Text Files/Real.txt"} << false << 1
                                         << QStringList{"error: Files/Text Files/Real.txt: missing"};
    QTest::newRow("executable bits lost in the image")
        << QStringList() << true << 1
        << QStringList{"error: CD07: is not executable",
                       "warning: autorun.sh: not an executable file: the menu does not start by itself when the disc "
                       "is inserted"};
    QTest::newRow("names Joliet cuts, on a disc for Linux")
        << QStringList{"write " + longName, "write Files/Templates/Budget: Q1?.xls"} << false << 0
        << QStringList{"warning: " + longName +
                           ": is longer than the 64 characters a Joliet name holds: Windows shows it cut short, as "
                           "\"A letter to the parents of every pupil in the school about th.doc\"",
                       "warning: Files/Templates/Budget: Q1?.xls: holds \":\" and \"?\", which Joliet replaces with "
                       "\"_\": Windows shows it as \"Budget_ Q1_.xls\""};
}

void TestDiscTool::checkReportsImageFaults()
{
    QFETCH(QStringList, operations);
    QFETCH(bool, dropExecutableBits);
    QFETCH(int, status);
    QFETCH(QStringList, lines);
    const QString disc = makeDisc();
    QVERIFY(!disc.isEmpty());
    for (const QString &operation : operations)
        mutate(disc, operation);
    // An image named like anything else is still recognised by its content.
    const QString image = makeImage(disc, QStringLiteral("disc.bin"));
    QVERIFY(!image.isEmpty());
    if (dropExecutableBits) {
        // Another mastering tool's image: the Rock Ridge modes of the program and autorun.sh say 0444, not 0555.
        QByteArray bytes = readAll(image);
        const QByteArray executable("\x6d\x81\0\0\0\0\x81\x6d", 8);
        QCOMPARE(bytes.count(executable), 2);
        bytes.replace(executable, QByteArray("\x24\x81\0\0\0\0\x81\x24", 8));
        writeAll(image, bytes);
    }
    const Outcome outcome = runTool({QStringLiteral("check"), image});
    QCOMPARE(outcome.lines, lines);
    QCOMPARE(outcome.status, status);
    // The folder tells what Windows will show as the image, read back, does.
    if (!dropExecutableBits)
        QCOMPARE(runTool({QStringLiteral("check"), disc}).lines, lines);
}

QTEST_MAIN(TestDiscTool)
#include "tst_disctool.moc"
