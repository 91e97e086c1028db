#include "canvas/CanvasRaster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace canvas::raster {

namespace {

__extension__ typedef __int128 i128;

// A pixel centre exactly on a border: polygon fills keep the top/left border (sample just
// below/right of the centre); wide pens keep the bottom/right one, so nested outlines
// 1.5 pixels apart under a 2-pixel pen leave no gap at the picture's right and bottom edges.
constexpr double kFillNudge = 1.0 / 4096.0;
constexpr double kPenNudge = -1.0 / 4096.0;
constexpr i64 kCoordLimit = i64(1) << 27;

// Long runs go through memcpy doubling, which is several times faster than a plain loop.
void fillPixels(uint32_t *p, size_t n, uint32_t c)
{
    if (n < 32) {
        std::fill(p, p + n, c);
        return;
    }
    std::fill(p, p + 16, c);
    size_t done = 16;
    while (done < n) {
        const size_t chunk = std::min(done, n - done);
        std::memcpy(p + done, p, chunk * sizeof(uint32_t));
        done += chunk;
    }
}

i64 ceilDiv(i128 a, i128 b) // b > 0
{
    i128 q = a / b;
    if (a % b != 0 && a > 0)
        ++q;
    return i64(q);
}

// One-pixel line, start painted, end not. Step i along the major axis puts the minor
// coordinate at round-half-up(i * dminor / dmajor); only the steps inside the clip are walked.
void line1(const Target &t, i64 xa, i64 ya, i64 xb, i64 yb, uint32_t c)
{
    const i64 dx = xb - xa, dy = yb - ya;
    if (dx == 0 && dy == 0)
        return;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const i64 ma = xMajor ? xa : ya, mi = xMajor ? ya : xa;
    const i64 dMaj = std::llabs(xMajor ? dx : dy), dMin = std::llabs(xMajor ? dy : dx);
    const i64 sMaj = (xMajor ? dx : dy) > 0 ? 1 : -1, sMin = (xMajor ? dy : dx) >= 0 ? 1 : -1;
    const i64 cMaj0 = xMajor ? t.x0 : t.y0, cMaj1 = (xMajor ? t.x1 : t.y1) - 1;
    const i64 cMin0 = xMajor ? t.y0 : t.x0, cMin1 = (xMajor ? t.y1 : t.x1) - 1;

    // Steps whose major coordinate is inside the clip.
    i64 i0 = 0, i1 = dMaj - 1;
    if (sMaj > 0) {
        i0 = std::max(i0, cMaj0 - ma);
        i1 = std::min(i1, cMaj1 - ma);
    } else {
        i0 = std::max(i0, ma - cMaj1);
        i1 = std::min(i1, ma - cMaj0);
    }
    // Minor offset m(i) = floor((2 i dMin + dMaj) / (2 dMaj)) is non-decreasing; keep it inside.
    if (dMin > 0) {
        i64 mLo = sMin > 0 ? cMin0 - mi : mi - cMin1;
        i64 mHi = sMin > 0 ? cMin1 - mi : mi - cMin0;
        if (mHi < 0)
            return;
        mLo = std::max<i64>(mLo, 0);
        // m(i) >= mLo  <=>  i >= ceil((2 mLo dMaj - dMaj) / (2 dMin))
        i0 = std::max(i0, ceilDiv(i128(2) * mLo * dMaj - dMaj, i128(2) * dMin));
        // m(i) <= mHi  <=>  2 i dMin + dMaj < 2 (mHi + 1) dMaj
        i1 = std::min(i1, ceilDiv(i128(2) * (mHi + 1) * dMaj - dMaj, i128(2) * dMin) - 1);
    } else if (mi < cMin0 || mi > cMin1) {
        return;
    }
    if (i0 > i1)
        return;
    const i128 num = i128(2) * i0 * dMin + dMaj;
    const i64 den = 2 * dMaj;
    i64 m = i64(num / den);
    i64 rem = i64(num % den);
    for (i64 i = i0; i <= i1; ++i) {
        const i64 pMaj = ma + sMaj * i, pMin = mi + sMin * m;
        if (xMajor)
            t.plot(pMaj, pMin, c);
        else
            t.plot(pMin, pMaj, c);
        rem += 2 * dMin;
        if (rem >= den) {
            rem -= den;
            ++m;
        }
    }
}

// Interval of a line x in [lo, hi] (doubles, hi may be < lo for none).
struct Range
{
    double lo = 1, hi = 0;
    bool empty() const { return !(lo <= hi); }
};

// x-interval where the horizontal line y = py meets the capsule of radius rad around segment AB.
Range capsuleRow(double ax, double ay, double bx, double by, double rad, double py)
{
    Range out;
    auto addDisc = [&](double cx, double cy) {
        const double d = py - cy;
        if (std::fabs(d) > rad)
            return;
        const double h = std::sqrt(rad * rad - d * d);
        if (out.empty()) {
            out = {cx - h, cx + h};
        } else {
            out.lo = std::min(out.lo, cx - h);
            out.hi = std::max(out.hi, cx + h);
        }
    };
    addDisc(ax, ay);
    addDisc(bx, by);
    const double dx = bx - ax, dy = by - ay;
    const double len = std::hypot(dx, dy);
    if (len > 0) {
        const double ux = dx / len, uy = dy / len; // along
        const double nx = -uy, ny = ux;            // across
        // Solve lo <= (x - ax) * k + (py - ay) * m <= hi for x.
        auto constrain = [&](double k, double m, double lo, double hi, Range &r) {
            const double base = (py - ay) * m;
            if (std::fabs(k) < 1e-12) {
                if (base < lo || base > hi)
                    r = Range{};
                return;
            }
            double a = ax + (lo - base) / k, b = ax + (hi - base) / k;
            if (a > b)
                std::swap(a, b);
            r.lo = std::max(r.lo, a);
            r.hi = std::min(r.hi, b);
        };
        Range band{-1e300, 1e300};
        constrain(nx, ny, -rad, rad, band);
        if (!band.empty())
            constrain(ux, uy, 0, len, band);
        if (!band.empty()) {
            if (out.empty()) {
                out = band;
            } else {
                out.lo = std::min(out.lo, band.lo);
                out.hi = std::max(out.hi, band.hi);
            }
        }
    }
    return out;
}

// Pixels whose centre, moved by `nudge`, lies in [lo, hi].
Span pixelsIn(const Range &r, double nudge)
{
    if (r.empty())
        return {};
    const double lo = std::max(r.lo, -4e18), hi = std::min(r.hi, 4e18);
    return {i64(std::ceil(lo - nudge)), i64(std::floor(hi - nudge))};
}

// Round-capped band of width w centred on segment AB (pixel centres at integer coordinates).
void wideSegment(const Target &t, i64 xa, i64 ya, i64 xb, i64 yb, int w, uint32_t c)
{
    const double rad = w / 2.0;
    const i64 top = std::max(std::min(ya, yb) - w, t.y0), bottom = std::min(std::max(ya, yb) + w, t.y1 - 1);
    for (i64 y = top; y <= bottom; ++y) {
        const Span s = pixelsIn(
            capsuleRow(double(xa), double(ya), double(xb), double(yb), rad, y + kPenNudge), kPenNudge);
        if (!s.empty())
            t.hspan(y, s.l, s.r, c);
    }
}

// Exact span of row y of the ellipse filling box l..l+W-1, t..t+H-1: pixel centres inside the
// ellipse touching the box. The middle rows always reach the box sides and every row holds at
// least the centre pixel(s), so thin ellipses still cover their box.
struct EllipseBox
{
    i64 l, t, w, h; // w, h >= 1

