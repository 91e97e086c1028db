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
#include <vector>

namespace sound {

namespace {

constexpr uint32_t kWaveCapsVolume = 0x0004;
constexpr uint32_t kInvalidParam = 11;
// Fading voices kept at most; a burst of stops beyond it drops the oldest, already faint one.
constexpr size_t kMaxFading = 8;

int16_t s16At(const uint8_t *p)
{
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

template <bool Wide, bool Stereo> void addRun(const uint8_t *p, float *out, size_t n)
{
    constexpr size_t step = (Wide ? 2 : 1) * (Stereo ? 2 : 1);
    for (size_t i = 0; i < n; ++i, p += step) {
        const float left =
            Wide ? static_cast<float>(s16At(p)) / 32768.0f : static_cast<float>(p[0] - 128) / 128.0f;
        const float right = !Stereo ? left
                            : Wide  ? static_cast<float>(s16At(p + 2)) / 32768.0f
                                    : static_cast<float>(p[1] - 128) / 128.0f;
        out[2 * i] += left;
        out[2 * i + 1] += right;
    }
}

// Adds `n` frames of format `f` from `p` to the stereo frames at `out`.
void addFrames(const WavFormat &f, const uint8_t *p, float *out, size_t n)
{
    const bool stereo = f.channels == 2;
    if (f.bitsPerSample == 16)
        stereo ? addRun<true, true>(p, out, n) : addRun<true, false>(p, out, n);
    else
        stereo ? addRun<false, true>(p, out, n) : addRun<false, false>(p, out, n);
}

} // namespace

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

// The amount of sound a PulseAudio server holds for the player, as the user asked for it; 0: not asked.
int slackFromEnvironment()
{
    const char *text = std::getenv("PULSE_LATENCY_MSEC");
    if (!text || !*text)
        return 0;
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return *end == '\0' && value > 0 && value <= 10000 ? static_cast<int>(value) : 0;
}

} // namespace

SdlSoundPlayer::SdlSoundPlayer(std::unique_ptr<AudioOutput> output, Options options)
    : m_external(!output), m_device(std::move(output)), m_options(options), m_slack(slackFromEnvironment()),
      m_slackMilliseconds(m_slack.milliseconds()), m_ramps(options.ramps)
{
    // The callback only moves into room made here, so it never allocates.
    m_fading.reserve(kMaxFading);
    m_spent.reserve(kMaxFading + 2);
    // Often enough to notice a lost device within its watchdog, to close an idle one on time and
    // to retry a missing one; rarely enough that the thread costs nothing while sound plays.
    m_pollInterval =
        std::max(std::chrono::milliseconds(1),
                 std::min({m_options.watchdog / 5, m_options.idleHold / 2, m_options.retryInterval}));
    if (!m_device)
        return;
    // Each open sets the slack in the environment; the variable is made here, before any thread
    // starts, so that those later changes only replace its value. A user's own setting stays.
    setenv("PULSE_LATENCY_MSEC", std::to_string(m_slack.milliseconds()).c_str(), 0);
    if (m_options.deviceThread)
        m_thread = std::thread(&SdlSoundPlayer::deviceThreadMain, this);
}

SdlSoundPlayer::~SdlSoundPlayer()
{
    // Nothing would play a fade-out now.
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

bool SdlSoundPlayer::playSound(SoundImage image, uint32_t flags)
{
    stop();
    if (!image)
        return true;
    const std::optional<WavFormat> format = parseWav(image.data(), image.size);
    if (!format)
        return false;

    // A loop never blocks, even without SND_ASYNC: the caller could not get control back to stop it.
    const bool loop = (flags & SND_LOOP) != 0;
    const bool async = loop || (flags & SND_ASYNC) != 0;
    uint64_t generation = 0;
    std::vector<SoundImage> spent;
    {
        std::lock_guard lock(m_mutex);
        // A fade-out made at another rate could not follow on the device reopened for this one.
        std::erase_if(m_fading, [&](const Fading &f) { return f.voice.format.rate != format->rate; });
        m_rampLength = rampFrames(format->rate);
        Voice voice{std::move(image), *format, 0, loop, m_ramps.load() ? m_rampLength : 0};
        std::swap(m_voice, voice);
        spent = takeSpentLocked();
        spent.push_back(std::move(voice.image));
        m_playing = true;
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
    std::vector<SoundImage> spent;
    {
        std::lock_guard lock(m_mutex);
        const bool audible = m_external || (m_deviceRate.load() == m_voice.format.rate && !m_silent.load());
        if (m_playing && m_voice.format.frames > 0 && audible && m_ramps.load()) {
            for (Fading &f : m_fading)
                f.fadeOuts.push_back(0);
            if (m_fading.size() >= kMaxFading)
                m_fading.erase(m_fading.begin());
            m_fading.push_back({m_voice, {0}});
        }
        spent = takeSpentLocked();
        // The format stays: drain() still needs the rate of the sound that ended.
        spent.push_back(std::move(m_voice.image));
        m_voice.image = {};
        m_playing = false;
        ++m_generation;
    }
    m_ended.notify_all();
}

std::vector<SoundImage> SdlSoundPlayer::takeSpentLocked()
{
    std::vector<SoundImage> spent;
    spent.reserve(kMaxFading + 2);
    spent.swap(m_spent);
    return spent;
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

size_t SdlSoundPlayer::mixVoice(Voice &voice, float *out, size_t frames,
                                const std::vector<int> *fadeOuts) const
{
    const WavFormat &f = voice.format;
    if (f.frames == 0)
        return 0;
    const uint8_t *data = voice.image.data() + f.dataOffset;
    const size_t frameBytes = f.frameBytes();
    const bool stereo = f.channels == 2;
    if (voice.fadeIn == 0 && !fadeOuts) {
        // Steady sound: whole runs up to the data's end, the format decided once per run.
        size_t i = 0;
        while (i < frames) {
            if (voice.position >= f.frames) {
                if (!voice.loop)
                    return i;
                voice.position = 0;
            }
            const size_t n = std::min(frames - i, f.frames - voice.position);
            addFrames(f, data + voice.position * frameBytes, out + 2 * i, n);
            voice.position += n;
            i += n;
        }
        return frames;
    }
    for (size_t i = 0; i < frames; ++i) {
        if (voice.position >= f.frames) {
            if (!voice.loop)
                return i;
            voice.position = 0;
        }
        const uint8_t *p = data + voice.position++ * frameBytes;
        float left;
        float right;
        if (f.bitsPerSample == 16) {
            left = static_cast<float>(s16At(p)) / 32768.0f;
            right = stereo ? static_cast<float>(s16At(p + 2)) / 32768.0f : left;
        } else {
            left = static_cast<float>(p[0] - 128) / 128.0f;
            right = stereo ? static_cast<float>(p[1] - 128) / 128.0f : left;
        }
        if (voice.fadeIn > 0) {
            const float g = rampGain(m_rampLength - voice.fadeIn--, m_rampLength);
            left *= g;
            right *= g;
        }
        if (fadeOuts) {
            float g = 1.0f;
            for (int done : *fadeOuts)
                g *= 1.0f - rampGain(done + static_cast<int>(i), m_rampLength);
            left *= g;
            right *= g;
        }
        out[2 * i] += left;
        out[2 * i + 1] += right;
    }
    return frames;
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
    const bool sounding = m_playing && (rate == 0 || rate == m_voice.format.rate);
    if (rate != 0)
        watchCallbackGap(sounding || !m_fading.empty());
    if (sounding && !m_start.started) {
        m_start.started = true;
        m_start.firstSoundFrame = m_rendered;
        m_start.firstSoundRendered = std::chrono::steady_clock::now();
    }
    if (sounding) {
        const size_t done = mixVoice(m_voice, out, count, nullptr);
        if (done < count) {
            // The image stays with the voice: letting it go here could free it on the audio thread.
            m_playing = false;
            ended = true;
            m_endedAt = m_rendered + done;
        }
    }
    for (auto it = m_fading.begin(); it != m_fading.end();) {
        if (rate != 0 && rate != it->voice.format.rate) {
            m_spent.push_back(std::move(it->voice.image));
            it = m_fading.erase(it);
            continue;
        }
        const size_t n = std::min<size_t>(count, static_cast<size_t>(m_rampLength - it->fadeOuts.front()));
        const bool more = mixVoice(it->voice, out, n, &it->fadeOuts) == n;
        for (int &done : it->fadeOuts)
            done += static_cast<int>(n);
        if (!more || it->fadeOuts.front() >= m_rampLength) {
            m_spent.push_back(std::move(it->voice.image));
            it = m_fading.erase(it);
        } else {
            ++it;
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
    const uint64_t held = static_cast<uint64_t>(m_voice.format.rate) *
                              static_cast<uint64_t>(m_slackMilliseconds.load()) / 1000 +
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

std::vector<std::string> SdlSoundPlayer::outputDevices()
{
    return sdlOutputDeviceNames();
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
        const auto woken = [&] { return m_quit || m_tryOpen; };
        // Short enough to notice a lost device well within a second; with nothing open and
        // nothing to retry the thread sleeps until asked, so an idle program never wakes.
        if (m_needsPolling)
            m_requestChanged.wait_for(lock, m_pollInterval, woken);
        else
            m_requestChanged.wait(lock, woken);
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
            wanted = m_voice.format.rate;
        looping = m_playing && m_voice.loop;
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
                if (m_playing && !m_voice.loop)
                    dropSoundLocked(true);
                for (Fading &f : m_fading)
                    m_spent.push_back(std::move(f.voice.image));
                m_fading.clear();
            }
            m_ended.notify_all();
            m_nextRetry = now; // endless sound tries to come back at once
        }
    }
    if (rate != 0 && !tryOpen && closeWhenIdle(now))
        rate = 0;
    // An open device is watched; without one, endless sound keeps trying.
    m_needsPolling = rate != 0 || looping;
    if (rate != 0 && rate == wanted && !slackGrew(now))
        return;

    // Anything but endless sound waits for the next play.
    if (!tryOpen && rate == 0 && !(looping && now >= m_nextRetry))
        return;

    std::string error;
    m_deviceRate.store(0);
    m_callbackRate.store(wanted);
    const int slack = m_slack.forOpen(now);
    if (m_device->open(wanted, kBufferFrames, m_slack.fixed() ? 0 : slack, &SdlSoundPlayer::audioCallback,
                       this, error)) {
        m_slackMilliseconds.store(slack);
        m_deviceRate.store(wanted);
        m_silent.store(false);
        m_needsPolling = true;
        m_activeAt = now;
        m_watchRendered = framesRendered();
        m_watchSince = now;
        if (m_reported) {
            std::fprintf(stderr, "soundgen: audio output is back\n");
            m_reported = false;
        }
        std::lock_guard lock(m_mutex);
        m_lastCallback = {};
        m_longestGap = {};
        // A sound that carries on after a reopen comes back without a jump.
        if (m_playing && m_ramps.load())
            m_voice.fadeIn = m_rampLength;
        return;
    }
    m_device->reset();
    m_silent.store(true);
    report("no audio device", error);
    {
        std::lock_guard lock(m_mutex);
        if (m_playing && !m_voice.loop)
            dropSoundLocked(true);
    }
    m_ended.notify_all();
    m_nextRetry = now + m_options.retryInterval;
}

void SdlSoundPlayer::watchCallbackGap(bool soundDue)
{
    const auto now = std::chrono::steady_clock::now();
    if (soundDue && m_lastCallback != std::chrono::steady_clock::time_point{})
        m_longestGap = std::max(m_longestGap, now - m_lastCallback);
    m_lastCallback = now;
    if (soundDue)
        m_lastSoundDue = now;
}

bool SdlSoundPlayer::slackGrew(std::chrono::steady_clock::time_point now)
{
    std::chrono::steady_clock::duration gap{};
    {
        std::lock_guard lock(m_mutex);
        gap = std::exchange(m_longestGap, {});
    }
    return m_slack.noteGap(gap, now);
}

bool SdlSoundPlayer::closeWhenIdle(std::chrono::steady_clock::time_point now)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_playing || !m_fading.empty() || m_drainUntil != 0) {
            m_activeAt = now;
            return false;
        }
        // A sound that ended by itself between two looks ended when its last callback ran.
        m_activeAt = std::max(m_activeAt, m_lastSoundDue);
        // What the server holds after the last callback is still to be heard.
        const auto playingOut = std::chrono::milliseconds(m_slackMilliseconds.load() + 20);
        if (now - m_activeAt < std::max(m_options.idleHold, playingOut))
            return false;
        // Marked closed under the lock: a play from now on asks for a new open.
        m_deviceRate.store(0);
    }
    m_device->close();
    return true;
}

void SdlSoundPlayer::dropSoundLocked(bool failed)
{
    m_playing = false;
    m_spent.push_back(std::move(m_voice.image));
    m_voice.image = {};
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
