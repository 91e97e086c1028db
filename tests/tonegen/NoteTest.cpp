// Note names: the parser's rules and worked values, and how SetNote / SetAMNote apply them.
#include "tests/tonegen/ToneGenTestSupport.h"
#include "tonegen/Notes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using sound::ScopedFakeSoundPlayer;

struct NoteCase
{
    const char *text;
    int32_t octaveIn;
    int frequency;     // 0: unusable
    int32_t octaveOut; // octave handed back (the one going in when unusable)
};

const NoteCase kNoteCases[] = {
    // Worked values.
    {"A", 4, 440, 4},
    {"O4A", 2, 440, 4},
    {"N48", 4, 440, 4},
    {"O4C", 4, 523, 4},
    {"O4A#", 4, 466, 4},
    {"O4B-", 4, 466, 4},
    {"O3A", 4, 220, 3},
    {"<A", 4, 220, 3},
    {"N0", 4, 28, 4},
    {"N114", 4, 19912, 4},
    {"N115", 4, 0, 4},
    {"B#", 4, 0, 4},
    {"E+", 4, 0, 4},
    {"C-", 4, 0, 4},
    {"F-", 4, 0, 4},
    {"O4X", 4, 0, 4},
    {"A4", 4, 0, 4},
    {"N122", 4, 0, 4},
    // Octave shifts clamp at 0 and 9.
    {">>>>>>>A", 4, 14080, 9},
    {"<<<<<<A", 4, 28, 0},
    {"<>A", 4, 440, 4},
    {"><<A", 9, 3520, 7},
    // "O" wants one digit, then a letter.
    {"O4", 4, 0, 4},
    {"OA", 4, 0, 4},
    {"O", 4, 0, 4},
    {"O0A", 4, 28, 0},
    {"O4<A", 4, 0, 4},
    // A flat is G sharp of the octave below.
    {"A-", 0, 0, 0},
    {"A-", 1, 52, 0},
    {"O5A-", 4, 831, 4},
    {"G-", 4, 740, 4},
    {"D-", 4, 554, 4},
    {"G#", 4, 831, 4},
    {"F+", 4, 740, 4},
    // Blanks and control characters around the text, lower case.
    {"  c#\t", 4, 554, 4},
    {"\r\no3a \n", 4, 220, 3},
    {"n48", 2, 440, 2},
    // Nothing may be left over; blanks inside count as left over.
    {"A#-", 4, 0, 4},
    {"Ab", 4, 0, 4},
    {"A A", 4, 0, 4},
    {"N 48", 4, 0, 4},
    {"N48x", 4, 0, 4},
    {"", 4, 0, 4},
    {"H", 4, 0, 4},
    {"#A", 4, 0, 4},
    // Note numbers: a signed decimal whole number, 0 ... 121.
    {"N", 4, 0, 4},
    {"N-1", 4, 0, 4},
    {"N+48", 4, 440, 4},
    {"N121", 4, 0, 4},
    {"N99999999999", 4, 0, 4},
    {"N0x30", 4, 0, 4},
    // A usable note out of 20 ... 20000 Hz: the octave is handed back, the frequency is 0.
    {"O9G#", 4, 0, 9},
    {"O9D#", 4, 19912, 9},
};

TEST(ParseNote, RulesAndWorkedValues)
{
    for (const NoteCase &c : kNoteCases) {
        int32_t octave = c.octaveIn;
        EXPECT_EQ(tonegen::ParseNote(QString::fromUtf8(c.text), octave), c.frequency) << c.text;
        EXPECT_EQ(octave, c.octaveOut) << c.text;
    }
}

// Letter and accidental spelling against note numbers, over every octave: both roads meet.
TEST(ParseNote, LettersAgreeWithNoteNumbers)
{
    const struct
    {
        const char *name;
        int semitone;
    } letters[] = {{"A", 0},  {"A#", 1}, {"B", 2}, {"C", 3},  {"C#", 4}, {"D", 5},
                   {"D#", 6}, {"E", 7},  {"F", 8}, {"F#", 9}, {"G", 10}, {"G#", 11}};
    for (int octave = 0; octave <= 9; ++octave) {
        for (const auto &l : letters) {
            const QString spelled = QStringLiteral("O%1%2").arg(octave).arg(QLatin1String(l.name));
            const QString numbered = QStringLiteral("N%1").arg(l.semitone + 12 * octave);
            int32_t a = 4;
            int32_t b = 4;
            const int fromLetter = tonegen::ParseNote(spelled, a);
            EXPECT_EQ(fromLetter, tonegen::ParseNote(numbered, b)) << spelled.toStdString();
            const double exact = 440.0 * std::pow(2.0, (l.semitone + 12 * octave - 48) / 12.0);
            if (exact >= 20 && exact < 20000) {
                EXPECT_NEAR(fromLetter, exact, 0.5) << spelled.toStdString();
            }
        }
    }
}

