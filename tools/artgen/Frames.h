#pragma once

#include <QImage>
#include <QList>

// The frames of the main menu's four animated buttons, 214 by 81 each, already reduced to the
// 5-5-5 colours the image-list stream keeps.
namespace Frames {

inline constexpr int Width = 214;
inline constexpr int Height = 81;

QList<QImage> ExtraFiles(); // 41 frames: the cube stack taken apart and built up; rest frame 33
QList<QImage> Sampleware(); // 29 frames: the small cube slides into the open cube and back
QList<QImage> Order();      // 35 frames: the box opens, a block rises and sinks, the box closes
QList<QImage> Toolbox();    // 26 frames: the blocks on the tray hop one after another

} // namespace Frames
