#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sound {

// Flags of playSound, with the meaning the tone generator relies on.
constexpr uint32_t SND_SYNC = 0x0000;   // wait until the sound has ended
constexpr uint32_t SND_ASYNC = 0x0001;  // return at once, play in the background
constexpr uint32_t SND_MEMORY = 0x0004; // the argument is a RIFF/WAVE image in memory
constexpr uint32_t SND_LOOP = 0x0008;   // repeat until stopped (with SND_ASYNC)

constexpr uint32_t WAVECAPS_LRVOLUME = 0x0008;
constexpr uint32_t MMSYSERR_NOERROR = 0;
constexpr uint32_t MMSYSERR_NODRIVER = 6;

struct WaveOutCaps
{
    uint16_t wMid = 0;
    uint16_t wPid = 0;
    uint32_t vDriverVersion = 0;
    char szPname[32] = {};
    uint32_t dwFormats = 0;
    uint16_t wChannels = 0;
    uint16_t wReserved1 = 0;
    uint32_t dwSupport = 0;
};

// A RIFF/WAVE image in memory, owned jointly by whoever made it and the player sounding it, so
// either may let go first.
struct SoundImage
{
    std::shared_ptr<const uint8_t> bytes;
    size_t size = 0;

    const uint8_t *data() const { return bytes.get(); }
    explicit operator bool() const { return bytes != nullptr; }
};

// An image holding its own copy of `bytes`.
SoundImage shareImage(std::vector<uint8_t> bytes);

// The process-wide sound player: plays one RIFF/WAVE image at a time and owns the
// output level of the device. Driven from the GUI thread only.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;

    // Plays `image` in place of whatever sounds (a crossfade when ramps are on); a null image
    // stops. Returns false when the image cannot be played, and nothing sounds then.
    virtual bool playSound(SoundImage image, uint32_t flags) = 0;
    // Plays a copy of the `size` bytes at `image`, for callers that keep no image of their own.
    bool playSound(const uint8_t *image, size_t size, uint32_t flags);
    // Ends any sound (a fade-out when ramps are on).
    virtual void stop() = 0;
    // True while a sound is being played (a once-sound clears it at its end).
    virtual bool isPlaying() const = 0;
    // False while no output is open because the last open failed or the output was lost.
    virtual bool hasOutput() const = 0;
    // Waits (bounded) until a sound that ended by itself has also left the output's buffers.
    // False while a sound still plays or on the timeout.
    virtual bool drain(std::chrono::milliseconds timeout) = 0;
    // Waits (bounded) until the output has answered the last play: open, or failed to open. False
    // on the timeout.
    virtual bool waitForDevice(std::chrono::milliseconds) const { return true; }
    // Names of the output devices the sound system offers, for choosing one by name.
    virtual std::vector<std::string> outputDevices() { return {}; }
    // Fades where the sound is cut (start, stop, replacement, volume change); off gives the
    // image's samples times the volume, bit for bit.
    virtual void setRamps(bool on) = 0;

    // Device volume: low word left, high word right, 0..0xFFFF each.
    virtual uint32_t setVolume(uint32_t deviceId, uint32_t volume) = 0;
    virtual uint32_t getVolume(uint32_t deviceId, uint32_t *volume) = 0;
    virtual uint32_t getDevCaps(uint32_t deviceId, WaveOutCaps *caps, uint32_t capsSize) = 0;
};

// Plays nothing and keeps no device, with a device that has a volume per channel: for work
// that builds sounds without hearing them (exporting, reading outside input).
class SilentSoundPlayer : public SoundPlayer
{
public:
    bool playSound(SoundImage image, uint32_t flags) override;
    void stop() override;
    bool isPlaying() const override;
    bool hasOutput() const override;
    bool drain(std::chrono::milliseconds timeout) override;
    void setRamps(bool on) override;
    uint32_t setVolume(uint32_t deviceId, uint32_t volume) override;
    uint32_t getVolume(uint32_t deviceId, uint32_t *volume) override;
    uint32_t getDevCaps(uint32_t deviceId, WaveOutCaps *caps, uint32_t capsSize) override;
};

// The player everything uses. Created on first use (SDL2 audio, ramps unless the environment
// says SOUNDGEN_NO_RAMPS) unless a test has installed one of its own.
SoundPlayer &soundPlayer();
// Installs `player` (not owned) as the process-wide player; nullptr goes back to the real one.
void setSoundPlayer(SoundPlayer *player);

} // namespace sound
