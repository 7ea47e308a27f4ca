#include "IconTestHelpers.h"

#include "imaging/BmpReader.h"
#include "imaging/ExtraIcon.h"
#include "imaging/IconDecoder.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tintora::test {
namespace {

struct Bgra {
    int b, g, r, a;
    friend bool operator==(const Bgra&, const Bgra&) = default;
};
std::ostream& operator<<(std::ostream& os, const Bgra& p)
{
    return os << "BGRA(" << p.b << "," << p.g << "," << p.r << "," << p.a << ")";
}

Bgra at(const Bitmap& bmp, int x, int y)
{
    const std::uint8_t* p = bmp.scanLine(y) + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

TEST(IconDib, OneBitUsesTableAndMask)
{
    DibIcon d;
    d.width = 9; // a row of colour bits spills into a second byte
    d.height = 3;
    d.bits = 1;
    d.palette = {0x102030, 0xA0B0C0};
    d.pixel = [](int x, int y) { return std::uint32_t((x + y) & 1); };
    d.masked = [](int x, int y) { return x == 8 && y == 2; };
    const Bitmap out = decodeIconImage(d.bytes());
    ASSERT_EQ(out.width(), 9);
    ASSERT_EQ(out.height(), 3);
    EXPECT_EQ(at(out, 0, 0), (Bgra{0x30, 0x20, 0x10, 255}));
    EXPECT_EQ(at(out, 1, 0), (Bgra{0xC0, 0xB0, 0xA0, 255}));
    EXPECT_EQ(at(out, 8, 1), (Bgra{0xC0, 0xB0, 0xA0, 255}));
    // A masked pixel keeps its colour bytes but shows nothing.
    EXPECT_EQ(at(out, 8, 2), (Bgra{0x30, 0x20, 0x10, 0}));
}

TEST(IconDib, FourBitIndexBeyondShortTableIsBlack)
{
    DibIcon d;
    d.width = 4;
    d.bits = 4;
    d.colorsUsedField = 2;
    d.palette = {0xFFFFFF, 0x00FF00};
    d.pixel = [](int x, int) { return std::uint32_t(x == 3 ? 15 : x); };
    const Bitmap out = decodeIconImage(d.bytes());
    EXPECT_EQ(at(out, 0, 0), (Bgra{255, 255, 255, 255}));
    EXPECT_EQ(at(out, 1, 1), (Bgra{0, 255, 0, 255}));
    EXPECT_EQ(at(out, 2, 0), (Bgra{0, 0, 0, 255}));
    EXPECT_EQ(at(out, 3, 0), (Bgra{0, 0, 0, 255}));
}

TEST(IconDib, EightBitTableLongerThanIndexesIsSkipped)
{
    DibIcon d;
    d.bits = 8;
    d.colorsUsedField = 300;
    d.palette.assign(300, 0);
    d.palette[255] = 0x123456;
    d.pixel = [](int, int) { return 255u; };
    const Bitmap out = decodeIconImage(d.bytes());
    EXPECT_EQ(at(out, 1, 1), (Bgra{0x56, 0x34, 0x12, 255}));
}

TEST(IconDib, SixteenBitIsFiveFiveFive)
{
    DibIcon d;
    d.bits = 16;
    d.pixel = [](int x, int y) {
        return y == 0 ? (x == 0 ? 0x7FFFu : 0x001Fu) : (x == 0 ? 0x03E0u : 0x4210u);
    };
    const Bitmap out = decodeIconImage(d.bytes());
    EXPECT_EQ(at(out, 0, 0), (Bgra{255, 255, 255, 255}));
    EXPECT_EQ(at(out, 1, 0), (Bgra{255, 0, 0, 255}));
    EXPECT_EQ(at(out, 0, 1), (Bgra{0, 255, 0, 255}));
    EXPECT_EQ(at(out, 1, 1), (Bgra{132, 132, 132, 255})); // 16 of 31, widened by bit copy
}

TEST(IconDib, ThirtyTwoBitWithoutAlphaFallsBackToMask)
{
    DibIcon d;
    d.width = 3;
    d.bits = 32;
    d.pixel = [](int x, int) { return 0x00112233u + std::uint32_t(x); };
    d.masked = [](int x, int) { return x == 1; };
    const Bitmap out = decodeIconImage(d.bytes());
    EXPECT_EQ(at(out, 0, 0), (Bgra{0x33, 0x22, 0x11, 255}));
    EXPECT_EQ(at(out, 1, 0).a, 0);
    EXPECT_EQ(at(out, 2, 1), (Bgra{0x35, 0x22, 0x11, 255}));
}

TEST(IconDib, ThirtyTwoBitAlphaWinsOverMask)
{
    DibIcon d;
    d.width = 3;
    d.bits = 32;
    d.pixel = [](int x, int) { return (std::uint32_t(x * 100) << 24) | 0x00445566u; };
    d.masked = [](int x, int) { return x == 2; };
    const Bitmap out = decodeIconImage(d.bytes());
    EXPECT_EQ(at(out, 0, 0), (Bgra{0x66, 0x55, 0x44, 0}));
    EXPECT_EQ(at(out, 1, 0), (Bgra{0x66, 0x55, 0x44, 100}));
    EXPECT_EQ(at(out, 2, 0), (Bgra{0x66, 0x55, 0x44, 200}));
}

TEST(IconDib, RowsAreStoredBottomUp)
{
    DibIcon d;
    d.width = 1;
    d.height = 3;
    d.pixel = [](int, int y) { return std::uint32_t(y * 50); }; // blue byte per row
    const Bitmap out = decodeIconImage(d.bytes());
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(at(out, 0, y).b, y * 50);
}

// The DIB of an icon image wrapped as a BMP file: a file header, the height
// halved and the AND mask left out.
Bytes asBmpFile(const DibIcon& d)
{
    Bytes dib = d.bytes();
    for (int k = 0; k < 4; ++k)
        dib[8 + std::size_t(k)] = std::uint8_t(std::uint32_t(d.height) >> (8 * k));
    dib.resize(dib.size() - std::size_t(Bitmap::strideFor(d.width, 1)) * std::size_t(d.height));
    Bytes file = {'B', 'M'};
    put32(file, std::uint32_t(14 + dib.size()));
    put32(file, 0); // reserved
    put32(file, std::uint32_t(14 + 40 + 4 * d.palette.size()));
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

class IconDibDepths : public ::testing::TestWithParam<int> {};

// One DIB decoder serves both: an icon image shows the colours its DIB shows
// as a BMP file.
TEST_P(IconDibDepths, ShowTheColoursOfTheSameDibInABmpFile)
{
    DibIcon d;
    d.width = 13; // rows of every depth end in padding
    d.height = 5;
    d.bits = GetParam();
    if (d.bits <= 8)
        for (std::uint32_t i = 0; i < (1u << d.bits); ++i)
            d.palette.push_back((i * 0x0B3D17u) & 0xFFFFFF);
    d.pixel = [bits = d.bits](int x, int y) {
        const std::uint32_t v = std::uint32_t(x * 2654435761u + y * 40503u) >> 7;
        return bits <= 8 ? v & ((1u << bits) - 1) : bits == 16 ? v & 0x7FFF : v & 0xFFFFFF;
    };
    d.masked = [](int x, int y) { return (x + y) % 3 == 0; };
    const Bitmap icon = decodeIconImage(d.bytes());
    const Bitmap bmp = readBmp(asBmpFile(d));
    ASSERT_EQ(icon.width(), bmp.width());
    ASSERT_EQ(icon.height(), bmp.height());
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            const ColorValue c = bmp.pixel(x, y);
            EXPECT_EQ(at(icon, x, y), (Bgra{blueOf(c), greenOf(c), redOf(c), d.masked(x, y) ? 0 : 255}))
                << x << "," << y;
        }
}
INSTANTIATE_TEST_SUITE_P(Bits, IconDibDepths, ::testing::Values(1, 4, 8, 16, 24, 32));

// Damaged headers and data: always "Image bitmap incorrecte", never a crash.
struct BadDib {
    const char* name;
    std::function<void(Bytes&)> damage;
};

class IconDibDamaged : public ::testing::TestWithParam<BadDib> {};

TEST_P(IconDibDamaged, Throws)
{
    DibIcon d;
    d.width = d.height = 16;
    d.bits = 8;
    d.palette.assign(256, 0x808080);
    Bytes bytes = d.bytes();
    GetParam().damage(bytes);
    try {
        decodeIconImage(bytes);
        FAIL() << "decoded";
    } catch (const ImageError& e) {
        EXPECT_STREQ(e.what(), "Image bitmap incorrecte");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IconDibDamaged,
    ::testing::Values(BadDib{"Empty", [](Bytes& b) { b.clear(); }},
                      BadDib{"HeaderCut", [](Bytes& b) { b.resize(30); }},
                      BadDib{"SmallHeaderSize", [](Bytes& b) { set32(b, 0, 12); }},
                      BadDib{"HugeHeaderSize", [](Bytes& b) { set32(b, 0, 0xFFFFFFFF); }},
                      BadDib{"ZeroWidth", [](Bytes& b) { set32(b, 4, 0); }},
                      BadDib{"NegativeWidth", [](Bytes& b) { set32(b, 4, 0xFFFFFFF0); }},
                      BadDib{"TopDown", [](Bytes& b) { set32(b, 8, std::uint32_t(-32)); }},
                      BadDib{"HeightOne", [](Bytes& b) { set32(b, 8, 1); }},
                      BadDib{"HugeSides",
                             [](Bytes& b) {
                                 set32(b, 4, 0xFFFF);
                                 set32(b, 8, 0xFFFF);
                             }},
                      BadDib{"WiderThanData", [](Bytes& b) { set32(b, 4, 1000); }},
                      BadDib{"Planes", [](Bytes& b) { b[12] = 2; }},
                      BadDib{"TwoBits", [](Bytes& b) { b[14] = 2; }},
                      BadDib{"RunLength", [](Bytes& b) { set32(b, 16, 1); }},
                      BadDib{"TableBeyondData", [](Bytes& b) { set32(b, 32, 0xFFFFFFFF); }},
                      BadDib{"MaskCut", [](Bytes& b) { b.pop_back(); }},
                      BadDib{"PixelsCut", [](Bytes& b) { b.resize(40 + 1024 + 100); }}),
    test::CaseName());

// Cut inside its header or colour rows, an image fails cleanly; cut only in
// its mask, a 32-bit image with alpha is drawn from its alpha as if whole.
TEST(IconDib, EveryTruncationOfRealImagesFailsCleanlyOrNeedsNoMask)
{
    const Bytes ico = readBytes(dataFile("ico/modern-install-full.ico"));
    ASSERT_GT(ico.size(), 13918u + 9640u - 1);
    const std::span<const std::uint8_t> image(ico.data() + 13918, 9640); // the 48-pixel 32-bit entry
    const std::size_t colorEnd = 40 + 48 * 48 * 4;
    const Bitmap whole = decodeIconImage(image);
    for (std::size_t n = 0; n < image.size(); n += 7) {
        if (n < colorEnd) {
            EXPECT_THROW(decodeIconImage(image.first(n)), ImageError) << n;
            continue;
        }
        const Bitmap cut = decodeIconImage(image.first(n));
        ASSERT_EQ(cut.byteSize(), whole.byteSize());
        EXPECT_EQ(std::memcmp(cut.bits(), whole.bits(), whole.byteSize()), 0) << n;
    }
}

// Only an image whose own alpha says what shows can do without its mask.
TEST(IconDib, CutMaskIsNeededOnlyWithoutAlpha)
{
    DibIcon d;
    d.width = 3;
    d.bits = 32;
    d.pixel = [](int x, int) { return (std::uint32_t(x * 100) << 24) | 0x00445566u; };
    Bytes withAlpha = d.bytes();
    withAlpha.pop_back();
    EXPECT_EQ(at(decodeIconImage(withAlpha), 2, 0), (Bgra{0x66, 0x55, 0x44, 200}));

    d.pixel = [](int, int) { return 0x00445566u; };
    Bytes withoutAlpha = d.bytes();
    withoutAlpha.pop_back();
    EXPECT_THROW(decodeIconImage(withoutAlpha), ImageError);
}

// ---- PNG-coded images -------------------------------------------------------

Bytes writePng(int width, int height, png_uint_32 format, const Bytes& pixels)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = format;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr));
    Bytes out(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr));
    out.resize(size);
    return out;
}

