#include "RuntimeCheck.h"

#include "ElfDynamic.h"

#include "app/Startup.h"

#include <QFile>
#include <QRegularExpression>

#include <utility>

namespace {

const QString LibraryFolder = QStringLiteral("lib/");
const QString ProgramRunpath = QStringLiteral("$ORIGIN/Runtime/lib");

struct NeededFile
{
    const char *path; // under the runtime folder
    const char *why;
    bool error;
};

const NeededFile Needed[] = {
    {"plugins/platforms/libqxcb.so", "missing: the menu cannot open its window on X11 without Qt on the system", true},
    {"plugins/platforms/libqwayland-generic.so",
     "missing: the menu cannot open its window on Wayland without Qt on the system", true},
    {"plugins/wayland-shell-integration/libxdg-shell.so",
     "missing: the menu cannot open its window on Wayland without Qt on the system", true},
    {"plugins/wayland-decoration-client/libbradient.so",
     "missing: on Wayland desktops that draw no window frames the menu has no title bar", false},
    {"fonts/LiberationSans-Bold.ttf", "missing: the disc label loses its design where the fonts are not installed",
     false},
    {"fonts/LiberationSans-Regular.ttf", "missing: the menu's text loses its design where the fonts are not installed",
     false},
    {"fonts/LiberationSerif-Regular.ttf", "missing: the credits lose their design where the fonts are not installed",
     false},
};

// The names left to the system, as patterns; the list is shared with the build that lays out the runtime.
const QList<QRegularExpression> &systemPatterns()
{
    static const QList<QRegularExpression> patterns = [] {
        QList<QRegularExpression> list;
        QFile file(QStringLiteral(":/disctool/system-libraries.txt"));
        file.open(QIODevice::ReadOnly);
        for (const QByteArray &raw : file.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            list.append(QRegularExpression(QRegularExpression::wildcardToRegularExpression(line)));
        }
        return list;
    }();
    return patterns;
}

} // namespace

RuntimeCheck::RuntimeCheck(QStringList files, Reader read) : files_(std::move(files)), read_(std::move(read))
{
    const QString folder = QLatin1String(RuntimeFolder) + LibraryFolder;
    for (const QString &file : std::as_const(files_)) {
        if (file.startsWith(folder) && !file.mid(folder.size()).contains(QLatin1Char('/')))
            libraries_.append(file.mid(folder.size()));
    }
}

bool RuntimeCheck::LeftToSystem(const QString &soname)
{
    for (const QRegularExpression &pattern : systemPatterns()) {
        if (pattern.match(soname).hasMatch())
            return true;
    }
    return false;
}

QList<RuntimeCheck::Problem> RuntimeCheck::Inspect(const QStringList &programs) const
{
    QList<Problem> problems;
    const QString runtime = QLatin1String(RuntimeFolder);
    bool usesRuntime = false;
    for (const QString &program : programs) {
        const ElfDynamic elf = ElfDynamic::Read(read_(program));
        if (!elf.valid)
            continue;
        QStringList own;
        for (const QString &name : elf.needed) {
            if (!LeftToSystem(name))
                own.append(name);
        }
        if (own.isEmpty())
            continue;
        usesRuntime = true;
        if (libraries_.isEmpty() && files_.filter(QRegularExpression(QLatin1Char('^') + runtime)).isEmpty()) {
            problems.append({true, runtime,
                             QStringLiteral("missing: %1 needs libraries that a desktop without Qt 6 lacks (%2)")
                                 .arg(program, own.join(QStringLiteral(", ")))});
            return problems;
        }
        checkNeeded(program, elf.needed, elf.runpath.contains(ProgramRunpath), problems);
    }
    if (!usesRuntime)
        return problems;

    for (const QString &file : files_) {
        const bool library = file.endsWith(QLatin1String(".so")) || file.contains(QLatin1String(".so."));
        if (!file.startsWith(runtime) || !library)
            continue;
        const ElfDynamic elf = ElfDynamic::Read(read_(file));
        if (!elf.valid)
            problems.append({true, file, QStringLiteral("is not a library for this machine")});
        else
            checkNeeded(file, elf.needed, true, problems);
    }
    for (const NeededFile &needed : Needed) {
        const QString path = runtime + QLatin1String(needed.path);
        if (!files_.contains(path))
            problems.append({needed.error, path, QLatin1String(needed.why)});
    }
    return problems;
}

void RuntimeCheck::checkNeeded(const QString &path, const QStringList &needed, bool searchesRuntime,
                               QList<Problem> &problems) const
{
    const QString folder = QLatin1String(RuntimeFolder) + LibraryFolder;
    for (const QString &name : needed) {
        if (LeftToSystem(name))
            continue;
        if (!libraries_.contains(name))
            problems.append({true, path,
                             QStringLiteral("needs %1, which is neither in %2 nor left to the system: it does not "
                                            "start on a desktop without it")
                                 .arg(name, folder)});
        else if (!searchesRuntime)
            problems.append(
                {true, path,
                 QStringLiteral("needs %1 but does not look for it in %2 (no library search path %3): it does not "
                                "start on a desktop without Qt 6")
                     .arg(name, folder, ProgramRunpath)});
    }
}
