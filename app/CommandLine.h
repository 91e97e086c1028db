#pragma once

#include "app/CommandLineParse.h"
#include "sound/SoundPlayer.h"

#include <QByteArray>

#include <csignal>

namespace app {

// Writes the settings into the generator through its own setters, as the window would; throws
// UsageError for a note the generator does not take.
void Configure(TToneGen &gen, const Settings &s);

// What the program's start takes out of the arguments, for the window and the command line alike.
struct StartOptions
{
    bool ramps = true;
    QByteArray device; // output device name; empty: the system's default
};

// Plays the generator's built image on `player` (the process-wide player) until its end, or until
// one of `interrupts` arrives (blocked by the caller). Returns the exit status: 1 when the player
// has no device or loses it before the end.
int Play(TToneGen &gen, const Settings &s, const sigset_t &interrupts, sound::SoundPlayer &player);

// Takes --no-ramps and --device NAME out of argv (argc shrinks).
StartOptions TakeStartOptions(int &argc, char **argv);

// The generator without a window: parses the arguments, then exports and/or plays one image.
// Needs no display, and opens the sound system only to play or list devices. Returns the exit
// status: 0 done, 1 the file could not be written or the sound could not be played to its end,
// 2 bad arguments (one line on standard error, nothing written).
int RunCommandLine(int &argc, char **argv, const StartOptions &start);

} // namespace app
