#include "widgets/iSevenSegmentAnalog.h"

#include "widgets/iMath.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace widgets {

namespace {

constexpr double kMaxValue = 1e15;

// Pixel arithmetic in 64 bits, brought back into a range no drawing comes near.
int ToPixels(int64_t v)
{
    return int(std::clamp<int64_t>(v, -(int64_t(1) << 24), int64_t(1) << 24));
}

int RoundToPixels(double v)
{
    const double r = RoundHalfEvenD(v);
    return r != r ? 0 : int(std::clamp(r, -double(1 << 24), double(1 << 24)));
}

} // namespace

TiSevenSegmentAnalog::TiSevenSegmentAnalog(QWidget *parent) : TiSevenSegmentDisplay(parent)
{
    DoAutoSize();
}

void TiSevenSegmentAnalog::SetValue(double Value)
{
    if (Value > kMaxValue)
        Value = kMaxValue;
    if (FValue == Value)
        return;
    bool allow = true;
    emit OnPropertyChangeRequest(this, QStringLiteral("Value"), allow);
    if (!allow)
        return;
    FValue = Value;
    InvalidateForeGround();
    emit OnPropertyChanged(this, QStringLiteral("Value"));
    emit OnValueChange(this);
}

void TiSevenSegmentAnalog::SetPrecision(int Value)
{
    if (Value > 13)
        Value = 13;
    if (FPrecision == Value)
        return;
    FPrecision = std::max(Value, 0);
    DoAutoSize();
    InvalidateForeGround();
}

void TiSevenSegmentAnalog::SetShowSign(bool Value)
{
    if (!core::Assign(FShowSign, Value))
        return;
    InvalidateForeGround();
    DoAutoSize();
}

QSize TiSevenSegmentAnalog::GetPreferredSize()
{
    // A digit's cell sets the pitch.
    FPainter->SetValue(TiSevenSegmentCharacter::ssc0);
    const QSize digit = FPainter->NaturalSize();
    const int64_t cells = FDigitCount + (FShowSign ? 1 : 0);
    const int64_t w =
        (int64_t(digit.width()) + FDigitSpacing) * cells + 2 * int64_t(FSegmentMargin) - FDigitSpacing;
    const int64_t h = int64_t(digit.height()) + 2 * int64_t(FSegmentMargin);
    return QSize(ToPixels(w), ToPixels(h));
}

QList<TiSevenSegmentAnalog::Cell> TiSevenSegmentAnalog::Layout() const
{
    QList<Cell> cells;
    const int64_t n = FDigitCount + (FShowSign ? 1 : 0);
    const int64_t spacing = FDigitSpacing;
    const int c =
        ToPixels(int64_t(std::trunc(double(width() - 2 * int64_t(FSegmentMargin) - (n - 1) * spacing) / n)));
    const int q = ToPixels(height() - 2 * int64_t(FSegmentMargin));
    int64_t x = (width() - n * (c + spacing) + spacing) / 2;
    const int y = ToPixels(FSegmentMargin);
    const auto add = [&](TSevenSegmentCharacter code) {
        cells.append({ToPixels(x), y, c, q, code});
        x += c + spacing;
    };

    QString text = QString::number(std::fabs(FValue), 'f', FPrecision);
    const QString point = QLocale().decimalPoint();
    if (point != QLatin1String("."))
        text.replace(QLatin1Char('.'), point);

    QString integerPart = text, fraction, separator;
    for (const QChar sep : {QLatin1Char('.'), QLatin1Char(',')}) {
        const qsizetype at = text.indexOf(sep);
        if (at >= 0) {
            integerPart = text.left(at);
            fraction = text.mid(at + 1);
            separator = sep;
            break;
        }
    }

    if (FShowSign)
        add(FValue >= 0 ? TiSevenSegmentCharacter::sscPlus : TiSevenSegmentCharacter::sscMinus);

    // The separator needs no cell of its own.
    const qsizetype room = FPrecision == 0 ? FDigitCount : FDigitCount + 1;
    if (text.size() > room) {
        for (int i = 0; i < FDigitCount; ++i)
            add(FValue >= 0 ? TiSevenSegmentCharacter::sscUpArrow : TiSevenSegmentCharacter::sscDownArrow);
        return cells;
    }

    const qsizetype padTo = FDigitCount - FPrecision;
    if (FLeadingStyle == ilsZeros)
        integerPart = integerPart.rightJustified(padTo, QLatin1Char('0'));
    else if (FLeadingStyle == ilsSpaces)
        integerPart = integerPart.rightJustified(padTo, QLatin1Char(' '));
    for (const QChar ch : integerPart)
        add(SevenSegmentCodeOf(ch));

    if (FPrecision > 0 && FDigitCount > 1) {
        const int left = ToPixels(x - RoundToPixels(c / 10.0 + FDigitSpacing / 2.0));
        cells.append({left, y, c / 5, q,
                      separator == QLatin1String(".") ? TiSevenSegmentCharacter::sscPeriod
                                                      : TiSevenSegmentCharacter::sscComma});
        for (const QChar ch : fraction)
            add(SevenSegmentCodeOf(ch));
    }
    return cells;
}

void TiSevenSegmentAnalog::iPaintTo(canvas::Canvas &Canvas)
{
    ConfigurePainter();
    DrawBackGround(Canvas, FBackGroundColor);
    for (const Cell &cell : Layout())
        FPainter->DrawCharacter(Canvas, cell.Code, cell.X, cell.Y, cell.W, cell.H);
}

} // namespace widgets
