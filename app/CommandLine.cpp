#include "app/CommandLine.h"

#include "sound/SdlSoundPlayer.h"
#include "sound/SoundPlayer.h"
#include "tonegen/Notes.h"
#include "tonegen/ToneGen.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSaveFile>
#include <QStringList>

#include <array>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <optional>

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

// A decimal whole number in lo ... hi; blanks around it are refused too.
int WholeNumber(const QString &option, const QString &text, int lo, int hi)
{
    bool ok = !text.isEmpty() && !text.front().isSpace() && !text.back().isSpace();
    const qlonglong value = ok ? text.toLongLong(&ok, 10) : 0;
    if (!ok)
        throw UsageError{QStringLiteral("%1: '%2' is not a whole number").arg(option, text)};
    if (value < lo || value > hi)
        throw UsageError{QStringLiteral("%1: %2 is out of range %3...%4").arg(option, text).arg(lo).arg(hi)};
    return static_cast<int>(value);
}

int OneOf(const QString &option, const QString &text, std::initializer_list<int> allowed)
{
    bool ok = !text.isEmpty() && !text.front().isSpace() && !text.back().isSpace();
    const int value = ok ? text.toInt(&ok, 10) : 0;
    QStringList names;
    for (int a : allowed) {
        if (ok && value == a)
            return value;
        names.append(QString::number(a));
    }
    throw UsageError{QStringLiteral("%1: '%2' is not one of %3").arg(option, text, names.join(u'|'))};
}

TToneGen::TTGWave Waveform(const QString &option, const QString &text)
{
    static const char *const names[] = {"sine", "square", "triangle", "sawtooth", "noise"};
    for (int i = 0; i < 5; ++i)
        if (text.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
            return static_cast<TToneGen::TTGWave>(i);
    throw UsageError{
        QStringLiteral("%1: '%2' is not one of sine|square|triangle|sawtooth|noise").arg(option, text)};
}

void ParseLayer(const QString &text, Settings &settings)
{
    const QString option = QStringLiteral("--layer");
    const QStringList parts = text.split(u':');
    if (parts.size() != 4)
        throw UsageError{QStringLiteral("%1: '%2' is not N:AMPLITUDE:WAVEFORM:FREQUENCY").arg(option, text)};
    const int index = WholeNumber(option + QStringLiteral(" index"), parts[0], 1, TToneGen::kAMLevels);
    Layer &layer = settings.layers[static_cast<size_t>(index - 1)];
    layer.set = true;
    layer.amplitude = WholeNumber(option + QStringLiteral(" amplitude"), parts[1], 0, 100);
    layer.wave = Waveform(option + QStringLiteral(" waveform"), parts[2]);
    bool ok = !parts[3].isEmpty() && !parts[3].front().isSpace() && !parts[3].back().isSpace();
    const double frequency = ok ? parts[3].toDouble(&ok) : 0;
    if (!ok || !std::isfinite(frequency))
        throw UsageError{QStringLiteral("%1 frequency: '%2' is not a number").arg(option, parts[3])};
    if (frequency <= 0 || frequency > 20000)
        throw UsageError{
            QStringLiteral("%1 frequency: %2 is out of range (above 0, up to 20000)").arg(option, parts[3])};
    layer.frequency = static_cast<float>(frequency);
}

} // namespace

