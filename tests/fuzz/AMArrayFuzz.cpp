// The stored layer table: a refused block leaves the table as it was; an accepted one takes
// exactly the levels it announces, touches nothing else, and the generator still builds a
// valid image from it.
#include "sound/WavFormat.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tonegen/ToneGen.h"

#include <algorithm>
#include <cstring>

namespace {

using tonegen::TToneGen;

class Generator : public TToneGen
{
public:
    bool needsBuild() const { return NeedsBuild; }
};

int32_t Get32(const QByteArray &bytes, qsizetype at)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= uint32_t{static_cast<uint8_t>(bytes[at + i])} << (8 * i);
    return static_cast<int32_t>(v);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::StartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray block = fuzz::Bytes(data, size);
    static Generator *gen = [] {
        auto *g = new Generator;
        g->SetDuration(10);
        g->Prepare();
        return g;
    }();
    FUZZ_CHECK(!gen->needsBuild());
    const QByteArray before = gen->WriteAMArray();
    const auto level = gen->AMLevel();
    const auto amplitude = gen->AMAmplitude();
    const float frequency = gen->AMFrequency();

    QString error;
    const bool ok = gen->ReadAMArray(block, &error);
    const QByteArray after = gen->WriteAMArray();
    FUZZ_CHECK(after.size() == before.size());
    FUZZ_CHECK(!gen->needsBuild());
    FUZZ_CHECK(gen->AMLevel() == level && gen->AMAmplitude() == amplitude);
    const float frequencyAfter = gen->AMFrequency();
    FUZZ_CHECK(std::memcmp(&frequency, &frequencyAfter, sizeof frequency) == 0);
    if (!ok) {
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(after == before);
        return 0;
    }
    FUZZ_CHECK(block.size() >= 4);
    const int32_t count = Get32(block, 0);
    const int taken =
        count < 0 ? 0 : static_cast<int>(std::min<int64_t>(int64_t{count} + 1, TToneGen::kAMLevels));
    // Taken levels hold the block's record (low 16 bits, low 8 bits, the float's bytes), the rest stay.
    for (int i = 0; i < TToneGen::kAMLevels; ++i) {
        const qsizetype at = 4 + 12 * i;
        if (i < taken) {
            FUZZ_CHECK(static_cast<int16_t>(Get32(after, at)) == static_cast<int16_t>(Get32(block, at)));
            FUZZ_CHECK((Get32(after, at + 4) & 0xFF) == (Get32(block, at + 4) & 0xFF));
            FUZZ_CHECK(Get32(after, at + 8) == Get32(block, at + 8));
        } else {
            FUZZ_CHECK(after.mid(at, 12) == before.mid(at, 12));
        }
    }
    // The table goes back for the next input; a fresh generator builds from this one.
    FUZZ_CHECK(gen->ReadAMArray(before));
    Generator fresh;
    fresh.SetDuration(10);
    fresh.SetQuality(TToneGen::tgLoQ);
    FUZZ_CHECK(fresh.ReadAMArray(block));
    if (fresh.Prepare()) {
        const auto format =
            sound::parseWav(fresh.GetDataBuffer(), static_cast<size_t>(fresh.GetDataBufferSize()));
        FUZZ_CHECK(format.has_value());
    }
    return 0;
}
