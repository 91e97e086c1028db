// Envelope phases on small buffers whose phase lengths make every value exact.
#include "tests/tonegen/ToneGenTestSupport.h"

#include <gtest/gtest.h>

namespace {

using sound::ScopedFakeSoundPlayer;

class EnvelopeTest : public ::testing::Test
{
protected:
    ScopedFakeSoundPlayer fake;
    ProbeToneGen gen;

    void SetEnvelope(int a, int h, int d, int s, int r)
    {
        gen.SetAttack(a);
        gen.SetHold(h);
        gen.SetDecay(d);
        gen.SetSustain(s);
        gen.SetRelease(r);
    }
};

// T = 800 frames, F(q) = 8q. Attack 2 -> L 16 (frames 0..16), hold 2 -> 16 (17..33), decay 4 -> 32
// (34..66), sustain 91 -> 728 (67..795), release 1 -> the rest, L = 4 (796..800, 800 in the pad).
std::vector<int> ExpectedShape(int x)
{
    std::vector<int> v(801);
    for (int k = 0; k <= 16; ++k)
        v[k] = k * x / 16;
    for (int f = 17; f <= 33; ++f)
        v[f] = x;
    for (int k = 0; k <= 32; ++k)
        v[34 + k] = x - k * x / 64;
    for (int f = 67; f <= 795; ++f)
        v[f] = x / 2;
    for (int k = 0; k <= 4; ++k)
        v[796 + k] = (4 - k) * x / 8;
    return v;
}

TEST_F(EnvelopeTest, PhaseBoundaries8BitMono)
{
    gen.SetResolution(TToneGen::tg8Bit);
    SetEnvelope(2, 2, 4, 50, 1);
    std::vector<uint8_t> buf(800 + 32, 128 + 64);
    gen.ApplyEnvelope(buf.data(), 800, false);
    const auto expected = ExpectedShape(64);
    for (int f = 0; f <= 800; ++f)
        ASSERT_EQ(buf[f], 128 + expected[f]) << "frame " << f;
    for (size_t i = 801; i < buf.size(); ++i)
        ASSERT_EQ(buf[i], 128 + 64) << "nothing after frame T is touched, byte " << i;
}

TEST_F(EnvelopeTest, PhaseBoundaries16BitStereoNegative)
{
    SetEnvelope(2, 2, 4, 50, 1);
    std::vector<uint8_t> buf(3200 + 32);
    for (size_t i = 0; i + 1 < buf.size(); i += 2) {
        buf[i] = 0x00; // -1024 = 0xFC00
        buf[i + 1] = 0xFC;
    }
    gen.ApplyEnvelope(buf.data(), 3200, true);
    const auto expected = ExpectedShape(-1024);
    for (int f = 0; f <= 800; ++f) {
        const int left = static_cast<int16_t>(buf[4 * f] | buf[4 * f + 1] << 8);
        const int right = static_cast<int16_t>(buf[4 * f + 2] | buf[4 * f + 3] << 8);
        ASSERT_EQ(left, expected[f]) << "frame " << f;
        ASSERT_EQ(right, expected[f]) << "frame " << f;
    }
    for (size_t i = 3204; i < buf.size(); ++i)
        ASSERT_EQ(buf[i], i % 2 ? 0xFC : 0x00) << i;
}

// T = 50, F(q) = q div 2: attack 1 and decay 1 have a length of 0 frames. The attack's single frame
// becomes 0, the decay's keeps its value; sustain 97 -> 48 frames (2..50); release 1 finds nothing left.
TEST_F(EnvelopeTest, ZeroLengthPhasesDoNotDivideByZero)
{
    gen.SetResolution(TToneGen::tg8Bit);
    SetEnvelope(1, 0, 1, 50, 1);
    std::vector<uint8_t> buf(50 + 32, 128 + 100);
    gen.ApplyEnvelope(buf.data(), 50, false);
    EXPECT_EQ(buf[0], 128);
    EXPECT_EQ(buf[1], 128 + 100);
    for (int f = 2; f <= 50; ++f)
        EXPECT_EQ(buf[f], 128 + 50) << f;
    EXPECT_EQ(buf[51], 128 + 100);
}

// Sustain 95 -> 47 frames (2..49): the release starts at frame T with L = 0 and silences that frame only.
TEST_F(EnvelopeTest, ZeroLengthReleaseSilencesFrameT)
{
    gen.SetResolution(TToneGen::tg8Bit);
    SetEnvelope(1, 0, 1, 50, 3);
    std::vector<uint8_t> buf(50 + 32, 128 + 100);
    gen.ApplyEnvelope(buf.data(), 50, false);
    EXPECT_EQ(buf[0], 128);
    EXPECT_EQ(buf[1], 128 + 100);
    for (int f = 2; f <= 49; ++f)
        EXPECT_EQ(buf[f], 128 + 50) << f;
    EXPECT_EQ(buf[50], 128);
    EXPECT_EQ(buf[51], 128 + 100);
}

// Without a release the sustain runs to frame T, in the pad, and not one frame further: T = 50,
// attack 10 -> F = 5 (frames 0..5), sustain from frame 6 to 50.
TEST_F(EnvelopeTest, SustainWithoutReleaseEndsAtFrameT)
{
    for (bool sixteen : {false, true}) {
        SCOPED_TRACE(sixteen);
        gen.SetResolution(sixteen ? TToneGen::tg16Bit : TToneGen::tg8Bit);
        SetEnvelope(10, 0, 0, 50, 0);
        const int frameSize = sixteen ? 4 : 1; // 16-bit in stereo
        std::vector<uint8_t> buf(50 * frameSize + 32, 100);
        gen.ApplyEnvelope(buf.data(), 50 * frameSize, sixteen);
        const int sustained = (sixteen ? 0x6464 : 100 - 128) / 2;
        for (int f = 6; f <= 50; ++f) {
            const int x = sixteen ? int(int16_t(Le16(buf, size_t(f) * 4))) : buf[size_t(f)] - 128;
            ASSERT_EQ(x, sustained) << f;
        }
        for (size_t i = size_t(51 * frameSize); i < buf.size(); ++i)
            ASSERT_EQ(buf[i], 100) << "byte " << i << " lies past frame T";
    }
}

// 60 + 60 + 0 + 0 = 120 is rescaled to 50, 50: the attack ends at frame 50, the hold keeps the rest.
TEST_F(EnvelopeTest, OverlongPhasesAreRescaled)
{
    gen.SetResolution(TToneGen::tg8Bit);
    SetEnvelope(60, 60, 0, 50, 0);
    std::vector<uint8_t> buf(100 + 32, 128 + 100);
    gen.ApplyEnvelope(buf.data(), 100, false);
    for (int k = 0; k <= 50; ++k)
        ASSERT_EQ(buf[k], 128 + k * 100 / 50) << k;
    for (size_t i = 51; i < buf.size(); ++i)
        ASSERT_EQ(buf[i], 128 + 100) << "no sustain or release phase, byte " << i;
}

// Defaults 10, 5, 20, 50, 30 on a built image: the middle of the sustain phase is at half level.
TEST_F(EnvelopeTest, BuiltImageCarriesTheEnvelope)
{
    gen.SetWaveform(TToneGen::tgSquare);
    gen.SetResolution(TToneGen::tg8Bit);
    gen.SetFrequency(20000);
    ASSERT_TRUE(gen.PrepareADSR());
    const auto img = gen.Image();
    // T = 9600; attack 960 frames, hold 480, decay 1920, sustain 3360: frames 3363 .. 6723.
    EXPECT_EQ(Sample8(img, 0, false), 128);
    for (int f = 3400; f < 3420; ++f) {
        const int v = Sample8(img, f, false) - 128;
        ASSERT_TRUE(v == 63 || v == -63) << f << " " << v;
    }
    EXPECT_FALSE(gen.NeedsBuild);
    EXPECT_FALSE(gen.EnvelopeStale);
    EXPECT_TRUE(gen.HasEnvelope);
}

} // namespace
