// Start-up costs of the main window: reading both stored layouts into new forms, and the first
// paint of the main form (every cache still cold). Each is reported as a ratio ("x_memcpy") to a
// memcpy of the main window's image measured in the same run.
#include "MemcpyBaseline.h"
#include "app/LayoutClasses.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "controls/Application.h"
#include "layout/LayoutReader.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using bench::CpuNow;

template <class Form> std::unique_ptr<Form> Load(const char *file)
{
    auto form = std::make_unique<Form>();
    const layout::LayoutResult result =
        layout::LoadLayout(form.get(), controls::ResourcePath(QString::fromLatin1(file)));
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(result.error));
        std::exit(1);
    }
    return form;
}

// The window size the ratios are taken against: the main form as its layout stores it.
QSize MainWindowSize()
{
    static const QSize size = Load<app::TForm1>("Form1.layout")->size();
    return size;
}

void Report(benchmark::State &state, double spent, int64_t count)
{
    const QSize size = MainWindowSize();
    const double copy = bench::MemcpySeconds(size.width(), size.height());
    state.counters["x_memcpy"] = count ? (spent / double(count)) / copy : 0.0;
    state.counters["memcpy_ns"] = copy * 1e9;
}

void BM_LayoutReading(benchmark::State &state)
{
    double spent = 0;
    int64_t count = 0;
    for (auto _ : state) {
        const double start = CpuNow();
        auto main = Load<app::TForm1>("Form1.layout");
        auto about = Load<app::TForm2>("Form2.layout");
        spent += CpuNow() - start;
        ++count;
        state.PauseTiming();
        main.reset();
        about.reset();
        state.ResumeTiming();
    }
    Report(state, spent, count);
}
BENCHMARK(BM_LayoutReading);

void BM_FirstPaint(benchmark::State &state)
{
    double spent = 0;
    int64_t count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto main = Load<app::TForm1>("Form1.layout");
        QImage target(main->size(), QImage::Format_RGB32);
        state.ResumeTiming();
        const double start = CpuNow();
        main->render(&target);
        spent += CpuNow() - start;
        ++count;
        benchmark::DoNotOptimize(target.constBits());
        state.PauseTiming();
        main.reset();
        state.ResumeTiming();
    }
    Report(state, spent, count);
}
BENCHMARK(BM_FirstPaint);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    controls::TApplication application(argc, argv);
    application.Initialize();
    app::RegisterLayoutClasses();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
