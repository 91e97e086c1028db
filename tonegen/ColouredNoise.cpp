#include "tonegen/ColouredNoise.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tonegen {

namespace {

// A sum of first-order low-passes whose response falls 3 dB per octave, within a twentieth of a
// decibel, from a thousandth of the rate up to the Nyquist frequency (P. Kellet's refined filter).
class PinkFilter
{
public:
    double Next(double white)
    {
        b[0] = 0.99886 * b[0] + white * 0.0555179;
        b[1] = 0.99332 * b[1] + white * 0.0750759;
        b[2] = 0.96900 * b[2] + white * 0.1538520;
        b[3] = 0.86650 * b[3] + white * 0.3104856;
        b[4] = 0.55000 * b[4] + white * 0.5329522;
        b[5] = -0.7616 * b[5] - white * 0.0168980;
        const double pink = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + white * 0.5362;
        b[6] = white * 0.115926;
        return pink;
    }

private:
    double b[7] = {};
};

} // namespace

std::vector<uint16_t> ColouredNoise(NoiseColour colour, int64_t level, bool sixteenBit, int64_t frames,
                                    NoiseSource &source)
{
    const auto count = static_cast<size_t>(std::max<int64_t>(frames, 0));
    std::vector<double> y(count);
    PinkFilter first, second;
    for (double &v : y) {
        const double white = static_cast<double>(source.Draw(65536)) / 32768.0 - 1.0;
        v = first.Next(white);
        // Brown is pink filtered once more: 6 dB per octave with the same accuracy.
        if (colour == NoiseColour::Brown)
            v = second.Next(v);
    }
    // Centred, then scaled so that the larger swing reaches full level.
    const double mean = count ? std::accumulate(y.begin(), y.end(), 0.0) / static_cast<double>(count) : 0.0;
    double peak = 0;
    for (double &v : y) {
        v -= mean;
        peak = std::max(peak, std::abs(v));
    }
    const Levels lv = LevelsFor(level, sixteenBit);
    std::vector<uint16_t> values(count);
    for (size_t k = 0; k < count; ++k) {
        const double unit = peak > 0 ? y[k] / peak : 0.0;
        values[k] = Contribution(lv.low + (unit + 1) / 2 * lv.span, sixteenBit);
    }
    return values;
}

} // namespace tonegen
