// The fast synthesis against a plain frame-by-frame implementation of the build rules, byte for byte.
#include "tests/tonegen/ToneGenTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>
#include <sstream>

namespace {

struct Settings
{
    int frequency = 440;
    int duration = 100;
    int wave = 0;
    bool sixteen = true;
    bool hiQ = true;
    bool stereo = false;
    bool multiplier = true;
    int16_t amps[8] = {};
    float freqs[8] = {0.5f, 1.0f, 1.5f, 2.0f, 2.5f, 3.0f, 3.5f, 4.0f};
    int waves[8] = {};
    bool envelope = false;
    int attack = 10, hold = 5, decay = 20, sustain = 50, release = 30;

    std::string Describe() const
    {
        std::ostringstream s;
        s << "f=" << frequency << " ms=" << duration << " wave=" << wave << " 16bit=" << sixteen
          << " hiQ=" << hiQ << " stereo=" << stereo << " mult=" << multiplier << " env=" << envelope
          << " adhsr=" << attack << "," << hold << "," << decay << "," << sustain << "," << release
          << " layers:";
        for (int i = 0; i < 8; ++i)
            s << " [" << amps[i] << " " << freqs[i] << " " << waves[i] << "]";
        return s.str();
    }
};

// --- the reference: one frame at a time, as the rules are written ---

void Put(std::vector<uint8_t> &b, size_t at, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

int64_t Trunc(double v)
{
    return static_cast<int64_t>(v);
}

struct Reference
{
    const Settings &st;
    std::vector<uint8_t> img;
    int64_t D = 0;
    int frameSize = 0;
    uint32_t seed = 1;

    explicit Reference(const Settings &s) : st(s) {}

    uint32_t Random(uint32_t m)
    {
        seed = seed * 134775813u + 1u;
        return static_cast<uint32_t>((static_cast<uint64_t>(seed) * m) >> 32);
    }

    void AddLayer(int64_t l, int64_t f, int wave)
    {
        const int rate = st.hiQ ? 96000 : 44100;
        double span, low;
        if (st.sixteen) {
            span = static_cast<double>(l * 65534) / 100;
            low = -static_cast<double>(l * 32767) / 100;
        } else {
            span = static_cast<double>(l * 254) / 100;
            low = -static_cast<double>(l * 127) / 100;
        }
        const double high = span / 2;
        const double P = static_cast<double>(rate) / static_cast<double>(f);
        int64_t n = Trunc(P);
        if (wave != 4 && n < 1)
            return; // a period shorter than a frame: silent
        int64_t half = Trunc(P + 0.5) / 2;
        int64_t c = 1, j = 0;
        const double step = 2 * std::numbers::pi / static_cast<double>(n);
        double C = low, slope = 0;
        if (wave == 2)
            slope = span / static_cast<double>(half);
        if (wave == 3)
            slope = span / static_cast<double>(n);
        for (int64_t b = 0; b < D; b += frameSize) {
            double s = 0;
            switch (wave) {
            case 0:
                s = static_cast<double>(Trunc(std::sin(static_cast<double>(j) * step) / 2 * span));
                break;
            case 1:
                s = j < half ? low : high;
                break;
            case 2:
                if (j < half) {
                    s = static_cast<double>(Trunc(C));
                    C = C + slope;
                } else {
                    s = static_cast<double>(Trunc(C));
                    C = C - slope;
                    if (C < low)
                        C = low;
                }
                break;
            case 3:
                s = static_cast<double>(Trunc(C));
                C = C + slope;
                break;
            case 4:
                s = low + static_cast<double>(Random(static_cast<uint32_t>(Trunc(span + 1))));
                break;
            }
            const size_t at = 44 + static_cast<size_t>(b);
            if (st.sixteen) {
                const int64_t w = static_cast<int16_t>(img[at] | img[at + 1] << 8);
                const auto nw = static_cast<uint16_t>(w + Trunc(s));
                Put(img, at, nw, 2);
                if (st.stereo)
                    Put(img, at + 2, nw, 2);
            } else {
                const auto nu = static_cast<uint8_t>(img[at] - 128 + Trunc(s + 128));
                img[at] = nu;
                if (st.stereo)
                    img[at + 1] = nu;
            }
            ++j;
            if (j == n) {
                j = 0;
                if (wave != 0)
                    C = low;
                ++c;
                n = Trunc(static_cast<double>(c) * P -
                          static_cast<double>(Trunc(static_cast<double>(c - 1) * P)));
                half = Trunc(P + 0.5) / 2;
            }
        }
    }

    int64_t GetX(int64_t frame)
    {
        const size_t at = 44 + static_cast<size_t>(frame * frameSize);
        return st.sixteen ? static_cast<int16_t>(img[at] | img[at + 1] << 8) : int64_t{img[at]} - 128;
    }
    void SetX(int64_t frame, int64_t x)
    {
        const size_t at = 44 + static_cast<size_t>(frame * frameSize);
        for (int ch = 0; ch < (st.stereo ? 2 : 1); ++ch) {
            if (st.sixteen)
                Put(img, at + 2 * ch, static_cast<uint16_t>(x), 2);
            else
                img[at + ch] = static_cast<uint8_t>(x + 128);
        }
    }

    void Envelope()
    {
        const int64_t T = D / frameSize;
        int64_t a = st.attack, h = st.hold, d = st.decay, r = st.release;
        const int64_t S = st.sustain;
        const int64_t sum = a + h + d + r;
        if (sum > 100) {
            a = a * 100 / sum;
            h = h * 100 / sum;
            d = d * 100 / sum;
            r = 100 - a - h - d;
        }
        const int64_t t = 100 - (a + h + d + r);
        auto F = [&](int64_t q) { return q * D / (frameSize * 100); };
        int64_t p = 0;
        if (a > 0) {
            const int64_t L = F(a);
            for (int64_t k = 0; k <= L; ++k) {
                const int64_t x = GetX(p + k);
                SetX(p + k,
                     k * x == 0 ? 0 : Trunc(static_cast<double>(k * x) * (1.0 / static_cast<double>(L))));
            }
            p += L + 1;
        }
        if (h > 0)
            p += F(h) + 1;
        if (d > 0) {
            const int64_t L = F(d);
            for (int64_t k = 0; k <= L; ++k) {
                const int64_t x = GetX(p + k);
                if (k * x != 0)
                    SetX(p + k, x - Trunc(static_cast<double>(k * x) *
                                          (static_cast<double>(100 - S) / static_cast<double>(L) / 100)));
            }
            p += L + 1;
        }
        if (t > 0) {
            const int64_t L = r > 0 ? F(t) : std::max<int64_t>(T - p, 0);
            for (int64_t k = 0; k <= L; ++k)
                SetX(p + k, Trunc(static_cast<double>(GetX(p + k)) * (static_cast<double>(S) / 100)));
            p += L + 1;
        }
        if (r > 0 && T - p >= 0) {
            const int64_t L = T - p;
            for (int64_t k = 0; k <= L; ++k) {
                const int64_t x = GetX(p + k);
                const int64_t lx = (L - k) * x;
                SetX(p + k, lx == 0 ? 0
                                    : Trunc(static_cast<double>(lx) *
                                            ((static_cast<double>(S) / 100) / static_cast<double>(L))));
            }
        }
    }

    std::vector<uint8_t> Build()
    {
        const int bps = st.sixteen ? 2 : 1;
        const int channels = st.stereo ? 2 : 1;
        const int rate = st.hiQ ? 96000 : 44100;
        D = int64_t{bps} * st.duration * (st.hiQ ? 960 : 441) / 10 * channels;
        frameSize = bps * channels;
        img.assign(static_cast<size_t>(44 + D + 32), st.sixteen ? 0 : 0x80);
        std::memcpy(img.data(), "RIFFxxxxWAVEfmt ", 16);
        Put(img, 4, static_cast<uint32_t>(D + 36), 4);
        Put(img, 16, 16, 4);
        Put(img, 20, 1, 2);
        Put(img, 22, static_cast<uint32_t>(channels), 2);
        Put(img, 24, static_cast<uint32_t>(rate), 4);
        Put(img, 28, static_cast<uint32_t>(channels * rate * bps), 4);
        Put(img, 32, static_cast<uint32_t>(bps * channels), 2);
        Put(img, 34, static_cast<uint32_t>(bps * 8), 2);
        std::memcpy(img.data() + 36, "data", 4);
        Put(img, 40, static_cast<uint32_t>(D), 4);

        int64_t A = 0;
        for (int16_t a : st.amps)
            A += a;
        if (100 - A > 0)
            AddLayer(100 - A, st.frequency, st.wave);
        for (int i = 0; i < 8; ++i) {
            int64_t amp = st.amps[i];
            if (A > 100)
                amp = amp * 100 / A;
            if (amp <= 0)
                continue;
            const double e = st.freqs[i];
            int64_t f;
            if (st.multiplier) {
                const double prod = st.frequency * e;
                f = std::isnan(prod) ? 0
                    : prod >= 1e9    ? 1000000000
                    : prod <= -1e9   ? -1000000000
                                     : Trunc(prod);
                f = std::clamp<int64_t>(f, 20, 20000);
            } else {
                f = std::isnan(e) || e <= 0 ? 0 : e >= 1e12 ? int64_t{1000000000000} : Trunc(e);
            }
            if (f <= 0)
                continue;
            AddLayer(amp, f, st.waves[i]);
        }
        if (st.envelope)
            Envelope();
        return img;
    }
};

std::vector<uint8_t> BuildWithComponent(const Settings &st)
{
    ProbeToneGen gen;
    gen.SetFrequency(st.frequency);
    gen.SetDuration(st.duration);
    gen.SetWaveform(static_cast<TToneGen::TTGWave>(st.wave));
    gen.SetResolution(st.sixteen ? TToneGen::tg16Bit : TToneGen::tg8Bit);
    gen.SetQuality(st.hiQ ? TToneGen::tgHiQ : TToneGen::tgLoQ);
    gen.SetStereo(st.stereo);
    gen.SetAMUseMultiplier(st.multiplier);
    for (int i = 0; i < 8; ++i)
        gen.SetAMParameter(static_cast<TToneGen::TTGAMLevel>(i), st.amps[i], st.freqs[i],
                           static_cast<TToneGen::TTGWave>(st.waves[i]));
    gen.SetAttack(st.attack);
    gen.SetHold(st.hold);
    gen.SetDecay(st.decay);
    gen.SetSustain(st.sustain);
    gen.SetRelease(st.release);
    EXPECT_TRUE(st.envelope ? gen.PrepareADSR() : gen.Prepare());
    return gen.Image();
}

Settings RandomSettings(std::mt19937 &rng, int index)
{
    auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    Settings st;
    st.frequency =
        uni(0, 3) == 0 ? uni(20, 200) : static_cast<int>(std::exp(real(std::log(20.0), std::log(20000.0))));
    st.duration = uni(0, 9) == 0 ? uni(500, 1500) : uni(10, 120);
    st.wave = uni(0, 4);
    st.sixteen = uni(0, 1);
    st.hiQ = uni(0, 1);
    st.stereo = uni(0, 1);
    st.multiplier = uni(0, 1);
    const int layers = index % 3 == 0 ? 0 : uni(1, 8);
    const int regime = uni(0, 5);
    for (int i = 0; i < layers; ++i) {
        const int level = uni(0, 7);
        switch (regime) {
        case 0: // sums beyond 100: scaled
            st.amps[level] = static_cast<int16_t>(uni(20, 90));
            break;
        case 1: // anything a 16-bit field holds
            st.amps[level] = static_cast<int16_t>(uni(-32768, 32767));
            break;
        case 2: // negative entries raise the main tone above full level
            st.amps[level] = static_cast<int16_t>(uni(-60, 40));
            break;
        default:
            st.amps[level] = static_cast<int16_t>(uni(0, 100 / layers));
            break;
        }
        st.waves[level] = uni(0, 4);
        if (st.multiplier) {
            st.freqs[level] =
                uni(0, 9) == 0 ? static_cast<float>(real(-3, 0.2)) : static_cast<float>(real(0.01, 8));
        } else {
            switch (uni(0, 9)) {
            case 0: // near and above the rate, above 16 bits
                st.freqs[level] = static_cast<float>(real(30000, 120000));
                break;
            case 1:
                st.freqs[level] = static_cast<float>(real(-2, 3));
                break;
            case 2:
                st.freqs[level] = std::numeric_limits<float>::quiet_NaN();
                break;
            default:
                st.freqs[level] = static_cast<float>(real(1, 20000));
                break;
            }
        }
    }
    st.envelope = uni(0, 1);
    st.attack = uni(0, 100) < 20 ? 0 : uni(0, 60);
    st.hold = uni(0, 100) < 20 ? 0 : uni(0, 60);
    st.decay = uni(0, 100) < 20 ? 0 : uni(0, 60);
    st.sustain = uni(0, 100);
    st.release = uni(0, 100) < 20 ? 0 : uni(0, 60);
    return st;
}

size_t FirstDifference(const std::vector<uint8_t> &a, const std::vector<uint8_t> &b)
{
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    return i;
}

TEST(ReferenceCompare, RandomSettingsAreByteIdentical)
{
    sound::ScopedFakeSoundPlayer fake;
    std::mt19937 rng(20240611);
    constexpr int kCases = 400;
    int compared = 0;
    for (int i = 0; i < kCases; ++i) {
        const Settings st = RandomSettings(rng, i);
        Reference ref(st);
        const auto expected = ref.Build();
        const auto actual = BuildWithComponent(st);
        ASSERT_EQ(actual.size(), expected.size()) << st.Describe();
        const size_t at = FirstDifference(actual, expected);
        ASSERT_EQ(at, expected.size()) << "case " << i << " differs at byte " << at << ": " << st.Describe();
        ++compared;
        fake.player.clear();
    }
    EXPECT_EQ(compared, kCases);
}

// Long images cross many period boundaries and the block edges of the fast path.
TEST(ReferenceCompare, LongImagesWithEveryWaveform)
{
    sound::ScopedFakeSoundPlayer fake;
    for (int wave = 0; wave < 5; ++wave) {
        Settings st;
        st.duration = 3000;
        st.frequency = 20 + wave * 4321;
        st.wave = wave;
        st.stereo = wave % 2;
        st.sixteen = wave != 3;
        st.amps[0] = 30;
        st.waves[0] = (wave + 1) % 5;
        st.freqs[0] = 1.37f;
        st.amps[7] = 25;
        st.waves[7] = 4;
        st.envelope = wave % 2 == 0;
        Reference ref(st);
        const auto expected = ref.Build();
        const auto actual = BuildWithComponent(st);
        ASSERT_EQ(FirstDifference(actual, expected), expected.size()) << st.Describe();
    }
}

// Periods of 280 Hz at 96000 frames a second and of 165 Hz at 44100 repeat in patterns that some
// period ends leave; layers that repeat together are summed ahead, beside noise.
TEST(ReferenceCompare, PeriodEndsOffTheirPattern)
{
    sound::ScopedFakeSoundPlayer fake;
    for (const bool hiQ : {true, false}) {
        Settings st;
        st.duration = 1500;
        st.frequency = hiQ ? 280 : 165;
        st.hiQ = hiQ;
        st.stereo = hiQ;
        st.sixteen = hiQ;
        for (int i = 0; i < 5; ++i) {
            st.amps[i] = 15;
            st.waves[i] = i;
        }
        Reference ref(st);
        const auto expected = ref.Build();
        const auto actual = BuildWithComponent(st);
        ASSERT_EQ(FirstDifference(actual, expected), expected.size()) << st.Describe();
    }
}

} // namespace
