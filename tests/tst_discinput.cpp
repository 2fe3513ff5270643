// The disc tool on input made by someone else: images that try to make `check` write outside its
// own reach, run for ever or pass what will not run, and folders `image` cannot put on a disc.

#include "DiscToolSupport.h"
#include "ImageReader.h"
#include "PeImports.h"
#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr qsizetype Block = 2048;

ToolOutcome runTool(const QStringList &arguments, const QString &shellPrefix = {}, const QStringList &wrapper = {},
                    int timeoutMs = 120000)
{
    return WithoutStandIns(RunTool(QStringLiteral(BRINDLE_DISC_TOOL), arguments, shellPrefix, wrapper, timeoutMs));
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Gives a one-letter Rock Ridge name the byte given instead of its letter: names the mastering
// refuses, as another tool writes them.
bool renameInImage(QByteArray &image, char letter, char byte)
{
    const QByteArray entry = QByteArray("NM\x06\x01\x00", 5) + letter;
    if (image.count(entry) != 1)
        return false;
    image.replace(entry, QByteArray("NM\x06\x01\x00", 5) + byte);
    return true;
}

// Points the directory record of the root's folder "FILES" back at the root itself.
bool loopFolderToRoot(QByteArray &image)
{
    const qsizetype rootRecord = 16 * Block + 156;
    const quint32 rootBlock = qFromLittleEndian<quint32>(image.constData() + rootRecord + 2);
    const quint32 rootSize = qFromLittleEndian<quint32>(image.constData() + rootRecord + 10);
    for (qsizetype at = qsizetype(rootBlock) * Block; at < qsizetype(rootBlock) * Block + rootSize;) {
        const uchar length = uchar(image.at(at));
        if (length == 0) {
            at = (at / Block + 1) * Block;
            continue;
        }
        if (image.mid(at + 33, uchar(image.at(at + 32))) == "FILES") {
            char *record = image.data() + at;
            qToLittleEndian(rootBlock, record + 2);
            qToBigEndian(rootBlock, record + 6);
            qToLittleEndian(rootSize, record + 10);
            qToBigEndian(rootSize, record + 14);
            return true;
        }
        at += length;
    }
    return false;
}

} // namespace

class TestDiscInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void checkSurvivesHostileImages_data();
    void checkSurvivesHostileImages();
    void checkEndsOnHostileLinks_data();
    void checkEndsOnHostileLinks();
    void checkBoundsWhatItFinds();
    void namesAreShownEscaped_data();
    void namesAreShownEscaped();
    void runtimeCheckFailsWhatWillNotRun_data();
    void runtimeCheckFailsWhatWillNotRun();
    void runtimeCheckFailsWhatMayNotTravel_data();
    void runtimeCheckFailsWhatMayNotTravel();
    void imageRefusesWhatADiscCannotHold_data();
    void imageRefusesWhatADiscCannotHold();
    void imageHoldsTheFilesItChecked();
    void peReaderRefusesDamagedFiles_data();
    void peReaderRefusesDamagedFiles();
    void windowsCheckFailsWhatWillNotStart_data();
    void windowsCheckFailsWhatWillNotStart();
    void installersForBothSystems();

private:
    // A freshly made disc in the test's scratch folder; its path.
    QString makeDisc();
    // The image of folder beside it, mastered whatever the check finds in the folder; empty when it
    // could not be made.
    QString makeImage(const QString &folder, const QString &name);
    // Lays out a runtime as the disc's program needs it, the program needing Qt from it.
    void writeRuntime(const QString &disc);
    // Checks a disc with such a runtime after one change to it (the current row's file, change, line).
    void checkChangedRuntime();

    QTemporaryDir work_;
    QString art_;
    QString program_;
    std::unique_ptr<QTemporaryDir> scratch_;
};

void TestDiscInput::initTestCase()
{
    QVERIFY(work_.isValid());
    art_ = work_.filePath(QStringLiteral("art"));
    QVERIFY(WriteDiscArt(art_));
    program_ = work_.filePath(QStringLiteral("bin/brindlemoor"));
    QVERIFY(WriteFile(program_, ElfFile({QStringLiteral("libc.so.6")})));
    QFile::setPermissions(program_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A program that names no Qt library has Qt linked in: its licences and sources travel beside it.
    QVERIFY(WriteRuntimeLicences(work_.filePath(QStringLiteral("bin/Runtime"))));
}

void TestDiscInput::init()
{
    scratch_ = std::make_unique<QTemporaryDir>();
    QVERIFY(scratch_->isValid());
}

QString TestDiscInput::makeDisc()
{
    const QString disc = scratch_->filePath(QStringLiteral("disc"));
    const ToolOutcome made =
        runTool({QStringLiteral("make"), disc, QStringLiteral("--program"), program_, QStringLiteral("--art"), art_});
    return made.status == 0 ? disc : QString();
}

QString TestDiscInput::makeImage(const QString &folder, const QString &name)
{
    const QString image = scratch_->filePath(name);
    const ToolOutcome made = runTool({QStringLiteral("image"), QStringLiteral("--force"), folder, image});
    if (made.status != 0)
        qWarning().noquote() << made.errors;
    return made.status == 0 ? image : QString();
}

void TestDiscInput::checkSurvivesHostileImages_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QStringList>("expected"); // in what the check prints, standard output and error alike

    QTest::newRow("names that are not UTF-8 over a link leading outside")
        << "colliding names"
        << QStringList{"error: \\xFE: the name is not UTF-8", "error: \\xFF: the name is not UTF-8"};
    QTest::newRow("folders 130 deep") << "deep" << QStringList{"folders nested more than 64 deep"};
    QTest::newRow("a folder that holds the root")
        << "loop" << QStringList{"cannot read the image", "the image is damaged"};
}

