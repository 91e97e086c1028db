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

canvas::TColor DimColor(canvas::TColor Color, int Divisor)
{
    const int r = canvas::GetRValue(Color) / Divisor;
    const int g = canvas::GetGValue(Color) / Divisor;
    const int b = canvas::GetBValue(Color) / Divisor;
    return canvas::RGB(r, g, b);
}

void iDrawFocusRect(canvas::Canvas &Canvas, const canvas::TRect &Rect)
{
    Canvas.DrawFocusRect(Rect);
}

void iDrawBevel(canvas::Canvas &Canvas, const canvas::TRect &Rect, int Style)
{
    switch (Style) {
    case 0:
        Canvas.DrawEdge(Rect, canvas::EDGE_SUNKEN, canvas::BF_RECT);
        break;
    case 1:
        Canvas.DrawEdge(Rect, canvas::EDGE_RAISED, canvas::BF_RECT);
        break;
    case 2:
        Canvas.Pen.Style = canvas::psSolid;
        Canvas.Pen.Color = canvas::clBtnShadow;
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
        canvas::DT_CENTER,
        canvas::DT_RIGHT,
        0,
        canvas::DT_VCENTER,
        canvas::DT_BOTTOM,
        canvas::DT_WORDBREAK,
        canvas::DT_SINGLELINE,
        canvas::DT_EXPANDTABS,
        canvas::DT_NOCLIP,
        canvas::DT_NOPREFIX,
        canvas::DT_CALCRECT,
        canvas::DT_END_ELLIPSIS,
        canvas::DT_PATH_ELLIPSIS,
        canvas::DT_WORD_ELLIPSIS,
        canvas::DT_MODIFYSTRING,
    };
    unsigned result = 0;
    for (int bit = 0; bit < 16; ++bit)
        if (Options & (1u << bit))
            result |= flags[bit];
    return result;
}

int iDrawText(canvas::Canvas &Canvas, const QString &Text, canvas::TRect &Rect, TiTextOptions Options)
{
    return Canvas.DrawText(Text, Rect, TextOptionsToDrawTextFlags(Options));
}

} // namespace widgets
