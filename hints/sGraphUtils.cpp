#include "hints/sGraphUtils.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <vector>

namespace hints {

namespace {

// Byte offsets of the channels within a pixel.
struct PixelLayout
{
    int bytes;
    int r, g, b;
};

PixelLayout LayoutOf(const QImage &image)
{
    if (image.format() == QImage::Format_RGB888)
        return {3, 0, 1, 2};
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    return {4, 2, 1, 0};
#else
    return {4, 1, 2, 3};
#endif
}

void EnsureDirect(QImage &image)
{
    switch (image.format()) {
    case QImage::Format_RGB888:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        return;
    default:
        image = image.convertToFormat(QImage::Format_RGB32);
    }
}

// (m * p + (255 - m) * c) / 255 rounded; 255 is odd, so no halves occur.
inline uchar Mix(int m, int p, int c)
{
    return uchar((2 * (m * p + (255 - m) * c) + 255) / 510);
}

canvas::TRect Clip(const canvas::TRect &r, const QImage &image)
{
    return canvas::TRect(std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, image.width()),
                         std::min(r.Bottom, image.height()));
}

} // namespace

int RoundEven(double value)
{
    return int(std::nearbyint(value));
}

int SoftRectLevel(int distance, int edge, int level)
{
    if (distance <= 0 && edge > 0)
        return 255;
    if (distance >= edge)
        return level & 0xFF;
    return RoundEven(level + double(edge - distance + 1) * (255 - level) / (edge + 1)) & 0xFF;
}

canvas::TColor PixelAt(const QImage &image, int x, int y)
{
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return canvas::CLR_INVALID;
    const PixelLayout l = LayoutOf(image);
    const uchar *p = image.constScanLine(y) + x * l.bytes;
    return canvas::RGB(p[l.r], p[l.g], p[l.b]);
}

void BlendSoftRect(QImage &bitmap, const canvas::TRect &rect, int transparency, int radius, int edge,
                   canvas::TColor color)
{
    EnsureDirect(bitmap);
    const int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0)
        return;
    const int e = std::max(0, std::min({edge, w / 2, h / 2}));
    const int r = std::max(0, std::min({radius, w / 2, h / 2}));
    const int t = transparency * 255 / 100;
    const canvas::TColor c = canvas::ColorToRGB(color);
    const int cr = canvas::GetRValue(c), cg = canvas::GetGValue(c), cb = canvas::GetBValue(c);

    // Mask levels: a plain rectangle needs only the distance to the nearest side; rounded
    // corners are drawn as nested rounded rectangles.
    QImage rounded;
    if (r > 0) {
        canvas::Canvas m(w, h);
        m.Pen.Style = canvas::psSolid;
        for (int k = 0; k <= e; ++k) {
            const int level = k == 0 ? 255 : SoftRectLevel(k, e, t);
            const canvas::TColor grey = canvas::RGB(level, level, level);
            m.Pen.Color = grey;
            m.Brush = canvas::TBrush{grey, canvas::bsSolid};
            m.RoundRect(k, k, w - k, h - k, r, r);
        }
        m.Pen.Color = m.Brush.Color = canvas::RGB(t & 0xFF, t & 0xFF, t & 0xFF);
        m.RoundRect(e, e, w - e, h - e, r, r);
        rounded = m.Image();
    }

    const PixelLayout l = LayoutOf(bitmap);
    const canvas::TRect clip = Clip(rect, bitmap);
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        uchar *row = bitmap.scanLine(y);
        const int my = y - rect.Top;
        const uint32_t *mrow =
            r > 0 ? reinterpret_cast<const uint32_t *>(rounded.constScanLine(my)) : nullptr;
        const int dy = std::min(my, h - 1 - my);
        for (int x = clip.Left; x < clip.Right; ++x) {
            const int mx = x - rect.Left;
            const int m = mrow ? int(mrow[mx] & 0xFF) : SoftRectLevel(std::min({mx, w - 1 - mx, dy}), e, t);
            uchar *p = row + x * l.bytes;
            p[l.r] = Mix(m, p[l.r], cr);
            p[l.g] = Mix(m, p[l.g], cg);
            p[l.b] = Mix(m, p[l.b], cb);
        }
    }
}

void MergeThroughMask(QImage &work, const QImage &body, const QImage &mask)
{
    EnsureDirect(work);
    const PixelLayout lw = LayoutOf(work), lb = LayoutOf(body), lm = LayoutOf(mask);
    const int w = std::min({work.width(), body.width(), mask.width()});
    const int h = std::min({work.height(), body.height(), mask.height()});
    for (int y = 0; y < h; ++y) {
        uchar *pw = work.scanLine(y);
        const uchar *pb = body.constScanLine(y);
        const uchar *pm = mask.constScanLine(y);
        for (int x = 0; x < w; ++x, pw += lw.bytes, pb += lb.bytes, pm += lm.bytes) {
            pw[lw.r] = Mix(pm[lm.r], pw[lw.r], pb[lb.r]);
            pw[lw.g] = Mix(pm[lm.g], pw[lw.g], pb[lb.g]);
            pw[lw.b] = Mix(pm[lm.b], pw[lw.b], pb[lb.b]);
        }
    }
}

