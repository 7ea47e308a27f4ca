#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <limits>

namespace tintora {
namespace {

using test::colorizeDirect;
using test::pixelAt;
using test::Rgb;
using test::rowOf;

struct BrightnessCase {
    Rgb in;
    int delta;
    Rgb out;
};

class BrightnessTest : public testing::TestWithParam<BrightnessCase> {};

TEST_P(BrightnessTest, AddsAndClampsEachChannel)
{
    const BrightnessCase& c = GetParam();
    Bitmap bmp = rowOf({c.in});
    ApplyBrightness(bmp, c.delta, clMagenta);
    EXPECT_EQ(pixelAt(bmp, 0, 0), c.out);
}

INSTANTIATE_TEST_SUITE_P(Pixels, BrightnessTest,
                         testing::Values(BrightnessCase{{250, 10, 0}, 10, {255, 20, 10}},
                                         BrightnessCase{{250, 10, 0}, -20, {230, 0, 0}},
                                         BrightnessCase{{1, 2, 3}, 0, {1, 2, 3}},
                                         BrightnessCase{{0, 128, 255}, 255, {255, 255, 255}},
                                         BrightnessCase{{0, 128, 255}, -255, {0, 0, 0}},
                                         BrightnessCase{{0, 128, 255}, INT_MAX, {255, 255, 255}},
                                         BrightnessCase{{0, 128, 255}, INT_MIN, {0, 0, 0}},
                                         // Magenta minus one blue step is no longer the excluded colour.
                                         BrightnessCase{{255, 0, 254}, 5, {255, 5, 255}}));

TEST(BrightnessTest, PaletteBitmapBecomesWorkingBitmap)
{
    Bitmap bmp(3, 2, PixelFormat::Bits8);
    bmp.colorTable()[0] = {10, 20, 30, 0};  // blue, green, red
    bmp.colorTable()[1] = {255, 0, 255, 0}; // magenta
    bmp.colorTable()[2] = {250, 250, 250, 0};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            bmp.scanLine(y)[x] = std::uint8_t(x);
    ApplyBrightness(bmp, 10, clMagenta);
    ASSERT_EQ(bmp.pixelFormat(), PixelFormat::Bits24);
    ASSERT_EQ(bmp.bitsPerPixel(), 24);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(pixelAt(bmp, 0, y), (Rgb{40, 30, 20}));
        EXPECT_EQ(pixelAt(bmp, 1, y), (Rgb{255, 0, 255}));
        EXPECT_EQ(pixelAt(bmp, 2, y), (Rgb{255, 255, 255}));
    }
}

TEST(BrightnessTest, ZeroDeltaStillConvertsHighColour)
{
    Bitmap bmp(2, 1, PixelFormat::Bits16);
    // 5-6-5: pure red and pure blue.
    bmp.scanLine(0)[0] = 0x00, bmp.scanLine(0)[1] = 0xF8;
    bmp.scanLine(0)[2] = 0x1F, bmp.scanLine(0)[3] = 0x00;
    ApplyBrightness(bmp, 0, clMagenta);
    ASSERT_EQ(bmp.bitsPerPixel(), 24);
    EXPECT_EQ(pixelAt(bmp, 0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixelAt(bmp, 1, 0), (Rgb{0, 0, 255}));
}

TEST(BrightnessTest, EmptyBitmapIsLeftAlone)
{
    Bitmap bmp(0, 0, PixelFormat::Bits24);
    ApplyBrightness(bmp, 10, clMagenta);
    ApplyColorize(bmp, clMagenta, 10, 10);
    EXPECT_TRUE(bmp.isEmpty());
}

struct ColorizeCase {
    Rgb in;
    float hue, saturation;
    Rgb out;
};

class ColorizeTest : public testing::TestWithParam<ColorizeCase> {};

TEST_P(ColorizeTest, GivesHueAndSaturationKeepingValue)
{
    const ColorizeCase& c = GetParam();
    Bitmap bmp = rowOf({c.in});
    ApplyColorize(bmp, clMagenta, c.hue, c.saturation);
    EXPECT_EQ(pixelAt(bmp, 0, 0), c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Pixels, ColorizeTest,
    testing::Values(
        ColorizeCase{{10, 200, 30}, 200, 100, {122, 174, 200}},
        ColorizeCase{{255, 255, 255}, 30, 50, {255, 230, 205}}, ColorizeCase{{0, 0, 0}, 30, 50, {0, 0, 0}},
        // Saturation 0 counts as 1: green is 254.5 and goes to the even 254.
        ColorizeCase{{255, 255, 255}, 30, 0, {255, 254, 254}},
        ColorizeCase{{100, 150, 200}, 0, 0, {200, 199, 199}},
        ColorizeCase{{100, 150, 200}, 400, 0, {200, 199, 199}},
        ColorizeCase{{100, 150, 200}, 0, 300, {200, 199, 199}},
        ColorizeCase{{100, 150, 200}, 0, -5, {200, 199, 199}},
        ColorizeCase{{255, 0, 254}, 120, 255, {0, 255, 0}}, ColorizeCase{{90, 90, 90}, 360, 255, {90, 0, 0}},
        // Settings where rounding the intermediate results to float
        // decides the byte: evaluating wholly in long double, wholly in
        // float, or rounding halves away from zero each differ here.
        ColorizeCase{{255, 255, 255}, 1, 30, {255, 226, 225}},
        ColorizeCase{{238, 0, 0}, 5, 45, {238, 200, 196}}, ColorizeCase{{0, 170, 3}, 1, 45, {170, 140, 140}},
        // A NaN hue gives the grey of the pixel's value.
        ColorizeCase{{10, 200, 30}, std::numeric_limits<float>::quiet_NaN(), 100, {200, 200, 200}},
        ColorizeCase{{10, 200, 30}, 200, std::numeric_limits<float>::quiet_NaN(), {199, 200, 200}}));

TEST(ColorizeTest, NearZeroSaturationGivesMagenta)
{
    // Saturations above 0 pass the argument clamp, but S = saturation / 255
    // then counts as zero and the conversion error turns pixels magenta.
    for (float saturation : {0.001f, 0.05f}) {
        Bitmap bmp = rowOf({{10, 200, 30}, {0, 0, 0}, {255, 255, 255}, {255, 0, 255}});
        ApplyColorize(bmp, 0x00123456, 90, saturation);
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixelAt(bmp, x, 0), (Rgb{255, 0, 255})) << saturation << " x " << x;
    }
    // Just above the limit it colourises (almost grey) again.
    Bitmap bmp = rowOf({{10, 200, 30}});
    ApplyColorize(bmp, clMagenta, 90, 0.06f);
    EXPECT_EQ(pixelAt(bmp, 0, 0), (Rgb{200, 200, 200}));
}

TEST(ColorizeTest, ClampedArgumentsGiveTheClampedTables)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float saturation : {0.0f, 50.0f, 100.0f, 255.0f}) {
        EXPECT_EQ(ColorizeTable(400, saturation), ColorizeTable(0, saturation));
        EXPECT_EQ(ColorizeTable(-1, saturation), ColorizeTable(0, saturation));
        EXPECT_EQ(ColorizeTable(360.5f, saturation), ColorizeTable(0, saturation));
    }
    for (float hue : {0.0f, 30.0f, 200.0f, 360.0f}) {
        for (float saturation : {0.0f, -5.0f, -0.0f, 255.5f, 300.0f, nan})
            EXPECT_EQ(ColorizeTable(hue, saturation), ColorizeTable(hue, 1)) << hue << ' ' << saturation;
        // 255 itself is full saturation and is kept.
        EXPECT_NE(ColorizeTable(hue, 255), ColorizeTable(hue, 1));
    }
    // 360 is the same hue as 0.
    EXPECT_EQ(ColorizeTable(360, 70), ColorizeTable(0, 70));
}

