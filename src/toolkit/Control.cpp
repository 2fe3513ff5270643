#include "toolkit/Control.h"

#include "toolkit/ControlAccessible.h"
#include "toolkit/Dispatch.h"

#include <QMouseEvent>
#include <QPointer>

#include <utility>

TControl::TControl(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    TControlAccessible::Install();
}

void TControl::Click()
{
    Dispatch::Guarded([this] {
        if (OnClick)
            OnClick(this);
    });
}

void TControl::MouseButton(const TMouseEvent &handler, const QMouseEvent &event)
{
    const QPoint p = event.position().toPoint();
    const Qt::MouseButton button = event.button();
    const Qt::KeyboardModifiers shift = event.modifiers();
    Dispatch::Guarded([this, &handler, p, button, shift] {
        if (handler)
            handler(this, button, shift, p.x(), p.y());
    });
}

void TControl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
    MouseButton(OnMouseDown, *event);
    event->accept();
}

void TControl::mouseReleaseEvent(QMouseEvent *event)
{
    // A click may close the window or take the control away: the release is reported to what is left.
    const QPointer<TControl> self(this);
    if (event->button() == Qt::LeftButton) {
        const bool wasPressed = std::exchange(pressed_, false);
        if (wasPressed && rect().contains(event->position().toPoint()))
            Click();
    }
    if (self)
        MouseButton(OnMouseUp, *event);
    event->accept();
}

void TControl::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double-click is a press too, but no click of its own.
    const QPointer<TControl> self(this);
    if (event->button() == Qt::LeftButton) {
        pressed_ = false;
        Dispatch::Guarded([this] {
            if (OnDblClick)
                OnDblClick(this);
        });
    }
    if (self)
        MouseButton(OnMouseDown, *event);
    event->accept();
}

void TControl::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    const Qt::KeyboardModifiers shift = event->modifiers();
    Dispatch::Guarded([this, p, shift] {
        if (OnMouseMove)
            OnMouseMove(this, shift, p.x(), p.y());
    });
    event->accept();
}

void TControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Dispatch::Guarded([this] {
        if (OnResize)
            OnResize(this);
    });
}

void TControl::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    Dispatch::Guarded([this] {
        MouseEntered();
        if (OnMouseEnter)
            OnMouseEnter(this);
    });
}

void TControl::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    Dispatch::Guarded([this] {
        MouseLeft();
        if (OnMouseLeave)
            OnMouseLeave(this);
    });
}
