#include "framework/SdlSoundPlayer.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace framework {

namespace {

constexpr uint32_t kWaveCapsVolume = 0x0004;
constexpr uint32_t kInvalidParam = 11;
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

bool hasId(const uint8_t *p, const char *id)
{
    return std::memcmp(p, id, 4) == 0;
}

} // namespace

std::optional<WaveImageFormat> parseWaveImage(const uint8_t *image, size_t size)
{
    if (!image || size < 12 || !hasId(image, "RIFF") || !hasId(image + 8, "WAVE"))
        return std::nullopt;

    WaveImageFormat format;
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
                format.rate > kMaxRate || blockAlign != format.channels * (format.bitsPerSample / 8))
                return std::nullopt;
            haveFormat = true;
        } else if (hasId(chunk, "data")) {
            if (!haveFormat)
                return std::nullopt;
            const size_t bytes = std::min<size_t>(length, available);
            format.dataOffset = body;
            format.frames = bytes / (format.channels * (format.bitsPerSample / 8));
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

SdlSoundPlayer::SdlSoundPlayer(Output output, std::string deviceName)
    : m_output(output), m_deviceName(std::move(deviceName))
{
    // SDL asks a PulseAudio server for one callback buffer of slack (about 5 ms), which runs dry
    // whenever other programs keep the processors busy, and the tone then clicks. 30 ms of slack
    // is still far below what a hand on the button notices; a user's own setting stays. Set here
    // rather than at the first play because a program creates its player before starting threads.
    if (m_output == Output::Device)
        setenv("PULSE_LATENCY_MSEC", "30", 0);
}

SdlSoundPlayer::~SdlSoundPlayer()
{
    stop();
    if (m_device)
        SDL_CloseAudioDevice(m_device);
    if (m_sdlInitialised)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlSoundPlayer::playSound(const uint8_t *image, size_t size, uint32_t flags)
{
    stop();
    if (!image)
        return true;
    const std::optional<WaveImageFormat> format = parseWaveImage(image, size);
    if (!format)
        return false;
    if (m_output == Output::Device && !ensureDevice(format->rate))
        return false;

    // A loop never blocks, even without SND_ASYNC: the caller could not get control back to stop it.
    const bool loop = (flags & SND_LOOP) != 0;
    const bool async = loop || (flags & SND_ASYNC) != 0;
    uint64_t generation = 0;
    {
        std::lock_guard lock(m_mutex);
        m_data = image;
        m_format = *format;
        m_position = 0;
        m_loop = loop;
        m_playing = true;
        generation = ++m_generation;
        m_start = StartMark{};
        m_start.renderedAtPlay = m_rendered;
        m_start.playCalled = std::chrono::steady_clock::now();
    }
    setDevicePaused(false);
    if (async)
        return true;

    // Waits for the callback to reach the end. The deadline only guards against an output that stops
    // calling back (a server gone away); a working device, even the dummy one, ends the sound first.
    const double seconds = static_cast<double>(format->frames) / format->rate;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                               std::chrono::duration<double>(2.0 * seconds + 2.0));
    {
        std::unique_lock lock(m_mutex);
        const bool ended =
            m_ended.wait_until(lock, deadline, [&] { return !m_playing || m_generation != generation; });
        if (!ended) {
            m_playing = false;
            m_data = nullptr;
            ++m_generation;
        }
    }
    setDevicePaused(true);
    return true;
}

void SdlSoundPlayer::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_playing = false;
        m_data = nullptr;
        ++m_generation;
    }
    m_ended.notify_all();
    setDevicePaused(true);
}

uint32_t SdlSoundPlayer::setVolume(uint32_t, uint32_t volume)
{
    m_volume.store(volume, std::memory_order_relaxed);
    return MMSYSERR_NOERROR;
}

uint32_t SdlSoundPlayer::getVolume(uint32_t, uint32_t *volume)
{
    if (!volume)
        return kInvalidParam;
    *volume = m_volume.load(std::memory_order_relaxed);
    return MMSYSERR_NOERROR;
}

uint32_t SdlSoundPlayer::getDevCaps(uint32_t, WaveOutCaps *caps, uint32_t capsSize)
{
    if (!caps)
        return kInvalidParam;
    WaveOutCaps filled;
    filled.vDriverVersion = 0x0100;
    std::snprintf(filled.szPname, sizeof filled.szPname, "%s", "SDL audio output");
    filled.wChannels = 2;
    filled.dwSupport = kWaveCapsVolume | WAVECAPS_LRVOLUME;
    std::memcpy(static_cast<void *>(caps), &filled, std::min<size_t>(capsSize, sizeof filled));
    return MMSYSERR_NOERROR;
}

