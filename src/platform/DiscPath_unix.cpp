#include "platform/DiscPath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {
const QChar Separator = QLatin1Char('/');

QString joined(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return name;
    return folder.endsWith(Separator) ? folder + name : folder + Separator + name;
}

// The entry of folder named name: as written when it exists, otherwise the first entry whose name
// equals it without regard to case; empty when there is none.
QString matchEntry(const QString &folder, const QString &name)
{
    const QString base = folder.isEmpty() ? QStringLiteral(".") : folder;
    if (QFileInfo::exists(joined(base, name)))
        return name;
    const QStringList entries =
        QDir(base).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}
} // namespace

QString DiscPath::Resolve(const QString &path)
{
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;

    const bool absolute = path.startsWith(Separator);
    const QStringList parts = path.split(Separator, Qt::SkipEmptyParts);
    const auto prefix = [&](qsizetype count) {
        const QString head = parts.mid(0, count).join(Separator);
        return absolute ? Separator + head : head;
    };

    // The longest prefix that exists as written is kept; the rest is matched case-blind.
    qsizetype known = parts.size() - 1;
    while (known > 0 && !QFileInfo::exists(prefix(known)))
        --known;

    QString current = prefix(known);
    for (qsizetype i = known; i < parts.size(); ++i) {
        const QString match = matchEntry(current, parts.at(i));
        if (match.isEmpty())
            return path;
        current = joined(current, match);
    }
    return path.endsWith(Separator) ? current + Separator : current;
}
