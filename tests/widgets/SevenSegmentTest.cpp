#include "widgets/iMath.h"
#include "widgets/iSevenSegmentAnalog.h"
#include "widgets/iSevenSegmentCharacter.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace widgets;
using canvas::TColor;
using SSC = TiSevenSegmentCharacter;

namespace {

TColor At(const QImage &image, int x, int y)
{
    return canvas::FromQRgb(image.pixel(x, y));
}

// Probe points of segments A..G inside a cell drawn with margin 0, separation 1, size 1.
QPoint SegmentProbe(int segment, int X, int Y, int W, int H)
{
    const int h = (H - 1) / 2;
    const int upper = Y + h / 2, lower = Y + h + (H - 1 - h) / 2;
    switch (segment) {
    case 0:
        return {X + W / 2, Y + 1};
    case 1:
        return {X + W - 2, upper};
    case 2:
        return {X + W - 2, lower};
    case 3:
        return {X + W / 2, Y + H - 2};
    case 4:
        return {X + 1, lower};
    case 5:
        return {X + 1, upper};
    default:
        return {X + W / 2, Y + h};
    }
}

// Which of A..G (bits 0..6) show the on colour in a cell; every segment must be on or off.
int LitSegments(const QImage &image, int X, int Y, int W, int H, TColor on, TColor off)
{
    int bits = 0;
    for (int s = 0; s < 7; ++s) {
        const QPoint p = SegmentProbe(s, X, Y, W, H);
        const TColor c = At(image, p.x(), p.y());
        EXPECT_TRUE(c == on || c == off)
            << "segment " << s << " at " << p.x() << "," << p.y() << " is " << std::hex << c;
        if (c == on)
            bits |= 1 << s;
    }
    return bits;
}

void MainFrequencyReadout(TiSevenSegmentAnalog &d)
{
    d.SetAutoSize(false);
    d.resize(127, 40);
    d.SetDigitCount(5);
    d.SetPrecision(0);
    d.SetShowSign(false);
    d.SetSegmentColor(4651058);
    d.SetBorderStyle(ibsLowered);
}

constexpr TColor kFreqOn = canvas::RGB(50, 248, 70);
constexpr TColor kFreqOff = canvas::RGB(50 / 3, 248 / 3, 70 / 3);

} // namespace

TEST(SevenSegmentCharacterTable, CharacterWritesAndReadsThroughTheTable)
{
    TiSevenSegmentCharacter c;
    const QString chars = QStringLiteral("0123456789abcdef.:+- _<>;,");
    for (int i = 0; i < chars.size(); ++i) {
        c.SetCharacter(chars.mid(i, 1));
        EXPECT_EQ(int(c.GetValue()), i) << chars.mid(i, 1).toStdString();
        EXPECT_EQ(c.GetCharacter(), chars.mid(i, 1));
    }
    c.SetCharacter(QStringLiteral("B"));
    EXPECT_EQ(c.GetValue(), SSC::sscB);
    EXPECT_EQ(c.GetCharacter(), QStringLiteral("b"));
    c.SetCharacter(QStringLiteral("x"));
    EXPECT_EQ(c.GetValue(), SSC::sscBlank);
    c.SetCharacter(QStringLiteral("Q")); // only hex letters read upper case
    EXPECT_EQ(c.GetValue(), SSC::sscBlank);
}

TEST(SevenSegmentCharacterTable, SegmentBitsOfTheDigitsAndLetters)
{
    const int expected[] = {63, 6, 91, 79, 102, 109, 125, 7, 127, 103, 119, 124, 57, 94, 121, 113};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(SevenSegmentBitsOf(SSC::TSevenSegmentCharacter(i)), expected[i]) << i;
    EXPECT_EQ(SevenSegmentBitsOf(SSC::sscBlank), 0);
}

TEST(SevenSegmentCharacterWidget, AutoSizesToItsCharacter)
{
    TiSevenSegmentCharacter c;
    EXPECT_EQ(c.size(), QSize(15, 23));
    c.SetCharacter(QStringLiteral(":"));
    EXPECT_EQ(c.size(), QSize(7, 23));
    c.SetCharacter(QStringLiteral("8"));
    EXPECT_EQ(c.size(), QSize(15, 23));
    c.SetSegmentSize(0); // stored as 1
    EXPECT_EQ(c.GetSegmentSize(), 1);
    c.SetSegmentSize(2);
    EXPECT_EQ(c.size(), QSize(2 * 2 + 20 + 1, 2 * 2 + 36 + 1));
    c.SetSegmentMargin(-3);
    EXPECT_EQ(c.GetSegmentMargin(), 0);
    c.SetAutoSize(false);
    c.SetSegmentSize(1);
    EXPECT_EQ(c.size(), QSize(21, 37)); // kept
}

