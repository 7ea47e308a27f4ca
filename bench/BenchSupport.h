#pragma once
// What several benchmarks share: the clock they read and the pictures they filter.
#include "imaging/Bitmap.h"

#include <ctime>

namespace tintora::bench {

// Thread CPU time: the machine is shared, and wall time would count the
// moments other processes hold the core.
inline double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// A gradient, with magenta key-colour blocks the way skin pieces look when
// keyed is set; without them every pixel goes through the filters.
inline Bitmap skinLike(int width, int height, bool keyed)
{
    Bitmap bmp(width, height, PixelFormat::Bits24);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bmp.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const bool key = keyed && ((x / 64) + (y / 64)) % 7 == 0;
            row[3 * x] = key ? 255 : std::uint8_t(x * 3 + y);
            row[3 * x + 1] = key ? 0 : std::uint8_t(x ^ y);
            row[3 * x + 2] = key ? 255 : std::uint8_t(y * 5 - x);
        }
    }
    return bmp;
}

} // namespace tintora::bench
