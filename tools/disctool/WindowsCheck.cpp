#include "WindowsCheck.h"

#include "EDiscError.h"
#include "ShownText.h"

#include "app/Startup.h"

#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <utility>
#include <vector>

namespace {

const QString PlatformPlugin = QStringLiteral("plugins/platforms/qwindows.dll");
const QString ManifestSuffix = QStringLiteral(".manifest");
constexpr qint64 MaxManifestBytes = 64 * 1024;
// No Windows has a DLL whose name is longer than a file name can be.
constexpr qsizetype MaxFileName = 255;

// What a manifest says: its own assembly's name, the private assemblies it depends on (shared
// ones, such as Windows' common controls, carry a public key and live in Windows itself) and the
// files of its assembly.
struct Manifest
{
    QString identity;
    QStringList dependencies;
    QStringList files;
    QString error; // why it cannot be read; empty when it can
};

Manifest parse(const QByteArray &bytes)
{
    Manifest manifest;
    QXmlStreamReader xml(bytes);
    std::vector<QString> open;
    while (!xml.atEnd() && !xml.hasError()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            open.pop_back();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString parent = open.empty() ? QString() : open.back();
        open.push_back(xml.name().toString());
        const QXmlStreamAttributes attributes = xml.attributes();
        const QString name = attributes.value(QLatin1String("name")).toString();
        if (xml.name() == QLatin1String("assemblyIdentity") && parent == QLatin1String("assembly"))
            manifest.identity = name;
        else if (xml.name() == QLatin1String("assemblyIdentity") && parent == QLatin1String("dependentAssembly") &&
                 !attributes.hasAttribute(QLatin1String("publicKeyToken")))
            manifest.dependencies.append(name);
        else if (xml.name() == QLatin1String("file") && parent == QLatin1String("assembly"))
            manifest.files.append(name);
    }
    if (xml.hasError())
        manifest.error = xml.errorString();
    return manifest;
}

QString folded(const QString &text)
{
    return text.toCaseFolded();
}

QString folderOf(const QString &path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

WindowsCheck::WindowsCheck(const QStringList &files, Reader read) : order_(files), read_(std::move(read))
{
    std::sort(order_.begin(), order_.end());
    for (const QString &path : std::as_const(order_))
        files_.insert(folded(path), path);
}

bool WindowsCheck::LeftToSystem(const QString &dll)
{
    if (dll.size() > MaxFileName)
        return false;
    static const QRegularExpression patterns =
        RuntimeCheck::Patterns(QStringLiteral(":/disctool/system-dlls.txt"), QRegularExpression::CaseInsensitiveOption);
    return patterns.match(dll).hasMatch();
}

const QString *WindowsCheck::file(const QString &path) const
{
    const auto found = files_.constFind(folded(path));
    return found == files_.cend() ? nullptr : &*found;
}

std::optional<PeImports> WindowsCheck::read(const QString &path, FindingList &problems) const
{
    try {
        return PeImports::Read([&](std::uint64_t offset, std::uint64_t length) {
            return read_(path, static_cast<qint64>(offset), static_cast<qint64>(length));
        });
    } catch (const EDiscError &e) {
        problems.Add({true, path, QStringLiteral("cannot be read: %1").arg(e.Message())});
        return std::nullopt;
    }
}

void WindowsCheck::Inspect(const QStringList &programs, FindingList &problems) const
{
    std::optional<PeImports> reference; // the first program read: the machine the disc is for
    Found found;
    for (const QString &path : order_) {
        if (!path.contains(QLatin1Char('/')))
            found.root.insert(folded(path), path);
    }
    QList<std::pair<QString, PeImports>> windowsPrograms;
    QStringList inspected;
    for (const QString &name : programs) {
        // Windows opens the program by its name without regard to case, as every file here is found.
        const QString *named = file(name);
        if (!named || inspected.contains(*named))
            continue;
        const QString program = *named;
        inspected.append(program);
        std::optional<PeImports> pe = read(program, problems);
        if (!pe || !pe->pe)
            continue; // a program for another system
        if (!pe->valid) {
            problems.Add({true, program,
                          QStringLiteral("cannot be read as a Windows program (%1): whether it starts cannot be "
                                         "told")
                              .arg(pe->problem)});
            continue;
        }
        if (!reference)
            reference = pe;
        addAssemblies(program, pe->manifest, found, problems);
        windowsPrograms.append({program, *pe});
    }
    if (windowsPrograms.isEmpty())
        return;

    bool usesRuntime = false;
    for (const auto &[program, pe] : std::as_const(windowsPrograms))
        usesRuntime = checkImports(program, pe.imports, found, problems) || usesRuntime;

    // The DLLs at the root and in the runtime's folders: Qt's and its plugins.
    QStringList folders = found.assemblyFolders;
    folders.append(QLatin1String(RuntimeFolder));
    for (const QString &path : order_) {
        if (!path.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive) || inspected.contains(path))
            continue;
        const bool atRoot = !path.contains(QLatin1Char('/'));
        if (!atRoot && std::none_of(folders.cbegin(), folders.cend(),
                                    [&](const QString &folder) { return folded(path).startsWith(folded(folder)); }))
            continue;
        const std::optional<PeImports> pe = read(path, problems);
        if (!pe)
            continue;
        if (!pe->pe)
            problems.Add({true, path, QStringLiteral("is not a Windows DLL")});
        else if (pe->machine != reference->machine)
            problems.Add({true, path,
                          QStringLiteral("is built for %1, the program for %2: Windows cannot load it")
                              .arg(PeImports::MachineName(pe->machine), PeImports::MachineName(reference->machine))});
        else if (!pe->valid)
            problems.Add({true, path, QStringLiteral("cannot be read as a Windows DLL (%1)").arg(pe->problem)});
        else
            checkImports(path, pe->imports, found, problems);
    }
    const QString platform = QLatin1String(RuntimeFolder) + PlatformPlugin;
    if (usesRuntime && !file(platform))
        problems.Add({true, platform, QStringLiteral("missing: the Windows program cannot open its window")});
}

void WindowsCheck::addAssemblies(const QString &program, const QByteArray &manifest, Found &found,
                                 FindingList &problems) const
{
    if (manifest.isEmpty())
        return;
    const Manifest own = parse(manifest);
    if (!own.error.isEmpty()) {
        problems.Add({true, program,
                      QStringLiteral("its manifest cannot be read (%1): Windows does not start it").arg(own.error)});
        return;
    }
    for (const QString &assembly : own.dependencies) {
        // Windows looks for a private assembly's manifest in a folder of its name, or beside the program.
        const QString *path = file(assembly + QLatin1Char('/') + assembly + ManifestSuffix);
        if (!path)
            path = file(assembly + ManifestSuffix);
        if (!path) {
            problems.Add({true, program,
                          QStringLiteral("its manifest names the private assembly %1, which is not on the disc "
                                         "(no %1/%1.manifest): Windows does not start it")
                              .arg(ShownText::Cut(assembly))});
            continue;
        }
        Manifest listed;
        try {
            const QByteArray bytes = read_(*path, 0, MaxManifestBytes + 1);
            listed = bytes.size() > MaxManifestBytes
                         ? Manifest{{}, {}, {}, QStringLiteral("larger than %1 kB").arg(MaxManifestBytes / 1024)}
                         : parse(bytes);
        } catch (const EDiscError &e) {
            listed.error = e.Message();
        }
        if (!listed.error.isEmpty()) {
            problems.Add({true, *path,
                          QStringLiteral("cannot be read (%1): Windows does not start %2").arg(listed.error, program)});
            continue;
        }
        if (listed.identity.compare(assembly, Qt::CaseInsensitive) != 0) {
            problems.Add({true, *path,
                          QStringLiteral("names the assembly \"%1\", not %2 as %3 asks: Windows does not start %3")
                              .arg(ShownText::Cut(listed.identity), ShownText::Cut(assembly), program)});
            continue;
        }
        const QString folder = folderOf(*path);
        found.assemblyFolders.append(folder);
        for (const QString &name : listed.files) {
            const QString *dll = file(folder + name);
            if (dll)
                found.assembly.insert(folded(name), *dll);
            else
                problems.Add(
                    {true, *path,
                     QStringLiteral("lists %1, which is not in %2: Windows does not start %3")
                         .arg(ShownText::Cut(name), folder.isEmpty() ? QStringLiteral("./") : folder, program)});
        }
    }
}

bool WindowsCheck::checkImports(const QString &path, const QStringList &imports, const Found &found,
                                FindingList &problems) const
{
    const bool atRoot = !path.contains(QLatin1Char('/'));
    const bool inAssembly = std::find(found.assembly.cbegin(), found.assembly.cend(), path) != found.assembly.cend();
    // Qt loads a plugin by its path, so Windows also looks beside the plugin.
    const QString beside = atRoot || inAssembly ? QString() : folded(folderOf(path));
    bool own = false;
    QSet<QString> seen; // a DLL imported twice is loaded once
    for (const QString &name : imports) {
        const QString key = folded(name);
        if (LeftToSystem(name) || seen.contains(key))
            continue;
        seen.insert(key);
        own = true;
        if (found.root.contains(key) || found.assembly.contains(key) ||
            (!beside.isEmpty() && files_.contains(beside + key)))
            continue;
        const bool plugin = !beside.isEmpty();
        problems.Add({true, path,
                      QStringLiteral("needs %1, which is neither %2beside the program, nor in the program's private "
                                     "assembly, nor a part of Windows: %3")
                          .arg(ShownText::Cut(name), plugin ? QStringLiteral("beside it, nor ") : QString(),
                               plugin ? QStringLiteral("Qt cannot load it")
                                      : QStringLiteral("Windows does not start the program"))});
    }
    return own;
}
