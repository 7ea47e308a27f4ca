// PNG files in and out: every kind of file against a second decoder, the
// writer through the reader, and damaged files.
#include "imaging/PngImage.h"
#include "imaging/ImageError.h"
#include "imaging/PngWriter.h"
#include "support/CaseName.h"
#include "support/Files.h"
#include "support/PillowReference.h"
#include "support/SameColors.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tintora::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

bool anyTransparent(const RgbaPicture& picture)
{
    for (std::size_t i = 3; i < picture.rgba.size(); i += 4)
        if (picture.rgba[i] != 255)
            return true;
    return false;
}

TEST(PngVariants, EveryKindDecodesAsASecondDecoderDecodesIt)
{
    const auto files = filesWithExtension(dataFile("png"), ".png");
    ASSERT_GE(files.size(), 25u);
    if (!pillowAvailable())
        GTEST_SKIP() << "/usr/bin/python3 cannot import PIL";
    const auto reference = decodeWithPillow(files);
    ASSERT_EQ(reference.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].filename().string());
        const PngImage png = readPngFile(files[i]);
        EXPECT_EQ(differenceFrom(png, reference[i]), "");
        // An opaque file keeps no alpha plane, so that it is written back as RGB.
        EXPECT_EQ(png.hasTransparency(), anyTransparent(reference[i]));
    }
}

// ---- Writing ---------------------------------------------------------------

enum class AlphaKind { None, AllOpaque, Varied, OneClear };

struct RoundTripCase {
    const char* name;
    int width, height;
    AlphaKind alpha;
    int colorType; // as the file's header says: 2 RGB, 6 RGBA
};

Bitmap gradient(int width, int height)
{
    Bitmap bmp(width, height, PixelFormat::Bits24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bmp.setPixel(x, y, makeColor(x * 251 / width, y * 13 + x, (x ^ y) * 7));
    return bmp;
}

Bytes alphaPlane(AlphaKind kind, int width, int height)
{
    const std::size_t n = std::size_t(width) * std::size_t(height);
    switch (kind) {
    case AlphaKind::None:
        return {};
    case AlphaKind::AllOpaque:
        return Bytes(n, 255);
    case AlphaKind::OneClear: {
        Bytes alpha(n, 255);
        alpha[n / 2] = 0;
        return alpha;
    }
    case AlphaKind::Varied:
        break;
    }
    Bytes alpha(n);
    for (std::size_t i = 0; i < n; ++i)
        alpha[i] = std::uint8_t(i * 37);
    return alpha;
}

class PngRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(PngRoundTrip, ReaderGivesBackWhatTheWriterWasGiven)
{
    const RoundTripCase& c = GetParam();
    const Bitmap colors = gradient(c.width, c.height);
    const Bytes alpha = alphaPlane(c.alpha, c.width, c.height);
    const Bytes file = encodePng(colors, alpha);
    ASSERT_GT(file.size(), 25u);
    EXPECT_EQ(file[25], c.colorType);
    const PngImage back = readPng(file);
    EXPECT_TRUE(sameColors(back.colors, colors));
    EXPECT_EQ(back.alpha, c.colorType == 6 ? alpha : Bytes());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PngRoundTrip,
    ::testing::Values(RoundTripCase{"opaque_rows_padded", 7, 5, AlphaKind::None, 2},
                      RoundTripCase{"all_255_written_as_rgb", 7, 5, AlphaKind::AllOpaque, 2},
                      RoundTripCase{"one_clear_pixel_makes_rgba", 5, 3, AlphaKind::OneClear, 6},
                      RoundTripCase{"varied_alpha", 301, 4, AlphaKind::Varied, 6},
                      RoundTripCase{"single_pixel", 1, 1, AlphaKind::Varied, 6}),
    CaseName());

TEST(PngWriter, ASecondDecoderReadsWhatWasWritten)
{
    if (!pillowAvailable())
        GTEST_SKIP() << "/usr/bin/python3 cannot import PIL";
    const TempFolder folder;
    std::vector<PngImage> written;
    std::vector<fs::path> files;
    for (const AlphaKind kind : {AlphaKind::None, AlphaKind::Varied}) {
        written.push_back({gradient(29, 6), alphaPlane(kind, 29, 6)});
        files.push_back(folder / ("kind" + std::to_string(int(kind)) + ".png"));
        writePngFile(written.back().colors, written.back().alpha, files.back().string());
    }
    const auto reference = decodeWithPillow(files);
    ASSERT_EQ(reference.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(differenceFrom(written[i], reference[i]), "") << files[i].filename();
}

TEST(PngWriter, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary)
{
    TempFolder folder;
    const fs::path path = folder / "skin.png";
    writeBytes(path, {1, 2, 3});
    const Bitmap colors = gradient(4, 4);
    EXPECT_THROW(writePngFile(colors, Bytes(5, 0), path.string()), std::invalid_argument);
    EXPECT_EQ(readBytes(path), (Bytes{1, 2, 3}));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"skin.png"});
    writePngFile(colors, {}, path.string());
    EXPECT_TRUE(sameColors(readPngFile(path.string()).colors, colors));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"skin.png"});
}

// ---- Damaged files ---------------------------------------------------------

