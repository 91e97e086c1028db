#pragma once

#include "canvas/Colors.h"
#include "canvas/Fonts.h"
#include "widgets/iTypes.h"

#include <QObject>
#include <QString>
#include <functional>

namespace widgets {

// Tick and label settings of a scale. Every setter compares with the value passed in (before
// its clamp), stores the clamped value and tells the owner through OnChange.
class TiScaleObject : public QObject
{
    Q_OBJECT

public:
    explicit TiScaleObject(QObject *owner = nullptr);

    // The owner's notification; the scale component issues InvalidateBackGround from it.
    std::function<void()> OnChange;

    bool GetShowTicksMajor() const { return FShowTicksMajor; }
    bool GetShowTicksMinor() const { return FShowTicksMinor; }
    bool GetShowTickLabels() const { return FShowTickLabels; }
    int GetTickMajorCount() const { return FTickMajorCount; }
    canvas::TColor GetTickMajorColor() const { return FTickMajorColor; }
    int GetTickMajorLength() const { return FTickMajorLength; }
    int GetTickMinorCount() const { return FTickMinorCount; }
    canvas::TColor GetTickMinorColor() const { return FTickMinorColor; }
    int GetTickMinorLength() const { return FTickMinorLength; }
    widgets::TiTickMinorAlignment GetTickMinorAlignment() const { return FTickMinorAlignment; }
    int GetTickMargin() const { return FTickMargin; }
    int GetTickLabelMargin() const { return FTickLabelMargin; }
    int GetTickLabelPrecision() const { return FTickLabelPrecision; }
    widgets::TiPrecisionStyle GetPrecisionStyle() const { return FPrecisionStyle; }
    canvas::TFont *GetTickLabelFont() const { return FTickLabelFont; }

    void SetShowTicksMajor(bool Value);
    void SetShowTicksMinor(bool Value);
    void SetShowTickLabels(bool Value);
    void SetTickMajorCount(int Value);
    void SetTickMajorColor(canvas::TColor Value);
    void SetTickMajorLength(int Value);
    void SetTickMinorCount(int Value);
    void SetTickMinorColor(canvas::TColor Value);
    void SetTickMinorLength(int Value);
    void SetTickMinorAlignment(widgets::TiTickMinorAlignment Value);
    void SetTickMargin(int Value);
    void SetTickLabelMargin(int Value);
    void SetTickLabelPrecision(int Value);
    void SetPrecisionStyle(widgets::TiPrecisionStyle Value);
    // Copies the font in; later changes of the owned font notify as well.
    void SetTickLabelFont(canvas::TFont *Value);

    // The nice range of the fixed automatic scale (first and last major tick value).
    double GetNiceMin() const { return FNiceMin; }
    double GetNiceMax() const { return FNiceMax; }
    void SetNiceRange(double Min, double Max)
    {
        FNiceMin = Min;
        FNiceMax = Max;
    }

private:
    void Changed();

    bool FShowTicksMajor = true;
    bool FShowTicksMinor = true;
    bool FShowTickLabels = true;
    int FTickMajorCount = 5;
    canvas::TColor FTickMajorColor;
    int FTickMajorLength = 7;
    int FTickMinorCount = 4;
    canvas::TColor FTickMinorColor;
    int FTickMinorLength = 3;
    widgets::TiTickMinorAlignment FTickMinorAlignment = itmnaInside;
    int FTickMargin = 5;
    int FTickLabelMargin = 5;
    int FTickLabelPrecision = 0;
    widgets::TiPrecisionStyle FPrecisionStyle = ipsSignificantDigits;
    canvas::TFont *FTickLabelFont = nullptr;
    double FNiceMin = 0.0;
    double FNiceMax = 0.0;
};

} // namespace widgets
