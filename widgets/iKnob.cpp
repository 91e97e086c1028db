#include "widgets/iKnob.h"

#include "widgets/iGPFunctions.h"
#include "widgets/iMath.h"

#include <algorithm>
#include <cmath>

namespace widgets {

namespace {

// Radii and centres far outside any image are pinned here so that point arithmetic cannot
// overflow; what lies that far out is never visible.
constexpr double kFar = 1 << 24;

double Pin(double v)
{
    return v != v ? 0.0 : std::clamp(v, -kFar, kFar);
}

QPoint Polar(QPoint centre, double radius, double degrees)
{
    const QPoint c(int(Pin(centre.x())), int(Pin(centre.y())));
    return PolarPoint(c, Pin(radius), degrees);
}

void Line(canvas::Canvas &canvas, QPoint from, QPoint to)
{
    canvas.MoveTo(from.x(), from.y());
    canvas.LineTo(to.x(), to.y());
}

// Label and display texts never need more decimals than a double holds.
constexpr int kMaxDecimals = 20;

constexpr double kWheelGateMs = 30;

} // namespace

QList<TiKnobShadeLine> KnobShadeLines(QPoint Center, int Radius, bool Raised, canvas::TColor FaceRGB,
                                      double MaxDistance)
{
    QList<TiKnobShadeLine> lines;
    if (Radius == 0)
        return lines;
    const double R = Radius;
    const double root2 = std::sqrt(2.0);
    const canvas::TColor dark = (FaceRGB & 0xFFFFFFu) - 0x505050u;
    const double light[3] = {255.0, 255.0, 255.0};
    const double shade[3] = {double(dark & 0xFF), double((dark >> 8) & 0xFF), double((dark >> 16) & 0xFF)};
    const double limit = R / root2 + 2;
    double x = -std::trunc(limit);
    double y = -x;
    // A chord at (x, -x) lies |x|·√2 from the centre; those beyond MaxDistance touch nothing.
    const double reach = MaxDistance / root2 + 1;
    if (x < -reach) {
        const double skip = std::floor((-reach - x) / 0.5) * 0.5;
        x += skip;
        y -= skip;
    }
    const double r2 = R * R;
    while (x < limit && x <= reach) {
        const double d = std::sqrt(x * x + y * y);
        x += 0.5;
        y -= 0.5;
        if (d > R)
            continue;
        const double h = std::sqrt(r2 - d * d);
        const QPoint p1 = PolarPointTrunc(x, y, Pin(h), -45.0);
        const QPoint p2(-p1.y(), -p1.x());
        const double t = ((R + x) / R) / 2;
        int ch[3];
        for (int i = 0; i < 3; ++i) {
            const double v = Raised ? shade[i] * t + (1 - t) * light[i] : light[i] * t + (1 - t) * shade[i];
            ch[i] = std::clamp(RoundHalfEven(std::clamp(v, -1.0, 256.0)), 0, 255);
        }
        const canvas::TColor colour =
            canvas::TColor(ch[0] + 256 * ch[1] + 65536 * ch[2]) | canvas::PaletteFlag;
        lines.append({QPoint(Center.x() + p1.x() - 1, Center.y() - p1.y() - 1),
                      QPoint(Center.x() + p2.x() - 1, Center.y() - p2.y() - 1), colour});
    }
    return lines;
}

TiKnob::TiKnob(QWidget *parent)
    : TiScaleComponent(parent), FIndicatorActiveColor(canvas::clAqua), FIndicatorInactiveColor(canvas::clRed),
      FPositionDisplayFont(new canvas::TFont(this))
{
    resize(150, 150);
    SetTabStop(true);
    SetTickMinorColor(canvas::clGray);
    SetTickLabelMargin(15);
    connect(FPositionDisplayFont, &canvas::TFont::OnChange, this,
            [this](QObject *) { InvalidateForeGround(); });
    CreateBackGroundPicture();
}

// --- setters ----------------------------------------------------------------------------

void TiKnob::SetKnobRadius(int Value)
{
    if (Assign(FKnobRadius, Value))
        InvalidateBackGround();
}

void TiKnob::SetKnobEdgeWidth(int Value)
{
    if (Assign(FKnobEdgeWidth, Value))
        InvalidateBackGround();
}

void TiKnob::SetKnobStyle(TiKnobStyle Value)
{
    if (Assign(FKnobStyle, Value))
        InvalidateBackGround();
}

void TiKnob::SetOuterMargin(int Value)
{
    if (Assign(FOuterMargin, Value))
        InvalidateBackGround();
}

void TiKnob::SetAutoSize(bool Value)
{
    if (Assign(FAutoSize, Value))
        InvalidateBackGround();
}

void TiKnob::SetRotationStartDegrees(int Value)
{
    if (Assign(FRotationStartDegrees, Value))
        InvalidateBackGround();
}

void TiKnob::SetRotationMaxDegrees(int Value)
{
    if (Assign(FRotationMaxDegrees, Value))
        InvalidateBackGround();
}

void TiKnob::SetIndicatorStyle(TiKnobIndicatorStyle Value)
{
    if (Assign(FIndicatorStyle, Value))
        InvalidateBackGround();
}

// The comparison uses the value passed in, the store its clamped form: a value that clamps to
// the stored one still repaints.
void TiKnob::SetIndicatorSize(int Value)
{
    if (FIndicatorSize == Value)
        return;
    FIndicatorSize = std::max(Value, 1);
    InvalidateForeGround();
}

void TiKnob::SetIndicatorMargin(int Value)
{
    if (Assign(FIndicatorMargin, Value))
        InvalidateBackGround();
}

void TiKnob::SetIndicatorActiveColor(canvas::TColor Value)
{
    if (Assign(FIndicatorActiveColor, Value))
        InvalidateBackGround();
}

void TiKnob::SetIndicatorInactiveColor(canvas::TColor Value)
{
    if (Assign(FIndicatorInactiveColor, Value))
        InvalidateBackGround();
}

void TiKnob::SetShowPostionDisplay(bool Value)
{
    if (Assign(FShowPostionDisplay, Value))
        InvalidateBackGround();
}

void TiKnob::SetPositionDisplayFont(canvas::TFont *Value)
{
    // The owned font's change notification repaints.
    if (Value && Value != FPositionDisplayFont)
        FPositionDisplayFont->Assign(*Value);
}

void TiKnob::SetPositionDisplayPrecision(int Value)
{
    if (FPositionDisplayPrecision == Value)
        return;
    FPositionDisplayPrecision = std::max(Value, 0);
    InvalidateForeGround();
}

void TiKnob::SetPositionDisplayUnits(const QString &Value)
{
    const QString stored = Value.trimmed().isEmpty() ? QString() : Value;
    if (Assign(FPositionDisplayUnits, stored))
        InvalidateForeGround();
}

void TiKnob::SetKeyArrowStepSize(double Value)
{
    if (Assign(FKeyArrowStepSize, Value))
        InvalidateForeGround();
}

void TiKnob::SetKeyPageStepSize(double Value)
{
    if (Assign(FKeyPageStepSize, Value))
        InvalidateForeGround();
}

void TiKnob::SetMouseWheelStepSize(double Value)
{
    if (Assign(FMouseWheelStepSize, Value))
        InvalidateForeGround();
}

void TiKnob::SetUseKeyboard(bool Value)
{
    if (Assign(FUseKeyboard, Value))
        InvalidateBackGround();
}

void TiKnob::SetShowFocusRect(bool Value)
{
    if (Assign(FShowFocusRect, Value))
        InvalidateForeGround();
}

// --- stored values ----------------------------------------------------------------------

bool TiKnob::ReadStoredValue(const QString &name, const QVariant &value)
{
    if (TiScaleComponent::ReadStoredValue(name, value))
        return true;
    if (name == QLatin1String("KeyArrowStepSize_2")) {
        FKeyArrowStepSize = value.toDouble();
        return true;
    }
    if (name == QLatin1String("KeyPageStepSize_2")) {
        FKeyPageStepSize = value.toDouble();
        return true;
    }
    return false;
}

QList<QPair<QString, QVariant>> TiKnob::StoredValues() const
{
    QList<QPair<QString, QVariant>> values = TiScaleComponent::StoredValues();
    values.append({QStringLiteral("KeyArrowStepSize_2"), FKeyArrowStepSize});
    values.append({QStringLiteral("KeyPageStepSize_2"), FKeyPageStepSize});
    return values;
}

void TiKnob::PositionBindingUpdate()
{
    BindingWriteBack(QStringLiteral("Position"), FPosition);
}

// --- geometry ---------------------------------------------------------------------------

double TiKnob::AngleOfValue(double Value) const
{
    return FRotationStartDegrees - GetPositionPercent(Value) * FRotationMaxDegrees;
}

double TiKnob::CurrentRotation() const
{
    if (FPositionMax == FPositionMin)
        return FRotationStartDegrees;
    return GetPositionPercent() * FRotationMaxDegrees;
}

double TiKnob::PositionOfRotation(double Rotation) const
{
    return FPositionMin + (FPositionMax - FPositionMin) * Rotation / FRotationMaxDegrees;
}

QString TiKnob::TickLabelText(double Value) const
{
    const int decimals = std::clamp(GetTickLabelDecimals(), 0, kMaxDecimals);
    return QString::asprintf("%.*f", decimals, Value).trimmed();
}

QString TiKnob::PositionDisplayText() const
{
    const int decimals = std::min(FPositionDisplayPrecision, kMaxDecimals);
    return QString::asprintf("%4.*f", decimals, FPosition).trimmed() + FPositionDisplayUnits;
}

// --- painting ---------------------------------------------------------------------------

void TiKnob::iPaintTo(canvas::Canvas &Canvas)
{
    FCenterPoint = GetCenterPoint();
    DrawStaticPicture(Canvas, [this](canvas::Canvas &c) { DrawStatic(c); });
    if (FShowPostionDisplay)
        DrawPositionDisplay(Canvas);
    DrawIndicator(Canvas);
    if (FShowFocusRect && HasFocus())
        iDrawFocusRect(Canvas, canvas::Rect(0, 0, width(), height()));
}

void TiKnob::DrawStatic(canvas::Canvas &Canvas)
{
    if (FAutoSize)
        DoAutoSize(Canvas);
    DrawBackGround(Canvas, FBackGroundColor);
    DrawKnob(Canvas);
    DrawScale(Canvas);
}

void TiKnob::DoAutoSize(canvas::Canvas &Canvas)
{
    Canvas.Font.Assign(*GetTickLabelFont());
    double d = double(std::min(width(), height())) - 2.0 * FOuterMargin;
    if (GetShowTickLabels()) {
        const int count = GetTickMajorCount();
        double w = 0, h = 0;
        for (int i = 0; i < count; ++i) {
            const double v = FPositionMin + (FPositionMax - FPositionMin) / (count - 1) * i;
            const QPoint u = PolarPoint(QPoint(0, 0), 1, AngleOfValue(v));
            const QString text = TickLabelText(v);
            w = std::max(w, std::fabs(double(Canvas.TextWidth(text)) * u.x()));
            h = std::max(h, std::fabs(double(Canvas.TextHeight(text)) * u.y()));
        }
        d -= std::max(w, h) +
             2.0 * (double(GetTickMargin()) + GetTickMajorLength() + GetTickLabelMargin() + 4);
    } else if (GetShowTicksMajor() || GetShowTicksMinor()) {
        d -= 2.0 * (double(GetTickMargin()) + GetTickMajorLength());
    }
    FKnobRadius = int(std::trunc(Pin(d / 2)));
}

void TiKnob::DrawKnob(canvas::Canvas &Canvas)
{
    const QPoint c = FCenterPoint;
    const int r = int(Pin(FKnobRadius));
    const bool raised = FKnobStyle == iksRaisedEdge || FKnobStyle == iksRaised;
    Canvas.Brush.Style = canvas::bsClear;
    Canvas.Pen.Style = canvas::psSolid;
    Canvas.Pen.Width = 1;
    const double corner = std::hypot(double(std::max(std::abs(c.x()), std::abs(width() - c.x()))),
                                     double(std::max(std::abs(c.y()), std::abs(height() - c.y()))));
    for (const TiKnobShadeLine &line :
         KnobShadeLines(c, r, raised, canvas::ColorToRGB(canvas::clBtnFace), corner + 2)) {
        Canvas.Pen.Color = line.Color;
        Line(Canvas, line.From, line.To);
    }
    if (FKnobStyle == iksRaisedEdge || FKnobStyle == iksSunkenEdge) {
        const int e = int(Pin(double(r) - FKnobEdgeWidth));
        Canvas.Brush.Style = canvas::bsSolid;
        Canvas.Brush.Color = canvas::clBtnFace;
        Canvas.Pen.Color = canvas::clBtnFace;
        Canvas.Ellipse(c.x() - e, c.y() - e, c.x() + e, c.y() + e);
    }
}

void TiKnob::DrawScale(canvas::Canvas &Canvas)
{
    const QPoint c = FCenterPoint;
    Canvas.Brush.Style = canvas::bsClear;
    Canvas.Pen.Style = canvas::psSolid;
    Canvas.Pen.Width = 1;
    const double a1 = double(GetTickMargin()) + FKnobRadius - 1;
    const double a2 = double(GetTickMargin()) + FKnobRadius + GetTickMajorLength();
    const double minorLength = GetTickMinorLength();
    double b1 = a1, b2 = a1 + minorLength;
    switch (GetTickMinorAlignment()) {
    case itmnaInside:
        break;
    case itmnaCenter:
        b1 = (a1 + a2) / 2 - minorLength / 2;
        b2 = (a1 + a2) / 2 + minorLength / 2;
        break;
    case itmnaOutside:
        b1 = a2;
        b2 = a2 - minorLength;
        break;
    }

    const bool nice = GetAutoScaleEnabled() && GetAutoScaleStyle() == iassFixedMinMax;
    const double s = nice ? GetNiceMin() : FPositionMin;
    const double e = nice ? GetNiceMax() : FPositionMax;
    const int majorCount = GetTickMajorCount();
    const int minorCount = GetTickMinorCount();
    const double major = (e - s) / (majorCount - 1);
    const double minor = major / (minorCount + 1);

    const auto minorTick = [&](double w) {
        const double angle = AngleOfValue(w);
        Line(Canvas, Polar(c, b2, angle), Polar(c, b1, angle));
    };

    for (int i = 0; i < majorCount; ++i) {
        const double v = s + i * major;
        const double angle = AngleOfValue(v);
        if (GetShowTicksMajor()) {
            Canvas.Pen.Color = GetTickMajorColor();
            Line(Canvas, Polar(c, a2, angle), Polar(c, a1, angle));
        }
        if (GetShowTickLabels()) {
            QString text = TickLabelText(s + (e - s) / (majorCount - 1) * i);
            emit OnCustomizeTickLabel(this, i, text);
            Canvas.Font.Assign(*GetTickLabelFont());
            const QPoint centre = Polar(c, GetTickLabelMargin() + a2 + 4, angle);
            Canvas.Brush.Style = canvas::bsClear;
            Canvas.TextOut(centre.x() - Canvas.TextWidth(text) / 2, centre.y() - Canvas.TextHeight(text) / 2,
                           text);
        }
        if (GetShowTicksMinor() && i < majorCount - 1) {
            Canvas.Pen.Color = GetTickMinorColor();
            for (int j = 1; j <= minorCount; ++j)
                minorTick(s + i * major + j * minor);
        }
    }

    // Beyond the nice range the minor ticks run on to the ends of the range.
    if (nice && GetShowTicksMinor() && minor != 0 && std::isfinite(minor)) {
        Canvas.Pen.Color = GetTickMinorColor();
        // Bounded: a step too small to move the value must not spin.
        constexpr int kMaxExtraTicks = 10000;
        for (int k = 1; k <= kMaxExtraTicks && e + k * minor <= FPositionMax; ++k)
            minorTick(e + k * minor);
        for (int k = 1; k <= kMaxExtraTicks && s - k * minor >= FPositionMin; ++k)
            minorTick(s - k * minor);
    }
}

void TiKnob::DrawPositionDisplay(canvas::Canvas &Canvas)
{
    Canvas.Brush.Style = canvas::bsClear;
    Canvas.Font.Assign(*FPositionDisplayFont);
    const QString text = PositionDisplayText();
    Canvas.TextOut(FCenterPoint.x() - Canvas.TextWidth(text) / 2,
                   FCenterPoint.y() - Canvas.TextHeight(text) / 2, text);
}

void TiKnob::DrawIndicator(canvas::Canvas &Canvas)
{
    const QPoint c = FCenterPoint;
    const double alpha = FRotationStartDegrees - CurrentRotation();
    const canvas::TColor colour =
        (FDragging || FKeyboardActive) ? FIndicatorActiveColor : FIndicatorInactiveColor;
    Canvas.Brush.Style = canvas::bsSolid;
    Canvas.Brush.Color = colour;
    Canvas.Pen.Style = canvas::psSolid;
    Canvas.Pen.Color = colour;
    Canvas.Pen.Width = 1;
    const double r = FKnobRadius, m = FIndicatorMargin;
    const int size = int(Pin(FIndicatorSize));
    const QPoint q = Polar(c, r - m - size, alpha);
    const canvas::TRect box(q.x() - size, q.y() - size, q.x() + size, q.y() + size);
    const auto dot = [&](canvas::TColor upperLeft, canvas::TColor lowerRight) {
        Canvas.Ellipse(box);
        Canvas.Pen.Color = upperLeft;
        Canvas.Arc(box.Left, box.Top, box.Right, box.Bottom, box.Right, box.Top, box.Left, box.Bottom);
        Canvas.Pen.Color = lowerRight;
        Canvas.Arc(box.Left, box.Top, box.Right, box.Bottom, box.Left, box.Bottom, box.Right, box.Top);
    };
    switch (FIndicatorStyle) {
    case ikisDot:
        Canvas.Ellipse(box);
        break;
    case ikisDotLowered:
        dot(0x808080, 0xFFFFFF);
        break;
    case ikisDotRaised:
        dot(0xFFFFFF, 0x808080);
        break;
    case ikisLineCenter:
        Line(Canvas, Polar(c, r - m, alpha), c);
        break;
    case ikisLineCustom:
        Line(Canvas, Polar(c, r - m, alpha), Polar(c, r - m - size, alpha));
        break;
    case ikisTriangle: {
        const QPoint tip = Polar(c, r - m, alpha);
        Canvas.Polygon({Polar(q, size / 2.0, alpha + 90), Polar(q, size / 2.0, alpha - 90), tip});
        break;
    }
    }
}

// --- input ------------------------------------------------------------------------------

void TiKnob::SetUserPosition(double Value)
{
    UserChangingScope scope(*this);
    SetPosition(Value);
}

void TiKnob::iMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    TiScaleComponent::iMouseDown(Button, Shift, X, Y);
    if (Button != Qt::LeftButton || !isEnabled())
        return;
    FChangedSinceFinish = false;
    setFocus(Qt::MouseFocusReason);
    const double dx = double(X) - FCenterPoint.x();
    const double dy = double(Y) - FCenterPoint.y();
    if (RoundHalfEvenD(std::sqrt(dx * dx + dy * dy)) < FKnobRadius) {
        FDragging = true;
        FLastPointerAngle = RadToDeg(ArcTan2(dy, dx));
        InvalidateForeGround();
    }
}

