#include "core/ComponentState.h"
#include "widgets/iGPFunctions.h"
#include "widgets/iLedBar.h"

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPixmap>
#include <QScreen>
#include <functional>
#include <gtest/gtest.h>

using namespace widgets;
using canvas::TColor;

namespace {

TColor At(const QImage &image, int x, int y)
{
    return canvas::FromQRgb(image.pixel(x, y));
}

constexpr TColor kFreqBack = 10197915;
constexpr TColor kFreqColor1 = 4980546;

void FrequencyBar(TiLedBar &bar)
{
    bar.resize(15, 237);
    bar.SetPositionMin(10);
    bar.SetPositionMax(20000);
    bar.SetPosition(10);
    bar.SetBackGroundColor(kFreqBack);
    bar.SetSectionCount(3);
    bar.SetSectionEnd1(12000);
    bar.SetSectionEnd2(16000);
    bar.SetSectionColor1(kFreqColor1);
    bar.SetSegmentMargin(1);
    bar.SetSegmentSize(3);
    bar.SetSegmentSpacing(1);
    bar.SetBorderStyle(ibsRaised);
}

void ActivityBar(TiLedBar &bar)
{
    bar.SetSegmentDirection(TiLedBar::idRight);
    bar.resize(211, 35);
    bar.SetBackGroundColor(9726300);
    bar.SetSectionCount(3);
    bar.SetSegmentMargin(1);
    bar.SetSegmentSize(1);
    bar.SetBorderStyle(ibsLowered);
}

} // namespace

TEST(LedBarLayout, DefaultBarCountsAndTies)
{
    TiLedBarInput in;
    in.Fraction = 0.25;
    TiLedBarLayout lay = ComputeLedBarLayout(in);
    EXPECT_EQ(lay.Length, 198);
    EXPECT_EQ(lay.Count, 28);
    EXPECT_EQ(lay.Offset, 1);
    EXPECT_EQ(lay.Lit, 8); // 7.5 goes to 8
    EXPECT_EQ(lay.End1, 14);
    EXPECT_EQ(lay.End2, 21);
    in.Fraction = 0.5;
    EXPECT_EQ(ComputeLedBarLayout(in).Lit, 14); // 14.5 goes to 14
    in.Fraction = 0.0;
    EXPECT_EQ(ComputeLedBarLayout(in).Lit, 0); // 0.5 goes to 0
    in.Fraction = 1e-9;
    EXPECT_EQ(ComputeLedBarLayout(in).Lit, 1);
    // The first segment sits C + margin above the bottom.
    EXPECT_EQ(lay.Segment(0), canvas::Rect(2, 200 - 1 - 2 - 5, 14, 200 - 1 - 2));
    EXPECT_EQ(lay.Segment(1), canvas::Rect(2, 192 - 7, 14, 197 - 7));
}

// The level bar of the main window: 55 segments over 0..100. Levels whose fraction times 55 lies a
// hair beside a whole number must not be flattened into ties by double rounding.
TEST(LedBarLayout, LitCountIsRoundedOnceInExtendedPrecision)
{
    TiLedBarInput in;
    in.Width = 15;
    in.Height = 227;
    in.Bevel = true;
    in.Margin = 1;
    in.Size = 3;
    in.Spacing = 1;
    ASSERT_EQ(ComputeLedBarLayout(in).Count, 55);
    const struct
    {
        double level;
        int lit;
    } cases[] = {{20, 12}, {40, 23}, {60, 33}, {80, 45}, {100, 56}, {30, 17}};
    for (const auto &c : cases) {
        in.Fraction = (c.level - 0.0) / (100.0 - 0.0);
        EXPECT_EQ(ComputeLedBarLayout(in).Lit, c.lit) << "level " << c.level;
    }
}

TEST(LedBarLayout, StepOfZeroOrNegativeDrawsNothing)
{
    TiLedBarInput in;
    in.Size = 0;
    in.Spacing = 0;
    EXPECT_EQ(ComputeLedBarLayout(in).Count, 0);
    in.Size = 5;
    in.Spacing = -20;
    EXPECT_LE(ComputeLedBarLayout(in).Count, 0);
    in.PositionMax = in.PositionMin;
    EXPECT_EQ(ComputeLedBarLayout(in).End1, 0);
}

