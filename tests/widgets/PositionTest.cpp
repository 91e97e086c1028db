#include "tests/widgets/BaseTestWidgets.h"

#include "layout/ClassRegistry.h"
#include "layout/LayoutReader.h"
#include "widgets/WidgetClasses.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>

using namespace widgets;
using basetest::EventRecorder;
using basetest::TestPosition;
using basetest::TestProgress;

TEST(PositionEvents, ClampingAndNoEventForTheSameValue)
{
    TestPosition w;
    w.SetPositionMax(20000);
    EventRecorder rec(&w);
    w.SetPosition(25000);
    EXPECT_EQ(w.GetPosition(), 20000);
    w.SetPosition(-5);
    EXPECT_EQ(w.GetPosition(), 0);
    w.SetPosition(20000);
    rec.Events.clear();
    w.ResetCounters();
    w.SetPosition(20000);
    w.SetPosition(30000); // clamps to the value held
    EXPECT_TRUE(rec.Events.isEmpty());
    EXPECT_EQ(w.Counters().InvalidateForeGround, 0);
    EXPECT_EQ(w.Counters().RepaintNow, 0);
    w.SetPosition(10);
    EXPECT_EQ(w.Counters().InvalidateForeGround, 1);
    EXPECT_EQ(w.Counters().InvalidateBackGround, 0);
}

TEST(PositionEvents, TrackedExtremesAndOverMax)
{
    TestPosition w;
    EventRecorder rec(&w);
    w.SetPosition(50);
    EXPECT_EQ(rec.Events, (QStringList{"OnCurrentMaxChange", "OnPositionChange"}));
    EXPECT_EQ(w.GetCurrentMax(), 50);

    TestPosition fixed;
    fixed.SetMinMaxFixed(true);
    EventRecorder rec2(&fixed);
    fixed.SetPosition(50);
    EXPECT_EQ(rec2.Events, (QStringList{"OnPositionOverMax", "OnPositionChange"}));
    EXPECT_EQ(fixed.GetCurrentMax(), 0);

    // Below the tracked minimum with the extremes fixed.
    fixed.SetCurrentMin(40);
    rec2.Events.clear();
    fixed.SetPosition(30);
    EXPECT_EQ(rec2.Events, (QStringList{"OnPositionOverMax", "OnPositionUnderMin", "OnPositionChange"}));
}

TEST(PositionEvents, UserChangesAddTheUserEventAndProgramChangesDoNot)
{
    TestPosition w;
    w.SetMinMaxFixed(true);
    w.SetCurrentMax(100);
    EventRecorder rec(&w);
    {
        UserChangingScope user(w);
        w.SetPosition(10);
    }
    EXPECT_FALSE(w.GetUserChanging());
    EXPECT_EQ(rec.Events, (QStringList{"OnPositionChange", "OnPositionChangeUser"}));
    rec.Events.clear();
    w.SetPosition(20);
    EXPECT_EQ(rec.Events, QStringList{"OnPositionChange"});

    // Finish step: once per run of changes, never while loading.
    rec.Events.clear();
    w.DoPositionChangeFinished();
    w.DoPositionChangeFinished();
    EXPECT_EQ(rec.Events, QStringList{"OnPositionChangeFinished"});
    w.SetPosition(30);
    w.setLoading(true);
    rec.Events.clear();
    w.DoPositionChangeFinished();
    EXPECT_TRUE(rec.Events.isEmpty());
    w.setLoading(false);
    EXPECT_TRUE(w.GetChangedSinceFinish());
}

TEST(PositionEvents, VetoAndNotificationHooks)
{
    TestPosition w;
    EventRecorder rec(&w);
    QStringList hooks;
    bool allow = false;
    QObject::connect(&w, &TiComponent::OnPropertyChangeRequest, &w,
                     [&](QObject *, const QString &name, bool &Allow) {
                         hooks << "request " + name;
                         Allow = allow;
                     });
    QObject::connect(&w, &TiComponent::OnPropertyChanged, &w, [&](QObject *, const QString &name) {
        hooks << "changed " + name;
        rec.Events << "(changed)";
    });
    w.SetPosition(5);
    EXPECT_EQ(w.GetPosition(), 0);
    EXPECT_TRUE(rec.Events.isEmpty());
    EXPECT_FALSE(w.GetChangedSinceFinish());
    allow = true;
    w.SetPosition(5);
    EXPECT_EQ(hooks, (QStringList{"request Position", "request Position", "changed Position"}));
    EXPECT_EQ(rec.Events, (QStringList{"OnCurrentMaxChange", "(changed)", "OnPositionChange"}));
}

