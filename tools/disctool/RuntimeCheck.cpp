#include "RuntimeCheck.h"

#include "EDiscError.h"
#include "ShownText.h"

#include "app/Startup.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace {

const QString LibraryFolder = QStringLiteral("lib/");
const QString ProgramRunpath = QStringLiteral("$ORIGIN/Runtime/lib");
// No system has a library whose name is longer than a file name can be.
constexpr qsizetype MaxFileName = 255;

struct NeededFile
{
    const char *path; // under the runtime folder
    const char *why;
    bool error;
    bool plugin; // needed beside a Qt whose libraries are in the runtime; a Qt linked in has its plugins built in
};

const NeededFile Needed[] = {
    {"plugins/platforms/libqxcb.so", "missing: the menu cannot open its window on X11 without Qt on the system", true,
     true},
    {"plugins/platforms/libqwayland-generic.so",
     "missing: the menu cannot open its window on Wayland without Qt on the system", true, true},
    {"plugins/wayland-shell-integration/libxdg-shell.so",
     "missing: the menu cannot open its window on Wayland without Qt on the system", true, true},
    {"plugins/wayland-decoration-client/libbradient.so",
     "missing: on Wayland desktops that draw no window frames the menu has no title bar", false, true},
    {"fonts/LiberationSans-Bold.ttf", "missing: the disc label loses its design where the fonts are not installed",
     false, false},
    {"fonts/LiberationSans-Regular.ttf", "missing: the menu's text loses its design where the fonts are not installed",
     false, false},
    {"fonts/LiberationSerif-Regular.ttf", "missing: the credits lose their design where the fonts are not installed",
     false, false},
};

bool IsQtLibrary(const QString &name)
{
    return name.startsWith(QLatin1String("libQt6"));
}

// The names left to the system; the list is shared with the build that lays out the runtime.
const QRegularExpression &systemPatterns()
{
    static const QRegularExpression patterns =
        RuntimeCheck::Patterns(QStringLiteral(":/disctool/system-libraries.txt"), {});
    return patterns;
}

} // namespace

QRegularExpression RuntimeCheck::Patterns(const QString &list, QRegularExpression::PatternOptions options)
{
    QStringList patterns;
    QFile file(list);
    file.open(QIODevice::ReadOnly);
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        patterns.append(QRegularExpression::wildcardToRegularExpression(line));
    }
    return QRegularExpression(patterns.join(QLatin1Char('|')), options);
}

RuntimeCheck::RuntimeCheck(QStringList files, Reader read, QSet<QString> broken)
    : files_(std::move(files)), read_(std::move(read)), broken_(std::move(broken))
{
    const QString folder = QLatin1String(RuntimeFolder) + LibraryFolder;
    for (const QString &file : std::as_const(files_)) {
        if (file.startsWith(folder) && !file.mid(folder.size()).contains(QLatin1Char('/')))
            libraries_.append(file.mid(folder.size()));
    }
}

bool RuntimeCheck::LeftToSystem(const QString &soname)
{
    if (soname.size() > MaxFileName)
        return false;
    return systemPatterns().match(soname).hasMatch();
}

std::optional<ElfDynamic> RuntimeCheck::read(const QString &path, FindingList &problems) const
{
    if (broken_.contains(path))
        return std::nullopt;
    try {
        return ElfDynamic::Read([&](std::uint64_t offset, std::uint64_t length) {
            return read_(path, static_cast<qint64>(offset), static_cast<qint64>(length));
        });
    } catch (const EDiscError &e) {
        problems.Add({true, path, QStringLiteral("cannot be read: %1").arg(e.Message())});
        return std::nullopt;
    }
}

