// The stored layer table "AMArrayData": its bytes, its reader's cases and its way through layouts.
#include "layout/LayoutReader.h"
#include "layout/LayoutWriter.h"
#include "tests/tonegen/ToneGenTestSupport.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

using sound::ScopedFakeSoundPlayer;

struct Entry
{
    int16_t amplitude;
    uint8_t wave;
    float frequency;
    bool operator==(const Entry &) const = default;
};

QByteArray Block(int32_t count, const std::vector<std::array<uint32_t, 3>> &records)
{
    QByteArray b;
    auto put = [&b](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.append(static_cast<char>(v >> (8 * i)));
    };
    put(static_cast<uint32_t>(count));
    for (const auto &r : records)
        for (uint32_t v : r)
            put(v);
    return b;
}

uint32_t FloatBits(float f)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &f, 4);
    return bits;
}

// The table as the block holds it, read back field by field.
std::vector<Entry> Table(const TToneGen &gen)
{
    const QByteArray b = gen.WriteAMArray();
    const std::vector<uint8_t> bytes(b.begin(), b.end());
    std::vector<Entry> table;
    for (size_t i = 0; i < 8; ++i) {
        float f = 0;
        const uint32_t bits = Le32(bytes, 12 + 12 * i);
        std::memcpy(&f, &bits, 4);
        table.push_back({static_cast<int16_t>(Le32(bytes, 4 + 12 * i)),
                         static_cast<uint8_t>(Le32(bytes, 8 + 12 * i)), f});
    }
    return table;
}

const std::vector<Entry> kReset = {{0, 0, 0.5f}, {0, 0, 1.0f}, {0, 0, 1.5f}, {0, 0, 2.0f},
                                   {0, 0, 2.5f}, {0, 0, 3.0f}, {0, 0, 3.5f}, {0, 0, 4.0f}};

TEST(AMArray, WrittenBlockLayout)
{
    ScopedFakeSoundPlayer fake;
    TToneGen gen;
    gen.SetAMParameter(TToneGen::tgAMLevel1, -3, 0.5f, TToneGen::tgNoise);
    gen.SetAMParameter(TToneGen::tgAMLevel8, 100, -2.0f, TToneGen::tgSawtooth);
    const QByteArray b = gen.WriteAMArray();
    ASSERT_EQ(b.size(), 100);
    const auto hex = [&b](int at) { return b.mid(at, 4).toHex().toStdString(); };
    EXPECT_EQ(hex(0), "07000000");
    EXPECT_EQ(hex(4), "fdffffff") << "amplitude sign-extended";
    EXPECT_EQ(hex(8), "04000000");
    EXPECT_EQ(hex(12), "0000003f");
    EXPECT_EQ(hex(16), "00000000");
    EXPECT_EQ(hex(24), "0000803f") << "level 2 keeps its reset value 1.0";
    EXPECT_EQ(hex(88), "64000000");
    EXPECT_EQ(hex(92), "03000000");
    EXPECT_EQ(hex(96), "000000c0");
}

TEST(AMArray, RoundTripGivesTheSameEightEntriesAndTouchesNothingElse)
{
    ScopedFakeSoundPlayer fake;
    QRandomGenerator random(13);
    for (int round = 0; round < 20; ++round) {
        TToneGen source;
        for (int i = 0; i < 8; ++i)
            source.SetAMParameter(static_cast<TToneGen::TTGAMLevel>(i),
                                  static_cast<int16_t>(random.bounded(-32768, 32768)),
                                  static_cast<float>(random.bounded(2000.0) - 1000.0),
                                  static_cast<TToneGen::TTGWave>(random.bounded(5)));
        ProbeToneGen target;
        target.SetAMAmplitude(7);
        ASSERT_TRUE(target.Prepare());
        QString error;
        ASSERT_TRUE(target.ReadAMArray(source.WriteAMArray(), &error)) << error.toStdString();
        EXPECT_EQ(Table(target), Table(source));
        EXPECT_EQ(target.WriteAMArray(), source.WriteAMArray());
        EXPECT_EQ(target.AMAmplitude(), 7);
        EXPECT_EQ(target.AMFrequency(), 0.5f);
        EXPECT_FALSE(target.NeedsBuild) << "reading the table sets no build flag";
    }
}

struct ReadCase
{
    const char *name;
    QByteArray block;
    bool accepted;
    std::vector<Entry> table; // what stands afterwards
    const char *error;        // part of the refusal
};