TEST(PositionEvents, LimitsInListOrder)
{
    TestPosition w;
    w.Limits().append({60, 40});
    w.Limits().append({20, 10});
    EventRecorder rec(&w);
    w.SetPosition(30);
    EXPECT_EQ(rec.Events, (QStringList{"OnCurrentMaxChange", "OnPositionUnderLimit 0",
                                       "OnPositionOverLimit 1", "OnPositionChange"}));
}

TEST(PositionRange, ShrinkingTheRangeMovesThePositionAsAProgramChange)
{
    TestPosition w;
    w.SetMinMaxFixed(true);
    w.SetPosition(80);
    EventRecorder rec(&w);
    int backgroundAtChange = -1;
    QObject::connect(&w, &TiPositionComponent::OnPositionChange, &w,
                     [&](QObject *) { backgroundAtChange = w.Counters().InvalidateBackGround; });
    w.ResetCounters();
    w.SetPositionMax(50);
    EXPECT_EQ(w.GetPositionMax(), 50);
    EXPECT_EQ(w.GetPosition(), 50);
    EXPECT_EQ(rec.Events, (QStringList{"OnPositionOverMax", "OnPositionChange"}));
    EXPECT_EQ(backgroundAtChange, 0) << "the position moves before the static picture is repainted";
    EXPECT_EQ(w.Counters().InvalidateBackGround, 1);
    rec.Events.clear();
    w.SetPositionMax(50);
    EXPECT_TRUE(rec.Events.isEmpty());

    // Fixed extremes stay where they are when the range end moves past them.
    w.SetCurrentMax(50);
    rec.Events.clear();
    w.SetPositionMax(30);
    EXPECT_EQ(w.GetCurrentMax(), 50);
    EXPECT_EQ(rec.Events, QStringList{"OnPositionChange"});
}

TEST(PositionRange, CurrentMinFollowsARaisedMinimum)
{
    TestPosition w;
    w.SetPosition(40);
    EventRecorder rec(&w);
    w.SetPositionMin(10);
    EXPECT_EQ(w.GetCurrentMin(), 10);
    EXPECT_EQ(rec.Events, QStringList{"OnCurrentMinChange"});
    // CurrentMax is clamped into the range; no repaint is requested for it.
    rec.Events.clear();
    w.ResetCounters();
    w.SetCurrentMax(500);
    EXPECT_EQ(w.GetCurrentMax(), 100);
    EXPECT_EQ(rec.Events, QStringList{"OnCurrentMaxChange"});
    EXPECT_EQ(w.Counters().RepaintNow, 0);
    // So is CurrentMin, from either side.
    const struct
    {
        double value, stored;
    } mins[] = {{500, 100}, {-5, 10}, {42, 42}};
    for (const auto &c : mins) {
        w.SetCurrentMin(c.value);
        EXPECT_EQ(w.GetCurrentMin(), c.stored) << c.value;
    }
}

TEST(PositionRange, FractionAndInvertedRange)
{
    TestPosition w;
    w.SetRange(10, 20000);
    EXPECT_EQ(w.PositionFraction(10), 0.0);
    EXPECT_EQ(w.PositionFraction(20000), 1.0);
    EXPECT_EQ(w.PositionFraction(25000), 1.0);
    EXPECT_EQ(w.PositionFraction(5), 0.0);
    EXPECT_DOUBLE_EQ(w.PositionFraction(10005), 0.5);
    w.SetRange(100, 100);
    EXPECT_EQ(w.PositionFraction(100), 0.0);
    EXPECT_EQ(w.PositionFraction(-7), 0.0);

    TestPosition inv;
    inv.SetRange(60, 40); // accepted as is
    EXPECT_EQ(inv.GetPositionMin(), 60);
    EXPECT_EQ(inv.GetPositionMax(), 40);
    EXPECT_EQ(inv.GetPosition(), 60);
    inv.SetPosition(50);
    EXPECT_EQ(inv.GetPosition(), 60) << "the minimum wins";
    inv.SetPosition(10);
    EXPECT_EQ(inv.GetPosition(), 60);
    EXPECT_EQ(inv.PositionFraction(45), 1.0);
    EXPECT_EQ(inv.PositionFraction(40), 0.0);
}

