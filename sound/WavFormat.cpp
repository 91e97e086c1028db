#include "sound/WavFormat.h"

#include <algorithm>
#include <cstring>

namespace sound {

namespace {

// Rates outside this range cannot be opened by every backend; such an image is treated as malformed
// rather than allowed to turn the device off for good.
constexpr uint32_t kMinRate = 1000;
constexpr uint32_t kMaxRate = 384000;

uint16_t le16(const uint8_t *p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t le32(const uint8_t *p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void put16(uint8_t *p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool hasId(const uint8_t *p, const char *id)
{
    return std::memcmp(p, id, 4) == 0;
}

} // namespace

void writeWavHeader(uint8_t *header, const WavFormat &format, uint32_t dataBytes)
{
    const uint32_t block = static_cast<uint32_t>(format.frameBytes());
    std::memcpy(header, "RIFF", 4);
    put32(header + 4, dataBytes + 36);
    std::memcpy(header + 8, "WAVE", 4);
    std::memcpy(header + 12, "fmt ", 4);
    put32(header + 16, 16);
    put16(header + 20, 1);
    put16(header + 22, format.channels);
    put32(header + 24, format.rate);
    put32(header + 28, format.rate * block);
    put16(header + 32, block);
    put16(header + 34, format.bitsPerSample);
    std::memcpy(header + 36, "data", 4);
    put32(header + 40, dataBytes);
}

std::optional<WavFormat> parseWav(const uint8_t *image, size_t size)
{
    if (!image || size < 12 || !hasId(image, "RIFF") || !hasId(image + 8, "WAVE"))
        return std::nullopt;

    WavFormat format;
    bool haveFormat = false;
    size_t offset = 12;
    // Invariant: offset <= size, so the subtractions below cannot wrap.
    while (size - offset >= 8) {
        const uint8_t *chunk = image + offset;
        const uint32_t length = le32(chunk + 4);
        const size_t body = offset + 8;
        const size_t available = size - body;
        if (hasId(chunk, "fmt ")) {
            if (length < 16 || available < 16)
                return std::nullopt;
            const uint8_t *f = image + body;
            const uint16_t tag = le16(f);
            format.channels = le16(f + 2);
            format.rate = le32(f + 4);
            const uint16_t blockAlign = le16(f + 12);
            format.bitsPerSample = le16(f + 14);
            if (tag != 1 || format.channels < 1 || format.channels > 2 ||
                (format.bitsPerSample != 8 && format.bitsPerSample != 16) || format.rate < kMinRate ||
                format.rate > kMaxRate || blockAlign != format.frameBytes())
                return std::nullopt;
            haveFormat = true;
        } else if (hasId(chunk, "data")) {
            if (!haveFormat)
                return std::nullopt;
            const size_t bytes = std::min<size_t>(length, available);
            format.dataOffset = body;
            format.frames = bytes / format.frameBytes();
            return format;
        }
        // Chunks are word aligned; one that runs past the end leaves no data chunk to find.
        const size_t step = static_cast<size_t>(length) + (length & 1u);
        if (step > available)
            return std::nullopt;
        offset = body + step;
    }
    return std::nullopt;
}

} // namespace sound
