// Painting of a rectangle hint with the main window's settings (shadow, mask, gradient body
// with frame and text, merge), reported as a ratio ("x_memcpy") to a memcpy of the hint's
// 24-bit bitmap measured in the same run.
#include "MemcpyBaseline.h"
#include "OffscreenMain.h"
#include "tests/hints/HintTestUtil.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <vector>

namespace {

using bench::CpuNow;
using bench::MemcpySeconds;

// Each run starts from the captured screen, as every activation does.
void ComposeHint(benchmark::State &state, const QString &text)
{
    hinttest::FakeDesktop desk;
    auto manager = hinttest::MainWindowManager();
    hints::TsSimplyHintWindow window;
    const canvas::TRect r = window.CalcHintRect(manager->MaxWidth(), text);
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
    return bench::RunOffscreen(argc, argv);
}
