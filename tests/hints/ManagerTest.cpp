// The hint manager's settings: constructor values, presets, the percent coupling and clamps,
// style installation, AssignTo, and the style parts telling their owner about changes.
#include "hints/sHintManager.h"
#include "layout/ClassRegistry.h"

#include <QMetaProperty>
#include <gtest/gtest.h>

#include <memory>

using namespace hints;
using E = TsHintEnums;
using canvas::TColor;

namespace {

struct Expected
{
    TsHintsPredefinitions preset;
    TsHintStyle style;
    int bevel, marginH, marginV, maxWidth, blur, exOffset, radius;
    TColor colorActive;
    int paintingTransparency;
    TColor colorInActive;
    TBgStyle mode;
    TGradientTypes layout;
    TColor color1, color2;
    int percent1, percent2;
    TColor borderTop, borderBottom;
    int shadowBlur, shadowOffset, shadowTransparency;
    bool bold;
    int fontHeight;
    TColor fontColor;
};

void expectPreset(const TsHintManager &m, const Expected &x)
{
    const TsPassivePaintStyle *s = m.sStyle();
    EXPECT_EQ(m.Style(), x.style);
    EXPECT_EQ(m.PreDefinitions(), x.preset);
    EXPECT_EQ(m.BevelWidth(), x.bevel);
    EXPECT_EQ(m.MarginH(), x.marginH);
    EXPECT_EQ(m.MarginV(), x.marginV);
    EXPECT_EQ(m.MaxWidth(), x.maxWidth);
    EXPECT_EQ(m.Blur(), x.blur);
    EXPECT_EQ(m.ExOffset(), x.exOffset);
    EXPECT_EQ(m.Radius(), x.radius);
    EXPECT_EQ(s->Painting()->ColorActive(), x.colorActive);
    EXPECT_EQ(s->Painting()->Transparency(), x.paintingTransparency);
    EXPECT_EQ(s->Painting()->ColorInActive(), x.colorInActive);
    EXPECT_EQ(s->Background()->Mode(), x.mode);
    EXPECT_EQ(s->Background()->Gradient()->Layout(), x.layout);
    EXPECT_EQ(s->Background()->Gradient()->Color1(), x.color1);
    EXPECT_EQ(s->Background()->Gradient()->Color2(), x.color2);
    EXPECT_EQ(s->Background()->Gradient()->Percent1(), x.percent1);
    EXPECT_EQ(s->Background()->Gradient()->Percent2(), x.percent2);
    EXPECT_EQ(s->Background()->Gradient()->Mode(), E::gmPercent);
    EXPECT_EQ(s->Background()->Gradient()->Width(), 100);
    EXPECT_EQ(s->Painting()->ColorBorderTop(), x.borderTop);
    EXPECT_EQ(s->Painting()->ColorBorderBottom(), x.borderBottom);
    EXPECT_TRUE(s->Shadow()->Enabled());
    EXPECT_EQ(s->Shadow()->Color(), canvas::clBlack);
    EXPECT_EQ(s->Shadow()->Blur(), x.shadowBlur);
    EXPECT_EQ(s->Shadow()->Offset(), x.shadowOffset);
    EXPECT_EQ(s->Shadow()->Transparency(), x.shadowTransparency);
    EXPECT_EQ(bool(m.Font()->style() & canvas::TFont::fsBold), x.bold);
    EXPECT_EQ(m.Font()->height(), x.fontHeight);
    EXPECT_EQ(m.Font()->color(), x.fontColor);
}

const Expected EllipseValues{E::shEllipse,
                             E::hsEllipse,
                             1,
                             6,
                             12,
                             200,
                             0,
                             26,
                             20,
                             12778748,
                             5,
                             canvas::clMenu,
                             E::bgsTransparent,
                             E::gtLeftRight,
                             canvas::clInfoBk,
                             canvas::clBtnShadow,
                             50,
                             50,
                             canvas::clBlack,
                             canvas::clBlack,
                             4,
                             16,
                             74,
                             false,
                             11,
                             canvas::clBlack};

TEST(ManagerTest, ConstructorValuesAndPauses)
{
    TApplicationHints::Instance().SetHintPause(1);
    TApplicationHints::Instance().SetHintShortPause(1);
    TsHintManager m;
    // The constructor applies the ellipse preset on top of its own values.
    expectPreset(m, EllipseValues);
    EXPECT_EQ(m.PauseHide(), 5000);
    EXPECT_FALSE(m.HTMLMode());
    EXPECT_EQ(m.HintsDesigner(), 0);
    EXPECT_EQ(m.sStyle()->GroupIndex(), -101);
    EXPECT_FALSE(m.sStyle()->Background()->ListenMSG());
    EXPECT_FALSE(m.sStyle()->Background()->Gradient()->Invert());
    EXPECT_EQ(m.sStyle()->Painting()->Bevel(), E::bvRaised);
    EXPECT_EQ(m.sStyle()->Selection()->Border()->Width(), 2);
    EXPECT_EQ(TApplicationHints::Instance().HintPause(), 500);
    EXPECT_EQ(TApplicationHints::Instance().HintShortPause(), 200);
    EXPECT_EQ(CurrentHintManager(), &m);
    EXPECT_EQ(TApplicationHints::Instance().HintWindowClass(), &TsEllipseHintWindow::staticMetaObject);
}

TEST(ManagerTest, EveryPresetSetsItsTable)
{
    // A dash in the table leaves the ellipse preset's value (the manager starts with it).
    const Expected table[] = {
        {E::shSimply,
         E::hsSimply,
         1,
         4,
         4,
         240,
         0,
         26,
         20,
         canvas::clInfoBk,
         0,
         canvas::clMenu,
         E::bgsNone,
         E::gtLeftRight,
         canvas::clInfoBk,
         canvas::clBtnShadow,
         50,
         50,
         canvas::clBtnHighlight,
         canvas::clBlack,
         4,
         8,
         50,
         false,
         11,
         canvas::clBlack},
        {E::shGradient,
         E::hsSimply,
         5,
         8,
         5,
         240,
         3,
         26,
         20,
         11992314,
         10,
         canvas::clMenu,
         E::bgsGradient,
         E::gtAsBorder,
         2917517,
         canvas::clWhite,
         1,
         99,
         15532031,
         2917517,
         15,
         10,
         0,
         false,
         11,
         canvas::clBlack},
        {E::shTransparent,
         E::hsSimply,
         0,
         18,
         16,
         240,
         15,
         26,
         20,
         11992314,
         15,
         canvas::clMenu,
         E::bgsTransparent,
         E::gtLeftRight,
         canvas::clInfoBk,
         canvas::clBtnShadow,
         50,
         50,
         canvas::clBlack,
         canvas::clBlack,
         15,
         15,
         70,
         false,
         11,
         canvas::clBlack},
        EllipseValues,
        {E::shBalloon,
         E::hsBalloon,
         1,
         11,
         13,
         240,
         0,
         25,
         20,
         12778748,
         7,
         11983836,
         E::bgsTransparent,
         E::gtLeftRight,
         15532031,
         12629912,
         50,
         50,
         canvas::clBlack,
         canvas::clBlack,
         2,
         9,
         50,
         false,
         11,
         canvas::clBlack},
        {E::shComicsGradient,
         E::hsComics,
         1,
         18,
         12,
         180,
         0,
         24,
         25,
         12778748,
         5,
         canvas::clMenu,
         E::bgsGradient,
         E::gtTopBottom,
         12566013,
         11072187,
         50,
         50,
         canvas::clWhite,
         16711680,
         10,
         7,
         28,
         false,
         11,
         canvas::clBlack},
        {E::shComicsTransparent,
         E::hsComics,
         1,
         18,
         12,
         180,
         0,
         24,
         15,
         12778748,
         10,
         canvas::clMenu,
         E::bgsTransparent,
         E::gtLeftRight,
         12566013,
         11072187,
         50,
         50,
         8219458,
         8219458,
         10,
         17,
         70,
         true,
         11,
         8219458},
    };
    const QMetaObject *classes[] = {
        &TsSimplyHintWindow::staticMetaObject,  &TsSimplyHintWindow::staticMetaObject,
        &TsSimplyHintWindow::staticMetaObject,  &TsEllipseHintWindow::staticMetaObject,
        &TsBalloonHintWindow::staticMetaObject, &TsComicsHintWindow::staticMetaObject,
        &TsComicsHintWindow::staticMetaObject};
    for (size_t i = 0; i < std::size(table); ++i) {
        SCOPED_TRACE(QMetaEnum::fromType<TsHintsPredefinitions>().valueToKey(table[i].preset));
        TsHintManager m;
        m.Font()->setHeight(20); // only the simple preset sets the size
        m.SetPreDefinitions(table[i].preset);
        Expected x = table[i];
        if (x.preset != E::shSimply)
            x.fontHeight = 20;
        if (x.preset == E::shEllipse) {
            // Already the manager's preset: setting it again changes nothing.
            EXPECT_EQ(m.Font()->height(), 20);
            continue;
        }
        expectPreset(m, x);
        EXPECT_EQ(TApplicationHints::Instance().HintWindowClass(), classes[i]);
    }
}

TEST(ManagerTest, StandardNoneAndCustomPresets)
{
    TsHintManager m;
    m.SetPreDefinitions(E::shStandard);
    EXPECT_EQ(m.Style(), E::hsStandard);
    EXPECT_EQ(m.PreDefinitions(), E::shStandard);
    EXPECT_EQ(TApplicationHints::Instance().HintWindowClass(), nullptr);
    m.SetPreDefinitions(E::shNone);
    EXPECT_EQ(m.Style(), E::hsNone);
    EXPECT_EQ(TApplicationHints::Instance().HintWindowClass(), &TsSimplyHintWindow::staticMetaObject);
    m.SetMarginH(77);
    m.SetPreDefinitions(E::shCustom);
    EXPECT_EQ(m.MarginH(), 77);
    EXPECT_EQ(m.Style(), E::hsNone);
}

TEST(ManagerTest, StyleInstallsTheWindowClassAndTheCurrentManager)
{
    TsHintManager first;
    first.SetStyle(E::hsComics);
    EXPECT_EQ(CurrentHintManager(), &first);
    EXPECT_EQ(first.PreDefinitions(), E::shCustom);
    {
        TsHintManager second; // installs its ellipse preset and becomes current
        EXPECT_EQ(CurrentHintManager(), &second);
        second.SetStyle(E::hsNone);
        EXPECT_EQ(CurrentHintManager(), &second) << "hsNone does not change the current manager";
        first.SetStyle(E::hsBalloon);
        EXPECT_EQ(CurrentHintManager(), &first);
        second.SetStyle(E::hsNone);
        EXPECT_EQ(CurrentHintManager(), &first);
        EXPECT_EQ(TApplicationHints::Instance().HintWindowClass(), &TsSimplyHintWindow::staticMetaObject);
    }
    // Destroying a manager that is not current leaves the current one.
    EXPECT_EQ(CurrentHintManager(), &first);
    first.SetStyle(E::hsSimply);

    // In a designer nothing is installed.
    TsHintManager designed;
    designed.setDesigning(true);
    first.SetStyle(E::hsEllipse);
    designed.SetStyle(E::hsStandard);
    EXPECT_EQ(CurrentHintManager(), &first);
    EXPECT_EQ(TApplicationHints::Instance().HintWindowClass(), &TsEllipseHintWindow::staticMetaObject);
    EXPECT_EQ(designed.PreDefinitions(), E::shCustom);

    canvas::TFont font;
    font.setHeight(30);
    first.SetPreDefinitions(E::shGradient);
    first.SetFont(font);
    EXPECT_EQ(first.PreDefinitions(), E::shCustom);
    EXPECT_EQ(first.Font()->height(), 30);
}

TEST(ManagerTest, DestroyingTheCurrentManagerGivesBackTheToolkitTooltip)
{
    auto m = std::make_unique<TsHintManager>();
    ASSERT_EQ(CurrentHintManager(), m.get());
    m.reset();
    EXPECT_EQ(CurrentHintManager(), nullptr);
    EXPECT_EQ(TApplicationHints::Instance().HintWindowClass(), nullptr);
}

TEST(ManagerTest, PercentsCoupleAndClamp)
{
    struct Case
    {
        int p1, p2; // start
        bool first; // which one is set
        int value;
        int expect1, expect2;
    } cases[] = {
        {0, 56, true, 70, 70, 30},  {0, 56, true, 44, 44, 56},   {70, 30, false, 80, 20, 80},
        {10, 10, false, 95, 5, 95}, {50, 50, true, 150, 100, 0}, {50, 50, false, -5, 50, 0},
    };
    for (const Case &k : cases) {
        TPassiveGradient g;
        g.SetPercent1(0);
        g.SetPercent2(k.p2);
        g.SetPercent1(k.p1);
        ASSERT_EQ(g.Percent1(), k.p1);
        ASSERT_EQ(g.Percent2(), k.p2);
        if (k.first)
            g.SetPercent1(k.value);
        else
            g.SetPercent2(k.value);
        EXPECT_EQ(g.Percent1(), k.expect1) << k.p1 << "/" << k.p2 << " set " << k.value;
        EXPECT_EQ(g.Percent2(), k.expect2) << k.p1 << "/" << k.p2 << " set " << k.value;
    }
    TsPassiveShadow shadow;
    for (auto [in, out] : {std::pair{150, 100}, {-20, 0}, {51, 51}, {100, 100}}) {
        shadow.SetTransparency(in);
        EXPECT_EQ(shadow.Transparency(), out) << in;
    }
}

// Every stored setting of the style's parts tells the style once, and only when it changes.
TEST(ManagerTest, StylePartsNotifyTheirOwner)
{
    TsPassivePaintStyle style;
    QObject *parts[] = {style.Background(), style.Background()->Gradient(), style.Shadow(), style.Painting(),
                        style.Selection(),  style.Selection()->Border()};
    int checked = 0;
    for (QObject *part : parts) {
        const QMetaObject *meta = part->metaObject();
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaProperty p = meta->property(i);
            if (!p.isWritable())
                continue;
            SCOPED_TRACE(p.name());
            QVariant value = p.read(part);
            QVariant changed;
            switch (value.typeId()) {
            case QMetaType::Bool:
                changed = !value.toBool();
                break;
            case QMetaType::QImage:
                changed = QImage(2, 2, QImage::Format_RGB32);
                break;
            default:
                changed = p.isEnumType() && !p.isFlagType() ? QVariant(value.toInt() == 0 ? 1 : 0)
                                                            : QVariant(value.toInt() == 1 ? 2 : 1);
            }
            const int before = style.ChangeCount();
            ASSERT_TRUE(p.write(part, changed));
            EXPECT_EQ(style.ChangeCount(), before + 1);
            ASSERT_TRUE(p.write(part, p.read(part)));
            EXPECT_EQ(style.ChangeCount(), before + 1) << "an equal value changes nothing";
            ++checked;
        }
    }
    EXPECT_GE(checked, 25);
}

