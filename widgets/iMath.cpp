#include "widgets/iMath.h"

#include <cmath>
#include <numbers>

namespace widgets {

double RadToDeg(double radians)
{
    return radians * kRadToDeg;
}

double DegToRad(double degrees)
{
    return degrees * kDegToRad;
}

double ArcTan2(double y, double x)
{
    const double a = std::atan2(y, x);
    // atan2 yields -pi for a negative zero y on the negative x axis; the half-open range wants +pi.
    return a == -std::numbers::pi ? std::numbers::pi : a;
}

double RoundHalfEvenD(double value)
{
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

int RoundHalfEven(double value)
{
    return static_cast<int>(RoundHalfEvenD(value));
}

} // namespace widgets