TEST(SevenSegmentCharacterWidget, SegmentPolygonsHaveTheirVertices)
{
    // Cell 18 x 30 at (6, 5), margin 0, separation 1, size 1: h = 14.
    const SevenSegmentCell cell{6, 5, 18, 30};
    const SevenSegmentMetrics m{0, 1, 1};
    EXPECT_EQ(SevenSegmentSegmentPolygon(0, cell, m), QPolygon({{7, 5}, {22, 5}, {20, 7}, {9, 7}}));
    EXPECT_EQ(SevenSegmentSegmentPolygon(1, cell, m), QPolygon({{23, 6}, {23, 18}, {21, 16}, {21, 8}}));
    EXPECT_EQ(SevenSegmentSegmentPolygon(3, cell, m), QPolygon({{7, 34}, {22, 34}, {20, 32}, {9, 32}}));
    EXPECT_EQ(SevenSegmentSegmentPolygon(4, cell, m), QPolygon({{6, 20}, {6, 33}, {8, 31}, {8, 22}}));
    EXPECT_EQ(SevenSegmentSegmentPolygon(6, cell, m),
              QPolygon({{7, 19}, {8, 18}, {21, 18}, {22, 19}, {21, 20}, {8, 20}}));
    // Glyphs: H = 30 gives r5 = 8, r7 = 12, r11 = 18, r13 = 22, r16 = 27, r2 = 3.
    const auto colon = SevenSegmentGlyphPolygons(SevenSegmentGlyph::Colon, cell, m);
    ASSERT_EQ(colon.size(), 2);
    EXPECT_EQ(colon[0], QPolygon({{14, 13}, {16, 13}, {16, 17}, {14, 17}}));
    EXPECT_EQ(colon[1], QPolygon({{14, 23}, {16, 23}, {16, 27}, {14, 27}}));
    const auto comma = SevenSegmentGlyphPolygons(SevenSegmentGlyph::Comma, cell, m);
    ASSERT_EQ(comma.size(), 2);
    EXPECT_EQ(comma[1], QPolygon({{15, 27}, {16, 27}, {16, 32}, {15, 32}}));
    // Plus: bar x 6+4..6+14 (4.5 and 13.5 go to even), y 5+[7.5-0.5]..5+[7.5+0.5]; stem x 6+[8.5]..6+[9.5].
    const auto plus = SevenSegmentGlyphPolygons(SevenSegmentGlyph::Plus, cell, m);
    ASSERT_EQ(plus.size(), 2);
    EXPECT_EQ(plus[0], QPolygon({{10, 12}, {20, 12}, {20, 13}, {10, 13}}));
    EXPECT_EQ(plus[1], QPolygon({{14, 8}, {16, 8}, {16, 17}, {14, 17}}));
    const auto minus = SevenSegmentGlyphPolygons(SevenSegmentGlyph::Minus, cell, m);
    EXPECT_EQ(minus.value(0), QPolygon({{10, 27}, {20, 27}, {20, 28}, {10, 28}}));
    // Arrows: k = 8, cx = 8, hm = 15; the apex of the up arrow sits at hm - k = 7 above the base.
    EXPECT_EQ(SevenSegmentGlyphPolygons(SevenSegmentGlyph::UpArrow, cell, m).value(0),
              QPolygon({{22, 20}, {6, 20}, {14, 12}}));
    EXPECT_EQ(SevenSegmentGlyphPolygons(SevenSegmentGlyph::DownArrow, cell, m).value(0),
              QPolygon({{22, 20}, {6, 20}, {14, 28}}));
}

TEST(SevenSegmentCharacterWidget, OffColourAndPowerOff)
{
    TiSevenSegmentCharacter c;
    c.SetCharacter(QStringLiteral("1"));
    QImage img = c.PaintToImage();
    // Segment B lit in lime, A off in lime / 3; margin 2 shifts every probe by 2.
    EXPECT_EQ(At(img, 15 - 2 - 2, 5), canvas::clLime);
    EXPECT_EQ(At(img, 7, 3), canvas::RGB(0, 85, 0));
    c.SetAutoSegmentOffColor(false);
    img = c.PaintToImage();
    EXPECT_EQ(At(img, 7, 3), canvas::clGreen);
    c.SetPowerOff(true);
    img = c.PaintToImage();
    EXPECT_EQ(At(img, 15 - 2 - 2, 5), canvas::clGreen);
    c.SetShowOffSegments(false);
    img = c.PaintToImage();
    EXPECT_EQ(At(img, 7, 3), canvas::clBlack);
    EXPECT_EQ(At(img, 15 - 2 - 2, 5), canvas::clGreen);
}

