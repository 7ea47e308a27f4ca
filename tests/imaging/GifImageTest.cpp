#include "imaging/GifImage.h"
#include "imaging/ImageError.h"
#include "support/Bytes.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tintora {
namespace {

using test::Bytes;

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes le16(unsigned v) { return {std::uint8_t(v), std::uint8_t(v >> 8)}; }

// "GIF89a", logical screen width and height, packed byte, background, aspect.
Bytes screen(unsigned width, unsigned height, std::uint8_t packed)
{
    return Bytes{'G', 'I', 'F', '8', '9', 'a'} + le16(width) + le16(height) + Bytes{packed, 0, 0};
}

// Four colours: black, red, green, blue. Goes with a packed size field of 1.
const Bytes fourColours = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};

// "!", label 0xF9, block size 4, packed (bit 0 transparent), delay, index, terminator.
Bytes graphicControl(bool transparent, std::uint8_t index)
{
    return Bytes{0x21, 0xF9, 4, std::uint8_t(transparent ? 1 : 0), 0, 0, index, 0};
}

// ",", left, top, width, height, packed (bit 7 local table, bit 6 interlaced).
Bytes descriptor(unsigned left, unsigned top, unsigned width, unsigned height, std::uint8_t packed = 0)
{
    return Bytes{0x2C} + le16(left) + le16(top) + le16(width) + le16(height) + Bytes{packed};
}

// Image data that sends a clear code before every pixel, so that the table
// never grows and every code is minCodeSize + 1 bits: easy to check by eye.
Bytes literalData(const std::vector<std::uint8_t>& pixels, int minCodeSize = 2, bool endCode = true,
                  bool terminator = true)
{
    const unsigned clear = 1u << minCodeSize, bits = unsigned(minCodeSize) + 1;
    Bytes packed;
    std::uint32_t buffer = 0;
    unsigned count = 0;
    auto put = [&](unsigned code) {
        buffer |= code << count;
        for (count += bits; count >= 8; count -= 8, buffer >>= 8)
            packed.push_back(std::uint8_t(buffer));
    };
    for (std::uint8_t p : pixels) {
        put(clear);
        put(p);
    }
    if (endCode)
        put(clear + 1);
    if (count)
        packed.push_back(std::uint8_t(buffer));
    Bytes out{std::uint8_t(minCodeSize)};
    for (std::size_t i = 0; i < packed.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, packed.size() - i);
        out.push_back(std::uint8_t(n));
        out.insert(out.end(), packed.begin() + std::ptrdiff_t(i), packed.begin() + std::ptrdiff_t(i + n));
    }
    if (terminator)
        out.push_back(0);
    return out;
}

const Bytes trailer = {0x3B};

struct Loaded {
    GifImage image;
    std::vector<std::string> warnings;
};

// Loads bytes and records every warning.
std::unique_ptr<Loaded> load(const Bytes& bytes)
{
    auto loaded = std::make_unique<Loaded>();
    loaded->image.OnWarning = [w = &loaded->warnings](GifImage*, const std::string& text) {
        w->push_back(text);
    };
    loaded->image.load(bytes);
    return loaded;
}

std::string loadError(const Bytes& bytes)
{
    try {
        GifImage image;
        image.load(bytes);
    } catch (const ImageError& e) {
        return e.what();
    }
    return "no error";
}

bool warned(const Loaded& l, const char* text)
{
    return std::find(l.warnings.begin(), l.warnings.end(), text) != l.warnings.end();
}

// A 3 x 2 picture covering its screen.
Bytes simpleFile()
{
    return screen(3, 2, 0x81) + fourColours + descriptor(0, 0, 3, 2) + literalData({0, 1, 2, 3, 2, 1}) +
           trailer;
}

TEST(GifImage, ScreenSizedFirstFrameBecomesAnEightBitBitmap)
{
    auto l = load(simpleFile());
    EXPECT_EQ(l->image.width(), 3);
    EXPECT_EQ(l->image.height(), 2);
    ASSERT_EQ(l->image.frameCount(), 1u);
    EXPECT_EQ(l->image.frame(0).pixels, (Bytes{0, 1, 2, 3, 2, 1}));
    const Bitmap b = l->image.toBitmap();
    EXPECT_EQ(b.pixelFormat(), PixelFormat::Bits8);
    ASSERT_EQ(b.colorTable().size(), 4u);
    EXPECT_EQ(b.colorTable()[1], (RGBQuad{0, 0, 255, 0})); // red, stored blue first
    EXPECT_EQ(b.palette(), b.colorTable());
    EXPECT_EQ(b.pixel(0, 0), makeColor(0, 0, 0));
    EXPECT_EQ(b.pixel(1, 0), makeColor(255, 0, 0));
    EXPECT_EQ(b.pixel(0, 1), makeColor(0, 0, 255));
    EXPECT_EQ(b.pixel(2, 1), makeColor(255, 0, 0));
    EXPECT_TRUE(l->warnings.empty());
}

