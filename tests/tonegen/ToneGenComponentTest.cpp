// Settings, build-on-demand flags, player and device-volume calls, instances, export.
#include "core/DesignMessage.h"
#include "layout/ClassRegistry.h"
#include "sound/SdlSoundPlayer.h"
#include "tests/common/TestMain.h"
#include "tests/tonegen/ToneGenTestSupport.h"

#include <QDir>
#include <QFile>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using sound::FakeSoundPlayer;
using sound::ScopedFakeSoundPlayer;
using Names = std::vector<std::string>;

struct MessageRecorder
{
    MessageRecorder()
    {
        core::SetDesignMessageHandler([this](const core::DesignMessage &m) { requests.push_back(m); });
    }
    ~MessageRecorder() { core::SetDesignMessageHandler(nullptr); }
    std::vector<core::DesignMessage> requests;
};

class DesigningOwner : public QObject, public core::ComponentState
{
public:
    DesigningOwner() { setDesigning(true); }
};

std::vector<uint32_t> Values(const FakeSoundPlayer &p, const std::string &what)
{
    std::vector<uint32_t> v;
    for (const auto &c : p.calls)
        if (c.what == what)
            v.push_back(c.value);
    return v;
}

TEST(ToneGenPublished, PropertiesEnumsAndTheAlwaysWrittenLayerValues)
{
    ScopedFakeSoundPlayer fake;
    ProbeToneGen gen;
    const QMetaObject *mo = gen.metaObject();
    Names names;
    for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i)
        names.push_back(mo->property(i).name());
    EXPECT_EQ(names,
              (Names{"Tag",        "Frequency",   "Duration",       "Waveform", "Attack",  "Hold",
                     "Decay",      "Sustain",     "Release",        "Async",    "Loop",    "Resolution",
                     "Quality",    "LeftVolume",  "RightVolume",    "Stereo",   "AMLevel", "AMAmplitude",
                     "AMWaveform", "AMFrequency", "AMUseMultiplier"}));

    auto keys = [&](const char *name) {
        const QMetaEnum e = mo->enumerator(mo->indexOfEnumerator(name));
        Names k;
        for (int i = 0; i < e.keyCount(); ++i) {
            EXPECT_EQ(e.value(i), i);
            k.push_back(e.key(i));
        }
        return k;
    };
    EXPECT_EQ(keys("TTGWave"), (Names{"tgSine", "tgSquare", "tgTriangle", "tgSawtooth", "tgNoise"}));
    EXPECT_EQ(keys("TTGResolution"), (Names{"tg16Bit", "tg8Bit"}));
    EXPECT_EQ(keys("TTGQuality"), (Names{"tgHiQ", "tgLoQ"}));
    EXPECT_EQ(keys("TTGAMLevel"), (Names{"tgAMLevel1", "tgAMLevel2", "tgAMLevel3", "tgAMLevel4", "tgAMLevel5",
                                         "tgAMLevel6", "tgAMLevel7", "tgAMLevel8"}));

    // The selected layer's three values have no stream default: they are always written.
    for (const char *prop : {"AMAmplitude", "AMWaveform", "AMFrequency"})
        EXPECT_LT(mo->indexOfClassInfo((std::string("default:") + prop).c_str()), 0) << prop;
    EXPECT_EQ(gen.AMAmplitude(), 0);
    EXPECT_EQ(gen.AMWaveform(), TToneGen::tgSine);
    EXPECT_FLOAT_EQ(gen.AMFrequency(), 0.5f);

    // Stored layouts set values by name.
    EXPECT_TRUE(gen.setProperty("Waveform", QString("tgTriangle")));
    EXPECT_EQ(gen.Waveform(), TToneGen::tgTriangle);
    EXPECT_TRUE(gen.setProperty("Frequency", 1000));
    EXPECT_EQ(gen.Frequency(), 1000);
}

