#include "sound/SdlSoundPlayer.h"
#include "tests/sound/PlayerTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace playertest;

namespace {

constexpr uint32_t kRate = 48000;
const int kRamp = SdlSoundPlayer::rampFrames(kRate);

std::vector<uint8_t> constant16(int value, int frames)
{
    return makeImage(1, 16, kRate, std::vector<int>(static_cast<size_t>(frames), value));
}

float left(const std::vector<float> &out, int frame)
{
    return out[2 * static_cast<size_t>(frame)];
}

} // namespace

TEST(PlayerRamps, LengthIsAboutFiveMilliseconds)
{
    EXPECT_EQ(SdlSoundPlayer::rampFrames(48000), 240);
    EXPECT_EQ(SdlSoundPlayer::rampFrames(96000), 480);
    EXPECT_EQ(SdlSoundPlayer::rampFrames(44100), 221);
    EXPECT_EQ(SdlSoundPlayer::rampFrames(1000), 5);
}

// A start from silence rises smoothly from near zero to the image's own samples, which then
// come through untouched, as do the image's bytes.
TEST(PlayerRamps, StartFadesInThenPlaysTheImageUnchanged)
{
    SdlSoundPlayer ramped(nullptr, plainOptions(true));
    SdlSoundPlayer plain(nullptr, plainOptions(false));
    const auto image = sine16(kRate, 4800, 1000, 30000);
    const auto copy = image;
    ASSERT_TRUE(play(ramped, image, 13));
    ASSERT_TRUE(play(plain, image, 13));
    const auto a = render(ramped, 3 * 4800 / 2);
    const auto b = render(plain, 3 * 4800 / 2);

    EXPECT_LT(std::abs(left(a, 0)), 0.001f) << "the first frame is nearly silent";
    for (int k = 0; k < kRamp; ++k) {
        const float ratio = left(b, k) == 0.0f ? 0.0f : left(a, k) / left(b, k);
        ASSERT_GE(ratio, 0.0f) << k;
        ASSERT_LE(ratio, 1.0f) << k;
    }
    for (size_t i = 2 * static_cast<size_t>(kRamp); i < a.size(); ++i)
        ASSERT_EQ(a[i], b[i]) << "sample " << i << " after the ramp differs from the image";
    EXPECT_EQ(image, copy) << "the image itself is never touched";
}

TEST(PlayerRamps, FadeInGainRisesMonotonically)
{
    SdlSoundPlayer p(nullptr, plainOptions(true));
    const auto image = constant16(16384, 2000);
    ASSERT_TRUE(play(p, image, 13));
    const auto out = render(p, 600);
    for (int k = 1; k < kRamp; ++k)
        ASSERT_GT(left(out, k), left(out, k - 1)) << k;
    EXPECT_NEAR(left(out, kRamp / 2), s16(16384) / 2, 0.01f) << "raised cosine: half way at the middle";
    EXPECT_EQ(left(out, kRamp), s16(16384));
    EXPECT_EQ(left(out, 599), s16(16384));
}

// A stop fades out what would have come next, read from the image the player shares, so its maker
// may let go of it at once.
TEST(PlayerRamps, StopFadesOutWhatCameNext)
{
    SdlSoundPlayer ramped(nullptr, plainOptions(true));
    SdlSoundPlayer plain(nullptr, plainOptions(false));
    auto image = std::make_unique<std::vector<uint8_t>>(sine16(kRate, 4800, 440, 30000));
    ASSERT_TRUE(play(ramped, *image, 13));
    ASSERT_TRUE(play(plain, *image, 13));
    render(ramped, 1000);
    render(plain, 1000);
    const auto next = render(plain, kRamp + 100);
    ramped.stop();
    image.reset(); // the sanitizer catches any later read of it
    EXPECT_FALSE(ramped.isPlaying());
    const auto out = render(ramped, kRamp + 100);

    EXPECT_NEAR(left(out, 0), left(next, 0), 0.01f) << "the fade starts where the sound was";
    float lastRatio = 1.0f;
    for (int k = 0; k < kRamp; ++k) {
        if (std::abs(left(next, k)) < 0.05f)
            continue;
        const float ratio = left(out, k) / left(next, k);
        ASSERT_GE(ratio, 0.0f) << k;
        ASSERT_LE(ratio, lastRatio + 1e-6f) << "the gain only falls, frame " << k;
        lastRatio = ratio;
    }
    EXPECT_LT(lastRatio, 0.05f);
    for (int k = kRamp; k < kRamp + 100; ++k)
        ASSERT_EQ(left(out, k), 0.0f) << "silent after the fade, frame " << k;
}