void RuntimeCheck::Inspect(const QStringList &programs, FindingList &problems) const
{
    const QString runtime = QLatin1String(RuntimeFolder);
    std::optional<ElfDynamic> reference; // the first program read: the machine the disc is for
    bool usesRuntime = false;
    for (const QString &program : programs) {
        const std::optional<ElfDynamic> elf = read(program, problems);
        if (!elf || !elf->elf)
            continue; // a program for Windows needs no runtime
        if (!elf->valid) {
            problems.Add({true, program,
                          QStringLiteral("cannot be read as an ELF program (%1): whether it starts cannot be told")
                              .arg(elf->problem)});
            continue;
        }
        if (!reference)
            reference = elf;
        QStringList own;
        for (const QString &name : elf->needed) {
            if (!LeftToSystem(name))
                own.append(name);
        }
        if (own.isEmpty())
            continue;
        usesRuntime = true;
        const bool needsQt = std::any_of(own.cbegin(), own.cend(), IsQtLibrary);
        if (needsQt && libraries_.isEmpty() &&
            files_.filter(QRegularExpression(QLatin1Char('^') + runtime)).isEmpty()) {
            // A disc made for desktops with Qt 6 (the program built against the system's Qt).
            problems.Add({false, runtime,
                          QStringLiteral("missing: %1 needs libraries that only a desktop with Qt 6 has (%2): the "
                                         "menu starts only where Qt 6 is installed")
                              .arg(program, ShownText::Cut(own.join(QStringLiteral(", "))))});
            return;
        }
        if (!elf->runpath.isEmpty()) {
            // The loader then ignores DT_RPATH, and the libraries loaded later do not search the runtime.
            problems.Add({true, program,
                          QStringLiteral("has its library search path as DT_RUNPATH (%1), not as DT_RPATH %2: the "
                                         "runtime's own libraries and plugins are looked for on the desktop")
                              .arg(ShownText::Cut(elf->runpath.join(QLatin1Char(':'))), ProgramRunpath)});
            continue;
        }
        checkNeeded(program, elf->needed, elf->rpath.contains(ProgramRunpath), problems);
    }
    if (!usesRuntime)
        return;

    for (const QString &file : files_) {
        const bool library = file.endsWith(QLatin1String(".so")) || file.contains(QLatin1String(".so."));
        if (!file.startsWith(runtime) || !library)
            continue;
        const std::optional<ElfDynamic> elf = read(file, problems);
        if (!elf)
            continue;
        if (!elf->elf)
            problems.Add({true, file, QStringLiteral("is not a library for this machine")});
        else if (elf->bits != reference->bits || elf->machine != reference->machine)
            problems.Add({true, file,
                          QStringLiteral("is built for %1 (%2-bit), the program for %3 (%4-bit): the loader "
                                         "cannot use it")
                              .arg(ElfDynamic::MachineName(elf->machine))
                              .arg(elf->bits)
                              .arg(ElfDynamic::MachineName(reference->machine))
                              .arg(reference->bits)});
        else if (!elf->valid)
            problems.Add({true, file, QStringLiteral("cannot be read as an ELF library (%1)").arg(elf->problem)});
        else
            checkNeeded(file, elf->needed, true, problems);
    }
    const bool sharedQt = std::any_of(libraries_.cbegin(), libraries_.cend(), IsQtLibrary);
    for (const NeededFile &needed : Needed) {
        const QString path = runtime + QLatin1String(needed.path);
        if ((sharedQt || !needed.plugin) && !files_.contains(path))
            problems.Add({needed.error, path, QLatin1String(needed.why)});
    }
}

void RuntimeCheck::checkNeeded(const QString &path, const QStringList &needed, bool searchesRuntime,
                               FindingList &problems) const
{
    const QString folder = QLatin1String(RuntimeFolder) + LibraryFolder;
    QSet<QString> seen; // the loader loads a library named twice once
    for (const QString &name : needed) {
        if (LeftToSystem(name) || seen.contains(name))
            continue;
        seen.insert(name);
        if (!libraries_.contains(name))
            problems.Add({true, path,
                          QStringLiteral("needs %1, which is neither in %2 nor left to the system: it does not "
                                         "start on a desktop without it")
                              .arg(ShownText::Cut(name), folder)});
        else if (!searchesRuntime)
            problems.Add(
                {true, path,
                 QStringLiteral("needs %1 but does not look for it in %2 (no library search path %3): it does not "
                                "start on a desktop without Qt 6")
                     .arg(ShownText::Cut(name), folder, ProgramRunpath)});
    }
}
