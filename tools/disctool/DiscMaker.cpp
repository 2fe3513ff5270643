#include "DiscMaker.h"

#include "BitmapProbe.h"
#include "EDiscError.h"
#include "SampleContent.h"
#include "WindowsNames.h"

#include "app/GlobalsU.h"
#include "app/Startup.h"
#include "platform/DiscPath.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>
#include <utility>

namespace {

constexpr auto Executable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                            QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                            QFileDevice::ExeOther;

const char *const SchemeNames[] = {"blue", "red", "purple", "green"};

struct ArtFile
{
    QString path; // relative to the art folder and to the disc
    QSize size;
};

QList<ArtFile> artFiles()
{
    QList<ArtFile> files;
    for (const char *scheme : GlobalsU::ColourFolders)
        files.append(
            {GlobalsU::FolderOf(DiscFolder::Interface) + QString::fromLatin1(scheme) + QStringLiteral("MainBack.bmp"),
             QSize(640, 480)});
    files.append({GlobalsU::FolderOf(DiscFolder::SamplePics) + QStringLiteral("Sampleware.bmp"), QSize(214, 180)});
    return files;
}

void makeFolder(const QString &path)
{
    if (!QDir().mkpath(path))
        throw EDiscError(QStringLiteral("cannot create the folder %1").arg(path));
}

void writeFile(const QString &path, const QByteArray &content)
{
    makeFolder(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size() ||
        !file.flush())
        throw EDiscError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw EDiscError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

void copyFile(const QString &source, const QString &destination)
{
    makeFolder(QFileInfo(destination).absolutePath());
    QFile file(source);
    if (!file.copy(destination))
        throw EDiscError(QStringLiteral("cannot copy %1 to %2: %3").arg(source, destination, file.errorString()));
}

bool sameContent(const QString &a, const QString &b)
{
    QFile first(a);
    QFile second(b);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly) || first.size() != second.size())
        return false;
    while (!first.atEnd()) {
        if (first.read(1 << 16) != second.read(1 << 16))
            return false;
    }
    return true;
}

// Whether a runtime file is for the other system than the program's: a Windows DLL or assembly
// manifest beside a Linux program, a Linux library beside a Windows program. A disc's runtime folder
// holds both systems' files when it is taken from a disc for both, such as the installed sample disc.
bool forOtherSystem(const QString &file, bool windows)
{
    QFile bytes(file);
    const QByteArray magic = bytes.open(QIODevice::ReadOnly) ? bytes.read(4) : QByteArray();
    if (windows)
        return magic == QByteArrayLiteral("\x7f"
                                          "ELF");
    return magic.startsWith("MZ") || file.endsWith(QStringLiteral(".manifest"), Qt::CaseInsensitive);
}

// Copies a folder's files and sub-folders for one system's program, symbolic links followed,
// permissions kept. The Linux and the Windows program share one runtime folder: a file both bring
// (the fonts) is copied once.
void copyTree(const QString &source, const QString &destination, bool windows)
{
    QDirIterator walk(source, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        const QString file = walk.next();
        if (forOtherSystem(file, windows))
            continue;
        const QString target = destination + file.mid(source.size());
        if (QFileInfo::exists(target)) {
            if (!sameContent(file, target))
                throw EDiscError(QStringLiteral("the runtimes of the two programs both hold %1, with different content")
                                     .arg(QLatin1String(RuntimeFolder) + QDir(source).relativeFilePath(file)));
            continue;
        }
        copyFile(file, target);
    }
}

bool isWindowsProgram(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(2) == QByteArrayLiteral("MZ");
}

// Windows AutoPlay's description of the disc: the program to start and the icon to show (both the
// Windows program at the root), and the drive's label in a file window. Windows reads the file in its
// ANSI code page, or as UTF-16 after a byte order mark, which a name beyond ASCII needs.
QByteArray autorunInf(const QString &program, int discNumber)
{
    const QString open = program.contains(QLatin1Char(' ')) ? QLatin1Char('"') + program + QLatin1Char('"') : program;
    const QString label = discNumber == 0 ? QStringLiteral("Brindlemoor Starter CD")
                                          : QStringLiteral("Brindlemoor CD-Rom %1").arg(discNumber);
    const QString text = QStringLiteral("[autorun]\r\nopen=%1\r\nicon=%2,0\r\nlabel=%3\r\n").arg(open, program, label);
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; }))
        return text.toLatin1();
    return QByteArrayLiteral("\xff\xfe") + QStringEncoder(QStringEncoder::Utf16LE)(text);
}

// The sample program's picture where the content has none: a plain panel, until the publisher's own.
QByteArray samplePicture()
{
    QImage picture(214, 180, QImage::Format_RGB888);
    picture.fill(QColor(214, 214, 214));
    QPainter painter(&picture);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "BMP");
    return bytes;
}