TEST(SetNote, UsableTextSetsFrequencyOctaveAndBuildFlag)
{
    ScopedFakeSoundPlayer fake;
    ProbeToneGen gen;
    ASSERT_TRUE(gen.Prepare());
    EXPECT_EQ(gen.SetNote(QStringLiteral("O3A")), 220);
    EXPECT_EQ(gen.Frequency(), 220);
    EXPECT_EQ(gen.GetOctave(), 3);
    EXPECT_TRUE(gen.NeedsBuild);

    // The octave a text leaves is where the next one starts.
    EXPECT_EQ(gen.SetNote(QStringLiteral("<A")), 110);
    EXPECT_EQ(gen.GetOctave(), 2);

    // Same frequency again still marks the image for a rebuild.
    ASSERT_TRUE(gen.Prepare());
    EXPECT_EQ(gen.SetNote(QStringLiteral("N24")), 110);
    EXPECT_TRUE(gen.NeedsBuild);
}

TEST(SetNote, UnusableTextChangesNothing)
{
    ScopedFakeSoundPlayer fake;
    for (const char *text : {"B#", "O4X", "N115", "O9G#", ">>>>>>G#", ""}) {
        ProbeToneGen gen;
        gen.SetFrequency(1000);
        ASSERT_TRUE(gen.Prepare());
        EXPECT_EQ(gen.SetNote(QString::fromUtf8(text)), 0) << text;
        EXPECT_EQ(gen.Frequency(), 1000) << text;
        EXPECT_EQ(gen.GetOctave(), 4) << text;
        EXPECT_FALSE(gen.NeedsBuild) << text;
    }
}

TEST(SetAMNote, StoresMultiplierOrHertzWithoutTouchingTheAMProperties)
{
    ScopedFakeSoundPlayer fake;
    ProbeToneGen gen;
    gen.SetFrequency(220);
    gen.SetAMLevel(TToneGen::tgAMLevel3);
    ASSERT_TRUE(gen.Prepare());

    EXPECT_EQ(gen.SetAMNote(TToneGen::tgAMLevel3, QStringLiteral("O4A")), 2.0f);
    EXPECT_TRUE(gen.NeedsBuild);
    EXPECT_EQ(gen.AMFrequency(), 1.5f) << "the selected level's property keeps its old value";
    EXPECT_EQ(gen.GetAMOctave(TToneGen::tgAMLevel3), 4);

    // Selecting the level again shows the stored value.
    gen.SetAMLevel(TToneGen::tgAMLevel1);
    gen.SetAMLevel(TToneGen::tgAMLevel3);
    EXPECT_EQ(gen.AMFrequency(), 2.0f);

    // Single precision: 523 / 220 as floats.
    EXPECT_EQ(gen.SetAMNote(TToneGen::tgAMLevel5, QStringLiteral("O4C")), 523.0f / 220.0f);
    EXPECT_EQ(gen.SetAMNote(TToneGen::tgAMLevel8, QStringLiteral("<<A")), 0.5f);
    EXPECT_EQ(gen.GetAMOctave(TToneGen::tgAMLevel8), 2);
    EXPECT_EQ(gen.GetOctave(), 4) << "layer notes keep their own octaves";

    gen.SetAMUseMultiplier(false);
    EXPECT_EQ(gen.SetAMNote(TToneGen::tgAMLevel2, QStringLiteral("O4C")), 523.0f);

    // Unusable: result 0, nothing changes.
    ASSERT_TRUE(gen.Prepare());
    EXPECT_EQ(gen.SetAMNote(TToneGen::tgAMLevel2, QStringLiteral("E#")), 0.0f);
    EXPECT_EQ(gen.SetAMNote(TToneGen::tgAMLevel8, QStringLiteral("O9G#")), 0.0f);
    EXPECT_EQ(gen.GetAMOctave(TToneGen::tgAMLevel8), 2);
    EXPECT_FALSE(gen.NeedsBuild);
    const QByteArray table = gen.WriteAMArray();
    float level2 = 0;
    std::memcpy(&level2, table.constData() + 4 + 12 * 1 + 8, 4);
    EXPECT_EQ(level2, 523.0f);
}

} // namespace