TEST(IconPng, GrayBecomesOpaqueColour)
{
    const Bytes png = writePng(3, 2, PNG_FORMAT_GRAY, {0, 100, 255, 7, 8, 9});
    ASSERT_TRUE(isPngIconImage(png));
    const Bitmap out = decodeIconImage(png);
    ASSERT_EQ(out.width(), 3);
    ASSERT_EQ(out.height(), 2);
    EXPECT_EQ(at(out, 1, 0), (Bgra{100, 100, 100, 255}));
    EXPECT_EQ(at(out, 2, 1), (Bgra{9, 9, 9, 255}));
}

TEST(IconPng, RgbaKeepsAlphaAndChannelOrder)
{
    const Bytes png = writePng(2, 1, PNG_FORMAT_RGBA, {10, 20, 30, 40, 200, 150, 100, 255});
    const Bitmap out = decodeIconImage(png);
    EXPECT_EQ(at(out, 0, 0), (Bgra{30, 20, 10, 40}));
    EXPECT_EQ(at(out, 1, 0), (Bgra{100, 150, 200, 255}));
}

TEST(IconPng, DamagedOrOversizedFails)
{
    const Bytes real = readBytes(dataFile("ico/hopper_draw.ico"));
    const std::span<const std::uint8_t> png(real.data() + 22, 824);
    for (std::size_t n : {8, 20, 33, 100, 400, 823})
        EXPECT_THROW(decodeIconImage(png.first(n)), ImageError) << n;
    Bytes flipped(png.begin(), png.end());
    flipped[60] ^= 0xFF; // inside the compressed data: a checksum or inflate error
    EXPECT_THROW(decodeIconImage(flipped), ImageError);
    const Bytes wide = writePng(kMaxIconSide + 1, 1, PNG_FORMAT_GRAY, Bytes(kMaxIconSide + 1, 0));
    EXPECT_THROW(decodeIconImage(wide), ImageError);
}

