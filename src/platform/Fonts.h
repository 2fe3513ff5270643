#pragma once

#include <QString>

// The original's typefaces mapped onto metric-compatible fonts, which are added from the folder
// the program carries them in when the system has none, and the icon theme set up where the
// platform gives none.
class Fonts
{
public:
    static void Install(const QString &carriedFonts = {});
};
