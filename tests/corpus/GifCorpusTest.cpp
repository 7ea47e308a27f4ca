// Every GIF of the corpus: loads or fails with its text, and its first frame
// matches what a second decoder made of it.
#include "imaging/GifFileChecks.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tintora::test {
namespace {

namespace fs = std::filesystem;

std::uint64_t fnv1a64(const Bytes& data)
{
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (std::uint8_t b : data)
        h = (h ^ b) * 0x100000001B3ull;
    return h;
}

struct PillowLine {
    std::string path;
    int screenWidth, screenHeight, left, top, right, bottom;
    std::uint64_t hash;
};

std::vector<PillowLine> pillowLines()
{
    std::ifstream in(dataFile("gif/pillow_first_frame.txt"));
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
    image.load(readBytes(corpusRoot() / ref.path));
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

INSTANTIATE_TEST_SUITE_P(Corpus, GifAgainstPillow, testing::ValuesIn(pillowLines()), [](const auto& line) {
    std::string name = fs::path(line.param.path).stem().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name + "_" + std::to_string(line.index);
});

TEST(GifCorpus, ReferenceListCoversTheCorpus) { EXPECT_GE(pillowLines().size(), 50u); }

TEST(GifCorpus, EveryFileLoadsOrFailsWithItsText)
{
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpusRoot())) {
        if (entry.path().extension() != ".gif")
            continue;
        ++files;
        const std::string error = loadAndConvert(readBytes(entry.path()));
        EXPECT_TRUE(error.empty() || isGifErrorText(error)) << entry.path() << ": " << error;
    }
    EXPECT_GE(files, 50);
}

} // namespace
} // namespace tintora::test
