// JPEG and GIF decoding against the reference tools on the same files.
// Each "vs" benchmark times ours and the reference in every iteration and
// reports ours / reference as counters: "ratio" on wall time, "cpu_ratio" on
// processor time (steadier on a busy machine). Below 1: we are faster.
// The JPEG side pays for faulting in its 48 MB output bitmap, which the command
// never holds; with GLIBC_TUNABLES=glibc.malloc.hugetlb=1 those faults mostly go.
#include "imaging/GifImage.h"
#include "imaging/JpegImage.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace tintora {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

std::string benchFile(const char* name) { return std::string(TINTORA_BINARY_DIR) + "/" + name; }

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// A photo-like picture: smooth gradients with fine texture, so that the
// coded data is neither trivial nor noise.
std::uint8_t sample(int x, int y, int channel)
{
    const double v = 127.5 + 60 * std::sin(x * 0.004 + channel) + 40 * std::cos(y * 0.006 - channel) +
                     20 * std::sin((x + 3 * y) * 0.05);
    return std::uint8_t(std::lround(std::fmin(255.0, std::fmax(0.0, v))) ^ ((x * 7 + y * 13) & 7));
}

// Writes the 4096 x 4096 colour JPEG once (quality 90, 4:2:0).
const std::string& largeJpeg()
{
    static const std::string path = [] {
        const std::string p = benchFile("bench-4096.jpg");
        if (std::FILE* existing = std::fopen(p.c_str(), "rb")) {
            std::fclose(existing);
            return p;
        }
        jpeg_compress_struct info;
        jpeg_error_mgr err;
        info.err = jpeg_std_error(&err);
        jpeg_create_compress(&info);
        std::FILE* out = std::fopen(p.c_str(), "wb");
        jpeg_stdio_dest(&info, out);
        info.image_width = info.image_height = 4096;
        info.input_components = 3;
        info.in_color_space = JCS_RGB;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, 90, TRUE);
        jpeg_start_compress(&info, TRUE);
        std::vector<std::uint8_t> row(4096 * 3);
        while (info.next_scanline < info.image_height) {
            const int y = int(info.next_scanline);
            for (int x = 0; x < 4096; ++x)
                for (int c = 0; c < 3; ++c)
                    row[std::size_t(x) * 3 + c] = sample(x, y, c);
            JSAMPROW r = row.data();
            jpeg_write_scanlines(&info, &r, 1);
        }
        jpeg_finish_compress(&info);
        jpeg_destroy_compress(&info);
        std::fclose(out);
        return p;
    }();
    return path;
}

// Writes the 1024 x 1024 GIF of 256 colours once, with the reference encoder.
const std::string& largeGif()
{
    static const std::string path = [] {
        const std::string p = benchFile("bench-1024.gif");
        int error = 0;
        GifFileType* gif = EGifOpenFileName(p.c_str(), false, &error);
        ColorMapObject* map = GifMakeMapObject(256, nullptr);
        for (int i = 0; i < 256; ++i)
            map->Colors[i] = {GifByteType(i), GifByteType(255 - i), GifByteType(i * 7)};
        EGifPutScreenDesc(gif, 1024, 1024, 8, 0, map);
        EGifPutImageDesc(gif, 0, 0, 1024, 1024, false, nullptr);
        std::vector<GifPixelType> line(1024);
        for (int y = 0; y < 1024; ++y) {
            for (int x = 0; x < 1024; ++x)
                line[std::size_t(x)] = sample(x * 4, y * 4, 0);
            EGifPutLine(gif, line.data(), 1024);
        }
        EGifCloseFile(gif, &error);
        GifFreeMapObject(map);
        return p;
    }();
    return path;
}

double seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

double cpuSeconds(int who)
{
    rusage r{};
    getrusage(who, &r);
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           1e-6 * double(r.ru_utime.tv_usec + r.ru_stime.tv_usec);
}

