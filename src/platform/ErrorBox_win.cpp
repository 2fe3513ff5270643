#include "platform/ErrorBox.h"

#include "platform/AnsiText.h"

#include <QApplication>
#include <QWidget>

#include <windows.h>

void ErrorBox::ShowSystemBox(Icon icon, const QString &title, const QString &text)
{
    // The box belongs to the active window, which takes no input while it is open.
    const QWidget *active = QApplication::activeWindow();
    HWND owner = active ? reinterpret_cast<HWND>(active->winId()) : nullptr;
    if (owner && !IsWindow(owner))
        owner = nullptr;
    const UINT type = MB_OK | (icon == Icon::Stop ? MB_ICONSTOP : 0);
    AnsiText::Call([owner, type](const char *t, const char *c) { return MessageBoxA(owner, t, c, type); },
                   [owner, type](const wchar_t *t, const wchar_t *c) { return MessageBoxW(owner, t, c, type); }, text,
                   title);
}
