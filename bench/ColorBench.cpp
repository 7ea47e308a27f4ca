// Recolour filters against a plain copy of the same pixels, timed in the same
// run: the "vs_memcpy" counter is filter time over copy time.
#include "BenchSupport.h"
#include "color/ImageProcessingPrimitives.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using namespace tintora;
using namespace tintora::bench;

// CPU time of one copy of the bitmap's bytes, averaged over enough copies to
// dwarf the cost of reading the clock.
double copySeconds(const Bitmap& bmp, std::vector<std::uint8_t>& copy)
{
    const double start = cpuSeconds();
    long copies = 0;
    double now = start;
    while (now - start < 0.05 || copies < 3) {
        for (int i = 0; i < 8; ++i) {
            std::memcpy(copy.data(), bmp.bits(), bmp.byteSize());
            benchmark::DoNotOptimize(copy.data());
            benchmark::ClobberMemory();
        }
        copies += 8;
        now = cpuSeconds();
    }
    return (now - start) / double(copies);
}

template <class Filter> void runAgainstCopy(benchmark::State& state, Filter&& filter)
{
    Bitmap bmp = skinLike(int(state.range(0)), int(state.range(1)), state.range(2) != 0);
    std::vector<std::uint8_t> copy(bmp.byteSize());
    const double copyBefore = copySeconds(bmp, copy);
    int round = 0;
    const double start = cpuSeconds();
    for (auto _ : state) {
        filter(bmp, round++);
        benchmark::ClobberMemory();
    }
    const double filterSeconds = (cpuSeconds() - start) / double(state.iterations());
    // Copies timed on both sides of the filter runs, so that a change in the
    // machine's load during the run shows less in the ratio.
    const double copyTime = (copyBefore + copySeconds(bmp, copy)) / 2;
    state.counters["memcpy_us"] = copyTime * 1e6;
    state.counters["vs_memcpy"] = filterSeconds / copyTime;
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bmp.byteSize()));
}

void BM_ApplyColorize(benchmark::State& state)
{
    runAgainstCopy(state, [](Bitmap& bmp, int round) {
        ApplyColorize(bmp, clMagenta, float(round % 361), float(round % 101));
    });
}

void BM_ApplyBrightness(benchmark::State& state)
{
    runAgainstCopy(state,
                   [](Bitmap& bmp, int round) { ApplyBrightness(bmp, round % 2 ? -17 : 17, clMagenta); });
}

// The working bitmap of a large skin and the preview panel's size, each with
// and without key-colour areas.
BENCHMARK(BM_ApplyColorize)
    ->ArgsProduct({{4096}, {4096}, {1, 0}})
    ->ArgsProduct({{374}, {259}, {1, 0}})
    ->ArgNames({"w", "h", "keyed"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ApplyBrightness)
    ->ArgsProduct({{4096}, {4096}, {1, 0}})
    ->ArgsProduct({{374}, {259}, {1, 0}})
    ->ArgNames({"w", "h", "keyed"})
    ->Unit(benchmark::kMicrosecond);

} // namespace
