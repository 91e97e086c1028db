// The inner loops only pay off vectorised; -O2 of this compiler does not vectorise them.
#pragma GCC optimize("O3")

#include "tonegen/WaveSynth.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

static_assert(std::endian::native == std::endian::little, "samples are stored in host order");

namespace tonegen {

namespace {

// Frames summed per pass; the accumulator stays in the first-level cache.
constexpr int64_t kBlockFrames = 4096;

// What one sample value s adds to a stored sample, modulo the sample width: 16-bit adds Trunc(s),
// 8-bit adds Trunc(s + 128) - 128. Sums modulo 2^16 keep the 8-bit result in their low byte.
uint16_t Contribution(double s, bool sixteenBit)
{
    if (sixteenBit)
        return static_cast<uint16_t>(static_cast<int64_t>(s));
    return static_cast<uint16_t>(static_cast<int64_t>(s + 128.0) - 128);
}

struct Levels
{
    double span;
    double low;
};

Levels LevelsFor(int64_t level, bool sixteenBit)
{
    if (sixteenBit)
        return {static_cast<double>(level * 65534) / 100, -static_cast<double>(level * 32767) / 100};
    return {static_cast<double>(level * 254) / 100, -static_cast<double>(level * 127) / 100};
}

// A periodic layer: within a period the value depends only on the position j, so the values are
// computed once per position and added period by period. Periods are Trunc(c * P) - Trunc((c - 1) * P)
// frames long, computed exactly as the frame-by-frame rule does.
class PeriodicLayer
{
public:
    PeriodicLayer(const SynthLayer &layer, const SynthFormat &format)
        : m_wave(layer.wave), m_sixteenBit(format.sixteenBit)
    {
        const Levels lv = LevelsFor(layer.level, format.sixteenBit);
        m_span = lv.span;
        m_low = lv.low;
        m_high = m_span / 2;
        m_period = static_cast<double>(format.rate) / static_cast<double>(layer.frequency);
        m_n = static_cast<int64_t>(m_period);
        m_half = static_cast<int64_t>(m_period + 0.5) / 2;
        m_step = 2 * std::numbers::pi / static_cast<double>(m_n);
        m_accumulator = m_low;
        if (m_wave == SynthWave::Triangle)
            m_slope = m_half > 0 ? m_span / static_cast<double>(m_half) : 0.0; // no rising part at all
        else if (m_wave == SynthWave::Sawtooth)
            m_slope = m_span / static_cast<double>(m_n);
        m_table.reserve(static_cast<size_t>(m_n) + 2);
    }

    void Add(uint16_t *__restrict acc, int64_t len)
    {
        int64_t i = 0;
        while (i < len) {
            // A period that never ends (n <= 0 after rounding) runs to the end of the sound.
            const int64_t left = m_n > m_j ? m_n - m_j : len - i;
            const int64_t seg = std::min(len - i, left);
            Grow(m_j + seg);
            const uint16_t *__restrict src = m_table.data() + m_j;
            uint16_t *__restrict dst = acc + i;
            for (int64_t k = 0; k < seg; ++k)
                dst[k] = static_cast<uint16_t>(dst[k] + src[k]);
            i += seg;
            m_j += seg;
            if (m_j == m_n) {
                m_j = 0;
                ++m_c;
                m_n = static_cast<int64_t>(static_cast<double>(m_c) * m_period -
                                           std::trunc(static_cast<double>(m_c - 1) * m_period));
            }
        }
    }

private:
    void Grow(int64_t size)
    {
        for (int64_t j = static_cast<int64_t>(m_table.size()); j < size; ++j) {
            double s = 0;
            switch (m_wave) {
            case SynthWave::Sine:
                s = std::trunc(std::sin(static_cast<double>(j) * m_step) / 2 * m_span);
                break;
            case SynthWave::Square:
                s = j < m_half ? m_low : m_high;
                break;
            case SynthWave::Triangle:
                s = std::trunc(m_accumulator);
                if (j < m_half) {
                    m_accumulator += m_slope;
                } else {
                    m_accumulator -= m_slope;
                    if (m_accumulator < m_low)
                        m_accumulator = m_low;
                }
                break;
            case SynthWave::Sawtooth:
                s = std::trunc(m_accumulator);
                m_accumulator += m_slope;
                break;
            case SynthWave::Noise:
                break;
            }
            m_table.push_back(Contribution(s, m_sixteenBit));
        }
    }

