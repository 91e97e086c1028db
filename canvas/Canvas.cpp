#include "canvas/Canvas.h"

#include "canvas/CanvasRaster.h"
#include "canvas/CanvasText.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace canvas {

using raster::i64;
using raster::Ink;

namespace {

void normalise(i64 &a, i64 &b)
{
    if (a > b)
        std::swap(a, b);
}

// A box given either way round, bounded; false when it covers no pixel.
bool normalisedBox(int left, int top, int right, int bottom, i64 &l, i64 &t, i64 &r, i64 &b)
{
    l = raster::clampCoord(left);
    r = raster::clampCoord(right);
    t = raster::clampCoord(top);
    b = raster::clampCoord(bottom);
    normalise(l, r);
    normalise(t, b);
    return l != r && t != b;
}

// 32-bit source pixels; an image drawn onto itself is read from a copy.
QImage sourceOf(const QImage &image, const QImage &destination)
{
    const QImage src = image.constBits() == destination.constBits() ? image.copy() : image;
    if (src.format() == QImage::Format_RGB32 || src.format() == QImage::Format_ARGB32)
        return src;
    return src.convertToFormat(src.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

QRect clipOf(const raster::Target &t)
{
    return QRect(int(t.x0), int(t.y0), int(t.x1 - t.x0), int(t.y1 - t.y0));
}

} // namespace

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

bool Canvas::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    m_hasClip = false;
    if (width == m_image->width() && height == m_image->height())
        return true;
    QImage next(width, height, QImage::Format_RGB32);
    if (next.isNull() && width > 0 && height > 0)
        return false;
    next.fill(QColor::fromRgb(ToQRgb(Brush.Style == bsClear ? clWhite : Brush.Color)));
    if (!m_image->isNull() && width > 0 && height > 0) {
        QPainter p(&next);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, *m_image);
    }
    *m_image = next;
    return true;
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

raster::Target Canvas::target() const
{
    if (m_hasClip)
        return raster::Target::over(*m_image, m_clip.Left, m_clip.Top, m_clip.Right, m_clip.Bottom);
    return raster::Target::over(*m_image, 0, 0, m_image->width(), m_image->height());
}

// ---- lines ----

void Canvas::LineTo(int x, int y)
{
    const QPoint from = m_penPos;
    m_penPos = QPoint(x, y);
    if (Pen.Style == psClear)
        return;
    const raster::Target t = target();
    if (!t.valid())
        return;
    raster::segment(t, from.x(), from.y(), x, y, Pen.Width, ToQRgb(Pen.Color));
}

void Canvas::Polyline(const QPoint *points, int count)
{
    if (!points || count < 2 || Pen.Style == psClear)
        return;
    const raster::Target t = target();
    if (!t.valid())
        return;
    const uint32_t c = ToQRgb(Pen.Color);
    for (int i = 0; i + 1 < count; ++i)
        raster::segment(t, points[i].x(), points[i].y(), points[i + 1].x(), points[i + 1].y(), Pen.Width, c);
}

void Canvas::Polyline(std::initializer_list<QPoint> points)
{
    Polyline(points.begin(), int(points.size()));
}

void Canvas::Polyline(const QList<QPoint> &points)
{
    Polyline(points.constData(), int(points.size()));
}

// ---- shapes ----

void Canvas::Rectangle(int left, int top, int right, int bottom)
{
    i64 l = left, r = right, tp = top, b = bottom;
    normalise(l, r);
    normalise(tp, b);
    if (l == r || tp == b)
        return;
    const raster::Target t = target();
    if (!t.valid())
        return;
    raster::rectangle(t, l, tp, r, b, brushInk(), penInk(), Pen.Width);
}

void Canvas::FillRect(const TRect &r)
{
    if (Brush.Style == bsClear || r.IsEmpty())
        return;
    const raster::Target t = target();
    if (!t.valid())
        return;
    t.fillBox(r.Left, r.Top, i64(r.Right) - 1, i64(r.Bottom) - 1, ToQRgb(Brush.Color));
}

void Canvas::FrameRect(const TRect &r)
{
    if (r.IsEmpty())
        return;
    const raster::Target t = target();
    if (!t.valid())
        return;
    raster::frame(t, r.Left, r.Top, i64(r.Right) - 1, i64(r.Bottom) - 1, ToQRgb(Brush.Color));
}

void Canvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    i64 l, tp, r, b;
    if (!normalisedBox(left, top, right, bottom, l, tp, r, b))
        return;
    const raster::Target t = target();
    if (!t.valid())
        return;
    raster::roundRect(t, l, tp, r, b, cornerWidth, cornerHeight, brushInk(), penInk(), Pen.Width);
}

void Canvas::Ellipse(int left, int top, int right, int bottom)
{
    i64 l, tp, r, b;
    if (!normalisedBox(left, top, right, bottom, l, tp, r, b))
        return;
    const raster::Target t = target();
    if (!t.valid())
        return;
    raster::ellipse(t, l, tp, r, b, brushInk(), penInk(), Pen.Width);
}

void Canvas::Arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4)
{
    if (Pen.Style == psClear)
        return;
    i64 l, tp, r, b;
    if (!normalisedBox(left, top, right, bottom, l, tp, r, b))
        return;
    const raster::Target t = target();
    if (!t.valid())
        return;
    raster::arc(t, l, tp, r, b, x3, y3, x4, y4, Pen.Width, ToQRgb(Pen.Color));
}

void Canvas::Polygon(const QPoint *points, int count)
{
    if (!points || count < 1)
        return;
    const raster::Target t = target();
    if (!t.valid())
        return;
    raster::polygon(t, points, count, brushInk(), penInk(), Pen.Width);
}

