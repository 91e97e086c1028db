#pragma once

#include "canvas/Colors.h"
#include "canvas/Fonts.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <optional>

namespace canvas {

namespace raster {
struct Target;
}

// Rectangle with exclusive right and bottom edges: (Left, Top, Right, Bottom) covers
// x = Left .. Right - 1 and y = Top .. Bottom - 1.
struct TRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr TRect() = default;
    constexpr TRect(int left, int top, int right, int bottom)
        : Left(left), Top(top), Right(right), Bottom(bottom)
    {
    }
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool operator==(const TRect &) const = default;

    QRect toQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
};

constexpr TRect Rect(int left, int top, int right, int bottom)
{
    return TRect(left, top, right, bottom);
}
constexpr TRect Bounds(int left, int top, int width, int height)
{
    return TRect(left, top, left + width, top + height);
}

enum TPenStyle { psSolid = 0, psClear = 5 };
enum TBrushStyle { bsSolid = 0, bsClear = 1 };

struct TPen
{
    TColor Color = clBlack;
    int Width = 1; // values below 1 draw as 1
    TPenStyle Style = psSolid;
};

struct TBrush
{
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// DrawText flags (same values as the platform's formatted-text call).
enum : unsigned {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4, // with DT_SINGLELINE only
    DT_BOTTOM = 0x8,  // with DT_SINGLELINE only
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_PATH_ELLIPSIS = 0x4000, // treated as DT_END_ELLIPSIS
    DT_END_ELLIPSIS = 0x8000,
    DT_MODIFYSTRING = 0x10000,  // ignored: the text is never modified
    DT_WORD_ELLIPSIS = 0x40000, // treated as DT_END_ELLIPSIS
};

// DrawEdge edge and border flags.
enum : unsigned {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER, // 5
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER, // 10

    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
    BF_MIDDLE = 0x800, // fill the inside with clBtnFace
};

// Drawing surface over a 32-bit QImage with the platform's raster rules, no anti-aliasing:
//  - a rectangle or ellipse (l, t, r, b) covers x = l .. r - 1, y = t .. b - 1 (coordinates of
//    Rectangle/Ellipse/RoundRect/Arc are normalised when given the wrong way round);
//  - a line from A to B paints A but not B;
//  - filled shapes: brush inside (unless bsClear), then the pen outline (unless psClear);
//  - polygons are filled even-odd, their outline paints every vertex;
//  - pens wider than 1 are centred on the 1-pixel outline, round-capped and round-joined
//    (Rectangle: square corners)
//    (a pixel whose centre lies on the band's lower/right border is inside, on the
//    upper/left border outside: a 2-pixel pen on row y covers rows y and y + 1);
//  - every write is clipped to the image and to ClipRect.
// Drawing never fails: a degenerate shape, a null or empty input or coordinates off the image
// draw nothing. Only SetSize can fail (no memory for the pixels); it says so by returning false.
// Text is drawn by QPainter into the same image, without anti-aliasing. The image may also be
// painted with a QPainter of one's own between canvas calls.
class Canvas
{
public:
    // Owns an empty image; SetSize gives it pixels.
    Canvas();
    // Owns a width x height image filled with the brush colour (white).
    Canvas(int width, int height);
    // Draws into `target`, which must outlive the canvas. An image that is not RGB32, ARGB32 or
    // ARGB32_Premultiplied is converted to RGB32 in place first.
    explicit Canvas(QImage *target);
    ~Canvas();

    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    QImage &Image() { return *m_image; }
    const QImage &Image() const { return *m_image; }
    int Width() const { return m_image->width(); }
    int Height() const { return m_image->height(); }
    // Resizes the image keeping the old pixels at the top left; uncovered pixels take the
    // brush colour (white when the brush is clear). Negative sizes count as 0. The clip
    // rectangle is reset. False when the pixels cannot be allocated; the old picture is kept.
    bool SetSize(int width, int height);

    TPen Pen;
    TBrush Brush;
    TFont Font;

    // Further clip inside the image (all drawing, text included). Reset by SetSize.
    void SetClipRect(const TRect &clip);
    void ResetClipRect();
    TRect ClipRect() const { return m_clip; }

