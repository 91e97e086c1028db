#pragma once

#include "canvas/Fonts.h"
#include "widgets/iScaleComponent.h"

#include <QList>
#include <QPoint>
#include <QString>

namespace widgets {

// Rotary knob: a shaded body with a pointer mark, a scale of ticks and labels around it, and
// an optional value text in its centre. Turned by dragging around the centre, by keys and by
// the wheel; those changes raise OnPositionChangeUser.
class TiKnob : public TiScaleComponent
{
    Q_OBJECT
    Q_PROPERTY(int KnobRadius READ GetKnobRadius WRITE SetKnobRadius)
    Q_PROPERTY(int KnobEdgeWidth READ GetKnobEdgeWidth WRITE SetKnobEdgeWidth)
    Q_PROPERTY(TiKnobStyle KnobStyle READ GetKnobStyle WRITE SetKnobStyle)
    Q_PROPERTY(int OuterMargin READ GetOuterMargin WRITE SetOuterMargin)
    Q_PROPERTY(bool AutoSize READ GetAutoSize WRITE SetAutoSize)
    Q_PROPERTY(int RotationStartDegrees READ GetRotationStartDegrees WRITE SetRotationStartDegrees)
    Q_PROPERTY(int RotationMaxDegrees READ GetRotationMaxDegrees WRITE SetRotationMaxDegrees)
    Q_PROPERTY(TiKnobIndicatorStyle IndicatorStyle READ GetIndicatorStyle WRITE SetIndicatorStyle)
    Q_PROPERTY(int IndicatorSize READ GetIndicatorSize WRITE SetIndicatorSize)
    Q_PROPERTY(int IndicatorMargin READ GetIndicatorMargin WRITE SetIndicatorMargin)
    Q_PROPERTY(canvas::TColor IndicatorActiveColor READ GetIndicatorActiveColor WRITE SetIndicatorActiveColor)
    Q_PROPERTY(
        canvas::TColor IndicatorInactiveColor READ GetIndicatorInactiveColor WRITE SetIndicatorInactiveColor)
    Q_PROPERTY(bool ShowPostionDisplay READ GetShowPostionDisplay WRITE SetShowPostionDisplay)
    Q_PROPERTY(canvas::TFont *PositionDisplayFont READ GetPositionDisplayFont WRITE SetPositionDisplayFont)
    Q_PROPERTY(
        int PositionDisplayPrecision READ GetPositionDisplayPrecision WRITE SetPositionDisplayPrecision)
    Q_PROPERTY(QString PositionDisplayUnits READ GetPositionDisplayUnits WRITE SetPositionDisplayUnits)
    Q_PROPERTY(double KeyArrowStepSize READ GetKeyArrowStepSize WRITE SetKeyArrowStepSize)
    Q_PROPERTY(double KeyPageStepSize READ GetKeyPageStepSize WRITE SetKeyPageStepSize)
    Q_PROPERTY(double MouseWheelStepSize READ GetMouseWheelStepSize WRITE SetMouseWheelStepSize)
    Q_PROPERTY(bool UseKeyboard READ GetUseKeyboard WRITE SetUseKeyboard)
    Q_PROPERTY(bool ShowFocusRect READ GetShowFocusRect WRITE SetShowFocusRect)
    // Re-published from the bases.
    Q_PROPERTY(canvas::TColor BackGroundColor READ GetBackGroundColor WRITE SetBackGroundColor)
    Q_PROPERTY(QImage BackGroundPicture READ GetBackGroundPicture WRITE SetBackGroundPicture)
    Q_PROPERTY(int OffsetX READ GetOffsetX WRITE SetOffsetX)
    Q_PROPERTY(int OffsetY READ GetOffsetY WRITE SetOffsetY)
    Q_PROPERTY(bool TabStop READ GetTabStop WRITE SetTabStop)
    Q_PROPERTY(bool Transparent READ GetTransparent WRITE SetTransparent)
    Q_PROPERTY(bool CachedDrawing READ GetCachedDrawing WRITE SetCachedDrawing)
    Q_PROPERTY(bool ShowTicksMajor READ GetShowTicksMajor WRITE SetShowTicksMajor)
    Q_PROPERTY(bool ShowTicksMinor READ GetShowTicksMinor WRITE SetShowTicksMinor)
    Q_PROPERTY(bool ShowTickLabels READ GetShowTickLabels WRITE SetShowTickLabels)
    Q_PROPERTY(int TickMajorCount READ GetTickMajorCount WRITE SetTickMajorCount)
    Q_PROPERTY(canvas::TColor TickMajorColor READ GetTickMajorColor WRITE SetTickMajorColor)
    Q_PROPERTY(int TickMajorLength READ GetTickMajorLength WRITE SetTickMajorLength)
    Q_PROPERTY(widgets::TiTickMinorAlignment TickMinorAlignment READ GetTickMinorAlignment WRITE
                   SetTickMinorAlignment)
    Q_PROPERTY(int TickMinorCount READ GetTickMinorCount WRITE SetTickMinorCount)
    Q_PROPERTY(canvas::TColor TickMinorColor READ GetTickMinorColor WRITE SetTickMinorColor)
    Q_PROPERTY(int TickMinorLength READ GetTickMinorLength WRITE SetTickMinorLength)
    Q_PROPERTY(int TickMargin READ GetTickMargin WRITE SetTickMargin)
    Q_PROPERTY(int TickLabelMargin READ GetTickLabelMargin WRITE SetTickLabelMargin)
    Q_PROPERTY(canvas::TFont *TickLabelFont READ GetTickLabelFont WRITE SetTickLabelFont)
    Q_PROPERTY(int TickLabelPrecision READ GetTickLabelPrecision WRITE SetTickLabelPrecision)
    Q_PROPERTY(widgets::TiPrecisionStyle PrecisionStyle READ GetPrecisionStyle WRITE SetPrecisionStyle)
    Q_PROPERTY(bool AutoScaleEnabled READ GetAutoScaleEnabled WRITE SetAutoScaleEnabled)
    Q_PROPERTY(int AutoScaleDesiredTicks READ GetAutoScaleDesiredTicks WRITE SetAutoScaleDesiredTicks)
    Q_PROPERTY(int AutoScaleMaxTicks READ GetAutoScaleMaxTicks WRITE SetAutoScaleMaxTicks)
    Q_PROPERTY(widgets::TiAutoScaleStyle AutoScaleStyle READ GetAutoScaleStyle WRITE SetAutoScaleStyle)
    Q_CLASSINFO("default:KnobRadius", "35")
    Q_CLASSINFO("default:KnobEdgeWidth", "3")
    Q_CLASSINFO("default:KnobStyle", "iksRaised")
    Q_CLASSINFO("default:OuterMargin", "2")
    Q_CLASSINFO("default:AutoSize", "True")
    Q_CLASSINFO("default:RotationStartDegrees", "225")
    Q_CLASSINFO("default:RotationMaxDegrees", "270")
    Q_CLASSINFO("default:IndicatorStyle", "ikisDotLowered")
    Q_CLASSINFO("default:IndicatorSize", "4")
    Q_CLASSINFO("default:IndicatorMargin", "5")
    Q_CLASSINFO("default:IndicatorActiveColor", "clAqua")
    Q_CLASSINFO("default:IndicatorInactiveColor", "clRed")
    Q_CLASSINFO("default:ShowPostionDisplay", "False")
    Q_CLASSINFO("default:PositionDisplayPrecision", "1")
    Q_CLASSINFO("default:PositionDisplayUnits", "\"\"")
    Q_CLASSINFO("default:KeyArrowStepSize", "0.1")
    Q_CLASSINFO("default:KeyPageStepSize", "1")
    Q_CLASSINFO("default:MouseWheelStepSize", "1")
    Q_CLASSINFO("default:UseKeyboard", "True")
    Q_CLASSINFO("default:ShowFocusRect", "True")
    Q_CLASSINFO("default:BackGroundColor", "clBtnFace")
    Q_CLASSINFO("default:OffsetX", "0")
    Q_CLASSINFO("default:OffsetY", "0")
    Q_CLASSINFO("default:TabStop", "True")
    Q_CLASSINFO("default:Transparent", "False")
    Q_CLASSINFO("default:CachedDrawing", "True")
    Q_CLASSINFO("default:Width", "150")
    Q_CLASSINFO("default:Height", "150")
    Q_CLASSINFO("default:ShowTicksMajor", "True")
    Q_CLASSINFO("default:ShowTicksMinor", "True")
    Q_CLASSINFO("default:ShowTickLabels", "True")
    Q_CLASSINFO("default:TickMajorCount", "5")
    Q_CLASSINFO("default:TickMajorColor", "clBlack")
    Q_CLASSINFO("default:TickMajorLength", "7")
    Q_CLASSINFO("default:TickMinorAlignment", "itmnaInside")
    Q_CLASSINFO("default:TickMinorCount", "4")
    Q_CLASSINFO("default:TickMinorColor", "clGray")
    Q_CLASSINFO("default:TickMinorLength", "3")
    Q_CLASSINFO("default:TickMargin", "5")
    Q_CLASSINFO("default:TickLabelMargin", "15")
    Q_CLASSINFO("default:TickLabelPrecision", "0")
    Q_CLASSINFO("default:PrecisionStyle", "ipsFixedDecimalPoints")
    Q_CLASSINFO("default:AutoScaleEnabled", "False")
    Q_CLASSINFO("default:AutoScaleDesiredTicks", "5")
    Q_CLASSINFO("default:AutoScaleMaxTicks", "6")
    Q_CLASSINFO("default:AutoScaleStyle", "iassAutoMinMax")

public:
    enum TiKnobStyle { iksRaisedEdge, iksRaised, iksSunken, iksSunkenEdge };
    Q_ENUM(TiKnobStyle)
    enum TiKnobIndicatorStyle {
        ikisDotLowered,
        ikisDotRaised,
        ikisDot,
        ikisLineCenter,
        ikisLineCustom,
        ikisTriangle
    };
    Q_ENUM(TiKnobIndicatorStyle)

