#include "hints/sHintPresets.h"

namespace hints {

using E = TsHintEnums;
using namespace canvas;

namespace {

// clang-format off
const TsHintPreset presets[] = {
    // shSimply
    {E::hsSimply, 1, 4, 4, 240, 0, -1, -1, clInfoBk, 0, clNone, E::bgsNone, -1, false, 0, 0, 0, 0, true, clBtnHighlight, clBlack, 4, 8, 50, false, 11, clBlack},
    // shGradient
    {E::hsSimply, 5, 8, 5, 240, 3, -1, -1, 11992314, 10, clNone, E::bgsGradient, E::gtAsBorder, true, 2917517, clWhite, 1, 99, true, 15532031, 2917517, 15, 10, 0, false, 0, clBlack},
    // shTransparent
    {E::hsSimply, 0, 18, 16, 240, 15, -1, -1, 11992314, 15, clNone, E::bgsTransparent, -1, false, 0, 0, 0, 0, false, 0, 0, 15, 15, 70, false, 0, clBlack},
    // shEllipse
    {E::hsEllipse, 1, 6, 12, 200, 0, 26, -1, 12778748, 5, clNone, E::bgsTransparent, -1, false, 0, 0, 0, 0, true, clBlack, clBlack, 4, 16, 74, false, 0, clBlack},
    // shBalloon
    {E::hsBalloon, 1, 11, 13, 240, 0, 25, -1, 12778748, 7, 11983836, E::bgsTransparent, E::gtLeftRight, true, 15532031, 12629912, 50, 50, true, clBlack, clBlack, 2, 9, 50, false, 0, clBlack},
    // shComicsGradient
    {E::hsComics, 1, 18, 12, 180, 0, 24, 25, 12778748, -1, clNone, E::bgsGradient, E::gtTopBottom, true, 12566013, 11072187, 50, 50, true, clWhite, 16711680, 10, 7, 28, false, 0, clBlack},
    // shComicsTransparent
    {E::hsComics, 1, 18, 12, 180, 0, 24, 15, 12778748, 10, clNone, E::bgsTransparent, -1, true, 12566013, 11072187, 50, 50, true, 8219458, 8219458, 10, 17, 70, true, 0, 8219458},
};
// clang-format on

} // namespace

const TsHintPreset &HintPreset(TsHintsPredefinitions preset)
{
    return presets[preset];
}

} // namespace hints
