#include "tonegen/ToneGen.h"

#include "core/DesignMessage.h"
#include "layout/ClassRegistry.h"
#include "sound/SoundPlayer.h"
#include "sound/WavFormat.h"
#include "tonegen/Notes.h"
#include "tonegen/WaveSynth.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

using sound::soundPlayer;

namespace tonegen {

namespace {

int32_t g_instanceCount = 0;
uint32_t g_savedDeviceVolume = 0;
TToneGen::ImageAllocator g_imageAllocator = nullptr;

constexpr int kHeaderSize = static_cast<int>(sound::kWavHeaderBytes);

bool IsWave(int value)
{
    return value >= TToneGen::tgSine && value <= TToneGen::tgNoise;
}

// Trunc that cannot overflow: NaN gives 0, huge values saturate.
int64_t TruncSaturated(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9.2e18)
        return INT64_MAX;
    if (value <= -9.2e18)
        return INT64_MIN;
    return static_cast<int64_t>(value);
}

int SaturateToInt(int64_t value)
{
    return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

void Put32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

} // namespace

TToneGen::TToneGen(QObject *AOwner, bool designing) : QObject(AOwner)
{
    const auto *ownerState = dynamic_cast<const core::ComponentState *>(AOwner);
    if (designing || (ownerState && ownerState->isDesigning()))
        setDesigning(true);
    if (g_instanceCount == 0 && !isDesigning()) {
        g_savedDeviceVolume = ReadDeviceVolume();
        ApplyVolume();
    }
    ++g_instanceCount;
}

TToneGen::~TToneGen()
{
    Stop();
    ReleaseImage();
    --g_instanceCount;
    if (g_instanceCount == 0 && !isDesigning())
        soundPlayer().setVolume(DeviceID, g_savedDeviceVolume);
}

int32_t TToneGen::InstanceCount()
{
    return g_instanceCount;
}

uint32_t TToneGen::SavedDeviceVolume()
{
    return g_savedDeviceVolume;
}

void TToneGen::SetImageAllocator(ImageAllocator allocator)
{
    g_imageAllocator = allocator;
}

// --- properties ---

void TToneGen::SetTag(int Value)
{
    FTag = Value;
}

void TToneGen::SetFrequency(int Value)
{
    if (Value == FFrequency && FExactFrequency == 0)
        return;
    FFrequency = static_cast<int16_t>(CheckRange(20, 20000, Value));
    FExactFrequency = 0;
    NeedsBuild = true;
}

void TToneGen::SetSweep(const std::optional<Sweep> &Value)
{
    const auto same = [](const Sweep &a, const Sweep &b) {
        return a.from == b.from && a.to == b.to && a.logarithmic == b.logarithmic && a.seconds == b.seconds;
    };
    if (FSweep.has_value() == Value.has_value() && (!Value || same(*FSweep, *Value)))
        return;
    FSweep = Value;
    NeedsBuild = true;
}

void TToneGen::SetNoiseColour(NoiseColour Value)
{
    if (Value == FNoiseColour)
        return;
    FNoiseColour = Value;
    NeedsBuild = true;
}

void TToneGen::SetExactFrequency(double Hertz)
{
    const double value = std::round(std::clamp(Hertz, 20.0, 20000.0) * 100) / 100;
    if (value == ExactFrequency())
        return;
    FFrequency = static_cast<int16_t>(std::lround(value));
    FExactFrequency = value == FFrequency ? 0 : value;
    NeedsBuild = true;
}

void TToneGen::SetDuration(int Value)
{
    if (Value == FDuration)
        return;
    FDuration = static_cast<int16_t>(CheckRange(10, 32767, Value));
    NeedsBuild = true;
}

void TToneGen::SetWaveform(TTGWave Value)
{
    if (Value == FWaveform || !IsWave(Value))
        return;
    FWaveform = Value;
    NeedsBuild = true;
}

void TToneGen::SetAttack(int Value)
{
    if (Value == FAttack)
        return;
    FAttack = static_cast<int16_t>(CheckRange(0, 100, Value));
    EnvelopeStale = true;
}

void TToneGen::SetHold(int Value)
{
    if (Value == FHold)
        return;
    FHold = static_cast<int16_t>(CheckRange(0, 100, Value));
    EnvelopeStale = true;
}

void TToneGen::SetDecay(int Value)
{
    if (Value == FDecay)
        return;
    FDecay = static_cast<int16_t>(CheckRange(0, 100, Value));
    EnvelopeStale = true;
}

void TToneGen::SetSustain(int Value)
{
    if (Value == FSustain)
        return;
    FSustain = static_cast<int16_t>(CheckRange(0, 100, Value));
    EnvelopeStale = true;
}

void TToneGen::SetRelease(int Value)
{
    if (Value == FRelease)
        return;
    FRelease = static_cast<int16_t>(CheckRange(0, 100, Value));
    EnvelopeStale = true;
}

void TToneGen::SetAsync(bool Value)
{
    FAsync = Value;
}

void TToneGen::SetLoop(bool Value)
{
    FLoop = Value;
}

void TToneGen::SetResolution(TTGResolution Value)
{
    if (Value == FResolution || Value > tg8Bit)
        return;
    FResolution = Value;
    NeedsBuild = true;
}

void TToneGen::SetQuality(TTGQuality Value)
{
    if (Value == FQuality || Value > tgLoQ)
        return;
    FQuality = Value;
    NeedsBuild = true;
}

void TToneGen::SetLeftVolume(int Value)
{
    if (Value == FLeftVolume)
        return;
    FLeftVolume = static_cast<int16_t>(CheckRange(0, 100, Value));
    // While a background sound runs the level waits for the next play.
    if (isLoading() || Idle)
        ApplyVolume();
}

void TToneGen::SetRightVolume(int Value)
{
    if (Value == FRightVolume)
        return;
    FRightVolume = static_cast<int16_t>(CheckRange(0, 100, Value));
    if (isLoading() || Idle)
        ApplyVolume();
}

void TToneGen::SetStereo(bool Value)
{
    if (Value == FStereo)
        return;
    FStereo = Value;
    NeedsBuild = true;
}

void TToneGen::SetAMLevel(TTGAMLevel Value)
{
    if (Value == FAMLevel || Value > tgAMLevel8)
        return;
    FAMLevel = Value;
    SetAMAmplitude(AMAmplitudes[FAMLevel]);
    SetAMWaveform(AMWaveforms[FAMLevel]);
    SetAMFrequency(AMFrequencies[FAMLevel]);
    NeedsBuild = true;
}

void TToneGen::SetAMAmplitude(int Value)
{
    if (Value == FAMAmplitude)
        return;
    FAMAmplitude = static_cast<int16_t>(CheckRange(0, 100, Value));
    AMAmplitudes[FAMLevel] = FAMAmplitude;
    NeedsBuild = true;
}

void TToneGen::SetAMWaveform(TTGWave Value)
{
    if (Value == FAMWaveform || !IsWave(Value))
        return;
    FAMWaveform = Value;
    AMWaveforms[FAMLevel] = Value;
    NeedsBuild = true;
}

void TToneGen::SetAMFrequency(float Value)
{
    if (Value == FAMFrequency)
        return;
    FAMFrequency = Value;
    AMFrequencies[FAMLevel] = Value;
    NeedsBuild = true;
}

void TToneGen::SetAMUseMultiplier(bool Value)
{
    if (Value == FAMUseMultiplier)
        return;
    FAMUseMultiplier = Value;
    NeedsBuild = true;
}

// --- operations ---

void TToneGen::Play()
{
    if (NeedsBuild || HasEnvelope)
        BuildWave(false);
    PlayImage();
    Idle = !(FAsync || FLoop);
}

void TToneGen::PlayADSR()
{
    if (NeedsBuild || EnvelopeStale)
        BuildWave(true);
    PlayImage();
    Idle = !(FAsync || FLoop);
}

void TToneGen::Stop()
{
    soundPlayer().stop();
    Idle = true;
}

void TToneGen::PresetVolume()
{
    ApplyVolume();
}

bool TToneGen::Prepare()
{
    ApplyVolume();
    return BuildWave(false);
}

bool TToneGen::PrepareADSR()
{
    ApplyVolume();
    return BuildWave(true);
}

void TToneGen::ResetAM()
{
    for (int i = 0; i < kAMLevels; ++i) {
        AMAmplitudes[i] = 0;
        AMWaveforms[i] = tgSine;
        AMFrequencies[i] = static_cast<float>(i + 1) / 2;
    }
    NeedsBuild = true;
}

void TToneGen::SetAMParameter(TTGAMLevel Level, int16_t Amplitude, float Frequency, TTGWave Waveform)
{
    if (Level > tgAMLevel8 || !IsWave(Waveform))
        return;
    AMAmplitudes[Level] = Amplitude;
    AMFrequencies[Level] = Frequency;
    AMWaveforms[Level] = Waveform;
    NeedsBuild = true;
}

int TToneGen::SetNote(const QString &Note)
{
    int32_t octave = Octave;
    const int frequency = tonegen::ParseNote(Note, octave);
    if (frequency == 0)
        return 0;
    Octave = octave;
    SetFrequency(frequency);
    NeedsBuild = true;
    return frequency;
}

float TToneGen::SetAMNote(TTGAMLevel Level, const QString &Note)
{
    if (Level > tgAMLevel8)
        return 0;
    int32_t octave = AMOctaves[Level];
    const int frequency = tonegen::ParseNote(Note, octave);
    if (frequency == 0)
        return 0;
    // Single precision on purpose: the value is stored as a Single.
    const float value = FAMUseMultiplier ? static_cast<float>(frequency) / static_cast<float>(FFrequency)
                                         : static_cast<float>(frequency);
    AMFrequencies[Level] = value;
    AMOctaves[Level] = octave;
    NeedsBuild = true;
    return value;
}

namespace {

constexpr int kAMRecordSize = 12;

uint32_t Get32(const char *p)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= uint32_t{static_cast<uint8_t>(p[i])} << (8 * i);
    return v;
}

} // namespace

