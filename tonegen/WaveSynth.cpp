#include "tonegen/WaveSynth.h"

#include "tonegen/ColouredNoise.h"
#include "tonegen/WaveKernels.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <numeric>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

static_assert(std::endian::native == std::endian::little, "samples are stored in host order");

namespace tonegen {

namespace {

// Frames summed per pass; the accumulator stays in the first-level cache.
constexpr int64_t kBlockFrames = 4096;

// A periodic layer: within a period the value depends only on the position j, so the values are
// computed once per position and added period by period. Periods are Trunc(c * P) - Trunc((c - 1) * P)
// frames long, computed exactly as the frame-by-frame rule does.
class PeriodicLayer
{
public:
    PeriodicLayer(const SynthLayer &layer, const SynthFormat &format, bool avx2)
        : m_wave(layer.wave), m_sixteenBit(format.sixteenBit), m_avx2(avx2)
    {
        const Levels lv = LevelsFor(layer.level, format.sixteenBit);
        m_span = lv.span;
        m_low = lv.low;
        m_high = m_span / 2;
        m_period = static_cast<double>(format.rate) / static_cast<double>(layer.frequency);
        m_n = static_cast<int64_t>(m_period);
        m_boundary = m_n;
        m_half = static_cast<int64_t>(m_period + 0.5) / 2;
        m_step = 2 * std::numbers::pi / static_cast<double>(m_n);
        m_accumulator = m_low;
        if (m_wave == SynthWave::Triangle)
            m_slope = m_half > 0 ? m_span / static_cast<double>(m_half) : 0.0; // no rising part at all
        else if (m_wave == SynthWave::Sawtooth)
            m_slope = m_span / static_cast<double>(m_n);
        m_table.reserve(static_cast<size_t>(m_n) + kLanes);
    }

    double Period() const { return m_period; }

    // The values of frames [f0, f0 + len), which must follow the frames of the previous call, as one
    // run of the pattern, or null (having done nothing) if a period there ends off the pattern.
    const uint16_t *Slice(int64_t f0, int64_t len)
    {
        if (m_pattern.empty())
            return nullptr;
        // The period c that holds frame `end` is the (r + 1)th of its repeat of the pattern.
        const int64_t end = f0 + len;
        const int64_t repeat = end / m_p;
        const auto r =
            static_cast<size_t>(std::upper_bound(m_ends.begin(), m_ends.end(), end % m_p) - m_ends.begin());
        const int64_t c = repeat * m_q + static_cast<int64_t>(r) + 1;
        // Periods m_c to c and the end of period m_c - 1 must keep to the pattern.
        while (m_nextBreak < m_breaks.size() && m_breaks[m_nextBreak] < m_c - 1)
            ++m_nextBreak;
        if (m_nextBreak < m_breaks.size() && m_breaks[m_nextBreak] <= c)
            return nullptr;
        m_c = c;
        m_boundary = repeat * m_p + m_ends[r];
        m_n = m_boundary - repeat * m_p - (r == 0 ? 0 : m_ends[r - 1]);
        m_j = end - (m_boundary - m_n);
        return m_pattern.data() + f0 % m_p;
    }

    // Frames after which the pattern repeats (0: no pattern), and its values from frame 0 on.
    int64_t PatternFrames() const { return m_pattern.empty() ? 0 : m_p; }
    const uint16_t *Pattern() const { return m_pattern.data(); }

    // The next `len` frames, from `acc` on and, when emitting, to 16-bit stereo frames from `out` on.
    template <Pass P> void Add(uint16_t *acc, uint8_t *out, int64_t len)
    {
#if defined(TONEGEN_AVX2)
        if (m_avx2) {
            RunAvx2<P>(acc, out, len);
            return;
        }
#endif
        Run<PlainCopy, P>(acc, out, len);
    }

private:
#if defined(TONEGEN_AVX2)
    // Flattened, so that the vector loops end up inside this function and its instruction set.
    template <Pass P>
    __attribute__((target("avx2"), flatten)) void RunAvx2(uint16_t *acc, uint8_t *out, int64_t len)
    {
        Run<Avx2Copy, P>(acc, out, len);
    }
#endif

