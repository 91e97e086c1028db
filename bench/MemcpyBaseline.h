#pragma once

// The baseline every paint benchmark is reported against: a memcpy of the same number of bytes,
// timed in the same run on this thread's CPU clock.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <vector>

namespace bench {

// CPU time of this thread, so other work on a shared machine does not count.
inline double CpuNow()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Mean time of one memcpy of `bytes` bytes.
inline double MemcpySeconds(size_t bytes)
{
    std::vector<uint8_t> from(bytes, 1), to(bytes, 0);
    const int calls = 20000;
    for (int i = 0; i < 100; ++i) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
    }
    const double start = CpuNow();
    for (int i = 0; i < calls; ++i) {
        from[size_t(i) % bytes] = uint8_t(i);
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    return (CpuNow() - start) / calls;
}

// Mean time of one memcpy of a width x height 32-bit image.
inline double MemcpySeconds(int width, int height)
{
    return MemcpySeconds(size_t(width) * size_t(height) * 4);
}

// Runs `body` for the benchmark's iterations and reports its mean time against the memcpy.
template <class Body> void Measure(benchmark::State &state, int width, int height, Body body)
{
    const double copy = MemcpySeconds(width, height);
    double spent = 0;
    int64_t count = 0;
    for (auto _ : state) {
        const double start = CpuNow();
        body();
        spent += CpuNow() - start;
        ++count;
    }
    state.counters["x_memcpy"] = count ? (spent / double(count)) / copy : 0.0;
    state.counters["memcpy_ns"] = copy * 1e9;
}

} // namespace bench