TEST(LedBarPaint, DefaultBarLightsEightAtAQuarter)
{
    TiLedBar bar;
    EXPECT_EQ(bar.size(), QSize(16, 200));
    bar.SetPosition(25);
    const QImage img = bar.PaintToImage();
    int lit = 0, off = 0;
    for (int i = 0; i < 28; ++i) {
        const int y = 197 - 7 * i - 3; // inside segment i
        const TColor c = At(img, 8, y);
        if (c == canvas::clLime)
            ++lit;
        else if (c == canvas::RGB(0, 85, 0))
            ++off;
    }
    EXPECT_EQ(lit, 8);
    EXPECT_EQ(off, 20);
    EXPECT_EQ(At(img, 8, 197 - 7 * 7 - 3), canvas::clLime);
    EXPECT_EQ(At(img, 8, 197 - 7 * 8 - 3), canvas::RGB(0, 85, 0));
    // Margins and gaps are background.
    EXPECT_EQ(At(img, 1, 195), canvas::clBlack);
    EXPECT_EQ(At(img, 8, 191), canvas::clBlack);
    EXPECT_EQ(At(img, 8, 198), canvas::clBlack);
}

TEST(LedBarPaint, FrequencyBarSegmentsAndSections)
{
    TiLedBar bar;
    FrequencyBar(bar);
    TiLedBarInput in;
    in.Width = 15;
    in.Height = 237;
    in.Bevel = true;
    in.Margin = 1;
    in.Size = 3;
    in.Spacing = 1;
    in.PositionMin = 10;
    in.PositionMax = 20000;
    in.SectionEnd1 = 12000;
    in.SectionEnd2 = 16000;
    const TiLedBarLayout lay = ComputeLedBarLayout(in);
    EXPECT_EQ(lay.Length, 233);
    EXPECT_EQ(lay.Count, 58);
    EXPECT_EQ(lay.Offset, 0);
    EXPECT_EQ(lay.End1, 35);
    EXPECT_EQ(lay.End2, 46);
    EXPECT_EQ(lay.Segment(0), canvas::Rect(3, 231, 12, 234));
    EXPECT_EQ(lay.Segment(57), canvas::Rect(3, 3, 12, 6));

    // At the minimum nothing is lit.
    QImage img = bar.PaintToImage();
    EXPECT_EQ(At(img, 3, 231), DimColor(kFreqColor1, 3));
    bar.SetPosition(20000);
    img = bar.PaintToImage();
    EXPECT_EQ(At(img, 3, 231), kFreqColor1);
    EXPECT_EQ(At(img, 11, 233), kFreqColor1);
    EXPECT_EQ(At(img, 12, 233), kFreqBack);
    EXPECT_EQ(At(img, 3, 230), kFreqBack); // gap above the first segment
    EXPECT_EQ(At(img, 5, 234), kFreqBack);
    // Segment 34 is section 1, 35 section 2 (yellow), 46 section 3 (red), 57 the last.
    EXPECT_EQ(At(img, 6, 231 - 4 * 34), kFreqColor1);
    EXPECT_EQ(At(img, 6, 231 - 4 * 35), canvas::clYellow);
    EXPECT_EQ(At(img, 6, 231 - 4 * 45), canvas::clYellow);
    EXPECT_EQ(At(img, 6, 231 - 4 * 46), canvas::clRed);
    EXPECT_EQ(At(img, 3, 3), canvas::clRed);
    EXPECT_EQ(At(img, 11, 5), canvas::clRed);
    EXPECT_EQ(At(img, 6, 2), kFreqBack);
}

