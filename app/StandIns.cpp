#include "app/StandIns.h"

#include "controls/Pictures.h"
#include "controls/StandardClasses.h"
#include "framework/ClassRegistry.h"
#include "lbbutton/LbButton.h"
#include "tonegen/ToneGen.h"
#include "widgets/WidgetClasses.h"

namespace app {

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

TsHintManager::TsHintManager(QObject *owner)
    : QObject(owner), sStyle(new TsPassivePaintStyle(this)), Font(new framework::TFont(this))
{
}

void RegisterStandInClasses()
{
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
