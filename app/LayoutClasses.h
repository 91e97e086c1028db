#pragma once

namespace app {

// Everything the two layouts name: standard controls, widgets, the tone generator, the light
// buttons and the hint manager.
void RegisterLayoutClasses();

} // namespace app
