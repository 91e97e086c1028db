// Canvas costs on a knob-sized widget image, each reported as a ratio to a plain memcpy of the
// same image measured in the same run (counter "x_memcpy").
#include "canvas/Canvas.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

using namespace canvas;

namespace {

constexpr int kWidth = 208;
constexpr int kHeight = 178;

double g_memcpyNs = 0; // one image memcpy, nanoseconds of thread CPU time

// Thread CPU time: the machine is shared, so wall-clock ratios would measure the neighbours.
double cpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e9 + double(ts.tv_nsec);
}

double measureMemcpyNs()
{
    std::vector<uint8_t> a(size_t(kWidth) * kHeight * 4, 1), b(a.size());
    std::vector<double> rounds;
    for (int round = 0; round < 31; ++round) {
        constexpr int n = 1000;
        const double t0 = cpuNs();
        for (int i = 0; i < n; ++i) {
            std::memcpy(b.data(), a.data(), a.size());
            benchmark::DoNotOptimize(b.data());
            benchmark::ClobberMemory();
        }
        rounds.push_back((cpuNs() - t0) / n);
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}

// Runs `body` per iteration and reports its mean time over the memcpy baseline.
template <typename Body> void timed(benchmark::State &state, Body &&body)
{
    int64_t n = 0;
    const double t0 = cpuNs();
    for (auto _ : state) {
        body();
        ++n;
    }
    const double ns = (cpuNs() - t0) / double(std::max<int64_t>(n, 1));
    state.counters["x_memcpy"] = g_memcpyNs > 0 ? ns / g_memcpyNs : 0;
}

void BM_Memcpy(benchmark::State &state)
{
    std::vector<uint8_t> a(size_t(kWidth) * kHeight * 4, 1), b(a.size());
    timed(state, [&] {
        std::memcpy(b.data(), a.data(), a.size());
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    });
}

void BM_FillWidget(benchmark::State &state)
{
    Canvas c(kWidth, kHeight);
    c.Brush = TBrush{clBtnFace, bsSolid};
    timed(state, [&] {
        c.FillRect(TRect(0, 0, kWidth, kHeight));
        benchmark::DoNotOptimize(c.Image().constBits());
    });
}

void BM_CopyWidget(benchmark::State &state)
{
    Canvas src(kWidth, kHeight), dst(kWidth, kHeight);
    src.Brush.Color = clNavy;
    src.FillRect(TRect(0, 0, kWidth, kHeight));
    timed(state, [&] {
        dst.Draw(0, 0, src.Image());
        benchmark::DoNotOptimize(dst.Image().constBits());
    });
}

void BM_KnobEllipse(benchmark::State &state)
{
    Canvas c(kWidth, kHeight);
    c.Brush = TBrush{clBtnFace, bsSolid};
    c.Pen.Color = clBlack;
    timed(state, [&] {
        c.Ellipse(24, 9, 184, 169);
        benchmark::DoNotOptimize(c.Image().constBits());
    });
}

void BM_KnobEllipseWidePen(benchmark::State &state)
{
    Canvas c(kWidth, kHeight);
    c.Brush.Style = bsClear;
    c.Pen.Width = 2;
    timed(state, [&] {
        c.Ellipse(24, 9, 184, 169);
        benchmark::DoNotOptimize(c.Image().constBits());
    });
}

void BM_ThousandRandomLines(benchmark::State &state)
{
    Canvas c(kWidth, kHeight);
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> x(-20, kWidth + 20), y(-20, kHeight + 20);
    std::vector<QPoint> pts(2000);
    for (QPoint &p : pts)
        p = QPoint(x(rng), y(rng));
    timed(state, [&] {
        for (size_t i = 0; i < pts.size(); i += 2) {
            c.MoveTo(pts[i].x(), pts[i].y());
            c.LineTo(pts[i + 1].x(), pts[i + 1].y());
        }
        benchmark::DoNotOptimize(c.Image().constBits());
    });
}

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_FillWidget);
BENCHMARK(BM_CopyWidget);
BENCHMARK(BM_KnobEllipse);
BENCHMARK(BM_KnobEllipseWidePen);
BENCHMARK(BM_ThousandRandomLines);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_memcpyNs = measureMemcpyNs();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
