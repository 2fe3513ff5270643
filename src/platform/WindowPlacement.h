#pragma once

class QWidget;

// Placing top-level windows: where the window system lets a program place its windows, a window is
// centred on its screen with its frame (title bar and borders) included. A Wayland compositor
// places windows itself, and there nothing is moved.
class WindowPlacement
{
public:
    static bool ProgramPlacesWindows();

    // Moves window so that its frame is centred on the available area of its screen. While the
    // window system has not framed it yet, the frame of another framed window of the program stands
    // in for its own. Returns whether the window's own frame was known.
    static bool Centre(QWidget &window);
};