void TestDiscInput::checkSurvivesHostileImages()
{
    QFETCH(QString, damage);
    QFETCH(QStringList, expected);
    const QString disc = makeDisc();
    QVERIFY(!disc.isEmpty());
    // A file of the user's outside the disc, which nothing that checks a disc may touch.
    const QString outside = scratch_->filePath(QStringLiteral("outside/notes.txt"));
    QVERIFY(WriteFile(outside, "the user's own notes"));
    QVERIFY(QFile::setPermissions(outside, QFile::ReadOwner | QFile::WriteOwner));
    if (damage == QLatin1String("colliding names")) {
        QVERIFY(QFile::link(outside, disc + QStringLiteral("/a")));
        QVERIFY(WriteFile(disc + QStringLiteral("/b"), "written through the link"));
    } else if (damage == QLatin1String("deep")) {
        QVERIFY(QDir().mkpath(disc + QStringLiteral("/Files/Deep") + QStringLiteral("/d").repeated(130)));
    }
    // The tool masters no folders nested deeper than it checks: another tool's image.
    const QString image = damage == QLatin1String("deep") ? scratch_->filePath(QStringLiteral("disc.iso"))
                                                          : makeImage(disc, QStringLiteral("disc.iso"));
    if (damage == QLatin1String("deep"))
        QCOMPARE(RunTool(QStringLiteral("xorrisofs"), {"-quiet", "-R", "-J", "-o", image, disc}).status, 0);
    QVERIFY(!image.isEmpty());
    QByteArray bytes = ReadAll(image);
    if (damage == QLatin1String("colliding names"))
        QVERIFY(renameInImage(bytes, 'a', '\xfe') && renameInImage(bytes, 'b', '\xff'));
    else if (damage == QLatin1String("loop"))
        QVERIFY(loopFolderToRoot(bytes));
    QVERIFY(WriteFile(image, bytes));

    // The check runs with a temporary folder of its own, which it must leave as it found it.
    const QString temporary = scratch_->filePath(QStringLiteral("tmp"));
    QVERIFY(QDir().mkpath(temporary));
    QElapsedTimer clock;
    clock.start();
    const ToolOutcome outcome =
        runTool({QStringLiteral("check"), image}, QStringLiteral("TMPDIR='%1'").arg(temporary), {}, 60000);
    const QString printed = outcome.lines.join(QLatin1Char('\n')) + QLatin1Char('\n') + outcome.errors;
    QCOMPARE(outcome.status, 1);
    for (const QString &text : expected)
        QVERIFY2(printed.contains(text), qPrintable(printed));
    QVERIFY2(clock.elapsed() < 30000, "the check ran for more than 30 seconds");
    QCOMPARE(entriesOf(temporary), QStringList());
    QCOMPARE(ReadAll(outside), QByteArray("the user's own notes"));
    struct stat status = {};
    QCOMPARE(::stat(QFile::encodeName(outside).constData(), &status), 0);
    QCOMPARE(status.st_mode & 07777, mode_t(0600));
}

void TestDiscInput::checkEndsOnHostileLinks_data()
{
    // "<link>|<target>", one link a line; a target may hold no more than Rock Ridge does (1024 bytes)
    QTest::addColumn<QString>("links");
    QTest::addColumn<QStringList>("lines"); // errors both checks print
    QTest::addColumn<int>("status");

    QString chain = QStringLiteral("c1|Files") + QStringLiteral("/../Files").repeated(100);
    for (int level = 2; level <= 5; ++level)
        chain += QStringLiteral("\nc%1|c%2").arg(level).arg(level - 1) +
                 QStringLiteral("/../c%1").arg(level - 1).repeated(100);
    QTest::newRow("a loop through itself at the root") << "loop|loop/x" << QStringList{"error: loop: link loop"} << 1;
    QTest::newRow("a loop through itself in the runtime")
        << "Runtime/lib/x.so|x.so/y" << QStringList{"error: Runtime/lib/x.so: link loop"} << 1;
    QTest::newRow("links round each other")
        << "a|b/x\nb|a" << QStringList{"error: a: link loop", "error: b: link loop"} << 1;
    QTest::newRow("a chain of long links") << chain << QStringList() << 0;
    QTest::newRow("the program's name in other letters")
        << "cd07|CD07"
        << QStringList{"error: cd07: is a symbolic link: the menu would look for its files beside the link's target; "
                       "put a copy of the program here"}
        << 1;
    QTest::newRow("a text leading off the disc")
        << "Files/Text Files/Zip.txt|../../../elsewhere/Zip.txt"
        << QStringList{"error: Files/Text Files/Zip.txt: is a link that leads off the disc, to "
                       "../../../elsewhere/Zip.txt: the desktop looks for it there, where it is not",
                       "error: Files/Text Files/Zip.txt: missing"}
        << 1;
}

// Links are judged as the image holds them, each resolved once, whatever their targets run through.
void TestDiscInput::checkEndsOnHostileLinks()
{
    QFETCH(QString, links);
    QFETCH(QStringList, lines);
    QFETCH(int, status);
    const QString disc = makeDisc();
    QVERIFY(!disc.isEmpty());
    // Where a link leaving the disc leads on this machine: a file the folder's check would pass.
    QVERIFY(WriteFile(scratch_->filePath(QStringLiteral("elsewhere/Zip.txt")), "Zip"));
    for (const QString &link : links.split(QLatin1Char('\n'))) {
        const QString path = disc + QLatin1Char('/') + link.section(QLatin1Char('|'), 0, 0);
        QFile::remove(path);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QCOMPARE(::symlink(QFile::encodeName(link.section(QLatin1Char('|'), 1)).constData(),
                           QFile::encodeName(path).constData()),
                 0);
    }
    const QString image = makeImage(disc, QStringLiteral("disc.iso"));
    QVERIFY(!image.isEmpty());
    for (const QString &checked : {disc, image}) {
        QElapsedTimer clock;
        clock.start();
        const ToolOutcome outcome = runTool({QStringLiteral("check"), checked}, {}, {}, 60000);
        QVERIFY2(clock.elapsed() < 30000, "the check ran for more than 30 seconds");
        QCOMPARE(outcome.lines.filter(QRegularExpression(QStringLiteral("^error: "))), lines);
        QCOMPARE(outcome.status, status);
    }
}

