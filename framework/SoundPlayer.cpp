#include "framework/SoundPlayer.h"

#include <memory>

namespace framework {

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

} // namespace framework
