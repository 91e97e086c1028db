// Paint costs of the front-panel widgets with the main window's settings, each reported as a
// ratio ("x_memcpy") to a memcpy of the same widget's image measured in the same run.
#include "tests/widgets/FrequencyKnob.h"
#include "widgets/iKnob.h"
#include "widgets/iLedBar.h"
#include "widgets/iSevenSegmentAnalog.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
#include <vector>

using namespace widgets;

namespace {

// CPU time of this thread, so other work on a shared machine does not count.
double CpuNow()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Mean time of one memcpy of a width x height 32-bit image.
double MemcpySeconds(int width, int height)
{
    const size_t bytes = size_t(width) * size_t(height) * 4;
    std::vector<uint8_t> from(bytes, 1), to(bytes, 0);
    const int calls = 20000;
    for (int i = 0; i < 100; ++i) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
    }
    const double start = CpuNow();
    for (int i = 0; i < calls; ++i) {
        from[size_t(i) % bytes] = uint8_t(i);
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    return (CpuNow() - start) / calls;
}

// Runs `body` for the benchmark's iterations and reports its mean time against the memcpy.
template <class Body> void Measure(benchmark::State &state, int width, int height, Body body)
{
    const double copy = MemcpySeconds(width, height);
    double spent = 0;
    int64_t count = 0;
    for (auto _ : state) {
        const double start = CpuNow();
        body();
        spent += CpuNow() - start;
        ++count;
    }
    state.counters["x_memcpy"] = count ? (spent / double(count)) / copy : 0.0;
    state.counters["memcpy_ns"] = copy * 1e9;
}

// One mouse move of a drag: a position change, then the repaint from the cached picture.
void BM_KnobDragRepaint(benchmark::State &state)
{
    TiKnob k;
    Knob1(k);
    QImage target(k.size(), QImage::Format_RGB32);
    framework::Canvas canvas(&target);
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
    framework::Canvas canvas(&target);
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
    framework::Canvas canvas(&target);
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
    framework::Canvas canvas(&target);
    Measure(state, d.width(), d.height(), [&] {
        d.iPaintTo(canvas);
        benchmark::DoNotOptimize(target.constBits());
    });
}
BENCHMARK(BM_FiveDigitReadoutPaint);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