    explicit TiKnob(QWidget *parent = nullptr);

    int GetKnobRadius() const { return FKnobRadius; }
    void SetKnobRadius(int Value);
    int GetKnobEdgeWidth() const { return FKnobEdgeWidth; }
    void SetKnobEdgeWidth(int Value);
    TiKnobStyle GetKnobStyle() const { return FKnobStyle; }
    void SetKnobStyle(TiKnobStyle Value);
    int GetOuterMargin() const { return FOuterMargin; }
    void SetOuterMargin(int Value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    int GetRotationStartDegrees() const { return FRotationStartDegrees; }
    void SetRotationStartDegrees(int Value);
    int GetRotationMaxDegrees() const { return FRotationMaxDegrees; }
    void SetRotationMaxDegrees(int Value);
    TiKnobIndicatorStyle GetIndicatorStyle() const { return FIndicatorStyle; }
    void SetIndicatorStyle(TiKnobIndicatorStyle Value);
    int GetIndicatorSize() const { return FIndicatorSize; }
    // 0 or below becomes 1.
    void SetIndicatorSize(int Value);
    int GetIndicatorMargin() const { return FIndicatorMargin; }
    void SetIndicatorMargin(int Value);
    canvas::TColor GetIndicatorActiveColor() const { return FIndicatorActiveColor; }
    void SetIndicatorActiveColor(canvas::TColor Value);
    canvas::TColor GetIndicatorInactiveColor() const { return FIndicatorInactiveColor; }
    void SetIndicatorInactiveColor(canvas::TColor Value);
    bool GetShowPostionDisplay() const { return FShowPostionDisplay; }
    void SetShowPostionDisplay(bool Value);
    canvas::TFont *GetPositionDisplayFont() const { return FPositionDisplayFont; }
    // Copies the font in.
    void SetPositionDisplayFont(canvas::TFont *Value);
    int GetPositionDisplayPrecision() const { return FPositionDisplayPrecision; }
    void SetPositionDisplayPrecision(int Value);
    QString GetPositionDisplayUnits() const { return FPositionDisplayUnits; }
    void SetPositionDisplayUnits(const QString &Value);
    double GetKeyArrowStepSize() const { return FKeyArrowStepSize; }
    void SetKeyArrowStepSize(double Value);
    double GetKeyPageStepSize() const { return FKeyPageStepSize; }
    void SetKeyPageStepSize(double Value);
    double GetMouseWheelStepSize() const { return FMouseWheelStepSize; }
    void SetMouseWheelStepSize(double Value);
    bool GetUseKeyboard() const { return FUseKeyboard; }
    void SetUseKeyboard(bool Value);
    bool GetShowFocusRect() const { return FShowFocusRect; }
    void SetShowFocusRect(bool Value);

    // Knob state.
    QPoint CenterPoint() const { return FCenterPoint; }
    bool Dragging() const { return FDragging; }
    bool KeyboardActive() const { return FKeyboardActive; }
    double LastPointerAngle() const { return FLastPointerAngle; }
    double LastWheelTime() const { return FLastWheelTime; }

    // Scale angle of a value, in degrees counter-clockwise from +x.
    double AngleOfValue(double Value) const;
    // Rotation of the current position from the start angle.
    double CurrentRotation() const;
    // Tick label text of a value, before OnCustomizeTickLabel.
    QString TickLabelText(double Value) const;
    QString PositionDisplayText() const;

    void iPaintTo(canvas::Canvas &Canvas) override;
    void iMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) override;
    void iMouseMove(Qt::KeyboardModifiers Shift, int X, int Y) override;
    void iMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) override;
    void iWantSpecialKey(int &Key, bool &Wanted) override;
    void iKeyDown(int &Key, Qt::KeyboardModifiers Shift) override;
    void iKeyUp(int Key, Qt::KeyboardModifiers Shift) override;
    bool iMouseWheel(Qt::KeyboardModifiers Shift, int WheelDelta, QPoint MousePos) override;
    void DoFocusLeave() override;
    void PositionBindingUpdate() override;

