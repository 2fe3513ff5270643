#pragma once

#include <QString>

// Case-blind lookup of paths on a disc: discs mastered without long-name extensions show their
// names in another letter case than the program asks for.
class DiscPath
{
public:
    // The path as written when it exists; otherwise the existing path whose components match it
    // without regard to letter case; otherwise the path unchanged. A trailing separator is kept.
    static QString Resolve(const QString &path);
};
