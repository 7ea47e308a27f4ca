#include "color/ImageProcessingPrimitives.h"

#include "color/RealColorLibrary.h"

#include <algorithm>
#include <cmath>

namespace tintora {

namespace {

// The excluded colour as the three bytes of a pixel; the top byte is ignored.
struct ExcludedBytes {
    std::uint8_t blue, green, red;
    explicit ExcludedBytes(ColorValue c)
        : blue(std::uint8_t(blueOf(c))), green(std::uint8_t(greenOf(c))), red(std::uint8_t(redOf(c)))
    {
    }
    bool matches(const std::uint8_t* p) const { return p[0] == blue && p[1] == green && p[2] == red; }
};

// Nearest integer, halves to even. Results already lie in 0..V; the clamp only
// guards the byte conversion.
std::uint8_t roundToByte(float x)
{
    const float r = std::nearbyint(x);
    return std::uint8_t(std::clamp(r, 0.0f, 255.0f));
}

void clampColorizeArguments(float& hue, float& saturation)
{
    // Written so that a NaN saturation also becomes 1; a NaN hue stays and
    // gives greys, as a hue-less colour does.
    if (!(saturation > 0) || saturation > 255)
        saturation = 1;
    if (hue < 0 || hue > 360)
        hue = 0;
}

PixelBytes colorizeValue(float hue, float S, int value)
{
    const float V = float(value);
    // Grey by default: HSVtoRGB assigns every output for hues in 0..360.
    float R = V, G = V, B = V;
    try {
        HSVtoRGB(hue, S, V, R, G, B);
    } catch (const EColorError&) {
        R = 255, G = 0, B = 255;
    }
    return {roundToByte(B), roundToByte(G), roundToByte(R)};
}

// Both filters work on each row in place: a pixel's result depends on that
// pixel alone, so no second bitmap is needed, and only width * 3 bytes of a
// row are touched, never its padding.
template <class Kernel> void walkRows(Bitmap& bmp, Kernel&& kernel)
{
    const int width = bmp.width();
    for (int y = 0; y < bmp.height(); ++y)
        kernel(bmp.scanLine(y), width);
}

} // namespace

std::array<PixelBytes, 256> ColorizeTable(float hue, float saturation)
{
    clampColorizeArguments(hue, saturation);
    const float S = float((long double)saturation / 255);
    std::array<PixelBytes, 256> table;
    for (int v = 0; v < 256; ++v)
        table[std::size_t(v)] = colorizeValue(hue, S, v);
    return table;
}

void ApplyBrightness(Bitmap& bmp, int amount, ColorValue excluded)
{
    bmp.convertTo24();
    if (bmp.isEmpty())
        return;
    std::array<std::uint8_t, 256> table;
    for (int c = 0; c < 256; ++c)
        table[std::size_t(c)] = std::uint8_t(std::clamp<std::int64_t>(std::int64_t(c) + amount, 0, 255));
    const ExcludedBytes skip(excluded);
    walkRows(bmp, [&](std::uint8_t* p, int width) {
        for (const std::uint8_t* end = p + 3 * std::size_t(width); p != end; p += 3) {
            if (skip.matches(p))
                continue;
            p[0] = table[p[0]];
            p[1] = table[p[1]];
            p[2] = table[p[2]];
        }
    });
}

void ApplyColorize(Bitmap& bmp, ColorValue excluded, float hue, float saturation)
{
    // Callers hand over working bitmaps; anything else would be walked with
    // the wrong pixel size.
    bmp.convertTo24();
    if (bmp.isEmpty())
        return;
    const auto table = ColorizeTable(hue, saturation);
    const ExcludedBytes skip(excluded);
    walkRows(bmp, [&](std::uint8_t* p, int width) {
        for (const std::uint8_t* end = p + 3 * std::size_t(width); p != end; p += 3) {
            if (skip.matches(p))
                continue;
            const PixelBytes& out = table[std::max({p[0], p[1], p[2]})];
            p[0] = out.blue;
            p[1] = out.green;
            p[2] = out.red;
        }
    });
}

} // namespace tintora
