#include "platform/Fonts.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QStandardPaths>

void Fonts::Install(const QString &carriedFonts)
{
    // The faces of the design travel with the program for desktops that lack them; the system's
    // own copies, where installed, are used as they are.
    if (!carriedFonts.isEmpty() && (!QFontDatabase::hasFamily(QStringLiteral("Liberation Sans")) ||
                                    !QFontDatabase::hasFamily(QStringLiteral("Liberation Serif")))) {
        const QDir folder(carriedFonts);
        for (const QString &file : folder.entryList({QStringLiteral("*.ttf")}, QDir::Files, QDir::Name))
            QFontDatabase::addApplicationFont(folder.filePath(file));
    }
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
