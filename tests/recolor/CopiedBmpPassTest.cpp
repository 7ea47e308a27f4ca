// Plain 24-bit BMP files recoloured in a kernel copy give the bytes of the
// general road; every other file is left to it.
#include "recolor/CopiedBmpPass.h"
#include "imaging/BmpWriter.h"
#include "imaging/Readers.h"
#include "support/Files.h"

#include <gtest/gtest.h>

namespace tintora::test {
namespace {

namespace fs = std::filesystem;

// A 24-bit picture of noise with magenta blocks, written as our writer writes
// it; over 1 MiB, so that the copy is worth making.
std::vector<std::uint8_t> plainFile(int width, int height)
{
    Bitmap b(width, height, PixelFormat::Bits24);
    std::uint32_t state = std::uint32_t(width * 7919 + height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            b.setPixel(x, y, (x / 16 + y / 16) % 5 == 0 ? clMagenta : ColorValue(state >> 8));
        }
    return encodeBmp(b);
}

void setU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + std::size_t(i)] = std::uint8_t(value >> (8 * i));
}

struct Variant {
    const char* name;
    bool copied; // whether the copy road takes it
    std::vector<std::uint8_t> (*make)();
};

const Variant variants[] = {
    {"plain", true, [] { return plainFile(701, 500); }},
    {"header fields the writer sets anew", true,
     [] {
         auto f = plainFile(640, 600);
         setU32(f, 2, 12345);  // file size
         setU32(f, 6, 0xABCD); // reserved words
         setU32(f, 34, 0);     // image size left 0
         setU32(f, 38, 2835);  // resolution, kept
         setU32(f, 50, 7);     // important colours, kept
         return f;
     }},
    {"top-down rows", false,
     [] {
         auto f = plainFile(640, 600);
         setU32(f, 22, std::uint32_t(-600));
         return f;
     }},
    {"data after the rows", false,
     [] {
         auto f = plainFile(640, 600);
         f.resize(f.size() + 3, 0xEE);
         return f;
     }},
    {"rows cut short", false,
     [] {
         auto f = plainFile(640, 600);
         f.resize(f.size() - 700);
         return f;
     }},
    {"small file", false, [] { return plainFile(64, 64); }},
};

TEST(CopiedBmpPass, GivesTheGeneralRoadsBytesOrLeavesTheFileToIt)
{
    registerStandardReaders();
    const TempFolder folder;
    RecolorSettings settings;
    settings.hue = 200;
    settings.saturation = 60;
    settings.brightness = -30;
    for (const Variant& v : variants) {
        const fs::path source = folder / "source.bmp", copied = folder / "copied.bmp",
                       general = folder / "general.bmp";
        fs::remove(copied);
        fs::remove(general);
        writeBytes(source, v.make());
        const bool took = recolorPlainBmpCopy(source.string(), copied.string(), settings, ExistingFile::Keep);
        EXPECT_EQ(took, v.copied) << v.name;
        if (!took) {
            EXPECT_EQ(folder.names(), std::vector<std::string>{"source.bmp"}) << v.name;
            continue;
        }
        SourceImage loaded = loadSource(source.string(), 32, Unshowable::Fail);
        saveRecolored(std::move(loaded.bitmap), loaded.facts, settings, general.string(), SavePass::Always);
        EXPECT_EQ(readBytes(copied), readBytes(general)) << v.name;
    }
}

TEST(CopiedBmpPass, KeepsAnExistingTarget)
{
    const TempFolder folder;
    writeBytes(folder / "source.bmp", plainFile(701, 500));
    writeBytes(folder / "target.bmp", {'o', 'l', 'd'});
    EXPECT_THROW(recolorPlainBmpCopy((folder / "source.bmp").string(), (folder / "target.bmp").string(),
                                     RecolorSettings{}, ExistingFile::Keep),
                 TargetExists);
    EXPECT_EQ(readBytes(folder / "target.bmp"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"source.bmp", "target.bmp"}));
}

} // namespace
} // namespace tintora::test
