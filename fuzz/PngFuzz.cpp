// Feeds arbitrary bytes to the PNG reader and, for whatever decodes, the
// writer: what it writes must read back to the same colours and alpha.
#include "imaging/ImageError.h"
#include "imaging/PngImage.h"
#include "imaging/PngWriter.h"

#include <cstdlib>
#include <cstring>

namespace {

void checkRoundTrip(const tintora::PngImage& png)
{
    const tintora::PngImage again = tintora::readPng(tintora::encodePng(png.colors, png.alpha));
    const tintora::Bitmap& a = png.colors;
    const tintora::Bitmap& b = again.colors;
    if (b.width() != a.width() || b.height() != a.height() || again.alpha != png.alpha)
        std::abort();
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.scanLine(y), b.scanLine(y), std::size_t(a.width()) * 3) != 0)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const tintora::PngImage png = tintora::readPng({data, size});
        if (std::int64_t(png.colors.width()) * png.colors.height() <= (1 << 16))
            checkRoundTrip(png);
    } catch (const tintora::ImageError&) {
    }
    return 0;
}
