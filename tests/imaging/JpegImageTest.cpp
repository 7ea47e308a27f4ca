#include "imaging/JpegImage.h"
#include "imaging/ImageError.h"
#include "support/Bytes.h"
#include "support/CaseName.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <set>
#include <string>
#include <vector>

extern "C" {
#include <jerror.h>
}

namespace tintora {
namespace {

using test::Bytes;
using test::readBytes;

std::string jpeg(const std::string& name) { return test::dataFile("jpeg/" + name); }

// A PPM or PGM image as the command-line decoder writes it.
struct Pnm {
    int width = 0, height = 0, channels = 0;
    Bytes pixels;
};

Pnm runDjpeg(const std::string& options, const std::string& file)
{
    Pnm pnm;
    const std::string command = "djpeg " + options + " -pnm '" + file + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return pnm;
    char magic[3] = {};
    int maxValue = 0;
    if (std::fscanf(pipe, "%2s %d %d %d", magic, &pnm.width, &pnm.height, &maxValue) == 4) {
        std::fgetc(pipe); // the single blank after the header
        pnm.channels = magic[1] == '6' ? 3 : 1;
        pnm.pixels.resize(std::size_t(pnm.width) * pnm.height * pnm.channels);
        pnm.pixels.resize(std::fread(pnm.pixels.data(), 1, pnm.pixels.size(), pipe));
    }
    pclose(pipe);
    return pnm;
}

bool haveDjpeg() { return std::system("djpeg -version >/dev/null 2>&1") == 0; }

JpegImage loaded(const std::string& file, int displayBits = 32)
{
    JpegImage image(displayBits);
    image.load(readBytes(jpeg(file)));
    return image;
}

// Counts pixels whose channels differ from the reference by more than `tolerance`.
int countMismatches(const Bitmap& bitmap, const Pnm& reference, int tolerance)
{
    int mismatches = 0;
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            const ColorValue c = bitmap.pixel(x, y);
            const std::uint8_t* r =
                reference.pixels.data() + (std::size_t(y) * reference.width + x) * reference.channels;
            const int want[3] = {r[0], r[reference.channels == 3 ? 1 : 0],
                                 r[reference.channels == 3 ? 2 : 0]};
            if (std::abs(redOf(c) - want[0]) > tolerance || std::abs(greenOf(c) - want[1]) > tolerance ||
                std::abs(blueOf(c) - want[2]) > tolerance)
                ++mismatches;
        }
    }
    return mismatches;
}

void expectJpegError(const std::function<void()>& action)
{
    try {
        action();
        ADD_FAILURE() << "no error raised";
    } catch (const ImageError& e) {
        EXPECT_TRUE(std::regex_match(e.what(), std::regex("Erreur JPEG #[0-9]+"))) << e.what();
    }
}

std::string jpegErrorText(int code) { return formatText(texts::jpegError, code); }

struct HeaderCase {
    const char* file;
    int width, height;
    bool grayscale, progressive;
};

class JpegHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(JpegHeader, LoadReadsOnlyTheHeader)
{
    const HeaderCase& c = GetParam();
    JpegImage image = loaded(c.file);
    EXPECT_EQ(image.width(), c.width);
    EXPECT_EQ(image.height(), c.height);
    EXPECT_EQ(image.isGrayscale(), c.grayscale);
    EXPECT_EQ(image.isProgressive(), c.progressive);
    EXPECT_TRUE(image.isJpeg());
    EXPECT_FALSE(image.isDecoded());
}

INSTANTIATE_TEST_SUITE_P(Files, JpegHeader,
                         testing::Values(HeaderCase{"testorig.jpg", 227, 149, false, false},
                                         HeaderCase{"testimgp.jpg", 227, 149, false, true},
                                         HeaderCase{"testimggray.jpg", 227, 149, true, false},
                                         HeaderCase{"hopper_gray.jpg", 128, 128, true, false},
                                         HeaderCase{"app13-multiple.jpg", 256, 160, false, true}));

// Colour files decode to exactly what the command-line decoder gives with the
// same accurate integer transform.
class JpegColour : public testing::TestWithParam<const char*> {};

