#pragma once
#include "imaging/Bitmap.h"
#include "imaging/BmpFileFacts.h"
#include "imaging/ByteCursor.h"
#include "imaging/FileBytes.h"

#include <cstdint>
#include <span>

namespace tintora {

// The one decoder of device-independent bitmaps, for BMP files and for the
// bitmaps inside icons. Both entries share the header, colour table and row
// handling; they differ in what surrounds the DIB and in what they return.

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
    std::uint32_t alphaMask = 0; // bit-field headers of 56 bytes and more name one
};

// Reads the info header at the cursor, and the three masks that follow it
// when they are not part of the header.
DibHeader readDibHeader(ByteCursor& in);

// The BMP file entry: `in` holds the whole file and stands just after its
// 14-byte file header; `pixelOffset` is that header's pixel data offset. Any
// header kind, bit fields and run-length data; rows the file lacks stay black.
// Gives the bitmap in the file's own format, and the facts an unchanged
// write-back needs. When `owner` is the store that `in` views, handed over,
// rows stored bottom-up just as the bitmap stores them are kept in it rather
// than copied; `in` is then spent.
BmpImage decodeBmpDib(ByteCursor& in, std::uint32_t pixelOffset, FileBytes* owner = nullptr);

// The icon image entry: `bytes` are one icon image, a DIB with no file header
// whose header height counts the colour rows and the 1-bit AND mask rows
// after them. Only BI_RGB images of 1, 4, 8, 16, 24 or 32 bits with a header of
// at least 40 bytes, and every colour row present; the mask rows too, but for
// a 32-bit image with its own alpha. Gives a 32-bit bitmap of blue,
// green, red, alpha bytes: alpha from a 32-bit image's own alpha bytes when
// they are not all 0, else 0 where the mask hides a pixel and 255 elsewhere.
// Every failure is ImageError("Image bitmap incorrecte"); no side may pass
// kMaxIconSide.
Bitmap decodeIconDib(std::span<const std::uint8_t> bytes);

} // namespace tintora
