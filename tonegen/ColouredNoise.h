#pragma once

#include "tonegen/WaveSynth.h"

#include <cstdint>
#include <vector>

namespace tonegen {

// `frames` values of pink or brown noise at `level` percent as contributions (see Contribution),
// filtered from one draw of `source` a frame. The loudest value reaches the white noise's extreme,
// so every colour has the same peak level.
std::vector<uint16_t> ColouredNoise(NoiseColour colour, int64_t level, bool sixteenBit, int64_t frames,
                                    NoiseSource &source);

} // namespace tonegen