TEST(ManagerTest, AssignToCopiesTheListedSettingsOnly)
{
    TsHintManager target;
    target.SetMaxWidth(111);
    target.SetHTMLMode(false);
    target.sStyle()->Background()->Gradient()->SetInvert(false);
    target.sStyle()->Background()->SetImage(QImage());

    TsHintManager source;
    source.SetPreDefinitions(E::shComicsGradient);
    source.SetBevelWidth(7);
    source.SetBlur(2);
    source.SetExOffset(31);
    source.Font()->setName(QStringLiteral("Liberation Serif"));
    source.Font()->setCharset(204);
    source.Font()->setHeight(17);
    source.SetMarginH(3);
    source.SetMarginV(9);
    source.SetPauseHide(1234);
    source.SetRadius(6);
    auto *g = source.sStyle()->Background()->Gradient();
    g->SetMode(E::gmFixed);
    g->SetWidth(40);
    g->SetPercent2(30);
    g->SetPercent1(20);
    g->SetInvert(true);
    source.sStyle()->Background()->SetImage(QImage(4, 4, QImage::Format_RGB32));
    source.sStyle()->Painting()->SetBevel(E::bvLowered);
    source.sStyle()->Painting()->SetColorInActive(0x123456);
    source.sStyle()->Painting()->SetTransparency(33);
    source.sStyle()->Shadow()->SetColor(0x0000FF);
    source.sStyle()->Shadow()->SetEnabled(false);
    source.SetMaxWidth(333);
    source.SetHTMLMode(true);
    source.SetPreDefinitions(E::shCustom);

    source.AssignTo(&target);
    EXPECT_EQ(target.BevelWidth(), 7);
    EXPECT_EQ(target.Blur(), 2);
    EXPECT_EQ(target.ExOffset(), 31);
    EXPECT_EQ(target.Font()->name(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(target.Font()->charset(), 204);
    EXPECT_EQ(target.Font()->height(), 17);
    EXPECT_EQ(target.Font()->color(), canvas::clBlack);
    EXPECT_EQ(target.MarginH(), 3);
    EXPECT_EQ(target.MarginV(), 9);
    EXPECT_EQ(target.PauseHide(), 1234);
    EXPECT_EQ(target.Radius(), 6);
    const auto *tg = target.sStyle()->Background()->Gradient();
    EXPECT_EQ(tg->Color1(), 12566013u);
    EXPECT_EQ(tg->Color2(), 11072187u);
    EXPECT_EQ(tg->Layout(), E::gtTopBottom);
    EXPECT_EQ(tg->Mode(), E::gmFixed);
    EXPECT_EQ(tg->Width(), 40);
    EXPECT_EQ(tg->Percent1(), 20);
    EXPECT_EQ(tg->Percent2(), 30);
    EXPECT_EQ(target.sStyle()->Background()->Mode(), E::bgsGradient);
    EXPECT_EQ(target.sStyle()->Painting()->Bevel(), E::bvLowered);
    EXPECT_EQ(target.sStyle()->Painting()->ColorInActive(), 0x123456u);
    EXPECT_EQ(target.sStyle()->Painting()->ColorBorderBottom(), 16711680u);
    EXPECT_EQ(target.sStyle()->Painting()->Transparency(), 33);
    EXPECT_EQ(target.sStyle()->Shadow()->Color(), 0x0000FFu);
    EXPECT_FALSE(target.sStyle()->Shadow()->Enabled());
    EXPECT_EQ(target.sStyle()->Shadow()->Offset(), 7);
    EXPECT_EQ(target.sStyle()->Shadow()->Transparency(), 28);
    EXPECT_EQ(target.Style(), E::hsComics);
    EXPECT_EQ(target.PreDefinitions(), E::shCustom);
    EXPECT_EQ(CurrentHintManager(), &target) << "setting the style installs it";
    // Not copied.
    EXPECT_EQ(target.MaxWidth(), 111);
    EXPECT_FALSE(target.HTMLMode());
    EXPECT_FALSE(tg->Invert());
    EXPECT_TRUE(target.sStyle()->Background()->Image().isNull());
}

TEST(ManagerTest, ClassesAreRegisteredForStoredLayouts)
{
    RegisterHintClasses();
    for (const char *name : {"TsHintManager", "TsSimplyHintWindow", "TsComicsHintWindow",
                             "TsEllipseHintWindow", "TsBalloonHintWindow"}) {
        std::unique_ptr<QObject> made(layout::CreateObject(QString::fromLatin1(name), nullptr));
        ASSERT_NE(made, nullptr) << name;
        EXPECT_STREQ(made->metaObject()->className(), (std::string("hints::") + name).c_str());
    }
}

} // namespace
