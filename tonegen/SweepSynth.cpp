#include "tonegen/SweepSynth.h"

#include "tonegen/ColouredNoise.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace tonegen {

namespace {

// Value of one period's shape at phase p (0 <= p < 1), before quantisation: the tone's shapes, each
// starting from its low point (the sine from zero).
double ShapeAt(SynthWave wave, double p, const Levels &lv)
{
    switch (wave) {
    case SynthWave::Sine:
        return std::trunc(std::sin(2 * std::numbers::pi * p) / 2 * lv.span);
    case SynthWave::Square:
        return p < 0.5 ? lv.low : lv.span / 2;
    case SynthWave::Triangle:
        return std::trunc(lv.low + lv.span * (p < 0.5 ? 2 * p : 2 * (1 - p)));
    case SynthWave::Sawtooth:
        return std::trunc(lv.low + lv.span * p);
    case SynthWave::Noise:
        break;
    }
    return 0;
}

} // namespace

double SweepFrequency(const Sweep &sweep, double t)
{
    const double x = sweep.seconds > 0 ? t / sweep.seconds : 0.0;
    if (sweep.logarithmic)
        return sweep.from * std::pow(sweep.to / sweep.from, x);
    return sweep.from + (sweep.to - sweep.from) * x;
}

void SynthesizeSweep(uint8_t *data, int64_t dataSize, const SynthFormat &format, const Sweep &sweep,
                     const SynthLayer *layers, size_t count)
{
    const int64_t frames = SynthFrameCount(dataSize, format);
    std::vector<uint16_t> acc(static_cast<size_t>(frames), 0);
    const double rate = format.rate;
    uint64_t noiseDraws = 0;
    for (size_t i = 0; i < count; ++i) {
        const SynthLayer &layer = layers[i];
        if (layer.level <= 0)
            continue;
        const Levels lv = LevelsFor(layer.level, format.sixteenBit);
        if (layer.wave == SynthWave::Noise) {
            NoiseSource source;
            source.Skip(noiseDraws);
            noiseDraws += static_cast<uint64_t>(frames);
            if (layer.colour != NoiseColour::White) {
                const std::vector<uint16_t> values =
                    ColouredNoise(layer.colour, layer.level, format.sixteenBit, frames, source);
                for (int64_t k = 0; k < frames; ++k)
                    acc[k] = static_cast<uint16_t>(acc[k] + values[k]);
                continue;
            }
            const auto range = static_cast<uint32_t>(static_cast<int64_t>(lv.span + 1));
            for (int64_t k = 0; k < frames; ++k)
                acc[k] = static_cast<uint16_t>(acc[k] +
                                               Contribution(lv.low + source.Draw(range), format.sixteenBit));
            continue;
        }
        double phase = 0;
        for (int64_t k = 0; k < frames; ++k) {
            const double hertz = layer.multiplier > 0
                                     ? layer.multiplier * SweepFrequency(sweep, static_cast<double>(k) / rate)
                                     : layer.frequency;
            // As in the tone, a period shorter than one frame is silent.
            if (hertz <= rate)
                acc[k] = static_cast<uint16_t>(
                    acc[k] + Contribution(ShapeAt(layer.wave, phase, lv), format.sixteenBit));
            phase += hertz / rate;
            phase -= std::floor(phase);
        }
    }
    WriteFrames(data, acc.data(), frames, format);
}

} // namespace tonegen
