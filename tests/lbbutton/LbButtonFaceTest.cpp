// Pixel probes of the button face: each style's background and border in every state, the
// hot-track mix, the gradient bands, glyph cells and positions, the caption cut and the
// popup marker.
#include "lbbutton/LbButton.h"
#include "lbbutton/LbButtonRes.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace canvas;
using namespace controls;
using namespace lbbutton;

namespace {

constexpr TColor Magenta = 0xFF00FF;
constexpr TColor Face = 0x40A0C0;
constexpr TColor Light = 0xF0E0D0;
constexpr TColor Shadow = 0x203040;
constexpr TColor WhenDown = 0x10C010;
constexpr TColor Back = 0x008080; // glyph background (bottom-left pixel)

struct State
{
    const char *name;
    bool hot;
    bool down;
    bool enabled;
    bool flat;
};

constexpr State Normal{"normal", false, false, true, false};
constexpr State HotState{"hot", true, false, true, false};
constexpr State DownState{"down", false, true, true, false};
constexpr State Disabled{"disabled", false, false, false, false};
constexpr State FlatIdle{"flat", false, false, true, true};
constexpr State FlatHot{"flat hot", true, false, true, true};
constexpr State FlatDown{"flat down", false, true, true, true};
constexpr State FlatDisabled{"flat disabled", false, false, false, true};

TLbFaceParams Params(TLbButtonStyle style, const State &s, int w = 60, int h = 30)
{
    TLbFaceParams p;
    p.W = w;
    p.H = h;
    p.Style = style;
    p.Color = Face;
    p.LightColor = Light;
    p.ShadowColor = Shadow;
    p.Hot = s.hot;
    p.Down = s.down;
    p.Enabled = s.enabled;
    p.Flat = s.flat;
    return p;
}

QImage Draw(const TLbFaceParams &p, int w = -1, int h = -1)
{
    Canvas canvas(w < 0 ? p.W : w, h < 0 ? p.H : h);
    canvas.Brush.Color = Magenta;
    canvas.FillRect(TRect(0, 0, canvas.Width(), canvas.Height()));
    DrawFace(canvas, p);
    return canvas.Image();
}

TColor At(const QImage &image, int x, int y)
{
    return FromQRgb(image.pixel(x, y));
}

// A strip of `cells` cells of size w x h, cell i filled with colours[i] except its
// bottom-left pixel, which carries the transparent background.
QImage Strip(const QList<TColor> &colours, int w, int h)
{
    QImage strip(w * int(colours.size()), h, QImage::Format_RGB32);
    for (int i = 0; i < colours.size(); ++i)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                strip.setPixel(i * w + x, y, ToQRgb(colours[i]));
    for (int i = 0; i < colours.size(); ++i)
        strip.setPixel(i * w, h - 1, ToQRgb(Back));
    return strip;
}

} // namespace

// Background and border of the three plain styles, probed on each edge and inside.
TEST(LbButtonFace, PlainStylesBorderByState)
{
    struct Row
    {
        TLbButtonStyle style;
        State state;
        bool border;
    };
    const Row rows[] = {
        {bsNormal, Normal, true},     {bsNormal, HotState, true},      {bsNormal, DownState, true},
        {bsNormal, Disabled, true},   {bsNormal, FlatIdle, false},     {bsNormal, FlatHot, true},
        {bsNormal, FlatDown, true},   {bsNormal, FlatDisabled, false}, {bsEncarta, Normal, true},
        {bsEncarta, FlatIdle, false}, {bsEncarta, FlatHot, true},      {bsEncarta, DownState, true},
    };
    const int W = 60, H = 30;
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string("style ") + std::to_string(row.style) + " " + row.state.name);
        const QImage img = Draw(Params(row.style, row.state, W, H));
        const bool down = row.state.down && row.state.enabled;
        EXPECT_EQ(At(img, W / 2, H / 2), Face);
        if (!row.border) {
            for (auto [x, y] : {std::pair{0, H / 2}, {W / 2, 0}, {W - 1, H / 2}, {W / 2, H - 1}, {0, 0}})
                EXPECT_EQ(At(img, x, y), Face) << x << "," << y;
            continue;
        }
        const TColor topLeft = down ? Shadow : Light;
        const TColor bottomRight = down ? Light : Shadow;
        EXPECT_EQ(At(img, 0, H / 2), topLeft);
        EXPECT_EQ(At(img, W / 2, 0), topLeft);
        EXPECT_EQ(At(img, 0, 0), topLeft);
        EXPECT_EQ(At(img, 0, H - 1), topLeft) << "the light line starts at the bottom-left corner";
        EXPECT_EQ(At(img, W - 1, 0), bottomRight);
        EXPECT_EQ(At(img, W - 1, H / 2), bottomRight);
        EXPECT_EQ(At(img, W / 2, H - 1), bottomRight);
        EXPECT_EQ(At(img, 1, 1), Face);
    }
}

