// Hand-built BMP files: header kinds, masks, run-length edge cases, hostile sizes.
#include "imaging/BmpReader.h"
#include "BmpTestBytes.h"
#include "imaging/BmpWriter.h"
#include "imaging/Dib.h"
#include "imaging/ImageError.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

namespace tintora {
namespace {

using test::Bytes;
using test::rgbText;

std::string errorOf(const std::vector<std::uint8_t>& bytes)
{
    try {
        readBmp(bytes);
    } catch (const ImageError& e) {
        return e.what();
    }
    return "(decoded)";
}

TEST(BmpReader, CoreHeaderWithThreeByteEntries)
{
    Bytes b;
    b.fileHeader(14 + 12 + 6);
    b.u32(12).u16(2).u16(2).u16(1).u16(1); // BITMAPCOREHEADER: 2x2, 1 plane, 1 bit
    b.raw({0x00, 0x00, 0xFF});             // entry 0: red (blue, green, red)
    b.raw({0xFF, 0x00, 0x00});             // entry 1: blue
    b.raw({0x40, 0, 0, 0});                // bottom row: 0, 1
    b.raw({0x80, 0, 0, 0});                // top row: 1, 0
    const BmpImage image = readBmpImage(b);
    const Bitmap& bmp = image.bitmap;
    EXPECT_EQ(bmp.pixelFormat(), PixelFormat::Bits1);
    EXPECT_TRUE(image.facts.coreFormat);
    EXPECT_EQ(rgbText(bmp.pixel(0, 0)), "0,0,255");
    EXPECT_EQ(rgbText(bmp.pixel(1, 0)), "255,0,0");
    EXPECT_EQ(rgbText(bmp.pixel(0, 1)), "255,0,0");
    EXPECT_EQ(rgbText(bmp.pixel(1, 1)), "0,0,255");
    // Written unchanged it stays a core file, byte for byte apart from the size field.
    auto written = encodeBmp(bmp, image.facts, PixelsSinceRead::Unchanged);
    auto original = b.data();
    original[2] = std::uint8_t(original.size());
    EXPECT_EQ(written, original);
}

struct MaskCase {
    const char* name;
    int bpp;
    std::uint32_t compression;
    std::uint32_t masks[3]; // used when compression is 3
    std::uint32_t pixel;
    PixelFormat format;
    const char* rgb;
};

class BmpMasks : public ::testing::TestWithParam<MaskCase> {};

// A 1x1 file with a 40-byte header, the masks after it when compression is 3.
TEST_P(BmpMasks, DecodesThroughMasks)
{
    const MaskCase& c = GetParam();
    const std::uint32_t masksBytes = c.compression == 3 ? 12 : 0;
    Bytes b;
    b.fileHeader(54 + masksBytes).infoHeader(1, 1, c.bpp, c.compression);
    if (c.compression == 3)
        b.u32(c.masks[0]).u32(c.masks[1]).u32(c.masks[2]);
    b.u32(c.pixel); // one pixel, padded to 4 bytes
    const Bitmap bmp = readBmp(b);
    EXPECT_EQ(bmp.pixelFormat(), c.format);
    EXPECT_EQ(rgbText(bmp.pixel(0, 0)), c.rgb);
}

const MaskCase maskCases[] = {
    {"plain16", 16, 0, {}, 0x7C00, PixelFormat::Bits15, "255,0,0"},
    {"plain16blue", 16, 0, {}, 0x0010, PixelFormat::Bits15, "0,0,132"},
    {"masks565", 16, 3, {0xF800, 0x07E0, 0x001F}, 0x07E0, PixelFormat::Bits16, "0,255,0"},
    {"masks555", 16, 3, {0x7C00, 0x03E0, 0x001F}, 0x7FFF, PixelFormat::Custom, "255,255,255"},
    {"masks444", 16, 3, {0x0F00, 0x00F0, 0x000F}, 0x0F80, PixelFormat::Custom, "255,136,0"},
    {"masksNoBlue", 16, 3, {0xFF00, 0x00FF, 0}, 0x12FF, PixelFormat::Custom, "18,255,0"},
    {"plain32", 32, 0, {}, 0xAA102030, PixelFormat::Bits32, "16,32,48"},
    {"masks32swapped",
     32,
     3,
     {0x000000FF, 0x0000FF00, 0x00FF0000},
     0x00102030,
     PixelFormat::Custom,
     "48,32,16"},
    {"masks32ten", 32, 3, {0x3FF00000, 0x000FFC00, 0x000003FF}, 0x3FF00000, PixelFormat::Custom, "255,0,0"},
};
INSTANTIATE_TEST_SUITE_P(Formats, BmpMasks, ::testing::ValuesIn(maskCases), test::CaseName());

class BmpLongHeader : public ::testing::TestWithParam<std::uint32_t> {};

// Longer headers hold the masks at bytes 40..51 of the header itself.
TEST_P(BmpLongHeader, TakesMasksFromTheHeader)
{
    const std::uint32_t size = GetParam();
    Bytes b;
    b.fileHeader(14 + size);
    b.u32(size).i32(1).i32(1).u16(1).u16(32).u32(3);   // size, 1x1, planes, 32 bits, bit fields
    b.u32(4).i32(0).i32(0).u32(0).u32(0);              // image size, resolution, colours
    b.u32(0x000000FF).u32(0x0000FF00).u32(0x00FF0000); // red, green, blue masks
    b.zeros(size - 52);                                // alpha mask, colour space, ...
    b.u32(0x00102030);
    const Bitmap bmp = readBmp(b);
    EXPECT_EQ(bmp.pixelFormat(), PixelFormat::Custom);
    EXPECT_EQ(rgbText(bmp.pixel(0, 0)), "48,32,16");
    EXPECT_EQ(bmp.masks().red, 0x000000FFu);
    // Written back as a 40-byte header followed by the same masks.
    const Bitmap again = readBmp(encodeBmp(bmp));
    EXPECT_EQ(rgbText(again.pixel(0, 0)), "48,32,16");
}
INSTANTIATE_TEST_SUITE_P(Sizes, BmpLongHeader, ::testing::Values(52u, 56u, 108u, 124u));

TEST(BmpReader, TopDownRowsAndGapBeforePixels)
{
    Bytes b;
    b.fileHeader(54 + 10).infoHeader(1, -2, 24); // top-down, rows start 10 bytes late
    b.raw({9, 9, 9, 9, 9, 9, 9, 9, 9, 9});       // the gap
    b.raw({0x00, 0x00, 0xFF, 0});                // top row: red
    b.raw({0xFF, 0x00, 0x00, 0});                // bottom row: blue
    BmpImage image = readBmpImage(b);
    Bitmap& bmp = image.bitmap;
    EXPECT_EQ(bmp.height(), 2);
    EXPECT_EQ(rgbText(bmp.pixel(0, 0)), "255,0,0");
    EXPECT_EQ(rgbText(bmp.pixel(0, 1)), "0,0,255");
    EXPECT_EQ(image.facts.xPelsPerMeter, 2835);
    EXPECT_TRUE(image.facts.topDown);

    // Unchanged, it keeps its negative height and row order.
    const auto unchanged = encodeBmp(bmp, image.facts, PixelsSinceRead::Unchanged);
    ASSERT_EQ(unchanged.size(), 62u);
    EXPECT_EQ(std::int32_t(unchanged[22] | unchanged[23] << 8 | unchanged[24] << 16 | unchanged[25] << 24),
              -2);
    EXPECT_EQ(unchanged[54 + 2], 0xFF); // first row written is the top one
    // Changed, it is written bottom-up.
    bmp.setPixel(0, 1, makeColor(0, 255, 0));
    const auto changed = encodeBmp(bmp, image.facts, PixelsSinceRead::Changed);
    EXPECT_EQ(changed[22], 2);
    EXPECT_EQ(changed[54 + 1], 0xFF);
}

TEST(BmpReader, ShortTableCutAtThePixelOffset)
{
    // An 8-bit core file whose two-entry table ends where its rows start.
    Bytes b;
    b.fileHeader(14 + 12 + 6).u32(12).u16(1).u16(1).u16(1).u16(8);
    b.raw({0, 0, 0, 0xFF, 0xFF, 0xFF}); // black, white
    b.raw({1, 0, 0, 0});
    const Bitmap bmp = readBmp(b);
    EXPECT_EQ(bmp.colorTable().size(), 2u);
    EXPECT_EQ(rgbText(bmp.pixel(0, 0)), "255,255,255");
}

TEST(BmpReader, PaletteKeptForTrueColour)
{
    Bytes b;
    b.fileHeader(54 + 8).infoHeader(1, 1, 24, 0, 2);
    b.raw({1, 2, 3, 0, 4, 5, 6, 0}); // two entries nobody indexes
    b.raw({7, 8, 9, 0});
    const Bitmap bmp = readBmp(b);
    ASSERT_EQ(bmp.palette().size(), 2u);
    EXPECT_EQ(bmp.palette()[1], (RGBQuad{4, 5, 6, 0}));
    const auto written = encodeBmp(bmp);
    EXPECT_EQ(written[10], 54 + 8); // offset counts the table
    EXPECT_EQ(written[46], 2);      // colours used
    EXPECT_EQ(written[54 + 4], 4);  // second entry's blue
}

// However little of its rows a file holds (here one of 200, which a rule of
// plausibility once refused), what is there is shown and the rest is black.
TEST(BmpReader, MissingRowsStayBlack)
{
    Bytes b;
    b.fileHeader(54).infoHeader(200, 200, 24);
    for (int x = 0; x < 200; ++x)
        b.raw({0xFF, 0xFF, 0xFF}); // only the bottom row is in the file
    const Bitmap bmp = readBmp(b);
    EXPECT_EQ(rgbText(bmp.pixel(199, 199)), "255,255,255");
    EXPECT_EQ(rgbText(bmp.pixel(0, 198)), "0,0,0");
    EXPECT_EQ(rgbText(bmp.pixel(0, 0)), "0,0,0");
}

// --- Run-length files ---------------------------------------------------

std::vector<std::uint8_t> rleFile(int w, int h, int bpp, std::initializer_list<std::uint8_t> codes)
{
    const std::uint32_t entries = 16;
    Bytes b;
    b.fileHeader(54 + entries * 4).infoHeader(w, h, bpp, bpp == 8 ? 1 : 2, entries);
    for (std::uint32_t i = 0; i < entries; ++i)
        b.raw({std::uint8_t(10 * i), std::uint8_t(10 * i), std::uint8_t(10 * i), 0}); // grey level 10*i
    b.raw(codes);
    return b;
}

// Row text from the top: one digit per pixel, grey level / 10, '.' for black.
std::string rowsOf(const Bitmap& bmp)
{
    std::string out;
    for (int y = 0; y < bmp.height(); ++y) {
        if (y)
            out += '|';
        for (int x = 0; x < bmp.width(); ++x) {
            const int level = redOf(bmp.pixel(x, y)) / 10;
            out += level ? char('0' + level) : '.';
        }
    }
    return out;
}

struct RleCase {
    const char* name;
    int bpp, w, h;
    std::vector<std::uint8_t> codes;
    const char* rows;
};

class BmpRle : public ::testing::TestWithParam<RleCase> {};

TEST_P(BmpRle, Decodes)
{
    const RleCase& c = GetParam();
    std::vector<std::uint8_t> file = rleFile(c.w, c.h, c.bpp, {});
    file.insert(file.end(), c.codes.begin(), c.codes.end());
    const Bitmap bmp = readBmp(file);
    EXPECT_EQ(bmp.pixelFormat(), PixelFormat::Device);
    EXPECT_STREQ(depthText(bmp.pixelFormat()), "");
    EXPECT_EQ(rowsOf(bmp), c.rows);
}

const RleCase rleCases[] = {
    // Codes are bottom row first.
    {"runs8", 8, 4, 2, {2, 1, 2, 2, 0, 0, 4, 3, 0, 1}, "3333|1122"},
    {"absoluteOddPadded8", 8, 4, 1, {0, 3, 1, 2, 3, 0, 1, 4, 0, 1}, "1234"},
    {"earlyEndOfLine8", 8, 3, 2, {1, 5, 0, 0, 3, 6, 0, 1}, "666|5.."},
    {"earlyEndOfBitmap8", 8, 2, 2, {2, 7, 0, 1, 2, 8}, "..|77"},
    {"delta8", 8, 3, 2, {1, 1, 0, 2, 1, 1, 1, 2, 0, 1}, "..2|1.."},
    {"runPastRowEndClipped8", 8, 2, 2, {5, 3, 0, 0, 1, 4, 0, 1}, "4.|33"},
    {"deltaPastBottom8", 8, 2, 2, {0, 2, 0, 9, 2, 5}, "..|.."},
    {"cutStream8", 8, 2, 2, {2, 1, 0}, "..|11"},
    {"cutAbsolute8", 8, 4, 1, {0, 4, 1, 2}, "12.."},
    {"nibbles4", 4, 5, 1, {5, 0x12, 0, 1}, "12121"},
    {"absoluteOdd4", 4, 4, 1, {0, 3, 0x34, 0x50, 0, 1}, "345."},
    {"indexBeyondTable8", 8, 2, 1, {2, 200, 0, 1}, ".."},
};
INSTANTIATE_TEST_SUITE_P(Codes, BmpRle, ::testing::ValuesIn(rleCases), test::CaseName());

TEST(BmpReader, RunLengthDataWrittenBackAsRead)
{
    std::vector<std::uint8_t> file = rleFile(4, 1, 8, {4, 2, 0, 1});
    file.insert(file.end(), {0xAB, 0xCD}); // trailing bytes after the end of bitmap are kept
    const BmpImage image = readBmpImage(file);
    const Bitmap& bmp = image.bitmap;
    auto expected = file;
    expected[2] = std::uint8_t(file.size()); // the file size field is recomputed
    EXPECT_EQ(encodeBmp(bmp, image.facts, PixelsSinceRead::Unchanged), expected);

    Bitmap copy = bmp;
    copy.convertTo24();
    const Bitmap reread = readBmp(encodeBmp(copy));
    EXPECT_EQ(reread.pixelFormat(), PixelFormat::Bits24);
    EXPECT_EQ(rowsOf(reread), "2222");
    EXPECT_EQ(reread.palette().size(), 16u); // the colour table went with it
}

TEST(BmpReader, RunLengthWriteBackKeepsAGap)
{
    Bytes b;
    b.fileHeader(54 + 8 + 6).infoHeader(2, 1, 8, 1, 2);
    b.raw({0, 0, 0, 0, 50, 50, 50, 0});          // two entries
    b.raw({0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}); // gap
    b.raw({2, 1, 0, 1});
    const BmpImage image = readBmpImage(b);
    EXPECT_EQ(rowsOf(image.bitmap), "55");
    const auto written = encodeBmp(image.bitmap, image.facts, PixelsSinceRead::Unchanged);
    EXPECT_EQ(written.size(), b.size()); // the kept data, gap included
    EXPECT_EQ(rowsOf(readBmp(written)), "55");
}

// --- Pictures the budget cannot hold ---------------------------------------

class BmpBeyondBudget : public ::testing::TestWithParam<std::int32_t> {};

// A 1-bit file one row high whose 24-bit copy would need gigabytes: its row
// length wrapped in an int once, and the copy was written far past a short
// buffer (1.5 billion pixels) or failed with a library's English text (1
// billion). The file holds a quarter of its stored rows, so no plausibility
// rule refuses it; only the budget does, before anything is allocated.
TEST_P(BmpBeyondBudget, IsRefusedWithTheReadersText)
{
    const std::int32_t width = GetParam();
    const std::size_t storedRow = (std::size_t(width) + 31) / 32 * 4;
    Bytes b;
    b.fileHeader(54 + 8).infoHeader(width, 1, 1);
    b.raw({0, 0, 0, 0, 255, 255, 255, 0}); // black, white
    b.zeros(storedRow / 4 + 1);
    EXPECT_EQ(errorOf(b), texts::badBitmap);
}
INSTANTIATE_TEST_SUITE_P(Widths, BmpBeyondBudget, ::testing::Values(1'000'000'000, 1'500'000'000));

// --- Failures --------------------------------------------------------------

struct BadCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    const char* text;
};

class BmpBad : public ::testing::TestWithParam<BadCase> {};

TEST_P(BmpBad, FailsWithItsText) { EXPECT_EQ(errorOf(GetParam().bytes), GetParam().text); }

std::vector<std::uint8_t> withHeader(std::int32_t w, std::int32_t h, int bpp, std::uint32_t compression = 0,
                                     std::uint32_t colorsUsed = 0, std::uint32_t offset = 54)
{
    return Bytes().fileHeader(offset).infoHeader(w, h, bpp, compression, colorsUsed).zeros(16);
}

std::vector<std::uint8_t> planes(int n)
{
    return Bytes().fileHeader(54).u32(40).i32(1).i32(1).u16(std::uint32_t(n)).u16(24).zeros(24 + 4);
}

const BadCase badCases[] = {
    {"signature", Bytes().raw({'B', 'A'}).zeros(60), texts::badBitmap},
    {"empty", {}, texts::streamRead},
    {"cutFileHeader", Bytes().raw({'B', 'M', 0, 0}), texts::streamRead},
    {"cutInfoHeader", Bytes().fileHeader(54).u32(40).i32(1), texts::streamRead},
    {"headerLongerThanFile", Bytes().fileHeader(54).u32(0xFFFFFFF0).zeros(40), texts::streamRead},
    {"headerTooShort", Bytes().fileHeader(54).u32(8).zeros(40), texts::badBitmap},
    {"planes0", planes(0), texts::badBitmap},
    {"planes2", planes(2), texts::badBitmap},
    {"bitCount2", withHeader(1, 1, 2), texts::badBitmap},
    {"bitCount64", withHeader(1, 1, 64), texts::badBitmap},
    {"bitCountHuge", withHeader(1, 1, 30000), texts::badBitmap},
    {"compressionJpeg", withHeader(1, 1, 24, 4), texts::badBitmap},
    {"bitFields8", withHeader(1, 1, 8, 3), texts::badBitmap},
    {"rle8With4Bits", withHeader(1, 1, 4, 1), texts::badBitmap},
    {"rleTopDown", withHeader(1, -1, 8, 1, 1), texts::badBitmap},
    {"widthZero", withHeader(0, 1, 24), texts::badBitmap},
    {"widthNegative", withHeader(-5, 1, 24), texts::badBitmap},
    {"heightZero", withHeader(1, 0, 24), texts::badBitmap},
    {"heightMin", withHeader(1, INT32_MIN, 24), texts::badBitmap},
    {"hugeBoth", withHeader(0x7FFFFFFF, 0x7FFFFFFF, 32), texts::badBitmap},
    {"hugeRle", withHeader(60000, 60000, 8, 1, 1), texts::badBitmap},
    {"rowsBeyondBudget", withHeader(13000, 13000, 24), texts::badBitmap},
    {"rleBeyondBudget", withHeader(11000, 11000, 8, 1, 1), texts::badBitmap},
    {"tableBeyondFile", withHeader(1, 1, 8, 0, 0x40000000), texts::streamRead},
    {"offsetBeyondFile", withHeader(1, 1, 24, 0, 0, 0x7FFFFFF0), texts::streamRead},
    {"masksCut", Bytes().fileHeader(66).infoHeader(1, 1, 16, 3).u32(0xF800), texts::streamRead},
};
INSTANTIATE_TEST_SUITE_P(Headers, BmpBad, ::testing::ValuesIn(badCases), test::CaseName());

} // namespace
} // namespace tintora
