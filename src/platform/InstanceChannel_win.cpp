#include "platform/InstanceChannel.h"

#include "platform/AnsiText.h"

#include <QWidget>

#include <windows.h>

// Qt 6.4 registers its windows under class names of its own ("Qt642QWindowIcon") and offers a
// program no way to choose one, so the main window cannot carry the class "TfrmMain" itself. The
// running menu therefore owns a hidden top-level window of that class and caption: a later start
// finds it with FindWindowA and reaches the main window as its owner (GW_OWNER), just as a found
// main form leads to the window that carries the task-bar button and is what is minimised. A
// message-only window would not do: FindWindowA does not see those.

namespace {
// Restores a minimised window, otherwise brings it to the front.
void bringForward(HWND window)
{
    if (IsIconic(window))
        ShowWindow(window, SW_SHOWNORMAL);
    else
        SetForegroundWindow(window);
}
} // namespace

// Windows finds the running menu by its window, not by a socket.
struct InstanceChannel::Listener
{
};

InstanceChannel::InstanceChannel(const QString &windowClass, const QString &caption, QObject *parent)
    : QObject(parent), windowClass_(windowClass), caption_(caption)
{
}

InstanceChannel::~InstanceChannel()
{
    // The owner's end takes the marker along; otherwise it goes with the channel.
    if (marker_ && IsWindow(static_cast<HWND>(marker_)))
        DestroyWindow(static_cast<HWND>(marker_));
}

bool InstanceChannel::RaiseRunningCopy() const
{
    const HWND found = FindWindowA(AnsiText::Of(windowClass_).constData(), AnsiText::Of(caption_).constData());
    if (!found)
        return false;
    // A window of that class and caption that no window owns stands for itself.
    const HWND owner = GetWindow(found, GW_OWNER);
    bringForward(owner ? owner : found);
    return true;
}

bool InstanceChannel::Listen(QWidget *window)
{
    window_ = window;
    const auto owner = reinterpret_cast<HWND>(window->winId());
    // Without a native main window (the offscreen platform) there is nothing a later start could raise.
    if (!IsWindow(owner))
        return false;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const QByteArray className = AnsiText::Of(windowClass_);
    WNDCLASSA markerClass = {};
    markerClass.lpfnWndProc = DefWindowProcA;
    markerClass.hInstance = instance;
    markerClass.lpszClassName = className.constData();
    if (!RegisterClassA(&markerClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    marker_ =
        CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, className.constData(), AnsiText::Of(caption_).constData(),
                        WS_POPUP, 0, 0, 0, 0, owner, nullptr, instance, nullptr);
    return marker_ != nullptr;
}

void InstanceChannel::BringForward(QWidget *window)
{
    bringForward(reinterpret_cast<HWND>(window->winId()));
}