void TiKnob::iMouseMove(Qt::KeyboardModifiers Shift, int X, int Y)
{
    TiScaleComponent::iMouseMove(Shift, X, Y);
    if (!FDragging)
        return;
    // Screen y grows downward, so pointer angles grow clockwise.
    const double theta = RadToDeg(ArcTan2(double(Y) - FCenterPoint.y(), double(X) - FCenterPoint.x()));
    double delta = FLastPointerAngle - theta;
    // Crossing the ±180° seam is a small turn, not a full one.
    if (delta > 200)
        delta -= 360;
    if (delta < -200)
        delta += 360;
    if (FRotationMaxDegrees != 0)
        SetUserPosition(PositionOfRotation(CurrentRotation() - delta));
    FLastPointerAngle = theta;
    InvalidateForeGround();
}

void TiKnob::iMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    TiScaleComponent::iMouseUp(Button, Shift, X, Y);
    InvalidateForeGround();
    if (FDragging) {
        FDragging = false;
        DoPositionChangeFinished();
    }
}

void TiKnob::iWantSpecialKey(int &Key, bool &Wanted)
{
    TiScaleComponent::iWantSpecialKey(Key, Wanted);
    if (!FUseKeyboard)
        return;
    // Arrows turn the knob instead of moving the focus.
    switch (Key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        Wanted = true;
        break;
    default:
        break;
    }
}

