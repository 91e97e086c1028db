#include "app/StandIns.h"

#include "framework/ClassRegistry.h"
#include "framework/Pictures.h"
#include "framework/StandardClasses.h"
#include "hints/sHintManager.h"
#include "tonegen/ToneGen.h"
#include "widgets/WidgetClasses.h"

#include <QKeyEvent>
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

TLbButton::TLbButton(QWidget *parent)
    : QPushButton(parent), framework::TControl(this), FHotTrackFont(new framework::TFont(this))
{
    connect(this, &QPushButton::clicked, this, [this] { DoClick(); });
    setLayoutDirection(Qt::RightToLeft); // the glyph right of the caption
    applyColor();
}

// Return clicks on its release, as Space does; a plain push button only knows Space.
void TLbButton::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        FReturnDown = true;
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void TLbButton::keyReleaseEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        const bool wasDown = FReturnDown;
        FReturnDown = false;
        event->accept();
        if (wasDown && isEnabled())
            click();
        return;
    }
    QPushButton::keyReleaseEvent(event);
}

void TLbButton::SetGlyph(const QString &Value)
{
    FGlyph = Value;
    const QPixmap glyph = QPixmap::fromImage(framework::LoadGlyph(Value));
    setIcon(QIcon(glyph));
    setIconSize(glyph.size());
}

bool TLbButton::ReadStoredValue(const QString &name, const QVariant &value)
{
    FKeptSettings.Keep(name, value);
    return true;
}

void TLbButton::applyColor()
{
    const uint down = FColorWhenDown == framework::clNone ? Color() : FColorWhenDown;
    setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: %2; border: 1px solid #505050;"
                                 " border-radius: 3px; padding: 0 6px; }"
                                 "QPushButton:pressed { background-color: %3; }"
                                 "QPushButton:disabled { color: #404040; }")
                      .arg(CssColor(Color()), CssColor(Font()->color()), CssColor(down)));
}

void TLbButton::applyFont()
{
    setFont(Font()->toQFont());
    applyColor();
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

void RegisterStandInClasses()
{
    framework::RegisterClass<TLbButton>(QStringLiteral("TLbButton"));
    framework::RegisterClass<TiLabel>(QStringLiteral("TiLabel"));
    framework::RegisterClass<TiGradient>(QStringLiteral("TiGradient"));
}

void RegisterLayoutClasses()
{
    framework::RegisterStandardClasses();
    widgets::RegisterWidgetClasses();
    framework::RegisterClass<TToneGen>(QStringLiteral("TToneGen"));
    hints::RegisterHintClasses();
    RegisterStandInClasses();
}

} // namespace app
