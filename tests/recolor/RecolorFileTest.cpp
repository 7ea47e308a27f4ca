// The batch tool's job for one file toward PNG and BMP: alpha kept exactly,
// colours as the BMP path colours them, the excluded colour spared.
#include "recolor/RecolorFile.h"
#include "imaging/BmpReader.h"
#include "imaging/BmpTestBytes.h"
#include "imaging/BmpWriter.h"
#include "imaging/ImageError.h"
#include "imaging/PngImage.h"
#include "imaging/PngWriter.h"
#include "support/CaseName.h"
#include "support/Files.h"
#include "support/SameColors.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tintora::test {
namespace {

namespace fs = std::filesystem;
using Plane = std::vector<std::uint8_t>;

// What the BMP path makes of the same colours.
Bitmap passed(Bitmap colors, const RecolorSettings& settings)
{
    applySavePass(colors, settings);
    return colors;
}

// A 24-bit picture and its alpha split out of a 32-bit one (blue, green, red, alpha).
struct Split {
    Bitmap colors;
    Plane alpha;
};

Split split(const Bitmap& bgra)
{
    Split out{Bitmap(bgra.width(), bgra.height(), PixelFormat::Bits24), {}};
    for (int y = 0; y < bgra.height(); ++y)
        for (int x = 0; x < bgra.width(); ++x) {
            const std::uint8_t* p = bgra.scanLine(y) + 4 * x;
            out.colors.setPixel(x, y, makeColor(p[2], p[1], p[0]));
            out.alpha.push_back(p[3]);
        }
    return out;
}

// ---- PNG sources -----------------------------------------------------------

struct SettingsCase {
    const char* name;
    RecolorSettings settings;
};

class PngSourceTest : public ::testing::TestWithParam<SettingsCase> {};

// A gradient with blocks of the excluded colour, every pixel at one of five
// alpha levels, so that the excluded colour shows at each of them.
Split keyedSkin(ColorValue excluded)
{
    const int width = 23, height = 9;
    Split skin{Bitmap(width, height, PixelFormat::Bits24), {}};
    const std::uint8_t levels[] = {0, 1, 128, 254, 255};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool key = (x / 3 + y / 3) % 3 == 0;
            skin.colors.setPixel(x, y, key ? excluded : makeColor(x * 11, 40 + y * 20, 255 - x * 9));
            skin.alpha.push_back(levels[(x + 2 * y) % 5]);
        }
    return skin;
}

TEST_P(PngSourceTest, AlphaStaysExactAndColoursFollowTheBmpPath)
{
    const RecolorSettings& settings = GetParam().settings;
    const Split skin = keyedSkin(settings.excluded);
    const TempFolder folder;
    const std::string source = (folder / "skin.png").string();
    writePngFile(skin.colors, skin.alpha, source);

    recolorFileTo(source, (folder / "out.png").string(), OutputFormat::Png, 32, settings);
    const PngImage out = readPngFile((folder / "out.png").string());
    EXPECT_EQ(out.alpha, skin.alpha);
    const Bitmap expected = passed(skin.colors, settings);
    EXPECT_TRUE(sameColors(out.colors, expected));
    int spared = 0;
    for (int y = 0; y < skin.colors.height(); ++y)
        for (int x = 0; x < skin.colors.width(); ++x)
            if (skin.colors.pixel(x, y) == settings.excluded) {
                EXPECT_EQ(out.colors.pixel(x, y), settings.excluded) << x << "," << y;
                ++spared;
            }
    EXPECT_GT(spared, 10);

    // Toward BMP: the bytes the BMP path writes for the same pixels, alpha dropped.
    recolorFileTo(source, (folder / "out.bmp").string(), OutputFormat::Bmp, 32, settings);
    EXPECT_EQ(readBytes(folder / "out.bmp"), encodeBmp(expected));
}

INSTANTIATE_TEST_SUITE_P(Settings, PngSourceTest,
                         ::testing::Values(SettingsCase{"colourise_and_darken", {200, 60, -20, clMagenta}},
                                           SettingsCase{"brighten_only", {0, 0, 40, clMagenta}},
                                           SettingsCase{"black_excluded", {120, 30, 10, clBlackValue}}),
                         CaseName());

TEST(RecolorFile, ADamagedPngFailsWithTheReadersLineAndWritesNothing)
{
    const TempFolder folder;
    std::vector<std::uint8_t> bytes = readBytes(dataFile("png/rgba8.png"));
    bytes.resize(bytes.size() / 2);
    writeBytes(folder / "cut.png", bytes);
    try {
        recolorFileTo((folder / "cut.png").string(), (folder / "out.png").string(), OutputFormat::Png, 32,
                      {});
        ADD_FAILURE() << "a cut file was recoloured";
    } catch (const ImageError& e) {
        EXPECT_EQ(std::string(e.what()), texts::streamRead);
    }
    EXPECT_EQ(folder.names(), std::vector<std::string>{"cut.png"});
}

// ---- 32-bit and bit-field BMP sources ----------------------------------------

constexpr int bmpWidth = 5, bmpHeight = 3;

// The stored value of pixel (x, y), counted from the top row.
std::uint32_t storedPixel(int x, int y)
{
    return 0x01000000u * std::uint32_t(x * 50 + y * 7) + 0x00123456u * std::uint32_t(x + 3 * y);
}

