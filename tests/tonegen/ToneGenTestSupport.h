#pragma once

#include "sound/WavFormat.h"
#include "tests/support/FakeSoundPlayer.h"
#include "tonegen/ToneGen.h"

#include <cstdint>
#include <cstring>
#include <vector>

using tonegen::TToneGen;

// Opens the internal operations and build flags to the tests.
class ProbeToneGen : public TToneGen
{
public:
    using TToneGen::CheckRange;
    using TToneGen::EnvelopeStale;
    using TToneGen::HasEnvelope;
    using TToneGen::Idle;
    using TToneGen::NeedsBuild;
    using TToneGen::TToneGen;

    std::vector<uint8_t> Image() const
    {
        const uint8_t *p = GetDataBuffer();
        return p ? std::vector<uint8_t>(p, p + GetDataBufferSize()) : std::vector<uint8_t>{};
    }
};

inline uint32_t Le32(const std::vector<uint8_t> &b, size_t at)
{
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

inline uint16_t Le16(const std::vector<uint8_t> &b, size_t at)
{
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

// 16-bit sample `frame` of the left (or right) channel of an image.
inline int16_t Sample16(const std::vector<uint8_t> &image, int64_t frame, bool stereo, int channel = 0)
{
    const size_t at = sound::kWavHeaderBytes + static_cast<size_t>(frame) * (stereo ? 4 : 2) +
                      static_cast<size_t>(channel) * 2;
    return static_cast<int16_t>(Le16(image, at));
}

inline uint8_t Sample8(const std::vector<uint8_t> &image, int64_t frame, bool stereo, int channel = 0)
{
    return image[sound::kWavHeaderBytes + static_cast<size_t>(frame) * (stereo ? 2 : 1) +
                 static_cast<size_t>(channel)];
}

// Number of calls named `what`; a build stops the player once while a sound runs.
inline int CountCalls(const sound::FakeSoundPlayer &player, const char *what)
{
    int n = 0;
    for (const auto &c : player.calls)
        n += c.what == what ? 1 : 0;
    return n;
}