    Span row(i64 y) const
    {
        if (y < t || y >= t + h)
            return {};
        const i64 dy2 = 2 * y - (2 * t + h - 1);
        const i64 par = (w - 1) & 1;
        i64 k;
        if (std::llabs(dy2) <= 1) {
            k = w - 1;
        } else {
            const i128 q = i128(w) * w * (i128(h) * h - i128(dy2) * dy2);
            const i128 hh = i128(h) * h;
            k = i64(std::sqrt(double(q) / double(hh)));
            while (k > 0 && i128(k) * k * hh > q)
                --k;
            while (i128(k + 1) * (k + 1) * hh <= q)
                ++k;
            k = std::min(k, w - 1);
            if ((k & 1) != par)
                --k;
            if (k < par)
                k = par;
        }
        const i64 c2 = 2 * l + w - 1;
        return {(c2 - k) / 2, (c2 + k) / 2};
    }
};

// Walks rows y0..y1 of a shape whose rows top..bottom are rowFn(y), handing each row with its
// neighbours to visit(y, above, cur, below); rows outside the shape are empty.
template <typename RowFn, typename Visit>
void walkRows(i64 top, i64 bottom, i64 y0, i64 y1, RowFn &&rowFn, Visit &&visit)
{
    y0 = std::max(y0, top);
    y1 = std::min(y1, bottom);
    if (y0 > y1)
        return;
    auto rowAt = [&](i64 y) { return (y < top || y > bottom) ? Span{} : rowFn(y); };
    Span above = rowAt(y0 - 1), cur = rowAt(y0);
    for (i64 y = y0; y <= y1; ++y) {
        const Span below = rowAt(y + 1);
        if (!cur.empty())
            visit(y, above, cur, below);
        above = cur;
        cur = below;
    }
}

// The outline of a shape is its pixels with a 4-neighbour outside it: on row `cur` that is
// one run, or two runs around the part whose rows above and below both reach further.
template <typename Paint>
void outlineRuns(const Span &above, const Span &cur, const Span &below, Paint &&paint)
{
    i64 il = 1, ir = 0;
    if (!above.empty() && !below.empty()) {
        il = std::max({cur.l + 1, above.l, below.l});
        ir = std::min({cur.r - 1, above.r, below.r});
    }
    if (il > ir) {
        paint(cur);
    } else {
        paint(Span{cur.l, il - 1});
        paint(Span{ir + 1, cur.r});
    }
}

// Shape given by one span per row: brush inside, then the one-pixel outline.
template <typename RowFn>
void spanShape(const Target &t, i64 top, i64 bottom, RowFn &&rowFn, Ink fill, Ink pen)
{
    if (!fill && !pen)
        return;
    walkRows(top, bottom, t.y0, t.y1 - 1, rowFn,
             [&](i64 y, const Span &above, const Span &cur, const Span &below) {
                 if (fill)
                     t.hspan(y, cur.l, cur.r, *fill);
                 if (pen)
                     outlineRuns(above, cur, below, [&](const Span &s) { t.hspan(y, s.l, s.r, *pen); });
             });
}

double angleOf(double dx, double dy) // counter-clockwise on screen, 0 .. 2 pi
{
    double a = std::atan2(-dy, dx);
    if (a < 0)
        a += 2 * std::numbers::pi;
    return a;
}

// Row y of the ring between two ellipses centred at (cx, cy): up to two spans.
void ringRow(double cx, double cy, double ao, double bo, double ai, double bi, i64 y, Span &left, Span &right)
{
    left = right = Span{};
    const double py = y + kPenNudge - cy;
    if (std::fabs(py) > bo)
        return;
    const double ho = ao * std::sqrt(std::max(0.0, 1 - (py / bo) * (py / bo)));
    const Span outer = pixelsIn(Range{cx - ho, cx + ho}, kPenNudge);
    if (outer.empty())
        return;
    if (ai <= 0 || bi <= 0 || std::fabs(py) >= bi) {
        left = outer;
        return;
    }
    const double hi = ai * std::sqrt(std::max(0.0, 1 - (py / bi) * (py / bi)));
    // Pixels strictly inside the inner ellipse are left out.
    const i64 il = i64(std::floor(cx - hi - kPenNudge)) + 1, ir = i64(std::ceil(cx + hi - kPenNudge)) - 1;
    if (il > ir) {
        left = outer;
        return;
    }
    left = {outer.l, std::min(outer.r, il - 1)};
    right = {std::max(outer.l, ir + 1), outer.r};
}

// Every row span of a pen `half` wide on each side of the ellipse with semi-axes a, b.
template <typename PaintFn>
void wideRing(const Target &t, double cx, double cy, double a, double b, double half, PaintFn &&paint)
{
    const i64 y0 = std::max<i64>(t.y0, i64(std::floor(cy - b - half)) - 1);
    const i64 y1 = std::min<i64>(t.y1 - 1, i64(std::ceil(cy + b + half)) + 1);
    for (i64 y = y0; y <= y1; ++y) {
        Span s1, s2;
        ringRow(cx, cy, a + half, b + half, a - half, b - half, y, s1, s2);
        if (!s1.empty())
            paint(y, s1);
        if (!s2.empty())
            paint(y, s2);
    }
}

} // namespace

