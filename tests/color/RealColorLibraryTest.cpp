#include "color/RealColorLibrary.h"
#include "color/IEEE754.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <vector>

namespace tintora {
namespace {

TEST(NaNTest, ConstantHasEveryBitButTheSign)
{
    EXPECT_EQ(std::bit_cast<std::uint64_t>(NaN()), 0x7FFFFFFFFFFFFFFFull);
    EXPECT_TRUE(IsNaN(NaN()));
    // Narrowed into a 32-bit hue it must stay a quiet NaN.
    const float narrowed = float(NaN());
    EXPECT_TRUE(IsNaN(narrowed));
    EXPECT_NE(std::bit_cast<std::uint32_t>(narrowed) & 0x00400000u, 0u);
}

TEST(NaNTest, ClassifiesByBits)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(IsNaN(inf));
    EXPECT_FALSE(IsNaN(-inf));
    EXPECT_FALSE(IsNaN(std::numeric_limits<double>::max()));
    EXPECT_FALSE(IsNaN(0.0));
    EXPECT_FALSE(IsNaN(std::numeric_limits<double>::denorm_min()));
    EXPECT_TRUE(IsNaN(double(std::numeric_limits<float>::quiet_NaN())));
    EXPECT_TRUE(IsNaN(std::numeric_limits<double>::signaling_NaN()));
    EXPECT_TRUE(IsNaN(std::bit_cast<double>(0xFFF0000000000001ull)));
    static_assert(IsNaN(NaN()) && !IsNaN(1.0));
}

TEST(MinMaxTest, FirstOfEqualElementsAndOrder)
{
    const std::vector<double> values{3, -1, 7, 7, -1, 2};
    EXPECT_EQ(MaxValue(values), 7);
    EXPECT_EQ(MinValue(values), -1);
    const std::vector<double> one{4.5};
    EXPECT_EQ(MaxValue(one), 4.5);
    EXPECT_EQ(MinValue(one), 4.5);
    // Signed zeros compare equal, so the first one is kept.
    const std::vector<double> zeros{-0.0, 0.0};
    EXPECT_TRUE(std::signbit(MaxValue(zeros)));
    EXPECT_TRUE(std::signbit(MinValue(zeros)));
    EXPECT_THROW(MaxValue({}), std::invalid_argument);
    EXPECT_THROW(MinValue({}), std::invalid_argument);
}

struct ToHsvCase {
    float r, g, b;
    float h, s, v;
};

class RgbToHsvTest : public testing::TestWithParam<ToHsvCase> {};

TEST_P(RgbToHsvTest, GivesStoredFloats)
{
    const ToHsvCase& c = GetParam();
    float H = -1, S = -1, V = -1;
    RGBtoHSV(c.r, c.g, c.b, H, S, V);
    EXPECT_EQ(H, c.h);
    EXPECT_EQ(S, c.s);
    EXPECT_EQ(V, c.v);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, RgbToHsvTest,
    testing::Values(ToHsvCase{255, 0, 0, 0, 1, 255}, ToHsvCase{255, 255, 0, 60, 1, 255}, // red wins the tie
                    ToHsvCase{0, 255, 255, 180, 1, 255}, // green wins over blue
                    ToHsvCase{255, 0, 255, 300, 1, 255}, // -60 wrapped
                    ToHsvCase{255, 0, 1, 359.7647f, 1, 255}, ToHsvCase{10, 200, 30, 126.31579f, 0.95f, 200},
                    ToHsvCase{0, 0, 255, 240, 1, 255}, ToHsvCase{20, 10, 40, 260, 0.75f, 40}));

TEST(RgbToHsvTest, GreysHaveNoHue)
{
    for (float grey : {0.0f, 1.0f, 128.0f, 255.0f}) {
        float H = 0, S = -1, V = -1;
        RGBtoHSV(grey, grey, grey, H, S, V);
        EXPECT_TRUE(IsNaN(H)) << grey;
        EXPECT_EQ(S, 0);
        EXPECT_EQ(V, grey);
    }
}

struct ToRgbCase {
    float h, s, v;
    float r, g, b;
};

class HsvToRgbTest : public testing::TestWithParam<ToRgbCase> {};

TEST_P(HsvToRgbTest, Converts)
{
    const ToRgbCase& c = GetParam();
    float R = -1, G = -1, B = -1;
    HSVtoRGB(c.h, c.s, c.v, R, G, B);
    EXPECT_NEAR(R, c.r, 1e-4);
    EXPECT_NEAR(G, c.g, 1e-4);
    EXPECT_NEAR(B, c.b, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(
    Sectors, HsvToRgbTest,
    testing::Values(ToRgbCase{360, 1, 255, 255, 0, 0}, ToRgbCase{0, 1, 255, 255, 0, 0},
                    ToRgbCase{60, 1, 255, 255, 255, 0}, ToRgbCase{120, 1, 255, 0, 255, 0},
                    ToRgbCase{180, 1, 255, 0, 255, 255}, ToRgbCase{240, 1, 255, 0, 0, 255},
                    ToRgbCase{300, 1, 255, 255, 0, 255}, ToRgbCase{30, 0.5f, 200, 200, 150, 100},
                    ToRgbCase{200, 100.0f / 255, 200, 121.5686f, 173.8562f, 200},
                    ToRgbCase{120, 0.00021f, 50, 49.9895f, 50, 49.9895f},
                    ToRgbCase{NaN(), 0.5f, 100, 100, 100, 100}, ToRgbCase{NaN(), 0, 100, 100, 100, 100}));

TEST(HsvToRgbTest, NearlyZeroSaturationWithAHueRaises)
{
    for (float s : {0.0f, 0.0001f, 0.0002f, 0.00005f}) {
        float R = 7, G = 8, B = 9;
        try {
            HSVtoRGB(120, s, 50, R, G, B);
            ADD_FAILURE() << "no error for S = " << s;
        } catch (const EColorError& e) {
            EXPECT_STREQ(e.what(), "HSVtoRGB:  S = 0 and H has a value");
        }
        // Nothing is assigned on the error path.
        EXPECT_EQ(R, 7);
        EXPECT_EQ(G, 8);
        EXPECT_EQ(B, 9);
    }
    // The error is an ordinary exception with a message for the handler guard.
    float r, g, b;
    EXPECT_THROW(HSVtoRGB(0, 0, 0, r, g, b), std::runtime_error);
}

TEST(HsvToRgbTest, SmallNegativeSaturationIsNotZero)
{
    float R, G, B;
    EXPECT_NO_THROW(HSVtoRGB(120, -0.00001f, 50, R, G, B));
    EXPECT_EQ(G, 50);
    EXPECT_GT(R, 50); // V x (1 - S) with S below zero
}

TEST(HsvToRgbTest, HueOutsideTheRangeAssignsNothing)
{
    for (float h : {-30.0f, -0.001f, 360.001f, 400.0f, 1e30f, std::numeric_limits<float>::infinity()}) {
        float R = 1, G = 2, B = 3;
        HSVtoRGB(h, 0.5f, 100, R, G, B);
        EXPECT_EQ(R, 1) << h;
        EXPECT_EQ(G, 2) << h;
        EXPECT_EQ(B, 3) << h;
    }
}

TEST(HsvToRgbTest, HuesJustBelow360StayInTheLastSector)
{
    // The stored h = H / 60 must never round up to 6 for a hue below 360.
    float h = 360;
    for (int k = 0; k < 4096; ++k) {
        h = std::nextafter(h, 0.0f);
        float R = -1, G = -1, B = -1;
        HSVtoRGB(h, 1, 255, R, G, B);
        ASSERT_EQ(R, 255) << h;
        ASSERT_EQ(G, 0) << h;
        ASSERT_GE(B, 0) << h;
        ASSERT_LT(B, 1) << h;
    }
}

TEST(HsvToRgbTest, OutputsKeepValueAndStayWithinRange)
{
    for (int hue = 0; hue <= 360; hue += 3)
        for (int sat = 1; sat <= 255; sat += 7) {
            const float S = float((long double)sat / 255);
            for (int v = 0; v < 256; v += 17) {
                float R, G, B;
                HSVtoRGB(float(hue), S, float(v), R, G, B);
                const float lo = float(v * (1 - (long double)S)) - 1e-3f;
                for (float c : {R, G, B}) {
                    ASSERT_LE(c, float(v));
                    ASSERT_GE(c, lo);
                }
                ASSERT_TRUE(R == v || G == v || B == v);
            }
        }
}

// The chromatic conversion written straight from its definition, one value at
// a time; the library splits it into a per-hue and a per-value half.
void straightHsvToRgb(float H, float S, float V, float& R, float& G, float& B)
{
    using Wide = long double;
    float h = H == 360 ? 0.0f : H;
    h = float(Wide(h) / 60);
    const int i = int(h);
    const float f = float(Wide(h) - i);
    const float p = float(Wide(V) * (1 - Wide(S)));
    const float q = float(Wide(V) * (1 - Wide(S) * f));
    const float t = float(Wide(V) * (1 - Wide(S) * (1 - Wide(f))));
    const float out[6][3] = {{V, t, p}, {q, V, p}, {p, V, t}, {p, q, V}, {t, p, V}, {V, p, q}};
    R = out[i][0], G = out[i][1], B = out[i][2];
}

TEST(HsvToRgbTest, ConverterMatchesTheStraightRuleBitForBit)
{
    // Every setting the gauges can give, and full saturation.
    std::vector<int> saturations(100);
    std::iota(saturations.begin(), saturations.end(), 1);
    saturations.push_back(255);
    for (int hue = 0; hue <= 360; ++hue)
        for (int sat : saturations) {
            const float S = float((long double)sat / 255);
            const HSVConverter converter(float(hue), S);
            for (int v = 0; v < 256; ++v) {
                float R = 0, G = 0, B = 0, r = -1, g = -1, b = -1;
                straightHsvToRgb(float(hue), S, float(v), R, G, B);
                converter.toRGB(float(v), r, g, b);
                ASSERT_TRUE(R == r && G == g && B == b)
                    << "hue " << hue << " saturation " << sat << " value " << v;
            }
        }
}

TEST(RoundTripTest, FullySaturatedHuesComeBack)
{
    for (int hue = 0; hue < 360; ++hue) {
        float R, G, B, H, S, V;
        HSVtoRGB(float(hue), 1, 255, R, G, B);
        RGBtoHSV(R, G, B, H, S, V);
        EXPECT_NEAR(H, hue, 1e-3) << hue;
        EXPECT_EQ(S, 1);
        EXPECT_EQ(V, 255);
    }
}

} // namespace
} // namespace tintora