TEST_P(JpegColour, MatchesTheReferenceDecoderExactly)
{
    if (!haveDjpeg())
        GTEST_SKIP() << "djpeg is not installed";
    JpegImage image = loaded(GetParam());
    const Bitmap bitmap = image.toBitmap();
    const Pnm reference = runDjpeg("-dct int", jpeg(GetParam()));
    ASSERT_EQ(reference.channels, 3);
    EXPECT_EQ(bitmap.pixelFormat(), PixelFormat::Bits24);
    ASSERT_EQ(bitmap.width(), reference.width);
    ASSERT_EQ(bitmap.height(), reference.height);
    EXPECT_EQ(countMismatches(bitmap, reference, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(Files, JpegColour,
                         testing::Values("testorig.jpg", "testimgint.jpg", "testimgari.jpg", "testimgp.jpg",
                                         "testimgcrop.jpg", "app13-multiple.jpg", "flower.jpg", "hopper.jpg",
                                         "hopper_16bit_qtables.jpg", "junk_jpeg_header.jpg",
                                         "truncated_jpeg.jpg", "orientation_rectangle.jpg"));

// Grayscale files go through the Floyd-Steinberg quantizer into 8 bits.
class JpegGray : public testing::TestWithParam<const char*> {};

TEST_P(JpegGray, QuantizesToAtMost236GrayLevels)
{
    JpegImage image = loaded(GetParam());
    const Bitmap bitmap = image.toBitmap();
    EXPECT_EQ(bitmap.pixelFormat(), PixelFormat::Bits8);
    ASSERT_LE(bitmap.colorTable().size(), 236u);
    EXPECT_GE(bitmap.colorTable().size(), 2u);
    EXPECT_EQ(bitmap.palette(), bitmap.colorTable());
    for (const RGBQuad& q : bitmap.colorTable())
        EXPECT_TRUE(q.red == q.green && q.green == q.blue);
    std::set<std::uint8_t> used;
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            used.insert(bitmap.scanLine(y)[x]);
    EXPECT_LT(*used.rbegin(), bitmap.colorTable().size());

    if (!haveDjpeg())
        return;
    const Pnm reference = runDjpeg("-dct int -colors 236", jpeg(GetParam()));
    ASSERT_EQ(reference.width, bitmap.width());
    EXPECT_EQ(countMismatches(bitmap, reference, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(Files, JpegGray,
                         testing::Values("testimggray.jpg", "hopper_gray.jpg", "jfif_unit_cm.jpg",
                                         "hopper_bad_exif.jpg"));

TEST(JpegImage, ColourOnAPalettedDisplayIsQuantizedInTwoPasses)
{
    JpegImage image = loaded("testorig.jpg", 8);
    const Bitmap bitmap = image.toBitmap();
    EXPECT_EQ(bitmap.pixelFormat(), PixelFormat::Bits8);
    EXPECT_LE(bitmap.colorTable().size(), 236u);
    if (!haveDjpeg())
        return;
    const Pnm reference = runDjpeg("-dct int -colors 236", jpeg("testorig.jpg"));
    EXPECT_EQ(countMismatches(bitmap, reference, 0), 0);
}

TEST(JpegImage, CmykFilesComeOutAsTheirRgbColours)
{
    JpegImage image = loaded("pil_sample_cmyk.jpg");
    const Bitmap bitmap = image.toBitmap();
    EXPECT_EQ(bitmap.pixelFormat(), PixelFormat::Bits24);
    if (!haveDjpeg())
        return;
    // The reference rounds the ink product differently by at most one step.
    const Pnm reference = runDjpeg("-dct int", jpeg("pil_sample_cmyk.jpg"));
    ASSERT_EQ(reference.channels, 3);
    EXPECT_EQ(countMismatches(bitmap, reference, 1), 0);
}

TEST(JpegImage, DecodesOnceAndHandsOutIndependentCopies)
{
    JpegImage image = loaded("testorig.jpg");
    Bitmap first = image.toBitmap();
    EXPECT_TRUE(image.isDecoded());
    first.scanLine(0)[0] ^= 0xFF;
    const Bitmap second = image.toBitmap();
    EXPECT_NE(first.scanLine(0)[0], second.scanLine(0)[0]);
    EXPECT_EQ(&image.decodedBitmap(), &image.decodedBitmap());
}

TEST(JpegImage, TwelveBitFilesFailAtLoad)
{
    JpegImage image;
    try {
        image.load(readBytes(jpeg("testorig12.jpg")));
        FAIL() << "loaded a 12-bit file";
    } catch (const ImageError& e) {
        EXPECT_EQ(e.what(), jpegErrorText(JERR_BAD_PRECISION));
    }
}

TEST(JpegImage, EmptyAndForeignDataFailAtLoad)
{
    for (const Bytes& bytes :
         {Bytes{}, Bytes{'B', 'M', 0, 0}, readBytes(test::dataFile("gif/porsche.gif"))}) {
        JpegImage image;
        expectJpegError([&] { image.load(bytes); });
    }
}

TEST(JpegImage, FailedLoadKeepsThePreviousImage)
{
    JpegImage image = loaded("hopper.jpg");
    expectJpegError([&] { image.load(Bytes{0xFF, 0xD8, 0xFF}); });
    EXPECT_EQ(image.width(), 128);
    EXPECT_EQ(image.toBitmap().width(), 128);
}

// Renames every marker `from` into an application marker, hiding those segments.
Bytes hideMarker(Bytes bytes, std::uint8_t from)
{
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == from)
            bytes[i + 1] = 0xE5;
    return bytes;
}

TEST(JpegImage, ErrorInTheImageDataShowsOnlyAtConversion)
{
    // Without its quantization tables the header still reads.
    JpegImage image;
    image.load(hideMarker(readBytes(jpeg("testorig.jpg")), 0xDB));
    EXPECT_EQ(image.width(), 227);
    try {
        image.toBitmap();
        FAIL() << "decoded without quantization tables";
    } catch (const ImageError& e) {
        EXPECT_EQ(e.what(), jpegErrorText(JERR_NO_QUANT_TABLE));
    }
    EXPECT_FALSE(image.isDecoded());
}

TEST(JpegImage, TruncatedDataDecodesWithWarningsIgnored)
{
    Bytes bytes = readBytes(jpeg("testorig.jpg"));
    bytes.resize(bytes.size() / 2);
    JpegImage image;
    image.load(bytes);
    const Bitmap bitmap = image.toBitmap();
    EXPECT_EQ(bitmap.width(), 227);
    EXPECT_EQ(bitmap.height(), 149);
}

// Every cut and a spread of flipped bytes either decode or fail with the text.
TEST(JpegImage, DamagedFilesNeverCrash)
{
    const Bytes original = readBytes(jpeg("testimgp.jpg"));
    std::vector<Bytes> damaged;
    for (std::size_t n = 0; n < original.size(); n += 37)
        damaged.emplace_back(original.begin(), original.begin() + std::ptrdiff_t(n));
    unsigned seed = 12345;
    for (int i = 0; i < 150; ++i) {
        Bytes b = original;
        for (int k = 0; k < 4; ++k) {
            seed = seed * 1103515245u + 12345u;
            b[(seed >> 8) % b.size()] ^= std::uint8_t(1u << (seed % 8));
        }
        damaged.push_back(std::move(b));
    }
    for (const Bytes& bytes : damaged) {
        JpegImage image;
        try {
            image.load(bytes);
            const Bitmap bitmap = image.toBitmap();
            EXPECT_EQ(bitmap.width(), image.width());
        } catch (const ImageError& e) {
            EXPECT_TRUE(std::regex_match(e.what(), std::regex("Erreur JPEG #[0-9]+"))) << e.what();
        }
    }
}

struct OversizedCase {
    const char* name;
    const char* file;
    std::uint8_t frameMarker; // 0xC0 baseline, 0xC2 progressive
    unsigned side;
    int code;
};

class JpegOversized : public ::testing::TestWithParam<OversizedCase> {};

// A small file patched to claim a square of `side` pixels is refused before
// the picture or libjpeg's arrays are allocated: in well under a second, and
// without the gigabyte the progressive one of 11585 pixels (just within the
// old pixel limit) once took.
TEST_P(JpegOversized, IsRefusedBeforeAllocating)
{
    const OversizedCase& c = GetParam();
    Bytes bytes = readBytes(jpeg(c.file));
    for (std::size_t i = 0; i + 8 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == c.frameMarker) {
            bytes[i + 5] = std::uint8_t(c.side >> 8), bytes[i + 6] = std::uint8_t(c.side); // height
            bytes[i + 7] = std::uint8_t(c.side >> 8), bytes[i + 8] = std::uint8_t(c.side); // width
            break;
        }
    }
    JpegImage image;
    image.load(bytes);
    ASSERT_EQ(image.width(), int(c.side));
    try {
        image.toBitmap();
        FAIL() << "decoded a picture beyond the budget";
    } catch (const ImageError& e) {
        EXPECT_EQ(e.what(), jpegErrorText(c.code));
    }
}
INSTANTIATE_TEST_SUITE_P(
    Files, JpegOversized,
    ::testing::Values(OversizedCase{"baseline60000", "testorig.jpg", 0xC0, 60000, JERR_IMAGE_TOO_BIG},
                      OversizedCase{"progressive11585", "testimgp.jpg", 0xC2, 11585, JERR_IMAGE_TOO_BIG},
                      // The picture fits, but not the coefficients a progressive file keeps.
                      OversizedCase{"progressive8000", "testimgp.jpg", 0xC2, 8000, JERR_NO_BACKING_STORE}),
    test::CaseName());

TEST(JpegImage, TakingTheBitmapLeavesNoDecodedCopy)
{
    JpegImage image;
    image.load(readBytes(jpeg("testorig.jpg")));
    const Bitmap copy = image.toBitmap();
    ASSERT_TRUE(image.isDecoded());
    const Bitmap taken = image.takeBitmap();
    EXPECT_FALSE(image.isDecoded());
    ASSERT_EQ(taken.byteSize(), copy.byteSize());
    EXPECT_EQ(std::memcmp(taken.bits(), copy.bits(), copy.byteSize()), 0);
}

} // namespace
} // namespace tintora
