#pragma once
#include "imaging/Bitmap.h"
#include "imaging/ByteCursor.h"

#include <cstdint>
#include <span>

namespace tintora {

// Compression codes of a device-independent bitmap.
enum DibCompression : std::uint32_t { dibRgb = 0, dibRle8 = 1, dibRle4 = 2, dibBitFields = 3 };

// The fields of any info header kind (12-byte core, 16..64-byte OS/2 and
// Windows headers up to 124 bytes), widened to the BITMAPINFOHEADER layout.
struct DibHeader {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0; // negative: rows stored top-down
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = dibRgb;
    std::uint32_t imageSize = 0;
    std::int32_t xPelsPerMeter = 0, yPelsPerMeter = 0;
    std::uint32_t colorsUsed = 0, colorsImportant = 0;
    bool core = false;
    bool hasMasks = false;
    ColorMasks masks;
};

// Largest pixel store a decoded image may take. Skins are small; anything
// near this is a lie in a hostile header rather than a picture.
inline constexpr std::int64_t maxDibPixelBytes = std::int64_t(1) << 28;

// Reads the info header at the cursor, and the three masks that follow it
// when they are not part of the header.
DibHeader readDibHeader(ByteCursor& in);

// Decodes the DIB of a BMP file: `in` holds the whole file and stands just
// after its 14-byte file header; `pixelOffset` is that header's pixel data
// offset. The bitmap keeps the file facts needed to write it back unchanged.
Bitmap decodeBmpDib(ByteCursor& in, std::uint32_t pixelOffset);

} // namespace tintora
