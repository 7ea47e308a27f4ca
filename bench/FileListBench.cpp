// Reading a folder of 10,000 images into the file list and painting its first
// screen, against a bare sorted QDir listing of the same folder.
#include "browse/IconFileListBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

using namespace tintora;

namespace {

constexpr int fileCount = 10000;

// The folder is made once; the names arrive in no particular order.
QString imageFolder()
{
    static QTemporaryDir dir;
    static const bool filled = [] {
        for (int i = 0; i < fileCount; ++i) {
            QFile f(dir.filePath(
                QStringLiteral("Skin_%1.bmp").arg((i * 7919) % fileCount, 5, 10, QLatin1Char('0'))));
            if (!f.open(QIODevice::WriteOnly))
                return false;
        }
        return true;
    }();
    if (!filled)
        qFatal("cannot fill the benchmark folder");
    return dir.path();
}

double qdirSecondsPerListing = 0;

void BM_BareQDirListing(benchmark::State& state)
{
    const QString folder = imageFolder();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const QStringList names =
            QDir(folder).entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
        benchmark::DoNotOptimize(names.size());
    }
    qdirSecondsPerListing = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                            double(state.iterations());
}
BENCHMARK(BM_BareQDirListing)->Unit(benchmark::kMillisecond);

void BM_FileListReadAndPaint(benchmark::State& state)
{
    const QString saved = QDir::currentPath();
    TIconFileListBox list;
    list.resize(256, 184);
    list.setMask(QStringLiteral("*.gif"));
    list.ItemCount();
    list.setDirectory(imageFolder());
    QImage screen(256, 184, QImage::Format_RGB32);
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        list.setMask(QStringLiteral("*.bmp"));
        list.render(&screen);
        benchmark::DoNotOptimize(list.ItemCount());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        if (list.ItemCount() != fileCount)
            state.SkipWithError("the list did not hold every file");
        list.setMask(QStringLiteral("*.gif")); // empty again for the next round
        state.ResumeTiming();
    }
    if (qdirSecondsPerListing > 0 && state.iterations() > 0)
        state.counters["vsQDir"] = seconds / double(state.iterations()) / qdirSecondsPerListing;
    QDir::setCurrent(saved);
}
BENCHMARK(BM_FileListReadAndPaint)->Unit(benchmark::kMillisecond);

} // namespace
