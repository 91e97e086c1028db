#include "hints/sGraphUtils.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

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

framework::TRect Clip(const framework::TRect &r, const QImage &image)
{
    return framework::TRect(std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, image.width()),
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

framework::TColor PixelAt(const QImage &image, int x, int y)
{
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return framework::CLR_INVALID;
    const PixelLayout l = LayoutOf(image);
    const uchar *p = image.constScanLine(y) + x * l.bytes;
    return framework::RGB(p[l.r], p[l.g], p[l.b]);
}

void BlendSoftRect(QImage &bitmap, const framework::TRect &rect, int transparency, int radius, int edge,
                   framework::TColor color)
{
    EnsureDirect(bitmap);
    const int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0)
        return;
    const int e = std::max(0, std::min({edge, w / 2, h / 2}));
    const int r = std::max(0, std::min({radius, w / 2, h / 2}));
    const int t = transparency * 255 / 100;
    const framework::TColor c = framework::ColorToRGB(color);
    const int cr = framework::GetRValue(c), cg = framework::GetGValue(c), cb = framework::GetBValue(c);

    // Mask levels: a plain rectangle needs only the distance to the nearest side; rounded
    // corners are drawn as nested rounded rectangles.
    QImage rounded;
    if (r > 0) {
        framework::Canvas m(w, h);
        m.Pen.Style = framework::psSolid;
        for (int k = 0; k <= e; ++k) {
            const int level = k == 0 ? 255 : SoftRectLevel(k, e, t);
            const framework::TColor grey = framework::RGB(level, level, level);
            m.Pen.Color = grey;
            m.Brush = framework::TBrush{grey, framework::bsSolid};
            m.RoundRect(k, k, w - k, h - k, r, r);
        }
        m.Pen.Color = m.Brush.Color = framework::RGB(t & 0xFF, t & 0xFF, t & 0xFF);
        m.RoundRect(e, e, w - e, h - e, r, r);
        rounded = m.Image();
    }

    const PixelLayout l = LayoutOf(bitmap);
    const framework::TRect clip = Clip(rect, bitmap);
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

void BlendColorThroughMask(QImage &work, const QImage &mask, int dx, int dy, framework::TColor color)
{
    EnsureDirect(work);
    const framework::TColor c = framework::ColorToRGB(color);
    const int cr = framework::GetRValue(c), cg = framework::GetGValue(c), cb = framework::GetBValue(c);
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

void FillPassiveGradient(QImage &bitmap, const framework::TRect &rect, const TPassiveGradient &gradient,
                         const QSize &hintSize)
{
    EnsureDirect(bitmap);
    const int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0)
        return;
    framework::TColor s = framework::ColorToRGB(gradient.Color1());
    framework::TColor e = framework::ColorToRGB(gradient.Color2());
    if (gradient.Invert())
        std::swap(s, e);
    const double S[3] = {double(framework::GetRValue(s)), double(framework::GetGValue(s)),
                         double(framework::GetBValue(s))};
    const double E[3] = {double(framework::GetRValue(e)), double(framework::GetGValue(e)),
                         double(framework::GetBValue(e))};
    const double C[3] = {double((framework::GetRValue(s) + framework::GetRValue(e)) / 2),
                         double((framework::GetGValue(s) + framework::GetGValue(e)) / 2),
                         double((framework::GetBValue(s) + framework::GetBValue(e)) / 2)};

    const bool columns = gradient.Layout() == TsHintEnums::gtLeftRight;
    const int size = columns ? hintSize.width() : hintSize.height();
    const int span = gradient.Mode() == TsHintEnums::gmFixed ? std::min(gradient.Width(), size)
                                                             : size * std::min(gradient.Width(), 100) / 100;
    const int limit = columns ? w : h;
    const int n1 = std::min(std::max(1, RoundEven(span * gradient.Percent1() / 100.0)), std::max(limit, 1));
    const int n2 = std::min(std::max(1, RoundEven(span * gradient.Percent2() / 100.0)), std::max(limit, 1));

    // Colour at `d` pixels from the start edge (first ramp) or the end edge (last ramp).
    auto first = [&](int d, int ch) { return S[ch] + (C[ch] - S[ch]) * d / n1; };
    auto last = [&](int d, int ch) { return E[ch] + (C[ch] - E[ch]) * d / n2; };
    // 0: middle, 1: first ramp, 2: last ramp; along one axis of length n.
    auto along = [&](int i, int n, int &d) {
        if (i < n1) {
            d = i;
            return 1;
        }
        if (n - 1 - i < n2) {
            d = n - 1 - i;
            return 2;
        }
        return 0;
    };

    const PixelLayout l = LayoutOf(bitmap);
    const framework::TRect clip = Clip(rect, bitmap);
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        uchar *row = bitmap.scanLine(y);
        const int ry = y - rect.Top;
        for (int x = clip.Left; x < clip.Right; ++x) {
            const int rx = x - rect.Left;
            int ramp = 0, d = 0;
            if (gradient.Layout() == TsHintEnums::gtTopBottom) {
                ramp = along(ry, h, d);
            } else if (gradient.Layout() == TsHintEnums::gtLeftRight) {
                ramp = along(rx, w, d);
            } else {
                // The nearest edge decides; distances count in band widths so the corner seams
                // run diagonally.
                const int dl = rx, dt = ry, dr = w - 1 - rx, db = h - 1 - ry;
                double best = 2;
                auto consider = [&](int dist, int band, int kind) {
                    if (dist < band && double(dist) / band < best) {
                        best = double(dist) / band;
                        ramp = kind;
                        d = dist;
                    }
                };
                consider(dl, n1, 1);
                consider(dt, n1, 1);
                consider(dr, n2, 2);
                consider(db, n2, 2);
            }
            uchar *p = row + x * l.bytes;
            const int offsets[3] = {l.r, l.g, l.b};
            for (int ch = 0; ch < 3; ++ch) {
                const double v = ramp == 1 ? first(d, ch) : ramp == 2 ? last(d, ch) : C[ch];
                p[offsets[ch]] = uchar(std::clamp(RoundEven(v), 0, 255));
            }
        }
    }
}

