#include "DiscChecker.h"

#include "BitmapProbe.h"
#include "EDiscError.h"
#include "ElfDynamic.h"
#include "LicenceCheck.h"
#include "PeImports.h"
#include "RuntimeCheck.h"
#include "SampleContent.h"
#include "ShownText.h"
#include "WindowsCheck.h"
#include "WindowsNames.h"

#include "app/CopyF.h"
#include "app/GlobalsU.h"
#include "app/MainF.h"
#include "app/Startup.h"
#include "platform/FileDialogs.h"
#include "platform/Fonts.h"
#include "platform/Installer.h"
#include "toolkit/AnsiText.h"
#include "toolkit/RzEdit.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <cstdint>

namespace {

const QString Root = QStringLiteral("./");
const QString SetupName = QStringLiteral("Setup.exe");
const char *const ToolNames[] = {"WinZip", "Flash", "Acrobat", "Real"};

bool hasDigits(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A native program for this desktop or the one the series first shipped for.
bool looksLikeProgram(const DiscTree &disc, const DiscTree::Entry &entry)
{
    try {
        const QByteArray magic = disc.Read(entry, 0, 4);
        return magic == QByteArrayLiteral("\x7f"
                                          "ELF") ||
               magic.startsWith("MZ");
    } catch (const EDiscError &) {
        return false;
    }
}

bool isWindowsProgram(const DiscTree &disc, const DiscTree::Entry &entry)
{
    try {
        return disc.Read(entry, 0, 2) == QByteArrayLiteral("MZ");
    } catch (const EDiscError &) {
        return false;
    }
}

// Text whose bytes read as UTF-8 shows as mojibake in the menu, which takes them as Windows-1252.
class Utf8Detector
{
public:
    void Feed(const QByteArray &bytes)
    {
        accents_ = accents_ || std::any_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) >= 0x80; });
        [[maybe_unused]] const QString text = decoder_.decode(bytes);
    }
    bool Utf8WithAccents() const { return accents_ && !decoder_.hasError(); }

private:
    QStringDecoder decoder_{QStringDecoder::Utf8};
    bool accents_ = false;
};

// Whether the open dialog, given filter, lists a file of that name: it shows the files that match a
// pattern of its first filter, the patterns within the filter's last parentheses where it has them,
// blanks between them.
bool openDialogShows(const QString &filter, const QString &name)
{
    static const QRegularExpression described(
        QStringLiteral("^(.*)\\(([a-zA-Z0-9_.,*? +;#\\-\\[\\]@\\{\\}/!<>\\$%&=^~:\\|]*)\\)$"));
    const QString first = filter.section(QStringLiteral(";;"), 0, 0);
    const QRegularExpressionMatch match = described.match(first);
    const QStringList patterns =
        (match.hasMatch() ? match.captured(2) : first).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return std::any_of(patterns.cbegin(), patterns.cend(), [&name](const QString &pattern) {
        return QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                                  QRegularExpression::CaseInsensitiveOption)
            .match(name)
            .hasMatch();
    });
}

// How much of a text is read to tell its encoding, and the largest picture decoded.
constexpr qint64 MaxTextBytes = qint64(16) << 20;
constexpr qint64 MaxPictureBytes = qint64(64) << 20;
// What a box shows of a text lies well within its start.
constexpr qsizetype MaxLaidOutBytes = 64 * 1024;
const QString MenuFace = QStringLiteral("Liberation Sans");
// An autorun.inf is a few lines: no more of it is read.
constexpr qint64 MaxAutorunBytes = 64 * 1024;

} // namespace

DiscChecker::DiscChecker(const DiscTree &disc, bool strict) : disc_(disc), strict_(strict) {}

