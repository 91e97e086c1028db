#include "hints/sStylePassive.h"

#include <algorithm>

namespace hints {

void TPassiveGradient::SetPercent1(int Value)
{
    Value = std::clamp(Value, 0, 100);
    if (!core::Assign(FPercent1, Value))
        return;
    FPercent2 = std::min(FPercent2, 100 - Value);
    Changed();
}

void TPassiveGradient::SetPercent2(int Value)
{
    Value = std::clamp(Value, 0, 100);
    if (!core::Assign(FPercent2, Value))
        return;
    FPercent1 = std::min(FPercent1, 100 - Value);
    Changed();
}

TsPassiveBackground::TsPassiveBackground(QObject *owner)
    : TsStylePart(owner), FGradient(new TPassiveGradient(this))
{
    connect(FGradient, &TsStylePart::OnChange, this, [this] { Changed(); });
}

void TsPassiveBackground::SetImage(const QImage &Value)
{
    if (core::Assign(FImage, Value))
        Changed();
}

void TsPassiveShadow::SetTransparency(int Value)
{
    Value = std::clamp(Value, 0, 100);
    if (core::Assign(FTransparency, Value))
        Changed();
}

TsControlSelection::TsControlSelection(QObject *owner)
    : TsStylePart(owner), FBorder(new TsControlBorder(this))
{
    connect(FBorder, &TsStylePart::OnChange, this, [this] { Changed(); });
}

TsPassivePaintStyle::TsPassivePaintStyle(QObject *owner)
    : TsStylePart(owner), FBackground(new TsPassiveBackground(this)), FShadow(new TsPassiveShadow(this)),
      FPainting(new TsPassivePainting(this)), FSelection(new TsControlSelection(this))
{
    for (TsStylePart *part : {static_cast<TsStylePart *>(FBackground), static_cast<TsStylePart *>(FShadow),
                              static_cast<TsStylePart *>(FPainting), static_cast<TsStylePart *>(FSelection)})
        connect(part, &TsStylePart::OnChange, this, &TsPassivePaintStyle::PartChanged);
}

void TsPassivePaintStyle::PartChanged(QObject *)
{
    ++FChangeCount;
    Changed();
}

} // namespace hints