TEST(GifImage, SignatureMayFollowAFourBytePrefixAndIgnoresCase)
{
    EXPECT_EQ(load(Bytes{1, 2, 3, 4} + simpleFile())->image.frameCount(), 1u);
    Bytes lower = simpleFile();
    lower[0] = 'g', lower[1] = 'i', lower[2] = 'f';
    EXPECT_EQ(load(lower)->image.frameCount(), 1u);
    EXPECT_EQ(loadError(Bytes{1, 2, 3, 4, 5} + simpleFile()), "Invalid GIF signature");
    EXPECT_EQ(loadError(Bytes{'B', 'M'} + Bytes(30, 0)), "Invalid GIF signature");
}

struct ErrorCase {
    const char* name;
    Bytes bytes;
    const char* text;
};

class GifLoadError : public testing::TestWithParam<ErrorCase> {};

TEST_P(GifLoadError, FailsWithItsText) { EXPECT_EQ(loadError(GetParam().bytes), GetParam().text); }

const Bytes fullFile = simpleFile();

INSTANTIATE_TEST_SUITE_P(
    Damaged, GifLoadError,
    testing::Values(
        ErrorCase{"ShortHeader", Bytes{'G', 'I', 'F', '8'}, "Premature end of data"},
        ErrorCase{"ShortScreenDescriptor", Bytes{'G', 'I', 'F', '8', '9', 'a', 3, 0, 2},
                  "Premature end of data"},
        ErrorCase{"ShortGlobalTable", screen(3, 2, 0x81) + Bytes{0, 0, 0, 255}, "Premature end of data"},
        ErrorCase{"ShortImageDescriptor", screen(3, 2, 0) + Bytes{0x2C, 0, 0, 0}, "Premature end of data"},
        ErrorCase{"ShortLocalTable", screen(3, 2, 0) + descriptor(0, 0, 3, 2, 0x81) + Bytes{1, 2},
                  "Premature end of data"},
        ErrorCase{"ShortExtension", screen(3, 2, 0) + Bytes{0x21, 0xFE, 10, 'a', 'b'},
                  "Premature end of data"},
        ErrorCase{"ShortGraphicControl", screen(3, 2, 0) + Bytes{0x21, 0xF9, 2, 1, 0, 0},
                  "Premature end of data"},
        ErrorCase{"UnknownExtension", screen(3, 2, 0) + Bytes{0x21, 0x02, 0} + trailer,
                  "Unknown extension type"},
        ErrorCase{"CircularEntry",
                  screen(2, 1, 0x81) + fourColours + descriptor(0, 0, 2, 1) + Bytes{2, 1, 0x34, 0} + trailer,
                  "Circular decoder table entry"},
        ErrorCase{"HugeFrame", screen(10, 10, 0) + descriptor(0, 0, 65535, 65535) + literalData({1}),
                  "Image too large"}),
    test::CaseName());

TEST(GifImage, FailedLoadKeepsThePreviousPicture)
{
    auto l = load(simpleFile());
    EXPECT_THROW(l->image.load(Bytes{'G', 'I', 'F'}), ImageError);
    EXPECT_EQ(l->image.width(), 3);
    EXPECT_EQ(l->image.frameCount(), 1u);
}

TEST(GifImage, SmallerFirstFrameIsDrawnOnAWhiteScreenSizedBitmap)
{
    auto l = load(screen(4, 3, 0x81) + fourColours + descriptor(1, 1, 2, 1) + literalData({1, 2}) + trailer);
    const Bitmap b = l->image.toBitmap();
    EXPECT_EQ(b.pixelFormat(), PixelFormat::Device);
    ASSERT_EQ(b.width(), 4);
    ASSERT_EQ(b.height(), 3);
    EXPECT_EQ(b.palette().size(), 4u);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            ColorValue want = clWhiteValue;
            if (y == 1 && x == 1)
                want = makeColor(255, 0, 0);
            if (y == 1 && x == 2)
                want = makeColor(0, 255, 0);
            EXPECT_EQ(b.pixel(x, y), want) << x << "," << y;
        }
    }
}

TEST(GifImage, HugeScreensAreRefusedAtConversion)
{
    auto l =
        load(screen(65535, 65535, 0x81) + fourColours + descriptor(0, 0, 1, 1) + literalData({1}) + trailer);
    EXPECT_EQ(l->image.width(), 65535);
    try {
        l->image.toBitmap();
        FAIL() << "made a 4-gigapixel canvas";
    } catch (const ImageError& e) {
        EXPECT_STREQ(e.what(), "Image too large");
    }
}

