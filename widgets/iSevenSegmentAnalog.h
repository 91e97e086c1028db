#pragma once

#include "widgets/iSevenSegmentDisplay.h"

#include <QList>
#include <QString>

namespace widgets {

// Numeric LED read-out: a floating-point value with a fixed number of decimals, an optional
// sign cell, leading zeros or blanks, and arrows when the number does not fit.
class TiSevenSegmentAnalog : public TiSevenSegmentDisplay
{
    Q_OBJECT
    Q_PROPERTY(double Value READ GetValue WRITE SetValue)
    Q_PROPERTY(int Precision READ GetPrecision WRITE SetPrecision)
    Q_PROPERTY(bool ShowSign READ GetShowSign WRITE SetShowSign)
    Q_PROPERTY(int DigitCount READ GetDigitCount WRITE SetDigitCount)
    Q_PROPERTY(TiLeadingStyle LeadingStyle READ GetLeadingStyle WRITE SetLeadingStyle)
    Q_CLASSINFO("default:Value", "0")
    Q_CLASSINFO("default:Precision", "2")
    Q_CLASSINFO("default:ShowSign", "True")
    Q_CLASSINFO("default:DigitCount", "4")
    Q_CLASSINFO("default:LeadingStyle", "ilsSpaces")

public:
    explicit TiSevenSegmentAnalog(QWidget *parent = nullptr);

    double GetValue() const { return FValue; }
    // Values above 1e15 show as 1e15.
    void SetValue(double Value);
    int GetPrecision() const { return FPrecision; }
    // 0..13.
    void SetPrecision(int Value);
    bool GetShowSign() const { return FShowSign; }
    void SetShowSign(bool Value);

    QSize GetPreferredSize() override;
    void iPaintTo(canvas::Canvas &Canvas) override;

    // One cell as painted: its rectangle and the code drawn in it.
    struct Cell
    {
        int X = 0, Y = 0, W = 0, H = 0;
        TSevenSegmentCharacter Code = TiSevenSegmentCharacter::sscBlank;
    };
    // The cells of the current value in drawing order, the narrow separator cell included.
    QList<Cell> Layout() const;

private:
    double FValue = 0.0;
    int FPrecision = 2;
    bool FShowSign = true;
};

} // namespace widgets