// One library needing 4090 libraries of long names, and one DLL importing 4000 DLLs, each under
// many names for the one piece of the image that holds it.
void TestDiscInput::checkBoundsWhatItFinds()
{
    const auto names = [](int count, const QString &suffix) {
        QStringList names;
        for (int name = 0; name < count; ++name)
            names.append(QString::number(name).rightJustified(240, u'n') + suffix);
        return names;
    };
    const QString windows = WriteWindowsProgram(scratch_->filePath(QStringLiteral("windows")));
    const QString disc = scratch_->filePath(QStringLiteral("disc"));
    QCOMPARE(runTool({QStringLiteral("make"), disc, QStringLiteral("--program"), program_, QStringLiteral("--art"),
                      art_, QStringLiteral("--windows-program"), windows})
                 .status,
             0);
    writeRuntime(disc);
    const QByteArray library = QFile::encodeName(disc + QStringLiteral("/Runtime/lib/hostile"));
    const QByteArray dll = QFile::encodeName(disc + QStringLiteral("/Runtime/hostile"));
    QVERIFY(WriteFile(QFile::decodeName(library + ".so"), ElfFile(names(4090, QStringLiteral(".so")))));
    QVERIFY(WriteFile(QFile::decodeName(dll + ".dll"), PeFile(names(4000, QStringLiteral(".dll")))));
    for (int name = 1; name < 100; ++name)
        QCOMPARE(::link(library + ".so", library + QByteArray::number(name) + ".so"), 0);
    for (int name = 1; name < 40; ++name)
        QCOMPARE(::link(dll + ".dll", dll + QByteArray::number(name) + ".dll"), 0);
    const QString image = makeImage(disc, QStringLiteral("disc.iso"));
    QVERIFY(!image.isEmpty());
    // The address sanitizer keeps memory that was freed aside unless told not to.
    const ToolOutcome outcome = runTool({QStringLiteral("check"), image},
                                        QStringLiteral("export ASAN_OPTIONS=\"$ASAN_OPTIONS:quarantine_size_mb=0\";"),
                                        {QStringLiteral("/usr/bin/time"), QStringLiteral("-v")});
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.lines.size() < 1200, qPrintable(QString::number(outcome.lines.size())));
    for (const QString &line : outcome.lines)
        QVERIFY2(line.size() < 600, qPrintable(line));
    QVERIFY(outcome.lines.contains(QStringLiteral("error: Runtime/lib/hostile.so: ... and 4085 more")));
    QCOMPARE(
        outcome.lines
            .filter(QRegularExpression(QStringLiteral("^error: \\./: \\.\\.\\. and \\d+ more findings, left out$")))
            .size(),
        1);
    const QRegularExpressionMatch peak =
        QRegularExpression(QStringLiteral("Maximum resident set size \\(kbytes\\): (\\d+)")).match(outcome.errors);
    QVERIFY2(peak.hasMatch(), qPrintable(outcome.errors));
    qInfo("check's peak: %lld kB", peak.captured(1).toLongLong());
    QVERIFY2(peak.captured(1).toLongLong() < 512 * 1024, qPrintable(peak.captured(1)));
}

void TestDiscInput::namesAreShownEscaped_data()
{
    QTest::addColumn<QString>("command"); // "check", "check image", "image" or "make"
    QTest::newRow("check of a folder") << "check";
    QTest::newRow("check of its image") << "check image";
    QTest::newRow("image") << "image";
    QTest::newRow("make") << "make";
}

// A name that would erase the line above it and forge one of its own shows as its escapes.
void TestDiscInput::namesAreShownEscaped()
{
    QFETCH(QString, command);
    const QString hostile = QStringLiteral("x\x1b[1A\x1b[2K\rforged\n");
    const QString disc = scratch_->filePath(hostile);
    ToolOutcome outcome;
    if (command == QLatin1String("make")) {
        outcome = runTool(
            {QStringLiteral("make"), disc, QStringLiteral("--program"), program_, QStringLiteral("--art"), art_});
    } else {
        QVERIFY(QFile::rename(makeDisc(), disc));
        QVERIFY(WriteFile(disc + QStringLiteral("/Files/Templates/") + hostile + QStringLiteral(".txt"), "x"));
        QVERIFY(QFile::remove(disc + QStringLiteral("/Files/Text Files/Real.txt")));
        if (command == QLatin1String("check"))
            outcome = runTool({QStringLiteral("check"), disc});
        else if (command == QLatin1String("image"))
            outcome = runTool({QStringLiteral("image"), disc, scratch_->filePath(QStringLiteral("disc.iso"))});
        else
            outcome = runTool({QStringLiteral("check"), makeImage(disc, QStringLiteral("disc.iso"))});
    }
    const QString printed = outcome.lines.join(QLatin1Char('\n')) + QLatin1Char('\n') + outcome.errors;
    QVERIFY2(printed.contains(QStringLiteral("x\\x1b[1A\\x1b[2K\\rforged\\n")), qPrintable(printed));
    QVERIFY2(!printed.contains(QLatin1Char('\x1b')) && !printed.contains(QLatin1Char('\r')), qPrintable(printed));
    QVERIFY2(!printed.contains(QRegularExpression(QStringLiteral("^forged"), QRegularExpression::MultilineOption)),
             qPrintable(printed));
}

void TestDiscInput::writeRuntime(const QString &disc)
{
    const QString core = QStringLiteral("libQt6Core.so.6");
    const QString libc = QStringLiteral("libc.so.6");
    QVERIFY(WriteFile(disc + QStringLiteral("/CD07"), ElfFile({core, libc}, QStringLiteral("$ORIGIN/Runtime/lib"))));
    QVERIFY(WriteFile(disc + QStringLiteral("/Runtime/lib/") + core, ElfFile({libc})));
    for (const char *plugin : {"platforms/libqxcb.so", "platforms/libqwayland-generic.so",
                               "wayland-shell-integration/libxdg-shell.so", "wayland-decoration-client/libbradient.so"})
        QVERIFY(WriteFile(disc + QStringLiteral("/Runtime/plugins/") + QLatin1String(plugin), ElfFile({core, libc})));
    for (const char *font : {"LiberationSans-Bold.ttf", "LiberationSans-Regular.ttf", "LiberationSerif-Regular.ttf"})
        QVERIFY(WriteFile(disc + QStringLiteral("/Runtime/fonts/") + QLatin1String(font), "a font"));
    QVERIFY(WriteRuntimeLicences(disc + QStringLiteral("/Runtime")));
}

