// One gauge step in the real window, from the gauge's change to the panel
// repainted, against a plain copy of the preview bitmap timed in the same run.
#include "BenchSupport.h"
#include "app/TintoraForm.h"
#include "browse/IconFileListBox.h"
#include "controls/GaugeBar.h"
#include "imaging/BmpWriter.h"
#include "imaging/Readers.h"
#include "recolor/RecolorJob.h"

#include <QTemporaryDir>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace tintora;
using namespace tintora::bench;

double copySeconds(const Bitmap& bmp)
{
    std::vector<std::uint8_t> copy(bmp.byteSize());
    std::memcpy(copy.data(), bmp.bits(), bmp.byteSize()); // the pages are in place before timing
    const double start = cpuSeconds();
    int copies = 0;
    for (; copies < 3 || cpuSeconds() - start < 0.2; ++copies) {
        std::memcpy(copy.data(), bmp.bits(), bmp.byteSize());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    return (cpuSeconds() - start) / copies;
}

// Resident memory of the process, from the kernel's count of its pages.
double residentMB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

// Zoom +100 doubles the preview in each direction: 64 MP for a 16 MP picture.
void BM_GaugeStep(benchmark::State& state)
{
    const double residentBefore = residentMB();
    TTintoraForm form;
    form.SourceBitmap = skinLike(int(state.range(0)), int(state.range(1)), false);
    form.previewBitmap() = form.SourceBitmap;
    form.previewChanged();
    form.show();
    form.Zoom->setPosition(int(state.range(2)));
    form.ZoomMouseUp();
    form.Sat->setPosition(60);
    form.repaint();
    // What the window holds beyond the source and the preview bitmaps themselves.
    const double pictures =
        double(form.SourceBitmap.byteSize() + form.previewBitmap().byteSize()) / (1 << 20);
    state.counters["beyond_pictures_MB"] = residentMB() - residentBefore - pictures;
    const double copyBefore = copySeconds(form.previewBitmap());
    int round = 0;
    const double start = cpuSeconds();
    for (auto _ : state) {
        form.Hue->setPosition(round++ % 2 ? 120 : 240);
        form.repaint();
    }
    const double stepSeconds = (cpuSeconds() - start) / double(state.iterations());
    const double copyTime = (copyBefore + copySeconds(form.previewBitmap())) / 2;
    state.counters["memcpy_ms"] = copyTime * 1e3;
    state.counters["vs_memcpy"] = stepSeconds / copyTime;
}

BENCHMARK(BM_GaugeStep)
    ->ArgsProduct({{4096}, {4096}, {0, 100}})
    ->ArgNames({"w", "h", "zoom"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

// Selecting a 4096 x 4096 BMP in the window's list, against the batch tool's
// reading of the same file, timed in the same run.
void BM_LoadIntoWindow(benchmark::State& state)
{
    registerStandardReaders();
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("big.bmp")).toStdString();
    writeBmpFile(skinLike(int(state.range(0)), int(state.range(1)), false), path);
    const auto batchRead = [&] {
        const double start = cpuSeconds();
        benchmark::DoNotOptimize(loadSource(path, 32, Unshowable::Fail));
        return cpuSeconds() - start;
    };
    TTintoraForm form;
    form.show();
    const double readBefore = batchRead();
    double windowSeconds = 0;
    int round = 0;
    for (auto _ : state) {
        // Away and back, so that every round loads the file afresh.
        form.FB->setFileName(dir.path());
        const double start = cpuSeconds();
        form.FB->setFileName(QString::fromStdString(path));
        form.repaint();
        windowSeconds += cpuSeconds() - start;
        ++round;
        if (form.LoadedFile != QString::fromStdString(path) || form.SourceBitmap.width() != state.range(0)) {
            state.SkipWithError("the window did not load the file");
            break;
        }
    }
    // The best of a few reads: the first pays for fresh pages the window's rounds reuse.
    const double readTime = std::min({readBefore, batchRead(), batchRead(), batchRead()});
    state.counters["batch_read_ms"] = readTime * 1e3;
    state.counters["vs_batch_read"] = windowSeconds / round / readTime;
}

BENCHMARK(BM_LoadIntoWindow)
    ->Args({4096, 4096})
    ->ArgNames({"w", "h"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace
