#pragma once

#include "toolkit/Component.h"

#include <QWidget>

// A custom-drawn control with the original toolkit's events: a click is a press and a release
// inside the control, a double-click gives one click and one double-click, and every event runs
// through the dispatch guard.
class TControl : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)

public:
    explicit TControl(QWidget *parent = nullptr);

    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    // Raised after the control's size has changed.
    TNotifyEvent OnResize;

    // Runs OnClick as a completed press and release would.
    void Click();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

    // Called before OnMouseEnter / OnMouseLeave, for controls that react themselves.
    virtual void MouseEntered() {}
    virtual void MouseLeft() {}

private:
    void MouseButton(const TMouseEvent &handler, const QMouseEvent &event);

    int tag_ = 0;
    bool pressed_ = false;
};
