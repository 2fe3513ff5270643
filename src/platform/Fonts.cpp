#include "platform/Fonts.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>

void Fonts::Install(const QString &carriedFonts)
{
    // The faces of the design travel with the program for desktops that lack them; the system's
    // own copies, where installed, are used as they are.
    if (!carriedFonts.isEmpty() && SystemLacksFaces()) {
        const QDir folder(carriedFonts);
        for (const QString &file : folder.entryList({QStringLiteral("*.ttf")}, QDir::Files, QDir::Name))
            QFontDatabase::addApplicationFont(folder.filePath(file));
    }
    // A substitute stands in only where the face itself is missing.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    SetUpIconTheme();
}
