#pragma once

#include "widgets/iPositionComponent.h"
#include "widgets/iScaleObject.h"

namespace widgets {

// A value widget with a scale: the owned scale object and the optional automatic choice of
// range and tick count. The knob publishes these settings (Q_PROPERTY over the forwarders).
class TiScaleComponent : public TiPositionComponent
{
    Q_OBJECT

public:
    explicit TiScaleComponent(QWidget *parent = nullptr);

    void SetPositionMin(double Value) override;
    void SetPositionMax(double Value) override;
    virtual int GetTickLabelDecimals() const;

    TiScaleObject *Scale() const { return FScale; }

    bool GetAutoScaleEnabled() const { return FAutoScaleEnabled; }
    int GetAutoScaleDesiredTicks() const { return FAutoScaleDesiredTicks; }
    int GetAutoScaleMaxTicks() const { return FAutoScaleMaxTicks; }
    widgets::TiAutoScaleStyle GetAutoScaleStyle() const { return FAutoScaleStyle; }
    void SetAutoScaleEnabled(bool Value);
    // Values below 2 are ignored.
    void SetAutoScaleDesiredTicks(int Value);
    void SetAutoScaleMaxTicks(int Value);
    void SetAutoScaleStyle(widgets::TiAutoScaleStyle Value);

    // First and last major tick value; filled only by the fixed automatic style.
    double GetNiceMin() const { return FNiceMin; }
    double GetNiceMax() const { return FNiceMax; }

    // Runs the automatic scale for the requested range (only when enabled and not loading).
    void DoAutoScale(double Lo, double Hi);

    void Loaded() override;

    // Forwarders to the scale object, for the widgets that publish the scale settings.
    bool GetShowTicksMajor() const { return FScale->GetShowTicksMajor(); }
    bool GetShowTicksMinor() const { return FScale->GetShowTicksMinor(); }
    bool GetShowTickLabels() const { return FScale->GetShowTickLabels(); }
    int GetTickMajorCount() const { return FScale->GetTickMajorCount(); }
    canvas::TColor GetTickMajorColor() const { return FScale->GetTickMajorColor(); }
    int GetTickMajorLength() const { return FScale->GetTickMajorLength(); }
    int GetTickMinorCount() const { return FScale->GetTickMinorCount(); }
    canvas::TColor GetTickMinorColor() const { return FScale->GetTickMinorColor(); }
    int GetTickMinorLength() const { return FScale->GetTickMinorLength(); }
    widgets::TiTickMinorAlignment GetTickMinorAlignment() const { return FScale->GetTickMinorAlignment(); }
    int GetTickMargin() const { return FScale->GetTickMargin(); }
    int GetTickLabelMargin() const { return FScale->GetTickLabelMargin(); }
    int GetTickLabelPrecision() const { return FScale->GetTickLabelPrecision(); }
    widgets::TiPrecisionStyle GetPrecisionStyle() const { return FScale->GetPrecisionStyle(); }
    canvas::TFont *GetTickLabelFont() const { return FScale->GetTickLabelFont(); }
    void SetShowTicksMajor(bool Value) { FScale->SetShowTicksMajor(Value); }
    void SetShowTicksMinor(bool Value) { FScale->SetShowTicksMinor(Value); }
    void SetShowTickLabels(bool Value) { FScale->SetShowTickLabels(Value); }
    void SetTickMajorCount(int Value) { FScale->SetTickMajorCount(Value); }
    void SetTickMajorColor(canvas::TColor Value) { FScale->SetTickMajorColor(Value); }
    void SetTickMajorLength(int Value) { FScale->SetTickMajorLength(Value); }
    void SetTickMinorCount(int Value) { FScale->SetTickMinorCount(Value); }
    void SetTickMinorColor(canvas::TColor Value) { FScale->SetTickMinorColor(Value); }
    void SetTickMinorLength(int Value) { FScale->SetTickMinorLength(Value); }
    void SetTickMinorAlignment(widgets::TiTickMinorAlignment Value) { FScale->SetTickMinorAlignment(Value); }
    void SetTickMargin(int Value) { FScale->SetTickMargin(Value); }
    void SetTickLabelMargin(int Value) { FScale->SetTickLabelMargin(Value); }
    void SetTickLabelPrecision(int Value) { FScale->SetTickLabelPrecision(Value); }
    void SetPrecisionStyle(widgets::TiPrecisionStyle Value) { FScale->SetPrecisionStyle(Value); }
    void SetTickLabelFont(canvas::TFont *Value) { FScale->SetTickLabelFont(Value); }

signals:
    void OnCustomizeTickLabel(QObject *Sender, int Index, QString &Label);

protected:
    TiScaleObject *FScale = nullptr;
    bool FAutoScaleEnabled = false;
    int FAutoScaleDesiredTicks = 5;
    int FAutoScaleMaxTicks = 6;
    widgets::TiAutoScaleStyle FAutoScaleStyle = iassAutoMinMax;
    double FNiceMin = 0.0;
    double FNiceMax = 0.0;
};

// Pure helpers of the automatic scale.
namespace autoscale {

struct Result
{
    bool Found = false;
    double Min = 0.0;
    double Max = 0.0;
    int Count = 2;
};

// Tick count for span L under the ceiling T, nearest to D (ties to the larger); T + 1 when
// no count gives a nice step.
int TickCount(double Span, int Ceiling, int Desired);
Result AutoMinMax(double Lo, double Hi, int Desired, int MaxTicks);
Result FixedMinMax(double Lo, double Hi, int Desired, int MaxTicks);

} // namespace autoscale

} // namespace widgets