void Canvas::Polygon(std::initializer_list<QPoint> points)
{
    Polygon(points.begin(), int(points.size()));
}

void Canvas::Polygon(const QList<QPoint> &points)
{
    Polygon(points.constData(), int(points.size()));
}

Ink Canvas::brushInk() const
{
    return Brush.Style == bsClear ? Ink() : Ink(ToQRgb(Brush.Color));
}

Ink Canvas::penInk() const
{
    return Pen.Style == psClear ? Ink() : Ink(ToQRgb(Pen.Color));
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
    const raster::Target t = target();
    if (!t.valid())
        return;
    t.plot(x, y, ToQRgb(color));
}

// ---- edges and focus ----

TRect Canvas::DrawEdge(const TRect &r, unsigned edge, unsigned flags)
{
    const raster::Target t = target();
    TRect inner = r;
    // One ring of one-pixel lines; the bottom-right colour is drawn last and wins the corners.
    auto ring = [&](TColor topLeft, TColor bottomRight) {
        if (inner.IsEmpty())
            return;
        if (t.valid()) {
            const i64 l = inner.Left, tp = inner.Top, rr = i64(inner.Right) - 1, b = i64(inner.Bottom) - 1;
            const uint32_t light = ToQRgb(topLeft), dark = ToQRgb(bottomRight);
            if (flags & BF_TOP)
                raster::segment(t, l, tp, rr + 1, tp, 1, light);
            if (flags & BF_LEFT)
                raster::segment(t, l, tp, l, b + 1, 1, light);
            if (flags & BF_BOTTOM)
                raster::segment(t, l, b, rr + 1, b, 1, dark);
            if (flags & BF_RIGHT)
                raster::segment(t, rr, tp, rr, b + 1, 1, dark);
        }
        if (flags & BF_LEFT)
            ++inner.Left;
        if (flags & BF_TOP)
            ++inner.Top;
        if (flags & BF_RIGHT)
            --inner.Right;
        if (flags & BF_BOTTOM)
            --inner.Bottom;
    };
    if (edge & BDR_RAISEDOUTER)
        ring(cl3DLight, cl3DDkShadow);
    else if (edge & BDR_SUNKENOUTER)
        ring(clBtnShadow, clBtnHighlight);
    if (edge & BDR_RAISEDINNER)
        ring(clBtnHighlight, clBtnShadow);
    else if (edge & BDR_SUNKENINNER)
        ring(cl3DDkShadow, cl3DLight);
    if ((flags & BF_MIDDLE) && !inner.IsEmpty() && t.valid())
        t.fillBox(inner.Left, inner.Top, i64(inner.Right) - 1, i64(inner.Bottom) - 1, ToQRgb(clBtnFace));
    return inner;
}

void Canvas::DrawFocusRect(const TRect &r)
{
    if (r.IsEmpty())
        return;
    const raster::Target t = target();
    if (!t.valid())
        return;
    raster::invertDottedFrame(t, r.Left, r.Top, i64(r.Right) - 1, i64(r.Bottom) - 1);
}

// ---- bitmaps ----

void Canvas::Draw(int x, int y, const QImage &image)
{
    if (image.isNull())
        return;
    const raster::Target t = target();
    if (!t.valid())
        return;
    raster::blend(t, x, y, sourceOf(image, *m_image));
}

void Canvas::DrawTransparent(int x, int y, const QImage &image, TColor transparentColor)
{
    if (image.isNull())
        return;
    const raster::Target t = target();
    if (!t.valid())
        return;
    raster::blendKeyed(t, x, y, sourceOf(image, *m_image), ToQRgb(transparentColor));
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
    const raster::Target t = target();
    if (!t.valid())
        return;
    raster::stretch(t, dest.Left, dest.Top, dest.Right, dest.Bottom, sourceOf(image, *m_image), source.Left,
                    source.Top, source.Right, source.Bottom);
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

void Canvas::TextOut(int x, int y, const QString &text)
{
    const raster::Target t = target();
    if (!t.valid() || !TextCoordInRange(x) || !TextCoordInRange(y))
        return;
    if (Brush.Style != bsClear)
        FillRect(Bounds(x, y, TextWidth(text), TextHeight(text)));
    PaintTextLine(*m_image, clipOf(t), paintFont(), Font.color(), x, y, text, -1);
}

int Canvas::DrawText(const QString &text, const TRect &r, unsigned flags)
{
    TRect copy = r;
    return DrawText(text, copy, flags);
}

int Canvas::DrawText(const QString &text, TRect &rect, unsigned flags)
{
    const TRect r = ClampTextRect(rect);
    const QFont font = paintFont();
    const TextLayout layout = LayoutText(text, r, flags, QFontMetrics(font));
    if (flags & DT_CALCRECT) {
        rect.Right = r.Left + layout.width;
        rect.Bottom = r.Top + layout.height;
        return layout.height;
    }
    const raster::Target t = target();
    if (!t.valid())
        return layout.result;
    QRect clip = clipOf(t);
    if (!(flags & DT_NOCLIP))
        clip &= r.toQRect();
    // The line cells are filled within the text's clip only.
    const raster::Target cells =
        t.within(clip.left(), clip.top(), i64(clip.right()) + 1, i64(clip.bottom()) + 1);
    for (const TextLine &line : layout.lines) {
        if (Brush.Style != bsClear && !clip.isEmpty())
            cells.fillBox(line.x, line.y, i64(line.x) + line.width - 1, i64(line.y) + layout.lineHeight - 1,
                          ToQRgb(Brush.Color));
        PaintTextLine(*m_image, clip, font, Font.color(), line.x, line.y, line.text, line.underline);
    }
    return layout.result;
}

} // namespace canvas