// ---- sizing and drawing -----------------------------------------------------

TEST(IconSizing, NearestPixelResize)
{
    DibIcon d;
    d.pixel = [](int x, int y) { return std::uint32_t(10 * x + 100 * y); };
    const Bitmap big = createIconBitmap(d.bytes(), 4, 4);
    ASSERT_EQ(big.width(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(at(big, x, y).b, 10 * (x / 2) + 100 * (y / 2)) << x << "," << y;
    EXPECT_THROW(createIconBitmap(d.bytes(), 0, 4), ImageError);
}

IconImage iconOf(int width, int height, std::function<Bgra(int, int)> pixel)
{
    IconImage icon{Bitmap(width, height, PixelFormat::Bits32)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Bgra p = pixel(x, y);
            std::uint8_t* o = icon.color.scanLine(y) + 4 * x;
            o[0] = std::uint8_t(p.b);
            o[1] = std::uint8_t(p.g);
            o[2] = std::uint8_t(p.r);
            o[3] = std::uint8_t(p.a);
        }
    return icon;
}

Bitmap magenta(int w, int h, PixelFormat format = PixelFormat::Bits24)
{
    Bitmap b(w, h, format);
    fillRect(b, Rect{0, 0, w, h}, clMagenta);
    return b;
}

TEST(IconDrawing, MaskedPixelsKeepBackgroundAndAlphaBlends)
{
    const IconImage icon = iconOf(3, 1, [](int x, int) {
        return x == 0 ? Bgra{0, 0, 0, 0} : x == 1 ? Bgra{10, 20, 30, 255} : Bgra{0, 0, 0, 128};
    });
    Bitmap dst = magenta(3, 1);
    drawIcon(dst, 0, 0, 3, 1, icon);
    EXPECT_EQ(dst.pixel(0, 0), clMagenta);
    EXPECT_EQ(dst.pixel(1, 0), makeColor(30, 20, 10));
    // 255 * 127 / 255 rounded: half of magenta is left.
    EXPECT_EQ(dst.pixel(2, 0), makeColor(127, 0, 127));
}

TEST(IconDrawing, ResizesAndClips)
{
    const IconImage icon = iconOf(2, 2, [](int x, int y) { return Bgra{x * 100, y * 100, 0, 255}; });
    Bitmap dst = magenta(5, 5, PixelFormat::Bits32);
    drawIcon(dst, -2, 1, 8, 8, icon); // 4 x 4 per source pixel, left half outside
    EXPECT_EQ(dst.pixel(0, 0), clMagenta);
    EXPECT_EQ(dst.pixel(0, 1), makeColor(0, 0, 0));
    EXPECT_EQ(dst.pixel(1, 4), makeColor(0, 0, 0));
    EXPECT_EQ(dst.pixel(2, 1), makeColor(0, 0, 100));
    EXPECT_EQ(dst.pixel(4, 4), makeColor(0, 0, 100));
    drawIcon(dst, 10, 10, 4, 4, icon); // wholly outside: nothing happens
    EXPECT_EQ(dst.pixel(4, 0), clMagenta);
}

TEST(IconDrawing, RealIconOnMagentaMatchesReferenceComposite)
{
    // The 48-pixel 32-bit entry has soft edges; compose Pillow's rendering the same way.
    const auto icon = ExtractIconFromFile(dataFile("ico/orange-install.ico"), 48, 32);
    ASSERT_TRUE(icon);
    const Bitmap reference = loadReference("orange-install.e8.png");
    Bitmap dst = magenta(48, 48);
    drawIcon(dst, 0, 0, 48, 48, *icon);
    int soft = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            const Bgra r = at(reference, x, y);
            soft += r.a > 0 && r.a < 255;
            const auto mix = [&](int c, int bg) { return (c * r.a + bg * (255 - r.a) + 127) / 255; };
            ASSERT_EQ(dst.pixel(x, y), makeColor(mix(r.r, 255), mix(r.g, 0), mix(r.b, 255))) << x << "," << y;
        }
    EXPECT_GT(soft, 0);
}

} // namespace
} // namespace tintora::test
