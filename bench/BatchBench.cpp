// The batch tool's recolouring of 500 small skin bitmaps against ImageMagick
// doing the same hue and saturation change in one process.
#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "imaging/BmpWriter.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;
constexpr int skinFiles = 500;

struct SkinFolder {
    fs::path root = fs::temp_directory_path() / "tintora-batch-bench";
    std::vector<std::string> files;

    SkinFolder()
    {
        fs::remove_all(root);
        fs::create_directories(root / "in");
        fs::create_directories(root / "ours");
        fs::create_directories(root / "theirs");
        for (int i = 0; i < skinFiles; ++i) {
            tintora::Bitmap b(48 + i % 17, 32 + i % 11, tintora::PixelFormat::Bits24);
            for (int y = 0; y < b.height(); ++y)
                for (int x = 0; x < b.width(); ++x)
                    b.setPixel(x, y, tintora::makeColor(x * 5 + i, y * 7, 200 - x));
            const fs::path file = root / "in" / ("piece" + std::to_string(i) + ".bmp");
            tintora::writeBmpFile(b, file.string());
            files.push_back(file.string());
        }
    }
    ~SkinFolder() { fs::remove_all(root); }
};

SkinFolder& folder()
{
    static SkinFolder f;
    return f;
}

double secondsOf(const auto& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_BatchVsImageMagick(benchmark::State& state)
{
    SkinFolder& f = folder();
    tintora::batch::BatchOptions options;
    options.settings.hue = 200;
    options.settings.saturation = 60;
    options.overwrite = true;
    options.outDir = (f.root / "ours").string();
    options.files = f.files;
    const std::string magick = "mogrify -path '" + (f.root / "theirs").string() +
                               "' -format bmp -colorspace HSV -channel R -evaluate set 55.5% -channel G "
                               "-evaluate set 60% +channel -colorspace sRGB '" + (f.root / "in").string() +
                               "'/*.bmp";
    if (std::system("command -v mogrify >/dev/null 2>&1") != 0) {
        state.SkipWithError("ImageMagick's mogrify is not installed");
        return;
    }
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        std::ostringstream out, errors;
        ours += secondsOf([&] { benchmark::DoNotOptimize(tintora::batch::runBatch(options, out, errors)); });
        theirs += secondsOf([&] { benchmark::DoNotOptimize(std::system(magick.c_str())); });
    }
    state.counters["ours_ms"] = 1000 * ours / double(state.iterations());
    state.counters["imagemagick_ms"] = 1000 * theirs / double(state.iterations());
    state.counters["ratio"] = ours / theirs;
}
BENCHMARK(BM_BatchVsImageMagick)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
