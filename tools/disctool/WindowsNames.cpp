#include "WindowsNames.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

constexpr qsizetype MaxJolietName = 64;
// The least of a file's extension that a cut name keeps.
constexpr qsizetype KeptExtension = 3;
// Joliet's limit of a path's length, in bytes: two a character, one a separator and the root.
constexpr int MaxJolietPathBytes = 240;
const QString JolietRefuses = QStringLiteral("*/:;?\\");
const QString WindowsRefuses = QStringLiteral("<>\"|");

bool jolietRefuses(QChar c)
{
    return c.unicode() < 0x20 || JolietRefuses.contains(c);
}

QString quoted(QChar c)
{
    if (c.unicode() < 0x20)
        return QStringLiteral("\"\\x%1\"").arg(QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0'));
    return QLatin1Char('"') + c + QLatin1Char('"');
}

// "a", "a and b", "a, b and c".
QString listed(const QStringList &items)
{
    if (items.size() < 2)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + items.back();
}

QString replaced(QStringView part)
{
    QString text;
    for (const QChar c : part)
        text += jolietRefuses(c) ? QChar(u'_') : c;
    return text;
}

} // namespace

namespace WindowsNames {

QString JolietName(const QString &name, bool folder)
{
    // QString counts UTF-16 code units, as Joliet does: a character beyond them takes two.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (folder || dot < 0 || dot == name.size() - 1)
        return replaced(QStringView(name).left(MaxJolietName));
    const qsizetype stem = dot;
    const qsizetype extension = name.size() - dot - 1;
    // The dot is not counted: a name and its extension share the 64 characters.
    if (stem + extension <= MaxJolietName)
        return replaced(name);
    const qsizetype keptExtension =
        extension <= KeptExtension ? extension : std::max(KeptExtension, MaxJolietName - stem);
    const QStringView view(name);
    return replaced(view.left(MaxJolietName - keptExtension)) + QLatin1Char('.') +
           replaced(view.mid(dot + 1, keptExtension));
}

QString Problem(const QString &name, bool folder, const std::optional<QString> &shownAs)
{
    QStringList jolietChanges;
    QStringList windowsRefuses;
    for (const QChar c : name) {
        QStringList &list = jolietRefuses(c) ? jolietChanges : windowsRefuses;
        if ((jolietRefuses(c) || WindowsRefuses.contains(c)) && !list.contains(quoted(c)))
            list.append(quoted(c));
    }
    const QString joliet = shownAs && !shownAs->isEmpty() ? *shownAs : JolietName(name, folder);
    const bool cut = joliet.size() < name.size();
    const bool trailing = name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' '));
    static const QRegularExpression deviceName(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9]) *(\\..*)?$"),
                                               QRegularExpression::CaseInsensitiveOption);
    const bool device = deviceName.match(name).hasMatch();

    QStringList faults;
    if (cut)
        faults.append(QStringLiteral("is longer than the %1 characters a Joliet name holds").arg(MaxJolietName));
    if (!jolietChanges.isEmpty())
        faults.append(QStringLiteral("holds %1, which Joliet replaces with \"_\"").arg(listed(jolietChanges)));
    if (!windowsRefuses.isEmpty())
        faults.append(QStringLiteral("holds %1, which Windows does not allow in a name").arg(listed(windowsRefuses)));
    if (trailing)
        faults.append(QStringLiteral("ends in a dot or a blank, which Windows drops from a name"));
    if (device)
        faults.append(QStringLiteral("is the name of a device on Windows"));
    if (faults.isEmpty())
        return {};

    QStringList effects;
    if (joliet != name)
        effects.append(
            QStringLiteral("shows it %1as \"%2\"").arg(cut ? QStringLiteral("cut short, ") : QString(), joliet));
    if (!windowsRefuses.isEmpty() || trailing)
        effects.append(QStringLiteral("cannot open it"));
    if (device)
        effects.append(QStringLiteral("opens the device instead"));
    return faults.join(QStringLiteral("; ")) + QStringLiteral(": Windows ") + listed(effects);
}

QString PathProblem(const QString &path, bool folder, const std::optional<QString> &joliet)
{
    const QStringList names = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (names.isEmpty())
        return {};
    const QString problem = Problem(names.back(), folder, joliet);
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
