#pragma once

namespace widgets {

// Registers the instrument widget classes with the framework's class registry.
void RegisterWidgetClasses();

} // namespace widgets
