#include "sound/AudioOutput.h"
#include "sound/SdlSoundPlayer.h"
#include "tests/sound/PlayerTestUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace playertest;
using sound::AudioOutput;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

// An output the test scripts: opens fail while `failing`, the device goes away when told, and
// the test runs the audio callback itself with pump().
class ScriptedOutput : public AudioOutput
{
public:
    bool failing = false;
    bool gone = false;
    int opens = 0;
    bool isOpen = false;
    uint32_t rate = 0;
    int slack = -1; // asked of the sound server at the last open

    bool open(uint32_t openRate, int, int slackMilliseconds, Callback callback, void *user,
              std::string &error) override
    {
        ++opens;
        slack = slackMilliseconds;
        isOpen = false;
        if (failing) {
            error = "connection refused";
            return false;
        }
        isOpen = true;
        gone = false;
        rate = openRate;
        m_callback = callback;
        m_user = user;
        return true;
    }
    void close() override { isOpen = false; }
    bool lost() override { return gone; }

    std::vector<float> pump(int frames)
    {
        std::vector<float> out(2 * static_cast<size_t>(frames), -9.0f);
        if (isOpen)
            m_callback(m_user, out.data(), frames);
        return out;
    }

private:
    Callback m_callback = nullptr;
    void *m_user = nullptr;
};

struct Rig
{
    ScriptedOutput *out;
    std::unique_ptr<SdlSoundPlayer> player;
    Clock::time_point now = Clock::now();

    explicit Rig(bool ramps = false)
    {
        auto owned = std::make_unique<ScriptedOutput>();
        out = owned.get();
        player = std::make_unique<SdlSoundPlayer>(std::move(owned), plainOptions(ramps));
    }
    void service(milliseconds later = milliseconds(0))
    {
        now += later;
        player->serviceDevice(now);
    }
};

} // namespace

// The device is opened before the first play, at the rate most images have, and reopened only
// when an image at another rate comes.
TEST(PlayerDevice, WarmsUpAtCreationAndReopensOnlyForANewRate)
{
    Rig rig;
    rig.service();
    EXPECT_EQ(rig.out->opens, 1);
    EXPECT_EQ(rig.out->rate, SdlSoundPlayer::kWarmRate);
    EXPECT_EQ(rig.player->deviceRate(), SdlSoundPlayer::kWarmRate);

    const auto hiq = sine16(96000, 960, 1000, 8000);
    ASSERT_TRUE(play(*rig.player, hiq, 13));
    rig.service();
    EXPECT_EQ(rig.out->opens, 1) << "same rate, same device";
    EXPECT_NE(rig.out->pump(16)[2], 0.0f);

    const auto loq = sine16(44100, 441, 1000, 8000);
    ASSERT_TRUE(play(*rig.player, loq, 13));
    EXPECT_TRUE(allZero(rig.out->pump(16))) << "no image plays at another rate than its own";
    rig.service();
    EXPECT_EQ(rig.out->opens, 2);
    EXPECT_EQ(rig.out->rate, 44100u);
    const auto out = rig.out->pump(4);
    EXPECT_EQ(out[2],
              s16(static_cast<int>(std::lround(8000 * std::sin(2 * std::numbers::pi * 1000 / 44100)))));
}

