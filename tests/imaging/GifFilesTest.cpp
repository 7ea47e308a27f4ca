// Real GIF files checked against the screen dumps of another decoder, and
// damaged copies of one of them.
#include "imaging/GifFileChecks.h"
#include "support/Files.h"

#include <gtest/gtest.h>

namespace tintora::test {
namespace {

std::string gifFile(const std::string& name) { return dataFile("gif/" + name); }

// The command-line tool's screen dumps of single-frame files, byte for byte.
class GifAgainstDumps : public testing::TestWithParam<const char*> {};

TEST_P(GifAgainstDumps, PictureMatchesTheDump)
{
    GifImage image;
    image.load(readBytes(gifFile(std::string(GetParam()) + ".gif")));
    const Bitmap bitmap = image.toBitmap();
    EXPECT_EQ(bitmap.pixelFormat(), PixelFormat::Bits8);
    EXPECT_EQ(rgbOf(bitmap), readBytes(gifFile(std::string(GetParam()) + ".rgb")));
}

INSTANTIATE_TEST_SUITE_P(Files, GifAgainstDumps,
                         testing::Values("gifgrid", "porsche", "treescap", "treescap-interlaced", "x-trans"));

TEST(GifFiles, DamagedCopiesNeverCrash)
{
    const Bytes original = readBytes(gifFile("welcome2.gif"));
    ASSERT_FALSE(original.empty());
    for (std::size_t n = 0; n < original.size(); n += 97) {
        const std::string error =
            loadAndConvert(Bytes(original.begin(), original.begin() + std::ptrdiff_t(n)));
        EXPECT_TRUE(error.empty() || isGifErrorText(error)) << n << ": " << error;
    }
    unsigned seed = 99;
    for (int i = 0; i < 300; ++i) {
        Bytes b = original;
        for (int k = 0; k < 6; ++k) {
            seed = seed * 1103515245u + 12345u;
            b[(seed >> 8) % b.size()] = std::uint8_t(seed >> 20);
        }
        const std::string error = loadAndConvert(b);
        EXPECT_TRUE(error.empty() || isGifErrorText(error)) << i << ": " << error;
    }
}

} // namespace
} // namespace tintora::test
