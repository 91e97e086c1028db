#pragma once

// Enumerations and fixed values shared by the hint manager, its style objects and the mark-up.

#include "canvas/Colors.h"

#include <QObject>
#include <QString>

namespace hints {

class TsHintEnums
{
    Q_GADGET
public:
    enum TsHintStyle { hsSimply, hsComics, hsEllipse, hsBalloon, hsStandard, hsNone };
    Q_ENUM(TsHintStyle)
    enum TsHintsPredefinitions {
        shSimply,
        shGradient,
        shTransparent,
        shEllipse,
        shBalloon,
        shComicsGradient,
        shComicsTransparent,
        shStandard,
        shNone,
        shCustom
    };
    Q_ENUM(TsHintsPredefinitions)
    enum TBgStyle { bgsNone, bgsImage, bgsGradient, bgsTransparent };
    Q_ENUM(TBgStyle)
    enum TGradientTypes { gtTopBottom, gtLeftRight, gtAsBorder };
    Q_ENUM(TGradientTypes)
    enum TsGradientMode { gmFixed, gmPercent };
    Q_ENUM(TsGradientMode)
    // Bevel of the painting (stored, not drawn by hint windows).
    enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
    Q_ENUM(TBevelCut)
    enum TsControlBevel { bsRaised, bsLowered, bsFlat1, bsFlat2 };
    Q_ENUM(TsControlBevel)
    enum TsSelectionMode { smBorder = 0x1, smColor = 0x2 };
    Q_DECLARE_FLAGS(TsSelectionModes, TsSelectionMode)
    Q_FLAG(TsSelectionModes)
};

using TsHintStyle = TsHintEnums::TsHintStyle;
using TsHintsPredefinitions = TsHintEnums::TsHintsPredefinitions;
using TBgStyle = TsHintEnums::TBgStyle;
using TGradientTypes = TsHintEnums::TGradientTypes;
using TsGradientMode = TsHintEnums::TsGradientMode;

// The application's hint timing as the manager sets it, in milliseconds.
inline constexpr int DefaultHintPause = 500;
inline constexpr int DefaultHintShortPause = 200;
// The toolkit's own hide pause, before any manager sets PauseHide.
inline constexpr int ToolkitHintHidePause = 2500;

// The rectangle hint opens this far below the pointer.
inline constexpr int SimplyHintDrop = 16;
// The tail's tip sits this far in from the window corner nearest the pointer.
inline constexpr int TailTipInset = 3;

// Mark-up font sizes are points at this resolution.
inline constexpr int MarkupPixelsPerInch = 96;

// Colour names of the mark-up; false when `upperName` is none of them.
bool MarkupColorByName(const QString &upperName, canvas::TColor &color);

} // namespace hints