TEST(LbButtonFace, OldStyleDoubleBorder)
{
    const int W = 60, H = 30;
    const TColor dark = 0x000000; // cl3DDkShadow
    {
        const QImage img = Draw(Params(bsOld, Normal, W, H));
        EXPECT_EQ(At(img, 0, H / 2), Light);
        EXPECT_EQ(At(img, W / 2, 0), Light);
        EXPECT_EQ(At(img, W - 1, H / 2), dark);
        EXPECT_EQ(At(img, W / 2, H - 1), dark);
        EXPECT_EQ(At(img, W - 2, H / 2), Shadow);
        EXPECT_EQ(At(img, W / 2, H - 2), Shadow);
        EXPECT_EQ(At(img, 1, 1), Face);
    }
    {
        const QImage img = Draw(Params(bsOld, DownState, W, H));
        EXPECT_EQ(At(img, 0, H / 2), dark);
        EXPECT_EQ(At(img, W / 2, 0), dark);
        EXPECT_EQ(At(img, W - 1, H / 2), Light);
        EXPECT_EQ(At(img, W / 2, H - 1), Light);
        EXPECT_EQ(At(img, 1, H / 2), Shadow);
        EXPECT_EQ(At(img, W / 2, 1), Shadow);
        EXPECT_EQ(At(img, W - 2, H / 2), Face);
    }
    {
        const QImage img = Draw(Params(bsOld, FlatIdle, W, H));
        EXPECT_EQ(At(img, 0, H / 2), Face);
        EXPECT_EQ(At(img, W - 1, H / 2), Face);
    }
}

// Colour of row y of a DrawGradient box: the last band covering it.
TColor GradientRow(TColor a, TColor b, int top, int bottom, int y)
{
    const int span = bottom - top;
    int band = -1;
    for (int i = 0; i < 32; ++i) {
        const int y0 = top + i * span / 31;
        if (y >= y0 && y < std::min(y0 + span / 31 + 1, bottom))
            band = i;
    }
    if (band < 0)
        return CLR_INVALID;
    auto channel = [band](int from, int to) {
        const double v = from + band * (to - from) / 31.0;
        return int(v);
    };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}

// The modern face: gradient from the light colour at the top to the face colour a quarter
// down and back, the face (or shadow) outline and the rounded shadow border, flat or not;
// corners outside the rounding stay transparent.
TEST(LbButtonFace, ModernGradientAndBorder)
{
    const int W = 80, H = 40;
    const State states[] = {Normal, HotState, DownState, Disabled, FlatIdle, FlatHot, FlatDown};
    for (const State &s : states) {
        SCOPED_TRACE(s.name);
        TLbFaceParams p = Params(bsModern, s, W, H);
        p.ColorWhenDown = WhenDown;
        const QImage img = Draw(p);
        const bool down = s.down && s.enabled;
        const int off = down ? 1 : 0;
        const TColor face = down ? WhenDown : Face;
        // On a tall face the first row of each half is exact: light at the top, the face colour
        // a quarter down.
        TLbFaceParams tall = p;
        tall.H = 200;
        const QImage tallImg = Draw(tall);
        EXPECT_EQ(At(tallImg, W / 2, 2), Light);
        EXPECT_EQ(At(tallImg, W / 2, 200 / 4 + off), face);
        for (int y = 2; y < H / 4 + off; ++y)
            EXPECT_EQ(At(img, W / 2, y), GradientRow(Light, face, 2, H / 4 + off, y)) << y;
        for (int y = H / 4 + off; y < H - 2; ++y)
            EXPECT_EQ(At(img, W / 2, y), GradientRow(face, Light, H / 4 + off, H - 1, y)) << y;
        EXPECT_EQ(At(img, 2, 5), At(img, W - 3, 5)) << "bands run across the box";
        EXPECT_EQ(At(img, W / 2, 1), down ? Shadow : face) << "inner outline";
        EXPECT_EQ(At(img, 1, H / 2), down ? Shadow : face);
        EXPECT_EQ(At(img, W / 2, 0), Shadow) << "rounded border, whatever Flat says";
        EXPECT_EQ(At(img, 0, H / 2), Shadow);
        EXPECT_EQ(At(img, W - 1, H / 2), Shadow);
        EXPECT_EQ(At(img, W / 2, H - 1), Shadow);
        EXPECT_EQ(At(img, 0, 0), Magenta);
        EXPECT_EQ(At(img, W - 1, H - 1), Magenta);
    }
}