TEST(ColorizeTest, PaletteBitmapIsColourisedAsWorkingBitmap)
{
    Bitmap bmp(2, 1, PixelFormat::Bits4);
    bmp.colorTable()[0] = {30, 200, 10, 0};
    bmp.colorTable()[1] = {255, 0, 255, 0};
    bmp.scanLine(0)[0] = 0x01;
    ApplyColorize(bmp, clMagenta, 200, 100);
    ASSERT_EQ(bmp.bitsPerPixel(), 24);
    EXPECT_EQ(pixelAt(bmp, 0, 0), (Rgb{122, 174, 200}));
    EXPECT_EQ(pixelAt(bmp, 1, 0), (Rgb{255, 0, 255}));
}

TEST(ColorizeTest, TwiceEqualsOnceWithTheSecondSettings)
{
    std::vector<Rgb> pixels;
    for (int i = 0; i < 600; ++i)
        pixels.push_back({(i * 37) & 255, (i * 101) & 255, (i * 13) & 255});
    const Bitmap source = rowOf(pixels);
    Bitmap twice = source;
    ApplyColorize(twice, clMagenta, 77, 90);
    ApplyColorize(twice, clMagenta, 250, 33);
    Bitmap once = source;
    ApplyColorize(once, clMagenta, 250, 33);
    for (int x = 0; x < int(pixels.size()); ++x)
        ASSERT_EQ(pixelAt(twice, x, 0), pixelAt(once, x, 0)) << x;
}

