#pragma once

#include "core/ComponentState.h"
#include "tonegen/SweepSynth.h"
#include "tonegen/WaveSynth.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace tonegen {

// Tone generator: synthesises a RIFF/WAVE image in memory from its settings and plays it through the
// process-wide sound player. The output level is the device volume, not part of the samples.
class TToneGen : public QObject, public core::ComponentState
{
    Q_OBJECT
    Q_CLASSINFO("default:Tag", "0")
    Q_CLASSINFO("default:Frequency", "440")
    Q_CLASSINFO("default:Duration", "100")
    Q_CLASSINFO("default:Waveform", "tgSine")
    Q_CLASSINFO("default:Attack", "10")
    Q_CLASSINFO("default:Hold", "5")
    Q_CLASSINFO("default:Decay", "20")
    Q_CLASSINFO("default:Sustain", "50")
    Q_CLASSINFO("default:Release", "30")
    Q_CLASSINFO("default:Async", "True")
    Q_CLASSINFO("default:Loop", "False")
    Q_CLASSINFO("default:Resolution", "tg16Bit")
    Q_CLASSINFO("default:Quality", "tgHiQ")
    Q_CLASSINFO("default:LeftVolume", "100")
    Q_CLASSINFO("default:RightVolume", "100")
    Q_CLASSINFO("default:Stereo", "False")
    Q_CLASSINFO("default:AMLevel", "tgAMLevel1")
    Q_CLASSINFO("default:AMUseMultiplier", "True")

    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
    Q_PROPERTY(int Frequency READ Frequency WRITE SetFrequency)
    Q_PROPERTY(int Duration READ Duration WRITE SetDuration)
    Q_PROPERTY(TTGWave Waveform READ Waveform WRITE SetWaveform)
    Q_PROPERTY(int Attack READ Attack WRITE SetAttack)
    Q_PROPERTY(int Hold READ Hold WRITE SetHold)
    Q_PROPERTY(int Decay READ Decay WRITE SetDecay)
    Q_PROPERTY(int Sustain READ Sustain WRITE SetSustain)
    Q_PROPERTY(int Release READ Release WRITE SetRelease)
    Q_PROPERTY(bool Async READ Async WRITE SetAsync)
    Q_PROPERTY(bool Loop READ Loop WRITE SetLoop)
    Q_PROPERTY(TTGResolution Resolution READ Resolution WRITE SetResolution)
    Q_PROPERTY(TTGQuality Quality READ Quality WRITE SetQuality)
    Q_PROPERTY(int LeftVolume READ LeftVolume WRITE SetLeftVolume)
    Q_PROPERTY(int RightVolume READ RightVolume WRITE SetRightVolume)
    Q_PROPERTY(bool Stereo READ Stereo WRITE SetStereo)
    Q_PROPERTY(TTGAMLevel AMLevel READ AMLevel WRITE SetAMLevel)
    Q_PROPERTY(int AMAmplitude READ AMAmplitude WRITE SetAMAmplitude)
    Q_PROPERTY(TTGWave AMWaveform READ AMWaveform WRITE SetAMWaveform)
    Q_PROPERTY(float AMFrequency READ AMFrequency WRITE SetAMFrequency)
    Q_PROPERTY(bool AMUseMultiplier READ AMUseMultiplier WRITE SetAMUseMultiplier)

public:
    enum TTGWave : uint8_t { tgSine, tgSquare, tgTriangle, tgSawtooth, tgNoise };
    Q_ENUM(TTGWave)
    enum TTGResolution : uint8_t { tg16Bit, tg8Bit };
    Q_ENUM(TTGResolution)
    enum TTGQuality : uint8_t { tgHiQ, tgLoQ };
    Q_ENUM(TTGQuality)
    enum TTGAMLevel : uint8_t {
        tgAMLevel1,
        tgAMLevel2,
        tgAMLevel3,
        tgAMLevel4,
        tgAMLevel5,
        tgAMLevel6,
        tgAMLevel7,
        tgAMLevel8
    };
    Q_ENUM(TTGAMLevel)

    static constexpr int kAMLevels = 8;

    // Designing is taken from an owner that is itself a component in design mode, or from `designing`.
    explicit TToneGen(QObject *AOwner = nullptr, bool designing = false);
    ~TToneGen() override;

    int Tag() const { return FTag; }
    int16_t Frequency() const { return FFrequency; }
    int16_t Duration() const { return FDuration; }
    TTGWave Waveform() const { return FWaveform; }
    int16_t Attack() const { return FAttack; }
    int16_t Hold() const { return FHold; }
    int16_t Decay() const { return FDecay; }
    int16_t Sustain() const { return FSustain; }
    int16_t Release() const { return FRelease; }
    bool Async() const { return FAsync; }
    bool Loop() const { return FLoop; }
    TTGResolution Resolution() const { return FResolution; }
    TTGQuality Quality() const { return FQuality; }
    int16_t LeftVolume() const { return FLeftVolume; }
    int16_t RightVolume() const { return FRightVolume; }
    bool Stereo() const { return FStereo; }
    TTGAMLevel AMLevel() const { return FAMLevel; }
    int16_t AMAmplitude() const { return FAMAmplitude; }
    TTGWave AMWaveform() const { return FAMWaveform; }
    float AMFrequency() const { return FAMFrequency; }
    bool AMUseMultiplier() const { return FAMUseMultiplier; }