QList<DiscChecker::Finding> DiscChecker::Check(const QList<Finding> &found)
{
    findings_ = FindingList();
    checkLinks();
    checkBackdrops(checkPrograms());
    checkBitmap(GlobalsU::FolderOf(DiscFolder::SamplePics) + QStringLiteral("Sampleware.bmp"), 214, 180, true);
    checkTexts();
    checkWebPages();
    checkTemplates();
    checkMediaFolders();
    checkInstallers();
    checkStandIns();
    checkAutorun();
    checkRuntime();
    checkRuntimeLicences();
    checkNameCase(disc_.Root());
    checkWindowsRuntime();
    checkAutorunInf();
    checkWindowsNames(disc_.Root(), !windowsPrograms().isEmpty());
    for (const Finding &finding : found)
        findings_.Add(finding);
    return findings_.Findings();
}

QStringList DiscChecker::Programs(const DiscTree &disc)
{
    QStringList programs;
    for (const auto &entry : disc.Root().children) {
        const QString &name = entry->name;
        if (disc.Seen(*entry) == DiscTree::Kind::File && name.compare(SetupName, Qt::CaseInsensitive) != 0 &&
            !name.endsWith(QStringLiteral(".sh")) && !name.endsWith(QStringLiteral(".dll"), Qt::CaseInsensitive) &&
            looksLikeProgram(disc, *entry))
            programs.append(name);
    }
    std::stable_sort(programs.begin(), programs.end(),
                     [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return programs;
}

std::set<int> DiscChecker::checkPrograms()
{
    std::set<int> schemes;
    numbers_.clear();
    const QStringList programs = Programs(disc_);
    for (const QString &name : programs) {
        const DiscTree::Entry *found = disc_.Find(name);
        if (!found)
            continue;
        const DiscTree::Entry &entry = *found;
        if (entry.kind == DiscTree::Kind::Link) {
            error(name, QStringLiteral("is a symbolic link: the menu would look for its files beside the link's "
                                       "target; put a copy of the program here"));
            continue;
        }
        if (!disc_.Executable(entry))
            error(name, QStringLiteral("is not executable"));
        if (!hasDigits(name))
            warning(name, QStringLiteral("has no digits in its name: the menu presents the starter disc "
                                         "(disc 0, blue scheme)"));
        try {
            numbers_.insert(GlobalsU::DigitsToNumber(name));
            schemes.insert(GlobalsU::DigitsToNumber(name) % 4);
        } catch (const EConvertError &) {
            error(name, QStringLiteral("the digits of the name make a number above 2147483647: the menu stops "
                                       "before its window opens"));
        }
    }
    programs_ = programs;
    if (programs.isEmpty())
        error(Root, QStringLiteral("no menu program at the disc root: every colour scheme is checked"));
    else if (schemes.size() > 1)
        warning(Root, QStringLiteral("several menu programs (%1) with different colour schemes: every scheme is "
                                     "checked")
                          .arg(programs.join(QStringLiteral(", "))));
    if (schemes.size() != 1)
        schemes = {0, 1, 2, 3};
    return schemes;
}

void DiscChecker::checkRuntime()
{
    QStringList files;
    QSet<QString> broken;
    for (const DiscTree::Entry *entry : DiscTree::Below(disc_.Find(QLatin1String(RuntimeFolder)))) {
        const QString path = DiscTree::PathOf(*entry);
        if (entry->kind == DiscTree::Kind::Link && !disc_.Follow(entry)) {
            files.append(path);
            broken.insert(path);
        } else if (entry->kind != DiscTree::Kind::Folder && disc_.Seen(*entry) == DiscTree::Kind::File) {
            files.append(path);
        }
    }
    std::sort(files.begin(), files.end());
    RuntimeCheck(files, reader(), broken).Inspect(programs_, findings_);
}

// A disc that carries Qt and the fonts carries their licences, notices and sources with them.
void DiscChecker::checkRuntimeLicences()
{
    QStringList files;
    for (const DiscTree::Entry *entry : DiscTree::Below(disc_.Follow(disc_.Find(QLatin1String(RuntimeFolder))))) {
        if (entry->kind != DiscTree::Kind::Folder && disc_.Seen(*entry) == DiscTree::Kind::File)
            files.append(DiscTree::PathOf(*entry).section(QLatin1Char('/'), 1));
    }
    LicenceCheck::BuiltIn builtIn;
    const RuntimeCheck::Reader read = reader();
    for (const QString &program : programs_) {
        const auto from = [&](std::uint64_t offset, std::uint64_t length) {
            return read(program, static_cast<qint64>(offset), static_cast<qint64>(length));
        };
        try {
            if (const ElfDynamic elf = ElfDynamic::Read(from); elf.valid)
                builtIn.linuxProgram = builtIn.linuxProgram || LicenceCheck::HasQtBuiltIn(elf.needed);
            else if (const PeImports pe = PeImports::Read(from); pe.valid)
                builtIn.windowsProgram = builtIn.windowsProgram || LicenceCheck::HasQtBuiltIn(pe.imports);
        } catch (const EDiscError &) {
            // The checks of the runtimes report a program that cannot be read.
        }
    }
    for (const RuntimeCheck::Problem &problem : LicenceCheck(files, builtIn).Inspect())
        error(problem.path, problem.what);
}

void DiscChecker::checkBackdrops(const std::set<int> &schemes)
{
    for (int scheme = 0; scheme < 4; ++scheme) {
        const QString path = GlobalsU::FolderOf(DiscFolder::Interface) +
                             QString::fromLatin1(GlobalsU::ColourFolders[scheme]) + QStringLiteral("MainBack.bmp");
        checkBitmap(path, 640, 480, schemes.contains(scheme));
    }
}

void DiscChecker::checkBitmap(const QString &path, int width, int height, bool used)
{
    const DiscTree::Entry *entry = resolve(path);
    const QString file = entry ? DiscTree::PathOf(*entry) : path;
    BitmapProbe probe;
    if (entry) {
        try {
            QByteArray bytes;
            for (QByteArray piece; bytes.size() <= MaxPictureBytes &&
                                   !(piece = disc_.Read(*entry, bytes.size(), DiscTree::ChunkSize)).isEmpty();)
                bytes += piece;
            if (bytes.size() > MaxPictureBytes)
                throw EDiscError(QStringLiteral("larger than %1 MB, far more than any picture the menu shows")
                                     .arg(MaxPictureBytes >> 20));
            probe = BitmapProbe::Decode(bytes);
        } catch (const EDiscError &e) {
            probe.state = BitmapProbe::State::Unreadable;
            probe.problem = e.Message();
        }
    }
    // A picture of a scheme no program on the disc uses is never read: its faults are only warnings.
    const QString unused = used ? QString() : QStringLiteral(" (no program on this disc uses it)");
    const auto report = [&](const QString &what) {
        if (used)
            error(file, what);
        else
            warning(file, what + unused);
    };
    switch (probe.state) {
    case BitmapProbe::State::Missing:
        if (used)
            error(path, QStringLiteral("missing"));
        break;
    case BitmapProbe::State::Unreadable:
        report(QStringLiteral("cannot be read: %1").arg(probe.problem));
        break;
    case BitmapProbe::State::Invalid:
        report(QStringLiteral("not a valid Windows bitmap"));
        break;
    case BitmapProbe::State::Valid:
        if (probe.size != QSize(width, height))
            warning(file, QStringLiteral("%1x%2, not %3x%4: the menu paints it over part of its built-in "
                                         "picture")
                              .arg(probe.size.width())
                              .arg(probe.size.height())
                              .arg(width)
                              .arg(height));
        break;
    }
}

void DiscChecker::checkTexts()
{
    const bool faces = menuFaces();
    for (const TfrmMain::TextPlace &place : TfrmMain::TextPlaces()) {
        const QString path = GlobalsU::FolderOf(DiscFolder::TextFiles) + place.file;
        const DiscTree::Entry *entry = resolve(path);
        if (!entry) {
            error(path, QStringLiteral("missing"));
            continue;
        }
        Utf8Detector detector;
        QByteArray start; // what a box can show of it, and more
        try {
            QByteArray piece;
            for (qint64 read = 0;
                 read < MaxTextBytes && !(piece = disc_.Read(*entry, read, DiscTree::ChunkSize)).isEmpty();
                 read += piece.size()) {
                detector.Feed(piece);
                if (start.size() < MaxLaidOutBytes)
                    start += piece.left(MaxLaidOutBytes - start.size());
            }
        } catch (const EDiscError &e) {
            error(DiscTree::PathOf(*entry), QStringLiteral("cannot be read: %1").arg(e.Message()));
            continue;
        }
        if (detector.Utf8WithAccents())
            warning(DiscTree::PathOf(*entry), QStringLiteral("written in UTF-8: the menu shows its bytes as "
                                                             "Windows-1252, so accented letters come out garbled"));
        if (faces)
            checkTextFits(DiscTree::PathOf(*entry), AnsiText::Decode(start), place);
    }
    if (!faces)
        warning(GlobalsU::FolderOf(DiscFolder::TextFiles),
                QStringLiteral("whether the texts fit their boxes cannot be told: neither this machine nor the disc "
                               "(%1fonts/) has Liberation Sans, the face the menu shows them in")
                    .arg(QLatin1String(RuntimeFolder)));
}

bool DiscChecker::menuFaces() const
{
    // Fonts are Qt's only where it runs as a program that draws.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    Fonts::Install();
    if (QFontDatabase::hasFamily(MenuFace))
        return true;
    // The menu brings its faces for desktops without them: the check takes them from the disc too.
    for (const DiscTree::Entry *entry :
         DiscTree::Below(disc_.Find(QLatin1String(RuntimeFolder) + QStringLiteral("fonts")))) {
        if (entry->kind == DiscTree::Kind::File && entry->name.endsWith(QStringLiteral(".ttf"), Qt::CaseInsensitive) &&
            entry->size <= MaxPictureBytes) {
            try {
                QFontDatabase::addApplicationFontFromData(disc_.Read(*entry, 0, entry->size));
            } catch (const EDiscError &) {
                // A font that cannot be read is one the menu cannot use either.
            }
        }
    }
    return QFontDatabase::hasFamily(MenuFace);
}

void DiscChecker::checkTextFits(const QString &path, const QString &text, const TfrmMain::TextPlace &place)
{
    const QList<TRzRichEdit::Line> lines = TRzRichEdit::LaidOut(text, TfrmMain::WindowFont(), place.bounds.size());
    const int height = TRzRichEdit::TextArea(place.bounds.size()).height();
    const auto outside = std::find_if(lines.cbegin(), lines.cend(),
                                      [height](const TRzRichEdit::Line &line) { return line.bottom > height; });
    // Blank lines past the edge show nothing that is missed.
    const auto missed = std::find_if(outside, lines.cend(),
                                     [](const TRzRichEdit::Line &line) { return !line.text.trimmed().isEmpty(); });
    if (missed == lines.cend())
        return;
    const qsizetype shown = outside - lines.cbegin();
    warning(path, QStringLiteral("does not fit its box %1 (%2x%3 pixels) as the menu lays it out: the box shows %4 "
                                 "of its %5 lines, and line %6, \"%7\", %8")
                      .arg(place.box)
                      .arg(place.bounds.width())
                      .arg(place.bounds.height())
                      .arg(shown)
                      .arg(lines.size())
                      .arg(missed - lines.cbegin() + 1)
                      .arg(ShownText::Cut(missed->text.trimmed()),
                           // A line is seen cut off where at least half of it shows.
                           2 * (height - missed->top) >= missed->bottom - missed->top
                               ? QStringLiteral("is cut off at its lower edge")
                               : QStringLiteral("shows only when the box is scrolled with the "
                                                "mouse wheel")));
}

void DiscChecker::checkWebPages()
{
    for (const char *name : {"Order.html", "Help.html"}) {
        const QString path = GlobalsU::FolderOf(DiscFolder::WebFiles) + QString::fromLatin1(name);
        const DiscTree::Entry *entry = resolve(path);
        if (!entry)
            error(path, QStringLiteral("missing"));
        else if (disc_.Seen(*entry) != DiscTree::Kind::File)
            error(DiscTree::PathOf(*entry), QStringLiteral("is not a file"));
    }
}

void DiscChecker::checkTemplates()
{
    const QString path = GlobalsU::FolderOf(DiscFolder::Templates);
    const DiscTree::Entry *entry = resolve(path);
    if (!entry) {
        error(path, QStringLiteral("missing: the extra-files page cannot list its templates"));
        return;
    }
    const QString found = shown(*entry, path);
    if (disc_.Seen(*entry) != DiscTree::Kind::Folder) {
        error(found, QStringLiteral("is not a folder"));
        return;
    }
    const QStringList templates = listed(*entry);
    if (templates.isEmpty())
        warning(found, QStringLiteral("no templates: the list on the extra-files page stays empty"));
    for (const QString &name : templates) {
        const QString filter = FileDialogs::NameFilter(CopyF::TemplateFileFilter(CopyF::ExtractFileExt(name)));
        if (!openDialogShows(filter, name))
            warning(found + name, QStringLiteral("once its copy has gone missing, the copy dialog's Browse cannot show "
                                                 "it: its extension makes the file-type filter \"%1\", which its own "
                                                 "name does not match")
                                      .arg(filter));
    }
}

void DiscChecker::checkMediaFolders()
{
    for (const DiscFolder folder : {DiscFolder::Images, DiscFolder::Sounds}) {
        const QString path = GlobalsU::FolderOf(folder);
        const DiscTree::Entry *entry = resolve(path);
        if (!entry)
            error(path, QStringLiteral("missing: delivering a template fails without it"));
        else if (disc_.Seen(*entry) != DiscTree::Kind::Folder)
            error(shown(*entry, path), QStringLiteral("is not a folder: delivering a template fails"));
    }
}

void DiscChecker::checkInstallers()
{
    // A disc for both systems wants an installer for each in every folder; one for a single
    // system, that system's.
    const bool windowsDisc = !windowsPrograms().isEmpty();
    const bool linuxDisc = windowsPrograms().size() < programs_.size();
    const QStringList linuxNames = Installer::LinuxNames();
    const auto holds = [this](const DiscTree::Entry *folder, const QStringList &names) {
        return folder && std::any_of(names.cbegin(), names.cend(),
                                     [&](const QString &name) { return !listed(*folder, name).isEmpty(); });
    };
    const auto report = [&](const QString &path, const QString &program, bool forWindows, bool forLinux) {
        if (!forWindows && !forLinux) {
            error(path, QStringLiteral("no Setup.exe: the %1 installer cannot start").arg(program));
            return;
        }
        if (!forWindows && windowsDisc) {
            const QString what =
                QStringLiteral("no Setup.exe: the Windows menu cannot start the %1 installer").arg(program);
            if (linuxDisc)
                warning(path, what);
            else
                error(path, what);
        }
        if (!forLinux && windowsDisc && linuxDisc)
            warning(path, QStringLiteral("no installer for Linux (%1): the Linux menu starts the %2 installer only "
                                         "on a desktop that runs Windows programs")
                              .arg(linuxNames.join(QStringLiteral(" or ")), program));
    };

    // A pressed disc keeps the modes it was mastered with: a script without its execute permission
    // still runs through the shell, an AppImage does not run at all.
    const auto executable = [&](const DiscTree::Entry *folder) {
        if (!folder || !disc_.Pressed())
            return;
        for (const QString &program : linuxNames) {
            if (program.endsWith(QStringLiteral(".sh")))
                continue;
            for (const QString &name : listed(*folder, program)) {
                const DiscTree::Entry *entry = disc_.Follow(disc_.Find(DiscTree::PathOf(*folder) + u'/' + name));
                if (entry && !disc_.Executable(*entry))
                    error(DiscTree::PathOf(*entry),
                          QStringLiteral("is not executable: the Linux menu cannot start it"));
            }
        }
    };

    const QString sample = GlobalsU::FolderOf(DiscFolder::Sample);
    const DiscTree::Entry *sampleFolder = resolve(sample);
    if (sampleFolder && disc_.Seen(*sampleFolder) != DiscTree::Kind::Folder)
        sampleFolder = nullptr;
    const bool sampleWindows = holds(sampleFolder, {SetupName}) || holds(&disc_.Root(), {SetupName});
    const bool sampleLinux = holds(sampleFolder, linuxNames) || holds(&disc_.Root(), linuxNames);
    if (!sampleWindows && !sampleLinux)
        error(sample + SetupName, QStringLiteral("missing, and no Setup.exe at the disc root either: the sample "
                                                 "program's installer cannot start"));
    else
        report(sampleFolder ? shown(*sampleFolder, sample) : sample, QStringLiteral("sample program"), sampleWindows,
               sampleLinux);
    executable(sampleFolder);

    for (int tool = 1; tool <= 4; ++tool) {
        const QString path = GlobalsU::ToolFolder(tool);
        const DiscTree::Entry *folder = resolve(path);
        const QString program = QString::fromLatin1(ToolNames[tool - 1]);
        if (!folder || disc_.Seen(*folder) != DiscTree::Kind::Folder)
            error(path, QStringLiteral("missing: the %1 installer cannot start").arg(program));
        else
            report(shown(*folder, path), program, holds(folder, {SetupName}), holds(folder, linuxNames));
        if (folder && disc_.Seen(*folder) == DiscTree::Kind::Folder)
            executable(folder);
    }
}

void DiscChecker::checkStandIns()
{
    // The help page names the disc's number: it is the sample's for any disc the programs name.
    QSet<QString> found;
    for (const std::int32_t number : numbers_.empty() ? std::set<std::int32_t>{0} : numbers_) {
        for (const SampleContent::File &sample : SampleContent::Files(number, false)) {
            const DiscTree::Entry *entry = SampleContent::StandsIn(sample.kind) ? resolve(sample.path) : nullptr;
            const DiscTree::Entry *file = entry ? disc_.Follow(entry) : nullptr;
            if (!file || file->kind != DiscTree::Kind::File || file->size != sample.content.size() ||
                found.contains(sample.path))
                continue;
            try {
                if (disc_.Read(*file, 0, sample.content.size()) != sample.content)
                    continue;
            } catch (const EDiscError &) {
                continue; // reported as unreadable where the menu reads it
            }
            found.insert(sample.path);
            const QString what = QStringLiteral("is still %1: put the publisher's own in its place before the disc "
                                                "is pressed")
                                     .arg(SampleContent::Described(sample.kind));
            if (strict_)
                error(DiscTree::PathOf(*entry), what);
            else
                warning(DiscTree::PathOf(*entry), what);
        }
    }
}

void DiscChecker::checkAutorun()
{
    const DiscTree::Entry *autorun = resolve(QStringLiteral("autorun.sh"));
    if (!autorun)
        warning(QStringLiteral("autorun.sh"),
                QStringLiteral("missing: the menu does not start by itself when the disc is inserted"));
    else if (disc_.Seen(*autorun) != DiscTree::Kind::File || !disc_.Executable(*autorun))
        warning(DiscTree::PathOf(*autorun),
                QStringLiteral("not an executable file: the menu does not start by itself when the disc is inserted"));
}

void DiscChecker::checkNameCase(const DiscTree::Entry &folder)
{
    // Folders nest no deeper than the tree allows, so neither does this.
    QHash<QString, QString> seen;
    for (const auto &entry : folder.children) {
        const QString key = entry->name.toCaseFolded();
        const auto earlier = seen.constFind(key);
        if (earlier != seen.cend())
            warning(DiscTree::PathOf(*entry),
                    QStringLiteral("differs only in letter case from \"%1\": the menu may open either").arg(*earlier));
        else
            seen.insert(key, entry->name);
        if (entry->kind == DiscTree::Kind::Folder)
            checkNameCase(*entry);
    }
}

QStringList DiscChecker::windowsPrograms() const
{
    QStringList programs;
    for (const QString &name : programs_) {
        if (const DiscTree::Entry *entry = disc_.Find(name); entry && isWindowsProgram(disc_, *entry))
            programs.append(name);
    }
    return programs;
}

void DiscChecker::checkLinks()
{
    for (const DiscTree::Entry *entry : DiscTree::Below(&disc_.Root())) {
        if (entry->kind != DiscTree::Kind::Link)
            continue;
        const QString path = DiscTree::PathOf(*entry);
        switch (disc_.FaultOf(*entry)) {
        case DiscTree::LinkFault::None:
            break;
        case DiscTree::LinkFault::Nothing:
            error(path, QStringLiteral("is a link to nothing on the disc (%1)").arg(ShownText::Cut(entry->target)));
            break;
        case DiscTree::LinkFault::OffDisc:
            error(path, QStringLiteral("is a link that leads off the disc, to %1: the desktop looks for it there, "
                                       "where it is not")
                            .arg(ShownText::Cut(entry->target)));
            break;
        case DiscTree::LinkFault::Loop:
            error(path, QStringLiteral("link loop"));
            break;
        }
    }
}

RuntimeCheck::Reader DiscChecker::reader() const
{
    return [this](const QString &path, qint64 offset, qint64 length) {
        const DiscTree::Entry *entry = disc_.Find(path);
        if (!entry)
            throw EDiscError(QStringLiteral("missing"));
        return disc_.Read(*entry, offset, length);
    };
}

void DiscChecker::checkWindowsRuntime()
{
    // Windows sees the plain files only: Joliet holds no links.
    QStringList files;
    for (const DiscTree::Entry *entry : DiscTree::Below(&disc_.Root())) {
        if (entry->kind == DiscTree::Kind::File)
            files.append(DiscTree::PathOf(*entry));
    }
    WindowsCheck(files, reader()).Inspect(programs_, findings_);
}

void DiscChecker::checkAutorunInf()
{
    const QString name = QStringLiteral("autorun.inf");
    const DiscTree::Entry *inf = disc_.Find(name);
    const bool windows = !windowsPrograms().isEmpty();
    if (!inf || inf->kind != DiscTree::Kind::File) {
        if (windows)
            warning(name, QStringLiteral("missing: Windows does not offer to start the menu when the disc is "
                                         "inserted"));
        return;
    }
    const QString path = DiscTree::PathOf(*inf);
    QByteArray bytes;
    try {
        bytes = disc_.Read(*inf, 0, MaxAutorunBytes);
    } catch (const EDiscError &e) {
        error(path, QStringLiteral("cannot be read: %1").arg(e.Message()));
        return;
    }
    // Windows reads the file as UTF-16 after its byte order mark, otherwise in its ANSI code page.
    const QString text =
        bytes.startsWith("\xff\xfe")
            ? QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2))
            : QStringDecoder(bytes.startsWith("\xef\xbb\xbf") ? QStringDecoder::Utf8 : QStringDecoder::Latin1)(bytes);
    QHash<QString, QString> keys;
    bool inAutorun = false;
    for (const QString &raw : text.split(QRegularExpression(QStringLiteral("[\r\n]+")))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inAutorun = line.compare(QStringLiteral("[autorun]"), Qt::CaseInsensitive) == 0;
        else if (inAutorun && line.contains(QLatin1Char('=')) && !line.startsWith(QLatin1Char(';')))
            keys.insert(line.section(QLatin1Char('='), 0, 0).trimmed().toLower(),
                        line.section(QLatin1Char('='), 1).trimmed());
    }
    // open= is a command line: the program, quoted where it holds blanks, then its arguments;
    // icon= a file and the number of the icon in it.
    const QString open = keys.value(QStringLiteral("open"));
    const QString program =
        open.startsWith(QLatin1Char('"')) ? open.section(QLatin1Char('"'), 1, 1) : open.section(QLatin1Char(' '), 0, 0);
    QString icon = keys.value(QStringLiteral("icon"));
    icon = icon.contains(QRegularExpression(QStringLiteral(",\\s*-?\\d+$"))) ? icon.section(QLatin1Char(','), 0, -2)
                                                                             : icon;
    icon.remove(QLatin1Char('"'));
    const auto onDisc = [this](const QString &file) {
        const DiscTree::Entry *entry = disc_.Find(QString(file).replace(QLatin1Char('\\'), QLatin1Char('/')));
        return entry && entry->kind == DiscTree::Kind::File ? entry : nullptr;
    };
    if (program.isEmpty()) {
        if (windows)
            warning(path, QStringLiteral("names no program to start (no open= in [autorun]): Windows does not offer "
                                         "to start the menu when the disc is inserted"));
    } else if (const DiscTree::Entry *entry = onDisc(program); !entry) {
        error(path, QStringLiteral("names %1 to start, which is not on the disc: Windows cannot start the menu when "
                                   "the disc is inserted")
                        .arg(ShownText::Cut(program)));
    } else if (!isWindowsProgram(disc_, *entry)) {
        error(path, QStringLiteral("names %1 to start, which is not a Windows program: Windows cannot start it")
                        .arg(ShownText::Cut(program)));
    }
    if (!icon.trimmed().isEmpty() && !onDisc(icon.trimmed()))
        error(path, QStringLiteral("names the icon %1, which is not on the disc: Windows shows no icon for the disc")
                        .arg(ShownText::Cut(icon.trimmed())));
}