TEST(SevenSegmentCharacterWidget, SegmentFlagsReplaceTheCode)
{
    TiSevenSegmentCharacter c;
    c.SetSegmentBits(0x41 | 0x80); // A and G; bit 7 belongs to no segment
    EXPECT_TRUE(c.GetSegAOn());
    EXPECT_TRUE(c.GetSegGOn());
    EXPECT_FALSE(c.GetSegBOn());
    EXPECT_EQ(c.GetSegmentBits(), 0x41);
    c.SetUseSegmentBits(true);
    const QImage img = c.PaintToImage();
    EXPECT_EQ(LitSegments(img, 2, 2, 11, 19, canvas::clLime, canvas::RGB(0, 85, 0)), 0x41);
}

TEST(SevenSegmentCharacterWidget, VetoedValueStaysAndRepaintsOnlyOnChange)
{
    TiSevenSegmentCharacter c;
    QObject::connect(
        &c, &TiComponent::OnPropertyChangeRequest,
        [](QObject *, const QString &name, bool &allow) { allow = name != QLatin1String("Value"); });
    c.SetValue(SSC::ssc7);
    EXPECT_EQ(c.GetValue(), SSC::ssc0);
    TiSevenSegmentCharacter d;
    d.ResetCounters();
    d.SetValue(SSC::ssc0);
    d.SetSegmentColor(canvas::clLime);
    EXPECT_EQ(d.Counters().InvalidateForeGround, 0);
    d.SetValue(SSC::ssc3);
    EXPECT_EQ(d.Counters().InvalidateForeGround, 1);
}

TEST(SevenSegmentAnalog, FrequencyReadoutCells)
{
    TiSevenSegmentAnalog d;
    MainFrequencyReadout(d);
    d.SetValue(440);
    const auto cells = d.Layout();
    ASSERT_EQ(cells.size(), 5);
    const int xs[] = {6, 30, 54, 78, 102};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(cells[i].X, xs[i]);
        EXPECT_EQ(cells[i].Y, 5);
        EXPECT_EQ(cells[i].W, 18);
        EXPECT_EQ(cells[i].H, 30);
    }
    const QImage img = d.PaintToImage();
    const int expected[] = {0, 0, 102, 102, 63}; // blank, blank, 4, 4, 0
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(LitSegments(img, xs[i], 5, 18, 30, kFreqOn, kFreqOff), expected[i]) << "cell " << i;
    // Gaps between cells stay background.
    EXPECT_EQ(At(img, 27, 20), canvas::clBlack);
}

TEST(SevenSegmentAnalog, FrequencyReadoutFullAndOverflowing)
{
    TiSevenSegmentAnalog d;
    MainFrequencyReadout(d);
    d.SetValue(20000);
    QImage img = d.PaintToImage();
    const int xs[] = {6, 30, 54, 78, 102};
    const int expected[] = {91, 63, 63, 63, 63};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(LitSegments(img, xs[i], 5, 18, 30, kFreqOn, kFreqOff), expected[i]) << "cell " << i;

    d.SetValue(100000);
    const auto cells = d.Layout();
    ASSERT_EQ(cells.size(), 5);
    for (const auto &cell : cells)
        EXPECT_EQ(cell.Code, SSC::sscUpArrow);
    img = d.PaintToImage();
    // Inside each arrow (apex row 7 .. base row 15 of the cell) it is lit; no off segments show.
    for (int x : xs) {
        EXPECT_EQ(At(img, x + 8, 5 + 12), kFreqOn);
        EXPECT_EQ(At(img, x + 1, 5 + 26), canvas::clBlack);
    }
    d.SetValue(-100000);
    for (const auto &cell : d.Layout())
        EXPECT_EQ(cell.Code, SSC::sscDownArrow);
}