    template <class Copy, Pass P>
    __attribute__((always_inline)) inline void Run(uint16_t *acc, uint8_t *out, int64_t len)
    {
        int64_t i = 0, j = m_j, n = m_n, c = m_c, boundary = m_boundary;
        const double period = m_period;
        while (i < len) {
            // A period that never ends (n <= j after rounding) runs to the end of the sound.
            if (n <= j) {
                Plain<P>(acc + i, out + 4 * i, j, len - i);
                j += len - i;
                break;
            }
            const int64_t left = n - j;
            if (left > len - i) {
                if (n >= kLanes) {
                    Copy::template Run<P>(acc + i, out + 4 * i, Sources<1>{Wrapped(n) + j}, len - i);
                } else
                    Plain<P>(acc + i, out + 4 * i, j, len - i);
                j += len - i;
                break;
            }
            ++c;
            const double end = static_cast<double>(c) * period;
            const int64_t next = static_cast<int64_t>(end - static_cast<double>(boundary));
            boundary = static_cast<int64_t>(end);
            const int64_t whole = (left + kLanes - 1) / kLanes * kLanes;
            if (n >= kLanes && whole - left < next && i + whole <= len) {
                // Whole vectors: the lanes past the end of the period are the first positions of the next.
                Copy::template Run<P>(acc + i, out + 4 * i, Sources<1>{Wrapped(n) + j}, whole);
                i += whole;
                j = whole - left;
            } else {
                Plain<P>(acc + i, out + 4 * i, j, left);
                i += left;
                j = 0;
            }
            n = next;
        }
        m_j = j;
        m_n = n;
        m_c = c;
        m_boundary = boundary;
    }

    template <Pass P> void Plain(uint16_t *acc, uint8_t *out, int64_t j, int64_t count)
    {
        Grow(j + count);
        PlainCopy::Run<P>(acc, out, Sources<1>{m_table.data() + j}, count);
    }

    // The values of a period of n frames followed by the first positions of the next period. Periods
    // take at most two lengths in turn, one odd and one even, hence one slot per parity.
    const uint16_t *Wrapped(int64_t n)
    {
        WrappedTable &slot = m_wrapped[n & 1];
        if (slot.n != n) {
            Grow(n);
            slot.n = n;
            slot.values.assign(m_table.begin(), m_table.begin() + n);
            slot.values.insert(slot.values.end(), m_table.begin(), m_table.begin() + kLanes);
        }
        return slot.values.data();
    }

public:
    // Looks for q periods that take a whole number p of frames: then the values repeat every p frames
    // wherever the periods end where the first q do, p frames later. The pattern holds a block more.
    void FindPattern(int64_t frames)
    {
        constexpr int64_t kMaxPattern = int64_t{1} << 15;
        // Below 2^31 frames the rounding of a period end stays far below the margin of FindBreaks.
        if (frames <= 0 || frames >= (int64_t{1} << 31))
            return;
        for (int64_t q = 1; static_cast<double>(q) * m_period <= kMaxPattern; ++q) {
            const double x = static_cast<double>(q) * m_period;
            const double p = std::round(x);
            if (std::abs(x - p) > 1e-9 * p || static_cast<int64_t>(x) != static_cast<int64_t>(p))
                continue;
            m_q = q;
            m_p = static_cast<int64_t>(p);
            break;
        }
        if (m_q == 0)
            return;
        int64_t longest = 0;
        for (int64_t c = 1; c <= m_q; ++c) {
            m_ends.push_back(static_cast<int64_t>(static_cast<double>(c) * m_period));
            longest = std::max(longest, m_ends.back() - (c == 1 ? 0 : m_ends[static_cast<size_t>(c - 2)]));
        }
        if (!FindBreaks(frames))
            return;
        Grow(longest);
        const int64_t size = m_p + std::min(frames, kBlockFrames);
        m_pattern.reserve(static_cast<size_t>(size));
        for (int64_t start = 0, c = 0; static_cast<int64_t>(m_pattern.size()) < size; ++c) {
            const int64_t stop = c / m_q * m_p + m_ends[static_cast<size_t>(c % m_q)];
            m_pattern.insert(m_pattern.end(), m_table.begin(),
                             m_table.begin() + (std::min(stop, size) - start));
            start = stop;
        }
    }

private:
    // The periods whose ends leave the pattern. The pattern ends period k q + s at k p + Trunc(s P),
    // the rule at Trunc((k q + s) P), the whole part of k p + k (q P - p) + s P plus rounding. They
    // agree unless s P lies that close to a whole number, so only such s are checked one by one.
    bool FindBreaks(int64_t frames)
    {
        const int64_t repeats = frames / m_p + 2;
        const double q = static_cast<double>(m_q);
        const double drift =
            std::abs(std::fma(q, m_period, -static_cast<double>(m_p))) * static_cast<double>(repeats) +
            0x1p-20;
        int64_t checks = 0;
        for (int64_t s = 1; s <= m_q; ++s) {
            const double y = static_cast<double>(s) * m_period;
            if (std::abs(y - std::round(y) + std::fma(static_cast<double>(s), m_period, -y)) > drift)
                continue;
            // Too many to check: the pattern would hardly pay.
            checks += repeats;
            if (checks > frames / 8 + 64)
                return false;
            for (int64_t k = 0; k < repeats; ++k) {
                const int64_t c = k * m_q + s;
                if (static_cast<int64_t>(static_cast<double>(c) * m_period) !=
                    k * m_p + m_ends[static_cast<size_t>(s - 1)])
                    m_breaks.push_back(c);
            }
        }
        std::sort(m_breaks.begin(), m_breaks.end());
        return true;
    }

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
    bool m_avx2;
    double m_span = 0, m_low = 0, m_high = 0;
    double m_period = 0;
    double m_step = 0, m_slope = 0;
    double m_accumulator = 0; // triangle/sawtooth value at position m_table.size()
    int64_t m_n = 0, m_half = 0, m_j = 0, m_c = 1;
    int64_t m_boundary = 0; // Trunc(c * P): the first frame after the current period

