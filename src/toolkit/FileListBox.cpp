#include "toolkit/FileListBox.h"

#include "platform/DiscPath.h"
#include "platform/FileOps.h"
#include "toolkit/Exceptions.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {
const QChar Separator = QDir::separator();

// Wildcard match of one pattern against the whole name, letter case ignored.
bool wildcardMatch(QStringView name, QStringView pattern)
{
    qsizetype n = 0;
    qsizetype p = 0;
    qsizetype starPattern = -1;
    qsizetype starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == QLatin1Char('?') || pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (starPattern >= 0) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

bool patternMatches(const QString &name, QStringView pattern)
{
    if (wildcardMatch(name, pattern))
        return true;
    // "Setup.*" finds "Setup" too, and "*.*" finds every name.
    return pattern.endsWith(QLatin1String(".*")) && !name.contains(QLatin1Char('.')) &&
           wildcardMatch(name, pattern.chopped(2));
}

// The folder's plain files, hidden and system files left out by the system's own rules.
QStringList listFiles(const QString &folder, const QString &mask)
{
    QStringList names;
    for (const QString &name : FileOps::ListFiles(folder, QStringLiteral("*"))) {
        if (TFileListBox::Matches(name, mask))
            names.append(name);
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int blind = a.compare(b, Qt::CaseInsensitive);
        return blind != 0 ? blind < 0 : a < b;
    });
    return names;
}

bool hasWildcard(QStringView part)
{
    return part.contains(QLatin1Char('*')) || part.contains(QLatin1Char('?'));
}
} // namespace

TFileListBox::TFileListBox(QObject *owner) : QObject(owner) {}

bool TFileListBox::Matches(const QString &name, const QString &mask)
{
    for (const QStringView pattern : QStringView(mask).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringView trimmed = pattern.trimmed();
        if (!trimmed.isEmpty() && patternMatches(name, trimmed))
            return true;
    }
    return false;
}

void TFileListBox::SetMask(const QString &mask)
{
    if (mask == mask_)
        return;
    mask_ = mask;
    // The folder may have gone since it was listed; the list is then simply empty.
    items_ = directory_.isEmpty() ? QStringList() : listFiles(directory_, mask_);
}

void TFileListBox::ApplyFilePath(const QString &path)
{
    QString folder = path;
    QString mask = mask_;
    const qsizetype cut = path.lastIndexOf(Separator) + 1;
    if (hasWildcard(QStringView(path).mid(cut))) {
        folder = path.left(cut);
        mask = path.mid(cut);
    }

    // A relative folder is taken from the current folder, and kept as the full path it names there.
    QString found = DiscPath::Resolve(folder);
    if (QDir::isRelativePath(found))
        found = QDir::toNativeSeparators(QDir::cleanPath(QDir::current().absoluteFilePath(found)));
    if (!found.endsWith(Separator))
        found.append(Separator);
    const QStringList items = listFiles(found, mask);
    if (!QFileInfo(found).isDir() || !QDir::setCurrent(found))
        throw EInOutError(QStringLiteral("Cannot open file %1").arg(folder));

    directory_ = found;
    mask_ = mask;
    items_ = items;
}