TEST(ToneGenPublished, CreatedByClassNameInsideADesigningOwner)
{
    ScopedFakeSoundPlayer fake;
    tonegen::RegisterToneGenClasses();
    DesigningOwner owner;
    QObject *object = layout::CreateObject("TToneGen", &owner);
    auto *gen = qobject_cast<TToneGen *>(object);
    ASSERT_NE(gen, nullptr);
    EXPECT_EQ(gen->parent(), &owner);
    EXPECT_TRUE(gen->isDesigning());
    EXPECT_TRUE(fake.player.calls.empty()) << "a designing instance leaves the device volume alone";
    EXPECT_EQ(TToneGen::InstanceCount(), 1);
    delete gen;
    EXPECT_EQ(TToneGen::InstanceCount(), 0);
}

TEST(ToneGenSettings, RunTimeClampsAreSilent)
{
    ScopedFakeSoundPlayer fake;
    MessageRecorder messages;
    ProbeToneGen gen;
    gen.SetFrequency(19);
    EXPECT_EQ(gen.Frequency(), 20);
    gen.SetFrequency(20001);
    EXPECT_EQ(gen.Frequency(), 20000);
    gen.SetFrequency(40000); // beyond 16 bits: clamps, does not wrap
    EXPECT_EQ(gen.Frequency(), 20000);
    gen.SetDuration(5);
    EXPECT_EQ(gen.Duration(), 10);
    gen.SetDuration(40000);
    EXPECT_EQ(gen.Duration(), 32767);
    gen.SetLeftVolume(-1);
    EXPECT_EQ(gen.LeftVolume(), 0);
    gen.SetLeftVolume(101);
    EXPECT_EQ(gen.LeftVolume(), 100);
    gen.SetRightVolume(-7);
    EXPECT_EQ(gen.RightVolume(), 0);
    gen.SetAttack(101);
    gen.SetHold(-1);
    gen.SetDecay(500);
    gen.SetSustain(-100);
    gen.SetRelease(200);
    EXPECT_EQ(gen.Attack(), 100);
    EXPECT_EQ(gen.Hold(), 0);
    EXPECT_EQ(gen.Decay(), 100);
    EXPECT_EQ(gen.Sustain(), 0);
    EXPECT_EQ(gen.Release(), 100);
    gen.SetAMAmplitude(150);
    EXPECT_EQ(gen.AMAmplitude(), 100);
    // Values outside an enumeration are refused.
    gen.SetWaveform(static_cast<TToneGen::TTGWave>(9));
    EXPECT_EQ(gen.Waveform(), TToneGen::tgSine);
    gen.SetAMLevel(static_cast<TToneGen::TTGAMLevel>(8));
    EXPECT_EQ(gen.AMLevel(), TToneGen::tgAMLevel1);
    EXPECT_TRUE(messages.requests.empty());
}

TEST(ToneGenSettings, DesignModeShowsTheRangeMessage)
{
    ScopedFakeSoundPlayer fake;
    MessageRecorder messages;
    DesigningOwner owner;
    ProbeToneGen gen(&owner);
    ASSERT_TRUE(gen.isDesigning());
    gen.SetFrequency(19);
    EXPECT_EQ(gen.Frequency(), 20);
    gen.SetRightVolume(101);
    gen.SetFrequency(300); // in range: no message
    ASSERT_EQ(messages.requests.size(), 2u);
    EXPECT_EQ(messages.requests[0].text, "Value must be between 20 and 20000");
    EXPECT_EQ(messages.requests[0].caption, "Error");
    EXPECT_EQ(messages.requests[1].text, "Value must be between 0 and 100");
    // A multiplied layer frequency out of range is reported during the build, even for a layer
    // that is silent: level 1 (x 0.5) gives 10 Hz at 20 Hz, the others stay in range.
    gen.SetFrequency(20);
    ASSERT_TRUE(gen.Prepare());
    ASSERT_EQ(messages.requests.size(), 3u);
    EXPECT_EQ(messages.requests[2].text, "Value must be between 20 and 20000");
    gen.SetAMParameter(TToneGen::tgAMLevel1, 10, 0.5f, TToneGen::tgSine);
    ASSERT_TRUE(gen.Prepare());
    ASSERT_EQ(messages.requests.size(), 4u);
    // At 20000 Hz the six layers above x 1 all leave the range.
    gen.SetFrequency(20000);
    ASSERT_TRUE(gen.Prepare());
    ASSERT_EQ(messages.requests.size(), 10u);
    EXPECT_EQ(gen.CheckRange(-5, 5, 6), 5);
    EXPECT_EQ(messages.requests.back().text, "Value must be between -5 and 5");
}