// The sound server is asked for the safe amount of slack first and for less after a quiet spell
// of sound on time; a callback later than the slack while sound was due opens the device again at
// once with twice as much. Late callbacks in silence do not count, and a user's own amount is left alone.
TEST(PlayerDevice, SlackComesDownWhenQuietAndGoesBackUpWhenTheServerRunsDry)
{
    const char *before = std::getenv("PULSE_LATENCY_MSEC");
    const std::string saved = before ? before : "";

    unsetenv("PULSE_LATENCY_MSEC");
    {
        Rig rig;
        rig.service();
        EXPECT_EQ(rig.out->slack, sound::ServerSlack::kMost);
        ASSERT_NE(std::getenv("PULSE_LATENCY_MSEC"), nullptr) << "made before any thread starts";
        // A quiet spell with sound on time.
        ASSERT_TRUE(play(*rig.player, sine16(SdlSoundPlayer::kWarmRate, 960, 1000, 8000), 13));
        rig.out->pump(64);
        rig.out->pump(64);
        rig.service();
        rig.now += sound::ServerSlack::kQuietSpell + std::chrono::seconds(1);
        ASSERT_TRUE(play(*rig.player, sine16(44100, 441, 1000, 8000), 13));
        rig.service();
        ASSERT_EQ(rig.out->opens, 2);
        EXPECT_EQ(rig.out->slack, sound::ServerSlack::kMost / 2);

        const auto late = [&] {
            rig.out->pump(64);
            std::this_thread::sleep_for(milliseconds(sound::ServerSlack::kMost / 2 + 20));
            rig.out->pump(64);
            rig.service();
        };
        rig.player->stop();
        late();
        EXPECT_EQ(rig.out->opens, 2) << "a late callback in silence asks for nothing";
        ASSERT_TRUE(play(*rig.player, sine16(44100, 441, 1000, 8000), 13));
        late();
        EXPECT_EQ(rig.out->opens, 3);
        EXPECT_EQ(rig.out->slack, sound::ServerSlack::kMost);
        EXPECT_FALSE(allZero(rig.out->pump(64))) << "the sound carries on after the reopen";
    }

    setenv("PULSE_LATENCY_MSEC", "45", 1);
    {
        Rig rig;
        rig.service();
        EXPECT_EQ(rig.out->slack, 0) << "the environment's amount is used as it is";
        EXPECT_STREQ(std::getenv("PULSE_LATENCY_MSEC"), "45");
    }
    if (before)
        setenv("PULSE_LATENCY_MSEC", saved.c_str(), 1);
    else
        unsetenv("PULSE_LATENCY_MSEC");
}

// Endless sound survives a lost device: said once, retried while the server is away, and back
// on its own with the sound where it was.
TEST(PlayerDevice, EndlessSoundComesBackOnItsOwnAfterALoss)
{
    Rig rig(true);
    rig.service();
    const auto image = makeImage(1, 16, SdlSoundPlayer::kWarmRate, std::vector<int>(9600, 20000));
    ASSERT_TRUE(play(*rig.player, image, 13));
    rig.out->pump(1024);

    testing::internal::CaptureStderr();
    rig.out->gone = true;
    rig.out->failing = true;
    rig.service(milliseconds(10));
    EXPECT_FALSE(rig.player->hasOutput());
    EXPECT_FALSE(rig.out->isOpen);
    EXPECT_TRUE(rig.player->isPlaying()) << "endless sound waits for the device";
    const int afterLoss = rig.out->opens;
    EXPECT_EQ(afterLoss, 2) << "one try straight away";

    rig.service(milliseconds(100));
    EXPECT_EQ(rig.out->opens, afterLoss) << "tries are spaced";
    rig.service(milliseconds(400));
    EXPECT_EQ(rig.out->opens, afterLoss + 1);
    rig.out->failing = false;
    rig.service(milliseconds(450));
    EXPECT_TRUE(rig.out->isOpen) << "back within a second of the server";
    EXPECT_TRUE(rig.player->hasOutput());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "soundgen: audio device lost (the device went away); running silently\n"
                   "soundgen: audio output is back\n");

    const auto out = rig.out->pump(SdlSoundPlayer::kBufferFrames);
    EXPECT_LT(out[0], 0.01f) << "the sound comes back with a fade-in, not a jump";
    EXPECT_EQ(out[2 * 511], s16(20000));
}

// A device that keeps its stream but never calls back (a server that froze) counts as lost.
TEST(PlayerDevice, WatchdogNoticesACallbackThatStopsComing)
{
    Rig rig;
    rig.service();
    const auto image = sine16(SdlSoundPlayer::kWarmRate, 9600, 1000, 8000);
    ASSERT_TRUE(play(*rig.player, image, 13));
    testing::internal::CaptureStderr();
    for (int i = 0; i < 30; ++i) {
        rig.out->pump(512);
        rig.service(milliseconds(100));
    }
    EXPECT_TRUE(rig.player->hasOutput()) << "a device that calls back is left alone";
    rig.service(milliseconds(600));
    EXPECT_TRUE(rig.player->hasOutput());
    rig.service(milliseconds(600));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(rig.out->opens, 2) << "lost, then opened again at once";
    EXPECT_NE(err.find("audio device lost (the device stopped taking sound)"), std::string::npos) << err;
}

