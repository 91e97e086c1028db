#include "widgets/iGradient.h"

#include "widgets/iMath.h"

#include <algorithm>

namespace widgets {

namespace {

// Patterns whose colours run from ColorStop to ColorStart.
bool Reversed(TiFillDirection d)
{
    switch (d) {
    case TiGradient::ifdBottomTop:
    case TiGradient::ifdRightLeft:
    case TiGradient::ifdBottomRightTopLeft:
    case TiGradient::ifdTopRightBottomLeft:
    case TiGradient::ifdRectangleIn:
    case TiGradient::ifdCircleIn:
        return true;
    default:
        return false;
    }
}

int PenWidth(TiFillDirection d)
{
    switch (d) {
    case TiGradient::ifdRectangleOut:
    case TiGradient::ifdRectangleIn:
        return 2;
    case TiGradient::ifdCircleOut:
    case TiGradient::ifdCircleIn:
        return 16;
    default:
        return 1;
    }
}

} // namespace

int GradientSteps(TiFillDirection Direction, int Width, int Height)
{
    const int m = std::max(Width, Height);
    switch (Direction) {
    case TiGradient::ifdTopBottom:
    case TiGradient::ifdBottomTop:
        return Height - 1;
    case TiGradient::ifdLeftRight:
    case TiGradient::ifdRightLeft:
        return Width - 1;
    case TiGradient::ifdTopLeftBottomRight:
    case TiGradient::ifdBottomRightTopLeft:
    case TiGradient::ifdBottomLeftTopRight:
    case TiGradient::ifdTopRightBottomLeft:
        return 2 * (m - 1);
    case TiGradient::ifdRectangleOut:
    case TiGradient::ifdRectangleIn:
        return (m - 1) / 3;
    case TiGradient::ifdCircleOut:
    case TiGradient::ifdCircleIn:
        return (m - 1) / 8;
    }
    return 0;
}

TiGradient::TiGradient(QWidget *parent)
    : TiVCLComponent(parent), FColorStart(canvas::clBlue), FColorStop(canvas::clBlack)
{
    resize(96, 96);
}

void TiGradient::SetDirection(TiFillDirection Value)
{
    if (!Assign(FDirection, Value))
        return;
    FNeedsRender = true;
    InvalidateForeGround();
}

void TiGradient::SetColorStart(canvas::TColor Value)
{
    if (!Assign(FColorStart, Value))
        return;
    FNeedsRender = true;
    InvalidateForeGround();
}

void TiGradient::SetColorStop(canvas::TColor Value)
{
    if (!Assign(FColorStop, Value))
        return;
    FNeedsRender = true;
    InvalidateForeGround();
}

void TiGradient::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TiVCLComponent::SetBounds(ALeft, ATop, AWidth, AHeight);
    FNeedsRender = true;
}

// Alignment and the layout reader size the widget without SetBounds.
void TiGradient::BoundsChanged(bool Moved, bool Resized)
{
    TiVCLComponent::BoundsChanged(Moved, Resized);
    FNeedsRender = true;
}

void TiGradient::iPaintTo(canvas::Canvas &Canvas)
{
    if (!GetCachedDrawing()) {
        Render(Canvas);
        return;
    }
    // A cache just created (CachedDrawing switched on again) holds nothing yet.
    const QImage *old = BackGroundCacheImage();
    const bool fresh = !old || old->size() != size();
    QImage &cache = EnsureBackGroundCache();
    if (FNeedsRender || fresh) {
        // The diagonal patterns leave their last end points unpainted; show the same white
        // there as an uncached paint does, not what an earlier pattern left.
        cache.fill(Qt::white);
        canvas::Canvas cacheCanvas(&cache);
        Render(cacheCanvas);
    }
    Canvas.Draw(0, 0, cache);
}

void TiGradient::Render(canvas::Canvas &Canvas)
{
    const int w = width();
    const int h = height();
    const int w1 = w - 1;
    const int h1 = h - 1;
    const int n = GradientSteps(FDirection, w, h);

    Canvas.Brush.Style = canvas::bsClear;
    Canvas.Pen.Style = canvas::psSolid;
    Canvas.Pen.Width = PenWidth(FDirection);

    if (n > 0) {
        // The stored low bytes, system colours unresolved.
        const canvas::TColor from = Reversed(FDirection) ? FColorStop : FColorStart;
        const canvas::TColor to = Reversed(FDirection) ? FColorStart : FColorStop;
        const double fromC[3] = {double(canvas::GetRValue(from)), double(canvas::GetGValue(from)),
                                 double(canvas::GetBValue(from))};
        const double toC[3] = {double(canvas::GetRValue(to)), double(canvas::GetGValue(to)),
                               double(canvas::GetBValue(to))};
        const double hw = w1 / 2.0;
        const double hh = h1 / 2.0;
        for (int i = 0; i <= n; ++i) {
            const double t = double(i) / n;
            const double rest = double(n - i) / n;
            int c[3];
            for (int k = 0; k < 3; ++k)
                c[k] = RoundHalfEven(t * toC[k] + rest * fromC[k]);
            Canvas.Pen.Color = canvas::TColor(c[0] + 256 * c[1] + 65536 * c[2]);

            switch (FDirection) {
            case ifdTopBottom:
            case ifdBottomTop:
                Canvas.MoveTo(0, i);
                Canvas.LineTo(w, i);
                break;
            case ifdLeftRight:
            case ifdRightLeft:
                Canvas.MoveTo(i, 0);
                Canvas.LineTo(i, h);
                break;
            case ifdTopLeftBottomRight:
            case ifdBottomRightTopLeft:
                Canvas.MoveTo(RoundHalfEven(2 * t * w1) - 1, 0);
                Canvas.LineTo(-1, RoundHalfEven(2 * t * h1));
                break;
            case ifdBottomLeftTopRight:
            case ifdTopRightBottomLeft:
                Canvas.MoveTo(0, h1 - RoundHalfEven(2 * t * h1));
                Canvas.LineTo(RoundHalfEven(2 * t * w1), h1);
                break;
            case ifdRectangleOut:
            case ifdRectangleIn:
                Canvas.Rectangle(RoundHalfEven(hw - t * hw), RoundHalfEven(hh + t * hh),
                                 RoundHalfEven(hw + t * hw), RoundHalfEven(hh - t * hh));
                break;
            case ifdCircleOut:
            case ifdCircleIn: {
                // 1.414 lets the last rings reach the corners.
                const double s = 1.414 * t;
                Canvas.Ellipse(RoundHalfEven(hw - s * hw), RoundHalfEven(hh + s * hh),
                               RoundHalfEven(hw + s * hw), RoundHalfEven(hh - s * hh));
                break;
            }
            }
        }
        if (FDirection == ifdRectangleOut)
            Canvas.SetPixel(w / 2 - 1, h / 2 - 1, FColorStart);
        else if (FDirection == ifdRectangleIn)
            Canvas.SetPixel(w / 2 - 1, h / 2 - 1, FColorStop);
    }
    Canvas.Pen.Width = 1;
    FNeedsRender = false;
    ++FRenderCount;
}

} // namespace widgets