TEST(SevenSegmentAnalog, LevelReadoutCells)
{
    TiSevenSegmentAnalog d;
    d.SetAutoSize(false);
    d.resize(91, 38);
    d.SetDigitCount(3);
    d.SetDigitSpacing(9);
    d.SetPrecision(0);
    d.SetShowSign(false);
    d.SetValue(100);
    const auto cells = d.Layout();
    ASSERT_EQ(cells.size(), 3);
    const int xs[] = {5, 35, 65};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cells[i].X, xs[i]);
        EXPECT_EQ(cells[i].W, 21);
        EXPECT_EQ(cells[i].H, 28);
    }
    EXPECT_EQ(cells[0].Code, SSC::ssc1);
}

TEST(SevenSegmentAnalog, DefaultDisplayShowsSignBlankZeroPointZeroZero)
{
    TiSevenSegmentAnalog d;
    EXPECT_EQ(d.size(), QSize(84, 28));
    const auto cells = d.Layout();
    ASSERT_EQ(cells.size(), 6);
    EXPECT_EQ(cells[0].Code, SSC::sscPlus);
    EXPECT_EQ(cells[1].Code, SSC::sscBlank);
    EXPECT_EQ(cells[2].Code, SSC::ssc0);
    EXPECT_EQ(cells[3].Code, SSC::sscPeriod);
    EXPECT_EQ(cells[4].Code, SSC::ssc0);
    EXPECT_EQ(cells[5].Code, SSC::ssc0);
    // Separator: 4 pixels before the next cell, 2 wide.
    EXPECT_EQ(cells[3].X, cells[4].X - 4);
    EXPECT_EQ(cells[3].W, 2);
    EXPECT_EQ(cells[4].X, 53);
    const QImage img = d.PaintToImage();
    const TColor on = canvas::clWhite, off = canvas::RGB(85, 85, 85);
    // Point glyph of the 2-wide cell at x 49: rows 21..23.
    EXPECT_EQ(At(img, 50, 22), on);
    // Sign cell (5, 5, 10, 18): plus bar at rows 9..10 lit, minus bar at rows 18..19 off.
    EXPECT_EQ(At(img, 9, 9), on);
    EXPECT_EQ(At(img, 9, 18), off);
    // The leading blank shows all segments off.
    EXPECT_EQ(LitSegments(img, 21, 5, 10, 18, on, off), 0);

    // Without off segments the plus stands alone.
    d.SetShowOffSegments(false);
    const QImage bare = d.PaintToImage();
    EXPECT_EQ(At(bare, 9, 9), on);
    EXPECT_EQ(At(bare, 9, 18), canvas::clBlack);
}

TEST(SevenSegmentAnalog, SeparatorSitsATenthOfACellAndHalfASpacingBeforeTheFraction)
{
    // Offset = nearest integer of c / 10 + spacing / 2, ties to even.
    const struct
    {
        int width; // of the default display, five cells of c with spacing 6 and margin 5
        int cell;
        int offset;
    } cases[] = {{159, 25, 6}, {209, 35, 6}, {84, 10, 4}};
    for (const auto &c : cases) {
        TiSevenSegmentAnalog d;
        d.SetAutoSize(false);
        d.resize(c.width, 28);
        const auto cells = d.Layout();
        ASSERT_EQ(cells.size(), 6) << c.width;
        EXPECT_EQ(cells[2].W, c.cell);
        EXPECT_EQ(cells[3].Code, SSC::sscPeriod);
        EXPECT_EQ(cells[4].X - cells[3].X, c.offset) << c.width;
        EXPECT_EQ(cells[3].W, c.cell / 5);
    }
}

TEST(SevenSegmentAnalog, NegativeValuesAndSign)
{
    TiSevenSegmentAnalog d;
    d.SetPrecision(1);
    d.SetShowSign(false);
    d.SetValue(-3.5);
    auto cells = d.Layout();
    ASSERT_EQ(cells.size(), 5);
    EXPECT_EQ(cells[2].Code, SSC::ssc3);
    EXPECT_EQ(cells[3].Code, SSC::sscPeriod);
    EXPECT_EQ(cells[4].Code, SSC::ssc5);
    d.SetShowSign(true);
    cells = d.Layout();
    EXPECT_EQ(cells[0].Code, SSC::sscMinus);
    const QImage img = d.PaintToImage();
    const auto &sign = cells[0];
    const int cx = sign.X + sign.W / 2;
    EXPECT_EQ(At(img, cx, sign.Y + RoundHalfEven(13.5 * sign.H / 18.0)), canvas::clWhite);
    EXPECT_EQ(At(img, cx, sign.Y + RoundHalfEven(4.5 * sign.H / 18.0)), canvas::RGB(85, 85, 85));
}

