#pragma once

#include "toolkit/Rect.h"

#include <QColor>

#include <cstdint>
#include <initializer_list>

class QPainter;
class QPalette;

// Frame and text-style vocabulary shared by the Rz controls, and the routines that paint their frames.

enum TFrameStyle { fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp, fsStatus, fsPopup };

enum TSide { sdLeft, sdTop, sdRight, sdBottom };

enum TTextStyle { tsNormal, tsRaised, tsRecessed, tsShadow };

enum TTextLayout { tlTop, tlCenter, tlBottom };

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// A set of sides, stored as four bits with sdLeft as bit 0.
class TSides
{
public:
    constexpr TSides() = default;
    constexpr TSides(std::initializer_list<TSide> sides)
    {
        for (TSide side : sides)
            bits_ |= Bit(side);
    }

    static constexpr TSides All() { return {sdLeft, sdTop, sdRight, sdBottom}; }

    constexpr bool Contains(TSide side) const { return (bits_ & Bit(side)) != 0; }
    constexpr bool IsEmpty() const { return bits_ == 0; }
    constexpr std::uint8_t Bits() const { return bits_; }
    static constexpr TSides FromBits(std::uint8_t bits)
    {
        TSides sides;
        sides.bits_ = bits & 0x0f;
        return sides;
    }

    friend constexpr bool operator==(TSides, TSides) = default;

private:
    static constexpr std::uint8_t Bit(TSide side) { return std::uint8_t(1u << unsigned(side)); }

    std::uint8_t bits_ = 0;
};

// The system colours the controls draw with. They are looked up in a palette when drawn:
//   clWindow       -> Base             clWindowFrame -> Shadow (black in the standard scheme)
//   clBtnShadow    -> Dark             clBtnHighlight -> Light
//   clBtnText      -> ButtonText       clGrayText     -> Text of the disabled group
//   cl3DLight      -> Midlight         cl3DDkShadow   -> Shadow
//   clHighlight    -> Highlight        clHighlightText -> HighlightedText
//   clWindowText   -> Text             clBtnFace      -> Button
enum class TSystemColor {
    clWindow,
    clWindowFrame,
    clBtnShadow,
    clBtnHighlight,
    clBtnText,
    clGrayText,
    cl3DLight,
    cl3DDkShadow,
    clHighlight,
    clHighlightText,
    clWindowText,
    clBtnFace,
};

namespace RzCommon {

// The rectangle holding the same pixels as rect.
inline TRect RectOf(const QRect &rect)
{
    return TRect{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QColor SystemColor(TSystemColor colour, const QPalette &palette);
// The same, from the application's palette.
QColor SystemColor(TSystemColor colour);

// Lines in the upper-left colour on the left and top sides, then in the lower-right colour on the
// right and bottom sides, only for the sides in the set; returns the rectangle moved in by one pixel
// on each drawn side.
TRect PaintFrameSides(QPainter &canvas, const TRect &rect, const QColor &upperLeft, const QColor &lowerRight,
                      TSides sides);

// PaintFrameSides applied count times, each ring inside the previous one.
TRect PaintFrameRings(QPainter &canvas, const TRect &rect, const QColor &upperLeft, const QColor &lowerRight, int count,
                      TSides sides);

// One of the ten frame styles on the chosen sides; returns the rectangle inside the frame.
TRect PaintStyledBorder(QPainter &canvas, const TRect &rect, TFrameStyle style, TSides sides, const QPalette &palette);
TRect PaintStyledBorder(QPainter &canvas, const TRect &rect, TFrameStyle style, TSides sides);

// The frame of a framed control over its whole window of width x height, edge included: the 2-pixel
// edge in the control's colour, then the frame style (fsFlat: one line in frameColour) on the sides.
void PaintControlFrame(QPainter &canvas, int width, int height, TFrameStyle style, const QColor &controlColour,
                       const QColor &frameColour, TSides sides, const QPalette &palette);

// How many lines one wheel step scrolls with Ctrl held (list boxes: always).
int ScrollLines();

} // namespace RzCommon