    QPoint PenPos() const { return m_penPos; }
    void MoveTo(int x, int y) { m_penPos = QPoint(x, y); }
    // Line from the pen position to (x, y) with the pen; the end pixel is not painted. The pen
    // position becomes (x, y).
    void LineTo(int x, int y);
    // Connected lines through the points (the last point unpainted with a 1-pixel pen); the
    // pen position is neither used nor changed.
    void Polyline(const QPoint *points, int count);
    void Polyline(std::initializer_list<QPoint> points);
    void Polyline(const QList<QPoint> &points);

    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect &r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // Brush only; nothing for bsClear or an inverted rectangle.
    void FillRect(const TRect &r);
    // One-pixel frame in the brush colour (whatever its style) around l..r-1, t..b-1.
    void FrameRect(const TRect &r);
    // Rectangle with corners rounded by an ellipse of cornerWidth x cornerHeight.
    void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const TRect &r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    // Pen-only arc on the ellipse of the box, counter-clockwise (as seen on screen) from the
    // direction of (x3, y3) to the direction of (x4, y4), both taken from the box centre. Equal
    // directions draw the whole ellipse.
    void Arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4);
    void Polygon(const QPoint *points, int count);
    void Polygon(std::initializer_list<QPoint> points);
    void Polygon(const QList<QPoint> &points);

    // CLR_INVALID outside the image.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Text with the canvas font in Font.Color; (x, y) is the top-left corner of the text cell.
    // With a solid brush the cell (TextWidth x TextHeight) is first filled with the brush
    // colour. The pen position is not used.
    void TextOut(int x, int y, const QString &text);
    int TextWidth(const QString &text) const;
    // Height of the text cell (ascent + descent of the font).
    int TextHeight(const QString &text) const;
    // Formatted text in `r` with DT_* flags. Without DT_NOPREFIX '&' underlines the next
    // character and "&&" is a literal '&'. Lines break at '\n' (and "\r\n") unless
    // DT_SINGLELINE; DT_WORDBREAK breaks between words to fit r's width (a single word that is
    // too wide stays whole). DT_VCENTER/DT_BOTTOM apply with DT_SINGLELINE only. DT_CALCRECT
    // draws nothing and sets r.Right/r.Bottom to bound the text (r.Left/r.Top kept). Returns
    // the text height, or with DT_VCENTER/DT_BOTTOM the offset from r.Top to the text bottom.
    int DrawText(const QString &text, TRect &r, unsigned flags);
    int DrawText(const QString &text, const TRect &r, unsigned flags);

    // Bevel edge (BDR_* / EDGE_* with BF_* sides) in the classic colours: raised outer
    // cl3DLight / cl3DDkShadow, raised inner clBtnHighlight / clBtnShadow, sunken outer
    // clBtnShadow / clBtnHighlight, sunken inner cl3DDkShadow / cl3DLight (top-left / bottom-
    // right; bottom-right wins at the corners). Returns the rectangle inside the edge.
    TRect DrawEdge(const TRect &r, unsigned edge, unsigned flags);
    // Dotted focus rectangle drawn by inverting (XOR 0xFFFFFF) every other pixel of the
    // one-pixel border of r (pixels with x + y even); drawing it twice restores the image.
    void DrawFocusRect(const TRect &r);

    // Copies `image` with its top-left at (x, y); pixels with alpha 0 are skipped and partly
    // transparent ones blended (opaque images are plainly copied).
    void Draw(int x, int y, const QImage &image);
    // Copies `image` except the pixels of the transparent colour (RGB compared).
    void DrawTransparent(int x, int y, const QImage &image, TColor transparentColor);
    // Transparent colour = the image's bottom-left pixel.
    void DrawTransparent(int x, int y, const QImage &image);
    // Nearest-pixel stretch of the whole image onto dest.
    void StretchDraw(const TRect &dest, const QImage &image);
    // Nearest-pixel copy of `source` of `image` onto `dest` (stretched when sizes differ).
    void CopyRect(const TRect &dest, const QImage &image, const TRect &source);

private:
    void init();
    QFont paintFont() const;
    // The image within the clip; draws nothing when invalid.
    raster::Target target() const;
    // Brush and pen colours as pixels; none for a clear style.
    std::optional<uint32_t> brushInk() const;
    std::optional<uint32_t> penInk() const;

    QImage m_own;
    QImage *m_image = &m_own;
    TRect m_clip;
    bool m_hasClip = false;
    QPoint m_penPos;
    mutable QFont m_fontCache;
    mutable bool m_fontDirty = true;
};

} // namespace canvas
