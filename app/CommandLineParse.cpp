#include "app/CommandLineParse.h"

#include "core/WholeNumber.h"
#include "tonegen/Notes.h"
#include "tonegen/PitchNames.h"

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

// Hertz in 20 ... 20000 with up to two decimals.
double Hertz(const QString &option, const QString &text)
{
    const qsizetype point = text.indexOf(u'.');
    const QString whole = point < 0 ? text : text.left(point);
    const QString fraction = point < 0 ? QString() : text.mid(point + 1);
    bool digits = point < 0 || (!fraction.isEmpty() && fraction.size() <= 2);
    for (const QChar c : fraction)
        digits = digits && c >= u'0' && c <= u'9';
    const std::optional<int32_t> value = core::ParseWholeNumber(whole);
    if (!value || !digits || whole.startsWith(u'-') || whole.startsWith(u'+'))
        throw UsageError{
            QStringLiteral("%1: '%2' is not a number of hertz (at most two decimals)").arg(option, text)};
    const double hertz =
        *value + (fraction.isEmpty() ? 0.0 : fraction.toInt() / (fraction.size() == 1 ? 10.0 : 100.0));
    if (hertz < 20 || hertz > 20000)
        throw UsageError{QStringLiteral("%1: %2 is out of range 20...20000").arg(option, text)};
    return hertz;
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

// The tone's frequency: one of --frequency, --pitch, --note or --sweep.
void ReadTone(const QCommandLineParser &parser, Settings &s)
{
    if (int(parser.isSet(QStringLiteral("frequency"))) + int(parser.isSet(QStringLiteral("note"))) +
            int(parser.isSet(QStringLiteral("pitch"))) + int(parser.isSet(QStringLiteral("sweep"))) >
        1)
        throw UsageError{QStringLiteral("--frequency, --note, --pitch and --sweep exclude each other")};
    if (parser.isSet(QStringLiteral("sweep"))) {
        const QString text = parser.value(QStringLiteral("sweep"));
        const QStringList parts = text.split(u':');
        if (parts.size() != 2)
            throw UsageError{QStringLiteral("--sweep: '%1' is not FROM:TO").arg(text)};
        s.sweep = {Hertz(QStringLiteral("--sweep"), parts[0]), Hertz(QStringLiteral("--sweep"), parts[1])};
    }
    if (parser.isSet(QStringLiteral("sweep-scale"))) {
        const QString scale = parser.value(QStringLiteral("sweep-scale"));
        if (scale != QStringLiteral("log") && scale != QStringLiteral("linear"))
            throw UsageError{QStringLiteral("--sweep-scale: '%1' is not log or linear").arg(scale)};
        if (!s.sweep)
            throw UsageError{QStringLiteral("--sweep-scale goes with --sweep")};
        s.linearSweep = scale == QStringLiteral("linear");
    }
    if (parser.isSet(QStringLiteral("frequency")))
        s.frequency = Hertz(QStringLiteral("--frequency"), parser.value(QStringLiteral("frequency")));
    if (parser.isSet(QStringLiteral("pitch"))) {
        const QString name = parser.value(QStringLiteral("pitch"));
        const std::optional<double> hertz = tonegen::PitchFrequency(name);
        if (!hertz)
            throw UsageError{QStringLiteral("--pitch: '%1' is not a pitch such as A4, C#5 or Bb3").arg(name)};
        if (*hertz < 20 || *hertz > 20000)
            throw UsageError{QStringLiteral("--pitch: %1 (%2 Hz) is out of range 20...20000")
                                 .arg(name)
                                 .arg(*hertz, 0, 'f', 2)};
        s.frequency = std::round(*hertz * 100) / 100;
    }
    if (parser.isSet(QStringLiteral("note"))) {
        // Checked here as well, so a bad note never reaches the sound device.
        int32_t octave = 4;
        s.note = parser.value(QStringLiteral("note"));
        if (tonegen::ParseNote(*s.note, octave) == 0)
            throw UsageError{
                QStringLiteral("--note: '%1' is not a usable note (20...20000 Hz)").arg(*s.note)};
    }
}

// The waveforms of the window, and the coloured noises.
void ReadWaveform(const QString &name, Settings &s)
{
    const bool pink = name.compare(QStringLiteral("pink"), Qt::CaseInsensitive) == 0;
    const bool brown = name.compare(QStringLiteral("brown"), Qt::CaseInsensitive) == 0;
    if (pink || brown) {
        s.wave = TToneGen::tgNoise;
        s.colour = pink ? tonegen::NoiseColour::Pink : tonegen::NoiseColour::Brown;
    } else {
        s.wave = Waveform(QStringLiteral("--waveform"), name);
    }
}

// N for both channels, L:R for each.
void ReadLevel(const QString &text, Settings &s)
{
    const QString option = QStringLiteral("--level");
    const QStringList parts = text.split(u':');
    if (parts.size() > 2)
        throw UsageError{QStringLiteral("%1: '%2' is not N or L:R").arg(option, text)};
    s.leftLevel = WholeNumber(option, parts.front(), 0, 100);
    s.rightLevel = WholeNumber(option, parts.back(), 0, 100);
}

} // namespace

// Attack, hold, decay, sustain and release, each 0 ... 100.
std::array<int, 5> ReadEnvelope(const QString &text)
{
    const QStringList parts = text.split(u':');
    if (parts.size() != 5)
        throw UsageError{
            QStringLiteral("--envelope: '%1' is not ATTACK:HOLD:DECAY:SUSTAIN:RELEASE").arg(text)};
    static const char *const names[] = {"attack", "hold", "decay", "sustain", "release"};
    std::array<int, 5> values{};
    for (size_t i = 0; i < 5; ++i)
        values[i] = WholeNumber(QStringLiteral("--envelope ") + QLatin1String(names[i]), parts[i], 0, 100);
    return values;
}

