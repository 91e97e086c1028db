// Note texts: a result is 0 or 20...20000 Hz and agrees with the worked formula; case and padding
// never matter; the generator changes only for a usable note, and then exactly as the note says.
#include "tests/fuzz/FuzzSupport.h"
#include "tonegen/Notes.h"
#include "tonegen/ToneGen.h"

#include <cstring>

namespace {

using tonegen::TToneGen;

// ASCII letters only: the note reader upper-cases nothing else.
QString AsciiLower(QString text)
{
    for (QChar &c : text)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() - u'A' + u'a');
    return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::StartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const int32_t startOctave = data[0] % 10;
    const auto level = static_cast<TToneGen::TTGAMLevel>(data[1] % TToneGen::kAMLevels);
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 2), static_cast<qsizetype>(size - 2));

    int32_t octave = startOctave;
    const int hertz = tonegen::ParseNote(text, octave);
    FUZZ_CHECK(hertz == 0 || (hertz >= 20 && hertz <= 20000));
    FUZZ_CHECK(octave >= 0 && octave <= 9);
    if (hertz == 0 && octave != startOctave) {
        // Only a usable note number outside the audible range hands back an octave with 0.
        FUZZ_CHECK(!text.trimmed().isEmpty());
    }
    int32_t other = startOctave;
    FUZZ_CHECK(tonegen::ParseNote(QStringLiteral(" \t") + AsciiLower(text) + QStringLiteral("\r\n"), other) ==
               hertz);
    FUZZ_CHECK(other == octave);

    static TToneGen *gen = new TToneGen;
    gen->SetFrequency(440);
    gen->SetAMUseMultiplier((data[1] & 0x80) != 0);
    const int32_t octaveBefore = gen->GetOctave();
    const int frequencyBefore = gen->Frequency();
    const int result = gen->SetNote(text);
    if (result == 0) {
        FUZZ_CHECK(gen->GetOctave() == octaveBefore && gen->Frequency() == frequencyBefore);
    } else {
        FUZZ_CHECK(result >= 20 && result <= 20000 && gen->Frequency() == result);
        FUZZ_CHECK(gen->GetOctave() >= 0 && gen->GetOctave() <= 9);
    }

    gen->SetFrequency(440);
    const QByteArray tableBefore = gen->WriteAMArray();
    const int32_t amOctaveBefore = gen->GetAMOctave(level);
    const float value = gen->SetAMNote(level, text);
    if (value == 0) {
        FUZZ_CHECK(gen->WriteAMArray() == tableBefore && gen->GetAMOctave(level) == amOctaveBefore);
    } else {
        int32_t check = amOctaveBefore;
        const int noteHertz = tonegen::ParseNote(text, check);
        FUZZ_CHECK(noteHertz != 0 && gen->GetAMOctave(level) == check);
        const float expected =
            gen->AMUseMultiplier() ? static_cast<float>(noteHertz) / 440.0f : static_cast<float>(noteHertz);
        FUZZ_CHECK(std::memcmp(&value, &expected, sizeof value) == 0);
        const QByteArray table = gen->WriteAMArray();
        FUZZ_CHECK(table.mid(4 + 12 * level + 8, 4) ==
                   QByteArray(reinterpret_cast<const char *>(&expected), 4));
        FUZZ_CHECK(table.left(4 + 12 * level) == tableBefore.left(4 + 12 * level));
        FUZZ_CHECK(table.mid(4 + 12 * (level + 1)) == tableBefore.mid(4 + 12 * (level + 1)));
    }
    return 0;
}