// ---- target ----

Target Target::over(QImage &image, i64 l, i64 t, i64 r, i64 b)
{
    Target out;
    if (image.isNull())
        return out;
    out.x0 = std::max<i64>(0, l);
    out.y0 = std::max<i64>(0, t);
    out.x1 = std::min<i64>(image.width(), r);
    out.y1 = std::min<i64>(image.height(), b);
    if (out.x0 >= out.x1 || out.y0 >= out.y1)
        return out;
    out.bits = reinterpret_cast<uint32_t *>(image.bits());
    out.stride = image.bytesPerLine() / 4;
    return out;
}

Target Target::within(i64 l, i64 t, i64 r, i64 b) const
{
    Target out = *this;
    out.x0 = std::max(x0, l);
    out.y0 = std::max(y0, t);
    out.x1 = std::min(x1, r);
    out.y1 = std::min(y1, b);
    return out;
}

void Target::hspan(i64 y, i64 l, i64 r, uint32_t c) const
{
    if (y < y0 || y >= y1)
        return;
    l = std::max(l, x0);
    r = std::min(r, x1 - 1);
    if (l > r)
        return;
    fillPixels(bits + y * stride + l, size_t(r - l + 1), c);
}

// The first row is filled, the others copied from it.
void Target::fillBox(i64 l, i64 t, i64 r, i64 b, uint32_t c) const
{
    l = std::max(l, x0);
    r = std::min(r, x1 - 1);
    t = std::max(t, y0);
    b = std::min(b, y1 - 1);
    if (l > r || t > b)
        return;
    uint32_t *first = bits + t * stride + l;
    const size_t n = size_t(r - l + 1);
    fillPixels(first, n, c);
    for (i64 y = t + 1; y <= b; ++y)
        std::memcpy(bits + y * stride + l, first, n * sizeof(uint32_t));
}