TEST(LbButtonFace, QuickenAndShape)
{
    const int W = 60, H = 30;
    for (const State &s : {Normal, HotState, DownState, Disabled}) {
        SCOPED_TRACE(s.name);
        TLbFaceParams p = Params(bsQuicken, s, W, H);
        p.ColorWhenDown = WhenDown;
        const QImage img = Draw(p);
        const TColor face = (s.down && s.enabled) ? WhenDown : Face;
        EXPECT_EQ(At(img, W / 2, H / 2), face);
        EXPECT_EQ(At(img, 4, 0), Shadow);
        EXPECT_EQ(At(img, W - 6, 0), Shadow);
        EXPECT_EQ(At(img, W - 5, 0), Magenta) << "the line ends before W - 5";
        EXPECT_EQ(At(img, W / 2, H - 1), Shadow);
        EXPECT_EQ(At(img, 0, 0), Magenta);
        EXPECT_EQ(At(img, 0, H / 2), face);
    }
    for (const State &s : {Normal, HotState, DownState, Disabled, FlatIdle}) {
        SCOPED_TRACE(s.name);
        // Drawn on white: the shape style fills itself with magenta, border-less.
        TLbFaceParams p = Params(bsShape, s, W, H);
        Canvas canvas(W, H);
        DrawFace(canvas, p);
        for (auto [x, y] : {std::pair{0, 0}, {W / 2, H / 2}, {W - 1, H - 1}, {W / 2, 0}})
            EXPECT_EQ(FromQRgb(canvas.Image().pixel(x, y)), Magenta);
    }
}

// t = level / 8, each channel truncated: the eight colours from hot back to the face colour.
TEST(LbButtonFace, HotTrackMixStepsBackToTheFaceColour)
{
    const TColor colour = RGB(221, 255, 223);
    const TColor hot = RGB(234, 207, 128);
    TColor previous = hot;
    for (int level = 8; level >= 0; --level) {
        SCOPED_TRACE(level);
        auto mix = [level](int c, int h) { return ((8 - level) * c + level * h) / 8; };
        const TColor expected = RGB(mix(221, 234), mix(255, 207), mix(223, 128));
        EXPECT_EQ(HotTrackMix(colour, hot, level), expected);
        if (level < 8) {
            EXPECT_NE(HotTrackMix(colour, hot, level), previous);
        }
        previous = HotTrackMix(colour, hot, level);
    }
    EXPECT_EQ(HotTrackMix(colour, hot, 8), hot);
    EXPECT_EQ(HotTrackMix(colour, hot, 0), colour);
    EXPECT_EQ(HotTrackMix(clBtnFace, clWhite, 0), 0xC0C0C0u) << "system colours resolved";

    // The face of an enabled button follows the level; a disabled one ignores the hot colour.
    for (int level : {8, 5, 1, 0}) {
        TLbFaceParams p = Params(bsNormal, Normal);
        p.HotTrackColor = hot;
        p.Color = colour;
        p.FadeLevel = level;
        EXPECT_EQ(At(Draw(p), 30, 15), HotTrackMix(colour, hot, level)) << level;
        p.Enabled = false;
        EXPECT_EQ(At(Draw(p), 30, 15), colour) << level;
    }
}