void TiKnob::iKeyDown(int &Key, Qt::KeyboardModifiers Shift)
{
    TiScaleComponent::iKeyDown(Key, Shift);
    if (!FUseKeyboard)
        return;
    FKeyboardActive = true;
    double target = 0;
    switch (Key) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        target = FPosition - FKeyArrowStepSize;
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        target = FPosition + FKeyArrowStepSize;
        break;
    case Qt::Key_PageUp:
        target = FPosition + FKeyPageStepSize;
        break;
    case Qt::Key_PageDown:
        target = FPosition - FKeyPageStepSize;
        break;
    case Qt::Key_Home:
        target = FPositionMin;
        break;
    case Qt::Key_End:
        target = FPositionMax;
        break;
    default:
        return;
    }
    SetUserPosition(target);
    Key = 0;
}

void TiKnob::iKeyUp(int Key, Qt::KeyboardModifiers Shift)
{
    TiScaleComponent::iKeyUp(Key, Shift);
    InvalidateForeGround();
    if (FKeyboardActive) {
        FKeyboardActive = false;
        if (FChangedSinceFinish)
            DoPositionChangeFinished();
    }
}

bool TiKnob::iMouseWheel(Qt::KeyboardModifiers Shift, int WheelDelta, QPoint MousePos)
{
    const bool handled = TiScaleComponent::iMouseWheel(Shift, WheelDelta, MousePos);
    // A zero delta has no direction; it changes nothing.
    if (WheelDelta == 0)
        return handled;
    const double now = Now();
    if (ElapsedMs(FLastWheelTime, now) >= kWheelGateMs) {
        FLastWheelTime = now;
        SetUserPosition(FPosition + (WheelDelta > 0 ? 1 : -1) * FMouseWheelStepSize);
        DoPositionChangeFinished();
    }
    return handled;
}

void TiKnob::DoFocusLeave()
{
    TiScaleComponent::DoFocusLeave();
    FDragging = false;
    FKeyboardActive = false;
}

} // namespace widgets