TEST(LedBarPaint, ActivityBarRunsRightFromTheMargin)
{
    TiLedBar bar;
    ActivityBar(bar);
    bar.SetPosition(50);
    const QImage img = bar.PaintToImage();
    int lit = 0;
    for (int i = 0; i < 69; ++i) {
        const int x = 3 + 3 * i;
        EXPECT_NE(At(img, x, 17), TColor(9726300)) << "segment " << i;
        EXPECT_EQ(At(img, x + 1, 17), TColor(9726300)) << "gap after " << i;
        if (At(img, x, 17) == canvas::clLime || At(img, x, 17) == canvas::clYellow ||
            At(img, x, 17) == canvas::clRed)
            ++lit;
    }
    EXPECT_EQ(lit, 35);
    // E1 = 34 (34.5 to even), so segment 34 is the first yellow one; 35 is off.
    EXPECT_EQ(At(img, 3 + 3 * 33, 17), canvas::clLime);
    EXPECT_EQ(At(img, 3 + 3 * 34, 17), canvas::clYellow);
    EXPECT_EQ(At(img, 3 + 3 * 35, 17), canvas::RGB(85, 85, 0));
    EXPECT_EQ(At(img, 3, 3), canvas::clLime);
    EXPECT_EQ(At(img, 3, 31), canvas::clLime);
    EXPECT_EQ(At(img, 3, 32), TColor(9726300));
    // The remainder stays at the far end: the last segment is at x = 3 + 3 * 68 = 207.
    EXPECT_EQ(At(img, 208, 17), TColor(9726300));
}

// A bar says two positions look alike exactly when its pictures at them are the same, so a
// caller that skips the steps in between loses nothing on the screen.
TEST(LedBarPaint, DrawsAlikeExactlyWhenThePicturesMatch)
{
    TiLedBar activity, standing;
    ActivityBar(activity);
    for (TiLedBar *bar : {&activity, &standing}) {
        QImage previous;
        for (int p = 0; p <= 100; ++p) {
            bar->SetPosition(p);
            const QImage img = bar->PaintToImage();
            if (p > 0) {
                EXPECT_EQ(bar->DrawsAlike(p - 1, p), img == previous) << "position " << p;
            }
            previous = img;
        }
    }
    QObject::connect(&activity, &TiComponent::OnAfterPaint, [](QObject *, canvas::Canvas *) {});
    EXPECT_FALSE(activity.DrawsAlike(0, 0.1)) << "what paints after the bar may show the position";
}

TEST(LedBarPaint, WithoutOffSegmentsTheBarStopsAtTheLitEnd)
{
    TiLedBar bar;
    bar.SetShowOffSegments(false);
    QImage img = bar.PaintToImage();
    for (int y = 0; y < 200; ++y)
        ASSERT_EQ(At(img, 8, y), canvas::clBlack) << y;
    bar.SetPosition(100);
    img = bar.PaintToImage();
    for (int i = 0; i < 28; ++i)
        EXPECT_EQ(At(img, 8, 194 - 7 * i), canvas::clLime) << i;
    bar.SetPosition(50);
    img = bar.PaintToImage();
    EXPECT_EQ(At(img, 8, 194 - 7 * 13), canvas::clLime);
    EXPECT_EQ(At(img, 8, 194 - 7 * 14), canvas::clBlack);
}

TEST(LedBarPaint, SectionTwoEndBelowSectionOne)
{
    TiLedBar bar;
    bar.SetSectionCount(3);
    bar.SetSectionEnd1(75);
    bar.SetSectionEnd2(25); // E2 = 7
    bar.SetPosition(100);
    const QImage img = bar.PaintToImage();
    EXPECT_EQ(At(img, 8, 194 - 7 * 6), canvas::clLime);
    EXPECT_EQ(At(img, 8, 194 - 7 * 7), canvas::clRed);
    EXPECT_EQ(At(img, 8, 194 - 7 * 27), canvas::clRed);
}

TEST(LedBarPaint, DownAndLeftStartAtTheOtherEnd)
{
    TiLedBar bar;
    bar.SetSegmentDirection(TiLedBar::idDown);
    bar.SetPosition(1); // one segment lit
    QImage img = bar.PaintToImage();
    EXPECT_EQ(At(img, 8, 3 + 2), canvas::clLime); // C + margin = 3 from the top
    EXPECT_EQ(At(img, 8, 3 + 7 + 2), canvas::RGB(0, 85, 0));
    bar.SetSegmentDirection(TiLedBar::idLeft);
    EXPECT_EQ(bar.size(), QSize(200, 16));
    img = bar.PaintToImage();
    EXPECT_EQ(At(img, 200 - 2 - 1, 8), canvas::clLime);
    EXPECT_EQ(At(img, 200 - 2 - 5, 8), canvas::clLime);
    EXPECT_EQ(At(img, 200 - 2 - 6, 8), canvas::clBlack);
}

