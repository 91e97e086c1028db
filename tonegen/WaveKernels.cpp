#include "tonegen/WaveKernels.h"

namespace tonegen {

bool CpuHasAvx2()
{
#if defined(TONEGEN_AVX2)
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

#if defined(TONEGEN_AVX2)
// 16-bit stereo frames: each sample twice. Stores that split no cache line write the image markedly
// faster, so the frames up to the first 32-byte boundary go one by one.
__attribute__((target("avx2"))) void WriteStereo16Avx2(uint8_t *out, const uint16_t *acc, int64_t len)
{
    const auto address = reinterpret_cast<uintptr_t>(out);
    int64_t k =
        address % 4 == 0 ? std::min<int64_t>(len, static_cast<int64_t>((32 - address % 32) % 32 / 4)) : 0;
    WriteStereo16Plain(out, acc, k);
    for (; k + 8 <= len; k += 8) {
        const __m256i v = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(acc + k)));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + 4 * k),
                            _mm256_or_si256(v, _mm256_slli_epi32(v, 16)));
    }
    WriteStereo16Plain(out + 4 * k, acc + k, len - k);
}

namespace {

// Upper words of the 32-bit lanes: the high halves of the products of the states with `range`
// (below 2^16), from 16-bit products: x range = (xh range) 2^16 + xl range.
__attribute__((target("avx2"))) __m256i HighProducts(__m256i state, __m256i range)
{
    return _mm256_add_epi32(_mm256_mulhi_epu16(state, range),
                            _mm256_srli_epi32(_mm256_mullo_epi16(state, range), 16));
}

// Sixteen states side by side, stepped sixteen draws at a time: frame 2i draws in lane i of `even`,
// frame 2i + 1 in lane i of `odd`, so the values come out in frame order in 16-bit lanes. The rule
// must keep r + offset and r + offset - bias within 16 bits; then u = r + offset - bias > -bias says
// r + offset > 0. Stores the values or adds them to the sums; returns the frames done.
template <bool Store, bool RoundDown>
__attribute__((target("avx2"))) int64_t AddNoiseAvx2(uint16_t *acc, int64_t len, uint32_t &x,
                                                     const NoiseRule &rule)
{
    uint32_t states[16];
    uint32_t y = x;
    for (int k = 0; k < 16; ++k)
        states[k % 2 * 8 + k / 2] = y = kNoiseMultiplier * y + 1u;
    __m256i even = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(states));
    __m256i odd = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(states + 8));
    const __m256i mul = _mm256_set1_epi32(static_cast<int>(kNoiseMultiplier16));
    const __m256i inc = _mm256_set1_epi32(static_cast<int>(kNoiseIncrement16));
    const __m256i range = _mm256_set1_epi16(static_cast<int16_t>(rule.range));
    const __m256i offset = _mm256_set1_epi16(static_cast<int16_t>(rule.offset - rule.bias));
    const __m256i floor = _mm256_set1_epi16(static_cast<int16_t>(-rule.bias));
    __m256i last = odd;
    int64_t k = 0;
    for (; k + 16 <= len; k += 16) {
        const __m256i r = _mm256_blend_epi16(_mm256_srli_epi32(HighProducts(even, range), 16),
                                             HighProducts(odd, range), 0xAA);
        __m256i u = _mm256_add_epi16(r, offset);
        if constexpr (RoundDown)
            u = _mm256_add_epi16(u, _mm256_cmpgt_epi16(u, floor));
        __m256i *p = reinterpret_cast<__m256i *>(acc + k);
        _mm256_storeu_si256(p, Store ? u : _mm256_add_epi16(_mm256_loadu_si256(p), u));
        last = odd;
        even = _mm256_add_epi32(_mm256_mullo_epi32(even, mul), inc);
        odd = _mm256_add_epi32(_mm256_mullo_epi32(odd, mul), inc);
    }
    x = static_cast<uint32_t>(_mm256_extract_epi32(last, 7));
    return k;
}

} // namespace

int64_t AddNoiseAvx2(uint16_t *acc, int64_t len, uint32_t &x, const NoiseRule &rule, bool store)
{
    if (len < 16)
        return 0;
    if (store)
        return rule.roundDown ? AddNoiseAvx2<true, true>(acc, len, x, rule)
                              : AddNoiseAvx2<true, false>(acc, len, x, rule);
    return rule.roundDown ? AddNoiseAvx2<false, true>(acc, len, x, rule)
                          : AddNoiseAvx2<false, false>(acc, len, x, rule);
}
#endif

namespace {

template <class Copy, Pass P, size_t K>
void SumSourcesWith(uint16_t *acc, uint8_t *out, const uint16_t *const *src, int64_t len)
{
    Sources<K> sources;
    std::copy_n(src, K, sources.begin());
    Copy::template Run<P, K>(acc, out, sources, len);
}

template <class Copy, Pass P>
void SumSourcesWith(uint16_t *acc, uint8_t *out, const uint16_t *const *src, size_t count, int64_t len)
{
    switch (count) {
    case 1:
        return SumSourcesWith<Copy, P, 1>(acc, out, src, len);
    case 2:
        return SumSourcesWith<Copy, P, 2>(acc, out, src, len);
    case 3:
        return SumSourcesWith<Copy, P, 3>(acc, out, src, len);
    default:
        return SumSourcesWith<Copy, P, kMaxSources>(acc, out, src, len);
    }
}

#if defined(TONEGEN_AVX2)
template <Pass P>
__attribute__((target("avx2"), flatten)) void
SumSourcesAvx2(uint16_t *acc, uint8_t *out, const uint16_t *const *src, size_t count, int64_t len)
{
    SumSourcesWith<Avx2Copy, P>(acc, out, src, count, len);
}
#endif

} // namespace

template <Pass P>
void SumSources(uint16_t *acc, uint8_t *out, const uint16_t *const *src, size_t count, int64_t len, bool avx2)
{
#if defined(TONEGEN_AVX2)
    if (avx2)
        return SumSourcesAvx2<P>(acc, out, src, count, len);
#endif
    (void)avx2;
    SumSourcesWith<PlainCopy, P>(acc, out, src, count, len);
}

template void SumSources<Pass::Store>(uint16_t *, uint8_t *, const uint16_t *const *, size_t, int64_t, bool);
template void SumSources<Pass::Add>(uint16_t *, uint8_t *, const uint16_t *const *, size_t, int64_t, bool);
template void SumSources<Pass::Emit>(uint16_t *, uint8_t *, const uint16_t *const *, size_t, int64_t, bool);
template void SumSources<Pass::EmitAlone>(uint16_t *, uint8_t *, const uint16_t *const *, size_t, int64_t,
                                          bool);

} // namespace tonegen