// 32 bands over span rows: band i from top + i * span div 31, span div 31 + 1 rows high,
// colour A + i * (B - A) / 31 truncated.
TEST(LbButtonFace, GradientBands)
{
    const TRect box(3, 10, 13, 72); // span 62: each band starts two rows below the last
    Canvas canvas(20, 80);
    DrawGradient(canvas, RGB(0, 255, 100), RGB(255, 0, 100), box);
    for (int i = 0; i < 31; ++i) {
        SCOPED_TRACE(i);
        const int r = i * 255 / 31;
        const int g = 255 - (i * 255 + 30) / 31; // 255 - ceil(i * 255 / 31): truncation of a falling value
        const TColor got = FromQRgb(canvas.Image().pixel(3, 10 + 2 * i));
        EXPECT_EQ(GetRValue(got), r);
        EXPECT_EQ(GetGValue(got), g);
        EXPECT_EQ(GetBValue(got), 100);
        EXPECT_EQ(FromQRgb(canvas.Image().pixel(12, 10 + 2 * i)), got);
    }
    EXPECT_EQ(FromQRgb(canvas.Image().pixel(2, 20)), clWhite) << "left of the box";
    EXPECT_EQ(FromQRgb(canvas.Image().pixel(13, 20)), clWhite) << "right edge exclusive";
    EXPECT_EQ(FromQRgb(canvas.Image().pixel(5, 9)), clWhite);
    EXPECT_EQ(FromQRgb(canvas.Image().pixel(5, 72)), clWhite) << "bottom exclusive";
}

// Disabled: second cell; hot: fourth (with more than 3 cells); down: third (with more than 2),
// down winning over hot.
TEST(LbButtonFace, GlyphCellChoice)
{
    const QList<TColor> four = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF};
    struct Row
    {
        int cells;
        State state;
        int expectedCell;
    };
    const State hotDown{"hot down", true, true, true, false};
    const Row rows[] = {
        {4, Normal, 0},   {4, Disabled, 1},  {4, HotState, 3},  {4, DownState, 2}, {4, hotDown, 2},
        {3, HotState, 0}, {3, DownState, 2}, {2, DownState, 0}, {2, HotState, 0},  {2, Disabled, 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::to_string(row.cells) + " cells " + row.state.name);
        TLbFaceParams p = Params(bsNormal, row.state, 60, 30);
        p.Glyph = Strip(four.mid(0, row.cells), 10, 10);
        p.NumGlyphs = row.cells;
        const QImage img = Draw(p);
        const int off = (row.state.down && row.state.enabled) ? 1 : 0;
        // No caption, centred: gx = (60 - 10) div 2 + off, gy = (30 - 10) div 2 + off.
        EXPECT_EQ(At(img, 25 + off + 5, 10 + off + 5), four[row.expectedCell]);
    }
}

// A 16 x 16 single-cell glyph on a disabled button still shows that cell; the caption is grey.
TEST(LbButtonFace, DisabledSingleCellGlyphAndGreyCaption)
{
    TLbFaceParams p = Params(bsNormal, Disabled, 120, 30);
    p.Color = clWhite;
    p.Glyph = Strip({0x0000FF}, 16, 16);
    p.NumGlyphs = 1;
    p.Caption = QStringLiteral("Stop");
    TFont font;
    font.setColor(clBlack);
    font.setHeight(14);
    p.Font = &font;
    const QImage img = Draw(p);
    int glyphPixels = 0, grey = 0, black = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const TColor c = At(img, x, y);
            glyphPixels += c == 0x0000FF;
            grey += c == 0x808080;
            black += c == clBlack;
        }
    EXPECT_EQ(glyphPixels, 16 * 16 - 1) << "the whole cell but its transparent corner";
    EXPECT_GT(grey, 10) << "caption drawn grey";
    EXPECT_EQ(black, 0) << "nothing in the font's own colour";
}

