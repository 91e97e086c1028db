#pragma once

#include "canvas/Canvas.h"

#include <QImage>
#include <QRect>

#include <ostream>

namespace canvas {
inline void PrintTo(const TRect &r, std::ostream *os)
{
    *os << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}
} // namespace canvas

namespace canvastest {

// Number of pixels of `color` in the image.
inline int countColor(const canvas::Canvas &c, canvas::TColor color)
{
    int n = 0;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            n += c.Pixel(x, y) == color;
    return n;
}

// Smallest rectangle (exclusive right/bottom) holding every pixel that is not `background`.
inline canvas::TRect inkBounds(const canvas::Canvas &c, canvas::TColor background)
{
    canvas::TRect r(c.Width(), c.Height(), 0, 0);
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            if (c.Pixel(x, y) != background) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r;
}

} // namespace canvastest
