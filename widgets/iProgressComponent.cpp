#include "widgets/iProgressComponent.h"

namespace widgets {

TiProgressComponent::TiProgressComponent(QWidget *parent)
    : TiPositionComponent(parent), FSectionColor1(canvas::clLime), FSectionColor2(canvas::clYellow),
      FSectionColor3(canvas::clRed)
{
    SetBounds(x(), y(), 16, 200);
}

void TiProgressComponent::SetSectionColor1(canvas::TColor Value)
{
    if (Assign(FSectionColor1, Value))
        InvalidateForeGround();
}

void TiProgressComponent::SetSectionColor2(canvas::TColor Value)
{
    if (Assign(FSectionColor2, Value))
        InvalidateForeGround();
}

void TiProgressComponent::SetSectionColor3(canvas::TColor Value)
{
    if (Assign(FSectionColor3, Value))
        InvalidateForeGround();
}

void TiProgressComponent::SetSectionEnd1(double Value)
{
    if (Assign(FSectionEnd1, Value))
        InvalidateForeGround();
}

void TiProgressComponent::SetSectionEnd2(double Value)
{
    if (Assign(FSectionEnd2, Value))
        InvalidateForeGround();
}

void TiProgressComponent::SetSectionCount(int Value)
{
    if (Value < 1 || Value > 3 || FSectionCount == Value)
        return;
    FSectionCount = Value;
    InvalidateForeGround();
}

void TiProgressComponent::SetShowOffSegments(bool Value)
{
    if (Assign(FShowOffSegments, Value))
        InvalidateForeGround();
}

bool TiProgressComponent::ReadStoredValue(const QString &name, const QVariant &value)
{
    double *field = nullptr;
    if (name == QLatin1String("SectionEnd1_2"))
        field = &FSectionEnd1;
    else if (name == QLatin1String("SectionEnd2_2"))
        field = &FSectionEnd2;
    if (!field)
        return TiPositionComponent::ReadStoredValue(name, value);
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok)
        return false;
    *field = v;
    return true;
}

QList<QPair<QString, QVariant>> TiProgressComponent::StoredValues() const
{
    auto values = TiPositionComponent::StoredValues();
    values.append({QStringLiteral("SectionEnd1_2"), QVariant(FSectionEnd1)});
    values.append({QStringLiteral("SectionEnd2_2"), QVariant(FSectionEnd2)});
    return values;
}

} // namespace widgets
