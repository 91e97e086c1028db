#include "widgets/WidgetClasses.h"

#include "framework/ClassRegistry.h"

namespace widgets {

void RegisterWidgetClasses()
{
    // The bases are abstract; only the concrete widgets are registered here.
}

} // namespace widgets
