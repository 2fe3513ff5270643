#pragma once

#include "toolkit/Component.h"
#include "toolkit/RzCommon.h"

#include <QColor>

#include <optional>

class QEvent;
class QEnterEvent;
class QFocusEvent;
class QKeyEvent;
class QResizeEvent;
class QWidget;

// The frame behaviour the framed Rz controls share, on top of a Qt scroll-area control: a 2-pixel
// edge around the text or list area, painted in the control's colour and overlaid with a frame of
// the chosen style on the chosen sides; a flat frame switches style with focus and pointer.
template <class Base> class TRzFramedControl : public Base
{
public:
    // The edge around the text or list area, in pixels on every side.
    static constexpr int EdgeWidth = 2;

    explicit TRzFramedControl(QWidget *parent = nullptr);

    bool FrameVisible() const { return frameVisible_; }
    void SetFrameVisible(bool visible);

    // A flat frame shows FrameFlatStyle, or FrameFocusStyle while focused or under the pointer.
    bool FrameFlat() const { return frameFlat_; }
    void SetFrameFlat(bool flat);

    TFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TFrameStyle style);
    TFrameStyle FrameFlatStyle() const { return frameFlatStyle_; }
    void SetFrameFlatStyle(TFrameStyle style);
    TFrameStyle FrameFocusStyle() const { return frameFocusStyle_; }
    void SetFrameFocusStyle(TFrameStyle style);

    TSides FrameSides() const { return frameSides_; }
    void SetFrameSides(TSides sides);

    // clBtnShadow unless set.
    QColor FrameColor() const;
    void SetFrameColor(const QColor &colour);

    // The background of the text or list area (clWindow unless set).
    QColor Color() const;
    void SetColor(const QColor &colour);

    // Enter moves the focus on as Tab does.
    bool TabOnEnter() const { return tabOnEnter_; }
    void SetTabOnEnter(bool tabOnEnter) { tabOnEnter_ = tabOnEnter; }

    // While loading from a window description, FrameFlat leaves the stored sides and style alone.
    void BeginLoad() { loading_ = true; }
    void EndLoad() { loading_ = false; }
    bool Loading() const { return loading_; }

    bool PointerOver() const { return pointerOver_; }

    // Draws the edge and frame of the whole control (edge included) into canvas.
    void PaintFrame(QPainter &canvas) const;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void RefreshFrameState(bool fromPointer, bool inside);
    // Repaints the edge at once.
    void RepaintFrame();
    // Handles Enter with TabOnEnter; true when the key was used.
    bool TabOnEnterKey(QKeyEvent *event);

    bool event(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool frameVisible_ = false;
    bool frameFlat_ = false;
    TFrameStyle frameStyle_ = fsFlat;
    TFrameStyle frameFlatStyle_ = fsStatus;
    TFrameStyle frameFocusStyle_ = fsLowered;
    TSides frameSides_ = TSides::All();
    std::optional<QColor> frameColor_;
    bool tabOnEnter_ = false;
    bool loading_ = false;
    bool pointerOver_ = false;
};
