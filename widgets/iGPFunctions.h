#pragma once

#include "canvas/Canvas.h"
#include "canvas/Colors.h"

#include <QPoint>
#include <QPointF>
#include <QString>
#include <cstdint>

namespace widgets {

// Point at `Radius` from `Center` at `Degrees` (counter-clockwise from +x, up positive),
// coordinates rounded half to even.
QPoint PolarPoint(QPoint Center, double Radius, double Degrees);
// The same with the centre as two reals and the coordinates truncated toward zero.
QPoint PolarPointTrunc(double CenterX, double CenterY, double Radius, double Degrees);

// Each of red, green and blue divided by Divisor (remainder dropped); top byte cleared.
canvas::TColor DimColor(canvas::TColor Color, int Divisor);

void iDrawFocusRect(canvas::Canvas &Canvas, const canvas::TRect &Rect);

// Style 0: sunken edge; 1: raised edge; 2: one-pixel clBtnShadow outline drawn as a polygon
// (its inside filled with the canvas's current brush).
void iDrawBevel(canvas::Canvas &Canvas, const canvas::TRect &Rect, int Style);

// Text option bits, mapped one by one onto the canvas's DrawText flags.
enum TiTextOption : uint16_t {
    itoLeft = 1u << 0,
    itoCenter = 1u << 1,
    itoRight = 1u << 2,
    itoTop = 1u << 3,
    itoVerticalCenter = 1u << 4,
    itoBottom = 1u << 5,
    itoWordBreak = 1u << 6,
    itoSingleLine = 1u << 7,
    itoExpandTabs = 1u << 8,
    itoNoClip = 1u << 9,
    itoNoPrefix = 1u << 10,
    itoCalcRect = 1u << 11,
    itoEndEllipsis = 1u << 12,
    itoPathEllipsis = 1u << 13,
    itoWordEllipsis = 1u << 14,
    itoModifyString = 1u << 15,
};
using TiTextOptions = uint16_t;

unsigned TextOptionsToDrawTextFlags(TiTextOptions Options);

// Draws Text in Rect through the canvas's formatted-text call; returns the text height.
// With itoCalcRect nothing is drawn and Rect receives the bounds.
int iDrawText(canvas::Canvas &Canvas, const QString &Text, canvas::TRect &Rect, TiTextOptions Options);

} // namespace widgets
