#include "toolkit/RzCommon.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

namespace {

// One-pixel lines are filled as rectangles so that exactly the pixels named are set.
void HorizontalLine(QPainter &canvas, int y, int left, int right, const QColor &colour)
{
    if (right > left)
        canvas.fillRect(QRect(left, y, right - left, 1), colour);
}

void VerticalLine(QPainter &canvas, int x, int top, int bottom, const QColor &colour)
{
    if (bottom > top)
        canvas.fillRect(QRect(x, top, 1, bottom - top), colour);
}

TRect Inset(TRect rect, TSides sides, int by)
{
    if (sides.Contains(sdLeft))
        rect.Left += by;
    if (sides.Contains(sdTop))
        rect.Top += by;
    if (sides.Contains(sdRight))
        rect.Right -= by;
    if (sides.Contains(sdBottom))
        rect.Bottom -= by;
    return rect;
}

TRect TwoRings(QPainter &canvas, const TRect &rect, TSides sides, const QColor &outerUpperLeft,
               const QColor &outerLowerRight, const QColor &innerUpperLeft, const QColor &innerLowerRight)
{
    const TRect inner = RzCommon::PaintFrameSides(canvas, rect, outerUpperLeft, outerLowerRight, sides);
    return RzCommon::PaintFrameSides(canvas, inner, innerUpperLeft, innerLowerRight, sides);
}

// An etched line: a ring in the lower-right colour one pixel in at left and top, then a ring in the
// upper-left colour one pixel in at right and bottom. Only chosen sides are moved in, so that a line
// running into an unchosen side goes on to the rectangle's edge.
TRect Etched(QPainter &canvas, const TRect &rect, TSides sides, const QColor &upperLeft, const QColor &lowerRight)
{
    TRect second = rect;
    if (sides.Contains(sdLeft))
        second.Left += 1;
    if (sides.Contains(sdTop))
        second.Top += 1;
    RzCommon::PaintFrameSides(canvas, second, lowerRight, lowerRight, sides);
    TRect first = rect;
    if (sides.Contains(sdRight))
        first.Right -= 1;
    if (sides.Contains(sdBottom))
        first.Bottom -= 1;
    RzCommon::PaintFrameSides(canvas, first, upperLeft, upperLeft, sides);
    return Inset(rect, sides, 2);
}

} // namespace

QColor RzCommon::SystemColor(TSystemColor colour, const QPalette &palette)
{
    switch (colour) {
    case TSystemColor::clWindow:
        return palette.color(QPalette::Base);
    case TSystemColor::clWindowFrame:
    case TSystemColor::cl3DDkShadow:
        return palette.color(QPalette::Shadow);
    case TSystemColor::clBtnShadow:
        return palette.color(QPalette::Dark);
    case TSystemColor::clBtnHighlight:
        return palette.color(QPalette::Light);
    case TSystemColor::clBtnText:
        return palette.color(QPalette::ButtonText);
    case TSystemColor::clGrayText:
        return palette.color(QPalette::Disabled, QPalette::Text);
    case TSystemColor::cl3DLight:
        return palette.color(QPalette::Midlight);
    case TSystemColor::clHighlight:
        return palette.color(QPalette::Highlight);
    case TSystemColor::clHighlightText:
        return palette.color(QPalette::HighlightedText);
    case TSystemColor::clWindowText:
        return palette.color(QPalette::Text);
    case TSystemColor::clBtnFace:
        return palette.color(QPalette::Button);
    }
    return {};
}

QColor RzCommon::SystemColor(TSystemColor colour)
{
    return SystemColor(colour, QApplication::palette());
}

TRect RzCommon::PaintFrameSides(QPainter &canvas, const TRect &rect, const QColor &upperLeft, const QColor &lowerRight,
                                TSides sides)
{
    // A rectangle that holds no pixel gets no lines.
    if (rect.IsEmpty())
        return rect;
    if (sides.Contains(sdLeft))
        VerticalLine(canvas, rect.Left, rect.Top, rect.Bottom, upperLeft);
    if (sides.Contains(sdTop))
        HorizontalLine(canvas, rect.Top, rect.Left, rect.Right, upperLeft);
    if (sides.Contains(sdRight))
        VerticalLine(canvas, rect.Right - 1, rect.Top, rect.Bottom, lowerRight);
    if (sides.Contains(sdBottom))
        HorizontalLine(canvas, rect.Bottom - 1, rect.Left, rect.Right, lowerRight);
    return Inset(rect, sides, 1);
}

TRect RzCommon::PaintFrameRings(QPainter &canvas, const TRect &rect, const QColor &upperLeft, const QColor &lowerRight,
                                int count, TSides sides)
{
    TRect inner = rect;
    for (int i = 0; i < count; ++i)
        inner = PaintFrameSides(canvas, inner, upperLeft, lowerRight, sides);
    return inner;
}

TRect RzCommon::PaintStyledBorder(QPainter &canvas, const TRect &rect, TFrameStyle style, TSides sides,
                                  const QPalette &palette)
{
    const auto sys = [&palette](TSystemColor colour) { return SystemColor(colour, palette); };
    using C = TSystemColor;
    switch (style) {
    case fsNone:
        return rect;
    case fsFlat:
        return PaintFrameSides(canvas, rect, sys(C::clWindowFrame), sys(C::clWindowFrame), sides);
    case fsStatus:
        return PaintFrameSides(canvas, rect, sys(C::clBtnShadow), sys(C::clBtnHighlight), sides);
    case fsPopup:
        return PaintFrameSides(canvas, rect, sys(C::clBtnHighlight), sys(C::clBtnShadow), sides);
    case fsLowered:
        return TwoRings(canvas, rect, sides, sys(C::clBtnShadow), sys(C::clBtnHighlight), sys(C::clBtnText),
                        sys(C::cl3DLight));
    case fsRaised:
        return TwoRings(canvas, rect, sides, sys(C::cl3DLight), sys(C::clBtnText), sys(C::clBtnHighlight),
                        sys(C::clBtnShadow));
    case fsButtonUp:
        return TwoRings(canvas, rect, sides, sys(C::clBtnHighlight), sys(C::cl3DDkShadow), sys(C::cl3DLight),
                        sys(C::clBtnShadow));
    case fsButtonDown:
        return TwoRings(canvas, rect, sides, sys(C::clBtnText), sys(C::clBtnText), sys(C::clBtnShadow),
                        sys(C::clBtnShadow));
    case fsGroove:
        return Etched(canvas, rect, sides, sys(C::clBtnShadow), sys(C::clBtnHighlight));
    case fsBump:
        return Etched(canvas, rect, sides, sys(C::clBtnHighlight), sys(C::clBtnShadow));
    }
    return rect;
}

TRect RzCommon::PaintStyledBorder(QPainter &canvas, const TRect &rect, TFrameStyle style, TSides sides)
{
    return PaintStyledBorder(canvas, rect, style, sides, QApplication::palette());
}

void RzCommon::PaintControlFrame(QPainter &canvas, int width, int height, TFrameStyle style,
                                 const QColor &controlColour, const QColor &frameColour, TSides sides,
                                 const QPalette &palette)
{
    const TRect rect{0, 0, width, height};
    PaintFrameRings(canvas, rect, controlColour, controlColour, 2, TSides::All());
    if (style == fsFlat)
        PaintFrameSides(canvas, rect, frameColour, frameColour, sides);
    else
        PaintStyledBorder(canvas, rect, style, sides, palette);
}

int RzCommon::ScrollLines()
{
    return QApplication::wheelScrollLines();
}