struct BmpAlphaCase {
    const char* name;
    int bits;
    std::uint32_t compression;
    int headerSize;                  // 40: masks after the header when there are any
    std::uint32_t masks[4];          // red, green, blue, alpha
    std::uint32_t stored;            // the bits of storedPixel the file keeps
    int (*alphaOf)(std::uint32_t p); // the alpha expected from a stored pixel; -1: opaque file

    friend void PrintTo(const BmpAlphaCase& c, std::ostream* os) { *os << c.name; }
};

std::uint32_t pixelOf(const BmpAlphaCase& c, int x, int y) { return storedPixel(x, y) & c.stored; }

std::vector<std::uint8_t> bmpFile(const BmpAlphaCase& c)
{
    const bool fields = c.compression == 3;
    const std::uint32_t offset = 14 + std::uint32_t(c.headerSize) + (fields && c.headerSize == 40 ? 12 : 0);
    Bytes b;
    b.fileHeader(offset).u32(std::uint32_t(c.headerSize)).i32(bmpWidth).i32(bmpHeight).u16(1);
    b.u16(std::uint32_t(c.bits)).u32(c.compression).u32(0).i32(2835).i32(2835).u32(0).u32(0);
    if (fields)
        for (int i = 0; i < (c.headerSize == 40 ? 3 : 4); ++i)
            b.u32(c.masks[i]);
    b.zeros(offset - b.size());
    const int rowBytes = (bmpWidth * c.bits / 8 + 3) / 4 * 4;
    for (int y = bmpHeight - 1; y >= 0; --y) { // bottom row first
        for (int x = 0; x < bmpWidth; ++x)
            c.bits == 32 ? b.u32(pixelOf(c, x, y)) : b.u16(pixelOf(c, x, y));
        b.zeros(std::size_t(rowBytes - bmpWidth * c.bits / 8));
    }
    return b;
}

class BmpAlphaTest : public ::testing::TestWithParam<BmpAlphaCase> {};

TEST_P(BmpAlphaTest, TowardPngKeepsWhatAlphaTheFileHolds)
{
    const BmpAlphaCase& c = GetParam();
    const std::vector<std::uint8_t> bytes = bmpFile(c);
    const TempFolder folder;
    writeBytes(folder / "skin.bmp", bytes);
    const RecolorSettings settings{200, 60, -20, clMagenta};
    recolorFileTo((folder / "skin.bmp").string(), (folder / "skin.png").string(), OutputFormat::Png, 32,
                  settings);
    const PngImage out = readPngFile((folder / "skin.png").string());
    EXPECT_TRUE(sameColors(out.colors, passed(readBmp(bytes), settings)));
    Plane expected;
    for (int y = 0; y < bmpHeight; ++y)
        for (int x = 0; x < bmpWidth; ++x)
            expected.push_back(std::uint8_t(c.alphaOf(pixelOf(c, x, y))));
    if (c.alphaOf(0) < 0)
        expected.clear();
    EXPECT_EQ(out.alpha, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BmpAlphaTest,
    ::testing::Values(
        BmpAlphaCase{"plain_32_bits", 32, 0, 40, {}, ~0u, [](std::uint32_t p) { return int(p >> 24); }},
        BmpAlphaCase{
            "plain_32_bits_alpha_all_zero", 32, 0, 40, {}, 0x00FFFFFF, [](std::uint32_t) { return -1; }},
        BmpAlphaCase{"fields_with_alpha_in_high_byte",
                     32,
                     3,
                     124,
                     {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
                     ~0u,
                     [](std::uint32_t p) { return int(p >> 24); }},
        BmpAlphaCase{"fields_with_alpha_in_low_byte",
                     32,
                     3,
                     56,
                     {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF},
                     ~0u,
                     [](std::uint32_t p) { return int(p & 0xFF); }},
        // The fourth byte is padding here, however full.
        BmpAlphaCase{"fields_without_alpha_field",
                     32,
                     3,
                     40,
                     {0x00FF0000, 0x0000FF00, 0x000000FF},
                     ~0u,
                     [](std::uint32_t) { return -1; }},
        BmpAlphaCase{"sixteen_bits_4444",
                     16,
                     3,
                     56,
                     {0x0F00, 0x00F0, 0x000F, 0xF000},
                     0xFFFF,
                     [](std::uint32_t p) { return int((p >> 12) & 0xF) * 17; }}),
    CaseName());

// ---- Icons -------------------------------------------------------------------

TEST(RecolorFile, AnIconTowardPngKeepsItsOwnAlphaAndTowardBmpIsDrawnOnMagenta)
{
    const TempFolder folder;
    const std::string source = dataFile("ico/modern-install-full.ico");
    const RecolorSettings settings{200, 60, -20, clMagenta};
    const auto icon = ExtractIconFromFile(source, 32, -1);
    ASSERT_TRUE(icon);
    const Split own = split(icon->color);
    recolorFileTo(source, (folder / "icon.png").string(), OutputFormat::Png, 32, settings);
    const PngImage out = readPngFile((folder / "icon.png").string());
    EXPECT_EQ(out.alpha, own.alpha);
    EXPECT_TRUE(sameColors(out.colors, passed(own.colors, settings)));

    recolorFileTo(source, (folder / "icon.bmp").string(), OutputFormat::Bmp, 32, settings);
    saveRecolored(loadSource(source, 32, Unshowable::Fail).bitmap, {}, settings,
                  (folder / "before.bmp").string(), SavePass::Always);
    EXPECT_EQ(readBytes(folder / "icon.bmp"), readBytes(folder / "before.bmp"));
}

} // namespace
} // namespace tintora::test
