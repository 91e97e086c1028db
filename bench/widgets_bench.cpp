// Paint costs of the front-panel widgets with the main window's settings, each reported as a
// ratio ("x_memcpy") to a memcpy of the same widget's image measured in the same run.
#include "MemcpyBaseline.h"
#include "OffscreenMain.h"
#include "tests/widgets/FrequencyKnob.h"
#include "widgets/iKnob.h"
#include "widgets/iLedBar.h"
#include "widgets/iSevenSegmentAnalog.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include <vector>

using namespace widgets;

namespace {

using bench::Measure;

// One mouse move of a drag: a position change, then the repaint from the cached picture.
void BM_KnobDragRepaint(benchmark::State &state)
{
    TiKnob k;
    Knob1(k);
    QImage target(k.size(), QImage::Format_RGB32);
    canvas::Canvas canvas(&target);
    k.iPaintTo(canvas); // builds the cache
    double value = 0;
    Measure(state, k.width(), k.height(), [&] {
        value = value >= 20000 ? 0 : value + 37;
        k.SetPosition(value);
        k.iPaintTo(canvas);
        benchmark::DoNotOptimize(target.constBits());
    });
}
BENCHMARK(BM_KnobDragRepaint);

// Rebuild of the static picture: background, shaded body, ticks and labels.
void BM_KnobStaticRebuild(benchmark::State &state)
{
    TiKnob k;
    Knob1(k);
    QImage target(k.size(), QImage::Format_RGB32);
    canvas::Canvas canvas(&target);
    k.iPaintTo(canvas);
    Measure(state, k.width(), k.height(), [&] {
        k.InvalidateBackGround();
        k.iPaintTo(canvas);
        benchmark::DoNotOptimize(target.constBits());
    });
}
BENCHMARK(BM_KnobStaticRebuild);

void BM_LedBarPaint(benchmark::State &state)
{
    TiLedBar b;
    b.resize(15, 237);
    b.SetPositionMin(10);
    b.SetPositionMax(20000);
    b.SetPosition(14000);
    b.SetBackGroundColor(10197915);
    b.SetSectionCount(3);
    b.SetSectionEnd1(12000);
    b.SetSectionEnd2(16000);
    b.SetSectionColor1(4980546);
    b.SetSegmentMargin(1);
    b.SetSegmentSize(3);
    b.SetSegmentSpacing(1);
    b.SetBorderStyle(ibsRaised);
    QImage target(b.size(), QImage::Format_RGB32);
    canvas::Canvas canvas(&target);
    Measure(state, b.width(), b.height(), [&] {
        b.iPaintTo(canvas);
        benchmark::DoNotOptimize(target.constBits());
    });
}
BENCHMARK(BM_LedBarPaint);

void BM_FiveDigitReadoutPaint(benchmark::State &state)
{
    TiSevenSegmentAnalog d;
    d.SetAutoSize(false);
    d.resize(127, 40);
    d.SetDigitCount(5);
    d.SetPrecision(0);
    d.SetShowSign(false);
    d.SetSegmentColor(4651058);
    d.SetBorderStyle(ibsLowered);
    d.SetValue(12345);
    QImage target(d.size(), QImage::Format_RGB32);
    canvas::Canvas canvas(&target);
    Measure(state, d.width(), d.height(), [&] {
        d.iPaintTo(canvas);
        benchmark::DoNotOptimize(target.constBits());
    });
}
BENCHMARK(BM_FiveDigitReadoutPaint);

} // namespace

int main(int argc, char **argv)
{
    return bench::RunOffscreen(argc, argv);
}

// One 10 ms step of the activity bar as the window makes it: the position moves on and the
// repaint goes through the toolkit's update, paint and flush (offscreen); most steps light or dim
// one segment, some none.
void BM_ActivityBarStep(benchmark::State &state)
{
    TiLedBar b;
    b.SetSegmentDirection(TiLedBar::idRight);
    b.resize(211, 35);
    b.SetBackGroundColor(9726300);
    b.SetSectionCount(3);
    b.SetSegmentMargin(1);
    b.SetSegmentSize(1);
    b.SetBorderStyle(ibsLowered);
    b.show();
    QApplication::processEvents();
    int step = 0;
    Measure(state, b.width(), b.height(), [&] {
        step = (step + 1) % 100;
        b.SetPosition(step);
        QApplication::processEvents();
    });
}
BENCHMARK(BM_ActivityBarStep);
