#include "widgets/iGPFunctions.h"

#include "widgets/iMath.h"

#include <cmath>

namespace widgets {

QPoint PolarPoint(QPoint Center, double Radius, double Degrees)
{
    const double a = DegToRad(Degrees);
    return QPoint(Center.x() + RoundHalfEven(Radius * std::cos(a)),
                  Center.y() - RoundHalfEven(Radius * std::sin(a)));
}

QPoint PolarPointTrunc(double CenterX, double CenterY, double Radius, double Degrees)
{
    const double a = DegToRad(Degrees);
    return QPoint(static_cast<int>(std::trunc(CenterX + Radius * std::cos(a))),
                  static_cast<int>(std::trunc(CenterY - Radius * std::sin(a))));
}

framework::TColor DimColor(framework::TColor Color, int Divisor)
{
    const int r = framework::GetRValue(Color) / Divisor;
    const int g = framework::GetGValue(Color) / Divisor;
    const int b = framework::GetBValue(Color) / Divisor;
    return framework::RGB(r, g, b);
}

void iDrawFocusRect(framework::Canvas &Canvas, const framework::TRect &Rect)
{
    Canvas.DrawFocusRect(Rect);
}

void iDrawBevel(framework::Canvas &Canvas, const framework::TRect &Rect, int Style)
{
    switch (Style) {
    case 0:
        Canvas.DrawEdge(Rect, framework::EDGE_SUNKEN, framework::BF_RECT);
        break;
    case 1:
        Canvas.DrawEdge(Rect, framework::EDGE_RAISED, framework::BF_RECT);
        break;
    case 2:
        Canvas.Pen.Style = framework::psSolid;
        Canvas.Pen.Color = framework::clBtnShadow;
        Canvas.Polygon({QPoint(Rect.Left, Rect.Top), QPoint(Rect.Right - 1, Rect.Top),
                        QPoint(Rect.Right - 1, Rect.Bottom - 1), QPoint(Rect.Left, Rect.Bottom - 1)});
        break;
    default:
        break;
    }
}

unsigned TextOptionsToDrawTextFlags(TiTextOptions Options)
{
    static constexpr unsigned flags[16] = {
        0,
        framework::DT_CENTER,
        framework::DT_RIGHT,
        0,
        framework::DT_VCENTER,
        framework::DT_BOTTOM,
        framework::DT_WORDBREAK,
        framework::DT_SINGLELINE,
        framework::DT_EXPANDTABS,
        framework::DT_NOCLIP,
        framework::DT_NOPREFIX,
        framework::DT_CALCRECT,
        framework::DT_END_ELLIPSIS,
        framework::DT_PATH_ELLIPSIS,
        framework::DT_WORD_ELLIPSIS,
        framework::DT_MODIFYSTRING,
    };
    unsigned result = 0;
    for (int bit = 0; bit < 16; ++bit)
        if (Options & (1u << bit))
            result |= flags[bit];
    return result;
}

int iDrawText(framework::Canvas &Canvas, const QString &Text, framework::TRect &Rect, TiTextOptions Options)
{
    return Canvas.DrawText(Text, Rect, TextOptionsToDrawTextFlags(Options));
}

} // namespace widgets