TEST(ToneGenSettings, AMLevelShowsAndEditsTheSelectedLayer)
{
    ScopedFakeSoundPlayer fake;
    ProbeToneGen gen;
    gen.SetAMParameter(TToneGen::tgAMLevel3, 40, 2.25f, TToneGen::tgSawtooth);
    gen.SetAMLevel(TToneGen::tgAMLevel3);
    EXPECT_EQ(gen.AMAmplitude(), 40);
    EXPECT_EQ(gen.AMWaveform(), TToneGen::tgSawtooth);
    EXPECT_FLOAT_EQ(gen.AMFrequency(), 2.25f);
    // SetAMParameter on the selected level leaves the properties showing the old values.
    gen.SetAMParameter(TToneGen::tgAMLevel3, 70, 3.0f, TToneGen::tgSquare);
    EXPECT_EQ(gen.AMAmplitude(), 40);
    gen.SetAMAmplitude(55);
    gen.SetAMLevel(TToneGen::tgAMLevel1);
    EXPECT_EQ(gen.AMAmplitude(), 0);
    EXPECT_FLOAT_EQ(gen.AMFrequency(), 0.5f);
    gen.SetAMLevel(TToneGen::tgAMLevel3);
    EXPECT_EQ(gen.AMAmplitude(), 55);
    EXPECT_EQ(gen.AMWaveform(), TToneGen::tgSquare);
    EXPECT_FLOAT_EQ(gen.AMFrequency(), 3.0f);
    // ResetAM resets the table only, every level to silence, sine and (level + 1) / 2.
    for (int i = 0; i < TToneGen::kAMLevels; ++i)
        gen.SetAMParameter(static_cast<TToneGen::TTGAMLevel>(i), 9, 7.0f, TToneGen::tgNoise);
    gen.ResetAM();
    EXPECT_EQ(gen.AMAmplitude(), 55);
    for (int i = 0; i < TToneGen::kAMLevels; ++i) {
        gen.SetAMLevel(static_cast<TToneGen::TTGAMLevel>(i));
        EXPECT_EQ(gen.AMAmplitude(), 0) << i;
        EXPECT_EQ(gen.AMWaveform(), TToneGen::tgSine) << i;
        EXPECT_FLOAT_EQ(gen.AMFrequency(), (i + 1) / 2.0f) << i;
    }
}

