#include "widgets/iPositionComponent.h"

namespace widgets {

TiPositionComponent::TiPositionComponent(QWidget *parent) : TiVCLComponent(parent) {}

double TiPositionComponent::GetPosition() const
{
    return FPosition;
}

void TiPositionComponent::SetPosition(double Value)
{
    if (isLoading()) {
        FPosition = Value;
        return;
    }
    double v = Value;
    if (v > FPositionMax)
        v = FPositionMax;
    if (v < FPositionMin)
        v = FPositionMin;
    if (v == FPosition)
        return;
    bool allow = true;
    emit OnPropertyChangeRequest(this, QStringLiteral("Position"), allow);
    if (!allow)
        return;
    FPosition = v;
    FChangedSinceFinish = true;

    if (!FMinMaxFixed) {
        if (v > FCurrentMax)
            SetCurrentMax(v);
        if (v < FCurrentMin)
            SetCurrentMin(v);
    }
    if (v > FCurrentMax)
        emit OnPositionOverMax(this);
    if (v < FCurrentMin)
        emit OnPositionUnderMin(this);

    for (int i = 0; i < FLimits.size(); ++i) {
        if (FLimits.at(i).UpperLimit < v)
            emit OnPositionOverLimit(this, i);
        if (FLimits.at(i).LowerLimit > v)
            emit OnPositionUnderLimit(this, i);
    }

    InvalidatePosition();

    if (!FUserChanging)
        PositionBindingUpdate();
    emit OnPropertyChanged(this, QStringLiteral("Position"));
    emit OnPositionChange(this);
    if (FUserChanging)
        emit OnPositionChangeUser(this);
}

void TiPositionComponent::PositionBindingUpdate() {}

void TiPositionComponent::SetPositionMin(double Value)
{
    if (Value != FPositionMin)
        SetRange(Value, FPositionMax);
}

void TiPositionComponent::SetPositionMax(double Value)
{
    if (Value != FPositionMax)
        SetRange(FPositionMin, Value);
}

void TiPositionComponent::SetRange(double Min, double Max)
{
    if (Min == FPositionMin && Max == FPositionMax)
        return;
    FPositionMin = Min;
    FPositionMax = Max;
    if (!isLoading() && !FMinMaxFixed) {
        if (FCurrentMin < FPositionMin)
            SetCurrentMin(FPositionMin);
        if (FCurrentMax > FPositionMax)
            SetCurrentMax(FPositionMax);
    }
    if (!isLoading())
        ClampPosition();
    InvalidateBackGround();
}

void TiPositionComponent::ClampPosition()
{
    if (FPosition < FPositionMin)
        SetPosition(FPositionMin);
    if (FPosition > FPositionMax)
        SetPosition(FPositionMax);
}

void TiPositionComponent::SetCurrentMin(double Value)
{
    if (!isLoading()) {
        if (Value < FPositionMin)
            Value = FPositionMin;
        if (Value > FPositionMax)
            Value = FPositionMax;
    }
    if (!core::Assign(FCurrentMin, Value))
        return;
    if (!isLoading()) {
        emit OnCurrentMinChange(this);
        if (FPosition < FCurrentMin)
            emit OnPositionUnderMin(this);
    }
}

void TiPositionComponent::SetCurrentMax(double Value)
{
    if (!isLoading()) {
        if (Value < FPositionMin)
            Value = FPositionMin;
        if (Value > FPositionMax)
            Value = FPositionMax;
    }
    if (!core::Assign(FCurrentMax, Value))
        return;
    if (!isLoading()) {
        emit OnCurrentMaxChange(this);
        if (FPosition > FCurrentMax)
            emit OnPositionOverMax(this);
    }
}

void TiPositionComponent::SetMinMaxFixed(bool Value)
{
    if (Assign(FMinMaxFixed, Value))
        InvalidateForeGround();
}

double TiPositionComponent::PositionFraction(double Value) const
{
    if (Value > FPositionMax)
        return 1.0;
    if (Value >= FPositionMin && FPositionMax != FPositionMin)
        return (Value - FPositionMin) / (FPositionMax - FPositionMin);
    return 0.0;
}

void TiPositionComponent::DoPositionChangeFinished()
{
    if (isLoading() || !FChangedSinceFinish)
        return;
    FChangedSinceFinish = false;
    PositionBindingUpdate();
    emit OnPositionChangeFinished(this);
}

bool TiPositionComponent::ReadStoredValue(const QString &name, const QVariant &value)
{
    if (name == QLatin1String("PositionMax_2")) {
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok)
            return false;
        FPositionMax = v;
        return true;
    }
    return TiVCLComponent::ReadStoredValue(name, value);
}

QList<QPair<QString, QVariant>> TiPositionComponent::StoredValues() const
{
    auto values = TiVCLComponent::StoredValues();
    values.append({QStringLiteral("PositionMax_2"), QVariant(FPositionMax)});
    return values;
}

} // namespace widgets
