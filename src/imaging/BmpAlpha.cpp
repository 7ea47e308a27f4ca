#include "imaging/BmpAlpha.h"

#include "imaging/PixelRows.h"

namespace tintora {

namespace {

bool describes(const BmpFileFacts& facts, const Bitmap& bmp)
{
    return facts.bitsPerPixel != 0 && facts.format == bmp.pixelFormat() &&
           facts.bitsPerPixel == bmp.bitsPerPixel() && facts.width == bmp.width() &&
           facts.height == bmp.height();
}

// The field alpha is read from, or 0 for a layout without one.
std::uint32_t alphaField(const Bitmap& bmp, const BmpFileFacts& facts)
{
    const int bpp = bmp.bitsPerPixel();
    if (bmp.pixelFormat() == PixelFormat::Bits32)
        return 0xFF000000u;
    const bool fields = bmp.pixelFormat() == PixelFormat::Custom || bmp.pixelFormat() == PixelFormat::Bits16;
    return fields && (bpp == 16 || bpp == 32) ? facts.alphaMask : 0;
}

} // namespace

std::vector<std::uint8_t> bmpAlphaPlane(const Bitmap& bitmap, const BmpFileFacts& facts)
{
    const std::uint32_t field = describes(facts, bitmap) ? alphaField(bitmap, facts) : 0;
    if (field == 0)
        return {};
    const MaskChannel channel(field);
    const bool wide = bitmap.bitsPerPixel() == 32;
    const std::size_t width = std::size_t(bitmap.width());
    std::vector<std::uint8_t> alpha(width * std::size_t(bitmap.height()));
    std::uint8_t seen = 0;
    for (int y = 0; y < bitmap.height(); ++y) {
        const std::uint8_t* row = bitmap.scanLine(y);
        std::uint8_t* out = alpha.data() + std::size_t(y) * width;
        for (std::size_t x = 0; x < width; ++x) {
            out[x] = channel(wide ? loadLe32(row + 4 * x) : loadLe16(row + 2 * x));
            seen |= out[x];
        }
    }
    if (seen == 0)
        return {};
    return alpha;
}

} // namespace tintora
