#include "sound/SoundPlayer.h"

#include <memory>
#include <utility>

namespace sound {

// Defined beside the real player; returns the SDL2-backed player.
std::unique_ptr<SoundPlayer> createDefaultSoundPlayer();

namespace {
SoundPlayer *g_installed = nullptr;
}

SoundPlayer &soundPlayer()
{
    if (g_installed)
        return *g_installed;
    static std::unique_ptr<SoundPlayer> real = createDefaultSoundPlayer();
    return *real;
}

void setSoundPlayer(SoundPlayer *player)
{
    g_installed = player;
}

SoundImage shareImage(std::vector<uint8_t> bytes)
{
    auto owner = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
    return {std::shared_ptr<const uint8_t>(owner, owner->data()), owner->size()};
}

bool SoundPlayer::playSound(const uint8_t *image, size_t size, uint32_t flags)
{
    return playSound(image ? shareImage(std::vector<uint8_t>(image, image + size)) : SoundImage{}, flags);
}

bool SilentSoundPlayer::playSound(SoundImage, uint32_t)
{
    return true;
}

void SilentSoundPlayer::stop() {}

bool SilentSoundPlayer::isPlaying() const
{
    return false;
}

bool SilentSoundPlayer::hasOutput() const
{
    return true;
}

bool SilentSoundPlayer::drain(std::chrono::milliseconds)
{
    return true;
}

void SilentSoundPlayer::setRamps(bool) {}

uint32_t SilentSoundPlayer::setVolume(uint32_t, uint32_t)
{
    return MMSYSERR_NOERROR;
}

uint32_t SilentSoundPlayer::getVolume(uint32_t, uint32_t *volume)
{
    if (volume)
        *volume = 0xFFFFFFFF;
    return MMSYSERR_NOERROR;
}

uint32_t SilentSoundPlayer::getDevCaps(uint32_t, WaveOutCaps *caps, uint32_t)
{
    if (caps)
        caps->dwSupport = WAVECAPS_LRVOLUME;
    return MMSYSERR_NOERROR;
}

} // namespace sound
