#pragma once

// Enumerations of the light button, streamed by name, and the tables behind its colour
// presets and stock kinds.

#include "canvas/Colors.h"

#include <QByteArray>
#include <QObject>

namespace lbbutton {
Q_NAMESPACE

enum TLbButtonStyle { bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken };
Q_ENUM_NS(TLbButtonStyle)

enum TLbButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
Q_ENUM_NS(TLbButtonLayout)

enum TLbButtonKind {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};
Q_ENUM_NS(TLbButtonKind)

enum TLbColorStyle {
    lcsCustom,
    lcsGold,
    lcsChrome,
    lcsBlue,
    lcsRed,
    lcsUltraFlat1,
    lcsUltraFlat2,
    lcsUltraFlatXP,
    lcsAqua,
    lcsDefault,
    lcsQuicken
};
Q_ENUM_NS(TLbColorStyle)

struct TLbColorPreset
{
    canvas::TColor Color;
    canvas::TColor LightColor;
    canvas::TColor ShadowColor;
    canvas::TColor ColorWhenDown;
    canvas::TColor HotTrackColor;
    bool Flat;
    TLbButtonStyle Style;
    canvas::TColor FontColor;
};

// Values of a preset other than lcsCustom (lcsCustom answers the lcsDefault values, unused).
TLbColorPreset ColorPreset(TLbColorStyle style);

struct TLbKindInfo
{
    int ModalResult;
    const char *Resource; // bitmap resource name
    QByteArray Caption;   // single-byte Western encoding
};

// bkCustom answers an empty entry.
TLbKindInfo KindInfo(TLbButtonKind kind);

// The caption bytes decoded as the single-byte Western code page they are written in.
QString DecodeWestern(const QByteArray &bytes);

} // namespace lbbutton
