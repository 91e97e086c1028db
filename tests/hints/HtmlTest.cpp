// The hint mark-up: tags read in any case, text drawn as passed in, lines only at BR and P,
// fonts saved and restored by FONT tags, and the measured rectangle.
#include "hints/sHtmlParse.h"

#include <gtest/gtest.h>

#include <functional>

using canvas::Canvas;
using canvas::TColor;
using canvas::TFont;
using canvas::TRect;
using hints::TsHtml;

namespace {

constexpr int W = 400;
constexpr int H = 120;

void prepare(Canvas &c)
{
    c.Brush = canvas::TBrush{canvas::clWhite, canvas::bsSolid};
    c.FillRect(TRect(0, 0, W, H));
    c.Brush.Style = canvas::bsClear;
    c.Font.setName(QStringLiteral("MS Sans Serif"));
    c.Font.setHeight(13);
    c.Font.setColor(canvas::clBlack);
    c.Font.setStyle({});
}

struct Laid
{
    QImage image;
    TRect rect;
};

Laid layout(const QString &text, const TRect &area = TRect(0, 0, W, 0))
{
    Canvas c(W, H);
    prepare(c);
    TsHtml html;
    html.BeginLayout(&c, text, area);
    TRect r = area;
    html.LayoutText(r);
    return {c.Image().copy(), r};
}

// The same picture drawn by hand.
QImage reference(const std::function<void(Canvas &)> &draw)
{
    Canvas c(W, H);
    prepare(c);
    draw(c);
    return c.Image().copy();
}

int lineHeight(Canvas &c)
{
    return c.TextHeight(QStringLiteral("X"));
}

TEST(HtmlTest, DoubledOpeningBracketIsALiteral)
{
    const Laid laid = layout(QStringLiteral("a<<b"));
    int width = 0;
    const QImage expected = reference([&](Canvas &c) {
        c.TextOut(0, 0, QStringLiteral("a"));
        c.TextOut(c.TextWidth(QStringLiteral("a")), 0, QStringLiteral("<b"));
        width = c.TextWidth(QStringLiteral("a")) + c.TextWidth(QStringLiteral("<b"));
    });
    EXPECT_EQ(laid.image, expected);
    Canvas probe(1, 1);
    prepare(probe);
    EXPECT_EQ(laid.rect, TRect(0, 0, width, lineHeight(probe)));
}

// Bold between B tags in any letter case; the drawn text keeps its case.
TEST(HtmlTest, BoldSpanInAnyCase)
{
    int width = 0;
    const QImage expected = reference([&](Canvas &c) {
        c.TextOut(0, 0, QStringLiteral("x "));
        int x = c.TextWidth(QStringLiteral("x "));
        c.Font.setStyle(TFont::fsBold);
        c.TextOut(x, 0, QStringLiteral("Word"));
        x += c.TextWidth(QStringLiteral("Word"));
        c.Font.setStyle({});
        c.TextOut(x, 0, QStringLiteral(" y"));
        width = x + c.TextWidth(QStringLiteral(" y"));
    });
    for (const char *text : {"x <b>Word</b> y", "x <B>Word</B> y", "x <b>Word</B> y"}) {
        SCOPED_TRACE(text);
        const Laid laid = layout(QString::fromLatin1(text));
        EXPECT_EQ(laid.image, expected);
        EXPECT_EQ(laid.rect.Right, width);
    }
    // Only first letters count: BIG is bold, IMG italic.
    const QImage italic = reference([](Canvas &c) {
        c.Font.setStyle(TFont::fsItalic);
        c.TextOut(0, 0, QStringLiteral("Word"));
    });
    EXPECT_EQ(layout(QStringLiteral("<big>Word")).image, layout(QStringLiteral("<b>Word")).image);
    EXPECT_EQ(layout(QStringLiteral("<IMG src=x>Word")).image, italic);
    EXPECT_EQ(layout(QStringLiteral("<i>Wo</I>rd")).image, reference([](Canvas &c) {
                  c.Font.setStyle(TFont::fsItalic);
                  c.TextOut(0, 0, QStringLiteral("Wo"));
                  const int x = c.TextWidth(QStringLiteral("Wo"));
                  c.Font.setStyle({});
                  c.TextOut(x, 0, QStringLiteral("rd"));
              }));
    // Unknown tags are dropped without effect.
    EXPECT_EQ(layout(QStringLiteral("<u>Word")).image,
              reference([](Canvas &c) { c.TextOut(0, 0, QStringLiteral("Word")); }));
}

TEST(HtmlTest, FontTagColourSizeAndRestore)
{
    Canvas c(W, H);
    prepare(c);
    TsHtml html;
    html.BeginLayout(&c, QStringLiteral("<font color=\"red\" size=\"+2\">Big</font>Small"),
                     TRect(0, 0, W, 0));
    TRect r;
    html.LayoutText(r);
    EXPECT_EQ(c.Font.color(), canvas::clBlack) << "the font before the tag returns";
    EXPECT_EQ(c.Font.height(), 13);
    EXPECT_EQ(html.SavedFonts(), 0);

    const QImage expected = reference([&](Canvas &ref) {
        ref.Font.setColor(canvas::clRed);
        ref.Font.setHeight(16); // 13 px is 10 pt at 96 dpi; 12 pt is 16 px
        ref.TextOut(0, 0, QStringLiteral("Big"));
        const int x = ref.TextWidth(QStringLiteral("Big"));
        const int bigHeight = ref.TextHeight(QStringLiteral("X"));
        ref.Font.setColor(canvas::clBlack);
        ref.Font.setHeight(13);
        ref.TextOut(x, 0, QStringLiteral("Small"));
        EXPECT_EQ(r, TRect(0, 0, x + ref.TextWidth(QStringLiteral("Small")), bigHeight));
    });
    EXPECT_EQ(c.Image(), expected);

    // SIZE: -n lowers, n sets; FACE names the font; COLOR as "#" hex is the colour integer.
    struct Case
    {
        const char *tag;
        int height;
        TColor color;
        const char *face;
    } cases[] = {
        {"<FONT SIZE=-2>", 11, canvas::clBlack, "MS Sans Serif"},
        {"<font size=15>", 20, canvas::clBlack, "MS Sans Serif"},
        {"<font color=#FF0000>", 13, 0xFF0000, "MS Sans Serif"},
        {"<font face=\"Liberation Serif\" color=lime>", 13, 0x00FF00, "Liberation Serif"},
        {"<font color=nothex>", 13, TColor(-1), "MS Sans Serif"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.tag);
        Canvas t(10, 10);
        prepare(t);
        TsHtml h;
        h.BeginLayout(&t, QString::fromLatin1(k.tag) + QStringLiteral("x<"), TRect(0, 0, 10, 0));
        TRect m;
        h.LayoutText(m); // stops at the unclosed "<", keeping the tag's font
        EXPECT_EQ(t.Font.height(), k.height);
        EXPECT_EQ(t.Font.color(), k.color);
        EXPECT_EQ(t.Font.name(), QString::fromLatin1(k.face));
    }
}

TEST(HtmlTest, ColourWords)
{
    struct Case
    {
        const char *word;
        TColor color;
    } cases[] = {
        {"#FF0000", 0xFF0000}, {"#0000FF", 0x0000FF}, {"FF00", 0xFF00},      {"RED", 255},
        {"AQUA", 16776960},    {"BLACK", 0},          {"BLUE", 16711680},    {"FUCHSIA", 16711935},
        {"GRAY", 8421504},     {"GREEN", 32768},      {"LIME", 65280},       {"MAROON", 128},
        {"NAVY", 8388608},     {"OLIVE", 32896},      {"PURPLE", 8388736},   {"SILVER", 12632256},
        {"TEAL", 8421376},     {"WHITE", 16777215},   {"YELLOW", 65535},     {"ORANGE", TColor(-1)},
        {"#12G4", TColor(-1)}, {"C0C0C0", 0xC0C0C0},  {"#ABCDEF", 0xABCDEF},
    };
    for (const Case &k : cases)
        EXPECT_EQ(TsHtml::ColorFromWord(QString::fromLatin1(k.word)), k.color) << k.word;
}

TEST(HtmlTest, LineBreaksAndParagraphs)
{
    Canvas probe(1, 1);
    prepare(probe);
    const int h = lineHeight(probe);
    const int wOne = probe.TextWidth(QStringLiteral("first line")),
              wTwo = probe.TextWidth(QStringLiteral("two"));

    const Laid laid = layout(QStringLiteral("first line<BR>two"), TRect(5, 3, W, 0));
    EXPECT_EQ(laid.image, reference([&](Canvas &c) {
                  c.TextOut(5, 3, QStringLiteral("first line"));
                  c.TextOut(5, 3 + h + 2, QStringLiteral("two"));
              }));
    // Widest and total height are pen positions: they include the area's left and top.
    EXPECT_EQ(laid.rect, TRect(0, 0, 5 + wOne, 3 + 2 * h + 2));
    EXPECT_EQ(layout(QStringLiteral("two<br>first line")).rect, TRect(0, 0, wOne, 2 * h + 2));
    EXPECT_EQ(layout(QStringLiteral("a<p>b")).rect.Bottom, 2 * h + 2);
    EXPECT_EQ(layout(QStringLiteral("<br><br>two")).rect, TRect(0, 0, wTwo, 4 + h));

    // No wrapping, and line feeds in the text do not break lines.
    const QString longText = QStringLiteral("a rather long hint text that is wider than its area by far");
    const Laid wide = layout(longText + QStringLiteral("\r\nmore"), TRect(0, 0, 50, 0));
    EXPECT_EQ(wide.rect, TRect(0, 0, probe.TextWidth(longText + QStringLiteral("more")), h));

    // An unclosed tag ends the run; the lines drawn so far are still measured.
    EXPECT_EQ(layout(QStringLiteral("first line<br>two<b")).rect, TRect(0, 0, wOne, 2 * h + 2));
    EXPECT_EQ(layout(QStringLiteral("<")).rect, TRect(0, 0, 0, 0));
}

TEST(HtmlTest, ParagraphAlignmentIsReadNotDrawn)
{
    struct Case
    {
        const char *text;
        TsHtml::TAlignment alignment;
    } cases[] = {
        {"<p align=center>x", TsHtml::taCenter},
        {"<P ALIGN=\"RIGHT\">x", TsHtml::taRightJustify},
        {"<p align=right>x<p align=left>y", TsHtml::taLeftJustify},
        {"<p>x", TsHtml::taLeftJustify},
    };
    for (const Case &k : cases) {
        Canvas c(W, H);
        prepare(c);
        TsHtml html;
        html.BeginLayout(&c, QString::fromLatin1(k.text), TRect(0, 0, W, 0));
        TRect r;
        html.LayoutText(r);
        EXPECT_EQ(html.Alignment(), k.alignment) << k.text;
    }
    // A paragraph starts a new line even at the top: the empty first line is 0 high, plus 2.
    EXPECT_EQ(layout(QStringLiteral("<p align=center>x")).image,
              reference([](Canvas &c) { c.TextOut(0, 2, QStringLiteral("x")); }));
}

TEST(HtmlTest, UnbalancedFontTags)
{
    Canvas c(W, H);
    prepare(c);
    TsHtml html;
    html.BeginLayout(&c, QStringLiteral("</font><font color=red><font size=20>a</font>b"), TRect(0, 0, W, 0));
    TRect r;
    html.LayoutText(r);
    // The extra closing tag did nothing; the open one keeps its colour; the stack is freed.
    EXPECT_EQ(c.Font.color(), canvas::clRed);
    EXPECT_EQ(c.Font.height(), 13);
    EXPECT_EQ(html.SavedFonts(), 0);
}

// Sizes beyond any screen are held at 1000 points, sums never overflow, and sizes that come out
// at zero or below leave the font alone.
TEST(HtmlTest, FontSizesAreHeldToWhatAHintCanShow)
{
    const TRect largest = layout(QStringLiteral("<FONT SIZE=1000>X")).rect;
    const TRect plain = layout(QStringLiteral("X")).rect;
    ASSERT_GT(largest.Bottom, 10 * plain.Bottom);
    struct Case
    {
        const char *text;
        bool heldAtLargest; // otherwise: as plain text
    };
    const Case cases[] = {
        {"<FONT SIZE=1001>X", true},
        {"<FONT SIZE=2147483647>X", true},
        {"<FONT SIZE=+2147483647>X", true},
        {"<FONT SIZE=+99999999999>X", false}, // not a number in 32 bits: ignored
        {"<FONT SIZE=-2147483647>X", false},
        {"<FONT SIZE=0>X", false},
    };
    for (const Case &c : cases) {
        const TRect r = layout(QString::fromLatin1(c.text)).rect;
        const TRect &expected = c.heldAtLargest ? largest : plain;
        EXPECT_EQ(r.Right, expected.Right) << c.text;
        EXPECT_EQ(r.Bottom, expected.Bottom) << c.text;
    }
}

} // namespace
