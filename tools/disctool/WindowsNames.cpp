#include "WindowsNames.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

constexpr qsizetype MaxJolietName = 64;
// Joliet's limit of a path's length, in bytes: two a character, one a separator and the root.
constexpr int MaxJolietPathBytes = 240;
const QString JolietRefuses = QStringLiteral("*/:;?\\");
const QString WindowsRefuses = QStringLiteral("<>\"|");

QString shown(QChar c)
{
    if (c.unicode() < 0x20)
        return QStringLiteral("\\x") + QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
    return QString(c);
}

} // namespace

namespace WindowsNames {

QString Problem(const QString &name)
{
    // QString counts UTF-16 code units, as Joliet does: a character beyond them takes two.
    if (name.size() > MaxJolietName)
        return QStringLiteral("is longer than the %1 characters a Joliet name holds: Windows shows it cut short")
            .arg(MaxJolietName);
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || JolietRefuses.contains(c))
            return QStringLiteral("holds \"%1\", which Joliet replaces with \"_\": Windows shows another name")
                .arg(shown(c));
        if (WindowsRefuses.contains(c))
            return QStringLiteral("holds \"%1\", which Windows does not allow in a name: Windows cannot open it")
                .arg(c);
    }
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return QStringLiteral("ends in a dot or a blank, which Windows drops from a name: Windows cannot open it");
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9]) *(\\..*)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    if (device.match(name).hasMatch())
        return QStringLiteral("is the name of a device on Windows: Windows opens the device instead");
    return {};
}

QString PathProblem(const QString &path)
{
    const QStringList names = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (names.isEmpty())
        return {};
    const QString problem = Problem(names.back());
    if (!problem.isEmpty())
        return problem;
    int bytes = 1; // the root
    for (const QString &name : names)
        bytes += 1 + 2 * int(name.size());
    if (bytes > MaxJolietPathBytes)
        return QStringLiteral("its path is longer than the %1 bytes a Joliet path holds: Windows does not show it")
            .arg(MaxJolietPathBytes);
    return {};
}

} // namespace WindowsNames
