// Paint cost of a framed caption and the uncached render of the About box gradient, each
// reported as a ratio ("x_memcpy") to a memcpy of the same widget's image in the same run.
#include "MemcpyBaseline.h"
#include "OffscreenMain.h"
#include "widgets/iGradient.h"
#include "widgets/iLabel.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include <vector>

using namespace widgets;

namespace {

using bench::Measure;

// The frequency caption of the main window.
void BM_LabelPaint(benchmark::State &state)
{
    TiLabel l;
    l.SetAutoSize(false);
    l.SetBounds(53, 10, 125, 15);
    l.SetBorderStyle(TiLabel::ilbsSingle);
    l.SetCaption(QStringLiteral("Частота сигнала Гц "));
    l.GetFont()->setHeight(11);
    l.GetFont()->setStyle(canvas::TFont::fsBold);
    l.GetFont()->setColor(canvas::clNavy);
    l.SetBackGroundColor(canvas::clSilver);
    l.SetShadowColor(canvas::clSilver);
    QImage target(l.size(), QImage::Format_RGB32);
    canvas::Canvas canvas(&target);
    Measure(state, l.width(), l.height(), [&] {
        l.iPaintTo(canvas);
        benchmark::DoNotOptimize(target.constBits());
    });
}
BENCHMARK(BM_LabelPaint);

// The About box backdrop rendered from scratch, as every paint does without the cache.
void BM_AboutGradientUncachedRender(benchmark::State &state)
{
    TiGradient g;
    g.SetBounds(0, 0, 273, 153);
    g.SetColorStart(12615808);
    g.SetColorStop(4194304);
    g.SetCachedDrawing(false);
    QImage target(g.size(), QImage::Format_RGB32);
    canvas::Canvas canvas(&target);
    Measure(state, g.width(), g.height(), [&] {
        g.iPaintTo(canvas);
        benchmark::DoNotOptimize(target.constBits());
    });
}
BENCHMARK(BM_AboutGradientUncachedRender);

// The same gradient served from its cache, for comparison.
void BM_AboutGradientCachedPaint(benchmark::State &state)
{
    TiGradient g;
    g.SetBounds(0, 0, 273, 153);
    g.SetColorStart(12615808);
    g.SetColorStop(4194304);
    QImage target(g.size(), QImage::Format_RGB32);
    canvas::Canvas canvas(&target);
    g.iPaintTo(canvas);
    Measure(state, g.width(), g.height(), [&] {
        g.iPaintTo(canvas);
        benchmark::DoNotOptimize(target.constBits());
    });
}
BENCHMARK(BM_AboutGradientCachedPaint);

} // namespace

int main(int argc, char **argv)
{
    return bench::RunOffscreen(argc, argv);
}
