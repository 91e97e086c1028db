#pragma once

#include "sound/AudioOutput.h"
#include "sound/ServerSlack.h"
#include "sound/SoundPlayer.h"
#include "sound/WavFormat.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace sound {

// The player over SDL2 audio. One stereo float device is opened when the player is made (so the
// sound system is up before the first start), runs at the rate of the image last played, is
// closed once nothing has sounded for a while (an idle program then costs nothing and the sound
// server may suspend its sink) and is opened again by the next play. A device thread of the
// player's own opens, reopens and closes it: the calling (GUI) thread never waits for a device. All state the
// audio callback reads is guarded by one mutex, so once stop() or a new playSound() has returned the callback
// no longer touches the previous image.
//
// Where it cuts the sound the player ramps (about 5 ms): a start fades in, a stop fades out
// from the image it shares, and a new sound in place of a playing one (or right after a stop)
// crossfades. A sound that ends by itself is played to its last sample, and a volume change
// ramps over one buffer. Without ramps the output is the image's samples times the volume.
class SdlSoundPlayer : public SoundPlayer
{
public:
    enum class Output {
        Device,   // SDL2 audio; silent (with one line on stderr) while no device opens
        External, // no device: whoever calls render() is the audio clock (tests)
    };

    // Frames per callback asked of the device; a play or stop takes effect in the next one.
    static constexpr int kBufferFrames = 512;
    // Length of every ramp.
    static constexpr int kRampMilliseconds = 5;
    // Rate the device is opened at before any image has been played: the tone generator's default.
    static constexpr uint32_t kWarmRate = 96000;

    struct Options
    {
        bool ramps = true;
        // False: no device thread; the test calls serviceDevice() itself.
        bool deviceThread = true;
        // An open device whose callback has not run for this long counts as lost.
        std::chrono::milliseconds watchdog{1000};
        // While endless sound plays without a device, how often a new open is tried.
        std::chrono::milliseconds retryInterval{400};
        // A device that has sounded nothing for this long is closed until the next play; at least
        // as long as the sound server may still be playing out. A start finds a closed device
        // quicker than an open one, which holds the server's slack of silence ahead of it.
        std::chrono::milliseconds idleHold{150};
    };

    // `deviceName` picks an output by SDL's name for it; empty means the system's default.
    // Ramps are on unless SOUNDGEN_NO_RAMPS is set to anything but 0.
    explicit SdlSoundPlayer(Output output = Output::Device, std::string deviceName = {});
    // Plays on `output` (nullptr: no device, as Output::External).
    SdlSoundPlayer(std::unique_ptr<AudioOutput> output, Options options);
    ~SdlSoundPlayer() override;
    SdlSoundPlayer(const SdlSoundPlayer &) = delete;
    SdlSoundPlayer &operator=(const SdlSoundPlayer &) = delete;

    // The switch read by the default constructor.
    static bool rampsWantedByEnvironment();
    void setRamps(bool on) override;
    bool ramps() const;
    // Frames of one ramp at `rate`.
    static int rampFrames(uint32_t rate);

    bool playSound(SoundImage image, uint32_t flags) override;
    void stop() override;
    uint32_t setVolume(uint32_t deviceId, uint32_t volume) override;
    uint32_t getVolume(uint32_t deviceId, uint32_t *volume) override;
    uint32_t getDevCaps(uint32_t deviceId, WaveOutCaps *caps, uint32_t capsSize) override;

    // Fills `frames` interleaved stereo float frames from the current sound, with the
    // device volume applied per channel; silence when nothing plays. The audio
    // callback runs exactly this.
    void render(float *out, int frames);

    // One round of the device thread's work at time `now`: notices a lost or silent device,
    // opens or reopens it as needed. The device thread runs it when asked and, while a device is
    // open or endless sound waits for one, a few times a second.
    void serviceDevice(std::chrono::steady_clock::time_point now);

    bool isPlaying() const override;
    bool hasOutput() const override;
    // Rate the device is open at, 0 when none is open.
    uint32_t deviceRate() const;
    // Waits (bounded) until a sound that ended by itself has also left the buffers behind the
    // device: the device has taken as much after its end as the sound server holds. Closing
    // the device earlier cuts off the sound's last tenth of a second. False while a sound still
    // plays or on the timeout; true at once without a device.
    bool drain(std::chrono::milliseconds timeout) override;
    // Waits (bounded) until the device thread has nothing left to do: a device is open at the
    // wanted rate or the last try failed. For tests and probes.
    bool waitForDevice(std::chrono::milliseconds timeout) const override;
    // Starts SDL's audio for the look-up when nothing else has it open.
    std::vector<std::string> outputDevices() override;

