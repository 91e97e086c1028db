#include "sound/SdlSoundPlayer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numbers>
#include <string>
#include <utility>

namespace sound {

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

namespace {

// Gain of frame `k` of a fade-in of `n` frames (raised cosine); a fade-out uses one minus it, so a
// crossfade keeps the level.
float rampGain(int k, int n)
{
    if (k >= n)
        return 1.0f;
    return static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * (k + 1) / (n + 1)));
}

} // namespace

SdlSoundPlayer::SdlSoundPlayer(Output output, std::string deviceName)
    : SdlSoundPlayer(output == Output::Device ? std::make_unique<SdlAudioOutput>(std::move(deviceName))
                                              : nullptr,
                     Options{rampsWantedByEnvironment()})
{
}

namespace {

// The amount of sound a PulseAudio server holds for the player, as asked for in the environment.
int slackFromEnvironment(int fallback)
{
    const char *text = std::getenv("PULSE_LATENCY_MSEC");
    if (!text || !*text)
        return fallback;
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return *end == '\0' && value > 0 && value <= 10000 ? static_cast<int>(value) : fallback;
}

} // namespace

SdlSoundPlayer::SdlSoundPlayer(std::unique_ptr<AudioOutput> output, Options options)
    : m_external(!output), m_device(std::move(output)), m_options(options),
      m_slackMilliseconds(slackFromEnvironment(kServerSlackMilliseconds)), m_ramps(options.ramps)
{
    if (!m_device)
        return;
    // SDL asks a PulseAudio server for one callback buffer of slack (about 5 ms), which runs dry
    // whenever the machine stalls, and the tone then has a gap or a click. Hour-long runs still
    // saw stalls of 20-40 ms, which 30 ms of slack (about half of it usable) did not cover; a
    // start or a knob step now sounds within about a tenth of a second. A user's own setting
    // stays. Set here rather than at the first play because a program creates its player before
    // starting threads.
    setenv("PULSE_LATENCY_MSEC", std::to_string(kServerSlackMilliseconds).c_str(), 0);
    if (m_options.deviceThread)
        m_thread = std::thread(&SdlSoundPlayer::deviceThreadMain, this);
}

SdlSoundPlayer::~SdlSoundPlayer()
{
    // Nothing would play a fade-out now, and the image may already be gone.
    setRamps(false);
    stop();
    if (m_thread.joinable()) {
        {
            std::lock_guard lock(m_requestMutex);
            m_quit = true;
        }
        m_requestChanged.notify_all();
        m_thread.join();
    }
    if (m_device)
        m_device->close();
}

bool SdlSoundPlayer::rampsWantedByEnvironment()
{
    const char *off = std::getenv("SOUNDGEN_NO_RAMPS");
    return !off || !*off || std::strcmp(off, "0") == 0;
}

void SdlSoundPlayer::setRamps(bool on)
{
    m_ramps.store(on);
}

bool SdlSoundPlayer::ramps() const
{
    return m_ramps.load();
}

int SdlSoundPlayer::rampFrames(uint32_t rate)
{
    return std::max(1, static_cast<int>((static_cast<uint64_t>(rate) * kRampMilliseconds + 500) / 1000));
}

bool SdlSoundPlayer::playSound(const uint8_t *image, size_t size, uint32_t flags)
{
    stop();
    if (!image)
        return true;
    const std::optional<WaveImageFormat> format = parseWaveImage(image, size);
    if (!format)
        return false;

    // A loop never blocks, even without SND_ASYNC: the caller could not get control back to stop it.
    const bool loop = (flags & SND_LOOP) != 0;
    const bool async = loop || (flags & SND_ASYNC) != 0;
    uint64_t generation = 0;
    {
        std::lock_guard lock(m_mutex);
        // A fade-out made at another rate could not follow on the device reopened for this one.
        if (m_tailRate != format->rate) {
            m_tail.clear();
            m_tailPosition = 0;
        }
        m_data = image;
        m_format = *format;
        m_position = 0;
        m_loop = loop;
        m_playing = true;
        m_rampLength = rampFrames(format->rate);
        m_fadeIn = m_ramps.load() ? m_rampLength : 0;
        generation = ++m_generation;
        m_start = StartMark{};
        m_start.renderedAtPlay = m_rendered;
        m_start.playCalled = std::chrono::steady_clock::now();
    }
    // The sound is in place first, so that a failed open finds it and ends it.
    if (m_device && (m_silent.load() || m_deviceRate.load() != format->rate))
        requestDevice(format->rate);
    if (async)
        return true;

    // Waits for the callback to reach the end. The deadline only guards against an output that stops
    // calling back before the device thread notices; a working device ends the sound first.
    const double seconds = static_cast<double>(format->frames) / format->rate;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                               std::chrono::duration<double>(2.0 * seconds + 2.0));
    std::unique_lock lock(m_mutex);
    const bool ended =
        m_ended.wait_until(lock, deadline, [&] { return !m_playing || m_generation != generation; });
    if (!ended) {
        dropSoundLocked(true);
        return false;
    }
    return m_failedGeneration != generation;
}