// Without endless sound nothing is retried until the next play, which tries again; a once-sound
// that finds no device is dropped rather than played late.
TEST(PlayerDevice, FailedOpenIsRetriedOnTheNextPlayOnly)
{
    Rig rig;
    rig.out->failing = true;
    testing::internal::CaptureStderr();
    rig.service();
    EXPECT_EQ(rig.out->opens, 1);
    EXPECT_FALSE(rig.player->hasOutput());
    rig.service(milliseconds(5000));
    EXPECT_EQ(rig.out->opens, 1) << "idle: no polling of a missing server";

    const auto image = sine16(SdlSoundPlayer::kWarmRate, 960, 1000, 8000);
    ASSERT_TRUE(play(*rig.player, image, 5));
    rig.service();
    EXPECT_EQ(rig.out->opens, 2);
    EXPECT_FALSE(rig.player->isPlaying());

    rig.out->failing = false;
    ASSERT_TRUE(play(*rig.player, image, 5));
    rig.service();
    EXPECT_EQ(rig.out->opens, 3);
    EXPECT_TRUE(rig.player->isPlaying());
    EXPECT_NE(rig.out->pump(8)[2], 0.0f);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "soundgen: no audio device (connection refused); running silently\n"
                   "soundgen: audio output is back\n")
        << "one line however often it fails";
}

// A once-sound playing when the device goes is dropped; endless sound is kept.
TEST(PlayerDevice, LossDropsAOnceSoundButKeepsALoop)
{
    for (const uint32_t flags : {5u, 13u}) {
        SCOPED_TRACE(flags);
        Rig rig;
        rig.service();
        const auto image = sine16(SdlSoundPlayer::kWarmRate, 96000, 1000, 8000);
        ASSERT_TRUE(play(*rig.player, image, flags));
        rig.out->pump(512);
        rig.out->gone = true;
        rig.out->failing = true;
        testing::internal::CaptureStderr();
        rig.service();
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(rig.player->isPlaying(), flags == 13u);
    }
}

// A device that sounds nothing for the idle hold is closed (an idle program costs nothing), never
// during a fade-out; the next play opens it again and sounds in its first buffer.
TEST(PlayerDevice, ClosesWhenIdleAndTheNextPlayReopensIt)
{
    Rig rig(true);
    const milliseconds hold = SdlSoundPlayer::Options{}.idleHold;
    // Time passes with the callback running (a few frames at a time, so a fade lasts).
    const auto pass = [&](milliseconds total) {
        for (; total > milliseconds(0); total -= milliseconds(100)) {
            rig.out->pump(16);
            rig.service(std::min(total, milliseconds(100)));
        }
    };
    rig.service();
    ASSERT_TRUE(rig.out->isOpen);
    const auto image = makeImage(1, 16, SdlSoundPlayer::kWarmRate, std::vector<int>(9600, 20000));
    ASSERT_TRUE(play(*rig.player, image, 13));
    pass(hold * 2);
    EXPECT_TRUE(rig.out->isOpen) << "sounding";
    rig.player->stop();
    pass(hold);
    EXPECT_TRUE(rig.out->isOpen) << "a fade-out still to play";
    rig.out->pump(SdlSoundPlayer::kBufferFrames);
    rig.service();
    pass(hold - milliseconds(1));
    EXPECT_TRUE(rig.out->isOpen) << "within the hold";
    rig.service(milliseconds(1));
    EXPECT_FALSE(rig.out->isOpen);
    EXPECT_EQ(rig.player->deviceRate(), 0u);
    EXPECT_TRUE(rig.player->hasOutput()) << "closed, not lost";

    const int opens = rig.out->opens;
    ASSERT_TRUE(play(*rig.player, image, 13));
    rig.service();
    EXPECT_EQ(rig.out->opens, opens + 1);
    const auto out = rig.out->pump(SdlSoundPlayer::kBufferFrames);
    EXPECT_EQ(out[2 * (SdlSoundPlayer::kBufferFrames - 1)], s16(20000));
}