void TestDiscInput::runtimeCheckFailsWhatWillNotRun_data()
{
    QTest::addColumn<QString>("file"); // relative to the disc
    // "machine N", "class N", "program <rpath>|<runpath>", "static" (the program with Qt linked in, the file
    // removed), "cut", "link", "remove", "capitals", "none"
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("line"); // the one error (or, without errors, warning) the check prints; empty for none

    const QString core = QStringLiteral("Runtime/lib/libQt6Core.so.6");
    const QString xcb = QStringLiteral("Runtime/plugins/platforms/libqxcb.so");
    QTest::newRow("a sound runtime") << core << "none"
                                     << "";
    QTest::newRow("library for AArch64")
        << core << "machine 183"
        << "error: " + core +
               ": is built for AArch64 (64-bit), the program for x86-64 (64-bit): the loader cannot use it";
    QTest::newRow("plugin of 32 bits")
        << xcb << "class 1"
        << "error: " + xcb +
               ": is built for x86-64 (32-bit), the program for x86-64 (64-bit): the loader cannot use it";
    QTest::newRow("program with DT_RUNPATH")
        << "CD07"
        << "program |$ORIGIN/Runtime/lib"
        << "error: CD07: has its library search path as DT_RUNPATH ($ORIGIN/Runtime/lib), not as DT_RPATH "
           "$ORIGIN/Runtime/lib: the runtime's own libraries and plugins are looked for on the desktop";
    QTest::newRow("program with an absolute search path")
        << "CD07"
        << "program /opt/qt6/lib|"
        << "error: CD07: needs libQt6Core.so.6 but does not look for it in Runtime/lib/ (no library search path "
           "$ORIGIN/Runtime/lib): it does not start on a desktop without Qt 6";
    QTest::newRow("program cut short")
        << "CD07"
        << "cut"
        << "error: CD07: cannot be read as an ELF program (its program headers cannot be read): whether it starts "
           "cannot be told";
    QTest::newRow("library cut short") << core << "cut"
                                       << "error: " + core +
                                              ": cannot be read as an ELF library (its program headers cannot be read)";
    QTest::newRow("library a link off the disc")
        << core << "link"
        << "error: " + core +
               ": is a link that leads off the disc, to %1: the desktop looks for it there, where it is not";
}

void TestDiscInput::runtimeCheckFailsWhatMayNotTravel_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("line");

    const QString source = QStringLiteral("error: Runtime/source/: ");
    const QString owed = QStringLiteral(": the source of the Qt on the disc must travel with it (the GNU LGPL v3)");
    QTest::newRow("Qt's licence missing")
        << "Runtime/licences/LGPL-3.txt"
        << "remove"
        << "error: Runtime/licences/LGPL-3.txt: missing: Qt travels under the GNU LGPL v3, whose text must go with it";
    QTest::newRow("Qt's notice missing") << "Runtime/licences/README.txt"
                                         << "remove"
                                         << "error: Runtime/licences/README.txt: missing: the notice that the disc's "
                                            "Qt was changed, where its source is and how to run the menu with another "
                                            "Qt must travel with Qt";
    QTest::newRow("Qt's source missing") << "Runtime/source"
                                         << "remove"
                                         << source + "missing (Debian's source packages of Qt and disc-qt.patch)" +
                                                owed;
    QTest::newRow("the patch missing") << "Runtime/source/disc-qt.patch"
                                       << "remove" << source + "lacks disc-qt.patch" + owed;
    QTest::newRow("Wayland's source missing") << "Runtime/source/qt6-wayland_6.4.2-1.dsc"
                                              << "remove" << source + "lacks qt6-wayland_*.dsc" + owed;
    QTest::newRow("the fonts' licence missing")
        << "Runtime/licences/OFL-1.1.txt"
        << "remove"
        << "error: Runtime/licences/OFL-1.1.txt: missing: the fonts in Runtime/fonts/ are under the SIL Open Font "
           "License 1.1, whose text must go with them";
    QTest::newRow("fonts under the GNU GPL v2")
        << "Runtime/licences/fonts-liberation.copyright.txt"
        << "write"
        << "error: Runtime/licences/fonts-liberation.copyright.txt: the fonts are the Liberation fonts 1.07, under "
           "the GNU GPL v2, whose source a disc must carry and cannot: carry Liberation 2 (SIL Open Font License 1.1) "
           "instead";
    QTest::newRow("Qt linked in, the menu's source missing")
        << "Runtime/source/brindlemoor-1.0.0-source.tar.xz"
        << "static"
        << "error: Runtime/source/: lacks the menu's source (brindlemoor-<version>-source.tar.xz): the programs "
           "have Qt linked in, and the GNU LGPL v3 lets a user link them with a Qt of their own";
    QTest::newRow("licences in capitals") << "Runtime/licences"
                                          << "capitals"
                                          << "";
    QTest::newRow("no runtime, for desktops with Qt")
        << "Runtime"
        << "remove"
        << "warning: Runtime/: missing: CD07 needs libraries that only a desktop with Qt 6 has (libQt6Core.so.6): the "
           "menu starts only where Qt 6 is installed";
}

void TestDiscInput::runtimeCheckFailsWhatMayNotTravel()
{
    checkChangedRuntime();
}

void TestDiscInput::runtimeCheckFailsWhatWillNotRun()
{
    checkChangedRuntime();
}