// Every option with its help text.
void AddOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Sound generator without its window: builds one tone and writes it as a WAV file or plays it."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption exportOption(
        QStringLiteral("export"), QStringLiteral("Write the WAV image to <file> (- for standard output)."),
        QStringLiteral("file"));
    const QCommandLineOption playOption(QStringLiteral("play"),
                                        QStringLiteral("Play through the sound device for the duration."));
    const QCommandLineOption loopOption(QStringLiteral("loop"),
                                        QStringLiteral("With --play: repeat until interrupted (Ctrl+C)."));
    const QCommandLineOption frequencyOption(
        QStringLiteral("frequency"),
        QStringLiteral("Tone frequency, 20...20000 Hz with up to two decimals (default 440)."),
        QStringLiteral("hz"));
    const QCommandLineOption pitchOption(
        QStringLiteral("pitch"),
        QStringLiteral("Tone as a pitch name: letter C D E F G A B, then # or b, then the octave -1...9 "
                       "(A4 = 440 Hz, C4 = 261.63 Hz, equal temperament)."),
        QStringLiteral("name"));
    const QCommandLineOption sweepOption(
        QStringLiteral("sweep"),
        QStringLiteral("Glide from one frequency to another over the duration, each 20...20000 Hz with up "
                       "to two decimals; layers given as multipliers follow."),
        QStringLiteral("from:to"));
    const QCommandLineOption sweepScaleOption(
        QStringLiteral("sweep-scale"),
        QStringLiteral("How --sweep glides: log (equal ratios in equal times, default) or linear."),
        QStringLiteral("scale"));
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
        QStringLiteral("sine, square, triangle, sawtooth, noise (white), pink or brown (default sine)."),
        QStringLiteral("name"));
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
        QStringLiteral("Device volume for --play, 0...100 (default 100): N for both channels, L:R for each."),
        QStringLiteral("percent"));
    const QCommandLineOption listDevicesOption(QStringLiteral("list-devices"),
                                               QStringLiteral("Print the sound output devices, one a line."));
    // Taken out of the arguments by the program's start, like --no-ramps.
    const QCommandLineOption deviceOption(
        QStringLiteral("device"),
        QStringLiteral("Play on the output device <name> (see --list-devices). Also for the window."),
        QStringLiteral("name"));
    // Taken out of the arguments by the program's start and handed to the sound output as a setting.
    const QCommandLineOption noRampsOption(
        QStringLiteral("no-ramps"),
        QStringLiteral("No fades where the sound starts, stops or changes: bit-exact output at the device. "
                       "Also for the window."));
    parser.addOptions({exportOption,   playOption,     loopOption,        frequencyOption, pitchOption,
                       noteOption,     sweepOption,    sweepScaleOption,  durationOption,  waveformOption,
                       bitsOption,     channelsOption, rateOption,        layerOption,     absoluteOption,
                       envelopeOption, levelOption,    listDevicesOption, deviceOption,    noRampsOption});
}

Parsed ParseArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    AddOptions(parser);
    Parsed parsed;
    if (!parser.parse(arguments))
        throw UsageError{parser.errorText()};
    if (parser.isSet(QStringLiteral("help"))) {
        parsed.help = true;
        parsed.helpText = parser.helpText();
        return parsed;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        parsed.version = true;
        return parsed;
    }
    if (parser.isSet(QStringLiteral("list-devices"))) {
        parsed.listDevices = true;
        return parsed;
    }
    if (!parser.positionalArguments().isEmpty())
        throw UsageError{
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first())};

    Settings &s = parsed.settings;
    ReadTone(parser, s);
    if (parser.isSet(QStringLiteral("duration")))
        s.duration =
            WholeNumber(QStringLiteral("--duration"), parser.value(QStringLiteral("duration")), 10, 32767);
    if (parser.isSet(QStringLiteral("waveform")))
        ReadWaveform(parser.value(QStringLiteral("waveform")), s);
    if (parser.isSet(QStringLiteral("bits")))
        s.eightBit = OneOf(QStringLiteral("--bits"), parser.value(QStringLiteral("bits")), {8, 16}) == 8;
    if (parser.isSet(QStringLiteral("channels")))
        s.stereo = OneOf(QStringLiteral("--channels"), parser.value(QStringLiteral("channels")), {1, 2}) == 2;
    if (parser.isSet(QStringLiteral("rate")))
        s.hiQ =
            OneOf(QStringLiteral("--rate"), parser.value(QStringLiteral("rate")), {96000, 44100}) == 96000;
    for (const QString &layer : parser.values(QStringLiteral("layer")))
        ParseLayer(layer, s);
    s.absoluteLayers = parser.isSet(QStringLiteral("absolute-layers"));
    if (parser.isSet(QStringLiteral("envelope")))
        s.envelope = ReadEnvelope(parser.value(QStringLiteral("envelope")));
    if (parser.isSet(QStringLiteral("level")))
        ReadLevel(parser.value(QStringLiteral("level")), s);
    if (parser.isSet(QStringLiteral("export"))) {
        s.exportPath = parser.value(QStringLiteral("export"));
        if (s.exportPath.isEmpty())
            throw UsageError{QStringLiteral("--export: the file name is empty")};
    }
    s.play = parser.isSet(QStringLiteral("play"));
    s.loop = parser.isSet(QStringLiteral("loop"));
    if (s.loop && !s.play)
        throw UsageError{QStringLiteral("--loop goes with --play")};
    if (!s.play && s.exportPath.isEmpty())
        throw UsageError{QStringLiteral("nothing to do: give --export FILE or --play (see --help)")};
    return parsed;
}

} // namespace app
