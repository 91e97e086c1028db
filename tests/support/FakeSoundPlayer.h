#pragma once

#include "sound/SoundPlayer.h"

#include <string>
#include <vector>

namespace sound {

// Records every call so tests can assert which calls were made, in which order.
class FakeSoundPlayer : public SoundPlayer
{
public:
    struct Call
    {
        std::string what;           // "play", "stop", "setVolume", "getVolume", "getDevCaps"
        uint32_t value = 0;         // flags for play, volume for setVolume
        std::vector<uint8_t> image; // copy of the image handed to play
        SoundImage shared;          // the image itself, kept alive as a player keeps it
    };

    bool playSound(SoundImage image, uint32_t flags) override;
    void stop() override;
    bool isPlaying() const override { return false; }
    bool hasOutput() const override { return output; }
    bool drain(std::chrono::milliseconds) override { return true; }
    void setRamps(bool on) override { ramps = on; }
    uint32_t setVolume(uint32_t deviceId, uint32_t volume) override;
    uint32_t getVolume(uint32_t deviceId, uint32_t *volume) override;
    uint32_t getDevCaps(uint32_t deviceId, WaveOutCaps *caps, uint32_t capsSize) override;

    // Names of the calls in order, e.g. {"stop", "setVolume", "play"}.
    std::vector<std::string> callNames() const;
    void clear() { calls.clear(); }

    std::vector<Call> calls;
    uint32_t deviceVolume = 0xFFFFFFFF;
    uint32_t support = WAVECAPS_LRVOLUME;
    bool ramps = true;
    bool output = true; // false: as a player whose device failed or went away
};

// Installs a fake for the lifetime of the guard.
class ScopedFakeSoundPlayer
{
public:
    ScopedFakeSoundPlayer() { setSoundPlayer(&player); }
    ~ScopedFakeSoundPlayer() { setSoundPlayer(nullptr); }
    ScopedFakeSoundPlayer(const ScopedFakeSoundPlayer &) = delete;
    ScopedFakeSoundPlayer &operator=(const ScopedFakeSoundPlayer &) = delete;

    FakeSoundPlayer player;
};

} // namespace sound