void TestDiscInput::checkChangedRuntime()
{
    QFETCH(QString, file);
    QFETCH(QString, change);
    QFETCH(QString, line);
    const QString disc = makeDisc();
    QVERIFY(!disc.isEmpty());
    writeRuntime(disc);
    QString path = disc + QLatin1Char('/') + file;
    QByteArray bytes = ReadAll(path);
    const QString value = change.section(QLatin1Char(' '), 1);
    if (change.startsWith(QLatin1String("machine"))) {
        qToLittleEndian(quint16(value.toUInt()), bytes.data() + 18);
    } else if (change.startsWith(QLatin1String("class"))) {
        bytes[4] = char(value.toInt());
    } else if (change.startsWith(QLatin1String("program"))) {
        bytes = ElfFile({QStringLiteral("libQt6Core.so.6"), QStringLiteral("libc.so.6")}, value.section(u'|', 0, 0),
                        value.section(u'|', 1));
    } else if (change == QLatin1String("remove")) {
        QVERIFY(QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path));
    } else if (change == QLatin1String("capitals")) {
        QVERIFY(QFile::rename(path, QFileInfo(path).path() + QLatin1Char('/') + QFileInfo(path).fileName().toUpper()));
    } else if (change == QLatin1String("static")) {
        // The file taken away from a disc whose program has Qt linked in.
        QVERIFY(QFile::remove(path));
        path = disc + QStringLiteral("/CD07");
        bytes = ElfFile({QStringLiteral("libc.so.6")}, QStringLiteral("$ORIGIN/Runtime/lib"));
    } else if (change == QLatin1String("write")) {
        bytes = ElfFile({QStringLiteral("libc.so.6")});
    } else if (change == QLatin1String("cut")) {
        bytes.truncate(100);
    } else if (change == QLatin1String("link")) {
        // The build machine's copy, which the check must not take for the disc's.
        const QString elsewhere = scratch_->filePath(QStringLiteral("system/libQt6Core.so.6"));
        QVERIFY(WriteFile(elsewhere, bytes));
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::link(elsewhere, path));
        line = line.arg(elsewhere);
    }
    if (change != QLatin1String("link") && change != QLatin1String("remove") && change != QLatin1String("capitals"))
        QVERIFY(WriteFile(path, bytes));
    QFile::setPermissions(disc + QStringLiteral("/CD07"), QFile::ReadOwner | QFile::ExeOwner);

    // The folder and its image are checked alike.
    const QString image = makeImage(disc, QStringLiteral("disc.iso"));
    QVERIFY(!image.isEmpty());
    for (const QString &target : {disc, image}) {
        const ToolOutcome outcome = runTool({QStringLiteral("check"), target});
        const bool warning = line.startsWith(QLatin1String("warning: "));
        const QStringList found = outcome.lines.filter(
            QRegularExpression(warning ? QStringLiteral("^warning: ") : QStringLiteral("^error: ")));
        QVERIFY2(found == (line.isEmpty() ? QStringList() : QStringList{line}),
                 qPrintable(outcome.lines.join(QLatin1Char('\n'))));
        QCOMPARE(outcome.status, line.isEmpty() || warning ? 0 : 1);
    }
}

void TestDiscInput::imageRefusesWhatADiscCannotHold_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("checkReportsIt"); // the check of the folder names it as an error too

    QTest::newRow("name not UTF-8") << "name"
                                    << "Files/Templates/Budget \\xFE.xls: the name is not UTF-8" << true;
    QTest::newRow("device") << "device"
                            << "Files/Sounds/disk: is a device" << true;
    QTest::newRow("named pipe") << "fifo"
                                << "Files/Sounds/pipe: is a named pipe" << true;
    QTest::newRow("socket") << "socket"
                            << "Files/Sounds/socket: is a socket" << true;
    QTest::newRow("folder that cannot be read") << "unreadable"
                                                << "Files/Secret/: cannot be read: Permission denied" << false;
    QTest::newRow("image inside its own folder") << "inside"
                                                 << "inside the disc folder" << false;
    QTest::newRow("disk full") << "full"
                               << "File too large" << false;
    QTest::newRow("folders nested 300 deep") << "deep"
                                             << "folders nested more than 64 deep: no disc needs them" << false;
    QTest::newRow("more entries than a disc may hold") << "many"
                                                       << "holds more than 200000 files and folders" << false;
    QTest::newRow("what check finds an error in")
        << "faulty"
        << "error: Files/Text Files/Real.txt: missing\nbrindle-disc: %1: check finds errors in it; nothing was written"
        << false;
}

