#include "framework/Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace framework {

namespace {

using i64 = int64_t;
__extension__ typedef __int128 i128;

// A pixel centre exactly on a border: polygon fills keep the top/left border (sample just
// below/right of the centre); wide pens keep the bottom/right one, so nested outlines
// 1.5 pixels apart under a 2-pixel pen leave no gap at the picture's right and bottom edges.
constexpr double kFillNudge = 1.0 / 4096.0;
constexpr double kPenNudge = -1.0 / 4096.0;
// Boxes beyond this are clamped; nothing this large can be seen on an image anyway.
constexpr i64 kCoordLimit = i64(1) << 27;

i64 clampCoord(i64 v)
{
    return std::clamp(v, -kCoordLimit, kCoordLimit);
}

struct Span
{
    i64 l = 1;
    i64 r = 0; // inclusive; l > r is empty
    bool empty() const { return l > r; }
};

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

// Writable view of the image within the effective clip (x0..x1-1, y0..y1-1).
struct Target
{
    uint32_t *bits = nullptr;
    i64 stride = 0; // in pixels
    i64 x0 = 0, y0 = 0, x1 = 0, y1 = 0;

    bool valid() const { return bits != nullptr && x0 < x1 && y0 < y1; }
    void plot(i64 x, i64 y, uint32_t c) const
    {
        if (x >= x0 && x < x1 && y >= y0 && y < y1)
            bits[y * stride + x] = c;
    }
    // Rectangle l..r, t..b inclusive: the first row is filled, the others copied from it.
    void fillBox(i64 l, i64 tp, i64 r, i64 b, uint32_t c) const
    {
        l = std::max(l, x0);
        r = std::min(r, x1 - 1);
        tp = std::max(tp, y0);
        b = std::min(b, y1 - 1);
        if (l > r || tp > b)
            return;
        uint32_t *first = bits + tp * stride + l;
        const size_t n = size_t(r - l + 1);
        fillPixels(first, n, c);
        for (i64 y = tp + 1; y <= b; ++y)
            std::memcpy(bits + y * stride + l, first, n * sizeof(uint32_t));
    }
    void hspan(i64 y, i64 l, i64 r, uint32_t c) const
    {
        if (y < y0 || y >= y1)
            return;
        l = std::max(l, x0);
        r = std::min(r, x1 - 1);
        if (l > r)
            return;
        fillPixels(bits + y * stride + l, size_t(r - l + 1), c);
    }
};

uint32_t pixelOf(TColor c)
{
    return ToQRgb(c);
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

// Filled/outlined shape given by one span per row (rows top..bottom). Outline pixels are the
// shape's pixels that have a 4-neighbour outside it.
template <typename RowFn>
void spanShape(const Target &t, i64 top, i64 bottom, RowFn &&rowFn, const uint32_t *fill,
               const uint32_t *outline)
{
    const i64 y0 = std::max(top, t.y0), y1 = std::min(bottom, t.y1 - 1);
    if (y0 > y1)
        return;
    auto rowAt = [&](i64 y) { return (y < top || y > bottom) ? Span{} : rowFn(y); };
    Span above = rowAt(y0 - 1), cur = rowAt(y0);
    for (i64 y = y0; y <= y1; ++y) {
        const Span below = rowAt(y + 1);
        if (!cur.empty()) {
            if (fill)
                t.hspan(y, cur.l, cur.r, *fill);
            if (outline) {
                i64 il = cur.l + 1, ir = cur.r - 1;
                if (above.empty() || below.empty()) {
                    il = 1;
                    ir = 0;
                } else {
                    il = std::max({il, above.l, below.l});
                    ir = std::min({ir, above.r, below.r});
                }
                if (il > ir) {
                    t.hspan(y, cur.l, cur.r, *outline);
                } else {
                    t.hspan(y, cur.l, il - 1, *outline);
                    t.hspan(y, ir + 1, cur.r, *outline);
                }
            }
        }
        above = cur;
        cur = below;
    }
}

void normalise(i64 &a, i64 &b)
{
    if (a > b)
        std::swap(a, b);
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

QImage asArgb(const QImage &image)
{
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)
        return image;
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

// Text far off the image is not drawn at all; this keeps QPainter's int arithmetic in range.
constexpr int kTextLimit = 1 << 28;
bool textCoordOk(i64 v)
{
    return v > -kTextLimit && v < kTextLimit;
}
TRect clampRect(const TRect &r)
{
    auto c = [](int v) { return std::clamp(v, -kTextLimit, kTextLimit); };
    return TRect(c(r.Left), c(r.Top), c(r.Right), c(r.Bottom));
}

QString stripPrefix(const QString &raw, int *underline)
{
    QString out;
    out.reserve(raw.size());
    *underline = -1;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar ch = raw.at(i);
        if (ch == QLatin1Char('&')) {
            if (i + 1 < raw.size() && raw.at(i + 1) == QLatin1Char('&')) {
                out += ch;
                ++i;
            } else if (i + 1 < raw.size()) {
                *underline = int(out.size());
            }
            continue;
        }
        out += ch;
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------------------------------------

Canvas::Canvas()
{
    init();
}

Canvas::Canvas(int width, int height)
{
    init();
    SetSize(width, height);
}

Canvas::Canvas(QImage *target)
{
    if (target) {
        m_image = target;
        const QImage::Format f = target->format();
        if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 &&
            f != QImage::Format_ARGB32_Premultiplied)
            *target = target->convertToFormat(QImage::Format_RGB32);
    }
    init();
}

Canvas::~Canvas() = default;

void Canvas::init()
{
    QObject::connect(&Font, &TFont::OnChange, [this] { m_fontDirty = true; });
}

void Canvas::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    m_hasClip = false;
    if (width == m_image->width() && height == m_image->height())
        return;
    QImage next(width, height, QImage::Format_RGB32);
    if (next.isNull() && width > 0 && height > 0)
        return; // out of memory: keep the old picture
    next.fill(QColor::fromRgb(pixelOf(Brush.Style == bsClear ? clWhite : Brush.Color)));
    if (!m_image->isNull() && width > 0 && height > 0) {
        QPainter p(&next);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, *m_image);
    }
    *m_image = next;
}

void Canvas::SetClipRect(const TRect &clip)
{
    m_clip = clip;
    m_hasClip = true;
}

void Canvas::ResetClipRect()
{
    m_hasClip = false;
}

static Target makeTarget(QImage *image, bool hasClip, const TRect &clip)
{
    Target t;
    if (image->isNull())
        return t;
    t.x1 = image->width();
    t.y1 = image->height();
    if (hasClip) {
        t.x0 = std::max<i64>(t.x0, clip.Left);
        t.y0 = std::max<i64>(t.y0, clip.Top);
        t.x1 = std::min<i64>(t.x1, clip.Right);
        t.y1 = std::min<i64>(t.y1, clip.Bottom);
    }
    if (t.x0 >= t.x1 || t.y0 >= t.y1)
        return t;
    t.bits = reinterpret_cast<uint32_t *>(image->bits());
    t.stride = image->bytesPerLine() / 4;
    return t;
}

#define CANVAS_TARGET()                                                                                      \
    const Target t = makeTarget(m_image, m_hasClip, m_clip);                                                 \
    if (!t.valid())                                                                                          \
    return

// ---- lines ----

void Canvas::LineTo(int x, int y)
{
    const QPoint from = m_penPos;
    m_penPos = QPoint(x, y);
    if (Pen.Style == psClear)
        return;
    CANVAS_TARGET();
    const uint32_t c = pixelOf(Pen.Color);
    if (Pen.Width <= 1)
        line1(t, from.x(), from.y(), x, y, c);
    else
        wideSegment(t, from.x(), from.y(), x, y, Pen.Width, c);
}

void Canvas::Polyline(const QPoint *points, int count)
{
    if (!points || count < 2 || Pen.Style == psClear)
        return;
    CANVAS_TARGET();
    const uint32_t c = pixelOf(Pen.Color);
    for (int i = 0; i + 1 < count; ++i) {
        if (Pen.Width <= 1)
            line1(t, points[i].x(), points[i].y(), points[i + 1].x(), points[i + 1].y(), c);
        else
            wideSegment(t, points[i].x(), points[i].y(), points[i + 1].x(), points[i + 1].y(), Pen.Width, c);
    }
}

void Canvas::Polyline(std::initializer_list<QPoint> points)
{
    Polyline(points.begin(), int(points.size()));
}

void Canvas::Polyline(const QList<QPoint> &points)
{
    Polyline(points.constData(), int(points.size()));
}

// ---- rectangles ----

void Canvas::Rectangle(int left, int top, int right, int bottom)
{
    i64 l = left, r = right, tp = top, b = bottom;
    normalise(l, r);
    normalise(tp, b);
    if (l == r || tp == b)
        return;
    CANVAS_TARGET();
    if (Brush.Style != bsClear) {
        t.fillBox(l, tp, r - 1, b - 1, pixelOf(Brush.Color));
    }
    if (Pen.Style == psClear)
        return;
    const uint32_t c = pixelOf(Pen.Color);
    if (Pen.Width <= 1) {
        t.hspan(tp, l, r - 1, c);
        t.hspan(b - 1, l, r - 1, c);
        for (i64 y = std::max(tp, t.y0); y < std::min(b, t.y1); ++y) {
            t.plot(l, y, c);
            t.plot(r - 1, y, c);
        }
        return;
    }
    // Wide pen: square corners, so nested outlines leave no gaps at the corners.
    const i64 w = Pen.Width, fw = (w - 1) / 2;
    const i64 ol = l - fw, ot = tp - fw, orr = r - 1 - fw + w - 1, ob = b - 1 - fw + w - 1;
    const i64 il = ol + w, it = ot + w, ir = orr - w, ib = ob - w;
    for (i64 y = std::max(ot, t.y0); y <= std::min(ob, t.y1 - 1); ++y) {
        if (y < it || y > ib || il > ir) {
            t.hspan(y, ol, orr, c);
        } else {
            t.hspan(y, ol, il - 1, c);
            t.hspan(y, ir + 1, orr, c);
        }
    }
}

void Canvas::FillRect(const TRect &r)
{
    if (Brush.Style == bsClear || r.IsEmpty())
        return;
    CANVAS_TARGET();
    t.fillBox(r.Left, r.Top, i64(r.Right) - 1, i64(r.Bottom) - 1, pixelOf(Brush.Color));
}

void Canvas::FrameRect(const TRect &r)
{
    if (r.IsEmpty())
        return;
    CANVAS_TARGET();
    const uint32_t c = pixelOf(Brush.Color);
    const i64 l = r.Left, rr = i64(r.Right) - 1, tp = r.Top, b = i64(r.Bottom) - 1;
    t.hspan(tp, l, rr, c);
    t.hspan(b, l, rr, c);
    for (i64 y = std::max(tp, t.y0); y <= std::min(b, t.y1 - 1); ++y) {
        t.plot(l, y, c);
        t.plot(rr, y, c);
    }
}

void Canvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    i64 l = clampCoord(left), r = clampCoord(right), tp = clampCoord(top), b = clampCoord(bottom);
    normalise(l, r);
    normalise(tp, b);
    if (l == r || tp == b)
        return;
    CANVAS_TARGET();
    const i64 w = r - l, h = b - tp;
    const i64 cw = std::clamp<i64>(std::llabs(i64(cornerWidth)), 0, w);
    const i64 ch = std::clamp<i64>(std::llabs(i64(cornerHeight)), 0, h);
    if (cw < 2 || ch < 2) {
        Rectangle(int(l), int(tp), int(r), int(b));
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
    const uint32_t fill = pixelOf(Brush.Color), pen = pixelOf(Pen.Color);
    const bool hasFill = Brush.Style != bsClear, hasPen = Pen.Style != psClear;
    if (!hasPen || Pen.Width <= 1) {
        spanShape(t, tp, b - 1, rowFn, hasFill ? &fill : nullptr, hasPen ? &pen : nullptr);
        return;
    }
    spanShape(t, tp, b - 1, rowFn, hasFill ? &fill : nullptr, nullptr);
    // Wide pen: a disc of the pen's width on every outline pixel.
    const i64 rad = Pen.Width / 2 + 1;
    Target outlineOnly = t;
    outlineOnly.y0 = std::max(t.y0 - rad, tp);
    outlineOnly.y1 = std::min(t.y1 + rad, b);
    outlineOnly.x0 = std::max(t.x0 - rad, l);
    outlineOnly.x1 = std::min(t.x1 + rad, r);
    std::vector<std::pair<i64, i64>> pts;
    {
        // Collect outline pixels near the clip by drawing the outline into a list.
        auto rows = [&](i64 y) { return rowFn(y); };
        for (i64 y = outlineOnly.y0; y < outlineOnly.y1; ++y) {
            const Span cur = rows(y);
            const Span above = y > tp ? rows(y - 1) : Span{};
            const Span below = y < b - 1 ? rows(y + 1) : Span{};
            for (i64 x = std::max(cur.l, outlineOnly.x0); x <= std::min(cur.r, outlineOnly.x1 - 1); ++x) {
                const bool interior = x > cur.l && x < cur.r && !above.empty() && !below.empty() &&
                                      x >= above.l && x <= above.r && x >= below.l && x <= below.r;
                if (!interior)
                    pts.emplace_back(x, y);
            }
        }
    }
    for (const auto &[px, py] : pts)
        wideSegment(t, px, py, px, py, Pen.Width, pen);
}

// ---- ellipses and arcs ----

void Canvas::Ellipse(int left, int top, int right, int bottom)
{
    i64 l = clampCoord(left), r = clampCoord(right), tp = clampCoord(top), b = clampCoord(bottom);
    normalise(l, r);
    normalise(tp, b);
    if (l == r || tp == b)
        return;
    CANVAS_TARGET();
    const EllipseBox box{l, tp, r - l, b - tp};
    auto rowFn = [&](i64 y) { return box.row(y); };
    const uint32_t fill = pixelOf(Brush.Color), pen = pixelOf(Pen.Color);
    const bool hasFill = Brush.Style != bsClear, hasPen = Pen.Style != psClear;
    if (!hasPen || Pen.Width <= 1) {
        spanShape(t, tp, b - 1, rowFn, hasFill ? &fill : nullptr, hasPen ? &pen : nullptr);
        return;
    }
    if (hasFill)
        spanShape(t, tp, b - 1, rowFn, &fill, nullptr);
    // Wide pen: the band between the outline's ellipse grown and shrunk by half the width.
    const double cx = (l + r - 1) / 2.0, cy = (tp + b - 1) / 2.0;
    wideRing(t, cx, cy, (r - l - 1) / 2.0, (b - tp - 1) / 2.0, Pen.Width / 2.0,
             [&](i64 y, const Span &s) { t.hspan(y, s.l, s.r, pen); });
}

void Canvas::Arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4)
{
    if (Pen.Style == psClear)
        return;
    i64 l = clampCoord(left), r = clampCoord(right), tp = clampCoord(top), b = clampCoord(bottom);
    normalise(l, r);
    normalise(tp, b);
    if (l == r || tp == b)
        return;
    CANVAS_TARGET();
    const double cx = (l + r - 1) / 2.0, cy = (tp + b - 1) / 2.0;
    const double start = angleOf(x3 - cx, y3 - cy);
    double sweep = angleOf(x4 - cx, y4 - cy) - start;
    if (sweep <= 0)
        sweep += 2 * std::numbers::pi;
    const bool full = std::fabs(sweep - 2 * std::numbers::pi) < 1e-12;
    const uint32_t pen = pixelOf(Pen.Color);
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
    if (Pen.Width <= 1) {
        const EllipseBox box{l, tp, r - l, b - tp};
        const i64 y0 = std::max(tp, t.y0), y1 = std::min(b - 1, t.y1 - 1);
        for (i64 y = y0; y <= y1; ++y) {
            const Span cur = box.row(y);
            const Span above = y > tp ? box.row(y - 1) : Span{};
            const Span below = y < b - 1 ? box.row(y + 1) : Span{};
            i64 il = 1, ir = 0;
            if (!above.empty() && !below.empty()) {
                il = std::max({cur.l + 1, above.l, below.l});
                ir = std::min({cur.r - 1, above.r, below.r});
            }
            if (il > ir) {
                paintSpan(y, cur);
            } else {
                paintSpan(y, {cur.l, il - 1});
                paintSpan(y, {ir + 1, cur.r});
            }
        }
        return;
    }
    wideRing(t, cx, cy, (r - l - 1) / 2.0, (b - tp - 1) / 2.0, Pen.Width / 2.0, paintSpan);
}

