#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sound {

// One stereo float output stream as the sound player needs it. The player drives it from its
// own device thread only; `callback` runs on the output's audio thread.
class AudioOutput
{
public:
    using Callback = void (*)(void *user, float *out, int frames);

    virtual ~AudioOutput() = default;

    // Opens and starts the device at `rate` with buffers of `bufferFrames`, asking a sound server
    // to hold `slackMilliseconds` ahead (0: what the environment says); false with `error` set
    // when no device can be had. A device already open is closed first.
    virtual bool open(uint32_t rate, int bufferFrames, int slackMilliseconds, Callback callback, void *user,
                      std::string &error) = 0;
    // Closes the device; once it returns the callback no longer runs.
    virtual void close() = 0;
    // True once the open device has gone away (unplugged, sound server ended).
    virtual bool lost() = 0;
    // Closes the device after a loss and forgets how it was reached, so that the next open looks
    // for a device afresh.
    virtual void reset() { close(); }
};

// The output over SDL2 audio. Each open after a loss or failure starts SDL's audio anew, so a
// sound server that appeared or came back since is found.
class SdlAudioOutput : public AudioOutput
{
public:
    // `deviceName` picks an output by SDL's name for it; empty means the system's default.
    explicit SdlAudioOutput(std::string deviceName = {});
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput &) = delete;
    SdlAudioOutput &operator=(const SdlAudioOutput &) = delete;

    bool open(uint32_t rate, int bufferFrames, int slackMilliseconds, Callback callback, void *user,
              std::string &error) override;
    void close() override;
    bool lost() override;
    void reset() override;

private:
    static void sdlCallback(void *userdata, uint8_t *stream, int len);

    const std::string m_deviceName;
    uint32_t m_device = 0;
    bool m_initialised = false;
    bool m_restart = false; // start SDL audio anew before the next open
    Callback m_callback = nullptr;
    void *m_user = nullptr;
};

// Names of SDL's playback devices; SDL's audio is started for the look-up and ended after it.
std::vector<std::string> sdlOutputDeviceNames();

} // namespace sound