TEST(ToneGenBuild, BuildsOnlyWhenNeeded)
{
    ScopedFakeSoundPlayer fake;
    ProbeToneGen gen;
    EXPECT_EQ(gen.GetDataBuffer(), nullptr);
    EXPECT_TRUE(gen.NeedsBuild && gen.EnvelopeStale && gen.HasEnvelope);
    FakeSoundPlayer &p = fake.player;
    p.clear();
    gen.Play();
    EXPECT_EQ(p.callNames(), (Names{"setVolume", "play"})) << "nothing sounds yet, so nothing is stopped";
    EXPECT_FALSE(gen.NeedsBuild);
    EXPECT_FALSE(gen.HasEnvelope);
    EXPECT_TRUE(gen.EnvelopeStale);
    const uint8_t *first = p.calls.back().shared.data();
    p.clear();
    gen.Play();
    EXPECT_EQ(p.callNames(), (Names{"setVolume", "play"})) << "no second build";
    EXPECT_EQ(p.calls.back().shared.data(), first) << "the same image again";
    const auto plain = gen.Image();

    gen.SetAttack(40); // envelope settings do not touch the plain image
    EXPECT_FALSE(gen.NeedsBuild);
    p.clear();
    gen.Play();
    EXPECT_EQ(CountCalls(p, "stop"), 0);

    p.clear();
    gen.PlayADSR();
    EXPECT_EQ(CountCalls(p, "stop"), 1) << "builds with the envelope";
    EXPECT_TRUE(gen.HasEnvelope);
    EXPECT_FALSE(gen.EnvelopeStale);
    EXPECT_NE(gen.Image(), plain);
    p.clear();
    gen.PlayADSR();
    EXPECT_EQ(CountCalls(p, "stop"), 0);
    p.clear();
    gen.Play();
    EXPECT_EQ(CountCalls(p, "stop"), 1) << "builds again without the envelope";
    EXPECT_EQ(gen.Image(), plain);

    // Every sample-shaping setting asks for a new build.
    auto needsBuildAfter = [&](auto change) {
        gen.Play();
        EXPECT_FALSE(gen.NeedsBuild);
        change();
        return gen.NeedsBuild;
    };
    EXPECT_TRUE(needsBuildAfter([&] { gen.SetFrequency(441); }));
    EXPECT_TRUE(needsBuildAfter([&] { gen.SetDuration(120); }));
    EXPECT_TRUE(needsBuildAfter([&] { gen.SetWaveform(TToneGen::tgNoise); }));
    EXPECT_TRUE(needsBuildAfter([&] { gen.SetResolution(TToneGen::tg8Bit); }));
    EXPECT_TRUE(needsBuildAfter([&] { gen.SetQuality(TToneGen::tgLoQ); }));
    EXPECT_TRUE(needsBuildAfter([&] { gen.SetStereo(true); }));
    EXPECT_TRUE(needsBuildAfter([&] { gen.SetAMLevel(TToneGen::tgAMLevel2); }));
    EXPECT_TRUE(needsBuildAfter([&] { gen.SetAMAmplitude(5); }));
    EXPECT_TRUE(needsBuildAfter([&] { gen.SetAMWaveform(TToneGen::tgSquare); }));
    EXPECT_TRUE(needsBuildAfter([&] { gen.SetAMFrequency(1.25f); }));
    EXPECT_TRUE(needsBuildAfter([&] { gen.SetAMUseMultiplier(false); }));
    EXPECT_TRUE(needsBuildAfter([&] { gen.ResetAM(); }));
    EXPECT_TRUE(
        needsBuildAfter([&] { gen.SetAMParameter(TToneGen::tgAMLevel5, 1, 1.0f, TToneGen::tgSine); }));
    EXPECT_FALSE(needsBuildAfter([&] { gen.SetSustain(10); }));
    EXPECT_FALSE(needsBuildAfter([&] { gen.SetLeftVolume(30); }));
    EXPECT_FALSE(needsBuildAfter([&] { gen.SetLoop(true); }));
    gen.Stop();
}

TEST(ToneGenBuild, PrepareBuildsUnconditionally)
{
    ScopedFakeSoundPlayer fake;
    ProbeToneGen gen;
    gen.Play(); // a build ends what plays
    fake.player.clear();
    EXPECT_TRUE(gen.Prepare());
    EXPECT_TRUE(gen.Prepare());
    EXPECT_EQ(fake.player.callNames(), (Names{"setVolume", "stop", "setVolume", "stop"}));
    EXPECT_TRUE(gen.PrepareADSR());
    EXPECT_TRUE(gen.HasEnvelope);
}

void *FailingAllocator(size_t)
{
    return nullptr;
}

TEST(ToneGenBuild, FailedAllocationLeavesNoImageAndPlaysNothing)
{
    ScopedFakeSoundPlayer fake;
    ProbeToneGen gen;
    ASSERT_TRUE(gen.PrepareADSR());
    ASSERT_NE(gen.GetDataBuffer(), nullptr);
    TToneGen::SetImageAllocator(FailingAllocator);
    EXPECT_FALSE(gen.PrepareADSR());
    EXPECT_EQ(gen.GetDataBuffer(), nullptr);
    EXPECT_EQ(gen.GetDataBufferSize(), 0);
    fake.player.clear();
    gen.PlayADSR();
    gen.Play();
    EXPECT_EQ(CountCalls(fake.player, "play"), 0);
    EXPECT_FALSE(gen.ExportFile(QDir(testsupport::artifactDir()).filePath("never.wav")));
    TToneGen::SetImageAllocator(nullptr);
    // The next play tries again, with or without the envelope.
    fake.player.clear();
    gen.PlayADSR();
    ASSERT_EQ(CountCalls(fake.player, "play"), 1);
    EXPECT_EQ(fake.player.calls.back().image, gen.Image());
}

