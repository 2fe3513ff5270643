#pragma once

#include <Qt>

#include <functional>

class QObject;

// The toolkit's notification callback: receives the sending object.
using TNotifyEvent = std::function<void(QObject *sender)>;

// The toolkit's pointer-move callback: sender, modifier keys, position in the sender.
using TMouseMoveEvent = std::function<void(QObject *sender, Qt::KeyboardModifiers shift, int x, int y)>;

// The toolkit's pointer-button callback: sender, the button, modifier keys, position in the sender.
using TMouseEvent =
    std::function<void(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)>;

// The Tag every component carries; shared handlers select their action by it.
int TagOf(const QObject *component);
void SetTagOf(QObject *component, int tag);
