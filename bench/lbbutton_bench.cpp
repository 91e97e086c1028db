// Paint cost of the start button (188 x 38, bsModern, caption and glyph) as a ratio
// ("x_memcpy") to a memcpy of its image measured in the same run.
#include "MemcpyBaseline.h"
#include "OffscreenMain.h"
#include "lbbutton/LbButton.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include <vector>

using namespace lbbutton;

namespace {

using bench::Measure;

void StartButton(TLbButton &b)
{
    b.resize(188, 38);
    b.setColor(14680029);
    b.SetColorWhenDown(9215487);
    b.SetStyle(bsModern);
    b.SetFlat(true);
    b.SetLayout(blGlyphRight);
    b.SetHotTrackColor(8441834);
    b.SetLightColor(16369081);
    b.SetShadowColor(canvas::clBlack);
    b.SetUseHotTrackFont(true);
    b.Font()->setHeight(15);
    b.Font()->setStyle(canvas::TFont::fsBold);
    b.Font()->setColor(canvas::clBlack);
    b.SetCaption(QString::fromUtf8("Включить сигнал "));
    b.SetGlyph(QStringLiteral("glyph_start.xpm"));
}

// The whole Paint: off-screen face, transparent key, copy to the control's canvas.
void BM_ModernButtonPaint(benchmark::State &state)
{
    QWidget parent;
    auto *b = new TLbButton(&parent);
    StartButton(*b);
    Measure(state, b->width(), b->height(), [&] {
        b->Paint();
        benchmark::DoNotOptimize(b->CanvasImage().constBits());
    });
}
BENCHMARK(BM_ModernButtonPaint);

// One fade step's face: the mixed colour through DrawFace alone.
void BM_ModernFaceDuringFade(benchmark::State &state)
{
    QWidget parent;
    auto *b = new TLbButton(&parent);
    StartButton(*b);
    TLbFaceParams p;
    p.W = 188;
    p.H = 38;
    p.Style = bsModern;
    p.Caption = b->Caption();
    p.Layout = blGlyphRight;
    p.Font = b->Font();
    p.ShadowColor = canvas::clBlack;
    p.LightColor = 16369081;
    p.HotTrackColor = 8441834;
    p.Color = 14680029;
    p.Flat = true;
    p.Glyph = b->GlyphImage();
    p.NumGlyphs = 1;
    canvas::Canvas canvas(188, 38);
    int level = 8;
    Measure(state, 188, 38, [&] {
        p.FadeLevel = level = level == 0 ? 8 : level - 1;
        DrawFace(canvas, p);
        benchmark::DoNotOptimize(canvas.Image().constBits());
    });
}
BENCHMARK(BM_ModernFaceDuringFade);

} // namespace

int main(int argc, char **argv)
{
    return bench::RunOffscreen(argc, argv);
}