i64 clampCoord(i64 v)
{
    return std::clamp(v, -kCoordLimit, kCoordLimit);
}

// ---- lines ----

void segment(const Target &t, i64 xa, i64 ya, i64 xb, i64 yb, int width, uint32_t c)
{
    if (width <= 1)
        line1(t, xa, ya, xb, yb, c);
    else
        wideSegment(t, xa, ya, xb, yb, width, c);
}

void dot(const Target &t, i64 x, i64 y, int width, uint32_t c)
{
    if (width <= 1)
        t.plot(x, y, c);
    else
        wideSegment(t, x, y, x, y, width, c);
}

// ---- rectangles ----

void frame(const Target &t, i64 l, i64 tp, i64 r, i64 b, uint32_t c)
{
    t.hspan(tp, l, r, c);
    t.hspan(b, l, r, c);
    for (i64 y = std::max(tp, t.y0); y <= std::min(b, t.y1 - 1); ++y) {
        t.plot(l, y, c);
        t.plot(r, y, c);
    }
}

void rectangle(const Target &t, i64 l, i64 tp, i64 r, i64 b, Ink fill, Ink pen, int penWidth)
{
    if (fill)
        t.fillBox(l, tp, r - 1, b - 1, *fill);
    if (!pen)
        return;
    if (penWidth <= 1) {
        frame(t, l, tp, r - 1, b - 1, *pen);
        return;
    }
    // Wide pen: square corners, so nested outlines leave no gaps at the corners.
    const i64 w = penWidth, fw = (w - 1) / 2;
    const i64 ol = l - fw, ot = tp - fw, orr = r - 1 - fw + w - 1, ob = b - 1 - fw + w - 1;
    const i64 il = ol + w, it = ot + w, ir = orr - w, ib = ob - w;
    for (i64 y = std::max(ot, t.y0); y <= std::min(ob, t.y1 - 1); ++y) {
        if (y < it || y > ib || il > ir) {
            t.hspan(y, ol, orr, *pen);
        } else {
            t.hspan(y, ol, il - 1, *pen);
            t.hspan(y, ir + 1, orr, *pen);
        }
    }
}

