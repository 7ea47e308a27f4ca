// Feeds arbitrary bytes to the BMP reader and, for whatever decodes, the rest
// of the road: an unchanged write-back, 24 bits and a write, each read back;
// and the same bytes decoded as a whole file whose rows may be kept in place.
#include "imaging/BmpReader.h"
#include "imaging/BmpWriter.h"
#include "imaging/ImageError.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

// What the writer makes of a decoded bitmap must read back to the same pixels.
void checkRoundTrip(const tintora::Bitmap& bmp, const tintora::BmpFileFacts& facts,
                    tintora::PixelsSinceRead pixels)
{
    const tintora::Bitmap again = tintora::readBmp(tintora::encodeBmp(bmp, facts, pixels));
    if (again.width() != bmp.width() || again.height() != bmp.height())
        std::abort();
    // Every pixel of a small bitmap; of a larger one each row's first and
    // last, and a diagonal: a pixel-by-pixel look at every input would take
    // most of the fuzzer's time.
    const auto same = [&](int x, int y) {
        if (again.pixel(x, y) != bmp.pixel(x, y))
            std::abort();
    };
    const bool small = std::int64_t(bmp.width()) * bmp.height() <= (1 << 12);
    for (int y = 0; y < bmp.height(); ++y) {
        if (small) {
            for (int x = 0; x < bmp.width(); ++x)
                same(x, y);
            continue;
        }
        for (int x : {0, bmp.width() - 1, y % bmp.width()})
            same(x, y);
    }
}

} // namespace

// The same bytes handed over as a whole file's, whose rows may be kept where
// they lie, must decode to the same bitmap, or fail alike.
void checkKeptRows(std::span<const std::uint8_t> bytes, const tintora::BmpImage* copied)
{
    tintora::FileBytes file(bytes.size());
    std::copy(bytes.begin(), bytes.end(), file.begin());
    try {
        const tintora::BmpImage kept = tintora::readBmpFileBytes(std::move(file));
        const tintora::Bitmap &a = copied ? copied->bitmap : kept.bitmap, &b = kept.bitmap;
        if (!copied || a.byteSize() != b.byteSize() || a.width() != b.width() || a.height() != b.height() ||
            !std::equal(a.bits(), a.bits() + a.byteSize(), b.bits()))
            std::abort();
    } catch (const tintora::ImageError&) {
        if (copied)
            std::abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    std::optional<tintora::BmpImage> image;
    try {
        image = tintora::readBmpImage(bytes);
    } catch (const tintora::ImageError&) {
    }
    checkKeptRows(bytes, image ? &*image : nullptr);
    if (!image)
        return 0;
    // A written copy may itself fail to read back (its 24-bit form can pass
    // the budget its source kept within); that is an error, not a fault.
    try {
        checkRoundTrip(image->bitmap, image->facts, tintora::PixelsSinceRead::Unchanged);
        image->bitmap.convertTo24();
        checkRoundTrip(image->bitmap, image->facts, tintora::PixelsSinceRead::Changed);
    } catch (const tintora::ImageError&) {
    }
    return 0;
}
