// Feeds arbitrary bytes to the JPEG reader, on a true-colour and on a paletted
// display; only crashes, leaks and bad memory accesses count as findings.
#include "imaging/ImageError.h"
#include "imaging/JpegImage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The last byte picks the display depth, so both output paths are reached.
    const int displayBits = size > 0 && (data[size - 1] & 1) ? 8 : 32;
    tintora::JpegImage image(displayBits);
    try {
        image.load({data, size});
        // Keep each run quick: very large pictures only test allocation.
        if (std::int64_t(image.width()) * image.height() <= 4096 * 4096)
            image.toBitmap();
    } catch (const tintora::ImageError&) {
    }
    return 0;
}
