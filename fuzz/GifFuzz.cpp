// Feeds arbitrary bytes to the GIF reader; only crashes, leaks and bad memory
// accesses count as findings.
#include "imaging/GifImage.h"
#include "imaging/ImageError.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tintora::GifImage image;
    try {
        image.load({data, size});
        for (std::size_t i = 0; i < image.frameCount(); ++i) {
            try {
                image.frameBitmap(i);
            } catch (const tintora::ImageError&) {
            }
        }
        image.toBitmap();
    } catch (const tintora::ImageError&) {
    }
    return 0;
}
