// Real BMP files nobody on the team wrote, checked against a second decoder.
#include "imaging/BmpReader.h"
#include "imaging/BmpWriter.h"
#include "imaging/ImageError.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <set>

namespace tintora {
namespace {

namespace fs = std::filesystem;

using test::readBytes;

const fs::path corpus = test::corpusRoot();

struct Rgb {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels; // red, green, blue, top row first
};

// Decodes with ImageMagick into a binary PPM; nothing when it is not installed.
std::optional<Rgb> referenceDecode(const fs::path& path)
{
    const std::string command = "convert '" + path.string() + "' -depth 8 ppm:- 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::vector<std::uint8_t> out;
    std::uint8_t chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        out.insert(out.end(), chunk, chunk + n);
    if (pclose(pipe) != 0 || out.size() < 2 || out[0] != 'P' || out[1] != '6')
        return std::nullopt;
    Rgb rgb;
    int maxValue = 0, consumed = 0;
    if (std::sscanf(reinterpret_cast<const char*>(out.data()), "P6 %d %d %d%n", &rgb.width, &rgb.height,
                    &maxValue, &consumed) != 3 ||
        maxValue != 255)
        return std::nullopt;
    rgb.pixels.assign(out.begin() + consumed + 1, out.end());
    return rgb;
}

// Largest channel difference between our decode and the reference.
int compareWithReference(const Bitmap& bmp, const Rgb& ref, std::string& where)
{
    int worst = 0;
    for (int y = 0; y < bmp.height(); ++y)
        for (int x = 0; x < bmp.width(); ++x) {
            const std::uint8_t* r = ref.pixels.data() + (std::size_t(y) * ref.width + x) * 3;
            const ColorValue c = bmp.pixel(x, y);
            const int d = std::max(
                {std::abs(redOf(c) - r[0]), std::abs(greenOf(c) - r[1]), std::abs(blueOf(c) - r[2])});
            if (d > worst) {
                worst = d;
                where = "at " + std::to_string(x) + "," + std::to_string(y);
            }
        }
    return worst;
}

void expectSameAsReference(const fs::path& path)
{
    SCOPED_TRACE(path.string());
    const auto ref = referenceDecode(path);
    if (!ref)
        GTEST_SKIP() << "no second decoder for " << path;
    const Bitmap bmp = readBmp(readBytes(path));
    ASSERT_EQ(bmp.width(), ref->width);
    ASSERT_EQ(bmp.height(), ref->height);
    ASSERT_EQ(ref->pixels.size(), std::size_t(bmp.width()) * bmp.height() * 3);
    std::string where;
    EXPECT_EQ(compareWithReference(bmp, *ref, where), 0) << where;
}

TEST(BmpCorpus, GoodSuiteFilesMatchASecondDecoder)
{
    const auto files = test::filesWithExtension(corpus / "bmpsuite/g", ".bmp");
    ASSERT_EQ(files.size(), 27u);
    for (const auto& path : files)
        expectSameAsReference(path);
}

TEST(BmpCorpus, InstallerAndLibraryBitmapsMatchASecondDecoder)
{
    std::vector<fs::path> files;
    for (const char* folder : {"nsis/Contrib/Graphics/Checks", "nsis/Contrib/Graphics/Header",
                               "nsis/Contrib/Graphics/Wizard", "libjpeg-turbo", "libjpeg-turbo/historical"})
        for (const auto& path : test::filesWithExtension(corpus / folder, ".bmp"))
            files.push_back(path);
    for (const char* name : {"hopper.bmp", "hopper_emboss.bmp", "hopper_rle8.bmp",
                             "hopper_rle8_grayscale.bmp", "rgb32bf-abgr.bmp", "rgb32bf-rgba.bmp"})
        files.push_back(corpus / "pillow" / name);
    ASSERT_GE(files.size(), 50u);
    for (const auto& path : files)
        expectSameAsReference(path);
}

bool isSystemText(const std::string& text) { return text == texts::badBitmap || text == texts::streamRead; }

// Decodes a file the way the workspace does; the error text, or "" when it decoded.
std::string tryDecode(const fs::path& path)
{
    try {
        BmpImage image = readBmpImage(readBytes(path));
        Bitmap& bmp = image.bitmap;
        // Every decoded bitmap must survive the rest of the road: 24 bits and a write.
        bmp.convertTo24();
        const Bitmap again = readBmp(encodeBmp(bmp, image.facts, PixelsSinceRead::Changed));
        EXPECT_EQ(again.width(), bmp.width()) << path;
        return "";
    } catch (const ImageError& e) {
        return e.what();
    }
}

TEST(BmpCorpus, QuestionableFilesDecodeOrFailCleanly)
{
    // Formats the display system cannot create; every other file decodes.
    const std::set<std::string> refused = {"pal1huffmsb.bmp", "pal2.bmp",     "pal2color.bmp",
                                           "rgb24jpeg.bmp",   "rgb24png.bmp", "rgb24rle24.bmp",
                                           "rgba32abf.bmp",   "rgba64.bmp"};
    const auto files = test::filesWithExtension(corpus / "bmpsuite/q", ".bmp");
    ASSERT_EQ(files.size(), 43u);
    for (const auto& path : files) {
        const std::string error = tryDecode(path);
        const std::string name = path.filename().string();
        if (refused.count(name))
            EXPECT_EQ(error, texts::badBitmap) << name;
        else
            EXPECT_EQ(error, "") << name;
    }
}

TEST(BmpCorpus, BadFilesFailWithTheirTextOrDecodeWithinBounds)
{
    // Files whose fault lies in a field this reader does not trust (file size,
    // image size, density, header length beyond 40 bytes), in pixel data that is
    // cut short or clipped, or in colour indices, still give a picture.
    const std::map<std::string, std::string> expected = {
        {"badbitcount.bmp", texts::badBitmap},
        {"badbitssize.bmp", ""},
        {"baddens1.bmp", ""},
        {"baddens2.bmp", ""},
        {"badfilesize.bmp", ""},
        {"badheadersize.bmp", ""},
        {"badpalettesize.bmp", texts::streamRead},
        {"badplanes.bmp", texts::badBitmap},
        {"badrle.bmp", ""},
        {"badrle4.bmp", ""},
        {"badrle4bis.bmp", ""},
        {"badrle4ter.bmp", ""},
        {"badrlebis.bmp", ""},
        {"badrleter.bmp", ""},
        {"badwidth.bmp", texts::badBitmap},
        {"pal8badindex.bmp", ""},
        {"reallybig.bmp", texts::badBitmap},
        {"rgb16-880.bmp", ""},
        {"rletopdown.bmp", texts::badBitmap},
        {"shortfile.bmp", ""},
    };
    const auto files = test::filesWithExtension(corpus / "bmpsuite/b", ".bmp");
    ASSERT_EQ(files.size(), expected.size());
    for (const auto& path : files) {
        const std::string error = tryDecode(path);
        EXPECT_TRUE(error.empty() || isSystemText(error)) << error;
        EXPECT_EQ(error, expected.at(path.filename().string())) << path.filename();
    }
}

TEST(BmpCorpus, QuestionableFilesThatBothDecodersAgreeOn)
{
    // Masks inside 52- and 56-byte headers and V4/V5 headers with alpha masks,
    // a gap before the pixels, short and oversized tables. Fields wider than
    // 8 bits are cut by us and rounded by the reference: one level apart.
    const std::pair<const char*, int> files[] = {
        {"pal1p1.bmp", 0},       {"pal8offs.bmp", 0},       {"pal8os2sp.bmp", 0},
        {"pal8os2v2-16.bmp", 0}, {"rgb16faketrns.bmp", 0},  {"rgb24largepal.bmp", 0},
        {"rgb24lprof.bmp", 0},   {"rgb24prof.bmp", 0},      {"rgb24prof2.bmp", 0},
        {"rgb32-xbgr.bmp", 0},   {"rgb32fakealpha.bmp", 0}, {"rgb32h52.bmp", 0},
        {"rgba16-5551.bmp", 0},  {"rgba32-1.bmp", 0},       {"rgba32-2.bmp", 0},
        {"rgba32h56.bmp", 0},    {"rgb32-111110.bmp", 1},   {"rgba32-1010102.bmp", 1},
        {"rgba32-81284.bmp", 1},
    };
    for (const auto& [name, tolerance] : files) {
        const fs::path path = corpus / "bmpsuite/q" / name;
        const auto ref = referenceDecode(path);
        if (!ref)
            GTEST_SKIP() << "no second decoder for " << name;
        const Bitmap bmp = readBmp(readBytes(path));
        ASSERT_EQ(bmp.width(), ref->width) << name;
        ASSERT_EQ(bmp.height(), ref->height) << name;
        std::string where;
        EXPECT_LE(compareWithReference(bmp, *ref, where), tolerance) << name << " " << where;
    }
}

TEST(BmpCorpus, HostilePillowFilesFailCleanly)
{
    EXPECT_EQ(tryDecode(corpus / "pillow/l2rgb_read.bmp"), texts::badBitmap); // 0x3030 planes
    // A run that overflows its row is clipped; the picture still decodes.
    EXPECT_EQ(tryDecode(corpus / "pillow/hopper_rle8_row_overflow.bmp"), "");
}

TEST(BmpCorpus, UnchangedFilesWriteBackToTheSamePixels)
{
    for (const auto& path : test::filesWithExtension(corpus / "bmpsuite/g", ".bmp")) {
        SCOPED_TRACE(path.filename().string());
        const BmpImage image = readBmpImage(readBytes(path));
        const Bitmap& bmp = image.bitmap;
        const BmpImage again = readBmpImage(encodeBmp(bmp, image.facts, PixelsSinceRead::Unchanged));
        ASSERT_EQ(again.bitmap.pixelFormat(), bmp.pixelFormat());
        EXPECT_EQ(again.bitmap.palette(), bmp.palette());
        EXPECT_EQ(again.facts.xPelsPerMeter, image.facts.xPelsPerMeter);
        for (int y = 0; y < bmp.height(); ++y)
            for (int x = 0; x < bmp.width(); ++x)
                ASSERT_EQ(again.bitmap.pixel(x, y), bmp.pixel(x, y)) << x << "," << y;
    }
}

} // namespace
} // namespace tintora
