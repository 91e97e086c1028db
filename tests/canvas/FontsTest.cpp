#include "canvas/Fonts.h"

#include <QFontInfo>
#include <QMetaEnum>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace canvas;

TEST(Fonts, DefaultsAndQFontMapping)
{
    TFont f;
    EXPECT_EQ(f.name(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(f.height(), 11);
    EXPECT_EQ(f.charset(), int(TFont::DEFAULT_CHARSET));
    EXPECT_EQ(f.color(), clWindowText);
    EXPECT_EQ(f.style(), TFont::TFontStyles());

    QFont q = f.toQFont();
    EXPECT_EQ(q.pixelSize(), 11);
    EXPECT_EQ(QFontInfo(q).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(q).pixelSize(), 11); // no dpi scaling

    f.setName(QStringLiteral("Tahoma"));
    f.setHeight(-13); // layouts store character heights negative
    f.setStyle(TFont::fsBold | TFont::fsUnderline);
    q = f.toQFont();
    EXPECT_EQ(f.height(), 13);
    EXPECT_EQ(q.pixelSize(), 13);
    EXPECT_EQ(QFontInfo(q).family(), QStringLiteral("Liberation Sans"));
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.underline());
    EXPECT_FALSE(q.italic());
    EXPECT_FALSE(q.strikeOut());
    f.setStyle(TFont::fsItalic | TFont::fsStrikeOut);
    q = f.toQFont();
    EXPECT_TRUE(q.italic());
    EXPECT_TRUE(q.strikeOut());
    EXPECT_FALSE(q.bold());
}

TEST(Fonts, ChangeSignalOncePerChange)
{
    TFont f;
    QSignalSpy spy(&f, &TFont::OnChange);
    f.setHeight(11); // unchanged
    f.setName(QStringLiteral("MS Sans Serif"));
    f.setColor(clWindowText);
    EXPECT_EQ(spy.count(), 0);
    f.setHeight(-11); // the same height written as a layout does
    EXPECT_EQ(spy.count(), 0);
    f.setColor(clMaroon);
    f.setCharset(TFont::RUSSIAN_CHARSET);
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).value<QObject *>(), &f);

    TFont g;
    g.setName(QStringLiteral("Arial"));
    g.setHeight(20);
    g.setStyle(TFont::fsBold);
    spy.clear();
    f.Assign(g);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(f.name(), QStringLiteral("Arial"));
    EXPECT_EQ(f.height(), 20);
    EXPECT_EQ(f.style(), TFont::TFontStyles(TFont::fsBold));
    EXPECT_EQ(f.color(), clWindowText);
    EXPECT_EQ(f.charset(), int(TFont::DEFAULT_CHARSET));
    f.Assign(g);
    EXPECT_EQ(spy.count(), 1);
}

TEST(Fonts, PropertiesThroughMetaObject)
{
    TFont f;
    const QMetaObject *mo = f.metaObject();
    const int styleIndex = mo->indexOfProperty("Style");
    ASSERT_GE(styleIndex, 0);
    const QMetaProperty style = mo->property(styleIndex);
    ASSERT_TRUE(style.isFlagType());
    const QMetaEnum styles = style.enumerator();
    bool ok = false;
    const int bits = styles.keysToValue("fsBold|fsItalic", &ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(style.write(&f, bits));
    EXPECT_EQ(f.style(), TFont::fsBold | TFont::fsItalic);

    EXPECT_TRUE(f.setProperty("Height", -14));
    EXPECT_EQ(f.height(), 14);
    EXPECT_TRUE(f.setProperty("Color", uint(clRed)));
    EXPECT_EQ(f.color(), clRed);
    EXPECT_TRUE(f.setProperty("Name", QStringLiteral("Tahoma")));
    EXPECT_EQ(f.property("Name").toString(), QStringLiteral("Tahoma"));
    EXPECT_TRUE(f.setProperty("Charset", 204));
    EXPECT_EQ(f.charset(), 204);

    const QMetaEnum charsets = QMetaEnum::fromType<TFont::TFontCharset>();
    EXPECT_EQ(charsets.keyToValue("RUSSIAN_CHARSET"), 204);
}
