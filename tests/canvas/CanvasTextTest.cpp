#include "canvas/Canvas.h"
#include "tests/canvas/CanvasTestUtil.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace canvas;
using canvastest::countColor;
using canvastest::inkBounds;

namespace {

struct TextCanvas
{
    Canvas c;
    TextCanvas(int w, int h)
    {
        c.SetSize(w, h);
        c.Brush.Style = bsClear;
        c.Font.setHeight(14);
        c.Font.setColor(clBlack);
    }
};

} // namespace

TEST(CanvasText, TextOutStaysInItsCell)
{
    TextCanvas t(200, 60);
    Canvas &c = t.c;
    const QString s = QStringLiteral("Звук 123");
    const int w = c.TextWidth(s), h = c.TextHeight(s);
    EXPECT_GT(w, 30);
    EXPECT_EQ(h, QFontMetrics(c.Font.toQFont()).height());
    c.TextOut(20, 10, s);
    const TRect ink = inkBounds(c, clWhite);
    EXPECT_GE(ink.Left, 20);
    EXPECT_GE(ink.Top, 10);
    EXPECT_LE(ink.Right, 20 + w);
    EXPECT_LE(ink.Bottom, 10 + h);
    EXPECT_GT(countColor(c, clBlack), 20);
    // No anti-aliasing: only the two colours.
    EXPECT_EQ(countColor(c, clBlack) + countColor(c, clWhite), 200 * 60);

    // A solid brush paints the cell behind the text.
    c.Brush = TBrush{clYellow, bsSolid};
    c.TextOut(20, 35, s);
    EXPECT_EQ(c.Pixel(20, 35), clYellow);
    EXPECT_EQ(c.Pixel(20 + w - 1, 35 + h - 1), clYellow);
    EXPECT_EQ(c.Pixel(20 + w, 35), clWhite);
    int covered = 0;
    for (int y = 35; y < 35 + h; ++y)
        for (int x = 20; x < 20 + w; ++x)
            covered += c.Pixel(x, y) == clYellow || c.Pixel(x, y) == clBlack;
    EXPECT_EQ(covered, w * h);
}

TEST(CanvasText, DrawTextPlacement)
{
    const QString s = QStringLiteral("Mid");
    const TRect r(10, 10, 190, 70);
    struct Case
    {
        unsigned flags;
        int expectLeft; // -1: centred
        int expectTop;  // -1: centred
    };
    TextCanvas probe(10, 10);
    const int w = probe.c.TextWidth(s), h = probe.c.TextHeight(s);
    const Case cases[] = {
        {DT_LEFT | DT_TOP, 10, 10},
        {DT_CENTER, (10 + 190 - w) / 2, 10},
        {DT_RIGHT, 190 - w, 10},
        {DT_SINGLELINE | DT_VCENTER, 10, (10 + 70 - h) / 2},
        {DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, 190 - w, 70 - h},
        {DT_VCENTER, 10, 10}, // vertical centring needs a single line
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << k.flags);
        TextCanvas t(200, 80);
        t.c.DrawText(s, r, k.flags);
        const TRect ink = inkBounds(t.c, clWhite);
        // The ink lies inside the expected text cell, and fills most of its width.
        EXPECT_GE(ink.Left, k.expectLeft);
        EXPECT_LE(ink.Right, k.expectLeft + w);
        EXPECT_GE(ink.Right - ink.Left, w - 4);
        EXPECT_GE(ink.Top, k.expectTop);
        EXPECT_LE(ink.Bottom, k.expectTop + h);
    }
    TextCanvas t(200, 80);
    EXPECT_EQ(t.c.DrawText(s, r, DT_SINGLELINE | DT_BOTTOM), 60);
    EXPECT_EQ(t.c.DrawText(s, r, 0), h);
}

