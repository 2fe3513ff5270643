#include "platform/Fonts.h"

#include <QFontDatabase>

// Windows has the design's faces itself; Wine has none of them.
bool Fonts::SystemLacksFaces()
{
    for (const char *face : {"Arial", "Times New Roman", "MS Sans Serif"}) {
        if (!QFontDatabase::hasFamily(QLatin1String(face)))
            return true;
    }
    return false;
}

// The shell draws the file icons; there is no icon theme to set up.
void Fonts::SetUpIconTheme() {}