void TestDiscInput::imageRefusesWhatADiscCannotHold()
{
    QFETCH(QString, situation);
    QFETCH(QString, message);
    QFETCH(bool, checkReportsIt);
    const QString disc = makeDisc();
    QVERIFY(!disc.isEmpty());
    const QByteArray sounds = QFile::encodeName(disc + QStringLiteral("/Files/Sounds/"));
    const QString output = scratch_->filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(output));
    QString image = output + QStringLiteral("/disc.iso");
    QString prefix;
    QStringList wrapper;
    // Qt cannot name the file to remove it with the scratch folder.
    const QByteArray name = QFile::encodeName(disc + QStringLiteral("/Files/Templates/Budget ")) + "\xfe.xls";
    const auto removeName = qScopeGuard([&name] { ::unlink(name.constData()); });
    if (situation == QLatin1String("name")) {
        const int file = ::open(name.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(file >= 0);
        ::close(file);
    } else if (situation == QLatin1String("device")) {
        QCOMPARE(::mknod((sounds + "disk").constData(), S_IFBLK | 0600, makedev(7, 0)), 0);
    } else if (situation == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo((sounds + "pipe").constData(), 0644), 0);
    } else if (situation == QLatin1String("socket")) {
        QCOMPARE(::mknod((sounds + "socket").constData(), S_IFSOCK | 0644, 0), 0);
    } else if (situation == QLatin1String("unreadable")) {
        // Permission bits do not stop root: the tool runs as nobody, who may read all but this folder.
        QVERIFY(QDir().mkpath(disc + QStringLiteral("/Files/Secret")));
        QVERIFY(WriteFile(disc + QStringLiteral("/Files/Secret/plans.txt"), "secret"));
        QDirIterator all(scratch_->path(), QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (all.hasNext()) {
            const QString entry = all.next();
            QCOMPARE(::chmod(QFile::encodeName(entry).constData(), QFileInfo(entry).isDir() ? 0755 : 0644), 0);
        }
        QCOMPARE(::chmod(QFile::encodeName(scratch_->path()).constData(), 0755), 0);
        QCOMPARE(::chmod(QFile::encodeName(disc + QStringLiteral("/CD07")).constData(), 0755), 0);
        QCOMPARE(::chmod(QFile::encodeName(output).constData(), 0777), 0);
        QCOMPARE(::chmod(QFile::encodeName(disc + QStringLiteral("/Files/Secret")).constData(), 0700), 0);
        wrapper = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                              QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"), QStringLiteral("--")};
    } else if (situation == QLatin1String("inside")) {
        image = disc + QStringLiteral("/CD07.iso");
    } else if (situation == QLatin1String("full")) {
        prefix = QStringLiteral("trap '' XFSZ; ulimit -f 200;");
    } else if (situation == QLatin1String("deep")) {
        QVERIFY(QDir().mkpath(disc + QStringLiteral("/Files/Deep") + QStringLiteral("/d").repeated(300)));
    } else if (situation == QLatin1String("many")) {
        const QByteArray many = sounds + "many/";
        QCOMPARE(::mkdir(many.constData(), 0755), 0);
        for (int file = 0; file <= 200000; ++file)
            ::close(::open((many + QByteArray::number(file)).constData(), O_CREAT | O_WRONLY, 0644));
    } else if (situation == QLatin1String("faulty")) {
        QVERIFY(QFile::remove(disc + QStringLiteral("/Files/Text Files/Real.txt")));
        message = message.arg(disc);
    }
    const QStringList before = entriesOf(QFileInfo(image).absolutePath());
    const ToolOutcome outcome = runTool({QStringLiteral("image"), disc, image}, prefix, wrapper);
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.errors.contains(message), qPrintable(outcome.errors));
    QVERIFY2(!outcome.errors.contains(QStringLiteral("Unknown error")), qPrintable(outcome.errors));
    // No image, and nothing half-written beside its place.
    QCOMPARE(entriesOf(QFileInfo(image).absolutePath()), before);

    if (checkReportsIt) {
        const ToolOutcome checked = runTool({QStringLiteral("check"), disc});
        QCOMPARE(checked.status, 1);
        const QString printed = checked.lines.join(QLatin1Char('\n'));
        QVERIFY2(printed.contains(QStringLiteral("error: ") + message), qPrintable(printed));
    }
}

// A file of the folder swapped for a link to another user's file the moment the image starts
// being written: the image is not written, and says why.
void TestDiscInput::imageHoldsTheFilesItChecked()
{
    const QString disc = makeDisc();
    QVERIFY(!disc.isEmpty());
    const QString secret = scratch_->filePath(QStringLiteral("secret"));
    QVERIFY(WriteFile(secret, "another user's own"));
    QVERIFY(QFile::setPermissions(secret, QFile::ReadOwner | QFile::WriteOwner));
    // A file no start of the menu reads, whose data comes late in the image.
    const QByteArray text = QFile::encodeName(disc + QStringLiteral("/Files/Templates/Household Budget.xls"));
    const QByteArray swap = QFile::encodeName(scratch_->filePath(QStringLiteral("swap")));
    QCOMPARE(::symlink(QFile::encodeName(secret).constData(), swap.constData()), 0);
    const QString output = scratch_->filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(output));
    const int watch = ::inotify_init1(IN_CLOEXEC);
    QVERIFY(watch >= 0);
    const auto closeWatch = qScopeGuard([watch] { ::close(watch); });
    QVERIFY(::inotify_add_watch(watch, QFile::encodeName(output).constData(), IN_CREATE) >= 0);

    QProcess tool;
    tool.start(QStringLiteral(BRINDLE_DISC_TOOL),
               {QStringLiteral("image"), disc, output + QStringLiteral("/disc.iso")});
    pollfd created{watch, POLLIN, 0};
    QVERIFY2(::poll(&created, 1, 60000) == 1, tool.readAllStandardError().constData());
    QCOMPARE(::rename(swap.constData(), text.constData()), 0);
    QVERIFY(tool.waitForFinished(60000));
    const QString errors = QString::fromUtf8(tool.readAllStandardError());
    QCOMPARE(tool.exitCode(), 1);
    QVERIFY2(errors.contains(
                 QStringLiteral("Files/Templates/Household Budget.xls was replaced by a link after it was checked")),
             qPrintable(errors));
    QCOMPARE(entriesOf(output), QStringList());
}

void TestDiscInput::peReaderRefusesDamagedFiles_data()
{
    QTest::addColumn<int>("offset"); // where a 32-bit value of the program's file is changed
    QTest::addColumn<quint32>("value");
    QTest::addColumn<qsizetype>("length"); // the file cut to this length; 0 leaves it whole
    QTest::addColumn<QString>("problem");  // empty: read whole

    // e_lfanew at 0x3c, the file header at 0x44; the section at 0x200: import descriptors, their names.
    QTest::newRow("sound") << 0 << 0u << qsizetype(0) << "";
    QTest::newRow("header far beyond the file") << 0x3c << 0x7fffffffu << qsizetype(0) << "not a PE file";
    QTest::newRow("a thousand sections") << 0x46 << 1000u << qsizetype(0) << "its headers cannot be read";
    QTest::newRow("import table without its end")
        << 0 << 0u << qsizetype(0x200 + 20) << "its import table cannot be read";
    // The resource tree follows the names, at 0x200 + 88; its first entry's offset at 0x200 + 108.
    QTest::newRow("resource leaf where a folder belongs")
        << 0x200 + 108 << 0x18u << qsizetype(0) << "its resources cannot be read";
    QTest::newRow("resource folder holding itself") << 0x200 + 108 << 0x80000000u << qsizetype(0) << "";
}