void roundRect(const Target &t, i64 l, i64 tp, i64 r, i64 b, i64 cw, i64 ch, Ink fill, Ink pen, int penWidth)
{
    cw = std::clamp<i64>(std::llabs(cw), 0, r - l);
    ch = std::clamp<i64>(std::llabs(ch), 0, b - tp);
    if (cw < 2 || ch < 2) {
        rectangle(t, l, tp, r, b, fill, pen, penWidth);
        return;
    }
    const EllipseBox corner{l, tp, cw, ch};
    const i64 half = ch / 2;
    auto rowFn = [&](i64 y) -> Span {
        const i64 fromTop = y - tp, fromBottom = b - 1 - y;
        i64 inset = 0;
        if (fromTop < half)
            inset = corner.row(tp + fromTop).l - l;
        else if (fromBottom < half)
            inset = corner.row(tp + fromBottom).l - l;
        return {l + inset, r - 1 - inset};
    };
    if (!pen || penWidth <= 1) {
        spanShape(t, tp, b - 1, rowFn, fill, pen);
        return;
    }
    spanShape(t, tp, b - 1, rowFn, fill, std::nullopt);
    // Wide pen: a disc of the pen's width on every outline pixel near the clip.
    const i64 rad = penWidth / 2 + 1;
    const i64 xl = std::max(t.x0 - rad, l), xr = std::min(t.x1 + rad, r) - 1;
    walkRows(tp, b - 1, t.y0 - rad, t.y1 + rad - 1, rowFn,
             [&](i64 y, const Span &above, const Span &cur, const Span &below) {
                 outlineRuns(above, cur, below, [&](const Span &s) {
                     for (i64 x = std::max(s.l, xl); x <= std::min(s.r, xr); ++x)
                         dot(t, x, y, penWidth, *pen);
                 });
             });
}

// ---- ellipses and arcs ----

void ellipse(const Target &t, i64 l, i64 tp, i64 r, i64 b, Ink fill, Ink pen, int penWidth)
{
    const EllipseBox box{l, tp, r - l, b - tp};
    auto rowFn = [&](i64 y) { return box.row(y); };
    if (!pen || penWidth <= 1) {
        spanShape(t, tp, b - 1, rowFn, fill, pen);
        return;
    }
    spanShape(t, tp, b - 1, rowFn, fill, std::nullopt);
    // Wide pen: the band between the outline's ellipse grown and shrunk by half the width.
    const double cx = (l + r - 1) / 2.0, cy = (tp + b - 1) / 2.0;
    wideRing(t, cx, cy, (r - l - 1) / 2.0, (b - tp - 1) / 2.0, penWidth / 2.0,
             [&](i64 y, const Span &s) { t.hspan(y, s.l, s.r, *pen); });
}