TEST(PositionLoading, RawStoresWithoutClampEventsOrRepaint)
{
    TestPosition w;
    EventRecorder rec(&w);
    w.setLoading(true);
    w.ResetCounters();
    w.SetPosition(500);
    w.SetPositionMax(20);
    w.SetCurrentMax(900);
    EXPECT_EQ(w.GetPosition(), 500);
    EXPECT_EQ(w.GetCurrentMax(), 900);
    EXPECT_TRUE(rec.Events.isEmpty());
    EXPECT_EQ(w.Counters().InvalidateForeGround, 0);
    EXPECT_TRUE(w.ReadStoredValue("PositionMax_2", QVariant(30.0)));
    EXPECT_FALSE(w.ReadStoredValue("Unknown_2", QVariant(1.0)));
    w.Loaded();
    EXPECT_EQ(w.GetPositionMax(), 30);
    EXPECT_EQ(w.GetPosition(), 500) << "no clamp after loading";
    EXPECT_TRUE(rec.Events.isEmpty());
    w.SetPosition(w.GetPosition());
    EXPECT_EQ(w.GetPosition(), 30);
}

TEST(PositionLoading, StoredValuesComeAfterTheParentsInOrder)
{
    TestProgress bar;
    bar.SetPositionMax(0);
    bar.SetSectionEnd1(12.5);
    const auto values = bar.StoredValues();
    ASSERT_EQ(values.size(), 3);
    EXPECT_EQ(values[0].first, "PositionMax_2");
    EXPECT_EQ(values[0].second.toDouble(), 0.0);
    EXPECT_EQ(values[1].first, "SectionEnd1_2");
    EXPECT_EQ(values[1].second.toDouble(), 12.5);
    EXPECT_EQ(values[2].first, "SectionEnd2_2");
    EXPECT_EQ(values[2].second.toDouble(), 75.0);
}

TEST(Progress, SectionSettersRepaintTheForeground)
{
    TestProgress bar;
    // The bar's own colour is the framework face; the LED bar paints black over it.
    EXPECT_EQ(bar.GetBackGroundColor(), canvas::clBtnFace);

    bar.ResetCounters();
    bar.SetSectionCount(0);
    bar.SetSectionCount(4);
    bar.SetSectionCount(1);
    EXPECT_EQ(bar.GetSectionCount(), 1);
    EXPECT_EQ(bar.Counters().InvalidateForeGround, 0);

    const std::function<void()> setters[] = {
        [&] { bar.SetSectionCount(3); },
        [&] { bar.SetSectionEnd1(40); },
        [&] { bar.SetSectionEnd2(80); },
        [&] { bar.SetSectionColor1(canvas::clBlue); },
        [&] { bar.SetSectionColor2(canvas::clBlue); },
        [&] { bar.SetSectionColor3(canvas::clBlue); },
        [&] { bar.SetShowOffSegments(false); },
    };
    for (size_t i = 0; i < std::size(setters); ++i) {
        bar.ResetCounters();
        setters[i]();
        EXPECT_EQ(bar.Counters().InvalidateForeGround, 1) << i;
        EXPECT_EQ(bar.Counters().InvalidateBackGround, 0) << i;
        setters[i](); // the same value again
        EXPECT_EQ(bar.Counters().InvalidateForeGround, 1) << i;
    }
    EXPECT_EQ(bar.GetSectionCount(), 3);
}

namespace {
class LayoutRoot : public QWidget, public core::ComponentState
{
    Q_OBJECT
public:
    explicit LayoutRoot(QWidget *parent = nullptr) : QWidget(parent) {}
};
} // namespace

TEST(PositionLoading, LayoutHoldingPositionMaxOnlyAsItsTwin)
{
    static bool registered = false;
    if (!registered) {
        layout::RegisterClass<TestProgress>("TTestProgress");
        layout::RegisterClass<LayoutRoot>("TLayoutRoot");
        registered = true;
    }
    LayoutRoot root;
    const QString text = QStringLiteral(R"(TLayoutRoot Root {
    TTestProgress Bar1 {
        Left = 3
        Top = 4
        Width = 15
        Height = 237
        Position = 150.0
        SectionEnd1 = 40.0
        PositionMax_2 = 0.0
        SectionEnd1_2 = 45.5
        SectionEnd2_2 = 75.0
    }
})");
    const layout::LayoutResult result = layout::LoadLayoutText(&root, text, "test.layout");
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    auto *bar = root.findChild<TestProgress *>("Bar1");
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isLoading());
    EXPECT_EQ(bar->GetPositionMax(), 0.0);
    EXPECT_EQ(bar->GetPosition(), 150.0) << "stored raw, not clamped";
    EXPECT_EQ(bar->GetSectionEnd1(), 45.5) << "the twin decides";
    EXPECT_EQ(bar->geometry(), QRect(3, 4, 15, 237));
}

#include "PositionTest.moc"
