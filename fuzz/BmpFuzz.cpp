// Feeds arbitrary bytes to the BMP reader and, for whatever decodes, the rest
// of the road: 24 bits and a write read back.
#include "imaging/BmpReader.h"
#include "imaging/BmpWriter.h"
#include "imaging/Dib.h"
#include "imaging/ImageError.h"

#include <cstdlib>

namespace {

// What the writer makes of a decoded bitmap must read back to the same pixels.
void checkRoundTrip(const tintora::Bitmap& bmp)
{
    const tintora::Bitmap again = tintora::readBmp(tintora::encodeBmp(bmp));
    if (again.width() != bmp.width() || again.height() != bmp.height())
        std::abort();
    if (std::int64_t(bmp.width()) * bmp.height() > (1 << 16))
        return;
    for (int y = 0; y < bmp.height(); ++y)
        for (int x = 0; x < bmp.width(); ++x)
            if (again.pixel(x, y) != bmp.pixel(x, y))
                std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    try {
        tintora::Bitmap bmp = tintora::readBmp(bytes);
        checkRoundTrip(bmp);
        bmp.convertTo24();
        checkRoundTrip(bmp);
    } catch (const tintora::ImageError&) {
    }
    return 0;
}
