#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QIcon>
#include <QStandardPaths>

// Arial, Times New Roman and MS Sans Serif are the Liberation faces here, through fontconfig's aliases.
bool Fonts::SystemLacksFaces()
{
    return !QFontDatabase::hasFamily(QStringLiteral("Liberation Sans")) ||
           !QFontDatabase::hasFamily(QStringLiteral("Liberation Serif"));
}

void Fonts::SetUpIconTheme()
{
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