Parsed ParseArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Sound generator without its window: builds one tone and writes it as a WAV file or plays it."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption exportOption(
        QStringLiteral("export"), QStringLiteral("Write the WAV image to <file>."), QStringLiteral("file"));
    const QCommandLineOption playOption(QStringLiteral("play"),
                                        QStringLiteral("Play through the sound device for the duration."));
    const QCommandLineOption loopOption(QStringLiteral("loop"),
                                        QStringLiteral("With --play: repeat until interrupted (Ctrl+C)."));
    const QCommandLineOption frequencyOption(QStringLiteral("frequency"),
                                             QStringLiteral("Tone frequency, 20...20000 Hz (default 440)."),
                                             QStringLiteral("hz"));
    const QCommandLineOption noteOption(
        QStringLiteral("note"),
        QStringLiteral(
            "Tone as a note instead of a frequency: A...G with # + or -, O<digit> octave, < > octave "
            "down/up, or N<number> (0...121); octave 4 to start; A of octave 4 is 440 Hz."),
        QStringLiteral("text"));
    const QCommandLineOption durationOption(QStringLiteral("duration"),
                                            QStringLiteral("Length, 10...32767 ms (default 1000)."),
                                            QStringLiteral("ms"));
    const QCommandLineOption waveformOption(
        QStringLiteral("waveform"),
        QStringLiteral("sine, square, triangle, sawtooth or noise (default sine)."), QStringLiteral("name"));
    const QCommandLineOption bitsOption(QStringLiteral("bits"),
                                        QStringLiteral("Sample width, 8 or 16 (default 16)."),
                                        QStringLiteral("bits"));
    const QCommandLineOption channelsOption(
        QStringLiteral("channels"), QStringLiteral("1 (mono) or 2 (stereo, default)."), QStringLiteral("n"));
    const QCommandLineOption rateOption(QStringLiteral("rate"),
                                        QStringLiteral("Frames per second, 96000 (default) or 44100."),
                                        QStringLiteral("hz"));
    const QCommandLineOption layerOption(
        QStringLiteral("layer"),
        QStringLiteral(
            "Extra tone layer N (1...8): amplitude 0...100 percent, waveform, frequency as a multiplier "
            "of the tone frequency (or hertz with --absolute-layers). Repeatable."),
        QStringLiteral("N:amplitude:waveform:frequency"));
    const QCommandLineOption absoluteOption(QStringLiteral("absolute-layers"),
                                            QStringLiteral("Layer frequencies are hertz, not multipliers."));
    const QCommandLineOption envelopeOption(
        QStringLiteral("envelope"),
        QStringLiteral(
            "Shape the tone: attack, hold, decay and release in percent of the duration, sustain in "
            "percent of full level (each 0...100)."),
        QStringLiteral("attack:hold:decay:sustain:release"));
    const QCommandLineOption levelOption(
        QStringLiteral("level"),
        QStringLiteral("Device volume for --play, 0...100, both channels (default 100)."),
        QStringLiteral("percent"));
    // Taken out of the arguments by the program's start, before the sound output exists.
    const QCommandLineOption noRampsOption(
        QStringLiteral("no-ramps"),
        QStringLiteral("No fades where the sound starts, stops or changes: bit-exact output at the device. "
                       "Also for the window."));
    parser.addOptions({exportOption, playOption, loopOption, frequencyOption, noteOption, durationOption,
                       waveformOption, bitsOption, channelsOption, rateOption, layerOption, absoluteOption,
                       envelopeOption, levelOption, noRampsOption});

    Parsed parsed;
    if (!parser.parse(arguments))
        throw UsageError{parser.errorText()};
    if (parser.isSet(helpOption)) {
        parsed.help = true;
        parsed.helpText = parser.helpText();
        return parsed;
    }
    if (parser.isSet(versionOption)) {
        parsed.version = true;
        return parsed;
    }
    if (!parser.positionalArguments().isEmpty())
        throw UsageError{
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first())};

    Settings &s = parsed.settings;
    if (parser.isSet(frequencyOption) && parser.isSet(noteOption))
        throw UsageError{QStringLiteral("--frequency and --note exclude each other")};
    if (parser.isSet(frequencyOption))
        s.frequency = WholeNumber(QStringLiteral("--frequency"), parser.value(frequencyOption), 20, 20000);
    if (parser.isSet(noteOption)) {
        // Checked here as well, so a bad note never reaches the sound device.
        int32_t octave = 4;
        s.note = parser.value(noteOption);
        if (tonegen::ParseNote(*s.note, octave) == 0)
            throw UsageError{
                QStringLiteral("--note: '%1' is not a usable note (20...20000 Hz)").arg(*s.note)};
    }
    if (parser.isSet(durationOption))
        s.duration = WholeNumber(QStringLiteral("--duration"), parser.value(durationOption), 10, 32767);
    if (parser.isSet(waveformOption))
        s.wave = Waveform(QStringLiteral("--waveform"), parser.value(waveformOption));
    if (parser.isSet(bitsOption))
        s.eightBit = OneOf(QStringLiteral("--bits"), parser.value(bitsOption), {8, 16}) == 8;
    if (parser.isSet(channelsOption))
        s.stereo = OneOf(QStringLiteral("--channels"), parser.value(channelsOption), {1, 2}) == 2;
    if (parser.isSet(rateOption))
        s.hiQ = OneOf(QStringLiteral("--rate"), parser.value(rateOption), {96000, 44100}) == 96000;
    for (const QString &layer : parser.values(layerOption))
        ParseLayer(layer, s);
    s.absoluteLayers = parser.isSet(absoluteOption);
    if (parser.isSet(envelopeOption)) {
        const QString text = parser.value(envelopeOption);
        const QStringList parts = text.split(u':');
        if (parts.size() != 5)
            throw UsageError{
                QStringLiteral("--envelope: '%1' is not ATTACK:HOLD:DECAY:SUSTAIN:RELEASE").arg(text)};
        static const char *const names[] = {"attack", "hold", "decay", "sustain", "release"};
        std::array<int, 5> values{};
        for (size_t i = 0; i < 5; ++i)
            values[i] =
                WholeNumber(QStringLiteral("--envelope ") + QLatin1String(names[i]), parts[i], 0, 100);
        s.envelope = values;
    }
    if (parser.isSet(levelOption))
        s.level = WholeNumber(QStringLiteral("--level"), parser.value(levelOption), 0, 100);
    if (parser.isSet(exportOption)) {
        s.exportPath = parser.value(exportOption);
        if (s.exportPath.isEmpty())
            throw UsageError{QStringLiteral("--export: the file name is empty")};
    }
    s.play = parser.isSet(playOption);
    s.loop = parser.isSet(loopOption);
    if (s.loop && !s.play)
        throw UsageError{QStringLiteral("--loop goes with --play")};
    if (!s.play && s.exportPath.isEmpty())
        throw UsageError{QStringLiteral("nothing to do: give --export FILE or --play (see --help)")};
    return parsed;
}

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

    auto *sdl = dynamic_cast<sound::SdlSoundPlayer *>(&sound::soundPlayer());
    if (sdl && !sdl->hasOutput()) {
        PrintLine(stderr, QStringLiteral("soundgen: nothing played: no sound device"));
        return kFailed;
    }
    const auto started = std::chrono::steady_clock::now();
    const auto length = std::chrono::milliseconds(s.duration);
    int status = 0;
    for (;;) {
        timespec tick{0, 20'000'000};
        const int signal = sigtimedwait(&interrupts, nullptr, &tick);
        if (signal > 0) {
            // The way to end a loop; a timed sound cut short says so in its status.
            status = s.loop ? 0 : 128 + signal;
            break;
        }
        if (s.loop)
            continue;
        const bool playing = sdl ? sdl->isPlaying() : std::chrono::steady_clock::now() - started < length;
        if (!playing)
            break;
    }
    // The program ends next, and with it the device: what the server still holds must sound first.
    if (sdl && !s.loop && status == 0)
        sdl->drain(std::chrono::seconds(2));
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