void TestDiscInput::peReaderRefusesDamagedFiles()
{
    QFETCH(int, offset);
    QFETCH(quint32, value);
    QFETCH(qsizetype, length);
    QFETCH(QString, problem);
    QByteArray bytes = PeFile({QStringLiteral("Qt6Core.dll"), QStringLiteral("KERNEL32.dll")}, ProgramManifest());
    if (offset > 0)
        qToLittleEndian(value, bytes.data() + offset);
    if (length > 0)
        bytes.truncate(length);
    const PeImports pe = PeImports::Read(bytes);
    QCOMPARE(pe.problem, problem);
    QCOMPARE(pe.valid, problem.isEmpty());
    const QStringList imports{QStringLiteral("Qt6Core.dll"), QStringLiteral("KERNEL32.dll")};
    QCOMPARE(pe.imports, problem.isEmpty() ? imports : QStringList());
    QCOMPARE(pe.manifest, problem.isEmpty() && offset == 0 ? ProgramManifest() : QByteArray());
}

void TestDiscInput::windowsCheckFailsWhatWillNotStart_data()
{
    QTest::addColumn<QStringList>("changes"); // "remove <path>", "write <path>|<text>", "imports <path>|<dll>,...",
                                              // "machine <path>", "joliet <from>|<to>" (in the image)
    QTest::addColumn<QStringList>("lines");   // what the check of the folder and of its image prints

    const auto row = [](const char *name, const QStringList &changes, const QStringList &lines) {
        QTest::newRow(name) << changes << lines;
    };
    const QString plugin = QStringLiteral("Runtime/plugins/platforms/qwindows.dll");
    const QString neither = QStringLiteral("which is neither beside the program, nor in the program's private "
                                           "assembly, nor a part of Windows: Windows does not start the program");
    const QString notBeside = QStringLiteral(", which is neither beside it, nor beside the program, nor in the "
                                             "program's private assembly, nor a part of Windows: Qt cannot load it");
    const QString longName = QStringLiteral("Files/Templates/A letter to the parents of every pupil in the school "
                                            "about the trip.doc");
    row("a sound disc for both", {}, {});
    row("a DLL that is nowhere", {"imports CD07.exe|Qt6Gui.dll,libstdc++-6.dll"},
        {"error: CD07.exe: needs libstdc++-6.dll, " + neither});
    row("a DLL left out of the assembly's manifest",
        {"write Runtime/Runtime.manifest|" + Manifest(QStringLiteral("Runtime"), {QStringLiteral("Qt6Core.dll")}, {})},
        {"error: CD07.exe: needs Qt6Gui.dll, " + neither});
    row("the assembly's manifest missing", {"remove Runtime/Runtime.manifest", "imports CD07.exe|kernel32.dll"},
        {"error: CD07.exe: its manifest names the private assembly Runtime, which is not on the disc (no "
         "Runtime/Runtime.manifest): Windows does not start it",
         "error: " + plugin + ": needs Qt6Core.dll" + notBeside});
    row("the plugin's own DLL missing", {"remove Runtime/plugins/platforms/helper.dll"},
        {"error: " + plugin + ": needs helper.dll" + notBeside});
    row("the platform plugin missing", {"remove " + plugin},
        {"error: " + plugin + ": missing: the Windows program cannot open its window"});
    row("a DLL for x86", {"machine Runtime/Qt6Core.dll"},
        {"error: Runtime/Qt6Core.dll: is built for x86, the program for x86-64: Windows cannot load it"});
    row("a DLL that is none", {"write Runtime/Qt6Gui.dll|MZ, and nothing else"},
        {"error: Runtime/Qt6Gui.dll: is not a Windows DLL"});
    row("autorun.inf naming what is not there",
        {"write autorun.inf|[AutoRun]\r\nopen=\"Menu\\CD 07.exe\" /x\r\nicon=CD08.exe,0\r\n"},
        {"error: autorun.inf: names Menu\\CD 07.exe to start, which is not on the disc: Windows cannot start the "
         "menu when the disc is inserted",
         "error: autorun.inf: names the icon CD08.exe, which is not on the disc: Windows shows no icon for the disc"});
    row("autorun.inf missing", {"remove autorun.inf"},
        {"warning: autorun.inf: missing: Windows does not offer to start the menu when the disc is inserted"});
    row("a name Joliet cuts", {"write " + longName + "|x"},
        {"error: " + longName +
         ": is longer than the 64 characters a Joliet name holds: Windows shows it cut short, "
         "as \"A letter to the parents of every pupil in the school about th.doc\""});
    row("a name Joliet changes", {"write Files/Templates/Budget: 2026.xls|x"},
        {"error: Files/Templates/Budget: 2026.xls: holds \":\", which Joliet replaces with \"_\": Windows shows it as "
         "\"Budget_ 2026.xls\""});
    row("a name with what neither holds", {"write Files/Templates/Plan <A\"B>: 1?.doc|x"},
        {"error: Files/Templates/Plan <A\"B>: 1?.doc: holds \":\" and \"?\", which Joliet replaces with \"_\"; holds "
         "\"<\", \"\"\" and \">\", which Windows does not allow in a name: Windows shows it as \"Plan <A\"B>_ 1_.doc\" "
         "and cannot open it"});
    row("a name beyond UCS-2, kept", {"write Files/Templates/Budget \U0001F4B6.xls|x"}, {});
    row("a name another tool changed in the image", {"joliet Zip.txt|Zip_txt"},
        {"error: Files/Text Files/Zip.txt: Joliet changes this name to \"Zip_txt\": Windows shows that one"});
}

