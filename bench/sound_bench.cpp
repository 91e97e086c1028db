// The player's audio callback on a steady endless tone and during ramps, against a memcpy of
// the callback's output from the same run.
#include "MemcpyBaseline.h"
#include "sound/SdlSoundPlayer.h"
#include "sound/WavFormat.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using sound::SdlSoundPlayer;

// One second of 16-bit sine at 96000/s, mono or stereo.
std::vector<uint8_t> Sine(int channels)
{
    const uint32_t rate = 96000;
    std::vector<uint8_t> image(sound::kWavHeaderBytes + size_t(rate) * 2 * channels);
    sound::WavFormat format;
    format.channels = uint16_t(channels);
    format.bitsPerSample = 16;
    format.rate = rate;
    sound::writeWavHeader(image.data(), format, uint32_t(image.size() - sound::kWavHeaderBytes));
    for (size_t i = 0; i < size_t(rate) * channels; ++i) {
        const auto v = int16_t(
            std::lround(20000 * std::sin(2 * std::numbers::pi * 1000.0 * double(i / channels) / rate)));
        image[sound::kWavHeaderBytes + 2 * i] = uint8_t(v);
        image[sound::kWavHeaderBytes + 2 * i + 1] = uint8_t(uint16_t(v) >> 8);
    }
    return image;
}

// range(0): channels; range(1): 1 = a stop and a new start every callback (ramps all the time).
void BM_PlayerCallback(benchmark::State &state)
{
    SdlSoundPlayer::Options options;
    options.deviceThread = false;
    SdlSoundPlayer player(nullptr, options);
    const auto image = Sine(int(state.range(0)));
    const bool ramping = state.range(1) != 0;
    const sound::SoundImage shared = sound::shareImage(image);
    player.playSound(shared, sound::SND_MEMORY | sound::SND_ASYNC | sound::SND_LOOP);
    std::vector<float> out(2 * SdlSoundPlayer::kBufferFrames);
    bench::Measure(state, SdlSoundPlayer::kBufferFrames * 2, 1, [&] {
        if (ramping)
            player.playSound(shared, sound::SND_MEMORY | sound::SND_ASYNC | sound::SND_LOOP);
        player.render(out.data(), SdlSoundPlayer::kBufferFrames);
        benchmark::DoNotOptimize(out.data());
    });
}
BENCHMARK(BM_PlayerCallback)->Args({1, 0})->Args({2, 0})->Args({1, 1});

} // namespace

BENCHMARK_MAIN();