    // Where the last sound began, counted in frames rendered since the player was made.
    struct StartMark
    {
        uint64_t renderedAtPlay = 0;  // frames rendered when playSound() took the image
        uint64_t firstSoundFrame = 0; // first frame rendered from that image
        std::chrono::steady_clock::time_point playCalled{};
        std::chrono::steady_clock::time_point firstSoundRendered{};
        bool started = false;
    };
    StartMark lastStart() const;
    uint64_t framesRendered() const;

private:
    // One image being read: the current sound, or one fading out after a stop.
    struct Voice
    {
        SoundImage image;
        WavFormat format;
        size_t position = 0;
        bool loop = false;
        int fadeIn = 0; // frames of its fade-in still to come
    };
    // A stopped sound's fade-out. A stop during an earlier fade fades that one too, so every fade
    // a voice is under multiplies its gain: the gains never add up to more than one.
    struct Fading
    {
        Voice voice;
        std::vector<int> fadeOuts; // frames done of each fade-out, oldest first
    };

    static void audioCallback(void *user, float *out, int frames);
    void renderAt(float *out, int frames, uint32_t rate);
    void deviceThreadMain();
    void requestDevice(uint32_t rate);
    // Called by the callback with m_mutex held: keeps the longest wait between two callbacks
    // while sound was due.
    void watchCallbackGap(bool soundDue);
    // True when the callbacks came so late since the last look that the device is to be opened
    // again with more slack.
    bool slackGrew(std::chrono::steady_clock::time_point now);
    // Closes the open device when nothing has sounded for the idle hold; true when it did.
    bool closeWhenIdle(std::chrono::steady_clock::time_point now);
    // Adds up to `frames` stereo frames of `voice` into `out`; fewer once a once-sound has ended.
    size_t mixVoice(Voice &voice, float *out, size_t frames, const std::vector<int> *fadeOuts) const;
    void dropSoundLocked(bool failed);
    // Called with m_mutex held: images no longer read, to be let go outside the lock.
    std::vector<SoundImage> takeSpentLocked();
    void report(const char *what, const std::string &why);

    const bool m_external;
    std::unique_ptr<AudioOutput> m_device;
    const Options m_options;
    ServerSlack m_slack;                    // device thread only
    std::atomic<int> m_slackMilliseconds{}; // what the open device asked the sound server to hold
    std::atomic<uint32_t> m_volume{0xFFFFFFFF};
    std::atomic<bool> m_ramps{true};

    // Device state, written by the device thread (or serviceDevice's caller) only.
    std::atomic<uint32_t> m_deviceRate{0};
    std::atomic<uint32_t> m_callbackRate{0}; // rate of the device being opened or open
    std::atomic<bool> m_silent{false};
    uint64_t m_watchRendered = 0;
    std::chrono::steady_clock::time_point m_watchSince{};
    std::chrono::steady_clock::time_point m_nextRetry{};
    bool m_reported = false; // a loss or failure has been said and not yet made good
    std::chrono::steady_clock::time_point m_activeAt{}; // last time something sounded or waited
    bool m_needsPolling = true;                         // the device thread has something to watch or retry
    std::chrono::milliseconds m_pollInterval{};

    // Requests to the device thread.
    mutable std::mutex m_requestMutex;
    mutable std::condition_variable m_requestChanged;
    uint32_t m_wantedRate = kWarmRate;
    bool m_tryOpen = true;
    bool m_busy = false;
    bool m_quit = false;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    std::condition_variable m_ended;
    // Guarded by m_mutex: the sound the callback plays and the ones fading out.
    Voice m_voice;
    std::vector<Fading> m_fading;
    std::vector<SoundImage> m_spent; // let go by the callback, freed by another thread
    bool m_playing = false;
    uint64_t m_generation = 0;
    uint64_t m_failedGeneration = 0;
    uint64_t m_rendered = 0;
    uint64_t m_endedAt = 0;    // m_rendered where the last sound ended by itself
    uint64_t m_drainUntil = 0; // a drain() waits for m_rendered to reach this; 0: none
    int m_rampLength = 0;      // frames of the current sound's ramps
    float m_gainLeft = 1.0f;   // gains the last buffer ended with
    float m_gainRight = 1.0f;
    StartMark m_start;
    std::chrono::steady_clock::time_point m_lastCallback{}; // of the open device; unset after an open
    std::chrono::steady_clock::duration m_longestGap{};     // between callbacks while sound was due
    std::chrono::steady_clock::time_point m_lastSoundDue{}; // the last callback with sound to play
};

} // namespace sound
