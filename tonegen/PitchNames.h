#pragma once

#include <QString>

#include <optional>

namespace tonegen {

// Frequency in hertz of a pitch in scientific notation: a letter C D E F G A B (either case), an
// optional sharp (# or U+266F) or flat (b or U+266D), then the octave -1 ... 9. Octaves begin at
// C; A4 is 440 Hz in equal temperament. nullopt when the text is not such a name. The result is
// not range-checked.
std::optional<double> PitchFrequency(const QString &name);

} // namespace tonegen
