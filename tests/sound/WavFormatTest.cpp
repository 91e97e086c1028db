#include "sound/WavFormat.h"
#include "tests/sound/PlayerTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace playertest;

// What the writer puts down the parser reads back, for every format the generator makes and the
// limits the parser takes; the header is always the 44 canonical bytes.
TEST(WavFormat, WrittenHeaderParsesBack)
{
    for (const uint16_t channels : {1, 2})
        for (const uint16_t bits : {8, 16})
            for (const uint32_t rate : {1000u, 44100u, 96000u, 384000u})
                for (const uint32_t dataBytes : {0u, 1u, 7u, 1323u, 384000u}) {
                    SCOPED_TRACE(testing::Message() << channels << " ch " << bits << " bit " << rate << " Hz "
                                                    << dataBytes << " bytes");
                    sound::WavFormat format;
                    format.channels = channels;
                    format.bitsPerSample = bits;
                    format.rate = rate;
                    std::vector<uint8_t> image(sound::kWavHeaderBytes + dataBytes + 32, 0);
                    sound::writeWavHeader(image.data(), format, dataBytes);
                    const auto read = sound::parseWav(image.data(), image.size());
                    ASSERT_TRUE(read);
                    EXPECT_EQ(read->channels, channels);
                    EXPECT_EQ(read->bitsPerSample, bits);
                    EXPECT_EQ(read->rate, rate);
                    EXPECT_EQ(read->dataOffset, sound::kWavHeaderBytes);
                    EXPECT_EQ(read->frames, dataBytes / format.frameBytes());
                    EXPECT_EQ(std::memcmp(image.data(), "RIFF", 4), 0);
                    EXPECT_EQ(std::memcmp(image.data() + 8, "WAVEfmt ", 8), 0);
                    EXPECT_EQ(std::memcmp(image.data() + 36, "data", 4), 0);
                }
}

// Rates no output opens are refused though the header is well formed.
TEST(WavFormat, RefusesRatesOutsideWhatOutputsOpen)
{
    for (const uint32_t rate : {999u, 384001u}) {
        sound::WavFormat format;
        format.channels = 1;
        format.bitsPerSample = 16;
        format.rate = rate;
        std::vector<uint8_t> image(sound::kWavHeaderBytes + 8, 0);
        sound::writeWavHeader(image.data(), format, 8);
        EXPECT_FALSE(sound::parseWav(image.data(), image.size())) << rate;
    }
}

TEST(WavFormat, ReadsFormatAndClampsDataToWhatIsGiven)
{
    const auto mono = makeImage(1, 16, 96000, {1, 2, 3}, 7); // odd D: the half frame is dropped
    auto f = sound::parseWav(mono.data(), mono.size());
    ASSERT_TRUE(f);
    EXPECT_EQ(f->channels, 1);
    EXPECT_EQ(f->bitsPerSample, 16);
    EXPECT_EQ(f->rate, 96000u);
    EXPECT_EQ(f->dataOffset, 44u);
    EXPECT_EQ(f->frames, 3u);

    // D claims 1000 bytes, only 6 are there (plus the pad, which belongs to no chunk but is
    // inside the given size): at most what is given is read.
    const auto longer = makeImage(2, 8, 44100, {1, 2, 3, 4, 5, 6}, 1000);
    f = sound::parseWav(longer.data(), longer.size());
    ASSERT_TRUE(f);
    EXPECT_EQ(f->frames, (6u + 32u) / 2u);
    f = sound::parseWav(longer.data(), 44 + 6);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->frames, 3u);

    // Unknown chunks before the data are skipped, odd ones with their pad byte.
    std::vector<uint8_t> withList;
    const uint8_t list[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    append(withList, mono.data(), mono.data() + 36);
    append(withList, std::begin(list), std::end(list));
    append(withList, mono.data() + 36, mono.data() + mono.size());
    f = sound::parseWav(withList.data(), withList.size());
    ASSERT_TRUE(f);
    EXPECT_EQ(f->dataOffset, 44u + 12u);
    EXPECT_EQ(f->frames, 3u);
}

TEST(WavFormat, RejectsMalformedImagesWithoutReadingPastTheEnd)
{
    const auto good = makeImage(2, 16, 44100, {100, -100, 200, -200});
    // Every truncation inside the header, each in an allocation of exactly that size so that
    // the address sanitizer sees any read beyond it.
    for (size_t n = 0; n < 44; ++n) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + n);
        EXPECT_FALSE(sound::parseWav(cut.data(), cut.size())) << "size " << n;
    }
    for (size_t n = 44; n <= good.size(); ++n) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + n);
        auto f = sound::parseWav(cut.data(), cut.size());
        ASSERT_TRUE(f) << "size " << n;
        EXPECT_EQ(f->frames, std::min<size_t>(n - 44, 8) / 4) << "size " << n;
    }
    EXPECT_FALSE(sound::parseWav(nullptr, 100));

    struct Mutation
    {
        const char *what;
        size_t at;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Mutation> mutations = {
        {"RIFF id", 0, {'R', 'I', 'F', 'X'}},
        {"WAVE id", 8, {'W', 'A', 'V', 'X'}},
        {"no fmt chunk", 12, {'f', 'm', 't', 'x'}},
        {"fmt too short", 16, {14, 0, 0, 0}},
        {"fmt length past the end", 16, {0xF0, 0xFF, 0xFF, 0xFF}},
        {"float format", 20, {3, 0}},
        {"no channels", 22, {0, 0}},
        {"three channels", 22, {3, 0}},
        {"24-bit", 34, {24, 0}},
        {"block align", 32, {2, 0}},
        {"rate 0", 24, {0, 0, 0, 0}},
        {"no data chunk", 36, {'d', 'a', 't', 'x'}},
    };
    for (const Mutation &m : mutations) {
        auto bad = good;
        std::memcpy(bad.data() + m.at, m.bytes.data(), m.bytes.size());
        EXPECT_FALSE(sound::parseWav(bad.data(), bad.size())) << m.what;
    }

    // Data before the format chunk cannot be interpreted.
    std::vector<uint8_t> swapped;
    append(swapped, good.data(), good.data() + 12);
    append(swapped, good.data() + 36, good.data() + 44 + 8);
    append(swapped, good.data() + 12, good.data() + 36);
    EXPECT_FALSE(sound::parseWav(swapped.data(), swapped.size()));
}
