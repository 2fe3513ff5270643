#pragma once

#include <QRect>

#include <cstdint>

// A rectangle as the original toolkit gives it: left, top, right and bottom, with the right column
// and the bottom row outside the rectangle.
struct TRect
{
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    std::int32_t Width() const { return Right - Left; }
    std::int32_t Height() const { return Bottom - Top; }
    // True when the rectangle holds no pixel.
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }

    // The same pixels as a QRect (whose right() and bottom() are inside it).
    QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }

    friend bool operator==(const TRect &, const TRect &) = default;
};
