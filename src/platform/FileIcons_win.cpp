#include "platform/FileIcons.h"

#include "platform/AnsiText.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QStyle>

#include <windows.h>

#include <shellapi.h>

QIcon FileIcons::Associated(const QString &path)
{
    // The shell's large icon for the file: its own icon, the icon of the program registered for its
    // type, or the shell's default one.
    constexpr UINT flags = SHGFI_ICON | SHGFI_LARGEICON;
    const HICON handle = AnsiText::Call(
        [](const char *name) {
            SHFILEINFOA info = {};
            return SHGetFileInfoA(name, 0, &info, sizeof info, flags) ? info.hIcon : HICON();
        },
        [](const wchar_t *name) {
            SHFILEINFOW info = {};
            return SHGetFileInfoW(name, 0, &info, sizeof info, flags) ? info.hIcon : HICON();
        },
        QDir::toNativeSeparators(path));
    if (handle) {
        const QImage image = QImage::fromHICON(handle);
        DestroyIcon(handle);
        if (!image.isNull())
            return QIcon(QPixmap::fromImage(image));
    }
    return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
}
