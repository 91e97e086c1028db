#include "canvas/Colors.h"

#include <array>
#include <utility>

namespace canvas {

namespace {

// Classic scheme, indexed by the low byte of a system colour.
constexpr std::array<TColor, 31> kSystemColors = {
    0xC0C0C0, // 0 clScrollBar
    0x808000, // 1 clBackground
    0x800000, // 2 clActiveCaption
    0x808080, // 3 clInactiveCaption
    0xC0C0C0, // 4 clMenu
    0xFFFFFF, // 5 clWindow
    0x000000, // 6 clWindowFrame
    0x000000, // 7 clMenuText
    0x000000, // 8 clWindowText
    0xFFFFFF, // 9 clCaptionText
    0xC0C0C0, // 10 clActiveBorder
    0xC0C0C0, // 11 clInactiveBorder
    0x808080, // 12 clAppWorkSpace
    0x800000, // 13 clHighlight
    0xFFFFFF, // 14 clHighlightText
    0xC0C0C0, // 15 clBtnFace
    0x808080, // 16 clBtnShadow
    0x808080, // 17 clGrayText
    0x000000, // 18 clBtnText
    0xC0C0C0, // 19 clInactiveCaptionText
    0xFFFFFF, // 20 clBtnHighlight
    0x000000, // 21 cl3DDkShadow
    0xC0C0C0, // 22 cl3DLight
    0x000000, // 23 clInfoText
    0xE1FFFF, // 24 clInfoBk
    0xC0C0C0, // 25 (unused)
    0x800000, // 26 clHotLight
    0xD08410, // 27 clGradientActiveCaption
    0xB5B5B5, // 28 clGradientInactiveCaption
    0x800000, // 29 clMenuHighlight
    0xC0C0C0, // 30 clMenuBar
};

struct NamedColor
{
    TColor value;
    const char *name;
};

// Name lookup in both directions; where two names share a value the first one is written.
constexpr NamedColor kNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clLtGray, "clLtGray"},
    {clDkGray, "clDkGray"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
};

} // namespace

TColor ColorToRGB(TColor color)
{
    if ((color & 0xFF000000) == clSystemColor) {
        const uint32_t index = color & 0x00FFFFFF;
        return index < kSystemColors.size() ? kSystemColors[index] : clBlack;
    }
    return color & 0x00FFFFFF;
}

QRgb ToQRgb(TColor color)
{
    const TColor c = ColorToRGB(color);
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

QColor ToQColor(TColor color)
{
    return QColor::fromRgb(ToQRgb(color));
}

TColor FromQRgb(QRgb rgb)
{
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

QString ColorToIdent(TColor color)
{
    for (const NamedColor &n : kNames) {
        if (n.value == color)
            return QString::fromLatin1(n.name);
    }
    return QString::number(int32_t(color));
}

bool IdentToColor(const QString &ident, TColor &color)
{
    const QString s = ident.trimmed();
    for (const NamedColor &n : kNames) {
        if (s.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0) {
            color = n.value;
            return true;
        }
    }
    bool ok = false;
    qlonglong v = 0;
    if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ||
        s.startsWith(QLatin1String("-0x"), Qt::CaseInsensitive)) {
        const bool negative = s.startsWith(QLatin1Char('-'));
        v = s.mid(negative ? 3 : 2).toLongLong(&ok, 16);
        if (negative)
            v = -v;
    } else {
        v = s.toLongLong(&ok, 10);
    }
    if (!ok || v < qlonglong(INT32_MIN) || v > qlonglong(UINT32_MAX))
        return false;
    color = TColor(uint32_t(v));
    return true;
}

} // namespace canvas
