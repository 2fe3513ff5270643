#include "platform/WindowPlacement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

// The frame around window's client area as the window system reports it now; empty while it has
// not framed the window. A widget's own frame geometry is not used: it is brought up to date only
// when the window moves, and a window that the window system framed where it stood never moved.
QMargins FrameOf(const QWidget &window)
{
    const QWindow *handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

// The frame the window system gives the program's other windows, if one of them is framed.
QMargins OtherWindowsFrame(const QWidget &window)
{
    for (const QWidget *other : QApplication::topLevelWidgets()) {
        if (other == &window || !other->isVisible())
            continue;
        const QMargins frame = FrameOf(*other);
        if (!frame.isNull())
            return frame;
    }
    return {};
}

} // namespace

bool WindowPlacement::ProgramPlacesWindows()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool WindowPlacement::Centre(QWidget &window)
{
    if (!ProgramPlacesWindows())
        return true;
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return true;
    QMargins frame = FrameOf(window);
    const bool known = !frame.isNull();
    if (!known)
        frame = OtherWindowsFrame(window);
    QRect framed = window.geometry().marginsAdded(frame);
    framed.moveCenter(screen->availableGeometry().center());
    if (window.testAttribute(Qt::WA_WState_Created)) {
        // The client area goes where the frame leaves it: the window system frames a window around
        // its client area where it stands.
        window.setGeometry(framed.marginsRemoved(frame));
    } else {
        // Not created yet: a position given now is the frame's, kept when the window is framed.
        window.move(framed.topLeft());
    }
    return known;
}
