#pragma once

namespace widgets {

constexpr double kRadToDeg = 57.295779513082320877;
constexpr double kDegToRad = 0.017453292519943295769;

double RadToDeg(double radians);
double DegToRad(double degrees);

// Angle of (x, y) in radians, quadrant from both signs, in (-pi, pi].
double ArcTan2(double y, double x);

// Nearest integer, halves to the even neighbour.
int RoundHalfEven(double value);
double RoundHalfEvenD(double value);

} // namespace widgets