double decodeJpegOnce(const Bytes& bytes)
{
    const auto start = Clock::now();
    JpegImage image;
    image.load(bytes);
    benchmark::DoNotOptimize(image.decodedBitmap().bits());
    return seconds(start);
}

double runDjpegOnce(const std::string& file)
{
    const std::string command = "djpeg -dct int -outfile /dev/null '" + file + "'";
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0)
        return -1;
    return seconds(start);
}

void JpegDecode4096VsDjpeg(benchmark::State& state)
{
    const std::string& file = largeJpeg();
    double ours = 0, reference = 0, oursCpu = 0, referenceCpu = 0;
    for (auto _ : state) {
        // Ours reads the file too, as the command does.
        const double cpu0 = cpuSeconds(RUSAGE_SELF);
        const auto start = Clock::now();
        const Bytes bytes = readFile(file);
        const double t = seconds(start) + decodeJpegOnce(bytes);
        const double cpu1 = cpuSeconds(RUSAGE_SELF), child0 = cpuSeconds(RUSAGE_CHILDREN);
        const double r = runDjpegOnce(file);
        if (r < 0) {
            state.SkipWithError("djpeg is not installed");
            return;
        }
        oursCpu += cpu1 - cpu0;
        referenceCpu += cpuSeconds(RUSAGE_CHILDREN) - child0;
        ours += t;
        reference += r;
        state.SetIterationTime(t);
    }
    state.counters["ratio"] = ours / reference;
    state.counters["cpu_ratio"] = oursCpu / referenceCpu;
    state.counters["djpeg_ms"] = 1000 * reference / double(state.iterations());
}
BENCHMARK(JpegDecode4096VsDjpeg)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

struct MemoryReader {
    const Bytes* bytes;
    std::size_t pos = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int n)
{
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    const std::size_t count = std::min(std::size_t(n), reader->bytes->size() - reader->pos);
    std::memcpy(out, reader->bytes->data() + reader->pos, count);
    reader->pos += count;
    return int(count);
}

double decodeWithReference(const Bytes& bytes)
{
    const auto start = Clock::now();
    MemoryReader reader{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readFromMemory, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK)
        return -1;
    benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
    DGifCloseFile(gif, &error);
    return seconds(start);
}

double decodeGifOnce(const Bytes& bytes)
{
    const auto start = Clock::now();
    GifImage image;
    image.load(bytes);
    benchmark::DoNotOptimize(image.frame(0).pixels.data());
    return seconds(start);
}

void GifDecode1024VsGiflib(benchmark::State& state)
{
    const Bytes bytes = readFile(largeGif());
    double ours = 0, reference = 0, oursCpu = 0, referenceCpu = 0;
    for (auto _ : state) {
        const double cpu0 = cpuSeconds(RUSAGE_SELF);
        const double t = decodeGifOnce(bytes);
        const double cpu1 = cpuSeconds(RUSAGE_SELF);
        const double r = decodeWithReference(bytes);
        if (r < 0) {
            state.SkipWithError("the reference decoder refused the file");
            return;
        }
        oursCpu += cpu1 - cpu0;
        referenceCpu += cpuSeconds(RUSAGE_SELF) - cpu1;
        ours += t;
        reference += r;
        state.SetIterationTime(t);
    }
    state.counters["ratio"] = ours / reference;
    state.counters["cpu_ratio"] = oursCpu / referenceCpu;
    state.counters["reference_ms"] = 1000 * reference / double(state.iterations());
}
BENCHMARK(GifDecode1024VsGiflib)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Load plus conversion into the picture's 8-bit bitmap.
void GifToBitmap1024(benchmark::State& state)
{
    const Bytes bytes = readFile(largeGif());
    for (auto _ : state) {
        GifImage image;
        image.load(bytes);
        benchmark::DoNotOptimize(image.toBitmap().bits());
    }
}
BENCHMARK(GifToBitmap1024)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tintora
