#include "platform/WindowPlacement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>

namespace {

// The frame around window's client area; empty while the window system has not framed it.
QMargins FrameOf(const QWidget &window)
{
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
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
    // A window's position is that of its frame.
    window.move(framed.topLeft());
    return known;
}
