#include "platform/FileIcons.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QPixmap>
#include <QSize>
#include <QStyle>
#include <QtPlugin>

// Qt's theme lookup considers a theme's SVG files only where an icon engine for "svg" is
// registered, and recent themes (Adwaita 46 and later) keep their file-type icons as SVG with
// bitmaps at 16 px only. Qt's own engine comes with its SVG module, which the disc's Qt lacks; this
// one draws through the desktop's renderer. It is registered as the program starts, before Qt's
// icon loader first asks which engines there are.
Q_IMPORT_PLUGIN(SvgIconPlugin)

namespace {
// The theme's icon of that name. Where its SVG file at the large size cannot be drawn (the desktop
// has no SVG renderer), the theme's bitmaps of it alone, as Qt finds them without an SVG engine;
// none where the theme keeps it as SVG only.
QIcon Themed(const QString &name)
{
    const QIcon icon = QIcon::fromTheme(name);
    const QSize large(FileIcons::LargeIconSize, FileIcons::LargeIconSize);
    if (icon.isNull() || !icon.pixmap(large, 1.0).isNull())
        return icon;
    QIcon bitmaps;
    for (const QSize &size : icon.availableSizes()) {
        const QPixmap bitmap = icon.pixmap(size, 1.0);
        if (!bitmap.isNull())
            bitmaps.addPixmap(bitmap);
    }
    return bitmaps;
}
} // namespace

QIcon FileIcons::Associated(const QString &path)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    if (type.isValid()) {
        const QIcon own = Themed(type.iconName());
        if (!own.isNull())
            return own;
        const QIcon generic = Themed(type.genericIconName());
        if (!generic.isNull())
            return generic;
    }
    return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
}
