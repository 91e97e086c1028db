#pragma once

#include "tonegen/ToneGen.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace app {

using tonegen::TToneGen;

// Thrown for arguments the program refuses; the message is the one line it prints.
struct UsageError
{
    QString message;
};

struct Layer
{
    bool set = false;
    int amplitude = 0;
    TToneGen::TTGWave wave = TToneGen::tgSine;
    float frequency = 0;
};

// What the arguments ask for, checked against every option's range.
struct Settings
{
    std::optional<double> frequency; // hertz, to a hundredth
    std::optional<QString> note;
    int duration = 1000;
    TToneGen::TTGWave wave = TToneGen::tgSine;
    tonegen::NoiseColour colour = tonegen::NoiseColour::White; // of noise
    std::optional<std::array<double, 2>> sweep;                // from, to (hertz)
    bool linearSweep = false;
    bool eightBit = false;
    bool stereo = true;
    bool hiQ = true;
    std::array<Layer, TToneGen::kAMLevels> layers{};
    bool absoluteLayers = false;
    std::optional<std::array<int, 5>> envelope;
    int leftLevel = 100;
    int rightLevel = 100;
    QString exportPath; // as decoded by DecodeArgument; "-" is standard output
    bool play = false;
    bool loop = false;
};

struct Parsed
{
    Settings settings;
    bool help = false;
    bool version = false;
    bool listDevices = false;
    QString helpText;
};

// Reads the arguments (the program's name first) without touching a device or a file; throws
// UsageError for anything the program refuses.
Parsed ParseArguments(const QStringList &arguments);

} // namespace app
