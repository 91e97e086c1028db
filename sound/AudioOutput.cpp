#include "sound/AudioOutput.h"

#include <SDL.h>

#include <cstdlib>
#include <string>
#include <utility>

namespace sound {

SdlAudioOutput::SdlAudioOutput(std::string deviceName) : m_deviceName(std::move(deviceName)) {}

SdlAudioOutput::~SdlAudioOutput()
{
    reset();
}

bool SdlAudioOutput::open(uint32_t rate, int bufferFrames, int slackMilliseconds, Callback callback,
                          void *user, std::string &error)
{
    close();
    if (m_restart)
        reset();
    if (!m_initialised) {
        // SDL's audio brings up its event queue, which would otherwise take over SIGINT and SIGTERM
        // and leave the program running when asked to end.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error = SDL_GetError();
            return false;
        }
        m_initialised = true;
    }
    // SDL asks a PulseAudio server for one callback buffer (about 5 ms), which runs dry whenever
    // the machine stalls; the client library takes the slack from the environment at each open.
    // The player set the variable before any thread started, so this replaces one pointer.
    if (slackMilliseconds > 0)
        setenv("PULSE_LATENCY_MSEC", std::to_string(slackMilliseconds).c_str(), 1);
    m_callback = callback;
    m_user = user;
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(rate);
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = static_cast<uint16_t>(bufferFrames);
    wanted.callback = &SdlAudioOutput::sdlCallback;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the backend really runs, and the callback keeps
    // getting stereo float at the asked rate in buffers of the asked size.
    m_device =
        SDL_OpenAudioDevice(m_deviceName.empty() ? nullptr : m_deviceName.c_str(), 0, &wanted, &obtained, 0);
    if (!m_device) {
        error = SDL_GetError();
        // The driver chosen at start may be the wrong one now (no server then, one now).
        m_restart = true;
        return false;
    }
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void SdlAudioOutput::close()
{
    if (m_device) {
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }
}

bool SdlAudioOutput::lost()
{
    // SDL marks a removed device stopped in the same step that posts its removal event.
    return m_device && SDL_GetAudioDeviceStatus(m_device) == SDL_AUDIO_STOPPED;
}

void SdlAudioOutput::reset()
{
    close();
    if (m_initialised)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_initialised = false;
    m_restart = false;
}

std::vector<std::string> sdlOutputDeviceNames()
{
    std::vector<std::string> names;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return names;
    const int count = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < count; ++i)
        if (const char *name = SDL_GetAudioDeviceName(i, 0))
            names.emplace_back(name);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return names;
}

void SdlAudioOutput::sdlCallback(void *userdata, uint8_t *stream, int len)
{
    auto *self = static_cast<SdlAudioOutput *>(userdata);
    self->m_callback(self->m_user, reinterpret_cast<float *>(stream),
                     len / static_cast<int>(2 * sizeof(float)));
}

} // namespace sound
