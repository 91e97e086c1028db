#pragma once

#include "sound/SdlSoundPlayer.h"
#include "sound/WavFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <vector>

// Images and render helpers shared by the player tests.
namespace playertest {

using sound::SdlSoundPlayer;

inline constexpr uint8_t kPadMark = 0x7F; // a loud pad: any sample taken from it shows up in the output

inline void put16(std::vector<uint8_t> &v, size_t at, uint32_t x)
{
    v[at] = static_cast<uint8_t>(x);
    v[at + 1] = static_cast<uint8_t>(x >> 8);
}

// A tone generator style image: 44-byte header, `samples` (one value per sample, channels
// interleaved), then a 32-byte pad counted in no chunk. `dataBytes` overrides D (odd D, or a D
// that claims more than there is).
inline std::vector<uint8_t> makeImage(int channels, int bits, uint32_t rate, const std::vector<int> &samples,
                                      long dataBytes = -1)
{
    const size_t bytes = bits / 8;
    const size_t d = dataBytes >= 0 ? static_cast<size_t>(dataBytes) : samples.size() * bytes;
    const size_t stored = std::min(d, samples.size() * bytes);
    std::vector<uint8_t> v(sound::kWavHeaderBytes + stored + 32, kPadMark);
    sound::WavFormat format;
    format.channels = static_cast<uint16_t>(channels);
    format.bitsPerSample = static_cast<uint16_t>(bits);
    format.rate = rate;
    sound::writeWavHeader(v.data(), format, static_cast<uint32_t>(d));
    for (size_t i = 0; i * bytes < stored; ++i) {
        if (bits == 16)
            put16(v, 44 + 2 * i, static_cast<uint32_t>(samples[i]));
        else
            v[44 + i] = static_cast<uint8_t>(samples[i]);
    }
    return v;
}

inline std::vector<uint8_t> sine16(uint32_t rate, int frames, double freq, int amplitude)
{
    std::vector<int> s(frames);
    for (int i = 0; i < frames; ++i)
        s[i] = static_cast<int>(std::lround(amplitude * std::sin(2 * std::numbers::pi * freq * i / rate)));
    return makeImage(1, 16, rate, s);
}

inline void append(std::vector<uint8_t> &v, const uint8_t *first, const uint8_t *last)
{
    const size_t at = v.size();
    v.resize(at + static_cast<size_t>(last - first));
    std::copy(first, last, v.begin() + static_cast<std::ptrdiff_t>(at));
}

inline std::vector<float> render(SdlSoundPlayer &p, int frames)
{
    std::vector<float> out(2 * frames, -99.0f);
    p.render(out.data(), frames);
    return out;
}

inline float s16(int v)
{
    return static_cast<float>(v) / 32768.0f;
}

inline bool allZero(const std::vector<float> &v)
{
    for (float x : v)
        if (x != 0.0f)
            return false;
    return true;
}

// Plays a copy of `image` that the player alone owns.
inline bool play(SdlSoundPlayer &p, const std::vector<uint8_t> &image, uint32_t flags)
{
    return p.playSound(sound::shareImage(image), flags);
}

// A player with no device; the test is its audio clock.
inline SdlSoundPlayer::Options plainOptions(bool ramps)
{
    SdlSoundPlayer::Options o;
    o.ramps = ramps;
    o.deviceThread = false;
    return o;
}

} // namespace playertest
