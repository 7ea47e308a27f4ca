#include "imaging/GifImage.h"
#include "imaging/ImageError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace tintora {
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

std::string corpus(const std::string& name)
{
    return std::string(TINTORA_CORPUS) + "/" + name;
}

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::uint64_t fnv1a64(const Bytes& data)
{
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (std::uint8_t b : data)
        h = (h ^ b) * 0x100000001B3ull;
    return h;
}

// Red, green, blue bytes of a bitmap, row by row from the top.
Bytes rgbOf(const Bitmap& bitmap)
{
    Bytes out;
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            const ColorValue c = bitmap.pixel(x, y);
            out.insert(out.end(),
                       {std::uint8_t(redOf(c)), std::uint8_t(greenOf(c)), std::uint8_t(blueOf(c))});
        }
    }
    return out;
}

const std::set<std::string>& allTexts()
{
    static const std::set<std::string> texts = {gifTexts::badSignature,     gifTexts::prematureEnd,
                                                gifTexts::unknownExtension, gifTexts::circularEntry,
                                                gifTexts::noColorTable,     gifTexts::tooLarge};
    return texts;
}

// Loads and converts; returns the error text, or "" when both worked.
std::string loadAndConvert(const Bytes& bytes)
{
    try {
        GifImage image;
        image.load(bytes);
        const Bitmap b = image.toBitmap();
        if (image.frameCount() > 0 && (b.width() != image.width() || b.height() != image.height()))
            return "bitmap of the wrong size";
    } catch (const ImageError& e) {
        return e.what();
    }
    return "";
}

struct PillowLine {
    std::string path;
    int screenWidth, screenHeight, left, top, right, bottom;
    std::uint64_t hash;
};

std::vector<PillowLine> pillowLines()
{
    std::ifstream in(std::string(TINTORA_TEST_DATA) + "/gif/pillow_first_frame.txt");
    std::vector<PillowLine> lines;
    PillowLine l;
    std::string hash;
    while (in >> l.path >> l.screenWidth >> l.screenHeight >> l.left >> l.top >> l.right >> l.bottom >>
           hash) {
        l.hash = std::stoull(hash, nullptr, 16);
        lines.push_back(l);
    }
    return lines;
}

class GifAgainstPillow : public testing::TestWithParam<PillowLine> {};

// The first frame's colours inside its box equal what the second decoder gives.
TEST_P(GifAgainstPillow, FirstFrameMatches)
{
    const PillowLine& ref = GetParam();
    GifImage image;
    image.load(readFile(corpus(ref.path)));
    ASSERT_GE(image.frameCount(), 1u);
    const GifFrame& f = image.frame(0);
    // That decoder widens its screen to hold a first frame that reaches past it.
    EXPECT_EQ(std::max(image.width(), f.left + f.width), ref.screenWidth);
    EXPECT_EQ(std::max(image.height(), f.top + f.height), ref.screenHeight);
    EXPECT_EQ(f.left, ref.left);
    EXPECT_EQ(f.top, ref.top);
    EXPECT_EQ(f.left + f.width, ref.right);
    EXPECT_EQ(f.top + f.height, ref.bottom);
    if (f.localColorTable.empty() && image.globalColorTable().empty()) {
        // That decoder makes up a gray ramp; ours refuses to guess.
        EXPECT_THROW(image.toBitmap(), ImageError);
        return;
    }
    EXPECT_EQ(fnv1a64(rgbOf(image.frameBitmap(0))), ref.hash);
}

INSTANTIATE_TEST_SUITE_P(Corpus, GifAgainstPillow, testing::ValuesIn(pillowLines()), [](const auto& test) {
    std::string name = fs::path(test.param.path).stem().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name + "_" + std::to_string(test.index);
});

TEST(GifCorpus, ReferenceListCoversTheCorpus)
{
    EXPECT_GE(pillowLines().size(), 50u);
}

// The command-line tool's screen dumps of single-frame files, byte for byte.
class GifAgainstDumps : public testing::TestWithParam<const char*> {};

TEST_P(GifAgainstDumps, PictureMatchesTheDump)
{
    GifImage image;
    image.load(readFile(corpus(std::string("giflib/pic/") + GetParam() + ".gif")));
    const Bitmap bitmap = image.toBitmap();
    EXPECT_EQ(bitmap.pixelFormat(), PixelFormat::Bits8);
    EXPECT_EQ(rgbOf(bitmap), readFile(corpus(std::string("giflib/tests/") + GetParam() + ".rgb")));
}

INSTANTIATE_TEST_SUITE_P(Corpus, GifAgainstDumps,
                         testing::Values("gifgrid", "porsche", "solid2", "treescap", "treescap-interlaced",
                                         "x-trans"));

TEST(GifCorpus, EveryFileLoadsOrFailsWithItsText)
{
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(TINTORA_CORPUS)) {
        if (entry.path().extension() != ".gif")
            continue;
        ++files;
        const std::string error = loadAndConvert(readFile(entry.path().string()));
        EXPECT_TRUE(error.empty() || allTexts().count(error)) << entry.path() << ": " << error;
    }
    EXPECT_GE(files, 50);
}

TEST(GifCorpus, DamagedCopiesNeverCrash)
{
    const Bytes original = readFile(corpus("giflib/pic/welcome2.gif"));
    for (std::size_t n = 0; n < original.size(); n += 97) {
        const std::string error =
            loadAndConvert(Bytes(original.begin(), original.begin() + std::ptrdiff_t(n)));
        EXPECT_TRUE(error.empty() || allTexts().count(error)) << n << ": " << error;
    }
    unsigned seed = 99;
    for (int i = 0; i < 300; ++i) {
        Bytes b = original;
        for (int k = 0; k < 6; ++k) {
            seed = seed * 1103515245u + 12345u;
            b[(seed >> 8) % b.size()] = std::uint8_t(seed >> 20);
        }
        const std::string error = loadAndConvert(b);
        EXPECT_TRUE(error.empty() || allTexts().count(error)) << i << ": " << error;
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
    const Bytes bytes = readFile(std::string(TINTORA_TEST_DATA) + "/gif/" + file.name + ".gif");
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
} // namespace tintora