TEST(LedBarPaint, CircleSegmentsCarryAGlint)
{
    TiLedBar bar;
    bar.resize(16, 30);
    bar.SetSegmentSize(8);
    bar.SetSegmentStyle(TiLedBar::ilbssCircle);
    bar.SetPosition(25); // 0.5 + 0.5 lights one of two
    // L = 28, S = 10, N = 2, C = 4; segment 0 = (2, 16, 14, 24), box (4, 16, 12, 24); segment 1
    // one step up.
    const QImage img = bar.PaintToImage();
    int white = 0, lime = 0, dim = 0, glintOff = 0;
    for (int y = 16; y < 24; ++y)
        for (int x = 4; x < 12; ++x) {
            white += At(img, x, y) == canvas::clWhite;
            lime += At(img, x, y) == canvas::clLime;
        }
    for (int y = 6; y < 14; ++y)
        for (int x = 4; x < 12; ++x) {
            dim += At(img, x, y) == canvas::RGB(0, 85, 0);
            glintOff += At(img, x, y) == canvas::clLime;
        }
    EXPECT_GT(white, 0);
    EXPECT_GT(lime, white);
    EXPECT_GT(dim, glintOff);
    EXPECT_GT(glintOff, 0);
    // The glint sits in the upper-left quarter, the lower-right of the disc stays plain.
    EXPECT_EQ(At(img, 10, 21), canvas::clLime);
    EXPECT_EQ(At(img, 7, 18), canvas::clWhite);
    EXPECT_EQ(At(img, 2, 20), canvas::clBlack); // outside the circle
}

TEST(LedBarPaint, TrianglesPointAlongTheBar)
{
    // Segment 0 of a full bar, with the pixels at its tip, at both base corners, and one
    // beside the tip where only a triangle pointing the other way would paint.
    const struct
    {
        TiLedBar::TiDirection direction;
        QPoint tip, base1, base2, besideTip;
    } cases[] = {
        {TiLedBar::idUp, {8, 192}, {6, 197}, {10, 197}, {6, 192}},   // (2, 192, 14, 197)
        {TiLedBar::idDown, {8, 8}, {6, 3}, {10, 3}, {6, 8}},         // (2, 3, 14, 8)
        {TiLedBar::idRight, {7, 8}, {2, 6}, {2, 10}, {7, 6}},        // (2, 2, 7, 14)
        {TiLedBar::idLeft, {193, 8}, {198, 6}, {198, 10}, {193, 6}}, // (193, 2, 198, 14)
    };
    for (const auto &c : cases) {
        TiLedBar bar;
        bar.SetSegmentDirection(c.direction);
        bar.SetSegmentStyle(TiLedBar::ilbssTriangle);
        bar.SetPosition(100);
        const QImage img = bar.PaintToImage();
        EXPECT_EQ(At(img, c.tip.x(), c.tip.y()), canvas::clLime) << c.direction;
        EXPECT_EQ(At(img, c.base1.x(), c.base1.y()), canvas::clLime) << c.direction;
        EXPECT_EQ(At(img, c.base2.x(), c.base2.y()), canvas::clLime) << c.direction;
        EXPECT_EQ(At(img, c.besideTip.x(), c.besideTip.y()), canvas::clBlack) << c.direction;
    }
}

TEST(LedBarDirection, CrossingOrientationSwapsTheSize)
{
    TiLedBar bar;
    int notified = 0;
    bar.OnOrientationChange = [&](QObject *sender) {
        EXPECT_EQ(sender, &bar);
        ++notified;
    };
    bar.SetSegmentDirection(TiLedBar::idDown);
    EXPECT_EQ(bar.size(), QSize(16, 200));
    bar.SetSegmentDirection(TiLedBar::idRight);
    EXPECT_EQ(bar.size(), QSize(200, 16));
    bar.SetSegmentDirection(TiLedBar::idLeft);
    EXPECT_EQ(bar.size(), QSize(200, 16));
    EXPECT_EQ(notified, 1);
    // A direction read from a stored layout keeps the stored size.
    bar.setLoading(true);
    bar.SetSegmentDirection(TiLedBar::idUp);
    bar.setLoading(false);
    EXPECT_EQ(bar.size(), QSize(200, 16));
    EXPECT_EQ(bar.GetSegmentDirection(), TiLedBar::idUp);
}

