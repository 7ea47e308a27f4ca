#pragma once
#include "imaging/Bitmap.h"
#include "imaging/ImageError.h"

#include <cstdint>
#include <span>

namespace tintora {

// Largest icon side we decode. Real icons stop at 256; the cap keeps a hostile
// PNG header from asking for gigabytes.
inline constexpr int kMaxIconSide = 1024;

// Decodes the bytes of one icon image into a 32-bit bitmap of blue, green, red,
// alpha bytes at the image's own size. The bytes are either a device-independent
// bitmap (BITMAPINFOHEADER, colour table, colour rows, then the 1-bit AND mask; the
// header height counts both) of 1, 4, 8, 16, 24 or 32 bits per pixel, or a PNG
// file. Pixels the mask hides get alpha 0 and keep their colour bytes. A 32-bit
// image whose alpha bytes are not all 0 takes its alpha from them and its mask is
// not used. Throws ImageError("Image bitmap incorrecte") for anything it cannot
// read, and never allocates more than kMaxIconSide squared pixels.
Bitmap decodeIconImage(std::span<const std::uint8_t> bytes);

// The icon image made width x height, as the platform creates icons: decoded, then
// resized (each target pixel copies the source pixel under its centre) if its own
// size differs.
Bitmap createIconBitmap(std::span<const std::uint8_t> bytes, int width, int height);

// Nearest-pixel resize of a 32-bit bitmap, alpha included.
Bitmap resizeIconBitmap(const Bitmap& source, int width, int height);

// Whether the bytes start with the PNG signature.
bool isPngIconImage(std::span<const std::uint8_t> bytes);

} // namespace tintora
