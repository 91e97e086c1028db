#pragma once

#include <cstddef>
#include <cstdint>

namespace tonegen {

// Silent bytes after the data chunk; the last frame of an odd-sized data chunk ends there.
constexpr int64_t kWavePad = 32;

enum class SynthWave : uint8_t { Sine, Square, Triangle, Sawtooth, Noise };
// The spectrum of a noise layer: white is flat, pink falls 3 dB and brown 6 dB per octave.
enum class NoiseColour : uint8_t { White, Pink, Brown };

struct SynthLayer
{
    int64_t level = 0;    // percent of full level, above 0
    double frequency = 0; // hertz, above 0
    SynthWave wave = SynthWave::Sine;
    NoiseColour colour = NoiseColour::White; // of a noise layer
    double multiplier = 0;                   // in a sweep: of the swept frequency; 0 keeps `frequency`
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

// What one sample value s adds to a stored sample, modulo the sample width: 16-bit adds Trunc(s),
// 8-bit adds Trunc(s + 128) - 128. Sums modulo 2^16 keep the 8-bit result in their low byte.
uint16_t Contribution(double s, bool sixteenBit);

// Full swing and lowest value of a layer at `level` percent.
struct Levels
{
    double span;
    double low;
};
Levels LevelsFor(int64_t level, bool sixteenBit);

// Writes `len` frames from sums of contributions (silence is 0) in the sample format.
void WriteFrames(uint8_t *out, const uint16_t *acc, int64_t len, const SynthFormat &format);

// Number of frames the synthesis writes for D data bytes: every frame that starts inside the data.
int64_t SynthFrameCount(int64_t dataSize, const SynthFormat &format);

// Writes silence plus the sum of `layers` (in order, noise drawn from one generator seeded with 1)
// into the first SynthFrameCount() frames of `data`, which must hold dataSize + kWavePad bytes.
// A layer whose period is shorter than one frame is silent.
void SynthesizeLayers(uint8_t *data, int64_t dataSize, const SynthFormat &format, const SynthLayer *layers,
                      size_t count);

} // namespace tonegen
