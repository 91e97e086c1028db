#pragma once

#include <QColor>
#include <QString>
#include <QtGui/qrgb.h>

#include <cstdint>

namespace canvas {

// Colour in the framework encoding: 0x00BBGGRR for plain RGB values. A value with the top byte
// 0xFF names a system colour (low byte = index into the system-colour table); the palette flag
// 0x02000000 means nothing on a true-colour image and is ignored.
using TColor = uint32_t;

constexpr TColor RGB(int r, int g, int b)
{
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}
constexpr int GetRValue(TColor c)
{
    return int(c & 0xFF);
}
constexpr int GetGValue(TColor c)
{
    return int((c >> 8) & 0xFF);
}
constexpr int GetBValue(TColor c)
{
    return int((c >> 16) & 0xFF);
}

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clLtGray = 0xC0C0C0;
inline constexpr TColor clDkGray = 0x808080;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// Returned by Canvas::Pixel for a point outside the image.
inline constexpr TColor CLR_INVALID = 0xFFFFFFFF;
inline constexpr TColor PaletteFlag = 0x02000000;
inline constexpr TColor clSystemColor = 0xFF000000;

inline constexpr TColor clScrollBar = clSystemColor | 0;
inline constexpr TColor clBackground = clSystemColor | 1;
inline constexpr TColor clActiveCaption = clSystemColor | 2;
inline constexpr TColor clInactiveCaption = clSystemColor | 3;
inline constexpr TColor clMenu = clSystemColor | 4;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowFrame = clSystemColor | 6;
inline constexpr TColor clMenuText = clSystemColor | 7;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clCaptionText = clSystemColor | 9;
inline constexpr TColor clActiveBorder = clSystemColor | 10;
inline constexpr TColor clInactiveBorder = clSystemColor | 11;
inline constexpr TColor clAppWorkSpace = clSystemColor | 12;
inline constexpr TColor clHighlight = clSystemColor | 13;
inline constexpr TColor clHighlightText = clSystemColor | 14;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnShadow = clSystemColor | 16;
inline constexpr TColor clGrayText = clSystemColor | 17;
inline constexpr TColor clBtnText = clSystemColor | 18;
inline constexpr TColor clInactiveCaptionText = clSystemColor | 19;
inline constexpr TColor clBtnHighlight = clSystemColor | 20;
inline constexpr TColor cl3DDkShadow = clSystemColor | 21;
inline constexpr TColor cl3DLight = clSystemColor | 22;
inline constexpr TColor clInfoText = clSystemColor | 23;
inline constexpr TColor clInfoBk = clSystemColor | 24;
inline constexpr TColor clHotLight = clSystemColor | 26;
inline constexpr TColor clGradientActiveCaption = clSystemColor | 27;
inline constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
inline constexpr TColor clMenuHighlight = clSystemColor | 29;
inline constexpr TColor clMenuBar = clSystemColor | 30;

// Plain 0x00BBGGRR value of any colour: system colours through the one table (an index beyond
// the table gives black), the palette flag and other high bits dropped.
TColor ColorToRGB(TColor color);

// Opaque QColor / QRgb (0xFFRRGGBB) of a colour, system colours resolved.
QColor ToQColor(TColor color);
QRgb ToQRgb(TColor color);
// The RGB part of a QRgb (alpha dropped) in the framework encoding.
TColor FromQRgb(QRgb rgb);

// Layout spelling of a colour: its constant name ("clBtnFace") when it has one, otherwise the
// value as a signed 32-bit decimal number, as stored layouts hold it ("-16777201" is clBtnFace
// and is written by name).
QString ColorToIdent(TColor color);
// Parses a constant name (case-insensitive) or an integer (decimal, optional '-', or 0x hex, as
// long as it fits in 32 bits signed or unsigned). Returns false and leaves `color` alone otherwise.
bool IdentToColor(const QString &ident, TColor &color);

} // namespace canvas
