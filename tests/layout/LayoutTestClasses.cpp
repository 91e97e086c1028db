#include "tests/layout/LayoutTestClasses.h"

#include "layout/ClassRegistry.h"

namespace layouttest {

void RegisterLayoutTestClasses()
{
    layout::RegisterClass<TLtPanel>(QStringLiteral("TLtPanel"));
    layout::RegisterClass<TLtKnob>(QStringLiteral("TLtKnob"));
    layout::RegisterClass<TLtTable>(QStringLiteral("TLtTable"));
    layout::RegisterClass<TLtForm>(QStringLiteral("TLtForm"));
}

} // namespace layouttest