// Only the first frame is shown. An animation whose frames together pass the
// memory budget (five screens of 64 Mi pixels: the first, its canvas and its
// working copy fill it) keeps the frames that fit and shows the first, where
// it once failed as "Image too large" after holding four of them.
TEST(GifImage, FramesPastTheBudgetAreDroppedQuietly)
{
    Bytes file = screen(8192, 8192, 0x81) + fourColours;
    for (int i = 0; i < 5; ++i)
        file = file + descriptor(0, 0, 8192, 8192) + literalData({std::uint8_t(1 + i % 3)});
    auto l = load(file + trailer);
    EXPECT_EQ(l->image.frameCount(), 1u);
    EXPECT_EQ(l->image.frame(0).pixels.front(), 1);
    EXPECT_TRUE(l->warnings.empty());
}

TEST(GifImage, FramesReachingPastTheScreenAreClippedAndBadIndicesDrawBlack)
{
    // Two colours in the table; index 3 lies beyond it.
    const Bytes twoColours = {255, 255, 0, 0, 0, 255};
    auto l =
        load(screen(3, 2, 0x80) + twoColours + descriptor(2, 1, 2, 2) + literalData({3, 1, 0, 0}) + trailer);
    EXPECT_TRUE(warned(*l, "Image exceeds Logical Screen size"));
    const Bitmap b = l->image.toBitmap();
    EXPECT_EQ(b.pixel(2, 1), makeColor(0, 0, 0));
    EXPECT_EQ(b.pixel(1, 1), clWhiteValue);
    EXPECT_EQ(b.pixel(2, 0), clWhiteValue);
}

TEST(GifImage, ZeroWidthOrHeightTakesTheScreenSize)
{
    auto l =
        load(screen(2, 2, 0x81) + fourColours + descriptor(0, 0, 0, 0) + literalData({1, 2, 3, 1}) + trailer);
    EXPECT_EQ(l->image.frame(0).width, 2);
    EXPECT_EQ(l->image.frame(0).height, 2);
    EXPECT_TRUE(warned(*l, "Invalid image width"));
    EXPECT_TRUE(warned(*l, "Invalid image height"));
    EXPECT_EQ(l->image.toBitmap().pixelFormat(), PixelFormat::Bits8);
}

TEST(GifImage, InterlacedRowsArriveInFourPasses)
{
    // Height 5: the data holds rows 0, 4, 2, 1, 3; each data row carries its position.
    auto l = load(screen(1, 5, 0x81) + fourColours + descriptor(0, 0, 1, 5, 0x40) +
                  literalData({0, 1, 2, 3, 4}, 3) + trailer);
    EXPECT_EQ(l->image.frame(0).pixels, (Bytes{0, 3, 2, 4, 1}));
}

TEST(GifImage, MissingImageDataLeavesTheTransparentIndexOrZero)
{
    // Four pixels of six in three whole bytes, then the file ends inside the data.
    const Bytes cut = literalData({1, 2, 1, 2}, 2, false, false);
    auto transparent =
        load(screen(3, 2, 0x81) + fourColours + graphicControl(true, 3) + descriptor(0, 0, 3, 2) + cut);
    EXPECT_EQ(transparent->image.frame(0).pixels, (Bytes{1, 2, 1, 2, 3, 3}));
    EXPECT_TRUE(warned(*transparent, "Premature end of data"));
    EXPECT_TRUE(warned(*transparent, "Decoder bit buffer under-run"));

    auto opaque =
        load(screen(3, 2, 0x81) + fourColours + graphicControl(false, 3) + descriptor(0, 0, 3, 2) + cut);
    EXPECT_EQ(opaque->image.frame(0).pixels, (Bytes{1, 2, 1, 2, 0, 0}));

    // A sub-block that claims more bytes than there are.
    Bytes claim = screen(3, 2, 0x81) + fourColours + descriptor(0, 0, 3, 2) + Bytes{2, 200, 0x0C};
    // 0x0C holds a clear code and pixel 1 in its low six bits.
    EXPECT_EQ(load(claim)->image.frame(0).pixels, (Bytes{1, 0, 0, 0, 0, 0}));
}

TEST(GifImage, TransparentPixelsKeepTheirPaletteColour)
{
    auto l = load(screen(2, 1, 0x81) + fourColours + graphicControl(true, 2) + descriptor(0, 0, 2, 1) +
                  literalData({2, 1}) + trailer);
    EXPECT_EQ(l->image.toBitmap().pixel(0, 0), makeColor(0, 255, 0));
}

TEST(GifImage, OnlyTheFirstGraphicControlCounts)
{
    auto l = load(screen(2, 1, 0x81) + fourColours + graphicControl(true, 3) + graphicControl(true, 1) +
                  descriptor(0, 0, 2, 1) + literalData({}) + trailer);
    EXPECT_EQ(l->image.frame(0).control.transparentIndex, 3);
    EXPECT_EQ(l->image.frame(0).pixels, (Bytes{3, 3}));
    EXPECT_EQ(l->image.frame(0).extensions.size(), 2u);
}

