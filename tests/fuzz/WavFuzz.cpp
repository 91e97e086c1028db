// Images handed to the player: the header check never lets the player read outside the image,
// a refused image is not played, and an accepted one plays exactly its whole frames.
#include "sound/SdlSoundPlayer.h"
#include "sound/WavFormat.h"
#include "tests/fuzz/FuzzSupport.h"

#include <vector>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::StartApplication(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // An exact-size copy, so a read past the end is caught.
    std::vector<uint8_t> image(data, data + size);
    const uint8_t *bytes = image.empty() ? nullptr : image.data();
    const auto format = sound::parseWav(bytes, image.size());
    if (format) {
        FUZZ_CHECK(format->channels == 1 || format->channels == 2);
        FUZZ_CHECK(format->bitsPerSample == 8 || format->bitsPerSample == 16);
        FUZZ_CHECK(format->dataOffset <= image.size());
        FUZZ_CHECK(format->frames <= (image.size() - format->dataOffset) / format->frameBytes());
    }

    static sound::SdlSoundPlayer *player = [] {
        sound::SdlSoundPlayer::Options options;
        options.deviceThread = false;
        options.ramps = true;
        return new sound::SdlSoundPlayer(nullptr, options);
    }();
    // The player gets its own exact-size copy, released when it lets go.
    const sound::SoundImage shared = bytes ? sound::shareImage(image) : sound::SoundImage{};
    const bool played = player->playSound(shared, sound::SND_MEMORY | sound::SND_ASYNC);
    FUZZ_CHECK(played == (format.has_value() || bytes == nullptr));
    if (!format) {
        FUZZ_CHECK(!player->isPlaying());
        return 0;
    }
    // Some of the sound, bounded: every sample the player hands on is finite and within full scale.
    std::vector<float> out(2 * 1024);
    for (int round = 0; round < 16 && player->isPlaying(); ++round) {
        player->render(out.data(), 1024);
        for (const float sample : out)
            FUZZ_CHECK(sample >= -1.0f && sample <= 1.0f);
    }
    player->stop();
    FUZZ_CHECK(!player->isPlaying());
    return 0;
}