TEST(CanvasText, WordBreakAndCalcRect)
{
    TextCanvas t(300, 200);
    Canvas &c = t.c;
    const int h = c.TextHeight(QStringLiteral("x"));
    const QString s = QStringLiteral("alpha beta gamma");
    TRect r(0, 0, c.TextWidth(QStringLiteral("alpha beta")) + 2, 0);
    EXPECT_EQ(c.DrawText(s, r, DT_WORDBREAK | DT_CALCRECT), 2 * h);
    EXPECT_EQ(r.Bottom, 2 * h);
    EXPECT_EQ(r.Right, c.TextWidth(QStringLiteral("alpha beta")));
    EXPECT_EQ(countColor(c, clWhite), 300 * 200); // CALCRECT draws nothing

    r = TRect(5, 5, 10, 0); // narrower than any word: one word a line, kept whole
    EXPECT_EQ(c.DrawText(s, r, DT_WORDBREAK | DT_CALCRECT), 3 * h);
    EXPECT_EQ(r.Right, 5 + c.TextWidth(QStringLiteral("gamma")));

    r = TRect(0, 0, 10, 0);
    EXPECT_EQ(c.DrawText(s, r, DT_CALCRECT), h); // no word break: one line
    EXPECT_EQ(r.Right, c.TextWidth(s));
    r = TRect(0, 0, 100, 0);
    EXPECT_EQ(c.DrawText(QStringLiteral("one\ntwo"), r, DT_CALCRECT), 2 * h);
    r = TRect(0, 0, 100, 0);
    EXPECT_EQ(c.DrawText(QStringLiteral("one\r\ntwo"), r, DT_CALCRECT | DT_SINGLELINE), h);

    // Drawn wrapped text spans the two lines and stays in the rectangle's width.
    const TRect box(10, 10, 10 + c.TextWidth(QStringLiteral("alpha beta")) + 2, 190);
    c.DrawText(s, box, DT_WORDBREAK);
    const TRect ink = inkBounds(c, clWhite);
    EXPECT_GT(ink.Bottom, 10 + h);
    EXPECT_LE(ink.Bottom, 10 + 2 * h);
    EXPECT_LE(ink.Right, box.Right);

    // End ellipsis keeps a long line inside the rectangle; without it the text is clipped.
    TextCanvas e(300, 40);
    TRect narrow(0, 0, 60, 20);
    e.c.DrawText(QStringLiteral("a very long caption indeed"), narrow, DT_END_ELLIPSIS | DT_CALCRECT);
    EXPECT_LE(narrow.Right, 60);
    e.c.DrawText(QStringLiteral("a very long caption indeed"), TRect(0, 0, 60, 20), DT_SINGLELINE);
    EXPECT_LE(inkBounds(e.c, clWhite).Right, 60);
    e.c.DrawText(QStringLiteral("a very long caption indeed"), TRect(0, 20, 60, 40),
                 DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(inkBounds(e.c, clWhite).Right, 60);
}

TEST(CanvasText, AmpersandPrefix)
{
    TextCanvas t(200, 40);
    Canvas &c = t.c;
    TRect r(0, 0, 200, 0);
    c.DrawText(QStringLiteral("&File"), r, DT_CALCRECT);
    EXPECT_EQ(r.Right, c.TextWidth(QStringLiteral("File")));
    r = TRect(0, 0, 200, 0);
    c.DrawText(QStringLiteral("&File"), r, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(r.Right, c.TextWidth(QStringLiteral("&File")));
    r = TRect(0, 0, 200, 0);
    c.DrawText(QStringLiteral("A&&B"), r, DT_CALCRECT);
    EXPECT_EQ(r.Right, c.TextWidth(QStringLiteral("A&B")));

    // The accelerator's underline: ink below the baseline under the first letter only.
    const QFontMetrics fm(c.Font.toQFont());
    TextCanvas u(200, 40), plain(200, 40);
    u.c.DrawText(QStringLiteral("&HH"), TRect(0, 0, 200, 40), 0);
    plain.c.DrawText(QStringLiteral("HH"), TRect(0, 0, 200, 40), 0);
    const int hw = fm.horizontalAdvance(QStringLiteral("H"));
    int extraUnderFirst = 0, extraUnderSecond = 0;
    for (int y = fm.ascent(); y < 40; ++y)
        for (int x = 0; x < 2 * hw; ++x)
            if (u.c.Pixel(x, y) == clBlack && plain.c.Pixel(x, y) != clBlack)
                (x < hw ? extraUnderFirst : extraUnderSecond)++;
    EXPECT_GE(extraUnderFirst, hw / 2);
    EXPECT_EQ(extraUnderSecond, 0);
}
