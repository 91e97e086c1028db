#pragma once

#include "framework/Canvas.h"

#include <QImage>
#include <QRect>

#include <ostream>

namespace framework {
inline void PrintTo(const TRect &r, std::ostream *os)
{
    *os << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}
} // namespace framework

namespace canvastest {

// Number of pixels of `color` in the image.
inline int countColor(const framework::Canvas &c, framework::TColor color)
{
    int n = 0;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            n += c.Pixel(x, y) == color;
    return n;
}

// Smallest rectangle (exclusive right/bottom) holding every pixel that is not `background`.
inline framework::TRect inkBounds(const framework::Canvas &c, framework::TColor background)
{
    framework::TRect r(c.Width(), c.Height(), 0, 0);
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
