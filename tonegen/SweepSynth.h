#pragma once

#include "tonegen/WaveSynth.h"

#include <cstddef>
#include <cstdint>

namespace tonegen {

// A tone whose frequency glides from `from` to `to` hertz over `seconds`.
struct Sweep
{
    double from = 0;
    double to = 0;
    bool logarithmic = true; // equal ratios in equal times; false: equal steps of hertz
    double seconds = 1;
};

// The frequency at `t` seconds: from + (to - from) t / T, or from (to / from)^(t / T).
double SweepFrequency(const Sweep &sweep, double t);

// As SynthesizeLayers, but each periodic layer's phase advances by its frequency / rate a frame,
// the frequency being `multiplier` times the swept one (or its own `frequency` when the multiplier
// is 0), so the wave never jumps. The shapes and quantisation are the tone's.
void SynthesizeSweep(uint8_t *data, int64_t dataSize, const SynthFormat &format, const Sweep &sweep,
                     const SynthLayer *layers, size_t count);

} // namespace tonegen