void arc(const Target &t, i64 l, i64 tp, i64 r, i64 b, int x3, int y3, int x4, int y4, int penWidth,
         uint32_t pen)
{
    const double cx = (l + r - 1) / 2.0, cy = (tp + b - 1) / 2.0;
    const double start = angleOf(x3 - cx, y3 - cy);
    double sweep = angleOf(x4 - cx, y4 - cy) - start;
    if (sweep <= 0)
        sweep += 2 * std::numbers::pi;
    const bool full = std::fabs(sweep - 2 * std::numbers::pi) < 1e-12;
    auto onArc = [&](i64 x, i64 y) {
        if (full)
            return true;
        double d = angleOf(x - cx, y - cy) - start;
        if (d < 0)
            d += 2 * std::numbers::pi;
        return d <= sweep + 1e-9;
    };
    auto paintSpan = [&](i64 y, const Span &s) {
        for (i64 x = std::max(s.l, t.x0); x <= std::min(s.r, t.x1 - 1); ++x) {
            if (onArc(x, y))
                t.plot(x, y, pen);
        }
    };
    if (penWidth <= 1) {
        const EllipseBox box{l, tp, r - l, b - tp};
        walkRows(
            tp, b - 1, t.y0, t.y1 - 1, [&](i64 y) { return box.row(y); },
            [&](i64 y, const Span &above, const Span &cur, const Span &below) {
                outlineRuns(above, cur, below, [&](const Span &s) { paintSpan(y, s); });
            });
        return;
    }
    wideRing(t, cx, cy, (r - l - 1) / 2.0, (b - tp - 1) / 2.0, penWidth / 2.0, paintSpan);
}

// ---- polygons ----

void polygon(const Target &t, const QPoint *points, int count, Ink fill, Ink pen, int penWidth)
{
    if (fill && count >= 3) {
        i64 ymin = points[0].y(), ymax = ymin;
        for (int i = 1; i < count; ++i) {
            ymin = std::min<i64>(ymin, points[i].y());
            ymax = std::max<i64>(ymax, points[i].y());
        }
        std::vector<double> xs;
        xs.reserve(size_t(count));
        for (i64 y = std::max(ymin, t.y0); y <= std::min(ymax, t.y1 - 1); ++y) {
            const double py = y + kFillNudge;
            xs.clear();
            for (int i = 0; i < count; ++i) {
                const QPoint &p = points[i], &q = points[(i + 1) % count];
                const double y0 = p.y(), y1 = q.y();
                if ((y0 <= py && py < y1) || (y1 <= py && py < y0))
                    xs.push_back(p.x() + (py - y0) * (double(q.x()) - p.x()) / (y1 - y0));
            }
            std::sort(xs.begin(), xs.end());
            for (size_t k = 0; k + 1 < xs.size(); k += 2) {
                const Span s = pixelsIn(Range{xs[k], xs[k + 1]}, kFillNudge);
                if (!s.empty())
                    t.hspan(y, s.l, s.r, *fill);
            }
        }
    }
    if (!pen)
        return;
    if (count == 1) {
        dot(t, points[0].x(), points[0].y(), penWidth, *pen);
        return;
    }
    for (int i = 0; i < count; ++i) {
        const QPoint &p = points[i], &q = points[(i + 1) % count];
        if (p == q) // a repeated vertex is still painted
            dot(t, p.x(), p.y(), penWidth, *pen);
        else
            segment(t, p.x(), p.y(), q.x(), q.y(), penWidth, *pen);
    }
}

// ---- focus frame ----

