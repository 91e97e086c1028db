#pragma once

#include <cstddef>
#include <cstdint>

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

// The process-wide sound player: plays one RIFF/WAVE image at a time and owns the
// output level of the device. Driven from the GUI thread only.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;

    // Plays the image of `size` bytes. A null image stops whatever plays. A new sound
    // stops the previous one first. Returns false when the image cannot be played.
    // The image must stay valid until the sound has ended or stop() has returned.
    virtual bool playSound(const uint8_t *image, size_t size, uint32_t flags) = 0;
    // Ends any sound; once it returns the player no longer reads the old image.
    virtual void stop() = 0;

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
    bool playSound(const uint8_t *image, size_t size, uint32_t flags) override;
    void stop() override;
    uint32_t setVolume(uint32_t deviceId, uint32_t volume) override;
    uint32_t getVolume(uint32_t deviceId, uint32_t *volume) override;
    uint32_t getDevCaps(uint32_t deviceId, WaveOutCaps *caps, uint32_t capsSize) override;
};

// The player everything uses. Created on first use (SDL2 audio) unless a test has
// installed one of its own.
SoundPlayer &soundPlayer();
// Installs `player` (not owned) as the process-wide player; nullptr goes back to the real one.
void setSoundPlayer(SoundPlayer *player);

} // namespace sound