    std::vector<uint16_t> m_table;
    struct WrappedTable
    {
        int64_t n = -1;
        std::vector<uint16_t> values;
    };
    WrappedTable m_wrapped[2];
    int64_t m_q = 0, m_p = 0;      // q periods of p frames in all
    std::vector<int64_t> m_ends;   // of the first q periods
    std::vector<int64_t> m_breaks; // periods that end off the pattern
    size_t m_nextBreak = 0;
    std::vector<uint16_t> m_pattern;
};

// Layers whose patterns repeat together within a few blocks: their sum is one pattern too, used
// wherever all of them keep to their own.
struct PatternGroup
{
    std::vector<PeriodicLayer *> layers;
    int64_t frames = 0;           // after which the sum repeats; 0 for a layer without pattern
    std::vector<uint16_t> values; // of the sum over `frames` and a block more, for two layers or more

    static std::vector<PatternGroup> Make(std::vector<PeriodicLayer> &periodic, int64_t frames)
    {
        constexpr int64_t kMaxFrames = int64_t{1} << 16;
        std::vector<PatternGroup> groups;
        for (PeriodicLayer &layer : periodic) {
            const int64_t p = layer.PatternFrames();
            const auto joins = std::find_if(groups.begin(), groups.end(), [&](const PatternGroup &g) {
                return p > 0 && g.frames > 0 && std::lcm(g.frames, p) <= std::min(kMaxFrames, frames);
            });
            if (joins == groups.end()) {
                groups.push_back({{&layer}, p, {}});
            } else {
                joins->layers.push_back(&layer);
                joins->frames = std::lcm(joins->frames, p);
            }
        }
        for (PatternGroup &g : groups) {
            if (g.layers.size() < 2)
                continue;
            g.values.assign(static_cast<size_t>(g.frames + std::min(frames, kBlockFrames)), 0);
            const auto size = static_cast<int64_t>(g.values.size());
            for (const PeriodicLayer *layer : g.layers) {
                const int64_t p = layer->PatternFrames();
                for (int64_t start = 0; start < size; start += p) {
                    uint16_t *to = g.values.data() + start;
                    const uint16_t *from = layer->Pattern();
                    for (int64_t i = 0; i < std::min(p, size - start); ++i)
                        to[i] = static_cast<uint16_t>(to[i] + from[i]);
                }
            }
        }
        return groups;
    }

