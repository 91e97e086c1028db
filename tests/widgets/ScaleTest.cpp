#include "tests/widgets/BaseTestWidgets.h"

#include <gtest/gtest.h>

using namespace widgets;
using basetest::EventRecorder;
using basetest::TestScale;

TEST(AutoScale, TickCountPrefersNiceStepsNearTheDesiredCount)
{
    // 20000: steps 20000, 10000, 5000 qualify; 6666.7 and 4000 do not; 5 is nearest to D.
    EXPECT_EQ(autoscale::TickCount(20000, 6, 5), 5);
    EXPECT_EQ(autoscale::TickCount(20000, 4, 5), 3);
    // 100: counts 2, 3, 5, 6 qualify; with D 4 the tie between 3 and 5 goes to 5.
    EXPECT_EQ(autoscale::TickCount(100, 6, 4), 5);
    EXPECT_EQ(autoscale::TickCount(0.5, 6, 5), 6) << "step 0.1";
    // 45: no count up to 6 gives a nice step.
    EXPECT_EQ(autoscale::TickCount(45, 6, 5), 7);
}

TEST(AutoScale, AutoMinMaxWidensToNiceEnds)
{
    auto r = autoscale::AutoMinMax(0, 20000, 5, 6);
    ASSERT_TRUE(r.Found);
    EXPECT_EQ(r.Min, 0);
    EXPECT_EQ(r.Max, 20000);
    EXPECT_EQ(r.Count, 5);

    r = autoscale::AutoMinMax(3, 97, 5, 6);
    EXPECT_EQ(r.Min, 0);
    EXPECT_EQ(r.Max, 100);
    EXPECT_EQ(r.Count, 5);

    r = autoscale::AutoMinMax(-30, 70, 5, 6); // crossing zero
    EXPECT_EQ(r.Min, -50);
    EXPECT_EQ(r.Max, 100);
    EXPECT_EQ(r.Count, 4);

    r = autoscale::AutoMinMax(-72, -31, 5, 6); // below zero
    EXPECT_EQ(r.Min, -80);
    EXPECT_EQ(r.Max, -30);
    EXPECT_EQ(r.Count, 6);

    r = autoscale::AutoMinMax(7, 7, 5, 6);
    EXPECT_EQ(r.Min, 7);
    EXPECT_EQ(r.Max, 7);
    EXPECT_EQ(r.Count, 2);
}

TEST(AutoScale, FixedMinMaxPlacesANiceGridInside)
{
    auto r = autoscale::FixedMinMax(0, 20000, 5, 6);
    ASSERT_TRUE(r.Found);
    EXPECT_EQ(r.Min, 0);
    EXPECT_EQ(r.Max, 20000);
    EXPECT_EQ(r.Count, 5);

    r = autoscale::FixedMinMax(-30, 70, 5, 6);
    EXPECT_EQ(r.Min, -20);
    EXPECT_EQ(r.Max, 60);
    EXPECT_EQ(r.Count, 5);

    r = autoscale::FixedMinMax(-70, -30, 5, 6);
    EXPECT_EQ(r.Min, -70);
    EXPECT_EQ(r.Max, -30);
    EXPECT_EQ(r.Count, 5);
}

TEST(AutoScale, ComponentRunsItOnRangeChangesSettersAndLoaded)
{
    TestScale w;
    w.SetPosition(30);
    w.SetAutoScaleEnabled(true); // current range 0..100: already nice, count 5 (step 25)
    EXPECT_EQ(w.GetTickMajorCount(), 5);
    EventRecorder rec(&w);
    w.SetPositionMax(20000);
    EXPECT_EQ(w.GetPositionMax(), 20000);
    EXPECT_EQ(w.GetTickMajorCount(), 5);

    w.SetPositionMin(-30); // with the new end: -30..20000 widens to -5000..20000, step 5000
    EXPECT_EQ(w.GetPositionMin(), -5000);
    EXPECT_EQ(w.GetPositionMax(), 20000);
    EXPECT_EQ(w.GetTickMajorCount(), 6);
    w.DoAutoScale(-30, 70);
    EXPECT_EQ(w.GetPositionMin(), -50);
    EXPECT_EQ(w.GetPositionMax(), 100);
    EXPECT_EQ(w.GetTickMajorCount(), 4);

    w.SetAutoScaleStyle(iassFixedMinMax);
    w.SetRange(-30, 70);
    w.SetAutoScaleDesiredTicks(4); // reruns with the current range
    w.SetAutoScaleDesiredTicks(5);
    EXPECT_EQ(w.GetPositionMin(), -30);
    EXPECT_EQ(w.GetPositionMax(), 70);
    EXPECT_EQ(w.GetNiceMin(), -20);
    EXPECT_EQ(w.GetNiceMax(), 60);
    EXPECT_EQ(w.Scale()->GetNiceMin(), -20);
    EXPECT_EQ(w.GetTickMajorCount(), 5);
    EXPECT_FALSE(rec.Events.contains("OnPositionChangeUser"));

    w.SetAutoScaleMaxTicks(1); // ignored
    EXPECT_EQ(w.GetAutoScaleMaxTicks(), 6);

    TestScale loaded;
    loaded.setLoading(true);
    loaded.SetAutoScaleEnabled(true);
    loaded.SetPositionMax(97);
    loaded.SetPositionMin(3);
    EXPECT_EQ(loaded.GetPositionMin(), 3) << "nothing runs while loading";
    loaded.Loaded();
    EXPECT_EQ(loaded.GetPositionMin(), 0);
    EXPECT_EQ(loaded.GetPositionMax(), 100);
}

