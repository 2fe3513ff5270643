#pragma once

// The original's typefaces mapped onto metric-compatible fonts, and the icon theme set up where
// the platform gives none.
class Fonts
{
public:
    static void Install();
};
