#include "sound/AudioOutput.h"
#include "sound/SdlSoundPlayer.h"
#include "tests/sound/PlayerTestUtil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <thread>
#include <vector>

using namespace playertest;
using sound::AudioOutput;
using Clock = std::chrono::steady_clock;

namespace {

// An output with an audio thread of its own that calls back in uneven buffers, and that the
// test can take away at any moment, as a restarting sound server does.
class ThreadedOutput : public AudioOutput
{
public:
    std::atomic<bool> gone{false};
    std::atomic<int> opens{0};
    std::atomic<int> badSamples{0};
    std::atomic<uint64_t> frames{0};
    std::atomic<uint64_t> soundingFrames{0};

    ~ThreadedOutput() override { close(); }

    bool open(uint32_t, int bufferFrames, int, Callback callback, void *user, std::string &) override
    {
        close();
        ++opens;
        gone = false;
        m_running = true;
        m_thread = std::thread([this, callback, user, bufferFrames] {
            std::vector<float> buffer(2 * static_cast<size_t>(bufferFrames));
            int n = 1;
            while (m_running.load()) {
                n = n * 7 % bufferFrames + 1;
                callback(user, buffer.data(), n);
                for (int i = 0; i < 2 * n; ++i) {
                    if (!std::isfinite(buffer[i]) || std::abs(buffer[i]) > 1.0f)
                        ++badSamples;
                }
                if (buffer[0] != 0.0f)
                    soundingFrames += static_cast<uint64_t>(n);
                frames += static_cast<uint64_t>(n);
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
        return true;
    }
    void close() override
    {
        m_running = false;
        if (m_thread.joinable())
            m_thread.join();
    }
    bool lost() override { return gone.load(); }

private:
    std::atomic<bool> m_running{false};
    std::thread m_thread;
};

} // namespace

// Random play/stop/volume/ramp/device-loss sequences from this (the GUI) thread against the
// audio thread and the device thread: every image is freed right after the call that lets go
// of it, so the sanitizers see any late read; it must end with the sound playing again.
TEST(PlayerStress, RandomSequencesAgainstTheAudioAndDeviceThreads)
{
    auto owned = std::make_unique<ThreadedOutput>();
    ThreadedOutput *out = owned.get();
    SdlSoundPlayer::Options options;
    options.retryInterval = std::chrono::milliseconds(2);
    SdlSoundPlayer player(std::move(owned), options);

    std::mt19937 random(14);
    std::unique_ptr<std::vector<uint8_t>> current;
    const uint32_t rates[] = {44100, 96000};
    for (int step = 0; step < 4000; ++step) {
        switch (random() % 8) {
        case 0:
        case 1:
        case 2: {
            auto image = std::make_unique<std::vector<uint8_t>>(
                sine16(rates[random() % 2], 50 + static_cast<int>(random() % 2000), 1000, 20000));
            const uint32_t flags = random() % 40 == 0 ? 4u : (random() % 3 == 0 ? 5u : 13u);
            // A waiting play may find the device gone under it and say so; the others always take the image.
            const bool taken = play(player, *image, flags);
            if (flags != 4u) {
                ASSERT_TRUE(taken);
            }
            current = std::move(image); // the previous image goes now
            break;
        }
        case 3:
        case 4:
            player.stop();
            current.reset();
            break;
        case 5:
            player.setVolume(0, static_cast<uint32_t>(random()));
            break;
        case 6:
            player.setRamps(random() % 4 != 0);
            break;
        case 7:
            if (random() % 8 == 0)
                out->gone = true;
            break;
        }
        if (step % 97 == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    // Afterwards endless sound plays again on a working device.
    player.setRamps(true);
    player.setVolume(0, 0xFFFFFFFF);
    const auto image = sine16(44100, 4410, 1000, 20000);
    ASSERT_TRUE(play(player, image, 13));
    current.reset();
    const uint64_t before = out->soundingFrames.load();
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (out->soundingFrames.load() < before + 44100 / 10 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GE(out->soundingFrames.load(), before + 44100 / 10) << "the sound came back";
    EXPECT_TRUE(player.isPlaying());
    player.stop();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(out->badSamples.load(), 0) << "no sample beyond full scale";
    EXPECT_GT(out->opens.load(), 1) << "the device was lost and reopened along the way";
}