    SynthWave m_wave;
    bool m_sixteenBit;
    double m_span = 0, m_low = 0, m_high = 0;
    double m_period = 0;
    double m_step = 0, m_slope = 0;
    double m_accumulator = 0; // triangle/sawtooth value at position m_table.size()
    int64_t m_n = 0, m_half = 0, m_j = 0, m_c = 1;
    std::vector<uint16_t> m_table;
};

class NoiseLayer
{
public:
    NoiseLayer(const SynthLayer &layer, const SynthFormat &format, uint64_t drawsBefore)
        : m_sixteenBit(format.sixteenBit)
    {
        const Levels lv = LevelsFor(layer.level, format.sixteenBit);
        m_low = lv.low;
        m_range = static_cast<uint32_t>(static_cast<int64_t>(lv.span + 1));
        m_source.Skip(drawsBefore);
    }

    void Add(uint16_t *__restrict acc, int64_t len)
    {
        uint32_t x = m_source.x;
        const uint64_t range = m_range;
        const double low = m_low;
        if (m_sixteenBit) {
            for (int64_t k = 0; k < len; ++k) {
                x = x * 134775813u + 1u;
                const double s =
                    low + static_cast<double>(static_cast<uint32_t>((uint64_t{x} * range) >> 32));
                acc[k] = static_cast<uint16_t>(acc[k] + static_cast<uint16_t>(static_cast<int64_t>(s)));
            }
        } else {
            for (int64_t k = 0; k < len; ++k) {
                x = x * 134775813u + 1u;
                const double s =
                    low + static_cast<double>(static_cast<uint32_t>((uint64_t{x} * range) >> 32));
                acc[k] = static_cast<uint16_t>(acc[k] + Contribution(s, false));
            }
        }
        m_source.x = x;
    }

private:
    bool m_sixteenBit;
    double m_low = 0;
    uint32_t m_range = 0;
    NoiseSource m_source{1};
};

void WriteFrames(uint8_t *out, const uint16_t *acc, int64_t len, const SynthFormat &format)
{
    if (format.sixteenBit) {
        if (format.stereo) {
            for (int64_t k = 0; k < len; ++k) {
                const uint32_t v = uint32_t{acc[k]} * 0x10001u;
                std::memcpy(out + 4 * k, &v, 4);
            }
        } else {
            std::memcpy(out, acc, static_cast<size_t>(len) * 2);
        }
    } else if (format.stereo) {
        for (int64_t k = 0; k < len; ++k) {
            const uint16_t v = static_cast<uint16_t>(((acc[k] + 128u) & 0xFFu) * 0x101u);
            std::memcpy(out + 2 * k, &v, 2);
        }
    } else {
        for (int64_t k = 0; k < len; ++k)
            out[k] = static_cast<uint8_t>(acc[k] + 128u);
    }
}

} // namespace

void NoiseSource::Skip(uint64_t steps)
{
    // Jump ahead by composing powers of the step x -> a x + 1.
    uint32_t mul = 1, add = 0;
    uint32_t curMul = 134775813u, curAdd = 1u;
    while (steps) {
        if (steps & 1) {
            mul *= curMul;
            add = add * curMul + curAdd;
        }
        curAdd = (curMul + 1u) * curAdd;
        curMul *= curMul;
        steps >>= 1;
    }
    x = mul * x + add;
}

int64_t SynthFrameCount(int64_t dataSize, const SynthFormat &format)
{
    const int64_t frameSize = (format.sixteenBit ? 2 : 1) * (format.stereo ? 2 : 1);
    return dataSize > 0 ? (dataSize + frameSize - 1) / frameSize : 0;
}

void SynthesizeLayers(uint8_t *data, int64_t dataSize, const SynthFormat &format, const SynthLayer *layers,
                      size_t count)
{
    const int64_t frames = SynthFrameCount(dataSize, format);
    const int64_t frameSize = (format.sixteenBit ? 2 : 1) * (format.stereo ? 2 : 1);

    std::vector<PeriodicLayer> periodic;
    std::vector<NoiseLayer> noise;
    uint64_t noiseDraws = 0;
    for (size_t i = 0; i < count; ++i) {
        const SynthLayer &layer = layers[i];
        if (layer.level <= 0 || layer.frequency <= 0)
            continue;
        if (layer.wave == SynthWave::Noise) {
            // Each noise layer continues the one generator where the previous noise layer left it.
            noise.emplace_back(layer, format, noiseDraws);
            noiseDraws += static_cast<uint64_t>(frames);
        } else if (static_cast<double>(format.rate) / static_cast<double>(layer.frequency) >= 1.0) {
            periodic.emplace_back(layer, format);
        }
    }

    std::vector<uint16_t> acc(static_cast<size_t>(kBlockFrames));
    for (int64_t f0 = 0; f0 < frames; f0 += kBlockFrames) {
        const int64_t len = std::min(kBlockFrames, frames - f0);
        std::fill_n(acc.begin(), len, uint16_t{0});
        for (PeriodicLayer &layer : periodic)
            layer.Add(acc.data(), len);
        for (NoiseLayer &layer : noise)
            layer.Add(acc.data(), len);
        WriteFrames(data + f0 * frameSize, acc.data(), len, format);
    }
}

} // namespace tonegen