// Stop then play at once (a knob step): the old sound hands over to the new one without a jump,
// the level never exceeding either. Without ramps the same step is a cut.
TEST(PlayerRamps, StopThenPlayCrossfades)
{
    for (const bool ramps : {true, false}) {
        SCOPED_TRACE(ramps ? "ramps" : "no ramps");
        SdlSoundPlayer p(nullptr, plainOptions(ramps));
        auto first = std::make_unique<std::vector<uint8_t>>(constant16(16000, 4000));
        const auto second = constant16(-16000, 4000);
        ASSERT_TRUE(play(p, *first, 13));
        render(p, 1000);
        p.stop();
        first.reset();
        ASSERT_TRUE(play(p, second, 13));
        const auto out = render(p, kRamp + 50);

        float largestStep = 0;
        float before = s16(16000);
        for (int k = 0; k < kRamp + 50; ++k) {
            ASSERT_LE(std::abs(left(out, k)), s16(16000) + 1e-6f) << k;
            largestStep = std::max(largestStep, std::abs(left(out, k) - before));
            before = left(out, k);
        }
        EXPECT_EQ(left(out, kRamp + 49), s16(-16000));
        if (ramps) {
            // Raised cosine: the steepest step is pi/2 times the average one.
            EXPECT_LT(largestStep, 1.6f * 2 * s16(16000) / kRamp);
        } else {
            EXPECT_EQ(largestStep, 2 * s16(16000)) << "a cut";
        }
    }
}

// However quickly stops and plays follow each other, the gains never add up to more than one.
TEST(PlayerRamps, RapidStepsNeverExceedTheImagesLevel)
{
    SdlSoundPlayer p(nullptr, plainOptions(true));
    const auto up = constant16(20000, 3000);
    const auto down = constant16(-20000, 3000);
    float peak = 0;
    for (int i = 0; i < 40; ++i) {
        p.stop();
        ASSERT_TRUE(play(p, i % 2 ? down : up, 13));
        for (float x : render(p, 7 + (i % 13) * 29))
            peak = std::max(peak, std::abs(x));
    }
    EXPECT_LE(peak, s16(20000) + 1e-6f);
    EXPECT_GT(peak, 0.1f);
}

// A timed sound that ends by itself is played to its last sample, and nothing follows it.
TEST(PlayerRamps, NaturalEndIsNotRamped)
{
    SdlSoundPlayer p(nullptr, plainOptions(true));
    const auto image = constant16(12000, 1000);
    ASSERT_TRUE(play(p, image, 5));
    const auto out = render(p, 1300);
    for (int k = kRamp; k < 1000; ++k)
        ASSERT_EQ(left(out, k), s16(12000)) << k;
    for (int k = 1000; k < 1300; ++k)
        ASSERT_EQ(left(out, k), 0.0f) << k;
    EXPECT_FALSE(p.isPlaying());
    p.stop();
    EXPECT_TRUE(allZero(render(p, 300))) << "a stop after the end has nothing to fade";
}

