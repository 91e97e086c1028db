#pragma once

#include "widgets/iProgressComponent.h"

#include <cstdint>
#include <functional>

namespace widgets {

struct TiLedBarLayout;

// A value shown as a row of LED segments lit from one end, in up to three colour sections.
// Passive: it draws everything on every paint and keeps no cache.
class TiLedBar : public TiProgressComponent
{
    Q_OBJECT
    Q_PROPERTY(TiDirection SegmentDirection READ GetSegmentDirection WRITE SetSegmentDirection)
    Q_PROPERTY(int SegmentSize READ GetSegmentSize WRITE SetSegmentSize)
    Q_PROPERTY(int SegmentSpacing READ GetSegmentSpacing WRITE SetSegmentSpacing)
    Q_PROPERTY(int SegmentMargin READ GetSegmentMargin WRITE SetSegmentMargin)
    Q_PROPERTY(TiLedBarSegmentStyle SegmentStyle READ GetSegmentStyle WRITE SetSegmentStyle)
    Q_PROPERTY(canvas::TColor BackGroundColor READ GetBackGroundColor WRITE SetBackGroundColor)
    Q_PROPERTY(widgets::TiBevelStyle BorderStyle READ GetBorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(bool Transparent READ GetTransparent WRITE SetTransparent)
    Q_CLASSINFO("default:SegmentDirection", "idUp")
    Q_CLASSINFO("default:SegmentSize", "5")
    Q_CLASSINFO("default:SegmentSpacing", "2")
    Q_CLASSINFO("default:SegmentMargin", "2")
    Q_CLASSINFO("default:SegmentStyle", "ilbssRectangle")
    Q_CLASSINFO("default:BackGroundColor", "clBlack")
    Q_CLASSINFO("default:BorderStyle", "ibsNone")
    Q_CLASSINFO("default:Transparent", "False")
    Q_CLASSINFO("default:Width", "16")
    Q_CLASSINFO("default:Height", "200")

public:
    enum TiDirection : uint8_t { idUp, idDown, idRight, idLeft };
    Q_ENUM(TiDirection)
    enum TiLedBarSegmentStyle { ilbssRectangle, ilbssCircle, ilbssTriangle };
    Q_ENUM(TiLedBarSegmentStyle)

    explicit TiLedBar(QWidget *parent = nullptr);

    TiDirection GetSegmentDirection() const { return FSegmentDirection; }
    // Crossing between vertical and horizontal swaps Width and Height (not while loading).
    void SetSegmentDirection(TiDirection Value);
    int GetSegmentSize() const { return FSegmentSize; }
    void SetSegmentSize(int Value);
    int GetSegmentSpacing() const { return FSegmentSpacing; }
    void SetSegmentSpacing(int Value);
    int GetSegmentMargin() const { return FSegmentMargin; }
    void SetSegmentMargin(int Value);
    TiLedBarSegmentStyle GetSegmentStyle() const { return FSegmentStyle; }
    void SetSegmentStyle(TiLedBarSegmentStyle Value);

    // Not published; nothing in the program assigns it.
    std::function<void(QObject *)> OnOrientationChange;

    void iPaintTo(canvas::Canvas &Canvas) override;
    // True when the bar looks the same at positions A and B (and nothing paints over it).
    bool DrawsAlike(double A, double B) const;

protected:
    // Repaints the segments that turn on or off, or nothing when none does.
    void InvalidatePosition() override;

private:
    TiLedBarLayout CurrentLayout() const;
    TiLedBarLayout LayoutAt(double Fraction) const;

    // What the last paint showed: a position change repaints from it to the new lit end.
    canvas::TRect FPaintedFirst;
    int FPaintedStepX = 0;
    int FPaintedStepY = 0;
    int FPaintedCount = 0;
    int FPaintedLit = 0;
    bool FPaintedValid = false;
    TiDirection FSegmentDirection = idUp;
    int FSegmentSize = 5;
    int FSegmentSpacing = 2;
    int FSegmentMargin = 2;
    TiLedBarSegmentStyle FSegmentStyle = ilbssRectangle;
};

using TiDirection = TiLedBar::TiDirection;
using TiLedBarSegmentStyle = TiLedBar::TiLedBarSegmentStyle;

// --- layout, independent of any widget --------------------------------------------------

struct TiLedBarInput
{
    int Width = 16;
    int Height = 200;
    bool Bevel = false;
    TiDirection Direction = TiLedBar::idUp;
    int Margin = 2;
    int Size = 5;
    int Spacing = 2;
    double Fraction = 0.0; // position fraction of the current value
    double PositionMin = 0.0;
    double PositionMax = 100.0;
    double SectionEnd1 = 50.0;
    double SectionEnd2 = 75.0;
};

struct TiLedBarLayout
{
    int Length = 0; // usable length L
    int Step = 0;   // S
    int Count = 0;  // N
    int Offset = 0; // centring offset C
    int Lit = 0;
    int End1 = 0; // section boundaries E1, E2
    int End2 = 0;
    canvas::TRect First;
    int StepX = 0;
    int StepY = 0;

    canvas::TRect Segment(int Index) const;
    // 1, 2 or 3.
    int SectionOf(int Index, int SectionCount) const;
};

TiLedBarLayout ComputeLedBarLayout(const TiLedBarInput &In);

} // namespace widgets
