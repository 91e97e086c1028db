#include "tests/support/FakeSoundPlayer.h"

#include <utility>

namespace sound {

bool FakeSoundPlayer::playSound(SoundImage image, uint32_t flags)
{
    if (!image) {
        calls.push_back({"stop", 0, {}, {}});
        return true;
    }
    std::vector<uint8_t> copy(image.data(), image.data() + image.size);
    calls.push_back({"play", flags, std::move(copy), std::move(image)});
    return true;
}

void FakeSoundPlayer::stop()
{
    calls.push_back({"stop", 0, {}, {}});
}

uint32_t FakeSoundPlayer::setVolume(uint32_t, uint32_t volume)
{
    calls.push_back({"setVolume", volume, {}, {}});
    deviceVolume = volume;
    return MMSYSERR_NOERROR;
}

uint32_t FakeSoundPlayer::getVolume(uint32_t, uint32_t *volume)
{
    calls.push_back({"getVolume", deviceVolume, {}, {}});
    if (volume)
        *volume = deviceVolume;
    return MMSYSERR_NOERROR;
}

uint32_t FakeSoundPlayer::getDevCaps(uint32_t, WaveOutCaps *caps, uint32_t)
{
    calls.push_back({"getDevCaps", support, {}, {}});
    if (caps)
        caps->dwSupport = support;
    return MMSYSERR_NOERROR;
}

std::vector<std::string> FakeSoundPlayer::callNames() const
{
    std::vector<std::string> names;
    names.reserve(calls.size());
    for (const Call &c : calls)
        names.push_back(c.what);
    return names;
}

} // namespace sound
