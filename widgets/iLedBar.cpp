#include "widgets/iLedBar.h"

#include "widgets/iGPFunctions.h"
#include "widgets/iMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace widgets {

namespace {

int Saturate(int64_t v)
{
    return int(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Nearest integer, halves to even, saturated; NaN counts as 0.
int RoundSaturated(double v)
{
    const double r = RoundHalfEvenD(v);
    if (r != r)
        return 0;
    return int(
        std::clamp(r, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max())));
}

// The same for a value kept in extended precision, rounded once there.
int RoundSaturated(long double v)
{
    const long double r = std::nearbyintl(v);
    if (r != r)
        return 0;
    return int(std::clamp(r, static_cast<long double>(std::numeric_limits<int>::min()),
                          static_cast<long double>(std::numeric_limits<int>::max())));
}

} // namespace

// --- layout -----------------------------------------------------------------------------

canvas::TRect TiLedBarLayout::Segment(int Index) const
{
    const int64_t dx = int64_t(StepX) * Index, dy = int64_t(StepY) * Index;
    return canvas::TRect(Saturate(First.Left + dx), Saturate(First.Top + dy), Saturate(First.Right + dx),
                         Saturate(First.Bottom + dy));
}

int TiLedBarLayout::SectionOf(int Index, int SectionCount) const
{
    if (SectionCount > 2 && Index >= End2)
        return 3;
    if (SectionCount > 1 && Index >= End1)
        return 2;
    return 1;
}

TiLedBarLayout ComputeLedBarLayout(const TiLedBarInput &In)
{
    TiLedBarLayout lay;
    int64_t left = 0, top = 0, right = In.Width, bottom = In.Height;
    if (In.Bevel) {
        left += 2;
        top += 2;
        right -= 2;
        bottom -= 2;
    }
    const bool vertical = In.Direction == TiLedBar::idUp || In.Direction == TiLedBar::idDown;
    const int64_t m = In.Margin, z = In.Size;
    // The fixed +2 stands in for the gap the last segment does not need.
    const int64_t length = (vertical ? bottom - top : right - left) - 2 * m + 2;
    const int64_t step = z + In.Spacing;
    lay.Length = Saturate(length);
    lay.Step = Saturate(step);
    int64_t c = 0;
    if (step != 0) {
        lay.Count = Saturate(length / step);
        c = (length % step) / 2;
        lay.Offset = Saturate(c);
    }
    // Product and sum stay in extended precision: 0.4 x 55 lies a hair above 22, which double
    // precision would flatten into an exact tie and round down to the even 22.
    lay.Lit = RoundSaturated(static_cast<long double>(In.Fraction) * lay.Count + 0.5L);
    if (In.PositionMax != In.PositionMin && lay.Count != 0) {
        const double span = In.PositionMax - In.PositionMin;
        lay.End1 = RoundSaturated((In.SectionEnd1 - In.PositionMin) / span * lay.Count);
        lay.End2 = RoundSaturated((In.SectionEnd2 - In.PositionMin) / span * lay.Count);
    }
    switch (In.Direction) {
    case TiLedBar::idUp:
        lay.First = {Saturate(left + m), Saturate(bottom - c - m - z), Saturate(right - m),
                     Saturate(bottom - c - m)};
        lay.StepY = -lay.Step;
        break;
    case TiLedBar::idDown:
        lay.First = {Saturate(left + m), Saturate(top + c + m), Saturate(right - m),
                     Saturate(top + c + m + z)};
        lay.StepY = lay.Step;
        break;
    case TiLedBar::idRight:
        // Horizontal bars start flush at the margin; the remainder stays at the far end.
        lay.First = {Saturate(left + m), Saturate(top + m), Saturate(left + m + z), Saturate(bottom - m)};
        lay.StepX = lay.Step;
        break;
    case TiLedBar::idLeft:
        lay.First = {Saturate(right - m - z), Saturate(top + m), Saturate(right - m), Saturate(bottom - m)};
        lay.StepX = -lay.Step;
        break;
    }
    return lay;
}

// --- widget -----------------------------------------------------------------------------

TiLedBar::TiLedBar(QWidget *parent) : TiProgressComponent(parent)
{
    resize(16, 200);
    FBackGroundColor = canvas::clBlack;
}

void TiLedBar::SetSegmentDirection(TiDirection Value)
{
    if (FSegmentDirection == Value)
        return;
    const auto isVertical = [](TiDirection d) { return d == idUp || d == idDown; };
    if (!isLoading() && isVertical(Value) != isVertical(FSegmentDirection)) {
        const int oldWidth = width(), oldHeight = height();
        resize(oldHeight, height());
        resize(width(), oldWidth);
        if (OnOrientationChange)
            OnOrientationChange(this);
    }
    FSegmentDirection = Value;
    InvalidateForeGround();
}

void TiLedBar::SetSegmentSize(int Value)
{
    if (Assign(FSegmentSize, Value))
        InvalidateForeGround();
}

void TiLedBar::SetSegmentSpacing(int Value)
{
    if (Assign(FSegmentSpacing, Value))
        InvalidateForeGround();
}

void TiLedBar::SetSegmentMargin(int Value)
{
    if (Assign(FSegmentMargin, Value))
        InvalidateForeGround();
}

void TiLedBar::SetSegmentStyle(TiLedBarSegmentStyle Value)
{
    if (Assign(FSegmentStyle, Value))
        InvalidateForeGround();
}

namespace {

// Range of segment indices whose rectangles can touch the image along the bar's axis; the
// others are skipped without drawing, so odd margins or sizes never cost a long loop.
void VisibleRange(const TiLedBarLayout &lay, int extent, int end, int &from, int &to)
{
    from = 0;
    to = end;
    const bool horizontal = lay.StepX != 0;
    const double step = horizontal ? lay.StepX : lay.StepY;
    if (step == 0)
        return;
    const double lo =
        horizontal ? std::min(lay.First.Left, lay.First.Right) : std::min(lay.First.Top, lay.First.Bottom);
    const double hi =
        horizontal ? std::max(lay.First.Left, lay.First.Right) : std::max(lay.First.Top, lay.First.Bottom);
    // Segment i covers [lo + i*step, hi + i*step]; keep those overlapping [-2, extent + 2].
    double a = (-2 - hi) / step, b = (extent + 2 - lo) / step;
    if (a > b)
        std::swap(a, b);
    from = int(std::clamp(std::floor(a), 0.0, double(end)));
    to = int(std::clamp(std::ceil(b) + 1, 0.0, double(end)));
}

} // namespace

TiLedBarLayout TiLedBar::LayoutAt(double Fraction) const
{
    TiLedBarInput in;
    in.Width = width();
    in.Height = height();
    in.Bevel = FBorderStyle == ibsRaised || FBorderStyle == ibsLowered;
    in.Direction = FSegmentDirection;
    in.Margin = FSegmentMargin;
    in.Size = FSegmentSize;
    in.Spacing = FSegmentSpacing;
    in.Fraction = Fraction;
    in.PositionMin = FPositionMin;
    in.PositionMax = FPositionMax;
    in.SectionEnd1 = FSectionEnd1;
    in.SectionEnd2 = FSectionEnd2;
    return ComputeLedBarLayout(in);
}

TiLedBarLayout TiLedBar::CurrentLayout() const
{
    return LayoutAt(GetPositionPercent());
}

bool TiLedBar::DrawsAlike(double A, double B) const
{
    const auto shown = [this](double Position) {
        const TiLedBarLayout lay = LayoutAt(GetPositionPercent(Position));
        return std::clamp(lay.Lit, 0, std::max(lay.Count, 0));
    };
    return !PaintedOver() && shown(A) == shown(B);
}

void TiLedBar::InvalidatePosition()
{
    const TiLedBarLayout lay = CurrentLayout();
    const bool sameGeometry = FPaintedValid && !PaintedOver() && lay.First == FPaintedFirst &&
                              lay.StepX == FPaintedStepX && lay.StepY == FPaintedStepY &&
                              lay.Count == FPaintedCount;
    if (!sameGeometry) {
        InvalidateForeGround();
        return;
    }
    const int from = std::clamp(std::min(lay.Lit, FPaintedLit), 0, std::max(lay.Count, 0));
    const int to = std::clamp(std::max(lay.Lit, FPaintedLit), 0, std::max(lay.Count, 0));
    if (from == to)
        return;
    // Along the bar the changed segments widened by a segment's size (circles and triangles are
    // centred on their box); across it the whole widget.
    const canvas::TRect a = lay.Segment(from), b = lay.Segment(to - 1);
    const int64_t z = std::abs(int64_t(FSegmentSize)) + 1;
    const bool horizontal = lay.StepX != 0;
    const int64_t lo = horizontal ? std::min<int64_t>({a.Left, a.Right, b.Left, b.Right}) - z
                                  : std::min<int64_t>({a.Top, a.Bottom, b.Top, b.Bottom}) - z;
    const int64_t hi = horizontal ? std::max<int64_t>({a.Left, a.Right, b.Left, b.Right}) + z
                                  : std::max<int64_t>({a.Top, a.Bottom, b.Top, b.Bottom}) + z;
    const int extent = horizontal ? width() : height();
    const int start = int(std::clamp<int64_t>(lo, 0, extent));
    const int end = int(std::clamp<int64_t>(hi, 0, extent));
    if (start >= end)
        return;
    InvalidateForeGround(horizontal ? QRect(start, 0, end - start, height())
                                    : QRect(0, start, width(), end - start));
}

void TiLedBar::iPaintTo(canvas::Canvas &Canvas)
{
    DrawBackGround(Canvas, FBackGroundColor);
    const TiLedBarLayout lay = CurrentLayout();
    FPaintedFirst = lay.First;
    FPaintedStepX = lay.StepX;
    FPaintedStepY = lay.StepY;
    FPaintedCount = lay.Count;
    FPaintedLit = lay.Lit;
    FPaintedValid = true;

    // Without off segments the bar stops at the first unlit one.
    const int end = FShowOffSegments ? lay.Count : std::clamp(lay.Lit, 0, std::max(lay.Count, 0));
    int from = 0, to = 0;
    VisibleRange(lay, lay.StepX != 0 ? width() : height(), std::max(end, 0), from, to);

    // Drawing coordinates are kept within a range where no sum below can overflow; shapes
    // that far out lie off the image anyway.
    constexpr int far = 1 << 26;
    const auto pin = [](int64_t v) { return int(std::clamp<int64_t>(v, -far, far)); };
    const int z = pin(FSegmentSize);
    const int h = z / 2;
    Canvas.Brush.Style = canvas::bsSolid;
    Canvas.Pen.Style = canvas::psSolid;
    Canvas.Pen.Width = 1;
    for (int i = from; i < to; ++i) {
        const int section = lay.SectionOf(i, FSectionCount);
        const canvas::TColor colour =
            section == 3 ? FSectionColor3 : (section == 2 ? FSectionColor2 : FSectionColor1);
        const bool on = i < lay.Lit;
        const canvas::TColor fill = on ? colour : DimColor(colour, 3);
        Canvas.Brush.Color = fill;
        Canvas.Pen.Color = fill;
        const canvas::TRect seg = lay.Segment(i);
        const canvas::TRect r(pin(seg.Left), pin(seg.Top), pin(seg.Right), pin(seg.Bottom));
        const int cx = (r.Left + r.Right) / 2;
        const int cy = (r.Top + r.Bottom) / 2;
        switch (FSegmentStyle) {
        case ilbssRectangle:
            Canvas.Rectangle(r);
            break;
        case ilbssCircle: {
            const int bl = cx - h, bt = cy - h, br = cx - h + z, bb = cy - h + z;
            Canvas.Ellipse(bl, bt, br, bb);
            // A glint in the upper-left quarter.
            Canvas.Pen.Color = on ? canvas::clWhite : colour;
            const int q = z / 4;
            for (int inset : {q, q + 1})
                Canvas.Arc(bl + inset, bt + inset, br - inset, bb - inset, br - h, bt, bl, bb - h);
            break;
        }
        case ilbssTriangle:
            switch (FSegmentDirection) {
            case idUp:
                Canvas.Polygon({QPoint(cx - h, r.Bottom), QPoint(cx + h, r.Bottom), QPoint(cx, r.Top)});
                break;
            case idDown:
                Canvas.Polygon({QPoint(cx - h, r.Top), QPoint(cx + h, r.Top), QPoint(cx, r.Bottom)});
                break;
            case idRight:
                Canvas.Polygon({QPoint(r.Left, cy - h), QPoint(r.Left, cy + h), QPoint(r.Right, cy)});
                break;
            case idLeft:
                Canvas.Polygon({QPoint(r.Right, cy - h), QPoint(r.Right, cy + h), QPoint(r.Left, cy)});
                break;
            }
            break;
        }
    }
}

} // namespace widgets
