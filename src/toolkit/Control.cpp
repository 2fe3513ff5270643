#include "toolkit/Control.h"

#include "toolkit/ControlAccessible.h"
#include "toolkit/Dispatch.h"

#include <QMouseEvent>

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

void TControl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
    event->accept();
}

void TControl::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const bool wasPressed = std::exchange(pressed_, false);
        if (wasPressed && rect().contains(event->position().toPoint()))
            Click();
    }
    event->accept();
}

void TControl::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        // The second press of a double-click is no click of its own.
        pressed_ = false;
        Dispatch::Guarded([this] {
            if (OnDblClick)
                OnDblClick(this);
        });
    }
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