    // Adds the runs of frames [f0, f0 + len) to `runs` and the layers that have none to `others`.
    void Slice(int64_t f0, int64_t len, std::vector<const uint16_t *> &runs,
               std::vector<PeriodicLayer *> &others)
    {
        const size_t mark = runs.size();
        bool all = true;
        for (PeriodicLayer *layer : layers) {
            if (const uint16_t *run = layer->Slice(f0, len)) {
                runs.push_back(run);
            } else {
                others.push_back(layer);
                all = false;
            }
        }
        if (all && !values.empty()) {
            runs.resize(mark);
            runs.push_back(values.data() + f0 % frames);
        }
    }
};

// Noise is the only layer that changes from frame to frame: one draw of the generator each.
class NoiseLayer
{
public:
    NoiseLayer(const SynthLayer &layer, const SynthFormat &format, uint64_t drawsBefore, bool avx2)
        : m_avx2(avx2)
    {
        const Levels lv = LevelsFor(layer.level, format.sixteenBit);
        m_range = static_cast<uint32_t>(static_cast<int64_t>(lv.span + 1));
        m_source.Skip(drawsBefore);
        // The value is low + r with low = -M / 100 (M = level * 32767 or level * 127). Its exact
        // fractional part is 0 or at least 0.01 away from a whole number, far more than the rounding
        // of the real sum, so the truncation can be done on whole numbers: with M = 100 q + m,
        // Trunc(r - M / 100) = (r - q), less 1 when m > 0 and r - q >= 1. 8-bit values are truncated
        // after adding 128, which is taken off again.
        const int64_t M = layer.level * (format.sixteenBit ? 32767 : 127);
        m_bias = format.sixteenBit ? 0 : 128;
        m_offset = m_bias - M / 100;
        m_roundDown = M % 100 != 0 ? 1 : 0;
    }

    // Adds the values to the sums or, with `store`, stores them as the first sums.
    void Add(uint16_t *__restrict acc, int64_t len, bool store)
    {
        int64_t k = 0;
        // The vector forms work in 32-bit lanes; huge levels (far beyond full level) take the plain loop.
        const bool lanesFit = m_range < (1u << 30) && m_offset > -(int64_t{1} << 30);
#if defined(TONEGEN_AVX2)
        // The AVX2 form works in 16-bit lanes: every r + offset and r + offset - bias must fit one.
        const bool wordsFit =
            m_range <= 0xFFFFu && m_offset - m_bias >= -0x8000 && m_range - 1 + m_offset <= 0x7FFF;
        if (m_avx2 && wordsFit) {
            const NoiseRule rule{m_range, static_cast<int32_t>(m_offset), static_cast<int32_t>(m_roundDown),
                                 static_cast<int32_t>(m_bias)};
            k = AddNoiseAvx2(acc, len, m_source.x, rule, store);
        }
#endif
        if (store)
            std::fill(acc + k, acc + len, uint16_t{0});
#if defined(__SSE2__)
        if (len - k >= 8 && lanesFit)
            k += AddEightAtATime(acc + k, len - k);
#endif
        constexpr uint32_t a = kNoiseMultiplier;
        const uint64_t range = m_range;
        const int64_t offset = m_offset, roundDown = m_roundDown, bias = m_bias;
        uint32_t x = m_source.x;
        for (; k < len; ++k) {
            x = a * x + 1u;
            const int64_t t = static_cast<int64_t>((uint64_t{x} * range) >> 32) + offset;
            acc[k] =
                static_cast<uint16_t>(acc[k] + static_cast<uint16_t>(t - (t > 0 ? roundDown : 0) - bias));
        }
        m_source.x = x;
    }

private:
#if defined(__SSE2__)
    // Low halves of the lane-wise 32 x 32-bit products (SSE2 only multiplies lanes 0 and 2 to 64 bits).
    static __m128i MulLo32(__m128i a, __m128i b)
    {
        const __m128i even = _mm_mul_epu32(a, b);
        const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
        return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                                  _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
    }

    // Upper halves of the 64-bit products of each lane with the same factor.
    static __m128i MulHi32(__m128i a, __m128i factor)
    {
        const __m128i even = _mm_mul_epu32(a, factor);
        const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), factor);
        return _mm_or_si128(_mm_srli_epi64(even, 32), _mm_and_si128(odd, _mm_set_epi32(-1, 0, -1, 0)));
    }

    __m128i Values(__m128i state) const
    {
        __m128i t = _mm_add_epi32(MulHi32(state, _mm_set1_epi32(static_cast<int>(m_range))),
                                  _mm_set1_epi32(static_cast<int>(m_offset)));
        t = _mm_sub_epi32(t, _mm_and_si128(_mm_cmpgt_epi32(t, _mm_setzero_si128()),
                                           _mm_set1_epi32(static_cast<int>(m_roundDown))));
        t = _mm_sub_epi32(t, _mm_set1_epi32(static_cast<int>(m_bias)));
        // Keep the low 16 bits, sign-extended, so that packing does not saturate.
        return _mm_srai_epi32(_mm_slli_epi32(t, 16), 16);
    }

