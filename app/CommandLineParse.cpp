#include "app/CommandLineParse.h"

#include "core/WholeNumber.h"
#include "tonegen/Notes.h"

#include <QCommandLineParser>

#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace app {

namespace {

// A whole number in lo ... hi.
int WholeNumber(const QString &option, const QString &text, int lo, int hi)
{
    const std::optional<int32_t> value = core::ParseWholeNumber(text);
    if (!value)
        throw UsageError{QStringLiteral("%1: '%2' is not a whole number").arg(option, text)};
    if (*value < lo || *value > hi)
        throw UsageError{QStringLiteral("%1: %2 is out of range %3...%4").arg(option, text).arg(lo).arg(hi)};
    return *value;
}

int OneOf(const QString &option, const QString &text, std::initializer_list<int> allowed)
{
    const std::optional<int32_t> value = core::ParseWholeNumber(text);
    QStringList names;
    for (int a : allowed) {
        if (value == a)
            return a;
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
    // Taken out of the arguments by the program's start and handed to the sound output as a setting.
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

} // namespace app
