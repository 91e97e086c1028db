#include "lbbutton/LbButtonFace.h"

#include "lbbutton/LbButtonRes.h"

#include <algorithm>

namespace lbbutton {

using namespace canvas;
using namespace controls;

namespace {

unsigned AlignmentFlag(TAlignment alignment)
{
    switch (alignment) {
    case taLeftJustify:
        return DT_LEFT;
    case taRightJustify:
        return DT_RIGHT;
    case taCenter:
        break;
    }
    return DT_CENTER;
}

// The colours and press state every style painter starts from.
struct FaceState
{
    TColor face;
    TColor light;
    TColor shadow;
    bool down;
    int off; // the pressed content's shift
};

void FillFace(Canvas &canvas, const TLbFaceParams &p, TColor color)
{
    if (p.SkipBackground)
        return;
    canvas.Brush.Color = color;
    canvas.FillRect(TRect(-1, -1, p.W + 1, p.H + 1));
}

// The plain styles draw their border unless flat and at rest.
bool HasBorder(const TLbFaceParams &p, bool down)
{
    return (p.Enabled && (!p.Flat || p.Hot || down)) || (!p.Enabled && !p.Flat);
}

// bsNormal and bsEncarta: a filled face inside a two-tone border.
void PaintPlainFace(Canvas &canvas, const TLbFaceParams &p, const FaceState &s)
{
    FillFace(canvas, p, s.face);
    canvas.Brush.Style = bsClear;
    if (!HasBorder(p, s.down))
        return;
    const int W = p.W, H = p.H;
    canvas.Pen.Color = s.down ? s.shadow : s.light;
    canvas.MoveTo(0, H - 1);
    canvas.LineTo(0, 0);
    canvas.LineTo(W - 1, 0);
    canvas.Pen.Color = s.down ? s.light : s.shadow;
    canvas.LineTo(W - 1, H - 1);
    canvas.LineTo(0, H - 1);
}

// bsOld: a filled face inside a three-tone border with an inner shadow line.
void PaintOldFace(Canvas &canvas, const TLbFaceParams &p, const FaceState &s)
{
    FillFace(canvas, p, s.face);
    canvas.Brush.Style = bsClear;
    if (!HasBorder(p, s.down))
        return;
    const int W = p.W, H = p.H;
    canvas.Pen.Color = s.shadow;
    if (!s.down) {
        canvas.MoveTo(W - 2, 0);
        canvas.LineTo(W - 2, H - 2);
        canvas.LineTo(0, H - 2);
    } else {
        canvas.MoveTo(1, H - 3);
        canvas.LineTo(1, 1);
        canvas.LineTo(W - 2, 1);
    }
    const TColor dark = ColorToRGB(cl3DDkShadow);
    canvas.Pen.Color = s.down ? dark : s.light;
    canvas.MoveTo(0, H - 1);
    canvas.LineTo(0, 0);
    canvas.LineTo(W - 1, 0);
    canvas.Pen.Color = s.down ? s.light : dark;
    canvas.LineTo(W - 1, H - 1);
    canvas.LineTo(-1, H - 1);
}

// bsModern: two gradients meeting a quarter down, inside a rounded border.
void PaintModernFace(Canvas &canvas, const TLbFaceParams &p, const FaceState &s)
{
    const int W = p.W, H = p.H;
    if (!p.SkipBackground) {
        DrawGradient(canvas, s.light, s.face, TRect(2, 2, W - 2, H / 4 + s.off));
        DrawGradient(canvas, s.face, s.light, TRect(2, H / 4 + s.off, W - 2, H - 1));
    }
    canvas.Brush.Style = bsClear;
    canvas.Pen.Color = s.down ? s.shadow : s.face;
    canvas.Rectangle(1, 1, W - 1, H - 1);
    canvas.Pen.Color = s.shadow;
    canvas.RoundRect(0, 0, W, H, 6, 6);
}

// bsQuicken: a rounded face on the parent with lines along top and bottom.
void PaintQuickenFace(Canvas &canvas, const TLbFaceParams &p, const FaceState &s)
{
    const int W = p.W, H = p.H;
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = s.face;
    canvas.Pen.Style = psClear;
    canvas.RoundRect(0, 1, W, H, 4, 4);
    canvas.Brush.Style = bsClear;
    canvas.Pen.Style = psSolid;
    canvas.Pen.Color = s.shadow;
    canvas.MoveTo(4, 0);
    canvas.LineTo(W - 5, 0);
    canvas.MoveTo(4, H - 1);
    canvas.LineTo(W - 5, H - 1);
}

// bsShape: nothing but the key colour, which the parent shows through.
void PaintShapeFace(Canvas &canvas, const TLbFaceParams &p, const FaceState &)
{
    FillFace(canvas, p, FaceKeyColor);
    canvas.Brush.Style = bsClear;
}

void PaintStyleFace(Canvas &canvas, const TLbFaceParams &p, const FaceState &s)
{
    switch (p.Style) {
    case bsNormal:
    case bsEncarta:
        PaintPlainFace(canvas, p, s);
        break;
    case bsOld:
        PaintOldFace(canvas, p, s);
        break;
    case bsModern:
        PaintModernFace(canvas, p, s);
        break;
    case bsQuicken:
        PaintQuickenFace(canvas, p, s);
        break;
    case bsShape:
        PaintShapeFace(canvas, p, s);
        break;
    }
}

// Where the caption and the glyph go beside or above each other.
struct ContentPlace
{
    int tx = 0, ty = 0, gx = 0, gy = 0;
};

ContentPlace PlaceContent(const TLbFaceParams &p, int off, int gw, int gh, int th, int tw4)
{
    const int W = p.W, H = p.H;
    ContentPlace c;
    if (p.Layout == blGlyphLeft || p.Layout == blGlyphRight) {
        const bool leftish = p.WordWrap || p.Alignment == taLeftJustify;
        c.ty = (H - th) / 2 + off;
        c.gy = (H - gh) / 2 + off;
        c.tx = off + 4;
        if (p.Layout == blGlyphLeft && gw > 0)
            c.tx += gw + 4;
        if (p.Layout == blGlyphLeft) {
            if (leftish)
                c.gx = off + 4;
            else if (p.Alignment == taRightJustify)
                c.gx = W - 4 - gw - tw4 + off;
            else
                c.gx = (W - gw) / 2 + off - tw4 / 2;
        } else {
            if (leftish)
                c.gx = c.tx + tw4;
            else if (p.Alignment == taRightJustify)
                c.gx = W - 4 + off - gw;
            else
                c.gx = (W - gw) / 2 + off + tw4 / 2;
        }
        return c;
    }
    c.tx = off + 4;
    const int total = th + (gh > 0 ? gh + 4 : 0);
    if (p.Layout == blGlyphTop) {
        c.gy = (H - total) / 2 + off;
        c.ty = c.gy + gh;
    } else {
        c.ty = (H - total) / 2 + off;
        c.gy = c.ty + th;
    }
    if (p.Alignment == taLeftJustify)
        c.gx = off + 4;
    else if (p.Alignment == taRightJustify)
        c.gx = W - gw - 4 + off;
    else
        c.gx = (W - gw) / 2 + off;
    return c;
}

// The caption (cut to fit unless wrapped) and the glyph cell of the current state.
void DrawContent(Canvas &canvas, const TLbFaceParams &p, const FaceState &s)
{
    const int W = p.W, H = p.H, off = s.off;
    if (p.Font)
        canvas.Font.Assign(*p.Font);
    if (p.Style == bsEncarta && s.down)
        canvas.Font.setStyle(canvas.Font.style() | TFont::fsBold);

    const int gh = p.Glyph.isNull() ? 0 : p.Glyph.height();
    const int gw = (p.NumGlyphs > 0 && !p.Glyph.isNull()) ? p.Glyph.width() / p.NumGlyphs : 0;
    int cellX = 0;
    if (!p.Enabled) {
        cellX = gw;
    } else {
        if (p.Hot && p.NumGlyphs > 3)
            cellX = 3 * gw;
        if (s.down && p.NumGlyphs > 2)
            cellX = 2 * gw;
    }

    const bool sideGlyph = p.Layout == blGlyphLeft || p.Layout == blGlyphRight;
    int tw = W - 8;
    if (gw > 0 && sideGlyph)
        tw -= gw + 4;
    tw = std::max(tw, 0);
    QString caption = p.Caption;
    if (!p.WordWrap)
        while (!caption.isEmpty() && canvas.TextWidth(caption) > tw)
            caption.chop(1);
    TRect measure(0, 0, tw, 0);
    if (!caption.isEmpty())
        canvas.DrawText(caption, measure, DT_CALCRECT | DT_WORDBREAK);
    const int th = caption.isEmpty() ? 0 : measure.Height();
    const int tw4 = caption.isEmpty() ? 0 : measure.Width() + 4;

    if (!p.Enabled)
        canvas.Font.setColor(0x808080);
    const bool drawGlyph = gw > 0 && gh > 0;

    if (p.Style == bsShape) {
        if (drawGlyph)
            DrawGlyphCell(canvas, p.Glyph, cellX, gw, gh, (W - gw) / 2, (H - gh) / 2);
        if (!caption.isEmpty())
            canvas.DrawText(caption, TRect(off, (H - th) / 2 + off, W, H), DT_WORDBREAK | DT_CENTER);
        return;
    }
    const ContentPlace c = PlaceContent(p, off, gw, gh, th, tw4);
    if (!caption.isEmpty())
        canvas.DrawText(caption, TRect(c.tx, c.ty, c.tx + tw, c.ty + th),
                        DT_WORDBREAK | AlignmentFlag(p.Alignment));
    if (drawGlyph)
        DrawGlyphCell(canvas, p.Glyph, cellX, gw, gh, c.gx, c.gy);
}

} // namespace

TColor HotTrackMix(TColor color, TColor hot, int fadeLevel)
{
    const TColor c = ColorToRGB(color);
    const TColor h = ColorToRGB(hot);
    const double t = fadeLevel / 8.0;
    auto mix = [t](int a, int b) { return int((1.0 - t) * a + t * b); };
    return RGB(mix(GetRValue(c), GetRValue(h)), mix(GetGValue(c), GetGValue(h)),
               mix(GetBValue(c), GetBValue(h)));
}

void DrawGradient(Canvas &canvas, TColor a, TColor b, const TRect &box)
{
    const TColor from = ColorToRGB(a);
    const TColor to = ColorToRGB(b);
    double r = GetRValue(from), g = GetGValue(from), bl = GetBValue(from);
    const double dr = (GetRValue(to) - GetRValue(from)) / 31.0;
    const double dg = (GetGValue(to) - GetGValue(from)) / 31.0;
    const double db = (GetBValue(to) - GetBValue(from)) / 31.0;
    const int span = box.Bottom - box.Top;
    const TPen pen = canvas.Pen;
    const TBrush brush = canvas.Brush;
    canvas.Pen.Style = psClear;
    canvas.Brush.Style = bsSolid;
    for (int i = 0; i < 32; ++i) {
        const int y0 = box.Top + i * span / 31;
        const int y1 = std::min(y0 + span / 31 + 1, box.Bottom);
        canvas.Brush.Color = RGB(int(r), int(g), int(bl));
        canvas.FillRect(TRect(box.Left, y0, box.Right, y1));
        r += dr;
        g += dg;
        bl += db;
    }
    canvas.Pen = pen;
    canvas.Brush = brush;
}

void DrawGlyphCell(Canvas &canvas, const QImage &strip, int cellX, int gw, int gh, int gx, int gy)
{
    if (strip.isNull() || gw <= 0 || gh <= 0)
        return;
    // Starts as the first cell, so a cell beyond the strip shows the first one.
    QImage cell = strip.copy(0, 0, gw, gh).convertToFormat(QImage::Format_RGB32);
    Canvas cellCanvas(&cell);
    cellCanvas.Draw(-cellX, 0, strip.convertToFormat(QImage::Format_RGB32));
    canvas.DrawTransparent(gx, gy, cell);
}

void DrawFace(Canvas &canvas, const TLbFaceParams &p)
{
    FaceState s;
    s.down = p.Enabled && p.Down;
    s.off = (s.down && p.Style != bsEncarta) ? 1 : 0;
    s.face = ColorToRGB(p.Color);
    if (p.Enabled && p.HotTrackColor != clNone)
        s.face = HotTrackMix(s.face, p.HotTrackColor, p.FadeLevel);
    if (s.down && p.ColorWhenDown != clNone)
        s.face = ColorToRGB(p.ColorWhenDown);
    s.light = ColorToRGB(p.LightColor);
    s.shadow = ColorToRGB(p.ShadowColor);

    canvas.Pen.Style = psSolid;
    canvas.Pen.Width = 1;
    canvas.Brush.Style = bsSolid;
    PaintStyleFace(canvas, p, s);
    DrawContent(canvas, p, s);

    if (p.HasPopup)
        canvas.DrawTransparent(p.W - 11, p.H / 2 - 1, LoadBitmapResource(QStringLiteral("LBARROW")));
}

} // namespace lbbutton