TEST(AMArray, ReaderCases)
{
    ScopedFakeSoundPlayer fake;
    const uint32_t sq = TToneGen::tgSquare;
    std::vector<std::array<uint32_t, 3>> ten;
    for (uint32_t i = 0; i < 10; ++i)
        ten.push_back({10 + i, i % 5, FloatBits(static_cast<float>(i) + 0.25f)});
    std::vector<Entry> firstEight;
    for (uint32_t i = 0; i < 8; ++i)
        firstEight.push_back(
            {static_cast<int16_t>(10 + i), static_cast<uint8_t>(i % 5), static_cast<float>(i) + 0.25f});
    std::vector<Entry> threeOfEight = kReset;
    threeOfEight[0] = {50, 1, 2.0f};
    threeOfEight[1] = {-1, 2, 3.0f};
    threeOfEight[2] = {5, 3, 0.75f};

    const ReadCase cases[] = {
        {"negative count reads nothing", Block(-1, {{50, sq, FloatBits(9)}}), true, kReset, ""},
        {"count 2 replaces levels 1 to 3",
         Block(2, {{50, sq, FloatBits(2.0f)},
                   {0xFFFFFFFF, 2, FloatBits(3.0f)},
                   {0x12340005, 0xFFFFFF03, FloatBits(0.75f)}}),
         true, threeOfEight, ""},
        {"count 9 keeps eight, drops the rest", Block(9, ten), true, firstEight, ""},
        {"count 7 with bytes left over", Block(7, ten), true, firstEight, ""},
        {"short block", Block(7, {{50, sq, FloatBits(2.0f)}, {1, 1, 0}}), false, kReset, "stream read error"},
        {"count 9 without its tenth record", Block(9, {ten.begin(), ten.begin() + 9}), false, kReset,
         "stream read error"},
        {"huge count", Block(0x7FFFFFFF, ten), false, kReset, "stream read error"},
        {"no count", QByteArray("\x07\x00", 2), false, kReset, "stream read error"},
        {"empty", QByteArray(), false, kReset, "stream read error"},
        {"unknown waveform", Block(1, {{50, sq, FloatBits(2.0f)}, {1, 5, 0}}), false, kReset,
         "no waveform 5"},
    };
    for (const ReadCase &c : cases) {
        TToneGen gen;
        QString error;
        EXPECT_EQ(gen.ReadAMArray(c.block, &error), c.accepted) << c.name;
        EXPECT_EQ(Table(gen), c.table) << c.name;
        EXPECT_TRUE(error.contains(QLatin1String(c.error))) << c.name << ": " << error.toStdString();
        EXPECT_EQ(error.isEmpty(), c.accepted) << c.name;
    }
}

TEST(AMArray, LayoutRoundTripAndReaderErrorNamesFileAndLine)
{
    ScopedFakeSoundPlayer fake;
    TToneGen source;
    source.setObjectName(QStringLiteral("ToneGen1"));
    source.SetFrequency(20);
    source.SetAMParameter(TToneGen::tgAMLevel4, 25, 1.75f, TToneGen::tgTriangle);
    source.SetAMParameter(TToneGen::tgAMLevel6, -4, 1e-20f, TToneGen::tgNoise);
    layout::LayoutResult saved;
    const QString text = layout::SaveLayout(&source, &saved);
    ASSERT_TRUE(saved.ok) << saved.error.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("AMArrayData = {"))) << text.toStdString();

    TToneGen copy;
    const layout::LayoutResult loaded = layout::LoadLayoutText(&copy, text, QStringLiteral("tone.layout"));
    ASSERT_TRUE(loaded.ok) << loaded.error.toStdString();
    EXPECT_EQ(Table(copy), Table(source));
    EXPECT_EQ(copy.Frequency(), 20);

    // A block shorter than its count: the reader's error, with file and line.
    const QString damaged = QStringLiteral("TToneGen ToneGen1 {\n  Frequency = 20\n  AMArrayData = {07000000"
                                           "0100000000000000}\n}\n");
    TToneGen target;
    const layout::LayoutResult refused =
        layout::LoadLayoutText(&target, damaged, QStringLiteral("bad.layout"));
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.line, 3);
    EXPECT_TRUE(refused.error.startsWith(QStringLiteral("bad.layout:3: AMArrayData: stream read error")))
        << refused.error.toStdString();
    EXPECT_EQ(Table(target), kReset);

    // A block of another kind is refused too, not taken as unknown.
    const QString notBinary = QStringLiteral("TToneGen ToneGen1 {\n  AMArrayData = 5\n}\n");
    const layout::LayoutResult wrongKind = layout::LoadLayoutText(&target, notBinary, QStringLiteral("x"));
    EXPECT_FALSE(wrongKind.ok);
    EXPECT_TRUE(wrongKind.error.contains(QStringLiteral("binary block"))) << wrongKind.error.toStdString();
}

TEST(AMArray, MainWindowLayoutStoresTheResetTable)
{
    QFile file(qEnvironmentVariable("SOUNDGEN_SOURCE_DIR") + QStringLiteral("/resources/Form1.layout"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "set SOUNDGEN_SOURCE_DIR";
    const QString text = QString::fromUtf8(file.readAll());
    const QRegularExpression block(
        QStringLiteral("TToneGen ToneGen1 \\{[^}]*AMArrayData = \\{([0-9A-Fa-f\\s]*)\\}"));
    const QRegularExpressionMatch match = block.match(text);
    ASSERT_TRUE(match.hasMatch());
    const QByteArray bytes = QByteArray::fromHex(match.captured(1).simplified().remove(u' ').toLatin1());

    ScopedFakeSoundPlayer fake;
    TToneGen fresh;
    EXPECT_EQ(bytes, fresh.WriteAMArray());
    TToneGen gen;
    gen.SetAMParameter(TToneGen::tgAMLevel2, 40, 9.0f, TToneGen::tgSquare);
    ASSERT_TRUE(gen.ReadAMArray(bytes));
    EXPECT_EQ(Table(gen), kReset);
}

} // namespace