// ---- polygons ----

void Canvas::Polygon(const QPoint *points, int count)
{
    if (!points || count < 1)
        return;
    CANVAS_TARGET();
    if (Brush.Style != bsClear && count >= 3) {
        const uint32_t c = pixelOf(Brush.Color);
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
                // The right edge itself belongs to the outline, not the fill.
                if (!s.empty())
                    t.hspan(y, s.l, s.r, c);
            }
        }
    }
    if (Pen.Style == psClear)
        return;
    const uint32_t c = pixelOf(Pen.Color);
    if (count == 1) {
        if (Pen.Width <= 1)
            t.plot(points[0].x(), points[0].y(), c);
        else
            wideSegment(t, points[0].x(), points[0].y(), points[0].x(), points[0].y(), Pen.Width, c);
        return;
    }
    for (int i = 0; i < count; ++i) {
        const QPoint &p = points[i], &q = points[(i + 1) % count];
        if (Pen.Width <= 1) {
            if (p == q)
                t.plot(p.x(), p.y(), c);
            else
                line1(t, p.x(), p.y(), q.x(), q.y(), c);
        } else {
            wideSegment(t, p.x(), p.y(), q.x(), q.y(), Pen.Width, c);
        }
    }
}

void Canvas::Polygon(std::initializer_list<QPoint> points)
{
    Polygon(points.begin(), int(points.size()));
}

