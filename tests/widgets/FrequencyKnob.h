#pragma once

// The frequency knob of the main window, on a plain background so pixels can be probed; shared by
// the knob tests and the widget benchmarks.

#include "widgets/iKnob.h"

inline void Knob1(widgets::TiKnob &k)
{
    k.resize(208, 178);
    k.SetPositionMax(20000);
    k.SetMinMaxFixed(true);
    k.SetKnobRadius(44);
    k.SetAutoSize(false);
    k.SetIndicatorMargin(7);
    k.SetIndicatorActiveColor(canvas::clRed);
    k.SetIndicatorInactiveColor(canvas::clGreen);
    k.SetTickMajorCount(6);
    k.SetTickMajorColor(canvas::clRed);
    k.SetTickMajorLength(2);
    k.SetTickMinorCount(10);
    k.SetTickMinorColor(canvas::clBlack);
    k.SetTickMinorAlignment(widgets::itmnaCenter);
    k.GetTickLabelFont()->setColor(canvas::clMaroon);
    k.GetTickLabelFont()->setHeight(-11);
    k.SetShowFocusRect(false);
}
