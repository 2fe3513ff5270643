#pragma once

#include <QIcon>
#include <QString>

// The icon the desktop associates with a file: on Windows the shell's icon for it; elsewhere its
// MIME type's icon from the icon theme, then the type's generic icon; failing those, the widget
// style's plain file icon.
class FileIcons
{
public:
    // The size of a large shell icon, in pixels.
    static constexpr int LargeIconSize = 32;

    static QIcon Associated(const QString &path);
};
