#include "color/ImageProcessingPrimitives.h"

#include "color/FilterRows.h"
#include "color/RealColorLibrary.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>
#include <thread>
#include <vector>

namespace tintora {

namespace {

rows::ExcludedBytes excludedBytes(ColorValue c)
{
    // The top byte of the colour value plays no part.
    return {std::uint8_t(blueOf(c)), std::uint8_t(greenOf(c)), std::uint8_t(redOf(c))};
}

// Nearest integer, halves to even, as nearbyint gives it in the default
// rounding mode: for 0 <= x < 2^23, x + 2^23 has no bits below the unit, so
// the addition rounds x to a whole number and the subtraction is exact. Inline
// and without the library call, which matters at 768 per filter call. Results
// already lie in 0..V; the clamp only guards the byte conversion.
std::uint8_t roundToByte(float x)
{
    constexpr float wholeNumbers = 8388608.0f; // 2^23
    const float r = x < wholeNumbers ? (x + wholeNumbers) - wholeNumbers : x;
    return std::uint8_t(std::clamp(r, 0.0f, 255.0f));
}

// All rows of a 24-bit bitmap, in storage order (bottom up): the filters treat
// every pixel alike, so the order does not matter.
// Runs a row kernel over the bitmap's rows, split into one band per thread;
// bands of less than a few megabytes are not worth a thread.
template <class Kernel> void runInBands(const Kernel& kernel, rows::Rows all, unsigned threads)
{
    constexpr std::int64_t bandBytes = std::int64_t(4) << 20;
    const std::int64_t rowBytes = std::max<std::int64_t>(std::int64_t(all.width) * 3, 1);
    const std::int64_t worthwhile = std::max<std::int64_t>(std::int64_t(all.count) * rowBytes / bandBytes, 1);
    const int bands = int(std::min<std::int64_t>(std::max(threads, 1u), worthwhile));
    std::vector<std::jthread> others;
    for (int band = 1; band < bands; ++band) {
        const int first = int(std::int64_t(all.count) * band / bands);
        const int end = int(std::int64_t(all.count) * (band + 1) / bands);
        rows::Rows part{all.first + std::ptrdiff_t(first) * all.stride, all.stride, all.width, end - first};
        others.emplace_back([&kernel, part] { kernel.vector(part); });
    }
    kernel.vector({all.first, all.stride, all.width, int(std::int64_t(all.count) / bands)});
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

// For one call the colourised pixel depends on its value V alone: its own hue
// and saturation are discarded. So the per-pixel rule runs once per V.
rows::ValueTable valueTable(float hue, float saturation)
{
    clampColorizeArguments(hue, saturation);
    const float S = float((long double)saturation / 255);
    rows::ValueTable table;
    try {
        const HSVConverter converter(hue, S);
        for (int v = 0; v < 256; ++v) {
            const float V = float(v);
            // Grey unless assigned; every clamped hue assigns all three.
            float R = V, G = V, B = V;
            converter.toRGB(V, R, G, B);
            table[std::size_t(v)] = {roundToByte(B), roundToByte(G), roundToByte(R), 0};
        }
    } catch (const EColorError&) {
        // The conversion failed for the hue and saturation, so for every V.
        table.fill({255, 0, 255, 0});
    }
    return table;
}

// A hue and saturation's table and its value form. A batch colourises every
// file with the same settings, and the window repaints with them, so each
// thread keeps the last ones; the arguments are compared bit for bit, so that
// a NaN finds itself.
struct ColorizeSetup {
    std::uint32_t hueBits = 0, saturationBits = 0;
    rows::ValueTable table;
    std::optional<rows::ValueForm> form;
};

const ColorizeSetup& colorizeSetup(float hue, float saturation)
{
    thread_local std::optional<ColorizeSetup> last;
    const auto hueBits = std::bit_cast<std::uint32_t>(hue);
    const auto saturationBits = std::bit_cast<std::uint32_t>(saturation);
    if (!last || last->hueBits != hueBits || last->saturationBits != saturationBits) {
        last.emplace(ColorizeSetup{hueBits, saturationBits, valueTable(hue, saturation), std::nullopt});
        last->form = rows::fitValueForm(last->table);
    }
    return *last;
}

} // namespace

std::array<PixelBytes, 256> ColorizeTable(float hue, float saturation)
{
    const rows::ValueTable table = valueTable(hue, saturation);
    std::array<PixelBytes, 256> out;
    for (std::size_t v = 0; v < 256; ++v)
        out[v] = {table[v][0], table[v][1], table[v][2]};
    return out;
}

// Both filters work on each row in place: a pixel's result depends on that
// pixel alone, so no second bitmap is needed.
void ApplyBrightness(Rows24 rows, int amount, ColorValue excluded, unsigned threads)
{
    // Adding 0 changes no pixel; the save pass asks for it whenever only the
    // hue or the saturation moved.
    if (amount == 0 || rows.width <= 0 || rows.count <= 0)
        return;
    const rows::BrightnessRows kernel(amount, excludedBytes(excluded));
    runInBands(kernel, {rows.first, rows.stride, rows.width, rows.count}, threads);
}

void ApplyColorize(Rows24 rows, ColorValue excluded, float hue, float saturation, unsigned threads)
{
    if (rows.width <= 0 || rows.count <= 0)
        return;
    const ColorizeSetup& setup = colorizeSetup(hue, saturation);
    const rows::ColorizeRows kernel(setup.table, excludedBytes(excluded), setup.form);
    runInBands(kernel, {rows.first, rows.stride, rows.width, rows.count}, threads);
}

void ApplyBrightness(Bitmap& bmp, int amount, ColorValue excluded, unsigned threads)
{
    bmp.convertTo24();
    ApplyBrightness(rowsOf(bmp), amount, excluded, threads);
}

void ApplyColorize(Bitmap& bmp, ColorValue excluded, float hue, float saturation, unsigned threads)
{
    // Callers hand over working bitmaps; anything else would be walked with
    // the wrong pixel size.
    bmp.convertTo24();
    ApplyColorize(rowsOf(bmp), excluded, hue, saturation, threads);
}

Rows24 rowsOf(Bitmap& bmp) { return {bmp.bits(), bmp.stride(), bmp.width(), bmp.height()}; }

} // namespace tintora
