// Real PNG files nobody on the team wrote (the BMP suite's reference
// renderings, the GIF suite's expected frames), checked against Pillow.
#include "imaging/PngImage.h"
#include "support/Files.h"
#include "support/PillowReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace tintora::test {
namespace {

namespace fs = std::filesystem;

struct Folder {
    const char* path; // under the corpus
    std::size_t files;
};

class PngCorpus : public ::testing::TestWithParam<Folder> {};

TEST_P(PngCorpus, EveryFileDecodesAsPillowDecodesIt)
{
    const auto files = filesWithExtension(corpusRoot() / GetParam().path, ".png");
    ASSERT_EQ(files.size(), GetParam().files);
    if (!pillowAvailable())
        GTEST_SKIP() << "/usr/bin/python3 cannot import PIL";
    const auto reference = decodeWithPillow(files);
    ASSERT_EQ(reference.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(differenceFrom(readPngFile(files[i].string()), reference[i]), "") << files[i].filename();
}

INSTANTIATE_TEST_SUITE_P(Folders, PngCorpus,
                         ::testing::Values(Folder{"bmpsuite/html", 43},
                                           Folder{"peterdn-gif-test-suite/gifs/frames", 46},
                                           Folder{"libjpeg-turbo", 3}),
                         [](const auto& row) {
                             std::string name = row.param.path;
                             std::replace_if(
                                 name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

} // namespace
} // namespace tintora::test