// Glyph positions for the layouts and alignments, with an empty caption (tw4 = 0, th = 0).
TEST(LbButtonFace, GlyphPositions)
{
    struct Row
    {
        TLbButtonLayout layout;
        TAlignment alignment;
        bool down;
        int gx;
        int gy;
    };
    const int W = 100, H = 40;
    const Row rows[] = {
        {lbbutton::blGlyphLeft, taCenter, false, 45, 15},
        {lbbutton::blGlyphLeft, taLeftJustify, false, 4, 15},
        {lbbutton::blGlyphLeft, taRightJustify, false, 86, 15},
        {lbbutton::blGlyphRight, taCenter, false, 45, 15},
        {lbbutton::blGlyphRight, taLeftJustify, false, 4, 15},
        {lbbutton::blGlyphRight, taRightJustify, false, 86, 15},
        {lbbutton::blGlyphTop, taCenter, false, 45, 13},
        {lbbutton::blGlyphTop, taLeftJustify, false, 4, 13},
        {lbbutton::blGlyphBottom, taRightJustify, false, 86, 13},
        {lbbutton::blGlyphLeft, taCenter, true, 46, 16},
        {lbbutton::blGlyphTop, taRightJustify, true, 87, 14},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::to_string(row.layout) + "/" + std::to_string(row.alignment) +
                     (row.down ? " down" : ""));
        TLbFaceParams p = Params(bsNormal, row.down ? DownState : Normal, W, H);
        p.Layout = row.layout;
        p.Alignment = row.alignment;
        p.Glyph = Strip({0x0000FF}, 10, 10);
        p.NumGlyphs = 1;
        const QImage img = Draw(p);
        EXPECT_EQ(At(img, row.gx, row.gy + 9), Face) << "transparent bottom-left pixel of the cell";
        EXPECT_EQ(At(img, row.gx, row.gy), 0x0000FFu);
        EXPECT_EQ(At(img, row.gx + 9, row.gy + 9), 0x0000FFu);
        EXPECT_EQ(At(img, row.gx + 10, row.gy + 5), Face) << "right of the cell";
        EXPECT_EQ(At(img, row.gx - 1, row.gy + 5), Face) << "left of the cell";
        EXPECT_EQ(At(img, row.gx + 5, row.gy - 1), Face) << "above the cell";
    }
    // The shape style centres the glyph without the press offset.
    for (bool down : {false, true}) {
        TLbFaceParams p = Params(bsShape, down ? DownState : Normal, W, H);
        p.Glyph = Strip({0x0000FF}, 10, 10);
        p.NumGlyphs = 1;
        const QImage img = Draw(p);
        EXPECT_EQ(At(img, 45, 15), 0x0000FFu) << down;
        EXPECT_EQ(At(img, 54, 24), 0x0000FFu) << down;
        EXPECT_EQ(At(img, 55, 25), Magenta) << down;
    }
}

// The caption box beside a glyph is W - 8 - (gw + 4) wide; a longer caption loses characters
// from the end (no ellipsis) until it fits; with word wrap it is kept whole.
TEST(LbButtonFace, CaptionCutCharacterByCharacter)
{
    TFont font;
    font.setHeight(15);
    font.setColor(clBlack);
    Canvas measure(1, 1);
    measure.Font.Assign(font);
    const QString caption = QStringLiteral("Generatorsignal");
    const int W = 80;
    const int tw = W - 8 - (10 + 4);
    QString fits = caption;
    while (measure.TextWidth(fits) > tw)
        fits.chop(1);
    ASSERT_LT(fits.size(), caption.size()) << "the test needs a caption too wide for the box";
    ASSERT_GT(fits.size(), 3);

    auto face = [&](const QString &text, bool wrap) {
        TLbFaceParams p = Params(bsNormal, Normal, W, 30);
        p.Font = &font;
        p.Caption = text;
        p.WordWrap = wrap;
        p.Alignment = taLeftJustify;
        p.Layout = lbbutton::blGlyphRight;
        p.Glyph = Strip({0x0000FF}, 10, 10);
        p.NumGlyphs = 1;
        return Draw(p);
    };
    EXPECT_EQ(face(caption, false), face(fits, false)) << "cut to the longest prefix that fits";
    const QString shorter = fits.left(fits.size() - 1);
    EXPECT_NE(face(shorter, false), face(fits, false)) << "not cut further than needed";
    EXPECT_NE(face(caption, true), face(fits, false)) << "word wrap keeps the whole caption";
}

