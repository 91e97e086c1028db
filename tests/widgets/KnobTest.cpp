#include "tests/widgets/FrequencyKnob.h"
#include "widgets/iGPFunctions.h"
#include "widgets/iKnob.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace widgets;
using canvas::TColor;

namespace {

TColor At(const QImage &image, int x, int y)
{
    return canvas::FromQRgb(image.pixel(x, y));
}

void Knob2(TiKnob &k)
{
    Knob1(k);
    k.resize(187, 174);
    k.SetPositionMax(100);
    k.SetIndicatorStyle(TiKnob::ikisTriangle);
    k.SetIndicatorSize(5);
    k.SetIndicatorMargin(8);
    k.SetIndicatorInactiveColor(canvas::clNavy);
}

// Bounding box of the pixels of one colour inside a search window.
QRect InkBox(const QImage &img, const QRect &window, TColor colour)
{
    QRect box;
    for (int y = window.top(); y <= window.bottom(); ++y)
        for (int x = window.left(); x <= window.right(); ++x)
            if (At(img, x, y) == colour)
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

int Luminance(TColor c)
{
    return canvas::GetRValue(c) + canvas::GetGValue(c) + canvas::GetBValue(c);
}

} // namespace

TEST(KnobGeometry, Knob1CentreTicksAndLabels)
{
    TiKnob k;
    Knob1(k);
    const QImage img = k.PaintToImage();
    EXPECT_EQ(k.CenterPoint(), QPoint(104, 89));
    // Major tick of 0 at 225°: radius 51 (68, 125) toward radius 48 (70, 123), end pixel left out.
    EXPECT_EQ(At(img, 68, 125), canvas::clRed);
    EXPECT_EQ(At(img, 69, 124), canvas::clRed);
    EXPECT_NE(At(img, 70, 123), canvas::clRed);
    EXPECT_NE(At(img, 67, 126), canvas::clRed);
    // Tick of 20000 at -45°: (140, 125) toward (138, 123).
    EXPECT_EQ(At(img, 140, 125), canvas::clRed);
    EXPECT_EQ(At(img, 139, 124), canvas::clRed);
    EXPECT_NE(At(img, 138, 123), canvas::clRed);
    // Tick of 12000 at 63°: (104 + 23, 89 - 45) toward (104 + 22, 89 - 43).
    EXPECT_EQ(At(img, 127, 44), canvas::clRed);
    for (double v : {0.0, 4000.0, 8000.0, 12000.0, 16000.0, 20000.0}) {
        const QPoint p = PolarPoint(QPoint(104, 89), 51, k.AngleOfValue(v));
        EXPECT_EQ(At(img, p.x(), p.y()), canvas::clRed) << v;
    }
    EXPECT_DOUBLE_EQ(k.AngleOfValue(4000), 171.0);
    EXPECT_DOUBLE_EQ(k.AngleOfValue(16000), 9.0);

    // Labels centred on (55, 138) and (153, 138), radius 70.
    const QRect zero = InkBox(img, QRect(35, 120, 40, 36), canvas::clMaroon);
    ASSERT_FALSE(zero.isEmpty());
    EXPECT_NEAR(zero.center().x(), 55, 1);
    EXPECT_NEAR(zero.center().y(), 138, 3);
    const QRect top = InkBox(img, QRect(120, 120, 66, 36), canvas::clMaroon);
    ASSERT_FALSE(top.isEmpty());
    EXPECT_NEAR((top.left() + top.right()) / 2.0, 153, 1.5);
    EXPECT_NEAR(top.center().y(), 138, 3);
    EXPECT_GT(top.width(), 3 * zero.width()); // "20000" against "0"
}

TEST(KnobGeometry, Knob1MinorTicksSpanRadii48To51)
{
    TiKnob k;
    Knob1(k);
    const QImage img = k.PaintToImage();
    // Ten minor ticks between two majors: the first at 4000/11 and the last at 40000/11.
    for (int j = 1; j <= 10; ++j) {
        const double angle = k.AngleOfValue(j * 4000.0 / 11);
        const QPoint outer = PolarPoint(QPoint(104, 89), 51, angle);
        EXPECT_EQ(At(img, outer.x(), outer.y()), canvas::clBlack) << j;
    }
    // Between the third major tick and the next minor one nothing is drawn at radius 50.
    const QPoint between = PolarPoint(QPoint(104, 89), 50, k.AngleOfValue(8000 + 4000.0 / 22));
    EXPECT_NE(At(img, between.x(), between.y()), canvas::clBlack);
    // No minor ticks after the last major one: the range ends there.
    const QPoint after = PolarPoint(QPoint(104, 89), 50, k.AngleOfValue(20000) - 5);
    EXPECT_NE(At(img, after.x(), after.y()), canvas::clBlack);
}

TEST(KnobGeometry, MinorTickAlignmentAgainstTheMajorRadii48To51)
{
    // Length 6 between a1 = 48 and a2 = 51: each tick is drawn from b2 toward b1, b1 left out.
    const struct
    {
        TiTickMinorAlignment alignment;
        double first;   // b2, painted
        double outside; // just beyond the tick
    } cases[] = {{itmnaInside, 54, 55}, {itmnaOutside, 45, 44}};
    for (const auto &c : cases) {
        TiKnob k;
        Knob1(k);
        k.SetTickMinorLength(6);
        k.SetTickMinorAlignment(c.alignment);
        const QImage img = k.PaintToImage();
        const double angle = k.AngleOfValue(8000 + 5 * 4000.0 / 11); // near the top
        const QPoint first = PolarPoint(QPoint(104, 89), c.first, angle);
        const QPoint outside = PolarPoint(QPoint(104, 89), c.outside, angle);
        const QPoint inner = PolarPoint(QPoint(104, 89), 47, angle);
        EXPECT_EQ(At(img, first.x(), first.y()), canvas::clBlack) << c.alignment;
        EXPECT_NE(At(img, outside.x(), outside.y()), canvas::clBlack) << c.alignment;
        // Outside ticks run inward from the outer radius, so they reach below the inner one.
        EXPECT_EQ(At(img, inner.x(), inner.y()) == canvas::clBlack, c.alignment == itmnaOutside)
            << c.alignment;
    }
}

TEST(KnobGeometry, Knob1IndicatorCentres)
{
    TiKnob k;
    Knob1(k);
    const struct
    {
        double value;
        QPoint centre;
    } cases[] = {{0, {81, 112}}, {10000, {104, 56}}, {20000, {127, 112}}};
    for (const auto &c : cases) {
        k.SetPosition(c.value);
        const QImage img = k.PaintToImage();
        EXPECT_EQ(At(img, c.centre.x(), c.centre.y()), canvas::clGreen) << c.value;
        EXPECT_EQ(At(img, c.centre.x() - 2, c.centre.y() + 1), canvas::clGreen) << c.value;
        // Lowered dot: grey rim at the upper left, white at the lower right.
        const QRect ul(c.centre.x() - 4, c.centre.y() - 4, 4, 4), lr(c.centre.x(), c.centre.y(), 4, 4);
        EXPECT_FALSE(InkBox(img, ul, 0x808080).isEmpty()) << c.value;
        EXPECT_TRUE(InkBox(img, ul, canvas::clWhite).isEmpty()) << c.value;
        EXPECT_FALSE(InkBox(img, lr, canvas::clWhite).isEmpty()) << c.value;
        EXPECT_TRUE(InkBox(img, lr, 0x808080).isEmpty()) << c.value;
        // The box excludes its right and bottom edge.
        EXPECT_NE(At(img, c.centre.x() + 4, c.centre.y()), canvas::clGreen);
    }
}

TEST(KnobGeometry, Knob2TriangleAtFifty)
{
    TiKnob k;
    Knob2(k);
    k.SetPosition(50);
    const QImage img = k.PaintToImage();
    EXPECT_EQ(k.CenterPoint(), QPoint(93, 87));
    EXPECT_EQ(At(img, 93, 51), canvas::clNavy);
    EXPECT_EQ(At(img, 91, 56), canvas::clNavy);
    EXPECT_EQ(At(img, 95, 56), canvas::clNavy);
    EXPECT_EQ(At(img, 93, 54), canvas::clNavy);
    EXPECT_NE(At(img, 93, 50), canvas::clNavy);
    EXPECT_NE(At(img, 96, 56), canvas::clNavy);
    EXPECT_NE(At(img, 93, 57), canvas::clNavy);

    // At 0 (225°) the base corners lie 2.5 from the base centre (71, 109): (73, 111) and
    // (69, 107); a half size of 2 would pull them in to (72, 110) and (70, 108).
    k.SetPosition(0);
    const QImage atZero = k.PaintToImage();
    EXPECT_EQ(At(atZero, 68, 112), canvas::clNavy); // tip
    EXPECT_EQ(At(atZero, 73, 111), canvas::clNavy);
    EXPECT_EQ(At(atZero, 69, 107), canvas::clNavy);
    EXPECT_NE(At(atZero, 74, 112), canvas::clNavy);
}

TEST(KnobPaint, IndicatorStyles)
{
    TiKnob k;
    Knob1(k);
    k.SetPosition(10000); // α = 90°: straight up
    k.SetIndicatorStyle(TiKnob::ikisDot);
    QImage img = k.PaintToImage();
    EXPECT_EQ(At(img, 104, 56), canvas::clGreen);
    EXPECT_EQ(At(img, 101, 54), canvas::clGreen); // no rim in another colour
    k.SetIndicatorStyle(TiKnob::ikisDotRaised);
    img = k.PaintToImage();
    EXPECT_FALSE(InkBox(img, QRect(100, 52, 4, 4), canvas::clWhite).isEmpty());
    EXPECT_TRUE(InkBox(img, QRect(104, 56, 4, 4), canvas::clWhite).isEmpty());
    k.SetIndicatorStyle(TiKnob::ikisLineCenter);
    img = k.PaintToImage();
    for (int y = 52; y < 89; ++y) // from radius 37 to the centre, which is not drawn
        EXPECT_EQ(At(img, 104, y), canvas::clGreen) << y;
    EXPECT_NE(At(img, 104, 89), canvas::clGreen);
    k.SetIndicatorStyle(TiKnob::ikisLineCustom);
    img = k.PaintToImage();
    EXPECT_EQ(At(img, 104, 52), canvas::clGreen);
    EXPECT_EQ(At(img, 104, 55), canvas::clGreen);
    EXPECT_NE(At(img, 104, 56), canvas::clGreen);
}

TEST(KnobPaint, ShadedBodyAndEdgeFace)
{
    TiKnob k;
    Knob1(k);
    k.SetPosition(20000); // indicator at the lower right, away from the probes
    QImage img = k.PaintToImage();
    const TColor upperLeft = At(img, 104 - 20, 89 - 20), lowerRight = At(img, 104 + 15, 89 + 15);
    EXPECT_GT(Luminance(upperLeft), Luminance(lowerRight));
    // The darkest end comes from the face colour 0xC0C0C0 minus 0x505050.
    EXPECT_GE(canvas::GetRValue(lowerRight), 112);
    k.SetKnobStyle(TiKnob::iksSunken);
    img = k.PaintToImage();
    EXPECT_LT(Luminance(At(img, 104 - 20, 89 - 20)), Luminance(At(img, 104 + 15, 89 + 15)));
    k.SetKnobStyle(TiKnob::iksRaisedEdge);
    img = k.PaintToImage();
    EXPECT_EQ(At(img, 104 - 20, 89 - 20), canvas::RGB(192, 192, 192)); // flat face
    EXPECT_NE(At(img, 104 - 30, 89 - 30), canvas::RGB(192, 192, 192)); // shaded ring, width 3
}

TEST(KnobPaint, ShadeChordsRunFromLightToDark)
{
    const auto lines = KnobShadeLines(QPoint(50, 50), 20, true, 0xC0C0C0, 1000);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_GT(Luminance(lines.first().Color & 0xFFFFFF), Luminance(lines.last().Color & 0xFFFFFF));
    for (const auto &l : lines)
        EXPECT_EQ(l.Color & 0xFF000000u, canvas::PaletteFlag);
    EXPECT_TRUE(KnobShadeLines(QPoint(50, 50), 0, true, 0xC0C0C0, 1000).isEmpty());
    EXPECT_TRUE(KnobShadeLines(QPoint(50, 50), -5, true, 0xC0C0C0, 1000).isEmpty());
    // A huge radius is limited to the chords that can reach the image.
    EXPECT_LT(KnobShadeLines(QPoint(50, 50), 2000000000, true, 0xC0C0C0, 300).size(), 2000);
}

TEST(KnobPaint, FocusRectangleOnlyWhenAskedFor)
{
    TiKnob k;
    Knob1(k);
    k.SetTransparent(false);
    const TColor face = At(k.PaintToImage(), 0, 0);
    k.SetShowFocusRect(true);
    // Without the focus nothing is drawn.
    EXPECT_EQ(At(k.PaintToImage(), 0, 0), face);
}

TEST(KnobPaint, PositionDisplayInTheCentre)
{
    TiKnob k;
    Knob1(k);
    k.SetPosition(1234.5678);
    EXPECT_EQ(k.PositionDisplayText(), QStringLiteral("1234.6"));
    k.SetPositionDisplayUnits(QStringLiteral("   "));
    EXPECT_EQ(k.GetPositionDisplayUnits(), QString());
    k.SetPositionDisplayUnits(QStringLiteral(" Hz"));
    k.SetPositionDisplayPrecision(-2);
    EXPECT_EQ(k.GetPositionDisplayPrecision(), 0);
    EXPECT_EQ(k.PositionDisplayText(), QStringLiteral("1235 Hz"));
    k.SetKnobStyle(TiKnob::iksRaisedEdge);
    k.GetPositionDisplayFont()->setColor(canvas::clBlue);
    k.SetShowPostionDisplay(true);
    const QImage img = k.PaintToImage();
    const QRect ink = InkBox(img, QRect(64, 69, 80, 40), canvas::clBlue);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR((ink.left() + ink.right()) / 2.0, 104, 2);
}

TEST(KnobPaint, ProgramChangesRedrawOnlyTheMovingParts)
{
    TiKnob k;
    Knob1(k);
    int changes = 0, user = 0;
    QObject::connect(&k, &TiPositionComponent::OnPositionChange, [&](QObject *) { ++changes; });
    QObject::connect(&k, &TiPositionComponent::OnPositionChangeUser, [&](QObject *) { ++user; });
    k.PaintToImage();
    // A mark in the cached static picture shows for as long as the cache is not rebuilt.
    constexpr QRgb mark = 0xFF123456;
    const auto markCache = [&] { k.BackGroundCacheImage()->setPixel(2, 2, mark); };
    markCache();
    k.ResetCounters();
    k.SetPosition(10000);
    const QImage img = k.PaintToImage();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(user, 0);
    EXPECT_EQ(img.pixel(2, 2), mark);
    EXPECT_EQ(k.Counters().InvalidateBackGround, 0);
    EXPECT_EQ(At(img, 104, 56), canvas::clGreen);
    EXPECT_NE(At(img, 81, 112), canvas::clGreen); // the old place is clean again
    // A geometry change rebuilds the static picture once.
    k.SetKnobRadius(40);
    EXPECT_NE(k.PaintToImage().pixel(2, 2), mark);
    markCache();
    EXPECT_EQ(k.PaintToImage().pixel(2, 2), mark);
    // Background-kind and foreground-kind setters, each only on change.
    k.ResetCounters();
    k.SetKnobRadius(40);
    k.SetIndicatorSize(0);
    EXPECT_EQ(k.GetIndicatorSize(), 1);
    k.SetIndicatorSize(-3); // compared before the clamp: differs from the stored 1
    k.SetIndicatorSize(1);
    EXPECT_EQ(k.Counters().InvalidateForeGround, 2);
    k.SetPositionDisplayPrecision(0);
    k.SetPositionDisplayPrecision(-1);
    k.SetPositionDisplayPrecision(0);
    EXPECT_EQ(k.GetPositionDisplayPrecision(), 0);
    EXPECT_EQ(k.Counters().InvalidateForeGround, 4);
    EXPECT_EQ(k.Counters().InvalidateBackGround, 0);
}

TEST(KnobAutoSize, RadiusFromTicksOrLabels)
{
    TiKnob k;
    k.SetShowTickLabels(false);
    k.PaintToImage();
    EXPECT_EQ(k.GetKnobRadius(), 61); // (150 - 4 - 2 * (5 + 7)) div 2
    k.SetShowTicksMajor(false);
    k.SetShowTicksMinor(false);
    k.PaintToImage();
    EXPECT_EQ(k.GetKnobRadius(), 73);
    k.SetShowTickLabels(true);
    k.PaintToImage();
    // Labels 0, 25, 50, 75, 100 at 225°, 157.5°, 90°, 22.5°, -45°: the unit points pick the
    // widest side label ("100") and the tallest top/bottom label.
    canvas::Canvas canvas(10, 10);
    canvas.Font.Assign(*k.GetTickLabelFont());
    const int w = canvas.TextWidth(QStringLiteral("100"));
    const int h = canvas.TextHeight(QStringLiteral("50"));
    EXPECT_EQ(k.GetKnobRadius(), (146 - std::max(w, h) - 2 * (5 + 7 + 15 + 4)) / 2);
    EXPECT_LT(k.GetKnobRadius(), 61);
}

TEST(KnobStoredValues, StepSizesHaveTwins)
{
    TiKnob k;
    k.SetKeyArrowStepSize(0.25);
    const auto values = k.StoredValues();
    ASSERT_GE(values.size(), 2);
    EXPECT_EQ(values[values.size() - 2].first, QStringLiteral("KeyArrowStepSize_2"));
    EXPECT_EQ(values[values.size() - 2].second.toDouble(), 0.25);
    EXPECT_EQ(values.last().first, QStringLiteral("KeyPageStepSize_2"));
    EXPECT_TRUE(k.ReadStoredValue(QStringLiteral("KeyPageStepSize_2"), 5.0));
    EXPECT_EQ(k.GetKeyPageStepSize(), 5.0);
    EXPECT_FALSE(k.ReadStoredValue(QStringLiteral("MouseWheelStepSize_2"), 5.0));
}

TEST(KnobPaint, OddSettingsPaintWithoutFault)
{
    TiKnob k;
    k.SetAutoSize(false);
    for (int r : {0, -50, 2000000000, -2000000000}) {
        k.SetKnobRadius(r);
        k.SetKnobStyle(TiKnob::iksSunkenEdge);
        k.SetKnobEdgeWidth(-2147483647);
        k.SetTickMargin(2147483647);
        k.SetIndicatorMargin(-2147483647);
        k.SetIndicatorStyle(TiKnob::ikisTriangle);
        EXPECT_FALSE(k.PaintToImage().isNull()) << r;
    }
    k.SetPositionMax(k.GetPositionMin());
    k.SetRotationMaxDegrees(0);
    k.SetTickLabelPrecision(1000000);
    k.SetPositionDisplayPrecision(1000000);
    k.SetShowPostionDisplay(true);
    EXPECT_FALSE(k.PaintToImage().isNull());
}