void SdlSoundPlayer::render(float *out, int frames)
{
    if (!out || frames <= 0)
        return;
    const uint32_t volume = m_volume.load(std::memory_order_relaxed);
    const float gainLeft = static_cast<float>(volume & 0xFFFFu) / 65535.0f;
    const float gainRight = static_cast<float>(volume >> 16) / 65535.0f;

    bool ended = false;
    int done = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_playing && !m_start.started) {
            m_start.started = true;
            m_start.firstSoundFrame = m_rendered;
            m_start.firstSoundRendered = std::chrono::steady_clock::now();
        }
        const size_t total = m_format.frames;
        if (m_playing && total == 0) {
            m_playing = false;
            m_data = nullptr;
            ended = true;
        }
        if (m_playing) {
            const uint8_t *samples = m_data + m_format.dataOffset;
            const bool stereo = m_format.channels == 2;
            const bool wide = m_format.bitsPerSample == 16;
            const size_t frameBytes = static_cast<size_t>(m_format.channels) * (wide ? 2 : 1);
            while (done < frames) {
                const size_t run = std::min<size_t>(static_cast<size_t>(frames - done), total - m_position);
                const uint8_t *p = samples + m_position * frameBytes;
                float *o = out + 2 * static_cast<size_t>(done);
                for (size_t i = 0; i < run; ++i, p += frameBytes, o += 2) {
                    float left;
                    float right;
                    if (wide) {
                        left = static_cast<float>(static_cast<int16_t>(le16(p))) / 32768.0f;
                        right =
                            stereo ? static_cast<float>(static_cast<int16_t>(le16(p + 2))) / 32768.0f : left;
                    } else {
                        left = static_cast<float>(p[0] - 128) / 128.0f;
                        right = stereo ? static_cast<float>(p[1] - 128) / 128.0f : left;
                    }
                    o[0] = left * gainLeft;
                    o[1] = right * gainRight;
                }
                done += static_cast<int>(run);
                m_position += run;
                if (m_position >= total) {
                    if (!m_loop) {
                        m_playing = false;
                        m_data = nullptr;
                        ended = true;
                        break;
                    }
                    m_position = 0;
                }
            }
        }
        m_rendered += static_cast<uint64_t>(frames);
    }
    std::fill(out + 2 * static_cast<size_t>(done), out + 2 * static_cast<size_t>(frames), 0.0f);
    if (ended)
        m_ended.notify_all();
}

bool SdlSoundPlayer::isPlaying() const
{
    std::lock_guard lock(m_mutex);
    return m_playing;
}

bool SdlSoundPlayer::hasOutput() const
{
    return !m_silent.load();
}

uint32_t SdlSoundPlayer::deviceRate() const
{
    return m_deviceRate.load();
}

SdlSoundPlayer::StartMark SdlSoundPlayer::lastStart() const
{
    std::lock_guard lock(m_mutex);
    return m_start;
}

uint64_t SdlSoundPlayer::framesRendered() const
{
    std::lock_guard lock(m_mutex);
    return m_rendered;
}

bool SdlSoundPlayer::ensureDevice(uint32_t rate)
{
    if (m_silent.load())
        return false;
    if (m_device && m_deviceRate.load() == rate)
        return true;
    if (!m_sdlInitialised) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            reportNoDevice(SDL_GetError());
            return false;
        }
        m_sdlInitialised = true;
    }
    if (m_device) {
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
        m_deviceRate.store(0);
    }
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(rate);
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = kBufferFrames;
    wanted.callback = &SdlSoundPlayer::audioCallback;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the backend really runs, and the callback keeps
    // getting stereo float at the image's rate in buffers of kBufferFrames.
    m_device =
        SDL_OpenAudioDevice(m_deviceName.empty() ? nullptr : m_deviceName.c_str(), 0, &wanted, &obtained, 0);
    if (!m_device) {
        reportNoDevice(SDL_GetError());
        return false;
    }
    m_deviceRate.store(rate);
    return true;
}

void SdlSoundPlayer::reportNoDevice(const char *why)
{
    if (m_silent.exchange(true))
        return;
    std::fprintf(stderr, "soundgen: no audio device (%s); running silently\n",
                 why && *why ? why : "unknown reason");
}

void SdlSoundPlayer::setDevicePaused(bool paused)
{
    if (m_device)
        SDL_PauseAudioDevice(m_device, paused ? 1 : 0);
}

void SdlSoundPlayer::audioCallback(void *userdata, uint8_t *stream, int len)
{
    auto *player = static_cast<SdlSoundPlayer *>(userdata);
    player->render(reinterpret_cast<float *>(stream), len / static_cast<int>(2 * sizeof(float)));
}

std::unique_ptr<SoundPlayer> createDefaultSoundPlayer()
{
    return std::make_unique<SdlSoundPlayer>();
}

} // namespace framework