// The popup marker: a 5 x 3 down-pointing arrow at (W - 11, H div 2 - 1), its background clear.
TEST(LbButtonFace, PopupArrow)
{
    const QImage arrow = LoadBitmapResource(QStringLiteral("LBARROW"));
    ASSERT_EQ(arrow.size(), QSize(5, 3));
    const int W = 60, H = 31;
    TLbFaceParams p = Params(bsNormal, Normal, W, H);
    p.HasPopup = true;
    const QImage img = Draw(p);
    const int x = W - 11, y = H / 2 - 1;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(At(img, x + i, y), clBlack) << i;
    EXPECT_EQ(At(img, x + 2, y + 2), clBlack);
    EXPECT_EQ(At(img, x, y + 2), Face);
    EXPECT_EQ(At(img, x + 4, y + 1), Face);
    p.HasPopup = false;
    EXPECT_EQ(At(Draw(p), x, y), Face);
}

// Encarta pressed stays in place and turns bold; the other styles move by one pixel.
TEST(LbButtonFace, PressOffsetAndEncartaBold)
{
    TFont font;
    font.setHeight(15);
    font.setColor(clBlack);
    auto draw = [&](TLbButtonStyle style, bool down) {
        TLbFaceParams p = Params(style, down ? DownState : Normal, 80, 30);
        p.Font = &font;
        p.Caption = QStringLiteral("Il");
        return Draw(p);
    };
    auto inkBox = [](const QImage &img) {
        QRect box;
        for (int y = 2; y < img.height() - 2; ++y)
            for (int x = 2; x < img.width() - 2; ++x)
                if (FromQRgb(img.pixel(x, y)) == clBlack)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect up = inkBox(draw(bsNormal, false));
    const QRect pressed = inkBox(draw(bsNormal, true));
    ASSERT_FALSE(up.isEmpty());
    EXPECT_EQ(pressed.topLeft(), up.topLeft() + QPoint(1, 1));
    const QRect encartaUp = inkBox(draw(bsEncarta, false));
    const QRect encartaDown = inkBox(draw(bsEncarta, true));
    EXPECT_EQ(encartaDown.top(), encartaUp.top());
    EXPECT_GT(encartaDown.width() * encartaDown.height(), 0);
    int inkUp = 0, inkDown = 0;
    const QImage a = draw(bsEncarta, false), b = draw(bsEncarta, true);
    for (int y = 2; y < 28; ++y)
        for (int x = 2; x < 78; ++x) {
            inkUp += FromQRgb(a.pixel(x, y)) == clBlack;
            inkDown += FromQRgb(b.pixel(x, y)) == clBlack;
        }
    EXPECT_GT(inkDown, inkUp) << "bold while down";
}

// Kind glyphs: two 18-pixel cells, at most 16 colours, the bottom-left pixel the background.
TEST(LbButtonFace, KindGlyphResources)
{
    for (const char *name : {"LBOK", "LBCANCEL", "LBHELP", "LBYES", "LBNO", "LBCLOSE", "LBABORT", "LBRETRY",
                             "LBIGNORE", "LBALL"}) {
        SCOPED_TRACE(name);
        const QImage glyph = LoadBitmapResource(QString::fromLatin1(name));
        ASSERT_FALSE(glyph.isNull());
        EXPECT_EQ(glyph.size(),
                  QString::fromLatin1(name) == QLatin1String("LBALL") ? QSize(36, 19) : QSize(36, 18));
        QSet<QRgb> colours;
        int drawnNormal = 0, drawnDisabled = 0;
        const QRgb back = glyph.pixel(0, glyph.height() - 1);
        for (int y = 0; y < glyph.height(); ++y)
            for (int x = 0; x < glyph.width(); ++x) {
                colours.insert(glyph.pixel(x, y));
                (x < 18 ? drawnNormal : drawnDisabled) += glyph.pixel(x, y) != back;
            }
        EXPECT_LE(colours.size(), 16);
        EXPECT_GT(drawnNormal, 10);
        EXPECT_GT(drawnDisabled, 10);
        EXPECT_EQ(glyph.pixel(18, glyph.height() - 1), back) << "disabled cell on the same background";
    }
    EXPECT_TRUE(LoadBitmapResource(QStringLiteral("LBNOPE")).isNull());
}
