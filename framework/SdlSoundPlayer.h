#pragma once

#include "framework/SoundPlayer.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace framework {

// What a RIFF/WAVE image holds, with the sample bytes as a range inside the image.
struct WaveImageFormat
{
    uint16_t channels = 0;      // 1 or 2
    uint16_t bitsPerSample = 0; // 8 (unsigned) or 16 (signed little-endian)
    uint32_t rate = 0;          // frames per second
    size_t dataOffset = 0;      // start of the samples within the image
    size_t frames = 0;          // whole frames of the data chunk that lie inside the image
};

// Reads the format and data chunks of a PCM image of `size` bytes. Never reads past
// `size`; a data chunk that claims more than is there is cut to what is there, and a
// trailing partial frame is dropped. nullopt when the image is not 8/16-bit PCM with
// one or two channels.
std::optional<WaveImageFormat> parseWaveImage(const uint8_t *image, size_t size);

// The player over SDL2 audio. One stereo float device stays open at the rate of the
// image last played (reopened only when the rate changes) and is paused while idle.
// All state the audio callback reads is guarded by one mutex, so once stop() or a new
// playSound() has returned the callback no longer touches the previous image.
class SdlSoundPlayer : public SoundPlayer
{
public:
    enum class Output {
        Device,   // SDL2 audio; silent (with one line on stderr) when no device opens
        External, // no device: whoever calls render() is the audio clock (tests)
    };

    // Frames per callback asked of the device; a play or stop takes effect in the next one.
    static constexpr int kBufferFrames = 512;

    // `deviceName` picks an output by SDL's name for it; empty means the system's default.
    explicit SdlSoundPlayer(Output output = Output::Device, std::string deviceName = {});
    ~SdlSoundPlayer() override;
    SdlSoundPlayer(const SdlSoundPlayer &) = delete;
    SdlSoundPlayer &operator=(const SdlSoundPlayer &) = delete;

    bool playSound(const uint8_t *image, size_t size, uint32_t flags) override;
    void stop() override;
    uint32_t setVolume(uint32_t deviceId, uint32_t volume) override;
    uint32_t getVolume(uint32_t deviceId, uint32_t *volume) override;
    uint32_t getDevCaps(uint32_t deviceId, WaveOutCaps *caps, uint32_t capsSize) override;

    // Fills `frames` interleaved stereo float frames from the current sound, with the
    // device volume applied per channel; silence when nothing plays. The audio
    // callback runs exactly this.
    void render(float *out, int frames);

    // True while a sound is being played (a once-sound clears it at its end).
    bool isPlaying() const;
    // False once the device could not be opened; the player is then silent for good.
    bool hasOutput() const;
    // Rate the device is open at, 0 when none is open.
    uint32_t deviceRate() const;

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
    bool ensureDevice(uint32_t rate);
    void reportNoDevice(const char *why);
    void setDevicePaused(bool paused);
    static void audioCallback(void *userdata, uint8_t *stream, int len);

    const Output m_output;
    const std::string m_deviceName;
    std::atomic<uint32_t> m_volume{0xFFFFFFFF};

    // Device handling happens on the calling (GUI) thread only.
    uint32_t m_device = 0;
    std::atomic<uint32_t> m_deviceRate{0};
    bool m_sdlInitialised = false;
    std::atomic<bool> m_silent{false};

    mutable std::mutex m_mutex;
    std::condition_variable m_ended;
    // Guarded by m_mutex: the sound the callback plays.
    const uint8_t *m_data = nullptr;
    WaveImageFormat m_format;
    size_t m_position = 0;
    bool m_loop = false;
    bool m_playing = false;
    uint64_t m_generation = 0;
    uint64_t m_rendered = 0;
    StartMark m_start;
};

} // namespace framework
