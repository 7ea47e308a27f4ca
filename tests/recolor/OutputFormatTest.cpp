#include "recolor/OutputFormat.h"

#include <gtest/gtest.h>

namespace tintora {
namespace {

struct NameCase {
    const char* source;
    OutputFormat format;
    const char* folder; // empty: beside the source
    const char* target;
};

class TargetNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(TargetNameTest, NamesTheTargetOfEachFormat)
{
    const NameCase& c = GetParam();
    const std::string target =
        *c.folder ? targetIn(c.source, c.folder, c.format) : targetFor(c.source, c.format);
    EXPECT_EQ(target, c.target);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TargetNameTest,
    ::testing::Values(NameCase{"/s/Skin.PNG", OutputFormat::Png, "", "/s/Skin.PNG"}, // its own target
                      NameCase{"/s/skin.png", OutputFormat::Bmp, "", "/s/skin.bmp"},
                      NameCase{"/s/Back.BMP", OutputFormat::Png, "", "/s/Back.png"},
                      NameCase{"/s/Back.BMP", OutputFormat::Bmp, "", "/s/Back.BMP"},
                      NameCase{"/s/a.b.gif", OutputFormat::Png, "", "/s/a.b.png"}, // the last extension only
                      NameCase{"/s.png/noext", OutputFormat::Png, "", "/s.png/noext.png"}, // a folder's dot
                      NameCase{"/s/icon.ico", OutputFormat::Png, "/out/", "/out/icon.png"},
                      NameCase{"/s/skin.png", OutputFormat::Png, "out", "out/skin.png"}));

TEST(OutputFormat, PngSourcesDefaultToPngAndAllOthersToBmp)
{
    EXPECT_EQ(defaultFormatFor("/s/a.png"), OutputFormat::Png);
    EXPECT_EQ(defaultFormatFor("/s/A.PnG"), OutputFormat::Png);
    for (const char* other : {"/s/a.bmp", "/s/a.ico", "/s/png", "/s.png/a", "/s/a.png.gif", "/s/a.pngx"})
        EXPECT_EQ(defaultFormatFor(other), OutputFormat::Bmp) << other;
}

} // namespace
} // namespace tintora
