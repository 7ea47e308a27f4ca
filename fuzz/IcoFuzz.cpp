// Feeds arbitrary bytes to the .ico path: directory, selection and image decoding.
#include "imaging/ExtraIcon.h"
#include "imaging/IconDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    for (int side : {16, 32, 48})
        for (int depth : {-2, -1, 0, 1, 4, 8, 24, 32})
            if (auto icon = tintora::ExtractIconFromBytes(bytes, side, depth)) {
                tintora::Bitmap target(side + 3, side + 3, tintora::PixelFormat::Bits24);
                tintora::drawIcon(target, -1, 2, side, side, *icon);
            }
    // The bytes as one icon image on their own.
    try {
        (void)tintora::decodeIconImage(bytes);
    } catch (const tintora::ImageError&) {
    }
    return 0;
}
