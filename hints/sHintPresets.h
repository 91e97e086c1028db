#pragma once

#include "canvas/Colors.h"
#include "hints/sConst.h"

namespace hints {

// One row of the preset table: what a named preset sets on the manager and its style.
struct TsHintPreset
{
    TsHintStyle style;
    int bevel, marginH, marginV, maxWidth, blur;
    int exOffset, radius; // -1: left as it was
    canvas::TColor colorActive;
    int paintingTransparency;     // -1: left as it was
    canvas::TColor colorInActive; // clNone: left as it was
    TBgStyle mode;
    int layout; // -1: left as it was
    bool gradientColors;
    canvas::TColor color1, color2;
    int percent1, percent2;
    bool borderColors;
    canvas::TColor borderTop, borderBottom;
    int shadowBlur, shadowOffset, shadowTransparency;
    bool bold;
    int fontHeight; // 0: left as it was
    canvas::TColor fontColor;
};

// The row of a preset from shSimply on; the others set no values.
const TsHintPreset &HintPreset(TsHintsPredefinitions preset);

} // namespace hints
