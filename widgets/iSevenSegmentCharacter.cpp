#include "widgets/iSevenSegmentCharacter.h"

#include "widgets/iGPFunctions.h"
#include "widgets/iMath.h"

#include <algorithm>
#include <cmath>

namespace widgets {

namespace {

QPolygon Quad(int l, int t, int r, int b)
{
    return QPolygon({QPoint(l, t), QPoint(r, t), QPoint(r, b), QPoint(l, b)});
}

// Indexed by code; glyph codes carry no segment bits.
constexpr uint8_t kBits[26] = {63, 6,   91,  79, 102, 109, 125, 7, 127, 103, 119, 124, 57,
                               94, 121, 113, 0,  0,   0,   0,   0, 0,   0,   0,   0,   0};
constexpr char kChars[] = "0123456789abcdef.:+- _<>;,";
constexpr int kCodeCount = 26;

bool IsSegmentCode(TSevenSegmentCharacter code)
{
    return code <= TiSevenSegmentCharacter::sscF || code == TiSevenSegmentCharacter::sscBlank;
}

// The palette request only means something for plain RGB values.
canvas::TColor WithPaletteFlag(canvas::TColor c)
{
    return (c & canvas::clSystemColor) == canvas::clSystemColor ? c : (c | canvas::PaletteFlag);
}

// Keeps coordinate arithmetic far from overflow whatever the properties hold; no drawable
// cell comes near these bounds.
constexpr int kSaneLimit = 1 << 20;

int Sane(int v)
{
    return std::clamp(v, -kSaneLimit, kSaneLimit);
}

SevenSegmentCell Sane(const SevenSegmentCell &c)
{
    return {Sane(c.X), Sane(c.Y), Sane(c.W), Sane(c.H)};
}

SevenSegmentMetrics Sane(const SevenSegmentMetrics &m)
{
    return {Sane(m.Margin), Sane(m.Seperation), Sane(m.Size)};
}

int Round(double v)
{
    const double r = RoundHalfEvenD(v);
    return r != r ? 0 : int(std::clamp(r, -double(kSaneLimit) * 64, double(kSaneLimit) * 64));
}

} // namespace

// --- geometry ---------------------------------------------------------------------------

uint8_t SevenSegmentBitsOf(TSevenSegmentCharacter Code)
{
    const int i = int(Code);
    return i < kCodeCount ? kBits[i] : 0;
}

TSevenSegmentCharacter SevenSegmentCodeOf(QChar Char)
{
    const QChar lower = Char.toLower();
    for (int i = 0; i < kCodeCount; ++i) {
        const QChar entry = QLatin1Char(kChars[i]);
        // Only the hex letters accept both cases.
        if (entry == Char || (i >= 10 && i <= 15 && entry == lower))
            return TSevenSegmentCharacter(i);
    }
    return TiSevenSegmentCharacter::sscBlank;
}

QChar SevenSegmentCharOf(TSevenSegmentCharacter Code)
{
    const int i = int(Code);
    return i < kCodeCount ? QLatin1Char(kChars[i]) : QLatin1Char(' ');
}

QPolygon SevenSegmentSegmentPolygon(int Segment, const SevenSegmentCell &ACell, const SevenSegmentMetrics &AM)
{
    const SevenSegmentCell Cell = Sane(ACell);
    const SevenSegmentMetrics M = Sane(AM);
    const int X = Cell.X, Y = Cell.Y, W = Cell.W, H = Cell.H;
    const int m = M.Margin, s = M.Seperation, z = M.Size;
    const int h = (H - 1) / 2;
    const int r = X + W - 1 - m;
    const int b = Y + H - 1 - m;
    switch (Segment) {
    case 0: // A
        return QPolygon({QPoint(X + m + s, Y + m), QPoint(r - s, Y + m), QPoint(r - s - 2 * z, Y + m + 2 * z),
                         QPoint(X + m + s + 2 * z, Y + m + 2 * z)});
    case 1: // B
        return QPolygon({QPoint(r, Y + m + s), QPoint(r, Y + h - s), QPoint(r - 2 * z, Y + h - s - 2 * z),
                         QPoint(r - 2 * z, Y + m + s + 2 * z)});
    case 2: // C
        return QPolygon({QPoint(r, Y + h + s), QPoint(r, b - s), QPoint(r - 2 * z, b - s - 2 * z),
                         QPoint(r - 2 * z, Y + h + s + 2 * z)});
    case 3: // D
        return QPolygon({QPoint(X + m + s, b), QPoint(r - s, b), QPoint(r - s - 2 * z, b - 2 * z),
                         QPoint(X + m + s + 2 * z, b - 2 * z)});
    case 4: // E
        return QPolygon({QPoint(X + m, Y + h + s), QPoint(X + m, b - s), QPoint(X + m + 2 * z, b - s - 2 * z),
                         QPoint(X + m + 2 * z, Y + h + s + 2 * z)});
    case 5: // F
        return QPolygon({QPoint(X + m, Y + m + s), QPoint(X + m, Y + h - s),
                         QPoint(X + m + 2 * z, Y + h - s - 2 * z), QPoint(X + m + 2 * z, Y + m + s + 2 * z)});
    case 6: // G
        return QPolygon({QPoint(X + m + s, Y + h), QPoint(X + m + s + z, Y + h - z),
                         QPoint(r - s - z, Y + h - z), QPoint(r - s, Y + h), QPoint(r - s - z, Y + h + z),
                         QPoint(X + m + s + z, Y + h + z)});
    default:
        return {};
    }
}

QList<QPolygon> SevenSegmentGlyphPolygons(SevenSegmentGlyph Glyph, const SevenSegmentCell &ACell,
                                          const SevenSegmentMetrics &AM)
{
    const SevenSegmentCell Cell = Sane(ACell);
    const SevenSegmentMetrics M = Sane(AM);
    const int X = Cell.X, Y = Cell.Y, W = Cell.W, H = Cell.H;
    const int m = M.Margin, z = M.Size;
    const int h = (H - 1) / 2;
    const int c2 = W / 2;
    const auto rk = [H](int k) { return Round(double(k) * H / 18.0); };
    const auto upperSquare = [&] { return Quad(X + c2 - z, Y + rk(5), X + c2 + z, Y + rk(7)); };
    const auto lowerSquare = [&] { return Quad(X + c2 - z, Y + rk(11), X + c2 + z, Y + rk(13)); };
    const auto tail = [&] { return Quad(X + c2, Y + rk(13), X + c2 + z, Y + rk(16)); };
    const auto bar = [&](double centre) {
        const double cy = centre * H / 18.0;
        return Quad(X + Round(2.5 * W / 10.0), Y + Round(cy - z / 2.0), X + Round(7.5 * W / 10.0),
                    Y + Round(cy + z / 2.0));
    };
    switch (Glyph) {
    case SevenSegmentGlyph::Point:
        return {Quad(X + c2 - z, Y + H - 2 * z, X + c2 + z, Y + H)};
    case SevenSegmentGlyph::Colon:
        return {upperSquare(), lowerSquare()};
    case SevenSegmentGlyph::SemiColon:
        return {upperSquare(), lowerSquare(), tail()};
    case SevenSegmentGlyph::Comma:
        return {lowerSquare(), tail()};
    case SevenSegmentGlyph::Plus:
        return {bar(4.5),
                Quad(X + Round(W / 2.0 - z / 2.0), Y + rk(2), X + Round(W / 2.0 + z / 2.0), Y + rk(7))};
    case SevenSegmentGlyph::Minus:
        return {bar(13.5)};
    case SevenSegmentGlyph::Line:
        return {Quad(X + m, Y + h - z / 2, X + W - 1 - m, Y + h + z / 2)};
    case SevenSegmentGlyph::UpArrow:
    case SevenSegmentGlyph::DownArrow: {
        const int k = (W - 1 - 2 * m) / 2;
        const int cx = (W - 1) / 2;
        const int hm = H / 2;
        QPoint apex;
        if (Glyph == SevenSegmentGlyph::UpArrow)
            apex = (hm - k > m) ? QPoint(X + cx, Y + hm - k) : QPoint(X + cx, Y + m);
        else
            apex = (H - 1 - m > hm + k) ? QPoint(X + cx, Y + hm + k) : QPoint(X + cx, Y + H - 1 - m);
        return {QPolygon({QPoint(X + cx + k, Y + hm), QPoint(X + cx - k, Y + hm), apex})};
    }
    }
    return {};
}

QList<SevenSegmentShape> SevenSegmentShapes(TSevenSegmentCharacter Code, bool UseSegmentBits,
                                            uint8_t SegmentBits, bool ShowOffSegments,
                                            const SevenSegmentCell &Cell, const SevenSegmentMetrics &M)
{
    QList<SevenSegmentShape> shapes;
    const auto add = [&](SevenSegmentGlyph glyph, bool on) {
        for (const QPolygon &p : SevenSegmentGlyphPolygons(glyph, Cell, M))
            shapes.append({p, on});
    };
    if (UseSegmentBits || IsSegmentCode(Code)) {
        const uint8_t bits = UseSegmentBits ? SegmentBits : SevenSegmentBitsOf(Code);
        for (int i = 0; i < 7; ++i) {
            const bool on = (bits >> i) & 1;
            if (on || ShowOffSegments)
                shapes.append({SevenSegmentSegmentPolygon(i, Cell, M), on});
        }
        return shapes;
    }
    switch (Code) {
    case TiSevenSegmentCharacter::sscPlus:
        add(SevenSegmentGlyph::Plus, true);
        if (ShowOffSegments)
            add(SevenSegmentGlyph::Minus, false);
        break;
    case TiSevenSegmentCharacter::sscMinus:
        add(SevenSegmentGlyph::Minus, true);
        if (ShowOffSegments)
            add(SevenSegmentGlyph::Plus, false);
        break;
    case TiSevenSegmentCharacter::sscPeriod:
        add(SevenSegmentGlyph::Point, true);
        break;
    case TiSevenSegmentCharacter::sscColon:
        add(SevenSegmentGlyph::Colon, true);
        break;
    case TiSevenSegmentCharacter::sscSemiColon:
        add(SevenSegmentGlyph::SemiColon, true);
        break;
    case TiSevenSegmentCharacter::sscComma:
        add(SevenSegmentGlyph::Comma, true);
        break;
    case TiSevenSegmentCharacter::sscLine:
        add(SevenSegmentGlyph::Line, true);
        break;
    case TiSevenSegmentCharacter::sscUpArrow:
        add(SevenSegmentGlyph::UpArrow, true);
        break;
    case TiSevenSegmentCharacter::sscDownArrow:
        add(SevenSegmentGlyph::DownArrow, true);
        break;
    default:
        break;
    }
    return shapes;
}

QSize SevenSegmentNaturalSize(TSevenSegmentCharacter Code, const SevenSegmentMetrics &AM)
{
    const SevenSegmentMetrics M = Sane(AM);
    const int m = M.Margin, z = M.Size;
    const bool narrow =
        Code == TiSevenSegmentCharacter::sscPeriod || Code == TiSevenSegmentCharacter::sscColon ||
        Code == TiSevenSegmentCharacter::sscSemiColon || Code == TiSevenSegmentCharacter::sscComma;
    return QSize(2 * m + (narrow ? 2 : 10) * z, 2 * m + 18 * z);
}

// --- widget -----------------------------------------------------------------------------

TiSevenSegmentCharacter::TiSevenSegmentCharacter(QWidget *parent)
    : TiVCLComponent(parent), FSegmentColor(canvas::clLime), FSegmentOffColor(canvas::clGreen)
{
    FBackGroundColor = canvas::clBlack;
    DoAutoSize();
}

void TiSevenSegmentCharacter::SetValue(TSevenSegmentCharacter Value)
{
    if (FValue == Value)
        return;
    bool allow = true;
    emit OnPropertyChangeRequest(this, QStringLiteral("Value"), allow);
    if (!allow)
        return;
    FValue = Value;
    InvalidateForeGround();
    DoAutoSize();
    emit OnPropertyChanged(this, QStringLiteral("Value"));
}

QString TiSevenSegmentCharacter::GetCharacter() const
{
    return QString(SevenSegmentCharOf(FValue));
}

void TiSevenSegmentCharacter::SetCharacter(const QString &Value)
{
    SetValue(SevenSegmentCodeOf(Value.isEmpty() ? QChar() : Value.at(0)));
}

void TiSevenSegmentCharacter::SetAutoSize(bool Value)
{
    if (!core::Assign(FAutoSize, Value))
        return;
    DoAutoSize();
    InvalidateForeGround();
}

void TiSevenSegmentCharacter::SetSegmentSize(int Value)
{
    if (Value <= 0)
        Value = 1;
    if (!core::Assign(FSegmentSize, Value))
        return;
    DoAutoSize();
    InvalidateForeGround();
}

void TiSevenSegmentCharacter::SetSegmentMargin(int Value)
{
    if (Value < 0)
        Value = 0;
    if (!core::Assign(FSegmentMargin, Value))
        return;
    DoAutoSize();
    InvalidateForeGround();
}

void TiSevenSegmentCharacter::SetSegmentSeperation(int Value)
{
    if (Value < 0)
        Value = 0;
    if (Assign(FSegmentSeperation, Value))
        InvalidateForeGround();
}

void TiSevenSegmentCharacter::SetSegmentColor(canvas::TColor Value)
{
    if (Assign(FSegmentColor, Value))
        InvalidateForeGround();
}

void TiSevenSegmentCharacter::SetSegmentOffColor(canvas::TColor Value)
{
    if (Assign(FSegmentOffColor, Value))
        InvalidateForeGround();
}

void TiSevenSegmentCharacter::SetAutoSegmentOffColor(bool Value)
{
    if (Assign(FAutoSegmentOffColor, Value))
        InvalidateForeGround();
}

void TiSevenSegmentCharacter::SetShowOffSegments(bool Value)
{
    if (Assign(FShowOffSegments, Value))
        InvalidateForeGround();
}

void TiSevenSegmentCharacter::SetPowerOff(bool Value)
{
    if (Assign(FPowerOff, Value))
        InvalidateForeGround();
}

void TiSevenSegmentCharacter::SetUseSegmentBits(bool Value)
{
    if (Assign(FUseSegmentBits, Value))
        InvalidateForeGround();
}

void TiSevenSegmentCharacter::SetSegOn(int Index, bool Value)
{
    if (Assign(FSegOn[Index], Value))
        InvalidateForeGround();
}

int TiSevenSegmentCharacter::GetSegmentBits() const
{
    int bits = 0;
    for (int i = 0; i < 7; ++i)
        if (FSegOn[i])
            bits |= 1 << i;
    return bits;
}

void TiSevenSegmentCharacter::SetSegmentBits(int Value)
{
    for (int i = 0; i < 7; ++i)
        FSegOn[i] = (Value >> i) & 1;
    InvalidateForeGround();
}

canvas::TColor TiSevenSegmentCharacter::OffColor() const
{
    if (FAutoSegmentOffColor)
        return DimColor(FSegmentColor, 3) | canvas::PaletteFlag;
    return FSegmentOffColor;
}

canvas::TColor TiSevenSegmentCharacter::OnColor() const
{
    return FPowerOff ? OffColor() : WithPaletteFlag(FSegmentColor);
}

QSize TiSevenSegmentCharacter::NaturalSize() const
{
    return SevenSegmentNaturalSize(FValue, {FSegmentMargin, FSegmentSeperation, FSegmentSize});
}

void TiSevenSegmentCharacter::DoAutoSize()
{
    if (!FAutoSize || isLoading())
        return;
    const QSize natural = NaturalSize();
    resize(width(), natural.height() + 1);
    resize(natural.width() + 1, height());
    if (OnResize)
        OnResize(this);
}

void TiSevenSegmentCharacter::DrawCharacter(canvas::Canvas &Canvas, TSevenSegmentCharacter Code, int X, int Y,
                                            int W, int H)
{
    const canvas::TColor on = OnColor();
    const canvas::TColor off = OffColor();
    const QList<SevenSegmentShape> shapes =
        SevenSegmentShapes(Code, FUseSegmentBits, uint8_t(GetSegmentBits()), FShowOffSegments, {X, Y, W, H},
                           {FSegmentMargin, FSegmentSeperation, FSegmentSize});
    Canvas.Brush.Style = canvas::bsSolid;
    Canvas.Pen.Style = canvas::psSolid;
    Canvas.Pen.Width = 1;
    for (const SevenSegmentShape &shape : shapes) {
        const canvas::TColor c = shape.On ? on : off;
        Canvas.Brush.Color = c;
        Canvas.Pen.Color = c;
        Canvas.Polygon(shape.Polygon);
    }
}

void TiSevenSegmentCharacter::iPaintTo(canvas::Canvas &Canvas)
{
    DrawBackGround(Canvas, FBackGroundColor);
    DrawCharacter(Canvas, FValue, 0, 0, width(), height());
}

} // namespace widgets
