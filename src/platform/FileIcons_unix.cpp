#include "platform/FileIcons.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QStyle>

QIcon FileIcons::Associated(const QString &path)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    if (type.isValid()) {
        const QIcon own = QIcon::fromTheme(type.iconName());
        if (!own.isNull())
            return own;
        const QIcon generic = QIcon::fromTheme(type.genericIconName());
        if (!generic.isNull())
            return generic;
    }
    return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
}
