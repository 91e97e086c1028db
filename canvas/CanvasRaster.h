#pragma once

// Scan conversion behind Canvas: every shape becomes runs of 32-bit pixels written into a
// clipped view of the image. Coordinates are 64-bit so that boxes near the int limits cannot
// overflow; nothing here allocates per pixel or reads the canvas state.

#include <QImage>
#include <QPoint>

#include <cstdint>
#include <optional>

namespace canvas::raster {

using i64 = int64_t;

// Pixels l..r of one row (inclusive); l > r is empty.
struct Span
{
    i64 l = 1;
    i64 r = 0;
    bool empty() const { return l > r; }
};

// Writable view of an image within a clip (x0..x1-1, y0..y1-1). Every write is clipped.
struct Target
{
    uint32_t *bits = nullptr;
    i64 stride = 0; // in pixels
    i64 x0 = 0, y0 = 0, x1 = 0, y1 = 0;

    // The image within l..r-1, t..b-1; invalid (draws nothing) when no pixel is left.
    static Target over(QImage &image, i64 l, i64 t, i64 r, i64 b);
    bool valid() const { return bits != nullptr && x0 < x1 && y0 < y1; }
    // This view further clipped to l..r-1, t..b-1.
    Target within(i64 l, i64 t, i64 r, i64 b) const;

    void plot(i64 x, i64 y, uint32_t c) const
    {
        if (x >= x0 && x < x1 && y >= y0 && y < y1)
            bits[y * stride + x] = c;
    }
    void hspan(i64 y, i64 l, i64 r, uint32_t c) const;
    // Box l..r, t..b inclusive.
    void fillBox(i64 l, i64 t, i64 r, i64 b, uint32_t c) const;
};

// Colour of a filled interior or an outline; nullopt leaves it out.
using Ink = std::optional<uint32_t>;

// Boxes beyond this are clamped; nothing this large can be seen on an image anyway.
i64 clampCoord(i64 v);

// Line from A to B, A painted and B not; pens wider than 1 are round-capped bands centred on
// the line (B's cap included).
void segment(const Target &t, i64 xa, i64 ya, i64 xb, i64 yb, int width, uint32_t c);
// A single point with the pen: one pixel, or a disc for wide pens.
void dot(const Target &t, i64 x, i64 y, int width, uint32_t c);

// One-pixel frame around l..r, t..b inclusive.
void frame(const Target &t, i64 l, i64 tp, i64 r, i64 b, uint32_t c);
// Box l..r-1, t..b-1 (normalised, non-empty); wide pens get square corners.
void rectangle(const Target &t, i64 l, i64 tp, i64 r, i64 b, Ink fill, Ink pen, int penWidth);
// Box as for rectangle; corners rounded by an ellipse of cw x ch (both clamped to the box).
void roundRect(const Target &t, i64 l, i64 tp, i64 r, i64 b, i64 cw, i64 ch, Ink fill, Ink pen, int penWidth);
void ellipse(const Target &t, i64 l, i64 tp, i64 r, i64 b, Ink fill, Ink pen, int penWidth);
// Counter-clockwise from the direction of (x3, y3) to that of (x4, y4) seen from the box centre.
void arc(const Target &t, i64 l, i64 tp, i64 r, i64 b, int x3, int y3, int x4, int y4, int penWidth,
         uint32_t pen);
// Even-odd fill (top-left rule) and closed outline through every vertex; count >= 1.
void polygon(const Target &t, const QPoint *points, int count, Ink fill, Ink pen, int penWidth);

// Inverts (XOR 0xFFFFFF) the frame pixels of l..r, t..b inclusive with x + y even.
void invertDottedFrame(const Target &t, i64 l, i64 tp, i64 r, i64 b);

// Image pixels with their top-left at (x, y): opaque ones copied, partly transparent ones
// blended, fully transparent ones skipped. `image` is RGB32 or ARGB32.
void blend(const Target &t, i64 x, i64 y, const QImage &image);
// Image pixels except those whose RGB equals `key`.
void blendKeyed(const Target &t, i64 x, i64 y, const QImage &image, uint32_t key);
// Nearest-pixel copy of the box sl..sr-1, st..sb-1 of `image` onto dl..dr-1, dt..db-1.
void stretch(const Target &t, i64 dl, i64 dt, i64 dr, i64 db, const QImage &image, i64 sl, i64 st, i64 sr,
             i64 sb);

} // namespace canvas::raster
