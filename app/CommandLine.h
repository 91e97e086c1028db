#pragma once

#include "app/CommandLineParse.h"

namespace app {

// Writes the settings into the generator through its own setters, as the window would; throws
// UsageError for a note the generator does not take.
void Configure(TToneGen &gen, const Settings &s);

// The generator without a window: parses the arguments, then exports and/or plays one image.
// Needs no display. Returns the exit status: 0 done, 1 the file could not be written or
// nothing could be played, 2 bad arguments (one line on standard error, nothing written).
int RunCommandLine(int &argc, char **argv);

} // namespace app
