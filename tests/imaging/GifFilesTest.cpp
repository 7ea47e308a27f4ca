// Real GIF files checked against the screen dumps of another decoder, and
// damaged copies of one of them.
#include "imaging/GifFileChecks.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <algorithm>

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

// Files whose screen or frame is zero pixels wide. Nothing of zero size is
// drawn or copied: each loads, and its picture is the screen's size (empty
// here) unless the first frame has no colours at all.
struct ZeroWidthFile {
    const char* name;
    int screenWidth, screenHeight;
    std::size_t frames;
    const char* conversionError; // "" when the picture converts
};

class GifZeroWidth : public testing::TestWithParam<ZeroWidthFile> {};

TEST_P(GifZeroWidth, LoadsAndDrawsNothing)
{
    const ZeroWidthFile& file = GetParam();
    const Bytes bytes = readBytes(gifFile(std::string(file.name) + ".gif"));
    GifImage image;
    image.load(bytes);
    EXPECT_EQ(image.width(), file.screenWidth);
    EXPECT_EQ(image.height(), file.screenHeight);
    ASSERT_EQ(image.frameCount(), file.frames);
    for (std::size_t i = 0; i < image.frameCount(); ++i) {
        const GifFrame& f = image.frame(i);
        EXPECT_EQ(f.pixels.size(), std::size_t(f.width) * f.height) << i;
        try {
            const Bitmap& b = image.frameBitmap(i);
            EXPECT_EQ(b.width(), f.width) << i;
            EXPECT_EQ(b.height(), f.height) << i;
        } catch (const ImageError& e) {
            EXPECT_STREQ(e.what(), gifTexts::noColorTable) << i;
        }
    }
    EXPECT_EQ(loadAndConvert(bytes), file.conversionError);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, GifZeroWidth,
    testing::Values(ZeroWidthFile{"zero-width-screen-small-frame", 0, 19456, 1, ""},
                    ZeroWidthFile{"zero-width-screen-frame-cut-short", 0, 25700, 1, ""},
                    ZeroWidthFile{"zero-width-screen-tall-interlaced-frame", 0, 2049, 1, ""},
                    ZeroWidthFile{"zero-width-screen-three-frames", 0, 1024, 3, ""},
                    ZeroWidthFile{"zero-width-interlaced-frame", 0, 0, 1, ""},
                    ZeroWidthFile{"zero-width-frame-with-local-table", 0, 0, 2, gifTexts::noColorTable}),
    [](const auto& test) {
        std::string name = test.param.name;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

} // namespace
} // namespace tintora::test