    // Eight states side by side, each stepped eight draws at a time; returns the frames done.
    int64_t AddEightAtATime(uint16_t *acc, int64_t len)
    {
        uint32_t states[8];
        uint32_t x = m_source.x;
        for (uint32_t &state : states)
            state = x = kNoiseMultiplier * x + 1u;
        __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i *>(states));
        __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i *>(states + 4));
        const __m128i mul = _mm_set1_epi32(static_cast<int>(kNoiseMultiplier8));
        const __m128i inc = _mm_set1_epi32(static_cast<int>(kNoiseIncrement8));
        __m128i last = high;
        int64_t k = 0;
        for (; k + 8 <= len; k += 8) {
            const __m128i v = _mm_packs_epi32(Values(low), Values(high));
            __m128i *p = reinterpret_cast<__m128i *>(acc + k);
            _mm_storeu_si128(p, _mm_add_epi16(_mm_loadu_si128(p), v));
            last = high;
            low = _mm_add_epi32(MulLo32(low, mul), inc);
            high = _mm_add_epi32(MulLo32(high, mul), inc);
        }
        m_source.x =
            static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(last, _MM_SHUFFLE(3, 3, 3, 3))));
        return k;
    }
#endif

    uint32_t m_range = 0;
    int64_t m_offset = 0, m_roundDown = 0, m_bias = 0;
    NoiseSource m_source{1};
    bool m_avx2;
};

// Coloured noise is filtered over the whole sound at once: its loudest value sets the scale.
class ColouredLayer
{
public:
    ColouredLayer(const SynthLayer &layer, const SynthFormat &format, uint64_t drawsBefore, int64_t frames)
    {
        NoiseSource source;
        source.Skip(drawsBefore);
        m_values = ColouredNoise(layer.colour, layer.level, format.sixteenBit, frames, source);
    }

    void Add(uint16_t *acc, int64_t len)
    {
        const uint16_t *src = m_values.data() + m_position;
        for (int64_t k = 0; k < len; ++k)
            acc[k] = static_cast<uint16_t>(acc[k] + src[k]);
        m_position += len;
    }

private:
    std::vector<uint16_t> m_values;
    int64_t m_position = 0;
};