void SdlSoundPlayer::stop()
{
    {
        std::lock_guard lock(m_mutex);
        const size_t total = m_format.frames;
        const bool audible = m_external || (m_deviceRate.load() == m_format.rate && !m_silent.load());
        if (m_playing && total > 0 && audible && m_ramps.load()) {
            // The image may be gone once stop() returns, so the fade-out is taken from a copy of
            // what would have come next. An earlier fade-out still sounding fades with it, so the
            // gains never add up to more than one however fast stops and plays follow.
            const int n = m_rampLength;
            std::vector<float> tail(2 * static_cast<size_t>(n), 0.0f);
            if (m_tailRate != m_format.rate) {
                m_tail.clear();
                m_tailPosition = 0;
            }
            const size_t left = m_tail.size() - std::min(m_tail.size(), 2 * m_tailPosition);
            std::copy_n(m_tail.begin() + static_cast<std::ptrdiff_t>(m_tail.size() - left),
                        std::min(left, tail.size()), tail.begin());
            size_t position = m_position;
            int fadeIn = m_fadeIn;
            for (int k = 0; k < n; ++k, ++position) {
                if (position >= total) {
                    if (!m_loop)
                        break;
                    position = 0;
                }
                float l;
                float r;
                readFrame(position, l, r);
                if (fadeIn > 0) {
                    const float g = rampGain(m_rampLength - fadeIn--, m_rampLength);
                    l *= g;
                    r *= g;
                }
                tail[2 * k] += l;
                tail[2 * k + 1] += r;
            }
            for (int k = 0; k < n; ++k) {
                const float g = 1.0f - rampGain(k, n);
                tail[2 * k] *= g;
                tail[2 * k + 1] *= g;
            }
            m_tail.swap(tail);
            m_tailPosition = 0;
            m_tailRate = m_format.rate;
        }
        m_playing = false;
        m_data = nullptr;
        ++m_generation;
    }
    m_ended.notify_all();
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

void SdlSoundPlayer::readFrame(size_t frame, float &left, float &right) const
{
    const bool stereo = m_format.channels == 2;
    if (m_format.bitsPerSample == 16) {
        const uint8_t *p = m_data + m_format.dataOffset + frame * (stereo ? 4 : 2);
        left = static_cast<float>(static_cast<int16_t>(le16(p))) / 32768.0f;
        right = stereo ? static_cast<float>(static_cast<int16_t>(le16(p + 2))) / 32768.0f : left;
    } else {
        const uint8_t *p = m_data + m_format.dataOffset + frame * (stereo ? 2 : 1);
        left = static_cast<float>(p[0] - 128) / 128.0f;
        right = stereo ? static_cast<float>(p[1] - 128) / 128.0f : left;
    }
}

void SdlSoundPlayer::render(float *out, int frames)
{
    renderAt(out, frames, 0);
}

void SdlSoundPlayer::renderAt(float *out, int frames, uint32_t rate)
{
    if (!out || frames <= 0)
        return;
    const size_t count = static_cast<size_t>(frames);
    std::fill(out, out + 2 * count, 0.0f);
    const uint32_t volume = m_volume.load(std::memory_order_relaxed);
    const float targetLeft = static_cast<float>(volume & 0xFFFFu) / 65535.0f;
    const float targetRight = static_cast<float>(volume >> 16) / 65535.0f;
    const bool ramps = m_ramps.load();

    bool ended = false;
    std::lock_guard lock(m_mutex);
    // A sound at another rate waits silently for the device thread to reopen at its rate.
    const bool sounding = m_playing && (rate == 0 || rate == m_format.rate);
    if (sounding && !m_start.started) {
        m_start.started = true;
        m_start.firstSoundFrame = m_rendered;
        m_start.firstSoundRendered = std::chrono::steady_clock::now();
    }
    const size_t total = m_format.frames;
    if (sounding && total == 0) {
        m_playing = false;
        m_data = nullptr;
        ended = true;
        m_endedAt = m_rendered;
    }
    if (sounding && !ended) {
        size_t done = 0;
        while (done < count) {
            const size_t run = std::min(count - done, total - m_position);
            float *o = out + 2 * done;
            for (size_t i = 0; i < run; ++i, o += 2) {
                readFrame(m_position + i, o[0], o[1]);
                if (m_fadeIn > 0) {
                    const float g = rampGain(m_rampLength - m_fadeIn--, m_rampLength);
                    o[0] *= g;
                    o[1] *= g;
                }
            }
            done += run;
            m_position += run;
            if (m_position >= total) {
                if (!m_loop) {
                    m_playing = false;
                    m_data = nullptr;
                    ended = true;
                    m_endedAt = m_rendered + done;
                    break;
                }
                m_position = 0;
            }
        }
    }
    if (rate != 0 && rate != m_tailRate) {
        m_tail.clear();
        m_tailPosition = 0;
    }
    if (!m_tail.empty()) {
        const size_t n = std::min(count, m_tail.size() / 2 - m_tailPosition);
        const float *t = m_tail.data() + 2 * m_tailPosition;
        for (size_t i = 0; i < 2 * n; ++i)
            out[i] += t[i];
        m_tailPosition += n;
        if (2 * m_tailPosition >= m_tail.size()) {
            m_tail.clear();
            m_tailPosition = 0;
        }
    }

    const float fromLeft = ramps ? m_gainLeft : targetLeft;
    const float fromRight = ramps ? m_gainRight : targetRight;
    if (fromLeft == targetLeft && fromRight == targetRight) {
        for (size_t i = 0; i < count; ++i) {
            out[2 * i] *= targetLeft;
            out[2 * i + 1] *= targetRight;
        }
    } else {
        for (size_t i = 0; i < count; ++i) {
            const float t = static_cast<float>(i + 1) / static_cast<float>(count);
            out[2 * i] *= fromLeft + (targetLeft - fromLeft) * t;
            out[2 * i + 1] *= fromRight + (targetRight - fromRight) * t;
        }
    }
    m_gainLeft = targetLeft;
    m_gainRight = targetRight;
    m_rendered += count;
    if (m_drainUntil != 0 && m_rendered >= m_drainUntil) {
        m_drainUntil = 0;
        ended = true;
    }
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

bool SdlSoundPlayer::drain(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    if (m_playing)
        return false;
    if (!m_external && (m_silent.load() || m_deviceRate.load() == 0))
        return true;
    // The server holds up to its slack; the device's own buffers hold up to two callbacks more.
    const uint64_t held =
        static_cast<uint64_t>(m_format.rate) * static_cast<uint64_t>(m_slackMilliseconds) / 1000 +
        2 * static_cast<uint64_t>(kBufferFrames);
    const uint64_t target = m_endedAt + held;
    if (m_rendered >= target)
        return true;
    m_drainUntil = target;
    return m_ended.wait_for(lock, timeout, [&] { return m_rendered >= target || m_playing; }) && !m_playing;
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

void SdlSoundPlayer::requestDevice(uint32_t rate)
{
    {
        std::lock_guard lock(m_requestMutex);
        m_wantedRate = rate;
        m_tryOpen = true;
    }
    m_requestChanged.notify_all();
}

bool SdlSoundPlayer::waitForDevice(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_requestMutex);
    if (!m_thread.joinable())
        return !m_tryOpen;
    return m_requestChanged.wait_for(lock, timeout, [&] { return !m_tryOpen && !m_busy; });
}

void SdlSoundPlayer::deviceThreadMain()
{
    std::unique_lock lock(m_requestMutex);
    while (!m_quit) {
        m_busy = true;
        lock.unlock();
        serviceDevice(std::chrono::steady_clock::now());
        lock.lock();
        m_busy = false;
        m_requestChanged.notify_all();
        // Short enough to notice a lost device well within a second.
        m_requestChanged.wait_for(lock, std::chrono::milliseconds(20), [&] { return m_quit || m_tryOpen; });
    }
}

void SdlSoundPlayer::serviceDevice(std::chrono::steady_clock::time_point now)
{
    if (!m_device)
        return;
    uint32_t wanted = 0;
    bool tryOpen = false;
    {
        std::lock_guard lock(m_requestMutex);
        wanted = m_wantedRate;
        tryOpen = m_tryOpen;
        m_tryOpen = false;
    }
    bool looping = false;
    {
        // The sound in place decides the rate, whatever requests crossed on the way here.
        std::lock_guard lock(m_mutex);
        if (m_playing)
            wanted = m_format.rate;
        looping = m_playing && m_loop;
    }

    uint32_t rate = m_deviceRate.load();
    if (rate != 0) {
        const uint64_t rendered = framesRendered();
        if (rendered != m_watchRendered) {
            m_watchRendered = rendered;
            m_watchSince = now;
        }
        const char *why = nullptr;
        if (m_device->lost())
            why = "the device went away";
        else if (now - m_watchSince > m_options.watchdog)
            why = "the device stopped taking sound";
        if (why) {
            m_device->reset();
            m_deviceRate.store(0);
            m_silent.store(true);
            rate = 0;
            report("audio device lost", why);
            {
                std::lock_guard lock(m_mutex);
                if (m_playing && !m_loop)
                    dropSoundLocked(true);
                m_tail.clear();
                m_tailPosition = 0;
            }
            m_ended.notify_all();
            m_nextRetry = now; // endless sound tries to come back at once
        }
    }
    if (rate != 0 && rate == wanted)
        return;

    // Without a device, endless sound keeps trying; anything else waits for the next play.
    if (!tryOpen && rate == 0 && !(looping && now >= m_nextRetry))
        return;

    std::string error;
    m_deviceRate.store(0);
    m_callbackRate.store(wanted);
    if (m_device->open(wanted, kBufferFrames, &SdlSoundPlayer::audioCallback, this, error)) {
        m_deviceRate.store(wanted);
        m_silent.store(false);
        m_watchRendered = framesRendered();
        m_watchSince = now;
        if (m_reported) {
            std::fprintf(stderr, "soundgen: audio output is back\n");
            m_reported = false;
        }
        std::lock_guard lock(m_mutex);
        // A sound that carries on after a reopen comes back without a jump.
        if (m_playing && m_ramps.load())
            m_fadeIn = m_rampLength;
        return;
    }
    m_device->reset();
    m_silent.store(true);
    report("no audio device", error);
    {
        std::lock_guard lock(m_mutex);
        if (m_playing && !m_loop)
            dropSoundLocked(true);
    }
    m_ended.notify_all();
    m_nextRetry = now + m_options.retryInterval;
}

void SdlSoundPlayer::dropSoundLocked(bool failed)
{
    m_playing = false;
    m_data = nullptr;
    if (failed)
        m_failedGeneration = m_generation;
    ++m_generation;
}

void SdlSoundPlayer::report(const char *what, const std::string &why)
{
    if (m_reported)
        return;
    m_reported = true;
    std::fprintf(stderr, "soundgen: %s (%s); running silently\n", what,
                 why.empty() ? "unknown reason" : why.c_str());
}

void SdlSoundPlayer::audioCallback(void *user, float *out, int frames)
{
    auto *player = static_cast<SdlSoundPlayer *>(user);
    player->renderAt(out, frames, player->m_callbackRate.load());
}

std::unique_ptr<SoundPlayer> createDefaultSoundPlayer()
{
    return std::make_unique<SdlSoundPlayer>();
}

} // namespace sound