TEST(ColorizeTest, WholeColourCubeMatchesTheRule)
{
    // Every 24-bit colour once, against two conversions per pixel: this is what
    // shows the result depends on the pixel's value alone.
    Bitmap bmp = test::workingBitmap(4096, 4096);
    for (int y = 0; y < 4096; ++y) {
        std::uint8_t* row = bmp.scanLine(y);
        for (int x = 0; x < 4096; ++x) {
            const int c = y * 4096 + x;
            row[3 * x] = std::uint8_t(c >> 16), row[3 * x + 1] = std::uint8_t(c >> 8);
            row[3 * x + 2] = std::uint8_t(c);
        }
    }
    const float hue = 200, saturation = 57;
    ApplyColorize(bmp, clMagenta, hue, saturation);
    Rgb byValue[256];
    for (int v = 0; v < 256; ++v)
        byValue[v] = colorizeDirect({v, v, v}, hue, saturation);
    for (int y = 0; y < 4096; ++y) {
        const std::uint8_t* row = bmp.scanLine(y);
        for (int x = 0; x < 4096; ++x) {
            const int c = y * 4096 + x;
            const Rgb in{c & 255, (c >> 8) & 255, c >> 16};
            const Rgb out{row[3 * x + 2], row[3 * x + 1], row[3 * x]};
            // The full rule runs on a sample; the value shortcut checks the rest.
            const Rgb expected = in == Rgb{255, 0, 255} ? in
                                 : (c % 7) == 0         ? colorizeDirect(in, hue, saturation)
                                                        : byValue[std::max({in.r, in.g, in.b})];
            ASSERT_EQ(out, expected) << in;
        }
    }
}

} // namespace
} // namespace tintora

namespace tintora {
namespace {

// A large bitmap split into bands over threads comes out as one pass gives it.
TEST(FilterBandsTest, ThreadsChangeNoPixel)
{
    Bitmap source(2901, 1700, PixelFormat::Bits24); // 14.8 MB: three bands
    std::uint32_t state = 12345;
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            source.setPixel(x, y, (state >> 28) == 0 ? clMagenta : ColorValue(state >> 8 & 0xFFFFFF));
        }
    for (const unsigned threads : {2u, 3u}) {
        Bitmap once = source, banded = source;
        ApplyBrightness(once, -40, clMagenta);
        ApplyBrightness(banded, -40, clMagenta, threads);
        ApplyColorize(once, clMagenta, 200, 60);
        ApplyColorize(banded, clMagenta, 200, 60, threads);
        EXPECT_TRUE(std::equal(once.bits(), once.bits() + once.byteSize(), banded.bits())) << threads;
    }
}

} // namespace
} // namespace tintora
