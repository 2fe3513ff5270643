#include "toolkit/RzFramedControl.h"

#include "toolkit/Dispatch.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QRegion>
#include <QTextEdit>

template <class Base> TRzFramedControl<Base>::TRzFramedControl(QWidget *parent) : Base(parent)
{
    // A plain box of the edge's line width reserves the edge around the text or list area (scroll
    // bars included); the edge itself is painted by PaintFrame, never by QFrame.
    Base::setFrameStyle(QFrame::Box | QFrame::Plain);
    Base::setLineWidth(EdgeWidth);
}

template <class Base> void TRzFramedControl<Base>::SetFrameVisible(bool visible)
{
    if (frameVisible_ == visible)
        return;
    frameVisible_ = visible;
    RepaintFrame();
}

template <class Base> void TRzFramedControl<Base>::SetFrameFlat(bool flat)
{
    if (frameFlat_ == flat)
        return;
    frameFlat_ = flat;
    if (flat) {
        SetFrameVisible(true);
        if (!loading_) {
            frameSides_ = TSides::All();
            frameStyle_ = frameFlatStyle_;
        }
    }
    RepaintFrame();
    Base::update();
}

template <class Base> void TRzFramedControl<Base>::SetFrameStyle(TFrameStyle style)
{
    if (frameStyle_ == style)
        return;
    frameStyle_ = style;
    RepaintFrame();
}

template <class Base> void TRzFramedControl<Base>::SetFrameFlatStyle(TFrameStyle style)
{
    if (frameFlatStyle_ == style)
        return;
    frameFlatStyle_ = style;
    RepaintFrame();
}

template <class Base> void TRzFramedControl<Base>::SetFrameFocusStyle(TFrameStyle style)
{
    if (frameFocusStyle_ == style)
        return;
    frameFocusStyle_ = style;
    RepaintFrame();
}

template <class Base> void TRzFramedControl<Base>::SetFrameSides(TSides sides)
{
    if (frameSides_ == sides)
        return;
    frameSides_ = sides;
    RepaintFrame();
}

template <class Base> QColor TRzFramedControl<Base>::FrameColor() const
{
    return frameColor_.value_or(RzCommon::SystemColor(TSystemColor::clBtnShadow, Base::palette()));
}

template <class Base> void TRzFramedControl<Base>::SetFrameColor(const QColor &colour)
{
    if (frameColor_ == colour)
        return;
    frameColor_ = colour;
    RepaintFrame();
}

template <class Base> QColor TRzFramedControl<Base>::Color() const
{
    return Base::palette().color(QPalette::Base);
}

template <class Base> void TRzFramedControl<Base>::SetColor(const QColor &colour)
{
    if (Color() == colour)
        return;
    QPalette palette = Base::palette();
    palette.setColor(QPalette::Base, colour);
    Base::setPalette(palette);
    if (frameVisible_)
        RepaintFrame();
}

template <class Base> void TRzFramedControl<Base>::PaintFrame(QPainter &canvas) const
{
    const QPalette &palette = Base::palette();
    if (frameVisible_) {
        RzCommon::PaintControlFrame(canvas, Base::width(), Base::height(), frameStyle_, Color(), FrameColor(),
                                    frameSides_, palette);
        return;
    }
    // The platform's own sunken client edge.
    using C = TSystemColor;
    const TRect outer{0, 0, Base::width(), Base::height()};
    const TRect inner = RzCommon::PaintFrameSides(canvas, outer, RzCommon::SystemColor(C::clBtnShadow, palette),
                                                  RzCommon::SystemColor(C::clBtnHighlight, palette), TSides::All());
    RzCommon::PaintFrameSides(canvas, inner, RzCommon::SystemColor(C::cl3DDkShadow, palette),
                              RzCommon::SystemColor(C::cl3DLight, palette), TSides::All());
}

template <class Base> void TRzFramedControl<Base>::RefreshFrameState(bool fromPointer, bool inside)
{
    if (fromPointer)
        pointerOver_ = inside;
    if (!frameFlat_)
        return;
    frameStyle_ = Base::hasFocus() || pointerOver_ ? frameFocusStyle_ : frameFlatStyle_;
    RepaintFrame();
}

template <class Base> void TRzFramedControl<Base>::RepaintFrame()
{
    // Only the edge: the text or list area inside it is left to its own painting.
    QRegion edge(Base::rect());
    edge -= QRegion(Base::contentsRect());
    Base::repaint(edge);
}

template <class Base> bool TRzFramedControl<Base>::TabOnEnterKey(QKeyEvent *event)
{
    if (!tabOnEnter_ || (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter))
        return false;
    // Text boxes that take typing refuse focusNextChild(), so walk the focus chain here.
    for (QWidget *next = Base::nextInFocusChain(); next && next != this; next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) && next->isEnabled() && next->isVisible() &&
            next->window() == Base::window()) {
            next->setFocus(Qt::TabFocusReason);
            break;
        }
    }
    return true;
}

template <class Base> bool TRzFramedControl<Base>::event(QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        QPainter canvas(this);
        PaintFrame(canvas);
        return true;
    }
    return Base::event(event);
}

template <class Base> void TRzFramedControl<Base>::focusInEvent(QFocusEvent *event)
{
    RefreshFrameState(false, true);
    Base::focusInEvent(event);
}

template <class Base> void TRzFramedControl<Base>::focusOutEvent(QFocusEvent *event)
{
    Base::focusOutEvent(event);
    RefreshFrameState(false, false);
}

template <class Base> void TRzFramedControl<Base>::enterEvent(QEnterEvent *event)
{
    Base::enterEvent(event);
    RefreshFrameState(true, true);
    Dispatch::Guarded([this] {
        if (OnMouseEnter)
            OnMouseEnter(this);
    });
}

template <class Base> void TRzFramedControl<Base>::leaveEvent(QEvent *event)
{
    Base::leaveEvent(event);
    RefreshFrameState(true, false);
    Dispatch::Guarded([this] {
        if (OnMouseLeave)
            OnMouseLeave(this);
    });
}

template <class Base> void TRzFramedControl<Base>::resizeEvent(QResizeEvent *event)
{
    Base::resizeEvent(event);
    if (frameVisible_)
        RepaintFrame();
}

template class TRzFramedControl<QTextEdit>;
template class TRzFramedControl<QListWidget>;
