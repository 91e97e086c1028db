#include "canvas/Colors.h"

#include <gtest/gtest.h>

using namespace canvas;

TEST(Colors, NamedConstantsAndSystemTable)
{
    EXPECT_EQ(clRed, 0x0000FFu);
    EXPECT_EQ(clNavy, 0x800000u);
    EXPECT_EQ(clMoneyGreen, 0xC0DCC0u);
    EXPECT_EQ(clBtnFace, 0xFF00000Fu);
    EXPECT_EQ(int32_t(clBtnFace), -16777201); // as stored layouts write it

    EXPECT_EQ(ColorToRGB(clBtnFace), 0xC0C0C0u);
    EXPECT_EQ(ColorToRGB(clBtnShadow), 0x808080u);
    EXPECT_EQ(ColorToRGB(clBtnHighlight), 0xFFFFFFu);
    EXPECT_EQ(ColorToRGB(cl3DDkShadow), 0x000000u);
    EXPECT_EQ(ColorToRGB(cl3DLight), 0xC0C0C0u);
    EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFFu);
    EXPECT_EQ(ColorToRGB(clWindowText), 0x000000u);
    EXPECT_EQ(ColorToRGB(clInfoBk), 0xE1FFFFu);
    EXPECT_EQ(ColorToRGB(clHighlight), 0x800000u);
    EXPECT_EQ(ColorToRGB(clGrayText), 0x808080u);
    EXPECT_EQ(ColorToRGB(clSystemColor | 200), 0u); // beyond the table

    EXPECT_EQ(ColorToRGB(clMaroon), clMaroon);
    EXPECT_EQ(ColorToRGB(PaletteFlag | 0x123456), 0x123456u); // palette flag ignored
}

TEST(Colors, QtConversions)
{
    EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(clBtnFace), QColor(192, 192, 192));
    EXPECT_EQ(ToQRgb(RGB(1, 2, 3)), qRgb(1, 2, 3));
    EXPECT_EQ(FromQRgb(qRgba(10, 20, 30, 0)), RGB(10, 20, 30));
    EXPECT_EQ(GetRValue(0x123456), 0x56);
    EXPECT_EQ(GetGValue(0x123456), 0x34);
    EXPECT_EQ(GetBValue(0x123456), 0x12);
}

TEST(Colors, IdentConversion)
{
    EXPECT_EQ(ColorToIdent(clBtnFace), QStringLiteral("clBtnFace"));
    EXPECT_EQ(ColorToIdent(clMoneyGreen), QStringLiteral("clMoneyGreen"));
    EXPECT_EQ(ColorToIdent(16744576), QStringLiteral("16744576"));
    EXPECT_EQ(ColorToIdent(0xFF000063), QStringLiteral("-16777117"));

    TColor c = 7;
    EXPECT_TRUE(IdentToColor(QStringLiteral("clBtnFace"), c));
    EXPECT_EQ(c, clBtnFace);
    EXPECT_TRUE(IdentToColor(QStringLiteral("CLRED"), c));
    EXPECT_EQ(c, clRed);
    EXPECT_TRUE(IdentToColor(QStringLiteral("-16777201"), c));
    EXPECT_EQ(c, clBtnFace);
    EXPECT_TRUE(IdentToColor(QStringLiteral("65280"), c));
    EXPECT_EQ(c, clLime);
    EXPECT_TRUE(IdentToColor(QStringLiteral("0xFF00FF"), c));
    EXPECT_EQ(c, clFuchsia);
    c = 7;
    EXPECT_FALSE(IdentToColor(QStringLiteral("clNoSuchColour"), c));
    EXPECT_FALSE(IdentToColor(QStringLiteral("12abc"), c));
    EXPECT_FALSE(IdentToColor(QStringLiteral("99999999999"), c));
    EXPECT_FALSE(IdentToColor(QString(), c));
    EXPECT_EQ(c, 7u);

    // Every name written comes back as the same value.
    for (TColor v : {clBlack, clWhite, clNone, clDefault, clInfoBk, cl3DDkShadow, clMenuBar, TColor(12345)}) {
        TColor back = 0;
        ASSERT_TRUE(IdentToColor(ColorToIdent(v), back)) << ColorToIdent(v).toStdString();
        EXPECT_EQ(back, v);
    }
}