void BlendColorThroughMask(QImage &work, const QImage &mask, int dx, int dy, canvas::TColor color)
{
    EnsureDirect(work);
    const canvas::TColor c = canvas::ColorToRGB(color);
    const int cr = canvas::GetRValue(c), cg = canvas::GetGValue(c), cb = canvas::GetBValue(c);
    const PixelLayout lw = LayoutOf(work), lm = LayoutOf(mask);
    const int x0 = std::max(0, dx), y0 = std::max(0, dy);
    const int x1 = std::min(work.width(), mask.width() + dx),
              y1 = std::min(work.height(), mask.height() + dy);
    for (int y = y0; y < y1; ++y) {
        uchar *pw = work.scanLine(y) + x0 * lw.bytes;
        const uchar *pm = mask.constScanLine(y - dy) + (x0 - dx) * lm.bytes;
        for (int x = x0; x < x1; ++x, pw += lw.bytes, pm += lm.bytes) {
            pw[lw.r] = Mix(pm[lm.r], pw[lw.r], cr);
            pw[lw.g] = Mix(pm[lm.g], pw[lw.g], cg);
            pw[lw.b] = Mix(pm[lm.b], pw[lw.b], cb);
        }
    }
}

void CopyPixels(const QImage &from, QImage &to)
{
    EnsureDirect(to);
    const PixelLayout lf = LayoutOf(from), lt = LayoutOf(to);
    const int w = std::min(from.width(), to.width()), h = std::min(from.height(), to.height());
    for (int y = 0; y < h; ++y) {
        const uchar *pf = from.constScanLine(y);
        uchar *pt = to.scanLine(y);
        if (lf.bytes == lt.bytes && lf.r == lt.r) {
            std::copy_n(pf, size_t(w) * lf.bytes, pt);
            continue;
        }
        for (int x = 0; x < w; ++x, pf += lf.bytes, pt += lt.bytes) {
            pt[lt.r] = pf[lf.r];
            pt[lt.g] = pf[lf.g];
            pt[lt.b] = pf[lf.b];
            if (lt.bytes == 4)
                pt[6 - lt.r - lt.g - lt.b] = 0xFF;
        }
    }
}

