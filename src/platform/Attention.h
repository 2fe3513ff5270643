#pragma once

class QWidget;

// Draws the user's attention to a window that could not come forward, in the desktop's own way.
class Attention
{
public:
    // On X11 the window manager's hint. On Wayland the window asks the compositor to activate it
    // without the user's say (xdg-activation), which compositors answer by marking it as asking
    // for attention; Qt's own alert does nothing there.
    static void Ask(QWidget *window);
};