void WriteFramesWith(uint8_t *out, const uint16_t *acc, int64_t len, const SynthFormat &format, bool avx2)
{
    if (format.sixteenBit) {
        if (format.stereo) {
#if defined(TONEGEN_AVX2)
            if (avx2) {
                WriteStereo16Avx2(out, acc, len);
                return;
            }
#endif
            WriteStereo16Plain(out, acc, len);
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

// What one sample value s adds to a stored sample, modulo the sample width: 16-bit adds Trunc(s),
// 8-bit adds Trunc(s + 128) - 128. Sums modulo 2^16 keep the 8-bit result in their low byte.
uint16_t Contribution(double s, bool sixteenBit)
{
    if (sixteenBit)
        return static_cast<uint16_t>(static_cast<int64_t>(s));
    return static_cast<uint16_t>(static_cast<int64_t>(s + 128.0) - 128);
}

Levels LevelsFor(int64_t level, bool sixteenBit)
{
    if (sixteenBit)
        return {static_cast<double>(level * 65534) / 100, -static_cast<double>(level * 32767) / 100};
    return {static_cast<double>(level * 254) / 100, -static_cast<double>(level * 127) / 100};
}

void WriteFrames(uint8_t *out, const uint16_t *acc, int64_t len, const SynthFormat &format)
{
    static const bool avx2 = CpuHasAvx2();
    WriteFramesWith(out, acc, len, format, avx2);
}

void NoiseSource::Skip(uint64_t steps)
{
    // Jump ahead by composing powers of the step x -> a x + 1.
    uint32_t mul = 1, add = 0;
    uint32_t curMul = kNoiseMultiplier, curAdd = 1u;
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

    static const bool avx2 = CpuHasAvx2();
    std::vector<PeriodicLayer> periodic;
    std::vector<NoiseLayer> noise;
    std::vector<ColouredLayer> coloured;
    uint64_t noiseDraws = 0;
    for (size_t i = 0; i < count; ++i) {
        const SynthLayer &layer = layers[i];
        if (layer.level <= 0 || layer.frequency <= 0)
            continue;
        if (layer.wave == SynthWave::Noise) {
            // Each noise layer continues the one generator where the previous noise layer left it.
            if (layer.colour == NoiseColour::White)
                noise.emplace_back(layer, format, noiseDraws, avx2);
            else
                coloured.emplace_back(layer, format, noiseDraws, frames);
            noiseDraws += static_cast<uint64_t>(frames);
        } else if (static_cast<double>(format.rate) / static_cast<double>(layer.frequency) >= 1.0) {
            periodic.emplace_back(layer, format, avx2);
        }
    }
    // A layer alone reads its period table, which stays in the first-level cache, faster than a long
    // pattern, unless its periods are only a few vectors long.
    const bool alone = periodic.size() == 1 && noise.empty() && coloured.empty();
    for (PeriodicLayer &layer : periodic) {
        if (!alone || layer.Period() < static_cast<double>(8 * kLanes))
            layer.FindPattern(frames);
    }

    // Aligned, so that whole-register runs of the sums split no cache line.
    struct alignas(64) Sums
    {
        uint16_t values[kBlockFrames];
    };
    const auto sums = std::make_unique<Sums>();
    uint16_t *const acc = sums->values;
    // Sums wrap modulo 2^16, so the layers may be added in any order. In 16-bit stereo the last pass
    // writes the frames of the sums plus its own values, which spares a pass over the sums.
    const bool stereo16 = format.sixteenBit && format.stereo;
    std::vector<PatternGroup> groups = PatternGroup::Make(periodic, frames);
    std::vector<const uint16_t *> runs;
    std::vector<PeriodicLayer *> others;
    // The first block ends where the frames reach a 64-byte boundary; the later ones start on one.
    const auto address = reinterpret_cast<uintptr_t>(data);
    const int64_t head = address % static_cast<uintptr_t>(frameSize) == 0
                             ? static_cast<int64_t>((64 - address % 64) % 64) / frameSize
                             : 0;
    int64_t len = 0;
    for (int64_t f0 = 0; f0 < frames; f0 += len) {
        len = std::min(f0 == 0 && head > 0 ? head : kBlockFrames, frames - f0);
        uint8_t *const out = data + f0 * frameSize;
        // Layers whose periods follow their pattern here add runs of it, up to kMaxSources in a pass.
        runs.clear();
        others.clear();
        for (PatternGroup &group : groups)
            group.Slice(f0, len, runs, others);
        const size_t last = stereo16 ? std::min(runs.size(), kMaxSources) : 0;
        PeriodicLayer *const emitter = stereo16 && last == 0 && !others.empty() ? others.back() : nullptr;
        if (emitter)
            others.pop_back();
        bool summed = false;
        for (size_t i = 0; i + last < runs.size(); i += kMaxSources) {
            const size_t sources = std::min(kMaxSources, runs.size() - last - i);
            if (summed)
                SumSources<Pass::Add>(acc, out, runs.data() + i, sources, len, avx2);
            else
                SumSources<Pass::Store>(acc, out, runs.data() + i, sources, len, avx2);
            summed = true;
        }
        for (PeriodicLayer *layer : others) {
            if (summed)
                layer->Add<Pass::Add>(acc, out, len);
            else
                layer->Add<Pass::Store>(acc, out, len);
            summed = true;
        }
        const bool emits = last > 0 || emitter;
        for (NoiseLayer &layer : noise) {
            layer.Add(acc, len, !summed);
            summed = true;
        }
        if (!summed && (!emits || !coloured.empty())) {
            std::fill_n(acc, len, uint16_t{0});
            summed = true;
        }
        for (ColouredLayer &layer : coloured)
            layer.Add(acc, len);
        if (last > 0 && summed)
            SumSources<Pass::Emit>(acc, out, runs.data() + runs.size() - last, last, len, avx2);
        else if (last > 0)
            SumSources<Pass::EmitAlone>(acc, out, runs.data() + runs.size() - last, last, len, avx2);
        else if (emitter && summed)
            emitter->Add<Pass::Emit>(acc, out, len);
        else if (emitter)
            emitter->Add<Pass::EmitAlone>(acc, out, len);
        else
            WriteFramesWith(out, acc, len, format, avx2);
    }
}

} // namespace tonegen
