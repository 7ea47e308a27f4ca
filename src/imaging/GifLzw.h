#pragma once
#include <cstdint>
#include <span>

namespace tintora::gif {

enum class LzwStop { EndCode, OutOfBits, Filled };

// Decodes the GIF flavour of LZW from the joined data sub-blocks into `out`,
// in stream order. Pixels the codes never reach keep what `out` held.
// Throws ImageError "Circular decoder table entry" for a code the table
// cannot resolve. `minCodeSize` must be at most 11.
LzwStop decodeLzw(std::span<const std::uint8_t> data, int minCodeSize, std::span<std::uint8_t> out);

} // namespace tintora::gif