void Canvas::Polygon(const QList<QPoint> &points)
{
    Polygon(points.constData(), int(points.size()));
}

// ---- pixels ----

TColor Canvas::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_image->width() || y >= m_image->height())
        return CLR_INVALID;
    return FromQRgb(reinterpret_cast<const uint32_t *>(m_image->constScanLine(y))[x]);
}

void Canvas::SetPixel(int x, int y, TColor color)
{
    CANVAS_TARGET();
    t.plot(x, y, pixelOf(color));
}

uint32_t *Canvas::ScanLine(int y)
{
    if (y < 0 || y >= m_image->height())
        return nullptr;
    return reinterpret_cast<uint32_t *>(m_image->scanLine(y));
}

const uint32_t *Canvas::ScanLine(int y) const
{
    if (y < 0 || y >= m_image->height())
        return nullptr;
    return reinterpret_cast<const uint32_t *>(m_image->constScanLine(y));
}

uchar *ScanLine(QImage &image, int y)
{
    if (y < 0 || y >= image.height())
        return nullptr;
    return image.scanLine(y);
}

// ---- edges and focus ----

TRect Canvas::DrawEdge(const TRect &r, unsigned edge, unsigned flags)
{
    TRect inner = r;
    auto ring = [&](TColor topLeft, TColor bottomRight) {
        if (inner.IsEmpty())
            return;
        const TColor oldColor = Pen.Color;
        const int oldWidth = Pen.Width;
        const TPenStyle oldStyle = Pen.Style;
        Pen.Width = 1;
        Pen.Style = psSolid;
        const int l = inner.Left, tp = inner.Top, rr = inner.Right - 1, b = inner.Bottom - 1;
        Pen.Color = topLeft;
        if (flags & BF_TOP) {
            MoveTo(l, tp);
            LineTo(rr + 1, tp);
        }
        if (flags & BF_LEFT) {
            MoveTo(l, tp);
            LineTo(l, b + 1);
        }
        Pen.Color = bottomRight;
        if (flags & BF_BOTTOM) {
            MoveTo(l, b);
            LineTo(rr + 1, b);
        }
        if (flags & BF_RIGHT) {
            MoveTo(rr, tp);
            LineTo(rr, b + 1);
        }
        Pen.Color = oldColor;
        Pen.Width = oldWidth;
        Pen.Style = oldStyle;
        if (flags & BF_LEFT)
            ++inner.Left;
        if (flags & BF_TOP)
            ++inner.Top;
        if (flags & BF_RIGHT)
            --inner.Right;
        if (flags & BF_BOTTOM)
            --inner.Bottom;
    };
    const QPoint oldPos = m_penPos;
    if (edge & BDR_RAISEDOUTER)
        ring(cl3DLight, cl3DDkShadow);
    else if (edge & BDR_SUNKENOUTER)
        ring(clBtnShadow, clBtnHighlight);
    if (edge & BDR_RAISEDINNER)
        ring(clBtnHighlight, clBtnShadow);
    else if (edge & BDR_SUNKENINNER)
        ring(cl3DDkShadow, cl3DLight);
    m_penPos = oldPos;
    if ((flags & BF_MIDDLE) && !inner.IsEmpty()) {
        const TBrush old = Brush;
        Brush = TBrush{clBtnFace, bsSolid};
        FillRect(inner);
        Brush = old;
    }
    return inner;
}