void invertDottedFrame(const Target &t, i64 l, i64 tp, i64 r, i64 b)
{
    auto invert = [&](i64 x, i64 y) {
        if (((x + y) & 1) == 0 && x >= t.x0 && x < t.x1 && y >= t.y0 && y < t.y1)
            t.bits[y * t.stride + x] ^= 0x00FFFFFF;
    };
    for (i64 x = std::max(l, t.x0 - 1); x <= std::min(r, t.x1); ++x) {
        invert(x, tp);
        if (b != tp)
            invert(x, b);
    }
    for (i64 y = std::max(tp + 1, t.y0 - 1); y <= std::min(b - 1, t.y1); ++y) {
        invert(l, y);
        if (r != l)
            invert(r, y);
    }
}

// ---- bitmaps ----

void blend(const Target &t, i64 x, i64 y, const QImage &image)
{
    const bool alpha = image.format() == QImage::Format_ARGB32;
    const i64 y0 = std::max<i64>(t.y0, y), y1 = std::min<i64>(t.y1, y + image.height());
    const i64 x0 = std::max<i64>(t.x0, x), x1 = std::min<i64>(t.x1, x + image.width());
    for (i64 yy = y0; yy < y1; ++yy) {
        const uint32_t *s = reinterpret_cast<const uint32_t *>(image.constScanLine(int(yy - y)));
        uint32_t *d = t.bits + yy * t.stride;
        if (!alpha) { // RGB32 pixels always carry 0xFF in the top byte
            std::memcpy(d + x0, s + (x0 - x), size_t(x1 - x0) * sizeof(uint32_t));
            continue;
        }
        for (i64 xx = x0; xx < x1; ++xx) {
            const uint32_t p = s[xx - x];
            const int a = qAlpha(p);
            if (a == 255) {
                d[xx] = p;
            } else if (a > 0) {
                const uint32_t q = d[xx];
                auto mix = [a](int sc, int dc) { return (sc * a + dc * (255 - a) + 127) / 255; };
                d[xx] = qRgb(mix(qRed(p), qRed(q)), mix(qGreen(p), qGreen(q)), mix(qBlue(p), qBlue(q)));
            }
        }
    }
}

void blendKeyed(const Target &t, i64 x, i64 y, const QImage &image, uint32_t key)
{
    key &= 0x00FFFFFF;
    const i64 y0 = std::max<i64>(t.y0, y), y1 = std::min<i64>(t.y1, y + image.height());
    const i64 x0 = std::max<i64>(t.x0, x), x1 = std::min<i64>(t.x1, x + image.width());
    for (i64 yy = y0; yy < y1; ++yy) {
        const uint32_t *s = reinterpret_cast<const uint32_t *>(image.constScanLine(int(yy - y)));
        uint32_t *d = t.bits + yy * t.stride;
        for (i64 xx = x0; xx < x1; ++xx) {
            const uint32_t p = s[xx - x];
            if ((p & 0x00FFFFFF) != key)
                d[xx] = p | 0xFF000000;
        }
    }
}

void stretch(const Target &t, i64 dl, i64 dt, i64 dr, i64 db, const QImage &image, i64 sl, i64 st, i64 sr,
             i64 sb)
{
    const i64 dw = dr - dl, dh = db - dt, sw = sr - sl, sh = sb - st;
    const i64 y0 = std::max(t.y0, dt), y1 = std::min(t.y1, db);
    const i64 x0 = std::max(t.x0, dl), x1 = std::min(t.x1, dr);
    for (i64 yy = y0; yy < y1; ++yy) {
        const i64 sy = st + i64(i128(yy - dt) * sh / dh);
        if (sy < 0 || sy >= image.height())
            continue;
        const uint32_t *s = reinterpret_cast<const uint32_t *>(image.constScanLine(int(sy)));
        uint32_t *d = t.bits + yy * t.stride;
        for (i64 xx = x0; xx < x1; ++xx) {
            const i64 sx = sl + i64(i128(xx - dl) * sw / dw);
            if (sx >= 0 && sx < image.width())
                d[xx] = s[sx] | 0xFF000000;
        }
    }
}

} // namespace canvas::raster