void FillPassiveGradient(QImage &bitmap, const canvas::TRect &rect, const TPassiveGradient &gradient,
                         const QSize &hintSize)
{
    EnsureDirect(bitmap);
    const int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0)
        return;
    canvas::TColor s = canvas::ColorToRGB(gradient.Color1());
    canvas::TColor e = canvas::ColorToRGB(gradient.Color2());
    if (gradient.Invert())
        std::swap(s, e);
    const double S[3] = {double(canvas::GetRValue(s)), double(canvas::GetGValue(s)),
                         double(canvas::GetBValue(s))};
    const double E[3] = {double(canvas::GetRValue(e)), double(canvas::GetGValue(e)),
                         double(canvas::GetBValue(e))};
    const double C[3] = {double((canvas::GetRValue(s) + canvas::GetRValue(e)) / 2),
                         double((canvas::GetGValue(s) + canvas::GetGValue(e)) / 2),
                         double((canvas::GetBValue(s) + canvas::GetBValue(e)) / 2)};

    const bool columns = gradient.Layout() == TsHintEnums::gtLeftRight;
    const int size = columns ? hintSize.width() : hintSize.height();
    const int span = gradient.Mode() == TsHintEnums::gmFixed
                         ? std::min(gradient.Width(), size)
                         : RoundEven(size * std::min(gradient.Width(), 100) / 100.0);
    const int limit = columns ? w : h;
    const int n1 = std::min(std::max(1, RoundEven(span * gradient.Percent1() / 100.0)), std::max(limit, 1));
    const int n2 = std::min(std::max(1, RoundEven(span * gradient.Percent2() / 100.0)), std::max(limit, 1));

    // Colours of both ramps by distance from their edge, and the middle; rounded once each.
    struct Rgb
    {
        uchar r, g, b;
    };
    auto rgb = [](double r, double g, double b) {
        return Rgb{uchar(std::clamp(RoundEven(r), 0, 255)), uchar(std::clamp(RoundEven(g), 0, 255)),
                   uchar(std::clamp(RoundEven(b), 0, 255))};
    };
    std::vector<Rgb> firstRamp(static_cast<size_t>(n1)), lastRamp(static_cast<size_t>(n2));
    for (int d = 0; d < n1; ++d)
        firstRamp[size_t(d)] =
            rgb(S[0] + (C[0] - S[0]) * d / n1, S[1] + (C[1] - S[1]) * d / n1, S[2] + (C[2] - S[2]) * d / n1);
    for (int d = 0; d < n2; ++d)
        lastRamp[size_t(d)] =
            rgb(E[0] + (C[0] - E[0]) * d / n2, E[1] + (C[1] - E[1]) * d / n2, E[2] + (C[2] - E[2]) * d / n2);
    const Rgb middle = rgb(C[0], C[1], C[2]);
    // The colour `i` pixels along an axis of length n.
    auto along = [&](int i, int n) -> const Rgb & {
        if (i < n1)
            return firstRamp[size_t(i)];
        if (n - 1 - i < n2)
            return lastRamp[size_t(n - 1 - i)];
        return middle;
    };

    const PixelLayout l = LayoutOf(bitmap);
    const canvas::TRect clip = Clip(rect, bitmap);
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        uchar *row = bitmap.scanLine(y);
        const int ry = y - rect.Top;
        const Rgb *rowColor = gradient.Layout() == TsHintEnums::gtTopBottom ? &along(ry, h) : nullptr;
        for (int x = clip.Left; x < clip.Right; ++x) {
            const int rx = x - rect.Left;
            const Rgb *c = rowColor;
            if (!c && gradient.Layout() == TsHintEnums::gtLeftRight) {
                c = &along(rx, w);
            } else if (!c) {
                // The nearest edge decides; distances count in band widths (compared crosswise)
                // so the corner seams run diagonally.
                c = &middle;
                int bestDist = 1, bestBand = 0; // "2" in band widths: beyond any band
                auto consider = [&](int dist, int band, const std::vector<Rgb> &ramp) {
                    if (dist < band &&
                        (bestBand == 0 || int64_t(dist) * bestBand < int64_t(bestDist) * band)) {
                        bestDist = dist;
                        bestBand = band;
                        c = &ramp[size_t(dist)];
                    }
                };
                consider(rx, n1, firstRamp);
                consider(ry, n1, firstRamp);
                consider(w - 1 - rx, n2, lastRamp);
                consider(h - 1 - ry, n2, lastRamp);
            }
            uchar *p = row + x * l.bytes;
            p[l.r] = c->r;
            p[l.g] = c->g;
            p[l.b] = c->b;
        }
    }
}

void TileImage(QImage &bitmap, const canvas::TRect &rect, const QImage &picture)
{
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0)
        return;
    EnsureDirect(bitmap);
    const QImage tile = picture.convertToFormat(bitmap.format());
    const PixelLayout l = LayoutOf(bitmap);
    const canvas::TRect clip = Clip(rect, bitmap);
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        const uchar *src = tile.constScanLine((y - rect.Top) % tile.height());
        uchar *dst = bitmap.scanLine(y);
        for (int x = clip.Left; x < clip.Right; ++x)
            std::copy_n(src + ((x - rect.Left) % tile.width()) * l.bytes, l.bytes, dst + x * l.bytes);
    }
}

void TraceOutline(QImage &body, const QImage &mask, canvas::TColor top, canvas::TColor bottom)
{
    EnsureDirect(body);
    const PixelLayout lb = LayoutOf(body), lm = LayoutOf(mask);
    const int w = std::min(body.width(), mask.width()), h = std::min(body.height(), mask.height());
    auto inside = [&](int x, int y) {
        const uchar *p = mask.constScanLine(y) + x * lm.bytes;
        return !(p[lm.r] == 255 && p[lm.g] == 255 && p[lm.b] == 255);
    };
    const canvas::TColor t = canvas::ColorToRGB(top), b = canvas::ColorToRGB(bottom);
    auto paint = [&](uchar *p, canvas::TColor c) {
        p[lb.r] = uchar(canvas::GetRValue(c));
        p[lb.g] = uchar(canvas::GetGValue(c));
        p[lb.b] = uchar(canvas::GetBValue(c));
    };
    for (int y = 0; y < h; ++y) {
        uchar *row = body.scanLine(y);
        for (int x = 0; x < w; ++x) {
            if (!inside(x, y))
                continue;
            if (x == 0 || y == 0 || !inside(x - 1, y) || !inside(x, y - 1))
                paint(row + x * lb.bytes, t);
            else if (x == w - 1 || y == h - 1 || !inside(x + 1, y) || !inside(x, y + 1))
                paint(row + x * lb.bytes, b);
        }
    }
}

} // namespace hints
