#include "platform/DiscPath.h"

// Windows finds every name without regard to letter case already.
QString DiscPath::Resolve(const QString &path)
{
    return path;
}
