#include "hints/sStylePassive.h"

#include <algorithm>

namespace hints {

// Compare, store, report once.
#define HINTS_SETTER(Class, Name, Type)                                                                      \
    void Class::Set##Name(Type Value)                                                                        \
    {                                                                                                        \
        if (F##Name == Value)                                                                                \
            return;                                                                                          \
        F##Name = Value;                                                                                     \
        Changed();                                                                                           \
    }

HINTS_SETTER(TPassiveGradient, Color1, canvas::TColor)
HINTS_SETTER(TPassiveGradient, Color2, canvas::TColor)
HINTS_SETTER(TPassiveGradient, Layout, TGradientTypes)
HINTS_SETTER(TPassiveGradient, Mode, TsGradientMode)
HINTS_SETTER(TPassiveGradient, Width, int)
HINTS_SETTER(TPassiveGradient, Invert, bool)

void TPassiveGradient::SetPercent1(int Value)
{
    Value = std::clamp(Value, 0, 100);
    if (FPercent1 == Value)
        return;
    FPercent1 = Value;
    FPercent2 = std::min(FPercent2, 100 - Value);
    Changed();
}

void TPassiveGradient::SetPercent2(int Value)
{
    Value = std::clamp(Value, 0, 100);
    if (FPercent2 == Value)
        return;
    FPercent2 = Value;
    FPercent1 = std::min(FPercent1, 100 - Value);
    Changed();
}

TsPassiveBackground::TsPassiveBackground(QObject *owner)
    : TsStylePart(owner), FGradient(new TPassiveGradient(this))
{
    connect(FGradient, &TsStylePart::OnChange, this, [this] { Changed(); });
}

HINTS_SETTER(TsPassiveBackground, Mode, TBgStyle)
HINTS_SETTER(TsPassiveBackground, ListenMSG, bool)

void TsPassiveBackground::SetImage(const QImage &Value)
{
    if (FImage == Value)
        return;
    FImage = Value;
    Changed();
}

HINTS_SETTER(TsPassiveShadow, Enabled, bool)
HINTS_SETTER(TsPassiveShadow, Color, canvas::TColor)
HINTS_SETTER(TsPassiveShadow, Offset, int)
HINTS_SETTER(TsPassiveShadow, Blur, int)

void TsPassiveShadow::SetTransparency(int Value)
{
    Value = std::clamp(Value, 0, 100);
    if (FTransparency == Value)
        return;
    FTransparency = Value;
    Changed();
}

HINTS_SETTER(TsPassivePainting, ColorActive, canvas::TColor)
HINTS_SETTER(TsPassivePainting, ColorInActive, canvas::TColor)
HINTS_SETTER(TsPassivePainting, ColorBorderTop, canvas::TColor)
HINTS_SETTER(TsPassivePainting, ColorBorderBottom, canvas::TColor)
HINTS_SETTER(TsPassivePainting, Transparency, int)
HINTS_SETTER(TsPassivePainting, Bevel, TsHintEnums::TBevelCut)

HINTS_SETTER(TsControlBorder, Width, int)
HINTS_SETTER(TsControlBorder, Bevel, TsHintEnums::TsControlBevel)

TsControlSelection::TsControlSelection(QObject *owner)
    : TsStylePart(owner), FBorder(new TsControlBorder(this))
{
    connect(FBorder, &TsStylePart::OnChange, this, [this] { Changed(); });
}

HINTS_SETTER(TsControlSelection, Mode, TsHintEnums::TsSelectionModes)

TsPassivePaintStyle::TsPassivePaintStyle(QObject *owner)
    : TsStylePart(owner), FBackground(new TsPassiveBackground(this)), FShadow(new TsPassiveShadow(this)),
      FPainting(new TsPassivePainting(this)), FSelection(new TsControlSelection(this))
{
    for (TsStylePart *part : {static_cast<TsStylePart *>(FBackground), static_cast<TsStylePart *>(FShadow),
                              static_cast<TsStylePart *>(FPainting), static_cast<TsStylePart *>(FSelection)})
        connect(part, &TsStylePart::OnChange, this, &TsPassivePaintStyle::PartChanged);
}

HINTS_SETTER(TsPassivePaintStyle, GroupIndex, int)

void TsPassivePaintStyle::PartChanged(QObject *)
{
    ++FChangeCount;
    Changed();
}

#undef HINTS_SETTER

} // namespace hints
