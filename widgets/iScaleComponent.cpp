#include "widgets/iScaleComponent.h"

#include "widgets/iMath.h"

#include <cmath>
#include <cstdlib>

namespace widgets {

namespace autoscale {

namespace {

bool NiceStep(double step)
{
    const double k = std::trunc(std::log10(step));
    const double m = step / std::pow(10.0, k);
    switch (RoundHalfEven(m * 1000.0)) {
    case 100:
    case 200:
    case 250:
    case 500:
    case 750:
    case 1000:
    case 2000:
    case 2500:
    case 5000:
    case 7500:
        return true;
    default:
        return false;
    }
}

double Unit(double span)
{
    double u = std::pow(10.0, std::trunc(std::log10(span)));
    if (span < 1.0)
        u /= 10.0;
    return u;
}

} // namespace

int TickCount(double Span, int Ceiling, int Desired)
{
    int best = Ceiling + 1;
    for (int c = 2; c <= Ceiling; ++c) {
        if (!NiceStep(Span / (c - 1)))
            continue;
        // Later (larger) counts win ties.
        if (best > Ceiling || std::abs(Desired - c) <= std::abs(Desired - best))
            best = c;
    }
    return best;
}

Result AutoMinMax(double Lo, double Hi, int Desired, int MaxTicks)
{
    if (Lo == Hi)
        return {true, Lo, Hi, 2};
    const double s = std::fabs(Hi - Lo);
    const double u = Unit(s);
    for (int i = 2; i <= 40; ++i) {
        const double l = u * 0.5 * i;
        if (s > l)
            continue;
        const int c = TickCount(l, MaxTicks, Desired);
        if (c > MaxTicks)
            continue;
        const double g = l / (c - 1);
        double a = 0.0;
        double b = 0.0;
        if (Hi > 0 && Lo < 0) {
            a = l;
            while (a > Lo)
                a -= g;
            b = a + l;
        } else if (Hi > 0) {
            b = 0.0;
            while (b < Hi)
                b += g;
            a = b - l;
            while (a < 0) {
                a += g;
                b += g;
            }
        } else {
            a = 0.0;
            while (a > Lo)
                a -= g;
            b = a + l;
            if (b > 0) {
                a -= g;
                b -= g;
            }
        }
        if (b >= Hi && a <= Lo)
            return {true, a, b, c};
    }
    return {};
}

Result FixedMinMax(double Lo, double Hi, int Desired, int MaxTicks)
{
    if (Lo == Hi)
        return {true, Lo, Hi, 2};
    const double s = std::fabs(Hi - Lo);
    const double u = Unit(s);
    for (int n = 100; n >= 2; --n) {
        const double l = u * 0.1 * n;
        if (s < l)
            continue;
        for (int t = MaxTicks; t >= 2; --t) {
            const int c = TickCount(l, t, Desired);
            if (c > t)
                continue;
            const double g = l / (c - 1);
            double a = 0.0;
            double b = 0.0;
            if (Hi > 0 && Lo < 0) {
                a = l;
                while (a >= Lo)
                    a -= g;
                a += g;
                b = a + l;
            } else if (Lo >= 0) {
                a = 0.0;
                while (a < Lo)
                    a += g;
                b = a + l;
            } else {
                b = 0.0;
                while (b > Hi)
                    b -= g;
                a = b - l;
            }
            if (b <= Hi && a >= Lo && b + g > Hi)
                return {true, a, b, c};
        }
    }
    return {};
}

} // namespace autoscale

TiScaleComponent::TiScaleComponent(QWidget *parent)
    : TiPositionComponent(parent), FScale(new TiScaleObject(this))
{
    FScale->OnChange = [this] { InvalidateBackGround(); };
    FScale->SetPrecisionStyle(ipsFixedDecimalPoints);
    FScale->SetShowTicksMajor(true);
    FScale->SetShowTicksMinor(true);
    FScale->SetShowTickLabels(true);
}

void TiScaleComponent::SetPositionMin(double Value)
{
    if (Value == FPositionMin)
        return;
    if (FAutoScaleEnabled && !isLoading())
        DoAutoScale(Value, FPositionMax);
    else
        TiPositionComponent::SetPositionMin(Value);
}

void TiScaleComponent::SetPositionMax(double Value)
{
    if (Value == FPositionMax)
        return;
    if (FAutoScaleEnabled && !isLoading())
        DoAutoScale(FPositionMin, Value);
    else
        TiPositionComponent::SetPositionMax(Value);
}

int TiScaleComponent::GetTickLabelDecimals() const
{
    const int p = FScale->GetTickLabelPrecision();
    if (FScale->GetPrecisionStyle() == ipsFixedDecimalPoints)
        return p;
    if (p <= 0)
        return 0;
    const double s = std::fabs(FPositionMax - FPositionMin);
    int d = s == 0.0 ? 0 : p - (static_cast<int>(std::trunc(std::log10(s))) + 1);
    if (s < 1.0)
        d += 1;
    return d < 0 ? 0 : d;
}

void TiScaleComponent::DoAutoScale(double Lo, double Hi)
{
    if (!FAutoScaleEnabled || isLoading())
        return;
    if (FAutoScaleStyle == iassAutoMinMax) {
        const autoscale::Result r = autoscale::AutoMinMax(Lo, Hi, FAutoScaleDesiredTicks, FAutoScaleMaxTicks);
        if (!r.Found) {
            // No nice grid: the requested range stands and the tick count is kept.
            SetRange(Lo, Hi);
            return;
        }
        SetRange(r.Min, r.Max);
        FScale->SetTickMajorCount(r.Count);
        return;
    }
    const autoscale::Result r = autoscale::FixedMinMax(Lo, Hi, FAutoScaleDesiredTicks, FAutoScaleMaxTicks);
    SetRange(Lo, Hi);
    if (!r.Found)
        return;
    FNiceMin = r.Min;
    FNiceMax = r.Max;
    FScale->SetNiceRange(r.Min, r.Max);
    InvalidateBackGround();
    FScale->SetTickMajorCount(r.Count);
}

void TiScaleComponent::SetAutoScaleEnabled(bool Value)
{
    if (!core::Assign(FAutoScaleEnabled, Value))
        return;
    InvalidateBackGround();
    DoAutoScale(FPositionMin, FPositionMax);
}

void TiScaleComponent::SetAutoScaleDesiredTicks(int Value)
{
    if (Value < 2 || FAutoScaleDesiredTicks == Value)
        return;
    FAutoScaleDesiredTicks = Value;
    DoAutoScale(FPositionMin, FPositionMax);
}

void TiScaleComponent::SetAutoScaleMaxTicks(int Value)
{
    if (Value < 2 || FAutoScaleMaxTicks == Value)
        return;
    FAutoScaleMaxTicks = Value;
    DoAutoScale(FPositionMin, FPositionMax);
}

void TiScaleComponent::SetAutoScaleStyle(TiAutoScaleStyle Value)
{
    if (!core::Assign(FAutoScaleStyle, Value))
        return;
    InvalidateBackGround();
    DoAutoScale(FPositionMin, FPositionMax);
}

void TiScaleComponent::Loaded()
{
    TiPositionComponent::Loaded();
    DoAutoScale(FPositionMin, FPositionMax);
}

} // namespace widgets
