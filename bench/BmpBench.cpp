// Loading and saving a 4096 x 4096 24-bit BMP against reading and writing the
// same bytes raw. Each BMP benchmark reports "ratio": its time over the raw
// time measured in the same run (the goal is at most 2).
#include "imaging/BmpWriter.h"
#include "imaging/Picture.h"
#include "imaging/Readers.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace tintora {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int side = 4096;

const fs::path& benchFolder()
{
    static const fs::path folder = [] {
        fs::path f = fs::path(TINTORA_BINARY_DIR) / "bench-bmp";
        fs::create_directories(f);
        return f;
    }();
    return folder;
}

const Bitmap& sourceBitmap()
{
    static const Bitmap bmp = [] {
        Bitmap b(side, side, PixelFormat::Bits24);
        for (int y = 0; y < side; ++y) {
            std::uint8_t* row = b.scanLine(y);
            for (int x = 0; x < side * 3; ++x)
                row[x] = std::uint8_t(x ^ y);
        }
        return b;
    }();
    return bmp;
}

// The BMP file and its bytes, written once per run.
const fs::path& sourceFile()
{
    static const fs::path path = [] {
        const fs::path p = benchFolder() / "source.bmp";
        writeBmpFile(sourceBitmap(), p.string());
        return p;
    }();
    return path;
}

std::vector<std::uint8_t> rawRead(const fs::path& path)
{
    std::vector<std::uint8_t> bytes(fs::file_size(path));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    const std::size_t n = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    bytes.resize(n);
    return bytes;
}

void rawWrite(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

template <class F> double secondsOf(F&& action)
{
    const auto start = Clock::now();
    action();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Best of a few runs, so one slow moment of a shared machine does not count.
template <class F> double bestSeconds(F&& action, int runs = 5)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, secondsOf(action));
    return best;
}

void reportRatio(benchmark::State& state, double best, double raw)
{
    state.counters["raw_ms"] = raw * 1e3;
    state.counters["best_ms"] = best * 1e3;
    state.counters["ratio"] = best / raw;
}

void BM_RawRead(benchmark::State& state)
{
    const fs::path& path = sourceFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(rawRead(path).data());
}

void BM_BmpLoad(benchmark::State& state)
{
    registerStandardReaders();
    const fs::path& path = sourceFile();
    const double raw = bestSeconds([&] { benchmark::DoNotOptimize(rawRead(path).data()); });
    double best = 1e9;
    for (auto _ : state) {
        Picture picture;
        best = std::min(best, secondsOf([&] { picture.loadFromFile(path.string()); }));
        benchmark::DoNotOptimize(picture.width());
    }
    reportRatio(state, best, raw);
}

void BM_RawWrite(benchmark::State& state)
{
    const auto bytes = rawRead(sourceFile());
    const fs::path target = benchFolder() / "raw.bmp";
    for (auto _ : state)
        rawWrite(target, bytes);
}

void BM_BmpSave(benchmark::State& state)
{
    const auto bytes = rawRead(sourceFile());
    const fs::path rawTarget = benchFolder() / "raw.bmp";
    const fs::path target = benchFolder() / "saved.bmp";
    const double raw = bestSeconds([&] { rawWrite(rawTarget, bytes); });
    double best = 1e9;
    for (auto _ : state)
        best = std::min(best, secondsOf([&] { writeBmpFile(sourceBitmap(), target.string()); }));
    reportRatio(state, best, raw);
}

BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BmpLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BmpSave)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tintora
