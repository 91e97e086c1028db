// The command line, arguments separated by NUL bytes: refused arguments give a message; accepted
// ones are within every option's range and configure a generator without complaint. Nothing is
// played or written: only the parse and the settings step run here.
#include "app/ArgumentCodec.h"
#include "app/CommandLine.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tonegen/Notes.h"

#include <cmath>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::StartApplication();
    QCoreApplication::setApplicationName(QStringLiteral("soundgen"));
    QCoreApplication::setApplicationVersion(QStringLiteral("4.0"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QStringList arguments{QStringLiteral("soundgen")};
    for (const QByteArray &argument : fuzz::Bytes(data, size).split('\0')) {
        // As the program reads its arguments; a file name comes back byte for byte.
        arguments.append(app::DecodeArgument(argument));
        FUZZ_CHECK(app::EncodeFileName(arguments.back()) == argument);
    }
    if (size == 0)
        arguments.removeLast();

    app::Parsed parsed;
    try {
        parsed = app::ParseArguments(arguments);
    } catch (const app::UsageError &e) {
        FUZZ_CHECK(!e.message.isEmpty());
        return 0;
    }
    if (parsed.help) {
        FUZZ_CHECK(!parsed.helpText.isEmpty());
        return 0;
    }
    if (parsed.version || parsed.listDevices)
        return 0;
    const app::Settings &s = parsed.settings;
    FUZZ_CHECK(s.play || !s.exportPath.isEmpty());
    FUZZ_CHECK(!s.loop || s.play);
    FUZZ_CHECK(!(s.frequency && s.note) && !(s.sweep && (s.frequency || s.note)));
    if (s.sweep)
        for (const double end : *s.sweep)
            FUZZ_CHECK(end >= 20 && end <= 20000);
    FUZZ_CHECK(!s.frequency || (*s.frequency >= 20 && *s.frequency <= 20000));
    FUZZ_CHECK(s.duration >= 10 && s.duration <= 32767);
    FUZZ_CHECK(s.leftLevel >= 0 && s.leftLevel <= 100 && s.rightLevel >= 0 && s.rightLevel <= 100);
    for (const app::Layer &layer : s.layers) {
        if (!layer.set)
            continue;
        FUZZ_CHECK(layer.amplitude >= 0 && layer.amplitude <= 100);
        FUZZ_CHECK(std::isfinite(layer.frequency) && layer.frequency > 0 && layer.frequency <= 20000);
    }
    if (s.envelope)
        for (const int part : *s.envelope)
            FUZZ_CHECK(part >= 0 && part <= 100);

    tonegen::TToneGen gen;
    try {
        app::Configure(gen, s);
    } catch (const app::UsageError &e) {
        std::fprintf(stderr, "accepted, then refused: %s\n", qPrintable(e.message));
        FUZZ_CHECK(false);
    }
    FUZZ_CHECK(gen.Frequency() >= 20 && gen.Frequency() <= 20000);
    if (s.frequency)
        FUZZ_CHECK(gen.ExactFrequency() == *s.frequency);
    if (s.note) {
        int32_t octave = 4;
        FUZZ_CHECK(gen.Frequency() == tonegen::ParseNote(*s.note, octave));
    }
    FUZZ_CHECK(gen.Duration() == s.duration);
    return 0;
}
