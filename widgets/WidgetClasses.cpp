#include "widgets/WidgetClasses.h"

#include "framework/ClassRegistry.h"
#include "widgets/iGradient.h"
#include "widgets/iKnob.h"
#include "widgets/iLabel.h"
#include "widgets/iLedBar.h"
#include "widgets/iSevenSegmentAnalog.h"
#include "widgets/iSevenSegmentCharacter.h"

namespace widgets {

void RegisterWidgetClasses()
{
    // The bases are abstract; only the concrete widgets are registered here.
    framework::RegisterClass<TiKnob>(QStringLiteral("TiKnob"));
    framework::RegisterClass<TiLedBar>(QStringLiteral("TiLedBar"));
    framework::RegisterClass<TiSevenSegmentCharacter>(QStringLiteral("TiSevenSegmentCharacter"));
    framework::RegisterClass<TiSevenSegmentAnalog>(QStringLiteral("TiSevenSegmentAnalog"));
    framework::RegisterClass<TiLabel>(QStringLiteral("TiLabel"));
    framework::RegisterClass<TiGradient>(QStringLiteral("TiGradient"));
}

} // namespace widgets
