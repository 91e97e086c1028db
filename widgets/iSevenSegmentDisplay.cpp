#include "widgets/iSevenSegmentDisplay.h"

#include <algorithm>

namespace widgets {

TiSevenSegmentDisplay::TiSevenSegmentDisplay(QWidget *parent)
    : TiVCLComponent(parent), FSegmentColor(canvas::clWhite), FSegmentOffColor(canvas::clGray)
{
    resize(15, 15);
    FBackGroundColor = canvas::clBlack;
    FPainter = new TiSevenSegmentCharacter(this);
    FPainter->hide();
    // Held for good: the painter only draws into the display's canvas, never on its own.
    FPainter->BeginUpdate();
    FPainter->SetSegmentMargin(0);
    FPainter->SetAutoSize(false);
}

void TiSevenSegmentDisplay::SetAutoSize(bool Value)
{
    if (!core::Assign(FAutoSize, Value))
        return;
    DoAutoSize();
    InvalidateForeGround();
}

void TiSevenSegmentDisplay::SetDigitSpacing(int Value)
{
    if (!core::Assign(FDigitSpacing, Value))
        return;
    DoAutoSize();
    InvalidateForeGround();
}

void TiSevenSegmentDisplay::SetDigitCount(int Value)
{
    if (FDigitCount == Value)
        return;
    FDigitCount = std::clamp(Value, 1, 32);
    DoAutoSize();
    InvalidateForeGround();
}

void TiSevenSegmentDisplay::SetLeadingStyle(TiLeadingStyle Value)
{
    if (Assign(FLeadingStyle, Value))
        InvalidateForeGround();
}

void TiSevenSegmentDisplay::SetSegmentMargin(int Value)
{
    if (FSegmentMargin == Value)
        return;
    FSegmentMargin = std::max(Value, 0);
    DoAutoSize();
    InvalidateForeGround();
}

void TiSevenSegmentDisplay::SetSegmentColor(canvas::TColor Value)
{
    if (!core::Assign(FSegmentColor, Value))
        return;
    FPainter->SetSegmentColor(Value);
    InvalidateForeGround();
}

void TiSevenSegmentDisplay::SetSegmentSeperation(int Value)
{
    if (FSegmentSeperation == Value)
        return;
    FSegmentSeperation = std::max(Value, 0);
    FPainter->SetSegmentSeperation(FSegmentSeperation);
    InvalidateForeGround();
}

void TiSevenSegmentDisplay::SetSegmentSize(int Value)
{
    if (FSegmentSize == Value)
        return;
    FSegmentSize = std::clamp(Value, 1, 100);
    FPainter->SetSegmentSize(FSegmentSize);
    DoAutoSize();
    InvalidateForeGround();
}

void TiSevenSegmentDisplay::SetShowOffSegments(bool Value)
{
    if (Assign(FShowOffSegments, Value))
        InvalidateForeGround();
}

void TiSevenSegmentDisplay::SetPowerOff(bool Value)
{
    if (Assign(FPowerOff, Value))
        InvalidateForeGround();
}

void TiSevenSegmentDisplay::SetSegmentOffColor(canvas::TColor Value)
{
    if (!core::Assign(FSegmentOffColor, Value))
        return;
    FPainter->SetSegmentOffColor(Value);
    InvalidateForeGround();
}

void TiSevenSegmentDisplay::SetAutoSegmentOffColor(bool Value)
{
    if (!core::Assign(FAutoSegmentOffColor, Value))
        return;
    FPainter->SetAutoSegmentOffColor(Value);
    InvalidateForeGround();
}

void TiSevenSegmentDisplay::DoAutoSize()
{
    if (!FAutoSize || isLoading())
        return;
    const QSize preferred = GetPreferredSize();
    resize(preferred.width(), height());
    resize(width(), preferred.height());
    if (OnResize)
        OnResize(this);
}

void TiSevenSegmentDisplay::ConfigurePainter()
{
    FPainter->SetSegmentMargin(0);
    FPainter->SetSegmentColor(FSegmentColor);
    FPainter->SetSegmentOffColor(FSegmentOffColor);
    FPainter->SetAutoSegmentOffColor(FAutoSegmentOffColor);
    FPainter->SetSegmentSize(FSegmentSize);
    FPainter->SetSegmentSeperation(FSegmentSeperation);
    FPainter->SetShowOffSegments(FShowOffSegments);
    FPainter->SetPowerOff(FPowerOff);
}

} // namespace widgets
