// Placeholder until the SDL2 player lands: plays nothing.
#include "framework/FakeSoundPlayer.h"

#include <memory>

namespace framework {
std::unique_ptr<SoundPlayer> createDefaultSoundPlayer()
{
    return std::make_unique<FakeSoundPlayer>();
}
} // namespace framework