void DiscChecker::checkWindowsNames(const DiscTree::Entry &folder, bool windows)
{
    // Folders nest no deeper than the tree allows, so neither does this.
    for (const auto &entry : folder.children) {
        if (entry->kind == DiscTree::Kind::Link)
            continue; // Joliet holds no links at all
        const QString path = DiscTree::PathOf(*entry);
        const std::optional<QString> joliet = disc_.JolietName(*entry);
        QString problem = WindowsNames::PathProblem(path, entry->kind == DiscTree::Kind::Folder, joliet);
        if (problem.isEmpty() && joliet)
            problem = joliet->isEmpty()
                          ? QStringLiteral("Joliet does not hold this name: Windows does not show it or shows another")
                          : QStringLiteral("Joliet changes this name to \"%1\": Windows shows that one").arg(*joliet);
        if (problem.isEmpty()) {
            if (entry->kind == DiscTree::Kind::Folder)
                checkWindowsNames(*entry, windows);
        } else if (windows) {
            error(path, problem);
        } else {
            warning(path, problem);
        }
    }
}

const DiscTree::Entry *DiscChecker::resolve(const QString &path) const
{
    const DiscTree::Entry *entry = disc_.Find(path);
    if (entry && entry->kind == DiscTree::Kind::Link && disc_.Seen(*entry) == DiscTree::Kind::Other)
        return nullptr;
    return entry;
}

QString DiscChecker::shown(const DiscTree::Entry &entry, const QString &asked)
{
    return DiscTree::PathOf(entry) + (asked.endsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString());
}

QStringList DiscChecker::listed(const DiscTree::Entry &folder, const QString &pattern) const
{
    const QRegularExpression match(QRegularExpression::wildcardToRegularExpression(pattern),
                                   QRegularExpression::CaseInsensitiveOption);
    const DiscTree::Entry *shown = disc_.Follow(&folder);
    QStringList names;
    for (const auto &entry : shown ? shown->children : folder.children) {
        if (!entry->name.startsWith(QLatin1Char('.')) && disc_.Seen(*entry) == DiscTree::Kind::File &&
            match.match(entry->name).hasMatch())
            names.append(entry->name);
    }
    std::stable_sort(names.begin(), names.end(),
                     [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

void DiscChecker::error(const QString &path, const QString &what)
{
    findings_.Add(true, path, what);
}

void DiscChecker::warning(const QString &path, const QString &what)
{
    findings_.Add(false, path, what);
}
