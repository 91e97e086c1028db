#include "widgets/WidgetClasses.h"

#include "layout/ClassRegistry.h"
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
    layout::RegisterClass<TiKnob>(QStringLiteral("TiKnob"));
    layout::RegisterClass<TiLedBar>(QStringLiteral("TiLedBar"));
    layout::RegisterClass<TiSevenSegmentCharacter>(QStringLiteral("TiSevenSegmentCharacter"));
    layout::RegisterClass<TiSevenSegmentAnalog>(QStringLiteral("TiSevenSegmentAnalog"));
    layout::RegisterClass<TiLabel>(QStringLiteral("TiLabel"));
    layout::RegisterClass<TiGradient>(QStringLiteral("TiGradient"));
}

} // namespace widgets