QByteArray TToneGen::WriteAMArray() const
{
    QByteArray block(4 + kAMLevels * kAMRecordSize, '\0');
    auto *p = reinterpret_cast<uint8_t *>(block.data());
    Put32(p, kAMLevels - 1);
    for (int i = 0; i < kAMLevels; ++i) {
        uint8_t *record = p + 4 + i * kAMRecordSize;
        Put32(record, static_cast<uint32_t>(int32_t{AMAmplitudes[i]}));
        Put32(record + 4, AMWaveforms[i]);
        uint32_t bits = 0;
        std::memcpy(&bits, &AMFrequencies[i], 4);
        Put32(record + 8, bits);
    }
    return block;
}

bool TToneGen::ReadAMArray(const QByteArray &Data, QString *Error)
{
    auto refuse = [Error](const QString &why) {
        if (Error)
            *Error = why;
        return false;
    };
    if (Data.size() < 4)
        return refuse(
            QStringLiteral("AMArrayData: stream read error (%1 bytes, the count needs 4)").arg(Data.size()));
    const auto count = static_cast<int32_t>(Get32(Data.constData()));
    if (count < 0)
        return true;
    const int64_t records = int64_t{count} + 1;
    const int64_t needed = 4 + records * kAMRecordSize;
    if (Data.size() < needed)
        return refuse(
            QStringLiteral("AMArrayData: stream read error (%1 records need %2 bytes, the block has %3)")
                .arg(records)
                .arg(needed)
                .arg(Data.size()));
    // Checked before anything is stored, so a refused block leaves the whole table as it was.
    const int64_t kept = std::min<int64_t>(records, kAMLevels);
    for (int64_t i = 0; i < kept; ++i) {
        const uint32_t wave = Get32(Data.constData() + 4 + i * kAMRecordSize + 4) & 0xFF;
        if (!IsWave(static_cast<int>(wave)))
            return refuse(QStringLiteral("AMArrayData: level %1 has no waveform %2").arg(i + 1).arg(wave));
    }
    // Records beyond the eighth are read past and dropped.
    for (int64_t i = 0; i < kept; ++i) {
        const char *record = Data.constData() + 4 + i * kAMRecordSize;
        AMAmplitudes[i] = static_cast<int16_t>(Get32(record) & 0xFFFF);
        AMWaveforms[i] = static_cast<TTGWave>(Get32(record + 4) & 0xFF);
        const uint32_t bits = Get32(record + 8);
        std::memcpy(&AMFrequencies[i], &bits, 4);
    }
    return true;
}

