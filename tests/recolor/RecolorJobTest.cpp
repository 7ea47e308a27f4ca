#include "recolor/RecolorJob.h"

#include <gtest/gtest.h>

namespace tintora {
namespace {

struct TargetCase {
    const char* source;
    const char* folder; // empty: beside the source
    const char* target;
};

class SaveTargetTest : public ::testing::TestWithParam<TargetCase> {};

TEST_P(SaveTargetTest, NamesTheBmpBesideTheSourceOrInAFolder)
{
    const TargetCase& c = GetParam();
    const std::string target = *c.folder ? saveTargetIn(c.source, c.folder) : saveTargetFor(c.source);
    EXPECT_EQ(target, c.target);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SaveTargetTest,
    ::testing::Values(TargetCase{"/s/Top.JPG", "", "/s/Top.bmp"},
                      TargetCase{"/s/Back.BMP", "", "/s/Back.BMP"},   // its own target, whatever the case
                      TargetCase{"/s/a.b.gif", "", "/s/a.b.bmp"},     // only the last extension goes
                      TargetCase{"/s.d/noext", "", "/s.d/noext.bmp"}, // a dot in a folder is no extension
                      TargetCase{"/s/icon.ico", "/out", "/out/icon.bmp"},
                      TargetCase{"/s/Back.bmp", "/out/", "/out/Back.bmp"},
                      TargetCase{"plain.jpg", "out", "out/plain.bmp"}));

TEST(RecolorSettings, ClampsToTheGaugeRanges)
{
    const RecolorSettings wild{400, -5, -300, clBlackValue};
    const RecolorSettings s = wild.clamped();
    EXPECT_EQ(s.hue, 360);
    EXPECT_EQ(s.saturation, 0);
    EXPECT_EQ(s.brightness, -255);
    EXPECT_EQ(s.excluded, clBlackValue);
}

TEST(SavePass, HueAndSaturationAtZeroKeepTheColours)
{
    Bitmap b(2, 1, PixelFormat::Bits8);
    b.colorTable() = {{30, 144, 255, 0}, {0, 0, 0, 0}};
    applySavePass(b, RecolorSettings{0, 0, 20, clMagenta});
    EXPECT_EQ(b.pixelFormat(), PixelFormat::Bits24);
    EXPECT_EQ(b.pixel(0, 0), makeColor(255, 164, 50));
    applySavePass(b, RecolorSettings{});
    EXPECT_EQ(b.pixel(0, 0), makeColor(255, 164, 50));
}

TEST(RecolorSource, AnIconWithoutThatSizeIsAMagentaSquare)
{
    const Bitmap square = drawIconSource("/no/such/file.ico", 48);
    ASSERT_EQ(square.width(), 48);
    EXPECT_EQ(square.pixelFormat(), PixelFormat::Bits24);
    EXPECT_EQ(square.pixel(47, 47), clMagenta);
    EXPECT_TRUE(isIconSource("/a/B.ICO"));
    EXPECT_FALSE(isIconSource("/a.ico/b"));
}

} // namespace
} // namespace tintora
