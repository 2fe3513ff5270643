#include "DiscChecker.h"

#include "BitmapProbe.h"
#include "EDiscError.h"
#include "RuntimeCheck.h"

#include "app/GlobalsU.h"
#include "app/Startup.h"
#include "platform/DiscPath.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>

namespace {

const QString Root = QStringLiteral("./");
const QString SetupName = QStringLiteral("Setup.exe");
const char *const ToolNames[] = {"WinZip", "Flash", "Acrobat", "Real"};
const char *const TextNames[] = {"Zip.txt", "Flash.txt", "Acrobat.txt", "Real.txt", "Sample.txt", "Extra File.txt"};
const char *const TemplateTypes[] = {"doc", "xls", "mdb", "wks", "wps"};

bool hasDigits(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A native program for this desktop or the one the series first shipped for.
bool looksLikeProgram(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray magic = file.read(4);
    return magic == QByteArrayLiteral("\x7f"
                                      "ELF") ||
           magic.startsWith("MZ");
}

// Text whose bytes read as UTF-8 shows as mojibake in the menu, which takes them as Windows-1252.
bool isUtf8WithAccents(const QByteArray &bytes)
{
    if (std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return static_cast<uchar>(c) < 0x80; }))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

// The plain files of a folder that the menu's file list shows for mask: no folders, no hidden files.
QStringList listed(const QString &folder, const QStringList &mask = {})
{
    return QDir(folder).entryList(mask, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

} // namespace

QString DiscChecker::Finding::Line() const
{
    return (error ? QStringLiteral("error: ") : QStringLiteral("warning: ")) + path + QStringLiteral(": ") + what;
}

DiscChecker::DiscChecker(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        throw EDiscError(QStringLiteral("%1 is not a folder").arg(folder));
    root_ = info.absoluteFilePath();
    if (!root_.endsWith(QLatin1Char('/')))
        root_.append(QLatin1Char('/'));
}

QList<DiscChecker::Finding> DiscChecker::Check()
{
    findings_.clear();
    checkBackdrops(checkPrograms());
    checkBitmap(GlobalsU::FolderOf(DiscFolder::SamplePics) + QStringLiteral("Sampleware.bmp"), 214, 180, true);
    checkTexts();
    checkWebPages();
    checkTemplates();
    checkMediaFolders();
    checkInstallers();
    checkAutorun();
    checkRuntime();
    checkNameCase(root_);
    std::stable_partition(findings_.begin(), findings_.end(), [](const Finding &f) { return f.error; });
    return findings_;
}

QStringList DiscChecker::Programs(const QString &folder)
{
    QStringList programs;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (name.compare(SetupName, Qt::CaseInsensitive) != 0 && !name.endsWith(QStringLiteral(".sh")) &&
            looksLikeProgram(entry.absoluteFilePath()))
            programs.append(name);
    }
    return programs;
}

std::set<int> DiscChecker::checkPrograms()
{
    std::set<int> schemes;
    const QStringList programs = Programs(root_);
    for (const QString &name : programs) {
        const QFileInfo entry(root_ + name);
        if (entry.isSymLink()) {
            error(name, QStringLiteral("is a symbolic link: the menu would look for its files beside the link's "
                                       "target; put a copy of the program here"));
            continue;
        }
        if (!entry.isExecutable())
            error(name, QStringLiteral("is not executable"));
        if (!hasDigits(name))
            warning(name, QStringLiteral("has no digits in its name: the menu presents the starter disc "
                                         "(disc 0, blue scheme)"));
        try {
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
    QDirIterator walk(root_ + QLatin1String(RuntimeFolder), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (walk.hasNext())
        files.append(relative(walk.next()));
    const RuntimeCheck runtime(files, [this](const QString &path) {
        QFile file(root_ + path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    });
    for (const RuntimeCheck::Problem &problem : runtime.Inspect(programs_)) {
        if (problem.error)
            error(problem.path, problem.what);
        else
            warning(problem.path, problem.what);
    }
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
    const QString file = resolve(path);
    const BitmapProbe probe = BitmapProbe::Inspect(file);
    // A picture of a scheme no program on the disc uses is never read: its faults are only warnings.
    const QString unused = used ? QString() : QStringLiteral(" (no program on this disc uses it)");
    const auto report = [&](const QString &what) {
        if (used)
            error(relative(file), what);
        else
            warning(relative(file), what + unused);
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
            warning(relative(file), QStringLiteral("%1x%2, not %3x%4: the menu paints it over part of its built-in "
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
    for (const char *name : TextNames) {
        const QString path = GlobalsU::FolderOf(DiscFolder::TextFiles) + QString::fromLatin1(name);
        const QString file = resolve(path);
        const QFileInfo info(file);
        if (!info.exists()) {
            error(path, QStringLiteral("missing"));
            continue;
        }
        QFile text(file);
        if (info.isDir() || !text.open(QIODevice::ReadOnly)) {
            error(relative(file), QStringLiteral("cannot be read: %1")
                                      .arg(info.isDir() ? QStringLiteral("it is a folder") : text.errorString()));
            continue;
        }
        const QByteArray bytes = text.readAll();
        if (text.error() != QFileDevice::NoError)
            error(relative(file), QStringLiteral("cannot be read: %1").arg(text.errorString()));
        else if (isUtf8WithAccents(bytes))
            warning(relative(file), QStringLiteral("written in UTF-8: the menu shows its bytes as Windows-1252, "
                                                   "so accented letters come out garbled"));
    }
}

void DiscChecker::checkWebPages()
{
    for (const char *name : {"Order.html", "Help.html"}) {
        const QString path = GlobalsU::FolderOf(DiscFolder::WebFiles) + QString::fromLatin1(name);
        const QFileInfo info(resolve(path));
        if (!info.exists())
            error(path, QStringLiteral("missing"));
        else if (!info.isFile())
            error(relative(info.filePath()), QStringLiteral("is not a file"));
    }
}

void DiscChecker::checkTemplates()
{
    const QString path = GlobalsU::FolderOf(DiscFolder::Templates);
    const QFileInfo info(resolve(path));
    if (!info.exists()) {
        error(path, QStringLiteral("missing: the extra-files page cannot list its templates"));
        return;
    }
    if (!info.isDir()) {
        error(relative(info.filePath()), QStringLiteral("is not a folder"));
        return;
    }
    const QStringList templates = listed(info.filePath());
    if (templates.isEmpty())
        warning(relative(info.filePath()),
                QStringLiteral("no templates: the list on the extra-files page stays empty"));
    for (const QString &name : templates) {
        const QString suffix = QFileInfo(name).suffix();
        const bool known = std::any_of(std::begin(TemplateTypes), std::end(TemplateTypes), [&](const char *type) {
            return suffix.compare(QLatin1String(type), Qt::CaseInsensitive) == 0;
        });
        if (!known)
            warning(relative(info.filePath()) + name,
                    QStringLiteral("not a .doc, .xls, .mdb, .wks or .wps file: the copy dialog offers no file type "
                                   "for it"));
    }
}

void DiscChecker::checkMediaFolders()
{
    for (const DiscFolder folder : {DiscFolder::Images, DiscFolder::Sounds}) {
        const QString path = GlobalsU::FolderOf(folder);
        const QFileInfo info(resolve(path));
        if (!info.exists())
            error(path, QStringLiteral("missing: delivering a template fails without it"));
        else if (!info.isDir())
            error(relative(info.filePath()), QStringLiteral("is not a folder: delivering a template fails"));
    }
}

void DiscChecker::checkInstallers()
{
    const QString sample = GlobalsU::FolderOf(DiscFolder::Sample) + SetupName;
    if (!QFileInfo(resolve(sample)).isFile() && listed(root_, {SetupName}).isEmpty())
        error(sample, QStringLiteral("missing, and no Setup.exe at the disc root either: the sample program's "
                                     "installer cannot start"));

    for (int tool = 1; tool <= 4; ++tool) {
        const QString path = GlobalsU::ToolFolder(tool);
        const QFileInfo folder(resolve(path));
        const QString program = QString::fromLatin1(ToolNames[tool - 1]);
        if (!folder.isDir())
            error(path, QStringLiteral("missing: the %1 installer cannot start").arg(program));
        else if (listed(folder.filePath(), {SetupName}).isEmpty())
            error(relative(folder.filePath()),
                  QStringLiteral("no Setup.exe: the %1 installer cannot start").arg(program));
    }
}

void DiscChecker::checkAutorun()
{
    const QFileInfo autorun(resolve(QStringLiteral("autorun.sh")));
    if (!autorun.exists())
        warning(QStringLiteral("autorun.sh"),
                QStringLiteral("missing: the menu does not start by itself when the disc is inserted"));
    else if (!autorun.isFile() || !autorun.isExecutable())
        warning(relative(autorun.filePath()),
                QStringLiteral("not an executable file: the menu does not start by itself when the disc is inserted"));
}

void DiscChecker::checkNameCase(const QString &folder)
{
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    QHash<QString, QString> seen;
    for (const QFileInfo &entry : entries) {
        const QString key = entry.fileName().toCaseFolded();
        const auto earlier = seen.constFind(key);
        if (earlier != seen.cend())
            warning(relative(entry.absoluteFilePath()),
                    QStringLiteral("differs only in letter case from \"%1\": the menu may open either").arg(*earlier));
        else
            seen.insert(key, entry.fileName());
        if (entry.isDir() && !entry.isSymLink())
            checkNameCase(entry.absoluteFilePath());
    }
}

QString DiscChecker::resolve(const QString &path) const
{
    return DiscPath::Resolve(root_ + path);
}

QString DiscChecker::relative(const QString &path) const
{
    QString rel = path.startsWith(root_) ? path.mid(root_.size()) : path;
    return rel.isEmpty() ? Root : rel;
}

void DiscChecker::error(const QString &path, const QString &what)
{
    findings_.append({true, path, what});
}

void DiscChecker::warning(const QString &path, const QString &what)
{
    findings_.append({false, path, what});
}