bool TToneGen::ReadStoredValueChecked(const QString &name, const QVariant &value, QString &error)
{
    if (name != QLatin1String("AMArrayData"))
        return false;
    if (value.metaType().id() != QMetaType::QByteArray) {
        error = QStringLiteral("AMArrayData must be a binary block");
        return false;
    }
    return ReadAMArray(value.toByteArray(), &error);
}

QList<QPair<QString, QVariant>> TToneGen::StoredValues() const
{
    return {{QStringLiteral("AMArrayData"), WriteAMArray()}};
}

bool TToneGen::ExportFile(const QString &FileName)
{
    if (!WaveImage)
        return false;
    QFile file(FileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    const qint64 written = file.write(reinterpret_cast<const char *>(WaveImage.get()), WaveImageSize);
    file.close();
    return written == WaveImageSize && file.error() == QFileDevice::NoError;
}

int TToneGen::CheckRange(int Lo, int Hi, int Value)
{
    if (Value >= Lo && Value <= Hi)
        return Value;
    if (isDesigning())
        core::ShowDesignMessage(QStringLiteral("Value must be between ") + QString::number(Lo) +
                                    QStringLiteral(" and ") + QString::number(Hi),
                                QStringLiteral("Error"));
    return Value > Hi ? Hi : Lo;
}

void TToneGen::ApplyVolume()
{
    const uint32_t left = static_cast<uint32_t>(FLeftVolume * 65535 / 100);
    const uint32_t right = static_cast<uint32_t>(FRightVolume * 65535 / 100);
    soundPlayer().setVolume(DeviceID, left + (right << 16));
}

uint32_t TToneGen::ReadDeviceVolume()
{
    sound::WaveOutCaps caps;
    soundPlayer().getDevCaps(DeviceID, &caps, sizeof(caps));
    uint32_t v = 0;
    soundPlayer().getVolume(DeviceID, &v);
    if (!(caps.dwSupport & sound::WAVECAPS_LRVOLUME))
        return v + (v << 16); // one level for both channels
    return v;
}

void TToneGen::PlayImage()
{
    ApplyVolume();
    uint32_t flags = sound::SND_MEMORY;
    if (FAsync)
        flags |= sound::SND_ASYNC;
    if (FLoop)
        flags |= sound::SND_ASYNC | sound::SND_LOOP;
    // The new sound takes the old one's place at the player in one call; without an image the
    // old one still ends.
    if (WaveImage)
        soundPlayer().playSound({WaveImage, static_cast<size_t>(WaveImageSize)}, flags);
    else
        soundPlayer().stop();
}

void TToneGen::ReleaseImage()
{
    WaveImage.reset();
    WaveImageSize = 0;
}

// --- synthesis ---

void TToneGen::FillWaveHeader(bool Stereo, bool Is16Bit, bool HiQ, uint8_t *Header, uint32_t DataSize)
{
    sound::WavFormat format;
    format.channels = Stereo ? 2 : 1;
    format.bitsPerSample = Is16Bit ? 16 : 8;
    format.rate = HiQ ? 96000 : 44100;
    sound::writeWavHeader(Header, format, DataSize);
}

bool TToneGen::BuildWave(bool WithEnvelope)
{
    const bool is16Bit = FResolution == tg16Bit;
    const bool hiQ = FQuality == tgHiQ;
    int64_t D = int64_t{is16Bit ? 2 : 1} * FDuration * (hiQ ? 960 : 441) / 10;
    if (FStereo)
        D *= 2;
    D = std::max<int64_t>(D, 0);
    uint8_t header[kHeaderSize];
    FillWaveHeader(FStereo, is16Bit, hiQ, header, static_cast<uint32_t>(D));

    // A build ends a sound started since the last stop, as it always has; the player keeps its
    // share of the old image for the fade-out.
    if (!Idle)
        soundPlayer().stop();
    ReleaseImage();

    const size_t size = static_cast<size_t>(kHeaderSize + D + kWavePad);
    void *memory = g_imageAllocator ? g_imageAllocator(size) : std::malloc(size);
    if (!memory) {
        // Whatever the flags said, there is no image now: the next play has to try again.
        NeedsBuild = true;
        return false;
    }
    WaveImage.reset(static_cast<uint8_t *>(memory), [](uint8_t *p) { std::free(p); });
    WaveImageSize = static_cast<int32_t>(size);
    uint8_t *const image = WaveImage.get();
    std::memcpy(image, header, kHeaderSize);

    int64_t total = 0;
    for (int16_t amplitude : AMAmplitudes)
        total += amplitude;
    std::array<SynthLayer, kAMLevels + 1> layers{};
    size_t count = 0;
    layers[count++] = {100 - total, ExactFrequency(), static_cast<SynthWave>(FWaveform), FNoiseColour, 1.0};
    for (int i = 0; i < kAMLevels; ++i) {
        int64_t amplitude = AMAmplitudes[i];
        if (total > 100)
            amplitude = amplitude * 100 / total;
        // The frequency is worked out (and range-checked) before a silent layer is skipped.
        double frequency = 0;
        if (FAMUseMultiplier && FExactFrequency > 0)
            frequency = std::clamp(FExactFrequency * static_cast<double>(AMFrequencies[i]), 20.0, 20000.0);
        else if (FAMUseMultiplier)
            frequency = CheckRange(20, 20000,
                                   SaturateToInt(TruncSaturated(static_cast<double>(FFrequency) *
                                                                static_cast<double>(AMFrequencies[i]))));
        else
            frequency = static_cast<double>(TruncSaturated(AMFrequencies[i]));
        if (amplitude <= 0 || frequency <= 0)
            continue;
        const double multiplier = FAMUseMultiplier ? static_cast<double>(AMFrequencies[i]) : 0.0;
        layers[count++] = {amplitude, frequency, static_cast<SynthWave>(AMWaveforms[i]), NoiseColour::White,
                           multiplier};
    }

    const SynthFormat format{is16Bit, FStereo, hiQ ? 96000 : 44100};
    if (FSweep)
        SynthesizeSweep(image + kHeaderSize, D, format, *FSweep, layers.data(), count);
    else
        SynthesizeLayers(image + kHeaderSize, D, format, layers.data(), count);
    const int64_t frameSize = (is16Bit ? 2 : 1) * (FStereo ? 2 : 1);
    const int64_t written = kHeaderSize + SynthFrameCount(D, format) * frameSize;
    std::memset(image + written, is16Bit ? 0 : 0x80, size - static_cast<size_t>(written));

    NeedsBuild = false;
    HasEnvelope = false;
    EnvelopeStale = true;
    if (WithEnvelope)
        ApplyEnvelope(image + kHeaderSize, D, FStereo);
    return true;
}

void TToneGen::ApplyEnvelope(uint8_t *Samples, int64_t D, bool Stereo)
{
    const bool is16Bit = FResolution == tg16Bit;
    const int64_t frameSize = (is16Bit ? 2 : 1) * (Stereo ? 2 : 1);
    const int64_t T = std::max<int64_t>(D, 0) / frameSize;
    // Frames reachable inside data and pad; the phases never pass frame T + 3.
    const int64_t lastFrame = (std::max<int64_t>(D, 0) + kWavePad) / frameSize - 1;

    auto get = [&](int64_t frame) -> int64_t {
        const uint8_t *p = Samples + frame * frameSize;
        if (is16Bit)
            return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
        return int64_t{p[0]} - 128;
    };
    auto put = [&](int64_t frame, int64_t x) {
        uint8_t *p = Samples + frame * frameSize;
        if (is16Bit) {
            const auto w = static_cast<uint16_t>(x);
            p[0] = static_cast<uint8_t>(w);
            p[1] = static_cast<uint8_t>(w >> 8);
            if (Stereo) {
                p[2] = p[0];
                p[3] = p[1];
            }
        } else {
            p[0] = static_cast<uint8_t>(x + 128);
            if (Stereo)
                p[1] = p[0];
        }
    };
    // Applies shape(k, L, x) to frames p .. p + L; returns the position after the phase.
    auto phase = [&](int64_t p, int64_t L, auto shape) {
        for (int64_t k = 0; k <= L && p + k <= lastFrame; ++k)
            put(p + k, shape(k, get(p + k)));
        return p + L + 1;
    };

    int64_t a = FAttack, h = FHold, d = FDecay, r = FRelease;
    const int64_t S = FSustain;
    const int64_t sum = a + h + d + r;
    if (sum > 100) {
        a = a * 100 / sum;
        h = h * 100 / sum;
        d = d * 100 / sum;
        r = 100 - a - h - d;
    }
    const int64_t t = 100 - (a + h + d + r);
    auto F = [&](int64_t q) { return q * D / (frameSize * 100); };

    // A phase of 0 frames would divide by 0; a product that is exactly 0 contributes 0 there.
    int64_t p = 0;
    if (a > 0) {
        const int64_t L = F(a);
        p = phase(p, L, [L](int64_t k, int64_t x) -> int64_t {
            const int64_t kx = k * x;
            return kx == 0 ? 0
                           : static_cast<int64_t>(static_cast<double>(kx) * (1.0 / static_cast<double>(L)));
        });
    }
    if (h > 0)
        p += F(h) + 1;
    if (d > 0) {
        const int64_t L = F(d);
        const double factor = L > 0 ? static_cast<double>(100 - S) / static_cast<double>(L) / 100 : 0.0;
        p = phase(p, L, [factor](int64_t k, int64_t x) -> int64_t {
            const int64_t kx = k * x;
            return kx == 0 ? x : x - static_cast<int64_t>(static_cast<double>(kx) * factor);
        });
    }
    if (t > 0) {
        const int64_t L = r > 0 ? F(t) : std::max<int64_t>(T - p, 0);
        const double level = static_cast<double>(S) / 100;
        p = phase(p, L, [level](int64_t, int64_t x) -> int64_t {
            return static_cast<int64_t>(static_cast<double>(x) * level);
        });
    }
    if (r > 0 && T - p >= 0) {
        const int64_t L = T - p;
        const double factor = L > 0 ? static_cast<double>(S) / 100 / static_cast<double>(L) : 0.0;
        phase(p, L, [L, factor](int64_t k, int64_t x) -> int64_t {
            const int64_t lx = (L - k) * x;
            return lx == 0 ? 0 : static_cast<int64_t>(static_cast<double>(lx) * factor);
        });
    }

    NeedsBuild = false;
    EnvelopeStale = false;
    HasEnvelope = true;
}

void RegisterToneGenClasses()
{
    layout::RegisterClass<TToneGen>(QStringLiteral("TToneGen"));
}

} // namespace tonegen
