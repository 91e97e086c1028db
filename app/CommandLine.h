#pragma once

namespace app {

// The generator without a window: parses the arguments, then exports and/or plays one image.
// Needs no display. Returns the exit status: 0 done, 1 the file could not be written or
// nothing could be played, 2 bad arguments (one line on standard error, nothing written).
int RunCommandLine(int &argc, char **argv);

} // namespace app
