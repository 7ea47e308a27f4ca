// tintora-batch, run as a process of its own, against ImageMagick's mogrify
// making the same hue and saturation change: 500 small skin bitmaps, and one
// 4096 x 4096 bitmap with key-colour blocks. Each reports "ratio", our wall time
// over theirs in the same run (below 1: we are faster), and "cpu_ratio", the
// same on the two processes' processor time; the large bitmap also reports our
// peak resident memory against 2.2 x its pixel bytes + 10 MB ("rss_budget",
// at most 1).
#include "BenchSupport.h"
#include "imaging/BmpWriter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string batchTool = std::string(TINTORA_BINARY_DIR) + "/src/tintora-batch";

// The hue 200 and saturation 60 of our gauges in ImageMagick's HSV channels.
std::vector<std::string> mogrify(const fs::path& outDir)
{
    return {"mogrify",   "-path", outDir.string(), "-format",  "bmp",         "-colorspace", "HSV",
            "-channel",  "R",     "-evaluate",     "set",      "55.5%",       "-channel",    "G",
            "-evaluate", "set",   "60%",           "+channel", "-colorspace", "sRGB"};
}

std::vector<std::string> ours(const fs::path& outDir)
{
    return {batchTool, "--quiet", "--hue", "200", "--sat", "60", "--overwrite", "--out", outDir.string()};
}

struct ChildRun {
    bool ok = false;
    double seconds = 0, cpuSeconds = 0, peakMb = 0;
};

// Runs a program with its output thrown away and waits for it: wall time, and
// from the kernel's account of that one child, processor time and peak memory.
ChildRun run(std::vector<std::string> args, const std::vector<std::string>& files)
{
    args.insert(args.end(), files.begin(), files.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return {};
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto seconds = [](timeval t) { return double(t.tv_sec) + 1e-6 * double(t.tv_usec); };
    return {WIFEXITED(status) && WEXITSTATUS(status) == 0,
            std::chrono::duration<double>(Clock::now() - start).count(),
            seconds(usage.ru_utime) + seconds(usage.ru_stime), double(usage.ru_maxrss) / 1024};
}

// A memory file system where there is one: both tools create and replace the
// same files, and on a disk the journal's and the allocator's state (a folder
// emptied just before, say) swings those costs far more than either tool does.
fs::path scratch()
{
    std::error_code ec;
    return fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
}

struct Folder {
    fs::path root;
    std::vector<std::string> files;

    explicit Folder(const std::string& name) : root(scratch() / name)
    {
        fs::remove_all(root);
        fs::create_directories(root / "in");
    }
    ~Folder() { fs::remove_all(root); }
    void add(const tintora::Bitmap& b, const std::string& name)
    {
        const fs::path file = root / "in" / name;
        tintora::writeBmpFile(b, file.string());
        files.push_back(file.string());
    }
    // Fresh output folders, so that neither tool replaces a file of a run before.
    void clearOutputs() const
    {
        for (const char* out : {"ours", "theirs"}) {
            fs::remove_all(root / out);
            fs::create_directories(root / out);
        }
    }
};

void compare(benchmark::State& state, const Folder& folder, double pixelBytes)
{
    if (!run({"mogrify", "-version"}, {}).ok) {
        state.SkipWithError("ImageMagick's mogrify is not installed");
        return;
    }
    ChildRun sum, theirs, peak;
    for (auto _ : state) {
        folder.clearOutputs();
        const ChildRun a = run(ours(folder.root / "ours"), folder.files);
        const ChildRun b = run(mogrify(folder.root / "theirs"), folder.files);
        if (!a.ok || !b.ok) {
            state.SkipWithError("a run failed");
            return;
        }
        sum.seconds += a.seconds, sum.cpuSeconds += a.cpuSeconds;
        theirs.seconds += b.seconds, theirs.cpuSeconds += b.cpuSeconds;
        peak.peakMb = std::max(peak.peakMb, a.peakMb);
    }
    const double n = double(state.iterations());
    state.counters["ours_ms"] = 1000 * sum.seconds / n;
    state.counters["imagemagick_ms"] = 1000 * theirs.seconds / n;
    state.counters["ratio"] = sum.seconds / theirs.seconds;
    state.counters["cpu_ratio"] = sum.cpuSeconds / theirs.cpuSeconds;
    state.counters["peak_rss_mb"] = peak.peakMb;
    if (pixelBytes > 0)
        state.counters["rss_budget"] = peak.peakMb / (2.2 * pixelBytes / (1 << 20) + 10);
}

void BM_Batch500SkinsVsImageMagick(benchmark::State& state)
{
    static const Folder folder = [] {
        Folder f("tintora-batch-bench-skins");
        for (int i = 0; i < 500; ++i) {
            tintora::Bitmap b(48 + i % 17, 32 + i % 11, tintora::PixelFormat::Bits24);
            for (int y = 0; y < b.height(); ++y)
                for (int x = 0; x < b.width(); ++x)
                    b.setPixel(x, y, tintora::makeColor(x * 5 + i, y * 7, 200 - x));
            f.add(b, "piece" + std::to_string(i) + ".bmp");
        }
        return f;
    }();
    compare(state, folder, 0);
}
BENCHMARK(BM_Batch500SkinsVsImageMagick)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_Batch4096VsImageMagick(benchmark::State& state)
{
    static const Folder folder = [] {
        Folder f("tintora-batch-bench-large");
        f.add(tintora::bench::skinLike(4096, 4096, true), "large.bmp");
        return f;
    }();
    compare(state, folder, 4096.0 * 4096 * 3);
}
BENCHMARK(BM_Batch4096VsImageMagick)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
