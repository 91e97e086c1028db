#pragma once

namespace controls {

// Registers the standard controls under their class names for stored layouts. Forms are
// roots of layouts and are not registered.
void RegisterStandardClasses();

} // namespace controls
