#include "app/CommandLine.h"

#include "app/ArgumentCodec.h"
#include "app/ImageWriter.h"
#include "sound/SdlSoundPlayer.h"
#include "sound/SoundPlayer.h"
#include "tonegen/ToneGen.h"

#include <QCoreApplication>
#include <QStringList>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace app {

namespace {

using tonegen::TToneGen;

constexpr int kBadArguments = 2;
constexpr int kFailed = 1;

void PrintLine(FILE *stream, const QByteArray &bytes)
{
    std::fputs(bytes.constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

void PrintLine(FILE *stream, const QString &text)
{
    PrintLine(stream, text.toLocal8Bit());
}

} // namespace

void Configure(TToneGen &gen, const Settings &s)
{
    if (s.note) {
        if (gen.SetNote(*s.note) == 0)
            throw UsageError{
                QStringLiteral("--note: '%1' is not a usable note (20...20000 Hz)").arg(*s.note)};
    } else {
        gen.SetExactFrequency(s.frequency.value_or(440));
    }
    gen.SetDuration(s.duration);
    if (s.sweep)
        gen.SetSweep(tonegen::Sweep{(*s.sweep)[0], (*s.sweep)[1], !s.linearSweep, s.duration / 1000.0});
    gen.SetWaveform(s.wave);
    gen.SetNoiseColour(s.colour);
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

StartOptions TakeStartOptions(int &argc, char **argv)
{
    StartOptions options;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-ramps") == 0)
            options.ramps = false;
        else if (std::strcmp(argv[i], "--device") == 0 && i + 1 < argc)
            options.device = argv[++i];
        else if (std::strncmp(argv[i], "--device=", 9) == 0)
            options.device = argv[i] + 9;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
    return options;
}

namespace {

// How long the sound system may take to say whether a device opens.
constexpr std::chrono::seconds kDeviceAnswer{10};

} // namespace

// The interrupt signals are blocked in every thread (the sound thread starts later and inherits
// the mask) and taken here.
int Play(TToneGen &gen, const Settings &s, const sigset_t &interrupts, sound::SoundPlayer &player)
{
    gen.SetAsync(true);
    gen.SetLoop(s.loop);
    gen.SetLeftVolume(s.leftLevel);
    gen.SetRightVolume(s.rightLevel);
    if (s.envelope)
        gen.PlayADSR();
    else
        gen.Play();

    // The device opens on the player's own thread: its answer comes before the verdict.
    player.waitForDevice(kDeviceAnswer);
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
        if (!player.hasOutput() || (!s.loop && !player.isPlaying()))
            break;
    }
    if (!player.hasOutput()) {
        gen.Stop();
        PrintLine(stderr, QStringLiteral("soundgen: the sound device was lost before the end"));
        return kFailed;
    }
    // The program ends next, and with it the device: what the server still holds must sound first.
    if (!s.loop && status == 0)
        player.drain(std::chrono::seconds(2));
    gen.Stop();
    return status;
}

namespace {

int ListDevices()
{
    sound::SdlSoundPlayer player(sound::SdlSoundPlayer::Output::External);
    for (const std::string &name : player.outputDevices()) {
        std::fputs(name.c_str(), stdout);
        std::fputc('\n', stdout);
    }
    return std::fflush(stdout) == 0 ? 0 : kFailed;
}

} // namespace

int RunCommandLine(int &argc, char **argv, const StartOptions &start)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("soundgen"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SOUNDGEN_VERSION));
    // Arguments as bytes: a file name that is not UTF-8 must reach the file system unchanged.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(DecodeArgument(QByteArray(argv[i])));

    Parsed parsed;
    try {
        parsed = ParseArguments(arguments);
    } catch (const UsageError &e) {
        PrintLine(stderr, QStringLiteral("soundgen: ") + e.message);
        return kBadArguments;
    }
    if (parsed.help) {
        std::fputs(parsed.helpText.toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parsed.version) {
        PrintLine(stdout, QStringLiteral("soundgen " SOUNDGEN_VERSION));
        return 0;
    }
    if (parsed.listDevices)
        return ListDevices();
    const Settings &s = parsed.settings;

    // A write past the file-size limit or into a closed pipe is an error to report, not an end.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t interrupts;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    sigaddset(&interrupts, SIGHUP);
    // Only a play opens the sound system; an export must not need (nor complain of) a sound server.
    std::optional<sound::SdlSoundPlayer> device;
    sound::SilentSoundPlayer silent;
    struct PlayerGuard
    {
        ~PlayerGuard() { sound::setSoundPlayer(nullptr); }
    } guard;
    if (s.play) {
        pthread_sigmask(SIG_BLOCK, &interrupts, nullptr);
        device.emplace(sound::SdlSoundPlayer::Output::Device, start.device.toStdString());
        if (!start.ramps)
            device->setRamps(false);
        sound::setSoundPlayer(&*device);
    } else {
        sound::setSoundPlayer(&silent);
    }

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
            const QString error = WriteImage(EncodeFileName(s.exportPath), gen.GetDataBuffer(),
                                             static_cast<size_t>(gen.GetDataBufferSize()));
            if (!error.isEmpty()) {
                PrintLine(stderr, "soundgen: cannot write " + EncodeFileName(s.exportPath) + ": " +
                                      error.toLocal8Bit());
                return kFailed;
            }
        }
        if (s.play)
            status = Play(gen, s, interrupts, *device);
        // The generator gives the device its volume back as it goes.
    }
    return status;
}

} // namespace app
