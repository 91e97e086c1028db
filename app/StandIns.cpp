#include "app/StandIns.h"

#include "controls/Pictures.h"
#include "controls/StandardClasses.h"
#include "framework/ClassRegistry.h"
#include "lbbutton/LbButton.h"
#include "tonegen/ToneGen.h"
#include "widgets/WidgetClasses.h"

#include <QPainter>

namespace app {

namespace {

QString CssColor(uint color)
{
    return framework::ToQColor(color).name(QColor::HexRgb);
}

QString BorderCss(TiLabel::TiLabelBorderStyle style)
{
    switch (style) {
    case TiLabel::ilbsSingle:
        return QStringLiteral("1px solid %1").arg(CssColor(framework::clWindowFrame));
    case TiLabel::ilbsLowered:
        return QStringLiteral("2px inset #808080");
    case TiLabel::ilbsRaised:
        return QStringLiteral("2px outset #808080");
    case TiLabel::ilbsNone:
        break;
    }
    return QStringLiteral("none");
}

} // namespace

void TKeptSettings::Keep(const QString &name, const QVariant &value)
{
    for (auto &entry : FKept) {
        if (entry.first == name) {
            entry.second = value;
            return;
        }
    }
    FKept.append({name, value});
}

QVariant TKeptSettings::KeptValue(const QString &name) const
{
    for (const auto &entry : FKept)
        if (entry.first == name)
            return entry.second;
    return {};
}

TiLabel::TiLabel(QWidget *parent) : QLabel(parent), framework::TControl(this)
{
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    applyColor();
}

void TiLabel::SetBackGroundColor(uint Value)
{
    if (Value == FBackGroundColor)
        return;
    FBackGroundColor = Value;
    applyColor();
}

void TiLabel::SetBorderStyle(TiLabelBorderStyle Value)
{
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    applyColor();
}

bool TiLabel::ReadStoredValue(const QString &name, const QVariant &value)
{
    FKeptSettings.Keep(name, value);
    return true;
}

void TiLabel::applyColor()
{
    setStyleSheet(
        QStringLiteral("QLabel { background-color: %1; color: %2; border: %3; padding: 0 0 0 1px; }")
            .arg(CssColor(FBackGroundColor), CssColor(Font()->color()), BorderCss(FBorderStyle)));
}

void TiLabel::applyFont()
{
    setFont(Font()->toQFont());
    applyColor();
}

TiGradient::TiGradient(QWidget *parent) : QWidget(parent), framework::TControl(this) {}

void TiGradient::SetColorStart(uint Value)
{
    if (Value == FColorStart)
        return;
    FColorStart = Value;
    update();
}

bool TiGradient::ReadStoredValue(const QString &name, const QVariant &value)
{
    FKeptSettings.Keep(name, value);
    return true;
}

void TiGradient::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), framework::ToQColor(FColorStart));
}

TsHintManager::TsHintManager(QObject *owner)
    : QObject(owner), sStyle(new TsPassivePaintStyle(this)), Font(new framework::TFont(this))
{
}

void RegisterStandInClasses()
{
    framework::RegisterClass<TiLabel>(QStringLiteral("TiLabel"));
    framework::RegisterClass<TiGradient>(QStringLiteral("TiGradient"));
    framework::RegisterClass<TsHintManager>(QStringLiteral("TsHintManager"));
}

void RegisterLayoutClasses()
{
    framework::RegisterStandardClasses();
    widgets::RegisterWidgetClasses();
    tonegen::RegisterToneGenClasses();
    lbbutton::RegisterLbButtonClasses();
    RegisterStandInClasses();
}

} // namespace app