TEST(LedBarSetters, RepaintOnlyOnChangeAndAcceptAnything)
{
    TiLedBar bar;
    // Each drawing setter asks for one foreground repaint when the value changes, none otherwise.
    const std::function<void(int)> setters[] = {
        [&](int v) { bar.SetSegmentSize(v); },
        [&](int v) { bar.SetSegmentSpacing(v); },
        [&](int v) { bar.SetSegmentMargin(v); },
        [&](int v) { bar.SetSegmentStyle(TiLedBar::TiLedBarSegmentStyle(v % 3)); },
    };
    const int unchanged[] = {5, 2, 2, TiLedBar::ilbssRectangle};
    const int changed[] = {-7, 3, -2000000000, TiLedBar::ilbssCircle};
    for (int i = 0; i < 4; ++i) {
        bar.ResetCounters();
        setters[i](unchanged[i]);
        EXPECT_EQ(bar.Counters().InvalidateForeGround, 0) << i;
        setters[i](changed[i]);
        EXPECT_EQ(bar.Counters().InvalidateForeGround, 1) << i;
        EXPECT_EQ(bar.Counters().InvalidateBackGround, 0) << i;
    }
    EXPECT_EQ(bar.GetSegmentSize(), -7);
    for (auto style : {TiLedBar::ilbssRectangle, TiLedBar::ilbssCircle, TiLedBar::ilbssTriangle}) {
        bar.SetSegmentStyle(style);
        EXPECT_FALSE(bar.PaintToImage().isNull());
        bar.SetSegmentSpacing(2147483647);
        EXPECT_FALSE(bar.PaintToImage().isNull());
        bar.SetSegmentSpacing(8);
        bar.SetSegmentSize(-2147483647);
        EXPECT_FALSE(bar.PaintToImage().isNull());
        bar.SetSegmentSize(-7);
    }
}

// A position step repaints every pixel that changes and nothing else of the bar: none when no
// segment turns on or off, and only a strip of the bar when some do; the screen then shows the
// whole new picture.
TEST(LedBarRepaint, PositionStepRepaintsExactlyTheSegmentsThatChange)
{
    struct PaintSpy : QObject
    {
        QRegion painted;
        int paints = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint) {
                painted += static_cast<QPaintEvent *>(e)->region();
                ++paints;
            }
            return false;
        }
    };
    for (auto style : {TiLedBar::ilbssRectangle, TiLedBar::ilbssCircle, TiLedBar::ilbssTriangle}) {
        SCOPED_TRACE(style);
        TiLedBar bar;
        ActivityBar(bar);
        bar.SetSegmentStyle(style);
        bar.show();
        QApplication::processEvents();
        PaintSpy spy;
        bar.installEventFilter(&spy);
        int unchanged = 0;
        for (int step = 1; step <= 100; ++step) {
            const QImage before = bar.PaintToImage();
            spy.painted = {};
            spy.paints = 0;
            bar.SetPosition(step % 100);
            QApplication::processEvents();
            const QImage after = bar.PaintToImage();
            // What the screen shows after painting only the strip is the whole new picture.
            ASSERT_EQ(bar.screen()->grabWindow(bar.winId()).toImage().convertToFormat(QImage::Format_RGB32),
                      after)
                << step;
            bool differs = false;
            for (int y = 0; y < after.height(); ++y)
                for (int x = 0; x < after.width(); ++x)
                    if (before.pixel(x, y) != after.pixel(x, y)) {
                        differs = true;
                        ASSERT_TRUE(spy.painted.contains(QPoint(x, y))) << step << " at " << x << "," << y;
                    }
            if (!differs) {
                EXPECT_EQ(spy.paints, 0) << step;
                ++unchanged;
            } else if (step != 100) {
                EXPECT_LT(spy.painted.boundingRect().width(), bar.width() / 4) << step;
            }
        }
        EXPECT_GT(unchanged, 10) << "a bar of fewer segments than steps skips some repaints";
    }
}
