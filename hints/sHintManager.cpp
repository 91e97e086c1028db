#include "hints/sHintManager.h"

#include "hints/sGraphUtils.h"
#include "hints/sHintPresets.h"
#include "hints/sHtmlParse.h"
#include "hints/sUtils.h"
#include "layout/ClassRegistry.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace hints {

using canvas::TColor;
using canvas::TRect;

namespace {

QPointer<TsHintManager> &current()
{
    static QPointer<TsHintManager> manager;
    return manager;
}

} // namespace

// --- manager -------------------------------------------------------------------------------

TsHintManager *CurrentHintManager()
{
    return current().data();
}

TsHintManager::TsHintManager(QObject *owner)
    : QObject(owner), FsStyle(new TsPassivePaintStyle(this)), FFont(new canvas::TFont(this))
{
    FsStyle->SetGroupIndex(-101);
    FsStyle->Background()->SetListenMSG(false);
    TApplicationHints &app = TApplicationHints::Instance();
    app.SetHintPause(DefaultHintPause);
    app.SetHintShortPause(DefaultHintShortPause);
    FPreDefinitions = TsHintEnums::shCustom;
    SetPreDefinitions(TsHintEnums::shEllipse);
}

TsHintManager::~TsHintManager()
{
    // Hints go on as the toolkit's tooltips once the manager they read from is gone.
    if (current() == this) {
        current() = nullptr;
        TApplicationHints::Instance().SetHintWindowClass(nullptr);
    }
}

void TsHintManager::SetStyle(TsHintStyle Value)
{
    FStyle = Value;
    InstallStyle();
    FPreDefinitions = TsHintEnums::shCustom;
}

void TsHintManager::SetFont(const canvas::TFont &Value)
{
    FFont->Assign(Value);
    FPreDefinitions = TsHintEnums::shCustom;
}

void TsHintManager::InstallStyle()
{
    if (isDesigning())
        return;
    TApplicationHints &app = TApplicationHints::Instance();
    switch (FStyle) {
    case TsHintEnums::hsSimply:
        app.SetHintWindowClass(&TsSimplyHintWindow::staticMetaObject);
        current() = this;
        break;
    case TsHintEnums::hsComics:
        app.SetHintWindowClass(&TsComicsHintWindow::staticMetaObject);
        current() = this;
        break;
    case TsHintEnums::hsEllipse:
        app.SetHintWindowClass(&TsEllipseHintWindow::staticMetaObject);
        current() = this;
        break;
    case TsHintEnums::hsBalloon:
        app.SetHintWindowClass(&TsBalloonHintWindow::staticMetaObject);
        current() = this;
        break;
    case TsHintEnums::hsStandard:
        app.SetHintWindowClass(nullptr);
        break;
    case TsHintEnums::hsNone:
        app.SetHintWindowClass(&TsSimplyHintWindow::staticMetaObject);
        break;
    }
}

void TsHintManager::SetPreDefinitions(TsHintsPredefinitions Value)
{
    if (FPreDefinitions == Value)
        return;
    ApplyPreset(Value);
    FPreDefinitions = Value;
}

