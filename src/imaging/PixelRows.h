#pragma once
#include "imaging/Bitmap.h"

#include <array>
#include <bit>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tintora {

// Row kernels of the imaging layer, shared by the bitmap type and the DIB
// decoder: the pixel format is switched on once per row, never per pixel.

// A little-endian 16- or 32-bit pixel at p, inside a row already checked.
inline std::uint32_t loadLe16(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
}
inline std::uint32_t loadLe32(const std::uint8_t* p) { return loadLe16(p) | (loadLe16(p + 2) << 16); }

// Expands `count` pixels of a row of 1-, 4- or 8-bit palette indices, from
// pixel `first` on, to one index byte per pixel. Within a byte the leftmost
// pixel takes the high bits, as device-independent bitmaps store them. This is
// the one place of the imaging layer that unpacks indices: colour rows, single
// pixels, run-length data and the 1-bit AND masks of icons all go through it.
inline void unpackIndices(const std::uint8_t* row, int bitsPerPixel, std::int64_t first, std::int64_t count,
                          std::uint8_t* out)
{
    assert(bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8);
    // Pixel by pixel for a single pixel and the ragged ends of a row, whole
    // bytes at a time in between.
    const auto at = [row, bitsPerPixel](std::int64_t x) {
        if (bitsPerPixel == 1)
            return std::uint8_t((row[x >> 3] >> (7 - (x & 7))) & 1);
        if (bitsPerPixel == 4)
            return std::uint8_t((x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4);
        return row[x];
    };
    if (count == 1) {
        *out = at(first);
        return;
    }
    const std::int64_t end = first + count;
    std::int64_t x = first;
    if (bitsPerPixel == 8) {
        if (count > 0)
            std::memcpy(out, row + first, std::size_t(count));
        return;
    }
    const std::int64_t perByte = 8 / bitsPerPixel;
    for (; x < end && x % perByte != 0; ++x)
        *out++ = at(x);
    if (bitsPerPixel == 1) {
        for (; x + 8 <= end; x += 8)
            for (int shift = 7; shift >= 0; --shift)
                *out++ = std::uint8_t((row[x >> 3] >> shift) & 1);
    } else {
        for (; x + 2 <= end; x += 2) {
            *out++ = row[x >> 1] >> 4;
            *out++ = row[x >> 1] & 0x0F;
        }
    }
    for (; x < end; ++x)
        *out++ = at(x);
}

// Expands the field that a mask selects to 0..255.
struct MaskChannel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t maxValue = 0;

    explicit MaskChannel(std::uint32_t m) : mask(m)
    {
        if (m == 0)
            return;
        shift = std::countr_zero(m);
        maxValue = m >> shift;
        // Only the contiguous low run counts; stray high bits are ignored.
        maxValue = (maxValue + 1) & maxValue ? ((1u << std::countr_one(maxValue)) - 1) : maxValue;
    }
    std::uint8_t operator()(std::uint32_t pixel) const
    {
        if (maxValue == 0)
            return 0;
        std::uint32_t v = ((pixel & mask) >> shift) & maxValue;
        if (maxValue == 255)
            return std::uint8_t(v);
        if (maxValue > 255) {
            int extra = std::bit_width(maxValue) - 8;
            return std::uint8_t(v >> extra);
        }
        // Narrow fields repeat their bits down to 8 (5 bits: v << 3 | v >> 2),
        // so the top value gives 255 and levels stay evenly spread.
        const int bits = std::bit_width(maxValue);
        std::uint32_t wide = 0;
        int filled = 0;
        for (; filled < 8; filled += bits)
            wide = (wide << bits) | v;
        return std::uint8_t(wide >> (filled - 8));
    }
};

struct MaskDecoder {
    MaskChannel r, g, b;
    explicit MaskDecoder(const ColorMasks& m) : r(m.red), g(m.green), b(m.blue) {}
    ColorValue operator()(std::uint32_t p) const { return makeColor(r(p), g(p), b(p)); }
};

// Converts rows of one pixel layout (format, bits per pixel, masks, colour
// table, width) to blue, green, red bytes. Set up once: indexed layouts go
// through a 256-entry lookup of the colour table, entries beyond it black.
class RowToBgr {
public:
    explicit RowToBgr(const Bitmap& layout)
        : RowToBgr(layout.pixelFormat(), layout.bitsPerPixel(), layout.masks(), layout.colorTable(),
                   layout.width())
    {
    }
    RowToBgr(PixelFormat format, int bitsPerPixel, const ColorMasks& masks, const std::vector<RGBQuad>& table,
             int width);

    // Converts one row, writing each pixel `step` bytes after the last: 3, or
    // 4 to leave room for alpha, which the caller sets afterwards (the byte may
    // have been written meanwhile). Nothing is written past the last pixel's
    // third byte.
    void operator()(const std::uint8_t* row, std::uint8_t* out, int step);

private:
    void lookUp(const std::uint8_t* indices, std::uint8_t* out, int step) const;

    PixelFormat m_format;
    int m_bits;
    std::size_t m_width;
    MaskDecoder m_decode;
    std::array<std::array<std::uint8_t, 4>, 256> m_lookup{}; // blue, green, red, 0
    std::vector<std::uint8_t> m_indices;                     // one unpacked row
};

} // namespace tintora
