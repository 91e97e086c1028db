#include "app/StandIns.h"

#include "framework/ClassRegistry.h"
#include "framework/Pictures.h"
#include "framework/StandardClasses.h"
#include "tonegen/ToneGen.h"
#include "widgets/WidgetClasses.h"

#include <QKeyEvent>

namespace app {

namespace {

QString CssColor(uint color)
{
    return framework::ToQColor(color).name(QColor::HexRgb);
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

TsHintManager::TsHintManager(QObject *owner)
    : QObject(owner), sStyle(new TsPassivePaintStyle(this)), Font(new framework::TFont(this))
{
}

void RegisterStandInClasses()
{
    framework::RegisterClass<TLbButton>(QStringLiteral("TLbButton"));
    framework::RegisterClass<TsHintManager>(QStringLiteral("TsHintManager"));
}

void RegisterLayoutClasses()
{
    framework::RegisterStandardClasses();
    widgets::RegisterWidgetClasses();
    framework::RegisterClass<TToneGen>(QStringLiteral("TToneGen"));
    RegisterStandInClasses();
}

} // namespace app
