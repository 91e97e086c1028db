#pragma once

#include "widgets/iVCLComponent.h"

#include <QList>

namespace widgets {

struct TiLimitObject
{
    double UpperLimit = 0.0;
    double LowerLimit = 0.0;
};

// One floating-point value within a range, the tracked extremes, and the rules for which
// events a change raises. Program changes raise OnPositionChange only; changes made by the
// widget's own input (UserChanging) add OnPositionChangeUser.
class TiPositionComponent : public TiVCLComponent
{
    Q_OBJECT
    Q_PROPERTY(double Position READ GetPosition WRITE SetPosition)
    Q_PROPERTY(double PositionMax READ GetPositionMax WRITE SetPositionMax)
    Q_PROPERTY(double PositionMin READ GetPositionMin WRITE SetPositionMin)
    Q_PROPERTY(double CurrentMax READ GetCurrentMax WRITE SetCurrentMax)
    Q_PROPERTY(double CurrentMin READ GetCurrentMin WRITE SetCurrentMin)
    Q_PROPERTY(bool MinMaxFixed READ GetMinMaxFixed WRITE SetMinMaxFixed)
    Q_CLASSINFO("default:Position", "0")
    Q_CLASSINFO("default:PositionMax", "0")
    Q_CLASSINFO("default:PositionMin", "0")
    Q_CLASSINFO("default:CurrentMax", "0")
    Q_CLASSINFO("default:CurrentMin", "0")
    Q_CLASSINFO("default:MinMaxFixed", "False")

public:
    explicit TiPositionComponent(QWidget *parent = nullptr);

    // --- virtual operations, in slot order after the widget base's -----------------------
    virtual double GetPosition() const;
    virtual void SetPosition(double Value);
    virtual void PositionBindingUpdate();
    // Repaint request of a position change; a widget that knows which pixels it moves narrows it.
    virtual void InvalidatePosition() { InvalidateForeGround(); }
    virtual void SetPositionMin(double Value);
    virtual void SetPositionMax(double Value);
    virtual void ClampPosition();

    double GetPositionMin() const { return FPositionMin; }
    double GetPositionMax() const { return FPositionMax; }
    double GetCurrentMin() const { return FCurrentMin; }
    double GetCurrentMax() const { return FCurrentMax; }
    bool GetMinMaxFixed() const { return FMinMaxFixed; }
    void SetCurrentMin(double Value);
    void SetCurrentMax(double Value);
    void SetMinMaxFixed(bool Value);

    // Sets both ends at once (the range operation); no check that Min <= Max.
    void SetRange(double Min, double Max);

    // Place of Value on a display, in [0, 1].
    double PositionFraction(double Value) const;
    double PositionFraction() const { return PositionFraction(FPosition); }
    double GetPositionPercent(double Value) const { return PositionFraction(Value); }
    double GetPositionPercent() const { return PositionFraction(FPosition); }

    // End of a user gesture: OnPositionChangeFinished if the value changed since the last one.
    void DoPositionChangeFinished();

    bool GetUserChanging() const { return FUserChanging; }
    void SetUserChanging(bool Value) { FUserChanging = Value; }
    bool GetChangedSinceFinish() const { return FChangedSinceFinish; }
    void SetChangedSinceFinish(bool Value) { FChangedSinceFinish = Value; }

    QList<TiLimitObject> &Limits() { return FLimits; }
    const QList<TiLimitObject> &Limits() const { return FLimits; }

    bool ReadStoredValue(const QString &name, const QVariant &value) override;
    QList<QPair<QString, QVariant>> StoredValues() const override;

signals:
    void OnPositionChange(QObject *Sender);
    void OnCurrentMaxChange(QObject *Sender);
    void OnCurrentMinChange(QObject *Sender);
    void OnPositionOverMax(QObject *Sender);
    void OnPositionUnderMin(QObject *Sender);
    void OnPositionOverLimit(QObject *Sender, int Index);
    void OnPositionUnderLimit(QObject *Sender, int Index);
    void OnPositionChangeFinished(QObject *Sender);
    void OnPositionChangeUser(QObject *Sender);

protected:
    double FPosition = 0.0;
    double FPositionMin = 0.0;
    double FPositionMax = 100.0;
    double FCurrentMin = 0.0;
    double FCurrentMax = 0.0;
    bool FMinMaxFixed = false;
    bool FChangedSinceFinish = false;
    bool FUserChanging = false;
    QList<TiLimitObject> FLimits;
};

// Sets UserChanging for its lifetime, clearing it also when an error propagates.
class UserChangingScope
{
public:
    explicit UserChangingScope(TiPositionComponent &Component) : FComponent(Component)
    {
        FComponent.SetUserChanging(true);
    }
    ~UserChangingScope() { FComponent.SetUserChanging(false); }
    UserChangingScope(const UserChangingScope &) = delete;
    UserChangingScope &operator=(const UserChangingScope &) = delete;

private:
    TiPositionComponent &FComponent;
};

} // namespace widgets
