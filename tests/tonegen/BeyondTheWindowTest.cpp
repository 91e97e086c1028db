// What the command line asks of the engine beyond the window's settings: pitch names, frequencies
// to a hundredth of a hertz, sweeps and coloured noise, measured from the images themselves.
#include "tests/tonegen/ToneGenTestSupport.h"
#include "tonegen/PitchNames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace {

using tonegen::NoiseColour;
using tonegen::PitchFrequency;

double EqualTemperament(int key)
{
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

TEST(PitchNames, EveryPianoKeyInEverySpelling)
{
    static const char *const sharps[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    static const char *const flats[] = {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"};
    for (int key = 21; key <= 108; ++key) {
        const QString octave = QString::number(key / 12 - 1);
        const QString sharp = QLatin1String(sharps[key % 12]) + octave;
        const QString flat = QLatin1String(flats[key % 12]) + octave;
        QString symbols = sharp;
        symbols.replace(u'#', QChar(0x266F));
        QString flatSymbols = flat;
        if (flatSymbols.size() > 2)
            flatSymbols[1] = QChar(0x266D);
        for (const QString &name : {sharp, flat, sharp.toLower(), symbols, flatSymbols}) {
            const std::optional<double> f = PitchFrequency(name);
            ASSERT_TRUE(f.has_value()) << name.toStdString();
            EXPECT_NEAR(*f / EqualTemperament(key), 1.0, 1e-12) << name.toStdString();
        }
    }
    // Octaves begin at C; the written names of the issue.
    const struct
    {
        const char *name;
        double hertz;
    } known[] = {{"C4", 261.63},  {"Bb3", 233.08}, {"A0", 27.5},    {"B#3", 261.63},
                 {"Cb4", 246.94}, {"C-1", 8.18},   {"G9", 12543.85}};
    for (const auto &k : known)
        EXPECT_NEAR(PitchFrequency(QString::fromUtf8(k.name)).value_or(0), k.hertz, 0.005) << k.name;
    for (const char *bad :
         {"", "H4", "C", "C10", "C-2", "C##4", "Cx4", "4", "C 4", " C4", "C4 ", "#4", "C+4", "Bb"})
        EXPECT_FALSE(PitchFrequency(QString::fromUtf8(bad)).has_value()) << bad;
}

// Rising zero crossings of the left channel, interpolated to fractions of a frame.
std::vector<double> RisingCrossings(const std::vector<uint8_t> &image, bool stereo)
{
    const int64_t frames =
        static_cast<int64_t>(image.size() - sound::kWavHeaderBytes - 32) / (stereo ? 4 : 2);
    std::vector<double> at;
    for (int64_t k = 1; k < frames; ++k) {
        const double a = Sample16(image, k - 1, stereo), b = Sample16(image, k, stereo);
        if (a < 0 && b >= 0)
            at.push_back(static_cast<double>(k - 1) + a / (a - b));
    }
    return at;
}

// Frequency around `t` seconds: whole periods between the crossings nearest t -/+ span / 2.
double FrequencyNear(const std::vector<double> &crossings, double rate, double t, double span)
{
    const auto first = std::lower_bound(crossings.begin(), crossings.end(), (t - span / 2) * rate);
    const auto last = std::lower_bound(crossings.begin(), crossings.end(), (t + span / 2) * rate) - 1;
    return static_cast<double>(last - first) * rate / (*last - *first);
}

TEST(ExactFrequency, HundredthsOfAHertzAndWholeHertzUnchanged)
{
    sound::ScopedFakeSoundPlayer fake;
    for (const double hertz : {261.63, 1000.5, 19999.99}) {
        ProbeToneGen gen;
        gen.SetQuality(TToneGen::tgHiQ);
        gen.SetDuration(5000);
        gen.SetExactFrequency(hertz);
        ASSERT_TRUE(gen.Prepare());
        if (hertz > 10000)
            continue; // too few frames a period for crossings; built without fault is enough
        const std::vector<double> c = RisingCrossings(gen.Image(), false);
        EXPECT_NEAR(static_cast<double>(c.size() - 1) * 96000 / (c.back() - c.front()), hertz, 0.005)
            << hertz;
    }
    // Whole hertz through the exact setter are the whole-hertz image, byte for byte.
    ProbeToneGen whole, exact;
    whole.SetFrequency(523);
    exact.SetExactFrequency(523.0);
    ASSERT_TRUE(whole.Prepare() && exact.Prepare());
    EXPECT_EQ(whole.Image(), exact.Image());
}

TEST(Sweep, InstantaneousFrequencyFollowsTheLaw)
{
    sound::ScopedFakeSoundPlayer fake;
    for (const bool logarithmic : {true, false}) {
        const tonegen::Sweep sweep{100, 4000, logarithmic, 4.0};
        for (const TToneGen::TTGWave wave : {TToneGen::tgSine, TToneGen::tgSquare, TToneGen::tgTriangle}) {
            ProbeToneGen gen;
            gen.SetDuration(4000);
            gen.SetWaveform(wave);
            gen.SetSweep(sweep);
            ASSERT_TRUE(gen.Prepare());
            const std::vector<double> c = RisingCrossings(gen.Image(), false);
            for (const double t : {0.5, 1.5, 2.5, 3.5}) {
                const double expected = tonegen::SweepFrequency(sweep, t);
                const double law = logarithmic ? 100 * std::pow(40.0, t / 4) : 100 + 3900 * t / 4;
                EXPECT_NEAR(expected, law, 1e-9 * law);
                EXPECT_NEAR(FrequencyNear(c, 96000, t, 0.05) / law, 1.0, 0.01)
                    << (logarithmic ? "log " : "linear ") << int(wave) << " at " << t;
            }
            // No jump: neighbouring samples of the sine never differ by more than its steepest slope.
            if (wave == TToneGen::tgSine) {
                const std::vector<uint8_t> image = gen.Image();
                int maxStep = 0;
                for (int64_t k = 1; k < 4 * 96000; ++k)
                    maxStep = std::max(maxStep,
                                       std::abs(Sample16(image, k, false) - Sample16(image, k - 1, false)));
                EXPECT_LE(maxStep, 32767 * 2 * std::numbers::pi * 4000 / 96000 + 2);
            }
        }
    }
}

// Mean power density of each octave band from 100 Hz to 12.8 kHz, in dB, from averaged periodograms.
std::vector<double> OctaveBands(const std::vector<uint8_t> &image, int64_t frames, double rate)
{
    constexpr size_t n = 8192;
    std::vector<double> power(n / 2, 0);
    for (int64_t start = 0; start + static_cast<int64_t>(n) <= frames; start += n / 2) {
        std::vector<std::complex<double>> x(n);
        for (size_t i = 0; i < n; ++i) {
            const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / n);
            x[i] = hann * Sample16(image, start + static_cast<int64_t>(i), false);
        }
        // Iterative radix-2 transform.
        for (size_t i = 1, j = 0; i < n; ++i) {
            size_t bit = n >> 1;
            for (; j & bit; bit >>= 1)
                j ^= bit;
            j ^= bit;
            if (i < j)
                std::swap(x[i], x[j]);
        }
        for (size_t len = 2; len <= n; len <<= 1) {
            const std::complex<double> w = std::polar(1.0, -2 * std::numbers::pi / static_cast<double>(len));
            for (size_t i = 0; i < n; i += len) {
                std::complex<double> wk = 1;
                for (size_t k = 0; k < len / 2; ++k, wk *= w) {
                    const std::complex<double> u = x[i + k], v = x[i + k + len / 2] * wk;
                    x[i + k] = u + v;
                    x[i + k + len / 2] = u - v;
                }
            }
        }
        for (size_t i = 0; i < n / 2; ++i)
            power[i] += std::norm(x[i]);
    }
    std::vector<double> bands;
    for (double low = 100; low < 12800; low *= 2) {
        double sum = 0;
        int bins = 0;
        for (size_t i = 0; i < n / 2; ++i) {
            const double f = static_cast<double>(i) * rate / n;
            if (f >= low && f < 2 * low) {
                sum += power[i];
                ++bins;
            }
        }
        bands.push_back(10 * std::log10(sum / bins));
    }
    return bands;
}

TEST(ColouredNoise, OctaveSlopesAndPeakLevel)
{
    sound::ScopedFakeSoundPlayer fake;
    const struct
    {
        NoiseColour colour;
        double slope; // dB per octave of the power density
    } cases[] = {{NoiseColour::White, 0}, {NoiseColour::Pink, -3}, {NoiseColour::Brown, -6}};
    int whitePeak = 0;
    for (const auto &c : cases) {
        ProbeToneGen gen;
        gen.SetDuration(4000);
        gen.SetWaveform(TToneGen::tgNoise);
        gen.SetNoiseColour(c.colour);
        ASSERT_TRUE(gen.Prepare());
        const std::vector<uint8_t> image = gen.Image();
        const std::vector<double> bands = OctaveBands(image, 4 * 96000, 96000);
        for (size_t i = 1; i < bands.size(); ++i)
            EXPECT_NEAR(bands[i] - bands[i - 1], c.slope, 0.75) << int(c.colour) << " band " << i;
        int peak = 0;
        for (int64_t k = 0; k < 4 * 96000; ++k)
            peak = std::max(peak, std::abs(int{Sample16(image, k, false)}));
        if (c.colour == NoiseColour::White)
            whitePeak = peak;
        EXPECT_NEAR(peak, whitePeak, 2) << int(c.colour);
    }
}

} // namespace