TEST(GifImage, ExtensionsOfEveryKnownKindAreReadAndKept)
{
    const Bytes comment = {0x21, 0xFE, 3, 'h', 'e', 'y', 0};
    const Bytes application = Bytes{0x21, 0xFF, 11} + Bytes(11, 'A') + Bytes{3, 1, 0, 0, 0};
    const Bytes plainText = Bytes{0x21, 0x01, 12} + Bytes(12, 0) + Bytes{2, 'h', 'i', 0};
    auto l = load(screen(1, 1, 0x81) + fourColours + comment + application + plainText +
                  descriptor(0, 0, 1, 1) + literalData({2}) + trailer);
    ASSERT_EQ(l->image.frame(0).extensions.size(), 3u);
    EXPECT_EQ(l->image.frame(0).extensions[0].data, (Bytes{'h', 'e', 'y'}));
    EXPECT_EQ(l->image.frame(0).extensions[1].label, 0xFF);
    EXPECT_EQ(l->image.frame(0).pixels, (Bytes{2}));
}

TEST(GifImage, NoColourTableFailsOnlyAtConversion)
{
    auto l = load(screen(2, 1, 0) + descriptor(0, 0, 2, 1) + literalData({1, 1}) + trailer);
    try {
        l->image.toBitmap();
        FAIL() << "converted a frame without colours";
    } catch (const ImageError& e) {
        EXPECT_STREQ(e.what(), "No global or local color table defined");
    }
}

TEST(GifImage, LaterFramesWithoutTablesBorrowTheFirstFramesTable)
{
    auto l = load(screen(1, 1, 0) + descriptor(0, 0, 1, 1, 0x81) + fourColours + literalData({3}) +
                  descriptor(0, 0, 1, 1) + literalData({1}) + trailer);
    ASSERT_EQ(l->image.frameCount(), 2u);
    EXPECT_EQ(l->image.frameBitmap(1).pixel(0, 0), makeColor(255, 0, 0));
    // Only the first frame is the picture.
    EXPECT_EQ(l->image.toBitmap().pixel(0, 0), makeColor(0, 0, 255));
}

TEST(GifImage, BlockLevelDamageOnlyWarns)
{
    const Bytes frame = descriptor(0, 0, 1, 1) + literalData({1});
    auto unknown =
        load(screen(1, 1, 0x81) + fourColours + Bytes{0, 0} + frame + Bytes{'X'} + frame + trailer);
    EXPECT_EQ(unknown->image.frameCount(), 1u);
    EXPECT_TRUE(warned(*unknown, "Unknown GIF block type"));
    EXPECT_TRUE(warned(*unknown, "Invalid Image trailer"));

    auto noTrailer = load(screen(1, 1, 0x81) + fourColours + frame);
    EXPECT_EQ(noTrailer->image.frameCount(), 1u);
    EXPECT_TRUE(noTrailer->warnings.empty());

    // After the extensions a stray byte is read as the image separator.
    auto stray = load(screen(1, 1, 0x81) + fourColours + Bytes{0x21, 0xFE, 0} + Bytes{'?'} +
                      Bytes(frame.begin() + 1, frame.end()) + trailer);
    EXPECT_TRUE(warned(*stray, "Invalid extension introducer"));
    EXPECT_EQ(stray->image.frame(0).pixels, (Bytes{1}));
}

TEST(GifImage, ExtensionsBeforeTheTrailerMakeAnEmptyFrame)
{
    Bytes withComment = simpleFile();
    withComment.pop_back();
    withComment = withComment + Bytes{0x21, 0xFE, 1, 'x', 0} + trailer;
    auto c = load(withComment);
    ASSERT_EQ(c->image.frameCount(), 2u);
    EXPECT_FALSE(c->image.frame(1).hasImage);
    EXPECT_EQ(c->image.toBitmap().pixelFormat(), PixelFormat::Bits8);

    auto nothing = load(screen(2, 2, 0x81) + fourColours + trailer);
    EXPECT_EQ(nothing->image.frameCount(), 0u);
    EXPECT_TRUE(nothing->image.toBitmap().isEmpty());
}

TEST(GifImage, BitmapsAreMadeOnceAndHandedOutAsCopies)
{
    auto l = load(simpleFile());
    EXPECT_EQ(&l->image.imageBitmap(), &l->image.imageBitmap());
    Bitmap copy = l->image.toBitmap();
    copy.scanLine(0)[0] = 3;
    EXPECT_EQ(l->image.toBitmap().scanLine(0)[0], 0);
}

} // namespace
} // namespace tintora