TEST(SevenSegmentAnalog, LeadingStylesAndOverflowRules)
{
    TiSevenSegmentAnalog d;
    d.SetShowSign(false);
    d.SetPrecision(0);
    d.SetValue(42);
    d.SetLeadingStyle(TiSevenSegmentDisplay::ilsZeros);
    auto cells = d.Layout();
    ASSERT_EQ(cells.size(), 4);
    EXPECT_EQ(cells[0].Code, SSC::ssc0);
    EXPECT_EQ(cells[2].Code, SSC::ssc4);
    d.SetLeadingStyle(TiSevenSegmentDisplay::ilsNone);
    cells = d.Layout();
    ASSERT_EQ(cells.size(), 2);
    EXPECT_EQ(cells[0].Code, SSC::ssc4);
    // Precision 0 never draws the separator; 1 digit with decimals always overflows.
    for (const auto &cell : cells)
        EXPECT_NE(cell.Code, SSC::sscPeriod);
    d.SetDigitCount(1);
    d.SetPrecision(1);
    d.SetValue(0);
    cells = d.Layout();
    ASSERT_EQ(cells.size(), 1);
    EXPECT_EQ(cells[0].Code, SSC::sscUpArrow);

    // With decimals the separator needs no cell: "12.50" fits four digits, "123.45" does not.
    TiSevenSegmentAnalog fits;
    fits.SetValue(12.5);
    cells = fits.Layout();
    QList<TSevenSegmentCharacter> codes;
    for (const auto &cell : cells)
        codes << cell.Code;
    EXPECT_EQ(codes, (QList<TSevenSegmentCharacter>{SSC::sscPlus, SSC::ssc1, SSC::ssc2, SSC::sscPeriod,
                                                    SSC::ssc5, SSC::ssc0}));
    fits.SetValue(123.45);
    cells = fits.Layout();
    ASSERT_EQ(cells.size(), 5);
    EXPECT_EQ(cells[4].Code, SSC::sscUpArrow);
}

TEST(SevenSegmentAnalog, SettersClampAndStore)
{
    TiSevenSegmentAnalog d;
    d.SetPrecision(20);
    EXPECT_EQ(d.GetPrecision(), 13);
    d.SetPrecision(-4);
    EXPECT_EQ(d.GetPrecision(), 0);
    d.SetDigitCount(0);
    EXPECT_EQ(d.GetDigitCount(), 1);
    d.SetDigitCount(40);
    EXPECT_EQ(d.GetDigitCount(), 32);
    d.SetSegmentSize(0);
    EXPECT_EQ(d.GetSegmentSize(), 1);
    d.SetSegmentSize(500);
    EXPECT_EQ(d.GetSegmentSize(), 100);
    d.SetSegmentSize(1);
    d.SetSegmentMargin(-1);
    EXPECT_EQ(d.GetSegmentMargin(), 0);
    d.SetValue(5e20);
    EXPECT_EQ(d.GetValue(), 1e15);
    // Auto-size follows the digit count: (10 + 6) * 33 + 0 - 6 with the sign cell.
    EXPECT_EQ(d.width(), 16 * 33 - 6);
    int changes = 0;
    QObject::connect(&d, &TiSevenSegmentDisplay::OnValueChange, [&](QObject *s) {
        EXPECT_EQ(s, &d);
        ++changes;
    });
    d.SetValue(1);
    d.SetValue(1);
    EXPECT_EQ(changes, 1);
}

TEST(SevenSegmentAnalog, CellPainterNeverRepaintsByItself)
{
    TiSevenSegmentAnalog d;
    TiSevenSegmentCharacter *painter = d.CellPainter();
    ASSERT_NE(painter, nullptr);
    EXPECT_TRUE(painter->UpdateLocked());
    EXPECT_TRUE(painter->isHidden());
    painter->ResetCounters();
    d.SetValue(12.5);
    d.PaintToImage();
    EXPECT_EQ(painter->Counters().RepaintNow, 0);
    EXPECT_EQ(painter->GetSegmentMargin(), 0);
}

TEST(SevenSegmentAnalog, OddSizesDrawWithoutFault)
{
    TiSevenSegmentAnalog d;
    d.SetAutoSize(false);
    d.SetDigitCount(32);
    d.resize(20, 10);
    d.SetDigitSpacing(-1000000);
    d.SetValue(-123.456);
    EXPECT_FALSE(d.PaintToImage().isNull());
    d.SetDigitSpacing(2147483647);
    d.SetSegmentMargin(2147483647);
    EXPECT_FALSE(d.PaintToImage().isNull());
}