void Canvas::DrawFocusRect(const TRect &r)
{
    if (r.IsEmpty())
        return;
    CANVAS_TARGET();
    auto invert = [&](i64 x, i64 y) {
        if (((x + y) & 1) == 0 && x >= t.x0 && x < t.x1 && y >= t.y0 && y < t.y1)
            t.bits[y * t.stride + x] ^= 0x00FFFFFF;
    };
    const i64 l = r.Left, rr = i64(r.Right) - 1, tp = r.Top, b = i64(r.Bottom) - 1;
    for (i64 x = std::max(l, t.x0 - 1); x <= std::min(rr, t.x1); ++x) {
        invert(x, tp);
        if (b != tp)
            invert(x, b);
    }
    for (i64 y = std::max(tp + 1, t.y0 - 1); y <= std::min(b - 1, t.y1); ++y) {
        invert(l, y);
        if (rr != l)
            invert(rr, y);
    }
}

// ---- bitmaps ----

void Canvas::Draw(int x, int y, const QImage &image)
{
    if (image.isNull())
        return;
    CANVAS_TARGET();
    const QImage src = asArgb(image.constBits() == m_image->constBits() ? image.copy() : image);
    const bool alpha = src.format() == QImage::Format_ARGB32;
    const i64 y0 = std::max<i64>(t.y0, y), y1 = std::min<i64>(t.y1, i64(y) + src.height());
    const i64 x0 = std::max<i64>(t.x0, x), x1 = std::min<i64>(t.x1, i64(x) + src.width());
    for (i64 yy = y0; yy < y1; ++yy) {
        const uint32_t *s = reinterpret_cast<const uint32_t *>(src.constScanLine(int(yy - y)));
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

void Canvas::DrawTransparent(int x, int y, const QImage &image, TColor transparentColor)
{
    if (image.isNull())
        return;
    CANVAS_TARGET();
    const QImage src = asArgb(image.constBits() == m_image->constBits() ? image.copy() : image);
    const uint32_t key = pixelOf(transparentColor) & 0x00FFFFFF;
    const i64 y0 = std::max<i64>(t.y0, y), y1 = std::min<i64>(t.y1, i64(y) + src.height());
    const i64 x0 = std::max<i64>(t.x0, x), x1 = std::min<i64>(t.x1, i64(x) + src.width());
    for (i64 yy = y0; yy < y1; ++yy) {
        const uint32_t *s = reinterpret_cast<const uint32_t *>(src.constScanLine(int(yy - y)));
        uint32_t *d = t.bits + yy * t.stride;
        for (i64 xx = x0; xx < x1; ++xx) {
            const uint32_t p = s[xx - x];
            if ((p & 0x00FFFFFF) != key)
                d[xx] = p | 0xFF000000;
        }
    }
}

void Canvas::DrawTransparent(int x, int y, const QImage &image)
{
    if (image.isNull())
        return;
    DrawTransparent(x, y, image, FromQRgb(image.pixel(0, image.height() - 1)));
}

void Canvas::StretchDraw(const TRect &dest, const QImage &image)
{
    if (image.isNull())
        return;
    CopyRect(dest, image, TRect(0, 0, image.width(), image.height()));
}

void Canvas::CopyRect(const TRect &dest, const QImage &image, const TRect &source)
{
    if (image.isNull() || dest.IsEmpty() || source.IsEmpty())
        return;
    CANVAS_TARGET();
    const QImage src = asArgb(image.constBits() == m_image->constBits() ? image.copy() : image);
    const i64 dw = i64(dest.Right) - dest.Left, dh = i64(dest.Bottom) - dest.Top;
    const i64 sw = i64(source.Right) - source.Left, sh = i64(source.Bottom) - source.Top;
    const i64 y0 = std::max<i64>(t.y0, dest.Top), y1 = std::min<i64>(t.y1, dest.Bottom);
    const i64 x0 = std::max<i64>(t.x0, dest.Left), x1 = std::min<i64>(t.x1, dest.Right);
    for (i64 yy = y0; yy < y1; ++yy) {
        const i64 sy = source.Top + i64(i128(yy - dest.Top) * sh / dh);
        if (sy < 0 || sy >= src.height())
            continue;
        const uint32_t *s = reinterpret_cast<const uint32_t *>(src.constScanLine(int(sy)));
        uint32_t *d = t.bits + yy * t.stride;
        for (i64 xx = x0; xx < x1; ++xx) {
            const i64 sx = source.Left + i64(i128(xx - dest.Left) * sw / dw);
            if (sx >= 0 && sx < src.width())
                d[xx] = s[sx] | 0xFF000000;
        }
    }
}

// ---- text ----

QFont Canvas::paintFont() const
{
    if (m_fontDirty) {
        m_fontCache = Font.toQFont();
        m_fontCache.setStyleStrategy(QFont::NoAntialias);
        m_fontDirty = false;
    }
    return m_fontCache;
}

int Canvas::TextWidth(const QString &text) const
{
    return QFontMetrics(paintFont()).horizontalAdvance(text);
}

int Canvas::TextHeight(const QString &) const
{
    return QFontMetrics(paintFont()).height();
}

QSize Canvas::TextExtent(const QString &text) const
{
    return QSize(TextWidth(text), TextHeight(text));
}

namespace {

// One line of text at the top-left of its cell, optionally with the underlined character.
void paintLine(QImage *image, const QRect &clip, const QFont &font, TColor color, int x, int y,
               const QString &text, int underline)
{
    if (clip.isEmpty() || text.isEmpty())
        return;
    QPainter p(image);
    p.setClipRect(clip);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(font);
    p.setPen(ToQColor(color));
    const QFontMetrics fm(font);
    p.drawText(QPoint(x, y + fm.ascent()), text);
    if (underline >= 0 && underline < text.size()) {
        const int ux = x + fm.horizontalAdvance(text.left(underline));
        const int uw = fm.horizontalAdvance(text.mid(underline, 1));
        const int uy = y + fm.ascent() + std::max(1, fm.underlinePos());
        p.fillRect(QRect(ux, uy, uw, std::max(1, fm.lineWidth())), ToQColor(color));
    }
}

} // namespace

void Canvas::TextOut(int x, int y, const QString &text)
{
    const Target t = makeTarget(m_image, m_hasClip, m_clip);
    if (!t.valid() || !textCoordOk(x) || !textCoordOk(y))
        return;
    const QRect clip(int(t.x0), int(t.y0), int(t.x1 - t.x0), int(t.y1 - t.y0));
    if (Brush.Style != bsClear)
        FillRect(Bounds(x, y, TextWidth(text), TextHeight(text)));
    paintLine(m_image, clip, paintFont(), Font.color(), x, y, text, -1);
}

void Canvas::TextRect(const TRect &rect, int x, int y, const QString &text)
{
    const Target t = makeTarget(m_image, m_hasClip, m_clip);
    const TRect r = clampRect(rect);
    if (!t.valid() || r.IsEmpty() || !textCoordOk(x) || !textCoordOk(y))
        return;
    const QRect clip = QRect(int(t.x0), int(t.y0), int(t.x1 - t.x0), int(t.y1 - t.y0)) & r.toQRect();
    if (Brush.Style != bsClear) {
        const TRect old = m_clip;
        const bool had = m_hasClip;
        SetClipRect(TRect::fromQRect(clip));
        FillRect(r);
        m_clip = old;
        m_hasClip = had;
    }
    paintLine(m_image, clip, paintFont(), Font.color(), x, y, text, -1);
}

int Canvas::DrawText(const QString &text, const TRect &r, unsigned flags)
{
    TRect copy = r;
    return DrawText(text, copy, flags);
}

int Canvas::DrawText(const QString &text, TRect &rect, unsigned flags)
{
    TRect r = clampRect(rect);
    const QFont font = paintFont();
    const QFontMetrics fm(font);
    const int lineHeight = fm.height();
    const bool prefix = !(flags & DT_NOPREFIX);
    const bool single = flags & DT_SINGLELINE;
    const bool ellipsis = flags & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS);
    const int width = r.Width();

    QString body = text;
    if (flags & DT_EXPANDTABS) {
        QString expanded;
        for (const QChar ch : body) {
            if (ch == QLatin1Char('\t')) {
                const qsizetype col = expanded.size() - (expanded.lastIndexOf(QLatin1Char('\n')) + 1);
                expanded += QString(8 - col % 8, QLatin1Char(' '));
            } else {
                expanded += ch;
            }
        }
        body = expanded;
    }
    QStringList paragraphs;
    if (single) {
        body.remove(QLatin1Char('\r'));
        body.remove(QLatin1Char('\n'));
        paragraphs << body;
    } else {
        body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        paragraphs = body.split(QLatin1Char('\n'));
    }

    auto display = [&](const QString &raw, int *underline) {
        if (prefix)
            return stripPrefix(raw, underline);
        *underline = -1;
        return raw;
    };
    auto rawWidth = [&](const QString &raw) {
        int u;
        return fm.horizontalAdvance(display(raw, &u));
    };

    QStringList lines;
    for (const QString &para : std::as_const(paragraphs)) {
        if (single || !(flags & DT_WORDBREAK)) {
            lines << para;
            continue;
        }
        const QStringList words = para.split(QLatin1Char(' '));
        QString current;
        bool any = false;
        for (const QString &word : words) {
            const QString candidate = any ? current + QLatin1Char(' ') + word : word;
            if (!any || rawWidth(candidate) <= width) {
                current = candidate;
                any = true;
            } else {
                lines << current;
                current = word;
            }
        }
        lines << current;
    }

    struct Line
    {
        QString text;
        int underline;
        int width;
    };
    std::vector<Line> laid;
    int maxWidth = 0;
    for (const QString &raw : std::as_const(lines)) {
        Line line;
        line.text = display(raw, &line.underline);
        line.width = fm.horizontalAdvance(line.text);
        if (ellipsis && line.width > width) {
            const QString dots = QStringLiteral("...");
            QString cut = line.text;
            while (!cut.isEmpty() && fm.horizontalAdvance(cut + dots) > width)
                cut.chop(1);
            if (line.underline >= cut.size())
                line.underline = -1;
            line.text = cut + dots;
            line.width = fm.horizontalAdvance(line.text);
        }
        maxWidth = std::max(maxWidth, line.width);
        laid.push_back(line);
    }
    const int total = int(laid.size()) * lineHeight;

    if (flags & DT_CALCRECT) {
        rect.Right = r.Left + maxWidth;
        rect.Bottom = r.Top + total;
        return total;
    }

    int top = r.Top;
    if (single && (flags & DT_VCENTER))
        top = (r.Top + r.Bottom - lineHeight) / 2;
    else if (single && (flags & DT_BOTTOM))
        top = r.Bottom - lineHeight;

    const Target t = makeTarget(m_image, m_hasClip, m_clip);
    if (t.valid()) {
        QRect clip(int(t.x0), int(t.y0), int(t.x1 - t.x0), int(t.y1 - t.y0));
        if (!(flags & DT_NOCLIP))
            clip &= r.toQRect();
        const TRect oldClip = m_clip;
        const bool hadClip = m_hasClip;
        int y = top;
        for (const Line &line : laid) {
            int x = r.Left;
            if (flags & DT_CENTER)
                x = (r.Left + r.Right - line.width) / 2;
            else if (flags & DT_RIGHT)
                x = r.Right - line.width;
            if (Brush.Style != bsClear && !clip.isEmpty()) {
                SetClipRect(TRect::fromQRect(clip));
                FillRect(Bounds(x, y, line.width, lineHeight));
                m_clip = oldClip;
                m_hasClip = hadClip;
            }
            paintLine(m_image, clip, font, Font.color(), x, y, line.text, line.underline);
            y += lineHeight;
        }
    }
    return (single && (flags & (DT_VCENTER | DT_BOTTOM))) ? top - r.Top + lineHeight : total;
}

} // namespace framework
