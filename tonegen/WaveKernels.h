#pragma once

// Vector loops of the synthesis, each with a plain form for processors without AVX2.

#include "tonegen/WaveSynth.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#define TONEGEN_AVX2 1
#include <immintrin.h>
#endif

namespace tonegen {

// Four steps of x -> a x + 1 in one: x -> a^4 x + (a^3 + a^2 + a + 1); then eight and sixteen.
constexpr uint32_t kNoiseMultiplier4 =
    kNoiseMultiplier * kNoiseMultiplier * kNoiseMultiplier * kNoiseMultiplier;
constexpr uint32_t kNoiseIncrement4 = kNoiseMultiplier * kNoiseMultiplier * kNoiseMultiplier +
                                      kNoiseMultiplier * kNoiseMultiplier + kNoiseMultiplier + 1u;
constexpr uint32_t kNoiseMultiplier8 = kNoiseMultiplier4 * kNoiseMultiplier4;
constexpr uint32_t kNoiseIncrement8 = kNoiseMultiplier4 * kNoiseIncrement4 + kNoiseIncrement4;
constexpr uint32_t kNoiseMultiplier16 = kNoiseMultiplier8 * kNoiseMultiplier8;
constexpr uint32_t kNoiseIncrement16 = kNoiseMultiplier8 * kNoiseIncrement8 + kNoiseIncrement8;

// Whole-number form of a noise value: Trunc(r - M / 100) with M = 100 q + m is r - q, less 1 when
// m > 0 and r - q >= 1 (see NoiseLayer); 8-bit values carry 128 in offset and bias.
struct NoiseRule
{
    uint32_t range = 0;
    int32_t offset = 0;
    int32_t roundDown = 0;
    int32_t bias = 0;
};

bool CpuHasAvx2();

inline void WriteStereo16Plain(uint8_t *out, const uint16_t *acc, int64_t len)
{
    for (int64_t k = 0; k < len; ++k) {
        const uint32_t v = uint32_t{acc[k]} * 0x10001u;
        std::memcpy(out + 4 * k, &v, 4);
    }
}

#if defined(TONEGEN_AVX2)
void WriteStereo16Avx2(uint8_t *out, const uint16_t *acc, int64_t len);
// The first frames of white noise with `rule`, stored as the first sums or added to them; returns the
// frames done. The rule must keep r + offset and r + offset - bias within 16 bits.
int64_t AddNoiseAvx2(uint16_t *acc, int64_t len, uint32_t &x, const NoiseRule &rule, bool store);
#endif

// Frames per vector of the period loop: sixteen 16-bit sums fill one AVX2 register.
constexpr int64_t kLanes = 16;

// What a pass does with the values it reads: store them as the first sums, add them to the sums, or,
// as the last pass of 16-bit stereo, write the frames of the sums plus the values (Emit) or of the
// values alone (EmitAlone), which spares a pass over the sums.
enum class Pass : uint8_t { Store, Add, Emit, EmitAlone };

// Passes over K sources of values summed, taken by value so that the pointers stay in registers.
template <size_t K> using Sources = std::array<const uint16_t *, K>;

struct PlainCopy
{
    template <Pass P, size_t K = 1>
    static void Run(uint16_t *__restrict acc, uint8_t *out, Sources<K> src, int64_t count)
    {
        if constexpr (P == Pass::EmitAlone && K == 1) {
            WriteStereo16Plain(out, src[0], count);
        } else {
            // Summed first, written after: the compiler vectorises the two loops apart.
            for (int64_t k = 0; k < count; ++k) {
                uint16_t v = src[0][k];
                for (size_t i = 1; i < K; ++i)
                    v = static_cast<uint16_t>(v + src[i][k]);
                acc[k] = P == Pass::Add || P == Pass::Emit ? static_cast<uint16_t>(v + acc[k]) : v;
            }
            if constexpr (P == Pass::Emit || P == Pass::EmitAlone)
                WriteStereo16Plain(out, acc, count);
        }
    }
};

#if defined(TONEGEN_AVX2)
struct Avx2Copy
{
    template <Pass P, size_t K = 1>
    __attribute__((target("avx2"))) static void Run(uint16_t *acc, uint8_t *out, Sources<K> src,
                                                    int64_t count)
    {
        int64_t k = 0;
        for (; k + kLanes <= count; k += kLanes) {
            __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(src[0] + k));
            for (size_t i = 1; i < K; ++i)
                v = _mm256_add_epi16(v, _mm256_loadu_si256(reinterpret_cast<const __m256i *>(src[i] + k)));
            __m256i *d = reinterpret_cast<__m256i *>(acc + k);
            if constexpr (P == Pass::Add || P == Pass::Emit)
                v = _mm256_add_epi16(v, _mm256_loadu_si256(d));
            if constexpr (P == Pass::Store || P == Pass::Add) {
                _mm256_storeu_si256(d, v);
            } else {
                // Each sample twice: quarters 0 2 1 3, then every word doubled within its half.
                v = _mm256_permute4x64_epi64(v, 0xD8);
                __m256i *o = reinterpret_cast<__m256i *>(out + 4 * k);
                _mm256_storeu_si256(o, _mm256_unpacklo_epi16(v, v));
                _mm256_storeu_si256(o + 1, _mm256_unpackhi_epi16(v, v));
            }
        }
        for (const uint16_t *&p : src)
            p += k;
        PlainCopy::Run<P, K>(acc + k, out + 4 * k, src, count - k);
    }
};
#endif

// Sources summed per pass over the sums.
constexpr size_t kMaxSources = 4;

// Adds `count` (1 to kMaxSources) sources of `len` values in one pass.
template <Pass P>
void SumSources(uint16_t *acc, uint8_t *out, const uint16_t *const *src, size_t count, int64_t len,
                bool avx2);

} // namespace tonegen
