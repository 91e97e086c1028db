#pragma once

// The light button's face: one painter per style behind DrawFace, which reads nothing from a
// control, so every state can be drawn and probed without a widget.

#include "canvas/Canvas.h"
#include "canvas/Colors.h"
#include "canvas/Fonts.h"
#include "controls/Controls.h"
#include "lbbutton/LbButtons.h"

#include <QImage>

namespace lbbutton {

// The shape style's background: the colour the button leaves transparent.
constexpr canvas::TColor FaceKeyColor = 0xFF00FF;

// Everything DrawFace needs; nothing is read from a control.
struct TLbFaceParams
{
    int W = 0;
    int H = 0;
    controls::TAlignment Alignment = controls::taCenter;
    QString Caption;
    TLbButtonLayout Layout = blGlyphLeft;
    const canvas::TFont *Font = nullptr; // null: the canvas font as it is
    canvas::TColor ShadowColor = canvas::clGray;
    canvas::TColor LightColor = canvas::clWhite;
    canvas::TColor HotTrackColor = canvas::clNone;
    canvas::TColor ColorWhenDown = canvas::clNone;
    canvas::TColor Color = canvas::clBtnFace;
    TLbButtonStyle Style = bsNormal;
    bool HasPopup = false;
    bool WordWrap = false;
    bool Flat = false;
    bool Enabled = true;
    bool SkipBackground = false;
    bool Hot = false;
    bool Down = false;
    QImage Glyph;
    int NumGlyphs = 0;
    int FadeLevel = 0;
};

// Each channel Trunc((1 - t) * colour + t * hot) with t = fadeLevel / 8.
canvas::TColor HotTrackMix(canvas::TColor color, canvas::TColor hot, int fadeLevel);
// 32 horizontal bands from a to b over the box (left, top, right, bottom exclusive).
void DrawGradient(canvas::Canvas &canvas, canvas::TColor a, canvas::TColor b, const canvas::TRect &box);
void DrawFace(canvas::Canvas &canvas, const TLbFaceParams &p);
// One cell (x .. x + gw - 1) of a glyph strip, drawn with its bottom-left colour transparent.
void DrawGlyphCell(canvas::Canvas &canvas, const QImage &strip, int cellX, int gw, int gh, int gx, int gy);

} // namespace lbbutton
