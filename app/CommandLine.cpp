#include "app/CommandLine.h"

#include "sound/SoundPlayer.h"
#include "tonegen/ToneGen.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QStringList>

#include <chrono>
#include <csignal>
#include <cstdio>

namespace app {

namespace {

using tonegen::TToneGen;

constexpr int kBadArguments = 2;
constexpr int kFailed = 1;

void PrintLine(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace

void Configure(TToneGen &gen, const Settings &s)
{
    if (s.note) {
        if (gen.SetNote(*s.note) == 0)
            throw UsageError{
                QStringLiteral("--note: '%1' is not a usable note (20...20000 Hz)").arg(*s.note)};
    } else {
        gen.SetFrequency(s.frequency.value_or(440));
    }
    gen.SetDuration(s.duration);
    gen.SetWaveform(s.wave);
    gen.SetResolution(s.eightBit ? TToneGen::tg8Bit : TToneGen::tg16Bit);
    gen.SetStereo(s.stereo);
    gen.SetQuality(s.hiQ ? TToneGen::tgHiQ : TToneGen::tgLoQ);
    gen.SetAMUseMultiplier(!s.absoluteLayers);
    for (size_t i = 0; i < s.layers.size(); ++i) {
        const Layer &layer = s.layers[i];
        if (layer.set)
            gen.SetAMParameter(static_cast<TToneGen::TTGAMLevel>(i), static_cast<int16_t>(layer.amplitude),
                               layer.frequency, layer.wave);
    }
    if (s.envelope) {
        gen.SetAttack((*s.envelope)[0]);
        gen.SetHold((*s.envelope)[1]);
        gen.SetDecay((*s.envelope)[2]);
        gen.SetSustain((*s.envelope)[3]);
        gen.SetRelease((*s.envelope)[4]);
    }
}

namespace {

// Through a temporary file beside the target, so a failed write leaves no partial file.
bool Export(const TToneGen &gen, const QString &path, QString &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    const auto size = static_cast<qint64>(gen.GetDataBufferSize());
    if (file.write(reinterpret_cast<const char *>(gen.GetDataBuffer()), size) != size) {
        error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

// Plays the built image and waits for its end, or for an interrupt. The interrupt signals are
// blocked in every thread (the sound thread starts later and inherits the mask) and taken here.
int Play(TToneGen &gen, const Settings &s, const sigset_t &interrupts)
{
    gen.SetAsync(true);
    gen.SetLoop(s.loop);
    gen.SetLeftVolume(s.level);
    gen.SetRightVolume(s.level);
    if (s.envelope)
        gen.PlayADSR();
    else
        gen.Play();

    sound::SoundPlayer &player = sound::soundPlayer();
    if (!player.hasOutput()) {
        PrintLine(stderr, QStringLiteral("soundgen: nothing played: no sound device"));
        return kFailed;
    }
    int status = 0;
    for (;;) {
        timespec tick{0, 20'000'000};
        const int signal = sigtimedwait(&interrupts, nullptr, &tick);
        if (signal > 0) {
            // The way to end a loop; a timed sound cut short says so in its status.
            status = s.loop ? 0 : 128 + signal;
            break;
        }
        if (!s.loop && !player.isPlaying())
            break;
    }
    // The program ends next, and with it the device: what the server still holds must sound first.
    if (!s.loop && status == 0)
        player.drain(std::chrono::seconds(2));
    gen.Stop();
    return status;
}

} // namespace

int RunCommandLine(int &argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("soundgen"));
    QCoreApplication::setApplicationVersion(QStringLiteral("4.0"));

    Parsed parsed;
    try {
        parsed = ParseArguments(QCoreApplication::arguments());
    } catch (const UsageError &e) {
        PrintLine(stderr, QStringLiteral("soundgen: ") + e.message);
        return kBadArguments;
    }
    if (parsed.help) {
        std::fputs(parsed.helpText.toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parsed.version) {
        PrintLine(stdout, QStringLiteral("soundgen 4.0"));
        return 0;
    }
    const Settings &s = parsed.settings;

    sigset_t interrupts;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    sigaddset(&interrupts, SIGHUP);
    sound::SilentSoundPlayer silent;
    struct PlayerGuard
    {
        ~PlayerGuard() { sound::setSoundPlayer(nullptr); }
    } guard;
    if (s.play)
        pthread_sigmask(SIG_BLOCK, &interrupts, nullptr);
    else
        sound::setSoundPlayer(&silent); // an export must not need a sound server

    int status = 0;
    {
        TToneGen gen;
        try {
            Configure(gen, s);
        } catch (const UsageError &e) {
            PrintLine(stderr, QStringLiteral("soundgen: ") + e.message);
            return kBadArguments;
        }
        const bool built = s.envelope ? gen.PrepareADSR() : gen.Prepare();
        if (!built) {
            PrintLine(stderr, QStringLiteral("soundgen: not enough memory for the sound"));
            return kFailed;
        }
        if (!s.exportPath.isEmpty()) {
            QString error;
            if (!Export(gen, s.exportPath, error)) {
                PrintLine(stderr, QStringLiteral("soundgen: cannot write %1: %2").arg(s.exportPath, error));
                return kFailed;
            }
        }
        if (s.play)
            status = Play(gen, s, interrupts);
        // The generator gives the device its volume back as it goes.
    }
    return status;
}

} // namespace app