    bool ReadStoredValue(const QString &name, const QVariant &value) override;
    QList<QPair<QString, QVariant>> StoredValues() const override;

private:
    void DrawStatic(canvas::Canvas &Canvas);
    void DrawIndicator(canvas::Canvas &Canvas);
    void DoAutoSize(canvas::Canvas &Canvas);
    void DrawKnob(canvas::Canvas &Canvas);
    void DrawScale(canvas::Canvas &Canvas);
    void DrawPositionDisplay(canvas::Canvas &Canvas);
    // Sets the position that corresponds to a rotation, as the user's own change.
    void SetUserPosition(double Value);
    double PositionOfRotation(double Rotation) const;

    int FKnobRadius = 35;
    int FKnobEdgeWidth = 3;
    TiKnobStyle FKnobStyle = iksRaised;
    int FOuterMargin = 2;
    bool FAutoSize = true;
    int FRotationStartDegrees = 225;
    int FRotationMaxDegrees = 270;
    TiKnobIndicatorStyle FIndicatorStyle = ikisDotLowered;
    int FIndicatorSize = 4;
    int FIndicatorMargin = 5;
    canvas::TColor FIndicatorActiveColor;
    canvas::TColor FIndicatorInactiveColor;
    bool FShowPostionDisplay = false;
    canvas::TFont *FPositionDisplayFont = nullptr;
    int FPositionDisplayPrecision = 1;
    QString FPositionDisplayUnits;
    double FKeyArrowStepSize = 0.1;
    double FKeyPageStepSize = 1.0;
    double FMouseWheelStepSize = 1.0;
    bool FUseKeyboard = true;
    bool FShowFocusRect = true;

    QPoint FCenterPoint;
    bool FDragging = false;
    bool FKeyboardActive = false;
    double FLastPointerAngle = 0.0;
    double FLastWheelTime = 0.0;
};

using TiKnobStyle = TiKnob::TiKnobStyle;
using TiKnobIndicatorStyle = TiKnob::TiKnobIndicatorStyle;

// One chord of the shaded disc; the end point's own pixel is not drawn.
struct TiKnobShadeLine
{
    QPoint From;
    QPoint To;
    canvas::TColor Color = 0;
};

// The chords of a shaded disc around Center in drawing order, light at the upper left for a
// raised disc. FaceRGB is the resolved face colour the dark end derives from. Chords farther
// than MaxDistance from the centre (beyond every pixel of the image) are left out.
QList<TiKnobShadeLine> KnobShadeLines(QPoint Center, int Radius, bool Raised, canvas::TColor FaceRGB,
                                      double MaxDistance);

} // namespace widgets