void TileImage(QImage &bitmap, const framework::TRect &rect, const QImage &picture)
{
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0)
        return;
    EnsureDirect(bitmap);
    const QImage tile = picture.convertToFormat(bitmap.format());
    const PixelLayout l = LayoutOf(bitmap);
    const framework::TRect clip = Clip(rect, bitmap);
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        const uchar *src = tile.constScanLine((y - rect.Top) % tile.height());
        uchar *dst = bitmap.scanLine(y);
        for (int x = clip.Left; x < clip.Right; ++x)
            std::copy_n(src + ((x - rect.Left) % tile.width()) * l.bytes, l.bytes, dst + x * l.bytes);
    }
}

void TraceOutline(QImage &body, const QImage &mask, framework::TColor top, framework::TColor bottom)
{
    EnsureDirect(body);
    const PixelLayout lb = LayoutOf(body), lm = LayoutOf(mask);
    const int w = std::min(body.width(), mask.width()), h = std::min(body.height(), mask.height());
    auto inside = [&](int x, int y) {
        const uchar *p = mask.constScanLine(y) + x * lm.bytes;
        return !(p[lm.r] == 255 && p[lm.g] == 255 && p[lm.b] == 255);
    };
    const framework::TColor t = framework::ColorToRGB(top), b = framework::ColorToRGB(bottom);
    auto paint = [&](uchar *p, framework::TColor c) {
        p[lb.r] = uchar(framework::GetRValue(c));
        p[lb.g] = uchar(framework::GetGValue(c));
        p[lb.b] = uchar(framework::GetBValue(c));
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
