#pragma once

#include <QString>

// The original's typefaces: the system's own where it has them, otherwise metric-compatible fonts
// added from the folder the program carries them in; and, where the platform gives none, the icon
// theme that draws file icons.
class Fonts
{
public:
    static void Install(const QString &carriedFonts = {});

private:
    // Whether the system lacks a face the carried fonts stand in for.
    static bool SystemLacksFaces();
    static void SetUpIconTheme();
};