void TestDiscInput::windowsCheckFailsWhatWillNotStart()
{
    QFETCH(QStringList, changes);
    QFETCH(QStringList, lines);
    const QString windows = WriteWindowsProgram(scratch_->filePath(QStringLiteral("windows")));
    QVERIFY(!windows.isEmpty());
    const QString disc = scratch_->filePath(QStringLiteral("disc"));
    const ToolOutcome made = runTool({QStringLiteral("make"), disc, QStringLiteral("--program"), program_,
                                      QStringLiteral("--art"), art_, QStringLiteral("--windows-program"), windows});
    QVERIFY2(made.status == 0, qPrintable(made.errors));
    QString joliet;
    for (const QString &change : changes) {
        const QString verb = change.section(u' ', 0, 0);
        const QString path = disc + QLatin1Char('/') + change.section(u' ', 1).section(u'|', 0, 0);
        const QString value = change.section(u'|', 1);
        if (verb == QLatin1String("remove"))
            QVERIFY(QFile::remove(path));
        else if (verb == QLatin1String("write"))
            QVERIFY(WriteFile(path, value.toUtf8()));
        else if (verb == QLatin1String("imports"))
            QVERIFY(WriteFile(path, PeFile(value.split(u','), ProgramManifest())));
        else if (verb == QLatin1String("machine"))
            QVERIFY(WriteFile(path, PeFile({QStringLiteral("kernel32.dll")}, {}, 0x14c)));
        else
            joliet = change.section(u' ', 1);
    }

    // The folder and its image are checked alike; names Windows cannot read are not mastered.
    QCOMPARE(runTool({QStringLiteral("check"), disc}).lines, joliet.isEmpty() ? lines : QStringList());
    const QString image = scratch_->filePath(QStringLiteral("disc.iso"));
    const ToolOutcome imaged = runTool({QStringLiteral("image"), QStringLiteral("--force"), disc, image});
    if (!lines.isEmpty() && lines.first().contains(QLatin1String("Joliet")) && joliet.isEmpty()) {
        QCOMPARE(imaged.status, 1);
        QVERIFY2(imaged.errors.contains(lines.first().section(QLatin1String("error: "), 1)), qPrintable(imaged.errors));
        return;
    }
    QVERIFY2(imaged.status == 0, qPrintable(imaged.errors));
    QByteArray bytes = ReadAll(image);
    const auto utf16 = [](const QString &text) { return QByteArray(QStringEncoder(QStringEncoder::Utf16BE)(text)); };
    // Windows reads the label and the names from the Joliet volume: as they stand, without a
    // version number (";1") or a dot added to a name without one.
    QCOMPARE(bytes.mid(17 * 2048 + 40, 18), utf16(QStringLiteral("BRINDLE07")));
    QCOMPARE(bytes.count(utf16(QStringLiteral("CD07."))), 1);
    QCOMPARE(bytes.count(utf16(QStringLiteral("autorun.sh;1"))), 0);
    if (!joliet.isEmpty()) {
        QCOMPARE(bytes.count(utf16(joliet.section(u'|', 0, 0))), 1);
        bytes.replace(utf16(joliet.section(u'|', 0, 0)), utf16(joliet.section(u'|', 1)));
        QVERIFY(WriteFile(image, bytes));
    }
    const ToolOutcome checked = runTool({QStringLiteral("check"), image});
    QCOMPARE(checked.lines, lines);
    QCOMPARE(checked.status, lines.filter(QRegularExpression(QStringLiteral("^error: "))).isEmpty() ? 0 : 1);
}

// On a disc for Linux and Windows every installer folder wants an installer for each; the image
// keeps a Linux installer executable.
void TestDiscInput::installersForBothSystems()
{
    const QString windows = WriteWindowsProgram(scratch_->filePath(QStringLiteral("windows")));
    const QString disc = scratch_->filePath(QStringLiteral("disc"));
    QVERIFY(runTool({QStringLiteral("make"), disc, QStringLiteral("--program"), program_, QStringLiteral("--art"), art_,
                     QStringLiteral("--windows-program"), windows})
                .status == 0);
    QVERIFY(WriteFile(disc + QStringLiteral("/Files/Sample/Setup.AppImage"), "an AppImage"));
    QVERIFY(WriteFile(disc + QStringLiteral("/Files/ToolBox/Tool2/SETUP.SH"), "#!/bin/sh\n"));
    QVERIFY(QFile::remove(disc + QStringLiteral("/Files/ToolBox/Tool4/Setup.exe")));
    QVERIFY(WriteFile(disc + QStringLiteral("/Files/ToolBox/Tool4/setup.sh"), "#!/bin/sh\n"));

    const QString image = scratch_->filePath(QStringLiteral("disc.iso"));
    QVERIFY(runTool({QStringLiteral("image"), disc, image}).status == 0);
    const QString linuxOnly = QStringLiteral(" (setup.sh or Setup.AppImage): the Linux menu starts the %1 installer "
                                             "only on a desktop that runs Windows programs");
    const QStringList wanted{
        "warning: Files/ToolBox/Tool1/: no installer for Linux" + linuxOnly.arg(QStringLiteral("WinZip")),
        "warning: Files/ToolBox/Tool3/: no installer for Linux" + linuxOnly.arg(QStringLiteral("Acrobat")),
        QStringLiteral("warning: Files/ToolBox/Tool4/: no Setup.exe: the Windows menu cannot start the Real installer"),
    };
    const ToolOutcome outcome = RunTool(QStringLiteral(BRINDLE_DISC_TOOL), {QStringLiteral("check"), image});
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.lines.filter(QStringLiteral("/: no ")), wanted);
    const ImageReader reader(image);
    for (const char *path : {"Files/Sample/Setup.AppImage", "Files/ToolBox/Tool2/SETUP.SH"})
        QVERIFY2(reader.Executable(*reader.Find(QLatin1String(path))), path);
    QVERIFY(!reader.Executable(*reader.Find(QStringLiteral("Files/ToolBox/Tool1/Setup.exe"))));
    // Another mastering tool keeps the folder's modes: an AppImage without its execute bit cannot start.
    const QString other = scratch_->filePath(QStringLiteral("other.iso"));
    QCOMPARE(RunTool(QStringLiteral("xorrisofs"), {"-quiet", "-R", "-J", "-o", other, disc}).status, 0);
    QVERIFY(
        runTool({QStringLiteral("check"), other})
            .lines.contains("error: Files/Sample/Setup.AppImage: is not executable: the Linux menu cannot start it"));
}

QTEST_MAIN(TestDiscInput)
#include "tst_discinput.moc"
