// Image layout and synthesis, checked against values worked out by hand from the build rules.
#include "tests/tonegen/ToneGenTestSupport.h"
#include "tonegen/WaveSynth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

namespace {

using sound::ScopedFakeSoundPlayer;

class WaveImageTest : public ::testing::Test
{
protected:
    ScopedFakeSoundPlayer fake;
    ProbeToneGen gen;

    std::vector<uint8_t> Build(TToneGen::TTGWave wave, int frequency, bool sixteen, bool hiQ, bool stereo,
                               int duration = 10)
    {
        gen.SetWaveform(wave);
        gen.SetFrequency(frequency);
        gen.SetResolution(sixteen ? TToneGen::tg16Bit : TToneGen::tg8Bit);
        gen.SetQuality(hiQ ? TToneGen::tgHiQ : TToneGen::tgLoQ);
        gen.SetStereo(stereo);
        gen.SetDuration(duration);
        EXPECT_TRUE(gen.Prepare());
        return gen.Image();
    }

    std::vector<int> Frames16(const std::vector<uint8_t> &img, int count, bool stereo = false)
    {
        std::vector<int> v;
        for (int f = 0; f < count; ++f)
            v.push_back(Sample16(img, f, stereo));
        return v;
    }
    std::vector<int> Frames8(const std::vector<uint8_t> &img, int count, bool stereo = false)
    {
        std::vector<int> v;
        for (int f = 0; f < count; ++f)
            v.push_back(Sample8(img, f, stereo));
        return v;
    }
};

TEST_F(WaveImageTest, HeaderOf8BitMonoLoQ10ms)
{
    const auto img = Build(TToneGen::tgSine, 440, false, false, false, 10);
    ASSERT_EQ(img.size(), 517u);
    const uint8_t expected[44] = {'R', 'I', 'F',  'F',  0xDD, 0x01, 0,    0,    'W',  'A', 'V',
                                  'E', 'f', 'm',  't',  ' ',  16,   0,    0,    0,    1,   0,
                                  1,   0,   0x44, 0xAC, 0,    0,    0x44, 0xAC, 0,    0,   1,
                                  0,   8,   0,    'd',  'a',  't',  'a',  0xB9, 0x01, 0,   0};
    EXPECT_EQ(std::vector<uint8_t>(img.begin(), img.begin() + 44),
              std::vector<uint8_t>(expected, expected + 44));
    EXPECT_EQ(Le32(img, 4), 477u);
    EXPECT_EQ(Le32(img, 40), 441u);
}

TEST_F(WaveImageTest, HeaderOf16BitStereoHiQ1000ms)
{
    const auto img = Build(TToneGen::tgSine, 440, true, true, true, 1000);
    ASSERT_EQ(img.size(), 44u + 384000u + 32u);
    EXPECT_EQ(Le32(img, 40), 384000u);
    EXPECT_EQ(Le32(img, 4), 384036u);
    EXPECT_EQ(Le16(img, 22), 2);
    EXPECT_EQ(Le32(img, 24), 96000u);
    EXPECT_EQ(Le32(img, 28), 384000u);
    EXPECT_EQ(Le16(img, 32), 4);
    EXPECT_EQ(Le16(img, 34), 16);
}

TEST_F(WaveImageTest, EveryFormatCombination)
{
    for (int combo = 0; combo < 8; ++combo) {
        const bool sixteen = combo & 1, hiQ = combo & 2, stereo = combo & 4;
        for (int duration : {10, 15, 333}) {
            SCOPED_TRACE(testing::Message() << "16bit " << sixteen << " hiQ " << hiQ << " stereo " << stereo
                                            << " ms " << duration);
            const auto img = Build(TToneGen::tgSquare, 1000, sixteen, hiQ, stereo, duration);
            const uint32_t bytes = sixteen ? 2 : 1, channels = stereo ? 2 : 1, rate = hiQ ? 96000 : 44100;
            uint32_t D = bytes * static_cast<uint32_t>(duration) * (hiQ ? 960 : 441) / 10 * channels;
            ASSERT_EQ(img.size(), 44u + D + 32u);
            EXPECT_EQ(std::string(img.begin(), img.begin() + 4), "RIFF");
            EXPECT_EQ(Le32(img, 4), D + 36);
            EXPECT_EQ(std::string(img.begin() + 8, img.begin() + 16), "WAVEfmt ");
            EXPECT_EQ(Le32(img, 16), 16u);
            EXPECT_EQ(Le16(img, 20), 1);
            EXPECT_EQ(Le16(img, 22), channels);
            EXPECT_EQ(Le32(img, 24), rate);
            EXPECT_EQ(Le32(img, 28), channels * rate * bytes);
            EXPECT_EQ(Le16(img, 32), bytes * channels);
            EXPECT_EQ(Le16(img, 34), bytes * 8);
            EXPECT_EQ(std::string(img.begin() + 36, img.begin() + 40), "data");
            EXPECT_EQ(Le32(img, 40), D);
            // Stereo frames carry the same sample twice.
            if (stereo) {
                for (int f = 0; f < 50; ++f) {
                    if (sixteen)
                        ASSERT_EQ(Sample16(img, f, true, 0), Sample16(img, f, true, 1));
                    else
                        ASSERT_EQ(Sample8(img, f, true, 0), Sample8(img, f, true, 1));
                }
            }
        }
    }
}

TEST_F(WaveImageTest, FillWaveHeaderMatchesTheBuiltHeader)
{
    uint8_t header[44];
    TToneGen::FillWaveHeader(false, true, false, header, 1323);
    const auto img = Build(TToneGen::tgSine, 440, true, false, false, 15);
    EXPECT_EQ(std::vector<uint8_t>(header, header + 44), std::vector<uint8_t>(img.begin(), img.begin() + 44));
    EXPECT_EQ(Le32(img, 40), 1323u);
}

// 20000 Hz at 96000 per second: P = 4.8, periods of 4, 5, 5, 5, 5 frames; half = Trunc(5.3) div 2 = 2.
TEST_F(WaveImageTest, FirstPeriodsAtFullLevel16Bit)
{
    EXPECT_EQ(Frames16(Build(TToneGen::tgSine, 20000, true, true, false), 9),
              (std::vector<int>{0, 32767, 0, -32767, 0, 32767, 0, -32767, 0}));
    EXPECT_EQ(Frames16(Build(TToneGen::tgSquare, 20000, true, true, false), 9),
              (std::vector<int>{-32767, -32767, 32767, 32767, -32767, -32767, 32767, 32767, 32767}));
    // Slope span / half = 32767; after the peak it falls and is reset to low each period.
    EXPECT_EQ(Frames16(Build(TToneGen::tgTriangle, 20000, true, true, false), 9),
              (std::vector<int>{-32767, 0, 32767, 0, -32767, 0, 32767, 0, -32767}));
    // Slope span / 4 = 16383.5 kept for the 5-frame periods, which end on +32767.
    EXPECT_EQ(Frames16(Build(TToneGen::tgSawtooth, 20000, true, true, false), 9),
              (std::vector<int>{-32767, -16383, 0, 16383, -32767, -16383, 0, 16383, 32767}));
    // Noise: x = 134775814, 3698175007, 870078620; draws of 65535: 2056, 56428, 13276.
    EXPECT_EQ(Frames16(Build(TToneGen::tgNoise, 20000, true, true, false), 3),
              (std::vector<int>{-30711, 23661, -19491}));
}

TEST_F(WaveImageTest, FirstPeriodsAtFullLevel8Bit)
{
    EXPECT_EQ(Frames8(Build(TToneGen::tgSine, 20000, false, true, false), 9),
              (std::vector<int>{128, 255, 128, 1, 128, 255, 128, 1, 128}));
    EXPECT_EQ(Frames8(Build(TToneGen::tgSquare, 20000, false, true, false), 9),
              (std::vector<int>{1, 1, 255, 255, 1, 1, 255, 255, 255}));
    EXPECT_EQ(Frames8(Build(TToneGen::tgTriangle, 20000, false, true, false), 9),
              (std::vector<int>{1, 128, 255, 128, 1, 128, 255, 128, 1}));
    // Slope 63.5: Trunc(-63.5) = -63 gives 65, Trunc(63.5) = 63 gives 191.
    EXPECT_EQ(Frames8(Build(TToneGen::tgSawtooth, 20000, false, true, false), 9),
              (std::vector<int>{1, 65, 128, 191, 1, 65, 128, 191, 255}));
    // Draws of 255: 8, 219, 51 -> -127 + r + 128.
    EXPECT_EQ(Frames8(Build(TToneGen::tgNoise, 20000, false, true, false), 3),
              (std::vector<int>{9, 220, 52}));
    const auto stereo = Build(TToneGen::tgSquare, 20000, false, true, true);
    EXPECT_EQ(Frames8(stereo, 5, true), (std::vector<int>{1, 1, 255, 255, 1}));
    EXPECT_EQ(stereo[44 + 5], 255); // right channel of frame 2
}

TEST_F(WaveImageTest, FullLevelSineStaysInRange)
{
    const auto img16 = Build(TToneGen::tgSine, 440, true, true, false, 100);
    int lo = 0, hi = 0;
    for (int f = 0; f < 9600; ++f) {
        lo = std::min<int>(lo, Sample16(img16, f, false));
        hi = std::max<int>(hi, Sample16(img16, f, false));
    }
    EXPECT_EQ(Sample16(img16, 0, false), 0);
    EXPECT_GE(lo, -32767);
    EXPECT_LE(hi, 32767);
    EXPECT_LT(lo, -32700);
    EXPECT_GT(hi, 32700);
    const auto img8 = Build(TToneGen::tgSine, 440, false, true, false, 100);
    for (int f = 0; f < 9600; ++f) {
        ASSERT_GE(Sample8(img8, f, false), 1);
        ASSERT_LE(Sample8(img8, f, false), 255);
    }
}

// Each period of the square starts with its low half, so low runs begin exactly at Trunc(c * P).
TEST_F(WaveImageTest, PeriodBoundariesAtTruncOfCTimesP)
{
    const auto img = Build(TToneGen::tgSquare, 440, true, true, false, 1000);
    const double P = 96000.0 / 440.0;
    std::set<int64_t> expected{0};
    for (int c = 1; c * P < 96000; ++c)
        expected.insert(static_cast<int64_t>(c * P));
    std::set<int64_t> starts{0};
    for (int64_t f = 1; f < 96000; ++f)
        if (Sample16(img, f, false) == -32767 && Sample16(img, f - 1, false) == 32767)
            starts.insert(f);
    EXPECT_EQ(starts, expected);
    // 218-frame periods, the sixth one 219 frames long.
    for (int64_t f : {218, 436, 654, 872, 1090, 1309})
        EXPECT_TRUE(starts.count(f)) << f;
    EXPECT_FALSE(starts.count(1308));
}

TEST_F(WaveImageTest, LayersAbove100AreScaledAndMainToneDropped)
{
    gen.SetAMUseMultiplier(false);
    // 24000 Hz: P = 4, half 2. 60 + 60 = 120 -> each layer at 50 percent, low -16383.5, high 16383.5.
    gen.SetAMParameter(TToneGen::tgAMLevel1, 60, 24000.0f, TToneGen::tgSquare);
    gen.SetAMParameter(TToneGen::tgAMLevel3, 60, 24000.0f, TToneGen::tgSquare);
    const auto img = Build(TToneGen::tgSine, 440, true, true, false, 10);
    EXPECT_EQ(Frames16(img, 8),
              (std::vector<int>{-32766, -32766, 32766, 32766, -32766, -32766, 32766, 32766}));
    // 8-bit: low -63.5 adds Trunc(64.5) - 128 = -64, high 63.5 adds 63.
    const auto img8 = Build(TToneGen::tgSine, 440, false, true, false, 10);
    EXPECT_EQ(Frames8(img8, 4), (std::vector<int>{0, 0, 254, 254}));
}

TEST_F(WaveImageTest, MultipliedLayerFrequencyIsClampedTo20)
{
    gen.SetAMParameter(TToneGen::tgAMLevel2, 100, 0.5f, TToneGen::tgSquare);
    const auto layer = Build(TToneGen::tgSine, 20, true, false, false, 200);
    gen.ResetAM();
    const auto main = Build(TToneGen::tgSquare, 20, true, false, false, 200);
    EXPECT_EQ(layer, main);
}

TEST_F(WaveImageTest, SilenceWhenAbsoluteLayerFrequenciesAreBelowOne)
{
    gen.SetAMUseMultiplier(false);
    for (int i = 0; i < 4; ++i)
        gen.SetAMParameter(static_cast<TToneGen::TTGAMLevel>(i), 25, 0.75f, TToneGen::tgSquare);
    for (bool sixteen : {true, false}) {
        const auto img = Build(TToneGen::tgSquare, 440, sixteen, true, true, 50);
        for (size_t i = 44; i < img.size(); ++i)
            ASSERT_EQ(img[i], sixteen ? 0 : 0x80) << i;
    }
}

TEST_F(WaveImageTest, AbsoluteFrequenciesBeyondTheRateOrNotANumberAreSilent)
{
    gen.SetAMUseMultiplier(false);
    for (float f : {96001.0f, 1e30f, std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN(), -5.0f}) {
        SCOPED_TRACE(f);
        gen.SetAMParameter(TToneGen::tgAMLevel1, 100, f, TToneGen::tgSquare);
        const auto img = Build(TToneGen::tgSine, 440, true, true, true, 20);
        for (size_t i = 44; i < img.size(); ++i)
            ASSERT_EQ(img[i], 0) << i;
    }
    // Noise has no period to fall short of: it sounds at any frequency value of 1 or more.
    gen.SetAMParameter(TToneGen::tgAMLevel1, 100, 200000.0f, TToneGen::tgNoise);
    EXPECT_EQ(Frames16(Build(TToneGen::tgSine, 440, true, true, false), 2),
              (std::vector<int>{-30711, 23661}));
}

// Values of 32768 and more are used as they are, not wrapped to 16 bits: 40000 Hz at 96000 per
// second is P = 2.4, half 1, periods 2, 2, 3, 2, 3 frames.
TEST_F(WaveImageTest, AbsoluteFrequencyAbove16BitsIsUsedUnwrapped)
{
    gen.SetAMUseMultiplier(false);
    gen.SetAMParameter(TToneGen::tgAMLevel1, 100, 40000.0f, TToneGen::tgSquare);
    const auto img = Build(TToneGen::tgSine, 440, true, true, false);
    EXPECT_EQ(Frames16(img, 12), (std::vector<int>{-32767, 32767, -32767, 32767, -32767, 32767, 32767, -32767,
                                                   32767, -32767, 32767, 32767}));
    // 70000 Hz would wrap to 4464 Hz in a 16-bit field; here it is 70000 (P = 1.37, half 0: all high).
    gen.SetAMParameter(TToneGen::tgAMLevel1, 100, 70000.0f, TToneGen::tgSquare);
    EXPECT_EQ(Frames16(Build(TToneGen::tgSine, 440, true, true, false), 4),
              (std::vector<int>{32767, 32767, 32767, 32767}));
}

TEST_F(WaveImageTest, NoiseIsTheSameInEveryBuild)
{
    gen.SetAMParameter(TToneGen::tgAMLevel4, 30, 2.0f, TToneGen::tgNoise);
    const auto first = Build(TToneGen::tgNoise, 440, true, true, true, 100);
    gen.SetFrequency(441); // forces a new build
    gen.SetFrequency(440);
    const auto second = Build(TToneGen::tgNoise, 440, true, true, true, 100);
    EXPECT_EQ(first, second);
    ProbeToneGen other;
    other.SetWaveform(TToneGen::tgNoise);
    other.SetStereo(true);
    other.SetAMParameter(TToneGen::tgAMLevel4, 30, 2.0f, TToneGen::tgNoise);
    ASSERT_TRUE(other.Prepare());
    EXPECT_EQ(other.Image(), first);

    // A main tone of amplitude 0 is skipped: as noise it would draw from the generator first.
    gen.ResetAM();
    gen.SetAMParameter(TToneGen::tgAMLevel1, 100, 2.0f, TToneGen::tgNoise);
    const auto underSine = Build(TToneGen::tgSine, 440, true, true, false, 20);
    const auto underNoise = Build(TToneGen::tgNoise, 440, true, true, false, 20);
    EXPECT_EQ(underSine, underNoise);
    EXPECT_NE(Frames16(underNoise, 2), (std::vector<int>{0, 0}));
}

// 16-bit mono, 15 ms at 44100: D = 1323 is odd; the last frame's high byte is the first pad byte.
TEST_F(WaveImageTest, OddDataSizeEndsInThePad)
{
    const auto img = Build(TToneGen::tgSquare, 440, true, false, false, 15);
    ASSERT_EQ(img.size(), 1399u);
    // P = 100.227..., half 50; frame 661 is position 60 of the period starting at 601: high.
    EXPECT_EQ(img[44 + 1322], 0xFF);
    EXPECT_EQ(img[44 + 1323], 0x7F);
    for (size_t i = 44 + 1324; i < img.size(); ++i)
        EXPECT_EQ(img[i], 0) << i;
    // Stereo: D = 2646; the last frame's right sample lies in the pad.
    const auto st = Build(TToneGen::tgSquare, 440, true, false, true, 15);
    ASSERT_EQ(st.size(), 44u + 2646u + 32u);
    EXPECT_EQ(Le16(st, 44 + 2644), 0x7FFF);
    EXPECT_EQ(Le16(st, 44 + 2646), 0x7FFF);
    for (size_t i = 44 + 2648; i < st.size(); ++i)
        EXPECT_EQ(st[i], 0) << i;
    // 8-bit pad is 0x80.
    const auto b8 = Build(TToneGen::tgSquare, 440, false, false, false, 15);
    for (size_t i = 44 + 661; i < b8.size(); ++i)
        EXPECT_EQ(b8[i], 0x80) << i;
}

// The blocks of the synthesis are laid out by the address of the samples; the bytes must not be.
TEST(WaveSynthTest, SameSamplesAtEveryAddress)
{
    using tonegen::SynthLayer, tonegen::SynthWave;
    const std::vector<SynthLayer> alone = {{100, 440.0, SynthWave::Sine}};
    const std::vector<SynthLayer> mixed = {
        {40, 440.0, SynthWave::Triangle}, {30, 6500.0, SynthWave::Square}, {30, 1.0, SynthWave::Noise}};
    for (const auto &layers : {alone, mixed}) {
        for (int shape = 0; shape < 4; ++shape) {
            const tonegen::SynthFormat format{shape < 2, shape % 2 == 1, 96000};
            const int64_t frameSize = (format.sixteenBit ? 2 : 1) * (format.stereo ? 2 : 1);
            const int64_t size = frameSize * tonegen::SynthFrameCount(frameSize * 10001, format);
            std::vector<uint8_t> buffer(static_cast<size_t>(size + tonegen::kWavePad + 64));
            std::vector<uint8_t> first;
            for (size_t offset = 0; offset < 64; ++offset) {
                std::fill(buffer.begin(), buffer.end(), uint8_t{0xAB});
                tonegen::SynthesizeLayers(buffer.data() + offset, size, format, layers.data(), layers.size());
                const std::vector<uint8_t> samples(buffer.begin() + static_cast<std::ptrdiff_t>(offset),
                                                   buffer.begin() + static_cast<std::ptrdiff_t>(offset) +
                                                       size);
                if (offset == 0)
                    first = samples;
                ASSERT_EQ(samples, first) << "shape " << shape << ", offset " << offset;
            }
        }
    }
}

} // namespace
