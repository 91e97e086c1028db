// Build of the longest image the main window asks for (30000 ms, 16-bit stereo, 96000 frames per
// second), reported as a ratio to a memset of the same number of bytes measured in the same run.
#include "sound/SoundPlayer.h"
#include "sound/WavFormat.h"
#include "tonegen/ToneGen.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

using tonegen::TToneGen;

constexpr size_t kImageSize = sound::kWavHeaderBytes + 11520000 + 32;

// CPU time of this thread: other work on a shared machine does not count against either side.
double Now()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct Timing
{
    double best = 1e9;
    double mean = 0;
};

// Per-call times of a memset of the image size into a buffer that has been touched before.
const Timing &MemsetTiming()
{
    static const Timing timing = [] {
        std::vector<uint8_t> buffer(kImageSize, 1);
        for (int i = 0; i < 10; ++i) {
            std::memset(buffer.data(), i, buffer.size());
            benchmark::DoNotOptimize(buffer.data());
        }
        Timing t;
        const int calls = 500;
        double total = 0;
        for (int i = 0; i < calls; ++i) {
            const double start = Now();
            std::memset(buffer.data(), i, buffer.size());
            benchmark::DoNotOptimize(buffer.data());
            benchmark::ClobberMemory();
            const double seconds = Now() - start;
            total += seconds;
            t.best = std::min(t.best, seconds);
        }
        t.mean = total / calls;
        return t;
    }();
    return timing;
}

void ConfigureLongest(TToneGen &gen)
{
    gen.SetDuration(30000);
    gen.SetResolution(TToneGen::tg16Bit);
    gen.SetStereo(true);
    gen.SetQuality(TToneGen::tgHiQ);
    gen.SetFrequency(440);
}

void RunBuilds(benchmark::State &state, TToneGen &gen)
{
    const Timing &memsetTiming = MemsetTiming();
    gen.BuildWave(false); // first touch of the image memory
    double total = 0;
    double best = 1e9;
    for (auto _ : state) {
        const double start = Now();
        const bool ok = gen.BuildWave(false);
        const double seconds = Now() - start;
        benchmark::DoNotOptimize(ok);
        total += seconds;
        best = std::min(best, seconds);
        state.SetIterationTime(seconds);
    }
    if (gen.GetDataBufferSize() != static_cast<int32_t>(kImageSize))
        state.SkipWithError("unexpected image size");
    // The machine may be shared: the best times are the steadiest comparison, the means are shown too.
    state.counters["x_memset"] = best / memsetTiming.best;
    state.counters["x_memset_mean"] = total / static_cast<double>(state.iterations()) / memsetTiming.mean;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kImageSize));
}

void BM_Memset(benchmark::State &state)
{
    std::vector<uint8_t> buffer(kImageSize, 1);
    for (auto _ : state) {
        std::memset(buffer.data(), 0, buffer.size());
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.counters["memset_best_ms"] = MemsetTiming().best * 1e3;
    state.counters["memset_mean_ms"] = MemsetTiming().mean * 1e3;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kImageSize));
}

void BM_BuildMainToneOnly(benchmark::State &state)
{
    TToneGen gen;
    ConfigureLongest(gen);
    RunBuilds(state, gen);
}

void BM_BuildAllNineLayers(benchmark::State &state)
{
    TToneGen gen;
    ConfigureLongest(gen);
    // Eight layers of 10 percent each leave 20 percent to the main tone; every waveform appears.
    const TToneGen::TTGWave waves[] = {TToneGen::tgSine,     TToneGen::tgSquare,  TToneGen::tgTriangle,
                                       TToneGen::tgSawtooth, TToneGen::tgNoise,   TToneGen::tgSine,
                                       TToneGen::tgSquare,   TToneGen::tgTriangle};
    for (int i = 0; i < TToneGen::kAMLevels; ++i)
        gen.SetAMParameter(static_cast<TToneGen::TTGAMLevel>(i), 10, static_cast<float>(i + 1) / 2, waves[i]);
    RunBuilds(state, gen);
}

} // namespace

BENCHMARK(BM_Memset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildMainToneOnly)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_BuildAllNineLayers)->Unit(benchmark::kMillisecond)->UseManualTime();

int main(int argc, char **argv)
{
    sound::SilentSoundPlayer player;
    sound::setSoundPlayer(&player);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    MemsetTiming();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    sound::setSoundPlayer(nullptr);
    return 0;
}
