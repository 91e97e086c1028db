#include "sound/SdlSoundPlayer.h"
#include "tests/sound/PlayerTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <future>
#include <iostream>
#include <memory>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

using sound::SdlSoundPlayer;
using Clock = std::chrono::steady_clock;

using namespace playertest;

// ---- render path ---------------------------------------------------------------------------

TEST(SdlSoundPlayerRender, PlaysOnceThenFallsSilentAcrossBufferBoundaries)
{
    SdlSoundPlayer p(nullptr, plainOptions(false));
    EXPECT_TRUE(allZero(render(p, 4))) << "silence before any play";

    const auto image = makeImage(1, 16, 44100, {1000, -1000, 32767, -32768, 7});
    ASSERT_TRUE(play(p, image, 5));
    EXPECT_TRUE(p.isPlaying());
    const auto a = render(p, 2);
    const auto b = render(p, 6);
    EXPECT_EQ(a, (std::vector<float>{s16(1000), s16(1000), s16(-1000), s16(-1000)}));
    EXPECT_EQ(b,
              (std::vector<float>{s16(32767), s16(32767), -1.0f, -1.0f, s16(7), s16(7), 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(p.isPlaying());
    EXPECT_TRUE(allZero(render(p, 8))) << "the pad after the data is never played";
}

TEST(SdlSoundPlayerRender, LoopWrapsAtTheDataEndUntilStopped)
{
    SdlSoundPlayer p(nullptr, plainOptions(false));
    // Odd D (11 bytes): five whole frames, the sixth frame's low byte is data and its high byte
    // lies in the pad. Neither the partial frame nor the pad may sound.
    auto image = std::make_unique<std::vector<uint8_t>>(makeImage(1, 16, 96000, {1, 2, 3, 4, 5, 6}, 11));
    ASSERT_TRUE(play(p, *image, 13));
    std::vector<float> out;
    for (int chunk : {3, 7, 2}) {
        const auto part = render(p, chunk);
        out.insert(out.end(), part.begin(), part.end());
    }
    ASSERT_EQ(out.size(), 24u);
    for (size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(out[2 * i], s16(static_cast<int>(i % 5) + 1)) << "frame " << i;
        EXPECT_EQ(out[2 * i + 1], out[2 * i]) << "frame " << i;
    }
    EXPECT_TRUE(p.isPlaying()) << "a loop keeps going";

    p.stop();
    image.reset(); // released once stop returns; the sanitizer catches any later read
    EXPECT_FALSE(p.isPlaying());
    EXPECT_TRUE(allZero(render(p, 16)));
}

TEST(SdlSoundPlayerRender, EightBitIsOffsetBinaryAndStereoKeepsChannelsApart)
{
    SdlSoundPlayer p(nullptr, plainOptions(false));
    const auto image = makeImage(2, 8, 8000, {0x80, 0xFF, 0x00, 0x40});
    ASSERT_TRUE(play(p, image, 5));
    EXPECT_EQ(render(p, 3), (std::vector<float>{0.0f, 127.0f / 128, -1.0f, -0.5f, 0, 0}));
}

TEST(SdlSoundPlayerRender, VolumeWordIsAGainPerChannelAppliedAtOnce)
{
    SdlSoundPlayer p(nullptr, plainOptions(false));
    uint32_t v = 0;
    EXPECT_EQ(p.getVolume(0, &v), sound::MMSYSERR_NOERROR);
    EXPECT_EQ(v, 0xFFFFFFFFu);

    // Mono: the one sample goes to both channels, each with its own gain.
    const auto mono = makeImage(1, 16, 44100, {16384, -32768, 16384, -32768});
    p.setVolume(0, 0xFFFF7FFF); // left 50, right 100
    EXPECT_EQ(p.getVolume(0, &v), sound::MMSYSERR_NOERROR);
    EXPECT_EQ(v, 0xFFFF7FFFu);
    ASSERT_TRUE(play(p, mono, 13));
    const float half = 32767.0f / 65535.0f;
    auto out = render(p, 2);
    EXPECT_FLOAT_EQ(out[0], 0.5f * half);
    EXPECT_FLOAT_EQ(out[1], 0.5f);
    EXPECT_FLOAT_EQ(out[2], -half);
    EXPECT_FLOAT_EQ(out[3], -1.0f);

    // A change while sounding reaches the very next buffer.
    p.setVolume(0, 0x0000FFFF);
    out = render(p, 1);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    EXPECT_FLOAT_EQ(out[1], 0.0f);

    // Stereo 8-bit with the right channel at a quarter.
    const auto stereo = makeImage(2, 8, 44100, {0xC0, 0xC0});
    p.setVolume(0, 0x3FFFFFFF);
    ASSERT_TRUE(play(p, stereo, 5));
    out = render(p, 1);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    EXPECT_FLOAT_EQ(out[1], 0.5f * 16383.0f / 65535.0f);
}

TEST(SdlSoundPlayerRender, NewImageReplacesThePlayingOneAndBadImagesStopIt)
{
    SdlSoundPlayer p(nullptr, plainOptions(false));
    auto first = std::make_unique<std::vector<uint8_t>>(makeImage(1, 16, 44100, {11, 12, 13}));
    const auto second = makeImage(1, 16, 44100, {21, 22});
    ASSERT_TRUE(play(p, *first, 13));
    render(p, 2);
    ASSERT_TRUE(play(p, second, 5));
    first.reset();
    EXPECT_EQ(render(p, 3), (std::vector<float>{s16(21), s16(21), s16(22), s16(22), 0, 0}));

    // A malformed image plays nothing, and what played before has been stopped.
    ASSERT_TRUE(play(p, second, 13));
    auto broken = second;
    std::memcpy(broken.data() + 8, "WAVX", 4);
    EXPECT_FALSE(play(p, broken, 13));
    EXPECT_FALSE(p.isPlaying());
    EXPECT_TRUE(allZero(render(p, 4)));
    // A null image is a stop.
    ASSERT_TRUE(play(p, second, 13));
    EXPECT_TRUE(p.playSound({}, 0));
    EXPECT_FALSE(p.isPlaying());
}

TEST(SdlSoundPlayerRender, SynchronousPlayReturnsWhenTheRendererReachesTheEnd)
{
    SdlSoundPlayer p(nullptr, plainOptions(false));
    const auto image = sine16(8000, 8000, 500, 10000); // one second
    std::atomic<bool> returned{false};
    std::thread caller([&] {
        play(p, image, 4);
        returned = true;
    });
    while (!p.isPlaying())
        std::this_thread::yield();
    render(p, 4000);
    render(p, 3999);
    EXPECT_FALSE(returned.load()) << "returned before the last frame was rendered";
    EXPECT_TRUE(p.isPlaying());
    render(p, 512);
    caller.join();
    EXPECT_TRUE(returned.load());
    EXPECT_FALSE(p.isPlaying());
}

// A sound that ended by itself still sits in the sound server for up to its slack; the program
// must keep the device until the device has taken that much after the end.
TEST(SdlSoundPlayerRender, DrainWaitsUntilTheServersSlackHasFollowedTheEnd)
{
    const char *before = std::getenv("PULSE_LATENCY_MSEC");
    const std::string saved = before ? before : "";
    const struct
    {
        const char *slack;
        uint64_t held; // frames at 8000/s: the slack plus two callbacks
    } cases[] = {{"50", 400 + 2 * SdlSoundPlayer::kBufferFrames},
                 {nullptr, 8 * sound::ServerSlack::kMost + 2 * SdlSoundPlayer::kBufferFrames}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.slack ? c.slack : "unset");
        if (c.slack)
            setenv("PULSE_LATENCY_MSEC", c.slack, 1);
        else
            unsetenv("PULSE_LATENCY_MSEC");
        SdlSoundPlayer p(nullptr, plainOptions(false));
        const auto image = sine16(8000, 800, 500, 10000);
        ASSERT_TRUE(play(p, image, sound::SND_MEMORY | sound::SND_ASYNC));
        render(p, 300);
        EXPECT_FALSE(p.drain(std::chrono::milliseconds(0))) << "still playing";
        render(p, 600); // the end comes at frame 800
        EXPECT_FALSE(p.isPlaying());
        EXPECT_FALSE(p.drain(std::chrono::milliseconds(0)));

        auto drained = std::async(std::launch::async, [&] { return p.drain(std::chrono::seconds(20)); });
        render(p, static_cast<int>(800 + c.held - 900 - 1));
        EXPECT_NE(drained.wait_for(std::chrono::milliseconds(50)), std::future_status::ready)
            << "drained one frame early";
        render(p, 1);
        ASSERT_EQ(drained.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_TRUE(drained.get());
        EXPECT_TRUE(p.drain(std::chrono::milliseconds(0)));

        ASSERT_TRUE(play(p, image, sound::SND_MEMORY | sound::SND_ASYNC | sound::SND_LOOP));
        render(p, 2000);
        EXPECT_FALSE(p.drain(std::chrono::milliseconds(0))) << "a loop never drains";
    }
    if (before)
        setenv("PULSE_LATENCY_MSEC", saved.c_str(), 1);
    else
        unsetenv("PULSE_LATENCY_MSEC");
}

TEST(SdlSoundPlayerRender, StopFromAnotherThreadEndsABlockingPlay)
{
    SdlSoundPlayer p(nullptr, plainOptions(false));
    const auto image = sine16(8000, 8000, 500, 10000);
    std::thread caller([&] { play(p, image, 4); });
    while (!p.isPlaying())
        std::this_thread::yield();
    render(p, 100);
    p.stop();
    caller.join(); // hangs (and the test times out) if stop does not release the caller
    EXPECT_TRUE(allZero(render(p, 100)));
}

TEST(SdlSoundPlayerRender, PlayAndStopTakeEffectInTheNextBuffer)
{
    SdlSoundPlayer p(nullptr, plainOptions(false));
    const auto image = makeImage(1, 16, 44100, {30000});
    render(p, 100);
    ASSERT_TRUE(play(p, image, 13));
    const auto out = render(p, SdlSoundPlayer::kBufferFrames);
    EXPECT_EQ(out[0], s16(30000)) << "the first frame after the call already sounds";
    const auto mark = p.lastStart();
    EXPECT_TRUE(mark.started);
    EXPECT_EQ(mark.firstSoundFrame, mark.renderedAtPlay);
    EXPECT_EQ(mark.renderedAtPlay, 100u);
    p.stop();
    EXPECT_TRUE(allZero(render(p, SdlSoundPlayer::kBufferFrames)));
}

TEST(SdlSoundPlayerRender, CapabilitiesReportSeparateLeftRightVolume)
{
    SdlSoundPlayer p(nullptr, plainOptions(false));
    sound::WaveOutCaps caps;
    ASSERT_EQ(sizeof caps, 52u);
    EXPECT_EQ(p.getDevCaps(0, &caps, sizeof caps), sound::MMSYSERR_NOERROR);
    EXPECT_TRUE(caps.dwSupport & sound::WAVECAPS_LRVOLUME);
    EXPECT_EQ(caps.wChannels, 2);

    // A short record is filled only as far as it goes.
    uint8_t buffer[sizeof caps + 8];
    std::memset(buffer, 0xAB, sizeof buffer);
    p.getDevCaps(0, reinterpret_cast<sound::WaveOutCaps *>(buffer), 8);
    for (size_t i = 8; i < sizeof buffer; ++i)
        ASSERT_EQ(buffer[i], 0xAB) << "byte " << i;
    EXPECT_NE(p.getVolume(0, nullptr), sound::MMSYSERR_NOERROR);
}

// ---- on SDL's dummy device -----------------------------------------------------------------

TEST(SdlSoundPlayerDevice, SynchronousPlayBlocksForTheSoundsLength)
{
    SdlSoundPlayer p;
    const auto image = sine16(44100, 44100 / 5, 440, 8000); // 200 ms
    const auto start = Clock::now();
    ASSERT_TRUE(play(p, image, 4));
    const auto elapsed = Clock::now() - start;
    ASSERT_TRUE(p.hasOutput());
    EXPECT_EQ(p.deviceRate(), 44100u);
    EXPECT_GE(elapsed, std::chrono::milliseconds(150));
    EXPECT_FALSE(p.isPlaying());
    EXPECT_GE(p.framesRendered(), 44100u / 5);
}

TEST(SdlSoundPlayerDevice, StopFromAnotherThreadReleasesASynchronousPlay)
{
    SdlSoundPlayer p;
    const auto image = sine16(44100, 44100 * 10, 440, 8000); // 10 s
    std::thread stopper([&] {
        while (!p.isPlaying())
            std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        p.stop();
    });
    const auto start = Clock::now();
    ASSERT_TRUE(play(p, image, 4));
    stopper.join();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(8));
    EXPECT_FALSE(p.isPlaying());
}

TEST(SdlSoundPlayerDevice, OnceAndLoopInTheBackgroundAndRateChanges)
{
    SdlSoundPlayer p;
    const auto shortImage = sine16(44100, 441, 1000, 8000); // 10 ms
    ASSERT_TRUE(play(p, shortImage, 5));
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (p.isPlaying() && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(p.isPlaying()) << "a background once-sound ends by itself";

    const auto hiq = sine16(96000, 960, 1000, 8000);
    ASSERT_TRUE(play(p, hiq, 13));
    ASSERT_TRUE(p.waitForDevice(std::chrono::seconds(5)));
    EXPECT_EQ(p.deviceRate(), 96000u);
    const uint64_t before = p.framesRendered();
    while (p.framesRendered() < before + 3 * 960 && Clock::now() < deadline + std::chrono::seconds(5))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(p.isPlaying()) << "a loop outlasts its image";
    p.stop();
    EXPECT_FALSE(p.isPlaying());
}

// Reported, not asserted: how long after playSound() the device's callback started the sound.
TEST(SdlSoundPlayerDevice, MeasuresStartLatency)
{
    SdlSoundPlayer p;
    const auto image = sine16(48000, 48000, 1000, 8000);
    // The device opens at the image's rate first; measured are starts on a device that is there.
    ASSERT_TRUE(play(p, image, 13));
    ASSERT_TRUE(p.waitForDevice(std::chrono::seconds(5)));
    p.stop();
    double worst = 0;
    double sum = 0;
    const int rounds = 20;
    for (int i = 0; i < rounds; ++i) {
        ASSERT_TRUE(play(p, image, 13));
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (!p.lastStart().started && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        const auto mark = p.lastStart();
        ASSERT_TRUE(mark.started);
        EXPECT_EQ(mark.firstSoundFrame, mark.renderedAtPlay) << "no silent buffer before the sound";
        const double frames =
            std::chrono::duration<double>(mark.firstSoundRendered - mark.playCalled).count() * 48000;
        worst = std::max(worst, frames);
        sum += frames;
        p.stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(3 * i % 11));
    }
    std::cout << "[ latency  ] play -> first sounding callback at 48000/s: mean " << sum / rounds
              << " frames, worst " << worst << " frames (buffer " << SdlSoundPlayer::kBufferFrames << ")\n";
    RecordProperty("start_latency_worst_frames", static_cast<int>(worst));
}

// Many plays and stops against the running callback, each image released right after its stop.
TEST(SdlSoundPlayerDevice, RapidPlayAndStopWithReleasedImages)
{
    SdlSoundPlayer p;
    for (int i = 0; i < 300; ++i) {
        auto image = std::make_unique<std::vector<uint8_t>>(sine16(44100, 100 + i, 1000, 8000));
        ASSERT_TRUE(play(p, *image, i % 3 == 0 ? 5 : 13));
        p.setVolume(0, static_cast<uint32_t>(i) * 0x00010001u);
        if (i % 7 == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        p.stop();
        image.reset();
    }
    for (int i = 0; i < 10; ++i) {
        const auto tiny = sine16(44100, 64, 1000, 8000);
        ASSERT_TRUE(play(p, tiny, 4));
    }
    EXPECT_FALSE(p.isPlaying());
}

TEST(SdlSoundPlayerDevice, WithoutADeviceRunsSilentlyAndSaysSoOnce)
{
    testing::internal::CaptureStderr();
    SdlSoundPlayer p(SdlSoundPlayer::Output::Device, "no such output");
    const auto image = sine16(44100, 44100 * 5, 440, 8000);
    const auto start = Clock::now();
    EXPECT_FALSE(play(p, image, 4)) << "a synchronous play says it could not play";
    const auto elapsed = Clock::now() - start;
    EXPECT_TRUE(play(p, image, 5));
    ASSERT_TRUE(p.waitForDevice(std::chrono::seconds(5)));
    EXPECT_FALSE(p.isPlaying()) << "a once-sound without a device is dropped";
    EXPECT_TRUE(play(p, image, 13));
    ASSERT_TRUE(p.waitForDevice(std::chrono::seconds(5)));
    EXPECT_TRUE(p.isPlaying()) << "endless sound waits for a device";
    p.stop();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_LT(elapsed, std::chrono::seconds(2)) << "a synchronous play returns at once";
    EXPECT_FALSE(p.hasOutput());
    EXPECT_FALSE(p.isPlaying());
    EXPECT_EQ(err.rfind("soundgen: no audio device (", 0), 0u) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line: " << err;
    EXPECT_NE(err.find("; running silently"), std::string::npos) << err;
    // Volume and capabilities still answer.
    EXPECT_EQ(p.setVolume(0, 0x12345678), sound::MMSYSERR_NOERROR);
    uint32_t v = 0;
    p.getVolume(0, &v);
    EXPECT_EQ(v, 0x12345678u);
}

TEST(SoundPlayerRegistry, DefaultIsTheSdlPlayer)
{
    sound::setSoundPlayer(nullptr);
    EXPECT_NE(dynamic_cast<SdlSoundPlayer *>(&sound::soundPlayer()), nullptr);
}