TEST(ToneGenPlayer, FlagsAndCallOrder)
{
    ScopedFakeSoundPlayer fake;
    ProbeToneGen gen;
    FakeSoundPlayer &p = fake.player;
    ASSERT_TRUE(gen.Prepare());
    p.clear();
    gen.Play(); // Async True, Loop False
    EXPECT_EQ(p.callNames(), (Names{"setVolume", "play"}));
    EXPECT_EQ(Values(p, "play"), (std::vector<uint32_t>{5}));
    EXPECT_EQ(p.calls.back().image, gen.Image());
    EXPECT_FALSE(gen.Idle);

    p.clear();
    gen.SetAsync(false);
    gen.Play();
    EXPECT_EQ(Values(p, "play"), (std::vector<uint32_t>{4}));
    EXPECT_TRUE(gen.Idle) << "a synchronous play has ended when Play returns";

    p.clear();
    gen.SetLoop(true); // loops in the background whatever Async says
    gen.Play();
    EXPECT_EQ(Values(p, "play"), (std::vector<uint32_t>{13}));
    EXPECT_FALSE(gen.Idle);
    gen.SetAsync(true);
    gen.PlayADSR();
    EXPECT_EQ(Values(p, "play"), (std::vector<uint32_t>{13, 13}));

    p.clear();
    gen.Stop();
    gen.Stop();
    EXPECT_EQ(p.callNames(), (Names{"stop", "stop"}));
    EXPECT_TRUE(gen.Idle);
}

// A knob step rebuilds while the old tone still sounds: the generator lets go of the old image, and
// the player fades it out from its own share, sample for sample what the old image held.
TEST(ToneGenPlayer, PlayerKeepsTheOldImageAfterARebuild)
{
    sound::SdlSoundPlayer::Options options;
    options.deviceThread = false;
    sound::SdlSoundPlayer player(nullptr, options);
    sound::SdlSoundPlayer reference(nullptr, options);
    struct Installed
    {
        explicit Installed(sound::SoundPlayer *p) { sound::setSoundPlayer(p); }
        ~Installed() { sound::setSoundPlayer(nullptr); }
    } installed(&player);
    ProbeToneGen gen;
    gen.SetLoop(true);
    gen.Play();
    const auto oldImage = gen.Image();
    gen.SetFrequency(880);
    gen.Play(); // builds: the generator's old image is gone
    const auto newImage = gen.Image();
    ASSERT_NE(oldImage, newImage);

    reference.playSound(sound::shareImage(oldImage), 13);
    reference.playSound(sound::shareImage(newImage), 13);
    const int frames = 2 * sound::SdlSoundPlayer::rampFrames(96000);
    std::vector<float> heard(2 * static_cast<size_t>(frames));
    std::vector<float> expected(heard.size());
    player.render(heard.data(), frames);
    reference.render(expected.data(), frames);
    EXPECT_EQ(heard, expected);
}

