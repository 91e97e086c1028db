// Plays a generated sine through the process-wide player for a while, then stops and stays
// alive a little longer so a recording can show that the stop silenced the output.
//
// player_probe [--freq HZ] [--rate FPS] [--amplitude A] [--volume WORD] [--flags F]
//              [--play-ms MS] [--after-ms MS]
#include "sound/SoundPlayer.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

namespace {

void put(std::vector<uint8_t> &v, size_t at, uint32_t x, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

// One second of 16-bit mono sine; a whole number of periods when freq is an integer, so
// the loop has no seam. 32 silent bytes follow the data, as the tone generator leaves them.
std::vector<uint8_t> sineImage(uint32_t rate, double freq, int amplitude)
{
    const uint32_t d = rate * 2;
    std::vector<uint8_t> v(44 + d + 32, 0);
    std::memcpy(v.data(), "RIFF", 4);
    put(v, 4, d + 36, 4);
    std::memcpy(v.data() + 8, "WAVEfmt ", 8);
    put(v, 16, 16, 4);
    put(v, 20, 1, 2);
    put(v, 22, 1, 2);
    put(v, 24, rate, 4);
    put(v, 28, rate * 2, 4);
    put(v, 32, 2, 2);
    put(v, 34, 16, 2);
    std::memcpy(v.data() + 36, "data", 4);
    put(v, 40, d, 4);
    for (uint32_t i = 0; i < rate; ++i) {
        const long s = std::lround(amplitude * std::sin(2 * std::numbers::pi * freq * i / rate));
        put(v, 44 + 2 * i, static_cast<uint32_t>(static_cast<int16_t>(s)), 2);
    }
    return v;
}

} // namespace

int main(int argc, char **argv)
{
    double freq = 1000;
    uint32_t rate = 96000;
    int amplitude = 16384;
    uint32_t volume = 0x7FFFFFFF;
    uint32_t flags = sound::SND_MEMORY | sound::SND_ASYNC | sound::SND_LOOP;
    long playMs = 3000;
    long afterMs = 1000;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char *value = argv[i + 1];
        if (name == "--freq")
            freq = std::strtod(value, nullptr);
        else if (name == "--rate")
            rate = static_cast<uint32_t>(std::strtoul(value, nullptr, 0));
        else if (name == "--amplitude")
            amplitude = static_cast<int>(std::strtol(value, nullptr, 0));
        else if (name == "--volume")
            volume = static_cast<uint32_t>(std::strtoul(value, nullptr, 0));
        else if (name == "--flags")
            flags = static_cast<uint32_t>(std::strtoul(value, nullptr, 0));
        else if (name == "--play-ms")
            playMs = std::strtol(value, nullptr, 0);
        else if (name == "--after-ms")
            afterMs = std::strtol(value, nullptr, 0);
        else {
            std::fprintf(stderr, "player_probe: unknown option %s\n", name.c_str());
            return 2;
        }
    }

    const std::vector<uint8_t> image = sineImage(rate, freq, amplitude);
    sound::SoundPlayer &player = sound::soundPlayer();
    player.setVolume(0, volume);
    if (!player.playSound(image.data(), image.size(), flags)) {
        std::fprintf(stderr, "player_probe: the player did not take the image\n");
        return 1;
    }
    std::printf("playing %g Hz at %u/s, volume 0x%08X, flags %u\n", freq, rate, volume, flags);
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(playMs));
    player.stop();
    std::printf("stopped\n");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(afterMs));
    return 0;
}