// Single quotes keep every character of the name literal in the script.
QString shellQuoted(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

DiscMaker::DiscMaker(Options options) : options_(std::move(options)) {}

QStringList DiscMaker::Make()
{
    warnings_.clear();
    fromSample_.clear();
    validate();

    const QFileInfo target(options_.folder);
    const QString parent = target.absolutePath();
    makeFolder(parent);
    // The disc is built beside its destination and moved into place at the end, so that a failed
    // run never leaves a half-made disc that looks complete.
    QTemporaryDir staging(parent + QStringLiteral("/.") + target.fileName() + QStringLiteral(".partial-XXXXXX"));
    if (!staging.isValid())
        throw EDiscError(QStringLiteral("cannot create a working folder in %1: %2").arg(parent, staging.errorString()));
    writeDisc(staging.path());
    QFile::setPermissions(staging.path(), Executable);

    if (target.exists() && !QDir(parent).rmdir(target.fileName()))
        throw EDiscError(QStringLiteral("cannot replace the empty folder %1").arg(target.absoluteFilePath()));
    if (!QDir(parent).rename(QFileInfo(staging.path()).fileName(), target.fileName()))
        throw EDiscError(QStringLiteral("cannot move the disc into %1").arg(target.absoluteFilePath()));
    staging.setAutoRemove(false);
    return warnings_;
}

QString DiscMaker::Summary() const
{
    return QStringLiteral("disc %1 (%2 scheme) written to %3 with the program %4")
        .arg(discNumber_)
        .arg(QString::fromLatin1(SchemeNames[discNumber_ % 4]),
             QDir::toNativeSeparators(QFileInfo(options_.folder).absoluteFilePath()), options_.name);
}

void DiscMaker::validate()
{
    const QString &name = options_.name;
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QChar(0)) ||
        name.startsWith(QLatin1Char('.')))
        throw EDiscError(QStringLiteral("the program name \"%1\" is not a plain, visible file name").arg(name));
    for (const char *reserved : {"Files", "autorun.sh", "autorun.inf", "Setup.exe"}) {
        if (name.compare(QLatin1String(reserved), Qt::CaseInsensitive) == 0)
            throw EDiscError(QStringLiteral("the program name \"%1\" is taken by the disc's own files").arg(name));
    }
    try {
        discNumber_ = GlobalsU::DigitsToNumber(name);
    } catch (const EConvertError &) {
        throw EDiscError(
            QStringLiteral("the digits of \"%1\" make a number above 2147483647: the menu would not start").arg(name));
    }
    if (std::none_of(name.cbegin(), name.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        warnings_.append(
            QStringLiteral("the program name \"%1\" has no digits: this is the starter disc (disc 0, blue)").arg(name));

    const QFileInfo program(options_.program);
    if (!program.isFile() || !program.isExecutable())
        throw EDiscError(QStringLiteral("the program %1 is not an executable file").arg(options_.program));
    if (!options_.windowsProgram.isEmpty()) {
        if (!isWindowsProgram(options_.windowsProgram))
            throw EDiscError(
                QStringLiteral("the Windows program %1 is not a Windows program file").arg(options_.windowsProgram));
        const QString problem = WindowsNames::Problem(name + QStringLiteral(".exe"));
        if (!problem.isEmpty())
            throw EDiscError(QStringLiteral("the program name \"%1.exe\" %2").arg(name, problem));
    }

    content_.emplace(options_.content);
    validateArt();
    // A disc made before, given as the content of a new one, brings programs, runtime and autorun
    // files of its own: the new disc has those of this run.
    for (const ContentFolder::File &file : content_->Files()) {
        const QString top = file.path.section(QLatin1Char('/'), 0, 0);
        const QStringList own{name, name + QStringLiteral(".exe"), QStringLiteral("autorun.sh"),
                              QStringLiteral("autorun.inf"), QString::fromLatin1(RuntimeFolder).chopped(1)};
        if (!file.path.contains(QLatin1Char('/')) || own.contains(top, Qt::CaseInsensitive)) {
            laidOutHere_.insert(file.path);
            warnings_.append(QStringLiteral("%1: make lays it out itself; left out").arg(file.path));
        } else if (!file.read)
            warnings_.append(
                QStringLiteral("%1: not a file the menu reads; copied onto the disc as it is").arg(file.path));
    }
    for (const QString &hidden : content_->LeftOut())
        warnings_.append(QStringLiteral("%1: hidden; left out").arg(hidden));

    const QFileInfo target(options_.folder);
    if (target.exists()) {
        if (!target.isDir())
            throw EDiscError(QStringLiteral("%1 exists and is not a folder").arg(options_.folder));
        if (!QDir(options_.folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
            throw EDiscError(QStringLiteral("the folder %1 is not empty").arg(options_.folder));
    }
}

void DiscMaker::validateArt()
{
    const QList<ArtFile> art = artFiles();
    const QString backdrop = art.at(discNumber_ % 4).path;
    for (const ArtFile &picture : art) {
        const ContentFolder::File *file = content_->Find(picture.path);
        if (!file) {
            if (picture.path == backdrop)
                throw EDiscError(QStringLiteral("the content folder %1 has no %2, the backdrop of the disc's colour "
                                                "scheme")
                                     .arg(options_.content, backdrop));
            continue;
        }
        const BitmapProbe probe = BitmapProbe::Inspect(file->source);
        switch (probe.state) {
        case BitmapProbe::State::Missing:
        case BitmapProbe::State::Unreadable:
            throw EDiscError(QStringLiteral("the picture %1 cannot be read: %2").arg(file->source, probe.problem));
        case BitmapProbe::State::Invalid:
            throw EDiscError(QStringLiteral("the picture %1 is not a valid Windows bitmap").arg(file->source));
        case BitmapProbe::State::Valid:
            if (probe.size != picture.size)
                warnings_.append(QStringLiteral("the picture %1 is %2x%3, not %4x%5")
                                     .arg(file->source)
                                     .arg(probe.size.width())
                                     .arg(probe.size.height())
                                     .arg(picture.size.width())
                                     .arg(picture.size.height()));
            break;
        }
    }
}

// The content's files where it gives them; the sample's where it gives none of their kind: a text,
// web page or installer folder of its own, or any template, picture or sound.
void DiscMaker::writeContent(const QDir &disc)
{
    for (const ContentFolder::File &file : content_->Files()) {
        if (!laidOutHere_.contains(file.path))
            copyFile(file.source, disc.filePath(file.path));
    }
    for (const SampleContent::File &file : SampleContent::Files(discNumber_)) {
        const QString folder = file.path.left(file.path.lastIndexOf(QLatin1Char('/')) + 1);
        bool given = false;
        switch (file.kind) {
        case SampleContent::Kind::Text:
        case SampleContent::Kind::WebPage:
            given = content_->Find(file.path);
            break;
        case SampleContent::Kind::Installer:
            given = content_->Holds(folder) ||
                    (folder == GlobalsU::FolderOf(DiscFolder::Sample) && content_->Find(QStringLiteral("Setup.exe")));
            break;
        case SampleContent::Kind::Template:
        case SampleContent::Kind::Picture:
        case SampleContent::Kind::Sound:
            given = content_->Holds(folder);
            break;
        }
        if (!given) {
            writeFile(disc.filePath(file.path), file.content);
            fromSample_.append(file.path);
        }
    }
    const QString sample = artFiles().back().path;
    if (!content_->Find(sample)) {
        writeFile(disc.filePath(sample), samplePicture());
        fromSample_.append(sample);
    }
}

void DiscMaker::writeDisc(const QString &root)
{
    const QDir disc(root);
    for (const DiscFolder folder :
         {DiscFolder::Interface, DiscFolder::SamplePics, DiscFolder::TextFiles, DiscFolder::Templates,
          DiscFolder::Images, DiscFolder::Sounds, DiscFolder::Sample, DiscFolder::ToolBox, DiscFolder::WebFiles})
        makeFolder(disc.filePath(GlobalsU::FolderOf(folder)));

    writeContent(disc);

    // A copy, not a link: the menu finds its disc beside its own resolved path.
    const QString program = disc.filePath(options_.name);
    copyFile(options_.program, program);
    if (!QFile::setPermissions(program, QFileInfo(options_.program).permissions() | Executable))
        throw EDiscError(QStringLiteral("cannot make %1 executable").arg(program));

    // The runtime the build lays out beside the disc's program goes with it, so that the menu
    // starts on desktops without Qt; a program without one relies on the user's system.
    // The Windows program takes the same name with ".exe", so that both read the same disc number.
    QStringList programs = {options_.program};
    if (!options_.windowsProgram.isEmpty()) {
        programs.append(options_.windowsProgram);
        const QString windows = disc.filePath(options_.name + QStringLiteral(".exe"));
        copyFile(options_.windowsProgram, windows);
        QFile::setPermissions(windows, Executable);
    }
    for (const QString &source : programs) {
        const QString runtime = QFileInfo(QFileInfo(source).absolutePath(), QLatin1String(RuntimeFolder)).filePath();
        if (QFileInfo(runtime).isDir())
            copyTree(runtime, disc.filePath(QLatin1String(RuntimeFolder)), source == options_.windowsProgram);
    }

    // The freedesktop convention for removable media: an executable autorun.sh at the root, run
    // from anywhere; it starts the menu from the disc's folder, as a double-click there would.
    const QString autorun = disc.filePath(QStringLiteral("autorun.sh"));
    writeFile(autorun, QStringLiteral("#!/bin/sh\n"
                                      "# Starts the Brindlemoor disc menu from the disc's own folder.\n"
                                      "cd \"$(dirname \"$0\")\" || exit 1\n"
                                      "exec ./%1 \"$@\"\n")
                           .arg(shellQuoted(options_.name))
                           .toUtf8());
    if (!QFile::setPermissions(autorun, Executable))
        throw EDiscError(QStringLiteral("cannot make %1 executable").arg(autorun));
    // Windows AutoPlay's counterpart, read from the disc's root.
    if (!options_.windowsProgram.isEmpty())
        writeFile(disc.filePath(QStringLiteral("autorun.inf")),
                  autorunInf(options_.name + QStringLiteral(".exe"), discNumber_));
}
