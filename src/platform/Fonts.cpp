#include "platform/Fonts.h"

#include <QFont>
#include <QIcon>
#include <QStandardPaths>

void Fonts::Install()
{
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    // Without a desktop's platform theme (offscreen) Qt looks for themes in its resources only.
    QStringList searchPaths = QIcon::themeSearchPaths();
    const QStringList desktopPaths = QStandardPaths::locateAll(
        QStandardPaths::GenericDataLocation, QStringLiteral("icons"), QStandardPaths::LocateDirectory);
    for (const QString &path : desktopPaths) {
        if (!searchPaths.contains(path))
            searchPaths.append(path);
    }
    QIcon::setThemeSearchPaths(searchPaths);
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}
