// Painting of a rectangle hint with the main window's settings (shadow, mask, gradient body
// with frame and text, merge), reported as a ratio ("x_memcpy") to a memcpy of the hint's
// 24-bit bitmap measured in the same run.
#include "tests/hints/HintTestUtil.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
#include <vector>

namespace {

double CpuNow()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double MemcpySeconds(size_t bytes)
{
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

// Each run starts from the captured screen, as every activation does.
void ComposeHint(benchmark::State &state, const QString &text)
{
    hinttest::FakeDesktop desk;
    auto manager = hinttest::MainWindowManager();
    hints::TsSimplyHintWindow window;
    const framework::TRect r = window.CalcHintRect(manager->MaxWidth(), text);
    window.ActivateHint(r, text);
    const QImage screen = manager->sStyle()->WorkBitmap().copy();
    const double copy = MemcpySeconds(size_t(screen.sizeInBytes()));
    double spent = 0;
    int64_t count = 0;
    for (auto _ : state) {
        const double start = CpuNow();
        manager->sStyle()->WorkBitmap() = screen;
        window.Compose();
        benchmark::DoNotOptimize(manager->sStyle()->WorkBitmap().constBits());
        spent += CpuNow() - start;
        ++count;
    }
    window.hide();
    state.counters["x_memcpy"] = count ? (spent / double(count)) / copy : 0.0;
    state.counters["memcpy_ns"] = copy * 1e9;
    state.counters["width"] = r.Width();
    state.counters["height"] = r.Height();
}

void BM_RectangleHintWithText(benchmark::State &state)
{
    ComposeHint(state, QStringLiteral("Сигнал генератора включен. Частота сигнала 440 Гц.  Уровень громкости "
                                      "сигнала 80."));
}
BENCHMARK(BM_RectangleHintWithText);

// The pixel work alone: a blank line of text.
void BM_RectangleHintPixels(benchmark::State &state)
{
    ComposeHint(state, QString(60, QLatin1Char(' ')));
}
BENCHMARK(BM_RectangleHintPixels);

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