TEST(ToneGenPlayer, VolumeWordAndWhenItIsPushed)
{
    ScopedFakeSoundPlayer fake;
    ProbeToneGen gen;
    FakeSoundPlayer &p = fake.player;
    p.clear();
    gen.SetLeftVolume(50); // idle: pushed at once
    EXPECT_EQ(Values(p, "setVolume"), (std::vector<uint32_t>{0xFFFF7FFF}));
    gen.SetRightVolume(0);
    gen.SetLeftVolume(0);
    EXPECT_EQ(p.calls.back().value, 0u);
    gen.SetRightVolume(100);
    gen.SetLeftVolume(50);

    gen.SetLoop(true);
    gen.Play();
    p.clear();
    gen.SetLeftVolume(20); // a loop plays: stored only
    gen.SetRightVolume(10);
    EXPECT_TRUE(p.calls.empty());
    gen.PresetVolume();
    EXPECT_EQ(Values(p, "setVolume"), (std::vector<uint32_t>{(6553u << 16) + 13107u}));
    p.clear();
    gen.Play(); // next play applies the stored levels before starting
    EXPECT_EQ(p.callNames(), (Names{"setVolume", "play"}));
    EXPECT_EQ(p.calls[0].value, (6553u << 16) + 13107u);

    // While loading from a layout the level is pushed even though the loop plays.
    p.clear();
    gen.setLoading(true);
    gen.SetLeftVolume(0);
    gen.setLoading(false);
    EXPECT_EQ(Values(p, "setVolume"), (std::vector<uint32_t>{6553u << 16}));
    gen.Stop();
    p.clear();
    gen.SetLeftVolume(100);
    EXPECT_EQ(Values(p, "setVolume"), (std::vector<uint32_t>{(6553u << 16) + 65535u}));
}

TEST(ToneGenInstances, FirstSavesLastRestores)
{
    ScopedFakeSoundPlayer fake;
    FakeSoundPlayer &p = fake.player;
    ASSERT_EQ(TToneGen::InstanceCount(), 0);
    p.deviceVolume = 0x00001234;
    p.support = 0; // one level for both channels
    auto first = std::make_unique<ProbeToneGen>();
    EXPECT_EQ(p.callNames(), (Names{"getDevCaps", "getVolume", "setVolume"}));
    EXPECT_EQ(p.calls.back().value, 0xFFFFFFFFu);
    EXPECT_EQ(TToneGen::SavedDeviceVolume(), 0x12341234u);
    p.clear();
    auto second = std::make_unique<ProbeToneGen>();
    EXPECT_TRUE(p.calls.empty()) << "only the first instance saves";
    EXPECT_EQ(TToneGen::InstanceCount(), 2);
    auto designing = std::make_unique<ProbeToneGen>(nullptr, true);
    EXPECT_EQ(TToneGen::InstanceCount(), 3);
    designing.reset();
    second.reset();
    EXPECT_EQ(Values(p, "setVolume"), std::vector<uint32_t>{}) << "not the last one";
    first->SetLeftVolume(10);
    p.clear();
    first.reset();
    EXPECT_EQ(p.callNames(), (Names{"stop", "setVolume"}));
    EXPECT_EQ(p.calls.back().value, 0x12341234u);
    EXPECT_EQ(TToneGen::InstanceCount(), 0);

    // A device with separate levels keeps its word as read.
    p.support = sound::WAVECAPS_LRVOLUME;
    p.deviceVolume = 0x12345678;
    p.clear();
    {
        ProbeToneGen gen;
    }
    EXPECT_EQ(Values(p, "setVolume"), (std::vector<uint32_t>{0xFFFFFFFF, 0x12345678}));

    // Only design-mode instances: nothing is read or restored.
    p.clear();
    {
        ProbeToneGen gen(nullptr, true);
    }
    EXPECT_EQ(p.callNames(), (Names{"stop"}));
}

TEST(ToneGenExport, WritesTheWholeImage)
{
    ScopedFakeSoundPlayer fake;
    ProbeToneGen gen;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("tone"); // no extension is added
    EXPECT_FALSE(gen.ExportFile(path)) << "no image yet";
    EXPECT_FALSE(QFile::exists(path));
    gen.SetQuality(TToneGen::tgLoQ);
    gen.SetDuration(15);
    ASSERT_TRUE(gen.Prepare());
    QFile::remove(path);
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
    }
    ASSERT_TRUE(gen.ExportFile(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.size(), 1399);
    const auto img = gen.Image();
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), img);

    EXPECT_FALSE(gen.ExportFile(dir.filePath("missing/dir/tone.wav")));
    EXPECT_FALSE(gen.ExportFile(QString()));
    if (QFile::exists("/dev/full")) {
        EXPECT_FALSE(gen.ExportFile("/dev/full")) << "a failed write is reported";
    }
}

} // namespace
