#pragma once
#include "imaging/Bitmap.h"
#include "imaging/BmpFileFacts.h"

#include <cstdint>
#include <vector>

namespace tintora {

// The alpha of each pixel of a decoded BMP file, width x height bytes with the
// top row first, or empty for a file without alpha:
// - a 32-bit BI_RGB file gives its fourth byte;
// - a 16- or 32-bit bit-field file whose header names an alpha field (56 bytes
//   and more) gives that field, widened to 8 bits as the colour fields are. A
//   shorter bit-field header names the colour fields only; the bits it leaves
//   over are padding, and the file is opaque.
// Alpha that is 0 for every pixel counts as none: files that leave the fourth
// byte 0 (blue, green, red, unused) are far more common than wholly
// transparent pictures. Facts that do not describe the bitmap (another format
// or size than it was read with) give none either.
std::vector<std::uint8_t> bmpAlphaPlane(const Bitmap& bitmap, const BmpFileFacts& facts);

} // namespace tintora