void TsHintManager::ApplyPreset(TsHintsPredefinitions preset)
{
    using E = TsHintEnums;
    switch (preset) {
    case E::shStandard:
        SetStyle(E::hsStandard);
        return;
    case E::shNone:
        SetStyle(E::hsNone);
        return;
    case E::shCustom:
        return;
    default:
        break;
    }
    const TsHintPreset &p = HintPreset(preset);
    SetStyle(p.style);
    SetBevelWidth(p.bevel);
    SetMarginH(p.marginH);
    SetMarginV(p.marginV);
    SetMaxWidth(p.maxWidth);
    SetBlur(p.blur);
    if (p.exOffset >= 0)
        SetExOffset(p.exOffset);
    if (p.radius >= 0)
        SetRadius(p.radius);
    TsPassivePainting *painting = FsStyle->Painting();
    painting->SetColorActive(p.colorActive);
    if (p.paintingTransparency >= 0)
        painting->SetTransparency(p.paintingTransparency);
    if (p.colorInActive != canvas::clNone)
        painting->SetColorInActive(p.colorInActive);
    TsPassiveBackground *background = FsStyle->Background();
    background->SetMode(p.mode);
    TPassiveGradient *gradient = background->Gradient();
    if (p.layout >= 0)
        gradient->SetLayout(TGradientTypes(p.layout));
    if (p.gradientColors) {
        gradient->SetColor1(p.color1);
        gradient->SetColor2(p.color2);
        gradient->SetPercent1(p.percent1);
        gradient->SetPercent2(p.percent2);
    }
    if (p.borderColors) {
        painting->SetColorBorderTop(p.borderTop);
        painting->SetColorBorderBottom(p.borderBottom);
    }
    TsPassiveShadow *shadow = FsStyle->Shadow();
    shadow->SetEnabled(true);
    shadow->SetColor(canvas::clBlack);
    shadow->SetBlur(p.shadowBlur);
    shadow->SetOffset(p.shadowOffset);
    shadow->SetTransparency(p.shadowTransparency);
    FFont->setStyle(p.bold ? canvas::TFont::TFontStyles(canvas::TFont::fsBold)
                           : canvas::TFont::TFontStyles());
    if (p.fontHeight > 0)
        FFont->setHeight(p.fontHeight);
    FFont->setColor(p.fontColor);
    gradient->SetMode(TsHintEnums::gmPercent);
    gradient->SetWidth(100);
}

void TsHintManager::AssignTo(TsHintManager *target) const
{
    if (!target || target == this)
        return;
    target->SetBevelWidth(FBevelWidth);
    target->SetBlur(FBlur);
    target->SetExOffset(FExOffset);
    canvas::TFont *font = target->Font();
    font->setCharset(FFont->charset());
    font->setColor(FFont->color());
    font->setName(FFont->name());
    font->setStyle(FFont->style());
    font->setHeight(FFont->height());
    target->SetMarginH(FMarginH);
    target->SetMarginV(FMarginV);
    target->SetPauseHide(FPauseHide);
    target->SetRadius(FRadius);
    const TPassiveGradient *from = FsStyle->Background()->Gradient();
    TPassiveGradient *to = target->sStyle()->Background()->Gradient();
    to->SetColor1(from->Color1());
    to->SetColor2(from->Color2());
    to->SetLayout(from->Layout());
    to->SetMode(from->Mode());
    to->SetPercent1(from->Percent1());
    to->SetPercent2(from->Percent2());
    to->SetWidth(from->Width());
    target->sStyle()->Background()->SetMode(FsStyle->Background()->Mode());
    const TsPassivePainting *pf = FsStyle->Painting();
    TsPassivePainting *pt = target->sStyle()->Painting();
    pt->SetBevel(pf->Bevel());
    pt->SetColorActive(pf->ColorActive());
    pt->SetColorInActive(pf->ColorInActive());
    pt->SetColorBorderTop(pf->ColorBorderTop());
    pt->SetColorBorderBottom(pf->ColorBorderBottom());
    pt->SetTransparency(pf->Transparency());
    const TsPassiveShadow *sf = FsStyle->Shadow();
    TsPassiveShadow *st = target->sStyle()->Shadow();
    st->SetBlur(sf->Blur());
    st->SetColor(sf->Color());
    st->SetEnabled(sf->Enabled());
    st->SetOffset(sf->Offset());
    st->SetTransparency(sf->Transparency());
    target->SetStyle(FStyle);
    // The preset's name is copied, not applied again: that would undo the copied settings.
    target->FPreDefinitions = FPreDefinitions;
}

void RegisterHintClasses()
{
    layout::RegisterClass<TsHintManager>(QStringLiteral("TsHintManager"));
    layout::RegisterClass<TsSimplyHintWindow>(QStringLiteral("TsSimplyHintWindow"));
    layout::RegisterClass<TsComicsHintWindow>(QStringLiteral("TsComicsHintWindow"));
    layout::RegisterClass<TsEllipseHintWindow>(QStringLiteral("TsEllipseHintWindow"));
    layout::RegisterClass<TsBalloonHintWindow>(QStringLiteral("TsBalloonHintWindow"));
}

} // namespace hints
