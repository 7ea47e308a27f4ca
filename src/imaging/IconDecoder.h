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
// alpha bytes at the image's own size. The bytes are either a PNG file or a
// device-independent bitmap with its AND mask, which goes through the one DIB
// decoder (decodeIconDib in Dib.h says what it accepts and how alpha is made).
// Throws ImageError("Image bitmap incorrecte") for anything it cannot read, and
// never allocates more than kMaxIconSide squared pixels.
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