// A volume change moves linearly over the next buffer; without ramps it applies at once.
TEST(PlayerRamps, VolumeChangeRampsOverOneBuffer)
{
    for (const bool ramps : {true, false}) {
        SCOPED_TRACE(ramps ? "ramps" : "no ramps");
        SdlSoundPlayer p(nullptr, plainOptions(ramps));
        const auto image = makeImage(2, 16, kRate, std::vector<int>(2 * 3000, 16384));
        p.setVolume(0, 0xFFFFFFFF);
        ASSERT_TRUE(play(p, image, 13));
        render(p, 512);
        p.setVolume(0, 0x00007FFF); // left half, right off
        const auto out = render(p, 512);
        const float full = s16(16384);
        const float halfGain = static_cast<float>(0x7FFF) / 65535.0f;
        if (ramps) {
            EXPECT_NEAR(out[0], full * (1.0f - (1.0f - halfGain) / 512), 1e-5f);
            EXPECT_NEAR(out[1], full * (1.0f - 1.0f / 512), 1e-5f);
            EXPECT_NEAR(out[2 * 255], full * (1.0f + halfGain) / 2, 1e-3f) << "half way";
            EXPECT_NEAR(out[2 * 255 + 1], full / 2, 1e-3f) << "half way";
        } else {
            EXPECT_EQ(out[0], full * halfGain);
            EXPECT_EQ(out[1], 0.0f);
        }
        EXPECT_FLOAT_EQ(out[2 * 511], full * halfGain) << "the buffer ends at the new level";
        EXPECT_EQ(out[2 * 511 + 1], 0.0f);
        const auto after = render(p, 64);
        EXPECT_EQ(after[0], full * halfGain);
        EXPECT_EQ(after[1], 0.0f);
    }
}

// The switch: SOUNDGEN_NO_RAMPS set to anything but 0 turns every ramp off, and the device gets
// the image's samples bit for bit.
TEST(PlayerRamps, EnvironmentSwitchTurnsThemOff)
{
    const char *saved = std::getenv("SOUNDGEN_NO_RAMPS");
    const std::string keep = saved ? saved : "";
    struct Case
    {
        const char *value; // nullptr: unset
        bool ramps;
    };
    for (const Case c :
         {Case{nullptr, true}, Case{"", true}, Case{"0", true}, Case{"1", false}, Case{"yes", false}}) {
        SCOPED_TRACE(c.value ? c.value : "(unset)");
        if (c.value)
            setenv("SOUNDGEN_NO_RAMPS", c.value, 1);
        else
            unsetenv("SOUNDGEN_NO_RAMPS");
        EXPECT_EQ(SdlSoundPlayer::rampsWantedByEnvironment(), c.ramps);
        SdlSoundPlayer p(SdlSoundPlayer::Output::External);
        EXPECT_EQ(p.ramps(), c.ramps);
        const auto image = constant16(16384, 1000);
        ASSERT_TRUE(play(p, image, 13));
        const auto out = render(p, 10);
        EXPECT_EQ(left(out, 0) == s16(16384), !c.ramps);
        p.stop();
        const auto tail = render(p, 10);
        EXPECT_EQ(allZero(tail), !c.ramps) << "a stop without ramps is a cut";
    }
    if (saved)
        setenv("SOUNDGEN_NO_RAMPS", keep.c_str(), 1);
    else
        unsetenv("SOUNDGEN_NO_RAMPS");
}

// Stop, play, stop in quick succession: the first fade-out carries on through the second stop
// rather than jumping to silence.
TEST(PlayerRamps, SecondStopCarriesOnTheFirstFade)
{
    SdlSoundPlayer p(nullptr, plainOptions(true));
    ASSERT_TRUE(play(p, constant16(20000, 4000), 13));
    render(p, 1000);
    p.stop();
    ASSERT_TRUE(play(p, constant16(0, 4000), 13));
    const auto between = render(p, 10);
    p.stop();
    const auto after = render(p, 2);
    EXPECT_GT(left(after, 0), 0.9f * left(between, 9)) << "no jump to silence";
    EXPECT_LE(left(after, 0), left(between, 9)) << "still falling";
    EXPECT_NEAR(left(after, 0), 0.607f, 0.01f);
}
