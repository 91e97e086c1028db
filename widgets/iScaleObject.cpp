#include "widgets/iScaleObject.h"

namespace widgets {

TiScaleObject::TiScaleObject(QObject *owner)
    : QObject(owner), FTickMajorColor(canvas::clBlack), FTickMinorColor(canvas::clBlack),
      FTickLabelFont(new canvas::TFont(this))
{
    connect(FTickLabelFont, &canvas::TFont::OnChange, this, [this](QObject *) { Changed(); });
}

void TiScaleObject::Changed()
{
    if (OnChange)
        OnChange();
}

void TiScaleObject::SetShowTicksMajor(bool Value)
{
    if (!core::Assign(FShowTicksMajor, Value))
        return;
    Changed();
}

void TiScaleObject::SetShowTicksMinor(bool Value)
{
    if (!core::Assign(FShowTicksMinor, Value))
        return;
    Changed();
}

void TiScaleObject::SetShowTickLabels(bool Value)
{
    if (!core::Assign(FShowTickLabels, Value))
        return;
    Changed();
}

// The comparison uses the value passed in, the store its clamped form: a value that clamps to
// the stored one still notifies.
void TiScaleObject::SetTickMajorCount(int Value)
{
    if (FTickMajorCount == Value)
        return;
    FTickMajorCount = Value < 2 ? 2 : (Value > 100 ? 100 : Value);
    Changed();
}

void TiScaleObject::SetTickMajorColor(canvas::TColor Value)
{
    if (!core::Assign(FTickMajorColor, Value))
        return;
    Changed();
}

void TiScaleObject::SetTickMajorLength(int Value)
{
    if (FTickMajorLength == Value)
        return;
    FTickMajorLength = Value <= 0 ? 1 : Value;
    Changed();
}

void TiScaleObject::SetTickMinorCount(int Value)
{
    if (FTickMinorCount == Value)
        return;
    FTickMinorCount = Value <= 0 ? 1 : (Value > 100 ? 100 : Value);
    Changed();
}

void TiScaleObject::SetTickMinorColor(canvas::TColor Value)
{
    if (!core::Assign(FTickMinorColor, Value))
        return;
    Changed();
}

void TiScaleObject::SetTickMinorLength(int Value)
{
    if (FTickMinorLength == Value)
        return;
    FTickMinorLength = Value <= 0 ? 1 : Value;
    Changed();
}

void TiScaleObject::SetTickMinorAlignment(TiTickMinorAlignment Value)
{
    if (!core::Assign(FTickMinorAlignment, Value))
        return;
    Changed();
}

void TiScaleObject::SetTickMargin(int Value)
{
    if (!core::Assign(FTickMargin, Value))
        return;
    Changed();
}

void TiScaleObject::SetTickLabelMargin(int Value)
{
    if (!core::Assign(FTickLabelMargin, Value))
        return;
    Changed();
}

void TiScaleObject::SetTickLabelPrecision(int Value)
{
    if (FTickLabelPrecision == Value)
        return;
    FTickLabelPrecision = Value < 0 ? 0 : Value;
    Changed();
}

void TiScaleObject::SetPrecisionStyle(TiPrecisionStyle Value)
{
    if (!core::Assign(FPrecisionStyle, Value))
        return;
    Changed();
}

void TiScaleObject::SetTickLabelFont(canvas::TFont *Value)
{
    // The owned font reports its own changes.
    if (Value && Value != FTickLabelFont)
        FTickLabelFont->Assign(*Value);
}

} // namespace widgets
