#include "FilterTestSupport.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>

namespace tintora {
namespace {

using test::colorizeDirect;
using test::pixelAt;
using test::Rgb;

// One pixel per value V, its brightest channel moving between red, green and
// blue and its other channels varying, so that a table built on anything but
// V would show.
std::vector<Rgb> onePixelPerValue()
{
    std::vector<Rgb> pixels;
    for (int v = 0; v < 256; ++v) {
        const int a = (v * 7) % (v + 1), b = (v * 13 + 5) % (v + 1);
        switch (v % 3) {
        case 0:
            pixels.push_back({v, a, b});
            break;
        case 1:
            pixels.push_back({a, v, b});
            break;
        default:
            pixels.push_back({a, b, v});
            break;
        }
    }
    return pixels;
}

void expectRuleForEveryValue(const Bitmap& source, const std::vector<Rgb>& pixels, float hue,
                             float saturation)
{
    Bitmap bmp = source;
    ApplyColorize(bmp, clMagenta, hue, saturation);
    for (int x = 0; x < int(pixels.size()); ++x)
        ASSERT_EQ(pixelAt(bmp, x, 0), colorizeDirect(pixels[std::size_t(x)], hue, saturation))
            << "hue " << hue << " saturation " << saturation << " pixel " << pixels[std::size_t(x)];
}

TEST(ColorizeExhaustiveTest, EveryGaugeSettingAndValueMatchesTheRule)
{
    const std::vector<Rgb> pixels = onePixelPerValue();
    const Bitmap source = test::rowOf(pixels);
    for (int hue = 0; hue <= 360; ++hue)
        for (int saturation = 0; saturation <= 100; ++saturation) {
            expectRuleForEveryValue(source, pixels, float(hue), float(saturation));
            if (testing::Test::HasFatalFailure())
                return;
        }
}

TEST(ColorizeExhaustiveTest, OutOfRangeAndFractionalArgumentsMatchTheRule)
{
    const std::vector<Rgb> pixels = onePixelPerValue();
    const Bitmap source = test::rowOf(pixels);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float hue : {400.0f, -5.0f, 360.5f, 359.9f, 0.5f, 119.99f, nan})
        for (float saturation : {300.0f, -5.0f, 0.0f, 0.5f, 255.0f, 255.5f, 254.9f, 0.01f, nan})
            expectRuleForEveryValue(source, pixels, hue, saturation);
}

// Fills every byte of the storage, padding included, with a sentinel pattern.
void fillStorage(Bitmap& bmp)
{
    std::uint8_t* bytes = bmp.bits();
    for (std::size_t i = 0; i < bmp.byteSize(); ++i)
        bytes[i] = std::uint8_t(0xA5 ^ (i * 29));
}

std::vector<std::uint8_t> paddingBytes(const Bitmap& bmp)
{
    std::vector<std::uint8_t> out;
    for (int y = 0; y < bmp.height(); ++y) {
        const std::uint8_t* row = bmp.scanLine(y);
        out.insert(out.end(), row + 3 * bmp.width(), row + bmp.stride());
    }
    return out;
}

using Filter = std::function<void(Bitmap&, ColorValue)>;

struct FilterCase {
    const char* name;
    Filter apply;
    std::function<Rgb(Rgb)> expected;
};

class FilterExactnessTest : public testing::TestWithParam<FilterCase> {};

TEST_P(FilterExactnessTest, PaddingIsNeverTouched)
{
    for (int width : {1, 2, 3, 5, 7, 13, 374}) {
        Bitmap bmp = test::workingBitmap(width, 3);
        fillStorage(bmp);
        const Bitmap before = bmp;
        const std::vector<std::uint8_t> padding = paddingBytes(bmp);
        GetParam().apply(bmp, clMagenta);
        EXPECT_EQ(paddingBytes(bmp), padding) << "width " << width;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(pixelAt(bmp, x, y), GetParam().expected(pixelAt(before, x, y))) << x << ',' << y;
    }
}

TEST_P(FilterExactnessTest, ExcludedColourComesOutBitExact)
{
    for (ColorValue excluded :
         {clMagenta, clBlackValue, clWhiteValue, ColorValue(0x00406080), ColorValue(0xFF406080)}) {
        const Rgb key{redOf(excluded), greenOf(excluded), blueOf(excluded)};
        std::vector<Rgb> pixels{key};
        // Near misses, one channel off by one, are ordinary pixels.
        for (int d : {-1, 1}) {
            auto off = [d](int c) { return std::clamp(c + d, 0, 255) == c ? c - d : c + d; };
            pixels.push_back({off(key.r), key.g, key.b});
            pixels.push_back({key.r, off(key.g), key.b});
            pixels.push_back({key.r, key.g, off(key.b)});
        }
        pixels.push_back(key);
        Bitmap bmp = test::rowOf(pixels);
        GetParam().apply(bmp, excluded);
        for (int x = 0; x < int(pixels.size()); ++x) {
            const Rgb& in = pixels[std::size_t(x)];
            const Rgb want = in == key ? key : GetParam().expected(in);
            EXPECT_EQ(pixelAt(bmp, x, 0), want) << std::hex << excluded << " pixel " << in;
        }
    }
}

TEST_P(FilterExactnessTest, OnePixelBitmap)
{
    Bitmap bmp = test::workingBitmap(1, 1);
    fillStorage(bmp);
    const Rgb in = pixelAt(bmp, 0, 0);
    const std::uint8_t pad = bmp.scanLine(0)[3];
    GetParam().apply(bmp, clMagenta);
    EXPECT_EQ(pixelAt(bmp, 0, 0), GetParam().expected(in));
    EXPECT_EQ(bmp.scanLine(0)[3], pad);
}

Rgb brighten(Rgb c, int delta)
{
    auto ch = [delta](int v) { return std::clamp(v + delta, 0, 255); };
    return {ch(c.r), ch(c.g), ch(c.b)};
}

INSTANTIATE_TEST_SUITE_P(
    Filters, FilterExactnessTest,
    testing::Values(FilterCase{"Brighten", [](Bitmap& b, ColorValue ex) { ApplyBrightness(b, 37, ex); },
                               [](Rgb c) { return brighten(c, 37); }},
                    FilterCase{"Darken", [](Bitmap& b, ColorValue ex) { ApplyBrightness(b, -200, ex); },
                               [](Rgb c) { return brighten(c, -200); }},
                    FilterCase{"Colorize", [](Bitmap& b, ColorValue ex) { ApplyColorize(b, ex, 200, 100); },
                               [](Rgb c) { return colorizeDirect(c, 200, 100); }},
                    FilterCase{"ColorizeGrey", [](Bitmap& b, ColorValue ex) { ApplyColorize(b, ex, 0, 0); },
                               [](Rgb c) { return colorizeDirect(c, 0, 0); }}),
    test::CaseName());

} // namespace
} // namespace tintora
