#pragma once

#include <QString>

#include <cstdint>

namespace tonegen {

// Frequency in hertz (20 ... 20000) of a note written as text, or 0 when the text is unusable or
// the note lies outside that range. `octave` is the current octave going in; it comes back
// changed only for a usable note number.
int ParseNote(const QString &text, int32_t &octave);

} // namespace tonegen
