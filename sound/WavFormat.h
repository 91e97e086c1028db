#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace sound {

// Bytes before the samples in an image of the canonical layout (RIFF, fmt and data headers).
constexpr size_t kWavHeaderBytes = 44;

// A PCM RIFF/WAVE image's format, and where its samples lie inside the image.
struct WavFormat
{
    uint16_t channels = 0;      // 1 or 2
    uint16_t bitsPerSample = 0; // 8 (unsigned) or 16 (signed little-endian)
    uint32_t rate = 0;          // frames per second
    size_t dataOffset = 0;      // start of the samples within the image
    size_t frames = 0;          // whole frames of the data chunk that lie inside the image

    size_t frameBytes() const { return size_t{channels} * (bitsPerSample / 8u); }
};

// Writes the canonical 44-byte header for `dataBytes` bytes of samples in `format`
// (dataOffset and frames are not read).
void writeWavHeader(uint8_t *header, const WavFormat &format, uint32_t dataBytes);

// Reads the format and data chunks of an image of `size` bytes. Never reads past `size`; a data
// chunk that claims more than is there is cut to what is there, and a trailing partial frame is
// dropped. nullopt when the image is not 8/16-bit PCM with one or two channels at a rate every
// output can open, or has no data chunk after its format chunk.
std::optional<WavFormat> parseWav(const uint8_t *image, size_t size);

} // namespace sound
