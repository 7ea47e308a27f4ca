#pragma once
#include "imaging/Bitmap.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace tintora {

// Adds amount to every channel of every pixel (clamped to 0..255), except the
// pixels that have exactly the excluded colour. The bitmap becomes 24-bit first.
// A large bitmap is split into bands over up to `threads` threads (this one
// among them); the result is the same.
void ApplyBrightness(Bitmap& bmp, int amount, ColorValue excluded, unsigned threads = 1);

// Gives every pixel but the excluded ones the hue (degrees, 0..360) and the
// saturation (0..255 scale) while keeping its value, its brightest channel.
// A hue outside 0..360 counts as 0; a saturation not above 0 or above 255 as 1.
// Threads as for ApplyBrightness.
void ApplyColorize(Bitmap& bmp, ColorValue excluded, float hue, float saturation, unsigned threads = 1);

// Rows of 24-bit pixels (blue, green, red bytes) held anywhere: `count` rows of
// `width` pixels, each `stride` bytes after the one before. The filters below
// take them as they take a working bitmap's rows, and never touch the bytes
// between one row's pixels and the next row.
struct Rows24 {
    std::uint8_t* first = nullptr;
    std::ptrdiff_t stride = 0;
    int width = 0, count = 0;
};
Rows24 rowsOf(Bitmap& bmp);
void ApplyBrightness(Rows24 rows, int amount, ColorValue excluded, unsigned threads = 1);
void ApplyColorize(Rows24 rows, ColorValue excluded, float hue, float saturation, unsigned threads = 1);

// Bytes of one pixel in memory order.
struct PixelBytes {
    std::uint8_t blue = 0, green = 0, red = 0;
    friend bool operator==(const PixelBytes&, const PixelBytes&) = default;
};

// The colourised pixel for each value V (0..255), with the argument clamps
// applied: one call of ApplyColorize looks every pixel up in such a table.
std::array<PixelBytes, 256> ColorizeTable(float hue, float saturation);

} // namespace tintora
