#pragma once
#include "imaging/Bitmap.h"

#include <algorithm>
#include <cstring>

namespace tintora::test {

// Whether two bitmaps of one size and format have the same colour bytes in
// every row, the rows' padding left out.
inline bool sameColors(const Bitmap& a, const Bitmap& b)
{
    if (a.width() != b.width() || a.height() != b.height() || a.pixelFormat() != b.pixelFormat())
        return false;
    const std::size_t rowBytes = std::size_t(Bitmap::strideFor(a.width(), a.bitsPerPixel()));
    const std::size_t used = (std::size_t(a.width()) * std::size_t(a.bitsPerPixel()) + 7) / 8;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.scanLine(y), b.scanLine(y), std::min(used, rowBytes)) != 0)
            return false;
    return true;
}

} // namespace tintora::test
