#pragma once
#include "imaging/ColorValue.h"
#include "imaging/PixelStore.h"

#include <cstdint>
#include <vector>

namespace tintora {

// Pixel formats a bitmap can hold. Device stands for pixels the display system
// would hold (we keep them as 32-bit BGRX); Custom is 16- or 32-bit with masks
// other than 5-6-5.
enum class PixelFormat { Device, Bits1, Bits4, Bits8, Bits15, Bits16, Bits24, Bits32, Custom };

// One colour-table entry as stored in a BMP file (RGBQUAD).
struct RGBQuad {
    std::uint8_t blue = 0, green = 0, red = 0, reserved = 0;
    friend bool operator==(const RGBQuad&, const RGBQuad&) = default;
};
static_assert(sizeof(RGBQuad) == 4);

struct ColorMasks {
    std::uint32_t red = 0, green = 0, blue = 0;
    friend bool operator==(const ColorMasks&, const ColorMasks&) = default;
};

// The depth shown for a format: "1bpp" .. "32bpp", empty for device and custom.
const char* depthText(PixelFormat format);

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// A picture of width x height pixels. Rows are stored bottom-up, each padded to
// 4 bytes, and addressed by row number from the top. Copies share nothing. A
// plain value: it knows nothing of the file it came from (a reader hands that
// back beside it, see BmpFileFacts), so no accessor has side effects.
class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, PixelFormat format);
    // A bitmap over pixels already laid out as it stores them (bottom row
    // first, rows padded to 4 bytes): `pixels` holds exactly the picture from
    // byte `first` on (what lies before is kept but never looked at).
    static Bitmap overStore(int width, int height, PixelFormat format, int bitsPerPixel, PixelStore pixels,
                            std::size_t first = 0);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool isEmpty() const { return m_width == 0 || m_height == 0; }
    PixelFormat pixelFormat() const { return m_format; }
    int bitsPerPixel() const { return m_bpp; }
    int stride() const { return m_stride; }

    // Keeps the format, colour table and palette; new pixels are zero.
    void setSize(int width, int height);
    // Reformats to an empty picture of the same size in another layout.
    void setFormat(PixelFormat format, int bitsPerPixel = 0);
    // Rewrites every pixel as blue, green, red bytes, keeping the picture. A
    // colour table becomes the palette, so it can still be written back.
    void convertTo24();

    // Row y counted from the top.
    std::uint8_t* scanLine(int y) { return bits() + rowOffset(y); }
    const std::uint8_t* scanLine(int y) const { return bits() + rowOffset(y); }
    // Raw storage, bottom row first.
    std::uint8_t* bits() { return m_pixels.data() + m_first; }
    const std::uint8_t* bits() const { return m_pixels.data() + m_first; }
    std::size_t byteSize() const { return m_pixels.size() - m_first; }

    std::vector<RGBQuad>& colorTable() { return m_colorTable; }
    const std::vector<RGBQuad>& colorTable() const { return m_colorTable; }
    // A palette kept for formats above 8 bits (written back as a colour table).
    std::vector<RGBQuad>& palette() { return m_palette; }
    const std::vector<RGBQuad>& palette() const { return m_palette; }
    ColorMasks& masks() { return m_masks; }
    const ColorMasks& masks() const { return m_masks; }

    // Colour of one pixel through table, masks or direct bytes.
    ColorValue pixel(int x, int y) const;
    // Writes one pixel: direct in 24- and 32-bit bitmaps, through the masks in
    // 16-bit and custom ones, as the nearest table entry in 1-, 4- and 8-bit ones.
    void setPixel(int x, int y, ColorValue color);

    // Bytes of a row, in 64 bits: a 24-bit row of a wide 1-bit picture does
    // not fit in an int.
    static std::int64_t strideFor(std::int64_t width, int bitsPerPixel);
    static int bitsFor(PixelFormat format);
    // The masks a format implies: 5-5-5 for Bits15, 5-6-5 for Bits16, else none.
    static ColorMasks masksFor(PixelFormat format);

private:
    std::size_t rowOffset(int y) const { return std::size_t(m_height - 1 - y) * std::size_t(m_stride); }
    void allocate();
    // The pixel store of m_height rows of `stride` bytes; throws
    // std::length_error for a layout no bitmap may have.
    PixelStore newStore(std::int64_t stride) const;

    int m_width = 0, m_height = 0;
    PixelFormat m_format = PixelFormat::Device;
    int m_bpp = 32;
    int m_stride = 0;
    PixelStore m_pixels;
    std::size_t m_first = 0; // where the pixels start in m_pixels
    std::vector<RGBQuad> m_colorTable;
    std::vector<RGBQuad> m_palette;
    ColorMasks m_masks;
};

// Draws src onto dst with its top-left corner at (x, y), clipped to dst.
void drawBitmap(Bitmap& dst, int x, int y, const Bitmap& src);
// Scales src into rect of dst; every target pixel comes from one source pixel.
void stretchDraw(Bitmap& dst, const Rect& rect, const Bitmap& src);
// Fills rect (clipped) with a plain colour.
void fillRect(Bitmap& dst, const Rect& rect, ColorValue color);

} // namespace tintora