TEST(ScaleObject, ClampsAndCompareBeforeClamp)
{
    TestScale w;
    TiScaleObject *s = w.Scale();
    EXPECT_EQ(s->GetTickLabelMargin(), 5) << "the knob sets 15; the object's own is 5";

    w.ResetCounters();
    w.SetTickMajorCount(5);
    w.SetTickMinorAlignment(itmnaInside);
    EXPECT_EQ(w.Counters().InvalidateBackGround, 0);

    w.SetTickMajorCount(1);
    EXPECT_EQ(s->GetTickMajorCount(), 2);
    EXPECT_EQ(w.Counters().InvalidateBackGround, 1);
    w.SetTickMajorCount(1); // 1 differs from the stored 2: stores 2 again and repaints
    EXPECT_EQ(w.Counters().InvalidateBackGround, 2);
    w.SetTickMajorCount(101);
    EXPECT_EQ(s->GetTickMajorCount(), 100);
    w.SetTickMinorCount(0);
    EXPECT_EQ(s->GetTickMinorCount(), 1);
    w.SetTickMinorCount(500);
    EXPECT_EQ(s->GetTickMinorCount(), 100);
    w.SetTickMajorLength(-4);
    EXPECT_EQ(s->GetTickMajorLength(), 1);
    w.SetTickMinorLength(0);
    EXPECT_EQ(s->GetTickMinorLength(), 1);
    w.SetTickLabelPrecision(-2);
    EXPECT_EQ(s->GetTickLabelPrecision(), 0);
    w.SetTickMargin(-3);
    EXPECT_EQ(s->GetTickMargin(), -3);
    EXPECT_EQ(w.Counters().InvalidateBackGround, 9);
    EXPECT_EQ(w.Counters().InvalidateForeGround, 0);

    canvas::TFont font;
    font.setHeight(20);
    w.SetTickLabelFont(&font);
    EXPECT_EQ(s->GetTickLabelFont()->height(), 20);
    EXPECT_EQ(w.Counters().InvalidateBackGround, 10);
    s->GetTickLabelFont()->setColor(canvas::clMaroon);
    EXPECT_EQ(w.Counters().InvalidateBackGround, 11);
}

TEST(ScaleObject, TickLabelDecimals)
{
    TestScale w;
    w.SetTickLabelPrecision(2);
    EXPECT_EQ(w.GetTickLabelDecimals(), 2) << "fixed decimal points";
    w.SetPrecisionStyle(ipsSignificantDigits);
    w.SetTickLabelPrecision(3);
    // p - (trunc(log10 s) + 1), plus 1 only for a span below 1, never below 0.
    const struct
    {
        double lo, hi;
        int decimals;
    } cases[] = {{0, 20000, 0}, {0, 0.5, 3},  {0, 0, 1},  {0, 20, 1},  {0, 1, 2},
                 {0, 5, 2},     {0, 0.05, 4}, {5, -5, 1}, {0, 9.99, 2}};
    for (const auto &c : cases) {
        w.SetRange(c.lo, c.hi);
        EXPECT_EQ(w.GetTickLabelDecimals(), c.decimals) << c.lo << ".." << c.hi;
    }
    w.SetTickLabelPrecision(0);
    EXPECT_EQ(w.GetTickLabelDecimals(), 0);
}