TEST(PngDamage, CutShortAtAnyLengthGivesTheReadError)
{
    for (const char* name : {"png/rgba8-interlaced.png", "png/pal8-trns.png"}) {
        const Bytes whole = readBytes(dataFile(name));
        ASSERT_FALSE(whole.empty()) << name;
        for (std::size_t n = 0; n < whole.size(); ++n) {
            const std::string expected = n < 8 ? texts::badBitmap : texts::streamRead;
            try {
                (void)readPng(std::span(whole).first(n));
                ADD_FAILURE() << name << " cut to " << n << " bytes decoded";
            } catch (const ImageError& e) {
                EXPECT_EQ(e.what(), expected) << name << " cut to " << n << " bytes";
            }
        }
    }
}

// Offsets in a PNG file whose first chunk is IHDR.
constexpr std::size_t ihdrData = 16, ihdrCrc = 29;

std::size_t chunkOffset(const Bytes& file, const char* tag)
{
    const auto at = std::search(file.begin(), file.end(), tag, tag + 4);
    return std::size_t(at - file.begin()) - 4; // the length field before the tag
}

void put32be(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = std::uint8_t(v >> (24 - 8 * i));
}

// Rewrites the checksum of the chunk starting at `offset`, after its data changed.
void fixCrc(Bytes& b, std::size_t offset)
{
    const std::uint32_t length =
        std::uint32_t(b[offset]) << 24 | b[offset + 1] << 16 | b[offset + 2] << 8 | b[offset + 3];
    const auto crc = crc32(0, b.data() + offset + 4, 4 + length);
    put32be(b, offset + 8 + length, std::uint32_t(crc));
}

void setSize(Bytes& b, std::uint32_t width, std::uint32_t height)
{
    put32be(b, ihdrData, width);
    put32be(b, ihdrData + 4, height);
    fixCrc(b, 8);
}

enum class Failure { BadBitmap, ReadError, PngError };

struct DamageCase {
    const char* name;
    void (*damage)(Bytes&);
    Failure failure;
};

class PngDamage : public ::testing::TestWithParam<DamageCase> {};

TEST_P(PngDamage, FailsWithOneLineOfText)
{
    Bytes file = readBytes(dataFile("png/rgba8.png"));
    GetParam().damage(file);
    try {
        (void)readPng(file);
        FAIL() << "decoded";
    } catch (const ImageError& e) {
        const std::string text = e.what();
        if (GetParam().failure == Failure::BadBitmap)
            EXPECT_EQ(text, texts::badBitmap);
        else if (GetParam().failure == Failure::ReadError)
            EXPECT_EQ(text, texts::streamRead);
        else
            EXPECT_EQ(text.rfind("Erreur PNG : ", 0), 0u) << text;
        EXPECT_EQ(text.find('\n'), std::string::npos) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PngDamage,
    ::testing::Values(
        DamageCase{"no_signature", [](Bytes& b) { b[1] = 'p'; }, Failure::BadBitmap},
        DamageCase{"header_checksum", [](Bytes& b) { b[ihdrCrc] ^= 1; }, Failure::PngError},
        DamageCase{"image_data_checksum", [](Bytes& b) { b[chunkOffset(b, "IDAT") + 12] ^= 0x10; },
                   Failure::PngError},
        DamageCase{"image_data_not_deflate",
                   [](Bytes& b) {
                       const std::size_t idat = chunkOffset(b, "IDAT");
                       std::fill_n(b.begin() + std::ptrdiff_t(idat) + 8, 6, 0xEE);
                       fixCrc(b, idat);
                   },
                   Failure::PngError},
        DamageCase{"too_little_image_data", [](Bytes& b) { setSize(b, 13, 40); }, Failure::PngError},
        // Within the budget, but more than the data left could inflate to.
        DamageCase{"claim_beyond_the_data", [](Bytes& b) { setSize(b, 4000, 4000); }, Failure::ReadError},
        DamageCase{"claim_beyond_the_budget", [](Bytes& b) { setSize(b, 65536, 65536); }, Failure::BadBitmap},
        DamageCase{"side_no_budget_holds", [](Bytes& b) { setSize(b, 0x7FFFFFFF, 1); }, Failure::PngError},
        DamageCase{"zero_width", [](Bytes& b) { setSize(b, 0, 11); }, Failure::PngError},
        DamageCase{"bit_depth_3",
                   [](Bytes& b) {
                       b[ihdrData + 8] = 3;
                       fixCrc(b, 8);
                   },
                   Failure::PngError},
        DamageCase{"unknown_critical_chunk", [](Bytes& b) { b[chunkOffset(b, "IDAT") + 7] = 'X'; },
                   Failure::PngError}),
    CaseName());

TEST(PngFile, WhatIsNoFileFailsToOpen)
{
    TempFolder folder;
    for (const fs::path& path : {folder / "missing.png", folder.dir()}) {
        try {
            (void)readPngFile(path.string());
            ADD_FAILURE() << path << " decoded";
        } catch (const ImageError& e) {
            EXPECT_EQ(std::string(e.what()), formatText(texts::cannotOpen, path.c_str()));
        }
    }
}

} // namespace
} // namespace tintora::test
