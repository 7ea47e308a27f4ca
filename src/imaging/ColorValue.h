#pragma once
#include <cstdint>

namespace tintora {

// A colour as 0x00BBGGRR: red in the lowest byte. A value with the top bit set
// names a system colour (its low byte is the index) and is resolved when drawing.
using ColorValue = std::uint32_t;

constexpr ColorValue makeColor(int r, int g, int b)
{
    return ColorValue(r & 0xFF) | (ColorValue(g & 0xFF) << 8) | (ColorValue(b & 0xFF) << 16);
}
constexpr int redOf(ColorValue c) { return int(c & 0xFF); }
constexpr int greenOf(ColorValue c) { return int((c >> 8) & 0xFF); }
constexpr int blueOf(ColorValue c) { return int((c >> 16) & 0xFF); }
constexpr bool isSystemColor(ColorValue c) { return (c & 0x80000000u) != 0; }

constexpr ColorValue clMagenta = 0x00FF00FF;
constexpr ColorValue clBlackValue = 0x00000000;
constexpr ColorValue clWhiteValue = 0x00FFFFFF;

} // namespace tintora
