#pragma once

#include "core/Setter.h"

#include <QObject>
#include <cstdint>

// Enumerations shared by the instrument widgets. Enumerations of a single widget live in
// that widget's class (Q_ENUM); this namespace carries the meta-object for the shared ones.
namespace widgets {
Q_NAMESPACE

enum TiBevelStyle : uint8_t { ibsNone = 0, ibsRaised = 1, ibsLowered = 2 };
Q_ENUM_NS(TiBevelStyle)

enum TiTickMinorAlignment { itmnaInside = 0, itmnaCenter = 1, itmnaOutside = 2 };
Q_ENUM_NS(TiTickMinorAlignment)

enum TiPrecisionStyle { ipsSignificantDigits = 0, ipsFixedDecimalPoints = 1 };
Q_ENUM_NS(TiPrecisionStyle)

enum TiAutoScaleStyle { iassAutoMinMax = 0, iassFixedMinMax = 1 };
Q_ENUM_NS(TiAutoScaleStyle)

} // namespace widgets

#include <functional>

namespace widgets {

// Date-time in days, as the widgets' repaint and wheel gates measure it.
double Now();

// Replaces the clock behind Now(); an empty function restores the system clock. Tests drive
// time through this instead of sleeping.
void SetNowFunction(std::function<double()> now);

// Setters compare and store through the shared helper.
using core::Assign;

constexpr double kMSecsPerDay = 24.0 * 60.0 * 60.0 * 1000.0;

// Milliseconds between two date-times, to the microsecond: days carry too few bits to give
// exactly 30 for two times 30 ms apart.
double ElapsedMs(double From, double To);

} // namespace widgets
