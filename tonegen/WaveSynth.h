#pragma once

#include <cstddef>
#include <cstdint>

namespace tonegen {

// Silent bytes after the data chunk; the last frame of an odd-sized data chunk ends there.
constexpr int64_t kWavePad = 32;

enum class SynthWave : uint8_t { Sine, Square, Triangle, Sawtooth, Noise };

struct SynthLayer
{
    int64_t level = 0;     // percent of full level, above 0
    double frequency = 0;  // hertz, above 0
    SynthWave wave = SynthWave::Sine;
};

struct SynthFormat
{
    bool sixteenBit = true;
    bool stereo = false;
    int rate = 96000;
};

constexpr uint32_t kNoiseMultiplier = 134775813u;

// 32-bit linear congruential generator; a draw takes the step and returns the upper half of x * range.
class NoiseSource
{
public:
    explicit NoiseSource(uint32_t seed = 1) : x(seed) {}
    uint32_t Draw(uint32_t range)
    {
        x = x * kNoiseMultiplier + 1u;
        return static_cast<uint32_t>((static_cast<uint64_t>(x) * range) >> 32);
    }
    // Same state as `steps` calls of Draw.
    void Skip(uint64_t steps);

    uint32_t x;
};

// Number of frames the synthesis writes for D data bytes: every frame that starts inside the data.
int64_t SynthFrameCount(int64_t dataSize, const SynthFormat &format);

// Writes silence plus the sum of `layers` (in order, noise drawn from one generator seeded with 1)
// into the first SynthFrameCount() frames of `data`, which must hold dataSize + kWavePad bytes.
// A layer whose period is shorter than one frame is silent.
void SynthesizeLayers(uint8_t *data, int64_t dataSize, const SynthFormat &format, const SynthLayer *layers,
                      size_t count);

} // namespace tonegen