    // Numbers are taken as int so that values beyond 16 bits clamp instead of wrapping.
    void SetTag(int Value);
    void SetFrequency(int Value);
    void SetDuration(int Value);
    void SetWaveform(TTGWave Value);
    void SetAttack(int Value);
    void SetHold(int Value);
    void SetDecay(int Value);
    void SetSustain(int Value);
    void SetRelease(int Value);
    void SetAsync(bool Value);
    void SetLoop(bool Value);
    void SetResolution(TTGResolution Value);
    void SetQuality(TTGQuality Value);
    void SetLeftVolume(int Value);
    void SetRightVolume(int Value);
    void SetStereo(bool Value);
    void SetAMLevel(TTGAMLevel Value);
    void SetAMAmplitude(int Value);
    void SetAMWaveform(TTGWave Value);
    void SetAMFrequency(float Value);
    void SetAMUseMultiplier(bool Value);

    void Play();
    void PlayADSR();
    void Stop();
    void PresetVolume();
    bool Prepare();
    bool PrepareADSR();
    void ResetAM();
    void SetAMParameter(TTGAMLevel Level, int16_t Amplitude, float Frequency, TTGWave Waveform);
    // Start of the current image (its RIFF header) or nullptr; valid until the next build.
    uint8_t *GetDataBuffer() const { return WaveImage.get(); }
    int32_t GetDataBufferSize() const { return WaveImageSize; }
    bool ExportFile(const QString &FileName);

    // Replaces the image with a new one built from the current settings; false when no memory.
    bool BuildWave(bool WithEnvelope);
    static void FillWaveHeader(bool Stereo, bool Is16Bit, bool HiQ, uint8_t *Header, uint32_t DataSize);
    // Shapes D data bytes in place; the block must reach kWavePad bytes past the data.
    void ApplyEnvelope(uint8_t *Samples, int64_t D, bool Stereo);

    static int32_t InstanceCount();
    static uint32_t SavedDeviceVolume();

    // Where image memory comes from; must return std::free-able memory or nullptr.
    // Tests install a failing one; nullptr restores std::malloc.
    using ImageAllocator = void *(*)(size_t);
    static void SetImageAllocator(ImageAllocator allocator);

    // The main frequency to a hundredth of a hertz, for images that need more than whole hertz;
    // Frequency() reads the nearest whole number, and SetFrequency returns to whole hertz.
    void SetExactFrequency(double Hertz);
    double ExactFrequency() const { return FExactFrequency > 0 ? FExactFrequency : FFrequency; }

    // For images beyond the window's settings: a sweep in place of the fixed frequency (layers given
    // as multipliers follow it), and the colour of the main noise. Not stored.
    void SetSweep(const std::optional<Sweep> &Value);
    void SetNoiseColour(NoiseColour Value);

    // Main frequency from a note text; the new frequency, or 0 (nothing changed) when unusable.
    int SetNote(const QString &Note);
    // A layer's frequency value from a note text, a multiplier of Frequency when AMUseMultiplier;
    // the stored value, or 0 (nothing changed) when unusable.
    float SetAMNote(TTGAMLevel Level, const QString &Note);
    int32_t GetOctave() const { return Octave; }
    int32_t GetAMOctave(TTGAMLevel Level) const { return Level <= tgAMLevel8 ? AMOctaves[Level] : 0; }

    // The layer table as the stored binary value "AMArrayData" (100 bytes).
    QByteArray WriteAMArray() const;
    // Takes the table from a stored block; a damaged block is refused whole with the reason in
    // `Error`. The AM properties and the build flags stay as they are.
    bool ReadAMArray(const QByteArray &Data, QString *Error = nullptr);

    bool ReadStoredValueChecked(const QString &name, const QVariant &value, QString &error) override;
    QList<QPair<QString, QVariant>> StoredValues() const override;

protected:
    int CheckRange(int Lo, int Hi, int Value);
    void ApplyVolume();
    uint32_t ReadDeviceVolume();
    void PlayImage();
    void ReleaseImage();

    bool NeedsBuild = true;
    bool EnvelopeStale = true;
    bool HasEnvelope = true;
    bool Idle = true;
    // Shared with the player, which may still sound it after a build has let go of it.
    std::shared_ptr<uint8_t> WaveImage;
    int32_t WaveImageSize = 0;

    int FTag = 0;
    int16_t FFrequency = 440;
    double FExactFrequency = 0; // 0: FFrequency is the frequency
    std::optional<Sweep> FSweep;
    NoiseColour FNoiseColour = NoiseColour::White;
    int16_t FDuration = 100;
    TTGWave FWaveform = tgSine;
    int16_t FAttack = 10;
    int16_t FHold = 5;
    int16_t FDecay = 20;
    int16_t FSustain = 50;
    int16_t FRelease = 30;
    bool FAsync = true;
    bool FLoop = false;
    TTGResolution FResolution = tg16Bit;
    TTGQuality FQuality = tgHiQ;
    int16_t FLeftVolume = 100;
    int16_t FRightVolume = 100;
    uint32_t DeviceID = 0;
    bool FStereo = false;
    int16_t FAMAmplitude = 0;
    TTGWave FAMWaveform = tgSine;
    float FAMFrequency = 0.5f;
    bool FAMUseMultiplier = true;
    int32_t Octave = 4;
    TTGAMLevel FAMLevel = tgAMLevel1;
    std::array<int16_t, kAMLevels> AMAmplitudes{};
    std::array<TTGWave, kAMLevels> AMWaveforms{};
    std::array<float, kAMLevels> AMFrequencies{0.5f, 1.0f, 1.5f, 2.0f, 2.5f, 3.0f, 3.5f, 4.0f};
    std::array<int32_t, kAMLevels> AMOctaves{4, 4, 4, 4, 4, 4, 4, 4};
};

// Registers TToneGen with the framework's class registry so stored layouts can create it.
void RegisterToneGenClasses();
} // namespace tonegen
