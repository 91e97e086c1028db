#include "tests/framework/LayoutTestClasses.h"

#include "framework/ClassRegistry.h"

namespace layouttest {

void RegisterLayoutTestClasses()
{
    framework::RegisterClass<TLtPanel>(QStringLiteral("TLtPanel"));
    framework::RegisterClass<TLtKnob>(QStringLiteral("TLtKnob"));
    framework::RegisterClass<TLtTable>(QStringLiteral("TLtTable"));
    framework::RegisterClass<TLtForm>(QStringLiteral("TLtForm"));
}

} // namespace layouttest
