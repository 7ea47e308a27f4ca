#pragma once
#include "imaging/Bitmap.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tintora {

// Walks BI_RLE8 or BI_RLE4 codes into a 32-bit device bitmap, bottom row
// first, through the colour table. Pixels the codes skip (deltas, early ends
// of line or bitmap, a cut stream) stay black; runs that pass the end of a row
// are clipped rather than wrapped. Part of the DIB decoder (Dib.cpp).
void decodeRunLengths(Bitmap& bmp, std::span<const std::uint8_t> codes, const std::vector<RGBQuad>& table,
                      int bitsPerIndex);

} // namespace tintora
