#pragma once

#include "widgets/iVCLComponent.h"

#include <cstdint>

namespace widgets {

// A container whose whole area is a two-colour gradient in one of twelve patterns; child
// controls are drawn above it. The rendered gradient is kept in BackGroundCache and reused
// until the direction, a colour or the bounds change.
class TiGradient : public TiVCLComponent
{
    Q_OBJECT
    Q_PROPERTY(TiFillDirection Direction READ GetDirection WRITE SetDirection)
    Q_PROPERTY(canvas::TColor ColorStart READ GetColorStart WRITE SetColorStart)
    Q_PROPERTY(canvas::TColor ColorStop READ GetColorStop WRITE SetColorStop)
    Q_PROPERTY(controls::ControlEnums::TAlign Align READ Align WRITE setAlign)
    Q_PROPERTY(bool CachedDrawing READ GetCachedDrawing WRITE SetCachedDrawing)
    Q_CLASSINFO("default:Direction", "ifdTopBottom")
    Q_CLASSINFO("default:ColorStart", "clBlue")
    Q_CLASSINFO("default:ColorStop", "clBlack")
    Q_CLASSINFO("default:Align", "alNone")
    Q_CLASSINFO("default:CachedDrawing", "True")
    Q_CLASSINFO("default:Width", "96")
    Q_CLASSINFO("default:Height", "96")

public:
    enum TiFillDirection : uint8_t {
        ifdTopBottom,
        ifdBottomTop,
        ifdLeftRight,
        ifdRightLeft,
        ifdTopLeftBottomRight,
        ifdBottomRightTopLeft,
        ifdBottomLeftTopRight,
        ifdTopRightBottomLeft,
        ifdRectangleOut,
        ifdRectangleIn,
        ifdCircleOut,
        ifdCircleIn
    };
    Q_ENUM(TiFillDirection)

    explicit TiGradient(QWidget *parent = nullptr);

    TiFillDirection GetDirection() const { return FDirection; }
    void SetDirection(TiFillDirection Value);
    canvas::TColor GetColorStart() const { return FColorStart; }
    void SetColorStart(canvas::TColor Value);
    canvas::TColor GetColorStop() const { return FColorStop; }
    void SetColorStop(canvas::TColor Value);

    // Marks the gradient for rendering even when the bounds stay the same.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    void iPaintTo(canvas::Canvas &Canvas) override;

    // Draws the gradient for the current size onto Canvas (0, 0, Width, Height).
    void Render(canvas::Canvas &Canvas);

    bool NeedsRender() const { return FNeedsRender; }
    // Completed rendering passes, for tests.
    int RenderCount() const { return FRenderCount; }

protected:
    void BoundsChanged(bool Moved, bool Resized) override;

private:
    TiFillDirection FDirection = ifdTopBottom;
    canvas::TColor FColorStart;
    canvas::TColor FColorStop;
    bool FNeedsRender = true;
    int FRenderCount = 0;
};

using TiFillDirection = TiGradient::TiFillDirection;

// Step count of a pattern for a W x H area; nothing is drawn when it is 0 or less.
int GradientSteps(TiFillDirection Direction, int Width, int Height);

} // namespace widgets
