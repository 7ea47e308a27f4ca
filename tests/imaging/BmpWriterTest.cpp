// The BMP writer: exact bytes, round trips through the reader, safe replacement.
#include "imaging/BmpWriter.h"
#include "BmpTestBytes.h"
#include "imaging/BmpReader.h"
#include "imaging/ImageError.h"
#include "support/CaseName.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tintora {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

std::string errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ImageError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(BmpWriter, OnePixelWorkingBitmapIs58Bytes)
{
    Bitmap bmp(1, 1, PixelFormat::Bits24);
    bmp.setPixel(0, 0, makeColor(0x11, 0x22, 0x33));
    const std::vector<std::uint8_t> expected =
        Bytes()
            .raw({'B', 'M'})
            .u32(58)
            .u16(0)
            .u16(0)
            .u32(54) // file header: size, reserved, offset
            .u32(40)
            .i32(1)
            .i32(1)
            .u16(1)
            .u16(24) // info header: size, 1x1, planes, 24 bits
            .u32(0)
            .u32(4)
            .i32(0)
            .i32(0)
            .u32(0)
            .u32(0)                      // no compression, 4-byte image, no resolution or table
            .raw({0x33, 0x22, 0x11, 0}); // blue, green, red, padding
    EXPECT_EQ(encodeBmp(bmp), expected);
}

TEST(BmpWriter, EightBitFileKeepsTableAndResolutionUnchanged)
{
    Bytes file;
    file.raw({'B', 'M'}).u32(54 + 1024 + 4).u16(0).u16(0).u32(54 + 1024);
    file.infoHeader(3, 1, 8, 0, 256, 4); // resolution 2835 x 2835, 256 entries, image size 4
    for (int i = 0; i < 256; ++i)
        file.raw({std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i / 2), 0});
    file.raw({7, 200, 255, 0});
    const BmpImage image = readBmpImage(file);
    EXPECT_EQ(encodeBmp(image.bitmap, image.facts, PixelsSinceRead::Unchanged), file.data());

    // Converted to 24 bits, the former table follows the header as a palette.
    Bitmap working = image.bitmap;
    working.convertTo24();
    EXPECT_EQ(working.pixelFormat(), PixelFormat::Bits24);
    const auto bytes = encodeBmp(working, image.facts, PixelsSinceRead::Changed);
    ASSERT_EQ(bytes.size(), 54u + 1024 + 12);
    EXPECT_EQ(bytes[10] | bytes[11] << 8, 54 + 1024);             // offset past the table
    EXPECT_EQ(bytes[28], 24);                                     // bits per pixel
    EXPECT_EQ(bytes[38], 0);                                      // resolution of a converted bitmap
    EXPECT_EQ(bytes[46] | bytes[47] << 8, 256);                   // colours used
    EXPECT_EQ(bytes[54 + 4 * 200 + 1], 55);                       // entry 200 green = 255 - 200
    const std::uint8_t* pixel = bytes.data() + 54 + 1024 + 3 * 1; // second pixel, index 200
    EXPECT_EQ(pixel[0], 200);
    EXPECT_EQ(pixel[1], 55);
    EXPECT_EQ(pixel[2], 100);
}

// --- Write-back from the reader's facts ----------------------------------------

// A 2 x 2 24-bit file stored top-down, at 2835 pixels per metre.
std::vector<std::uint8_t> topDownFile()
{
    Bytes b;
    b.fileHeader(54).infoHeader(2, -2, 24);
    b.raw({0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0, 0}); // top row: red, blue, padding
    b.raw({0x00, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0, 0}); // bottom row: green, white, padding
    return b;
}

std::int32_t field32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return std::int32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24);
}

struct WriteBackCase {
    const char* name;
    std::function<void(Bitmap&)> edit;
    bool withFacts;
    PixelsSinceRead pixels;
    std::int32_t heightField; // negative: written top-down
    std::int32_t xPelsPerMeter;
};

class BmpWriteBack : public ::testing::TestWithParam<WriteBackCase> {};

// The writer alone decides from the facts what of the file it keeps.
TEST_P(BmpWriteBack, KeepsWhatTheFactsStillDescribe)
{
    const WriteBackCase& c = GetParam();
    BmpImage image = readBmpImage(topDownFile());
    c.edit(image.bitmap);
    const BmpFileFacts none;
    const auto bytes = encodeBmp(image.bitmap, c.withFacts ? image.facts : none, c.pixels);
    EXPECT_EQ(field32(bytes, 22), c.heightField);
    EXPECT_EQ(field32(bytes, 38), c.xPelsPerMeter);
    const Bitmap again = readBmp(bytes);
    for (int y = 0; y < image.bitmap.height(); ++y)
        for (int x = 0; x < image.bitmap.width(); ++x)
            EXPECT_EQ(again.pixel(x, y), image.bitmap.pixel(x, y)) << x << "," << y;
}

const WriteBackCase writeBackCases[] = {
    {"unchanged", [](Bitmap&) {}, true, PixelsSinceRead::Unchanged, -2, 2835},
    {"changed", [](Bitmap& b) { b.setPixel(1, 1, makeColor(1, 2, 3)); }, true, PixelsSinceRead::Changed, 2,
     2835},
    {"withoutFacts", [](Bitmap&) {}, false, PixelsSinceRead::Unchanged, 2, 0},
    {"otherSize", [](Bitmap& b) { b.setSize(3, 2); }, true, PixelsSinceRead::Unchanged, 2, 0},
    {"otherFormat", [](Bitmap& b) { b.setFormat(PixelFormat::Bits32); }, true, PixelsSinceRead::Unchanged, 2,
     0},
};
INSTANTIATE_TEST_SUITE_P(Cases, BmpWriteBack, ::testing::ValuesIn(writeBackCases), test::CaseName());

TEST(BmpWriter, KeptRunLengthDataNeverUndoesAnEdit)
{
    Bytes file;
    file.fileHeader(54 + 8).infoHeader(2, 1, 8, 1, 2); // 2 x 1, BI_RLE8, two entries
    file.raw({0, 0, 0, 0, 50, 50, 50, 0});             // black, grey 50
    file.raw({2, 1, 0, 1});                            // two pixels of entry 1, end of bitmap
    BmpImage image = readBmpImage(file);
    image.bitmap.setPixel(1, 0, makeColor(9, 9, 9));
    // Facts that wrongly claim unchanged pixels: their codes would bring the grey back.
    const auto bytes = encodeBmp(image.bitmap, image.facts, PixelsSinceRead::Unchanged);
    EXPECT_EQ(field32(bytes, 30), 0); // written anew, BI_RGB
    const Bitmap again = readBmp(bytes);
    EXPECT_EQ(again.pixel(0, 0), makeColor(50, 50, 50));
    EXPECT_EQ(again.pixel(1, 0), makeColor(9, 9, 9));
}

// --- Round trips on synthetic gradients ---------------------------------------

struct FormatCase {
    const char* name;
    PixelFormat format;
    int bpp;
    ColorMasks masks;
};

class BmpRoundTrip : public ::testing::TestWithParam<FormatCase> {};

Bitmap gradient(const FormatCase& c, int w, int h)
{
    Bitmap bmp;
    bmp.setFormat(c.format, c.bpp);
    bmp.setSize(w, h);
    if (c.format == PixelFormat::Custom)
        bmp.masks() = c.masks;
    if (c.bpp <= 8) {
        auto& table = bmp.colorTable();
        for (std::size_t i = 0; i < table.size(); ++i)
            table[i] = RGBQuad{std::uint8_t(i * 7), std::uint8_t(255 - i), std::uint8_t(i * 3), 0};
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bmp.setPixel(x, y, makeColor(x * 255 / (w - 1), y * 255 / (h - 1), (x + y) * 4));
    return bmp;
}

TEST_P(BmpRoundTrip, ReaderGivesBackEveryPixel)
{
    const FormatCase& c = GetParam();
    for (int w : {1, 2, 3, 5, 17}) {
        const Bitmap bmp = gradient(c, std::max(w, 2), 3);
        const Bitmap again = readBmp(encodeBmp(bmp));
        ASSERT_EQ(again.pixelFormat(), c.format) << w;
        ASSERT_EQ(again.width(), bmp.width());
        EXPECT_EQ(again.colorTable(), bmp.colorTable());
        for (int y = 0; y < bmp.height(); ++y)
            for (int x = 0; x < bmp.width(); ++x)
                ASSERT_EQ(again.pixel(x, y), bmp.pixel(x, y)) << c.name << " " << x << "," << y;
        // Through 24 bits both give the same picture as well.
        Bitmap a = bmp, b = again;
        a.convertTo24();
        b.convertTo24();
        ASSERT_EQ(encodeBmp(a), encodeBmp(b));
    }
}

const FormatCase formatCases[] = {
    {"bits1", PixelFormat::Bits1, 1, {}},
    {"bits4", PixelFormat::Bits4, 4, {}},
    {"bits8", PixelFormat::Bits8, 8, {}},
    {"bits15", PixelFormat::Bits15, 16, {}},
    {"bits16", PixelFormat::Bits16, 16, {}},
    {"bits24", PixelFormat::Bits24, 24, {}},
    {"bits32", PixelFormat::Bits32, 32, {}},
    {"custom16", PixelFormat::Custom, 16, {0x000F, 0x00F0, 0x0F00}},
    {"custom32", PixelFormat::Custom, 32, {0x000000FF, 0x0000FF00, 0x00FF0000}},
};
INSTANTIATE_TEST_SUITE_P(Formats, BmpRoundTrip, ::testing::ValuesIn(formatCases), test::CaseName());

TEST(BmpWriter, GradientSurvivesAFileRoundTrip)
{
    TempFolder folder;
    const Bitmap bmp = gradient({"bits24", PixelFormat::Bits24, 24, {}}, 300, 200);
    const fs::path path = folder / "gradient.bmp";
    writeBmpFile(bmp, path.string());
    EXPECT_EQ(fs::file_size(path), 54u + 900 * 200);
    EXPECT_EQ(readBytes(path), encodeBmp(bmp));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"gradient.bmp"});
}

// --- Replacing files safely -------------------------------------------------------

const std::vector<std::uint8_t> oldBytes = {'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e'};

TEST(BmpWriter, ReplacesAnExistingFileAndItsMode)
{
    TempFolder folder;
    const fs::path path = folder / "skin.bmp";
    writeBytes(path, oldBytes);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const Bitmap bmp(4, 4, PixelFormat::Bits24);
    writeBmpFile(bmp, path.string());
    EXPECT_EQ(readBytes(path), encodeBmp(bmp));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"skin.bmp"});
}

TEST(BmpWriter, WritesThroughALink)
{
    TempFolder folder;
    writeBytes(folder / "real.bmp", oldBytes);
    fs::create_symlink(folder / "real.bmp", folder / "link.bmp");
    const Bitmap bmp(2, 2, PixelFormat::Bits24);
    writeBmpFile(bmp, (folder / "link.bmp").string());
    EXPECT_TRUE(fs::is_symlink(folder / "link.bmp"));
    EXPECT_EQ(readBytes(folder / "real.bmp"), encodeBmp(bmp));
}

TEST(BmpWriter, TargetThatIsAFolderStaysAndNoTemporaryRemains)
{
    TempFolder folder;
    fs::create_directory(folder / "taken.bmp");
    writeBytes(folder / "taken.bmp" / "inside", oldBytes);
    const std::string target = (folder / "taken.bmp").string();
    EXPECT_EQ(errorOf([&] { writeBmpFile(Bitmap(2, 2, PixelFormat::Bits24), target); }),
              formatText(texts::cannotCreate, target.c_str()));
    EXPECT_EQ(readBytes(folder / "taken.bmp" / "inside"), oldBytes);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"taken.bmp"});
}

TEST(BmpWriter, MissingFolderFailsToCreate)
{
    TempFolder folder;
    writeBytes(folder / "plain", oldBytes);
    for (const fs::path& target : {folder / "absent" / "x.bmp", folder / "plain" / "x.bmp"}) {
        EXPECT_EQ(errorOf([&] { writeBmpFile(Bitmap(2, 2, PixelFormat::Bits24), target.string()); }),
                  formatText(texts::cannotCreate, target.string().c_str()));
    }
    EXPECT_EQ(folder.names(), std::vector<std::string>{"plain"});
}

// Root may write anywhere, so as root the action runs in a child process
// under the unprivileged "nobody" user. Gives the action's error text.
std::string errorAsUnprivileged(const std::function<void()>& action)
{
    if (::geteuid() != 0)
        return errorOf(action);
    int fds[2];
    if (::pipe(fds) != 0)
        return "(no pipe)";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        const std::string text = errorOf(action);
        const bool sent = ::write(fds[1], text.data(), text.size()) == ssize_t(text.size());
        ::_exit(sent ? 0 : 3);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, std::size_t(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "(child failed)";
}

TEST(BmpWriter, UnwritableFolderKeepsTheOldFile)
{
    TempFolder folder;
    const fs::path path = folder / "skin.bmp";
    writeBytes(path, oldBytes);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    fs::permissions(folder.dir(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
    EXPECT_EQ(errorAsUnprivileged([&] { writeBmpFile(Bitmap(2, 2, PixelFormat::Bits24), path.string()); }),
              formatText(texts::cannotCreate, path.string().c_str()));
    EXPECT_EQ(readBytes(path), oldBytes);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"skin.bmp"});
}

TEST(BmpWriter, ReadOnlyFileIsNotReplaced)
{
    TempFolder folder;
    const fs::path path = folder / "skin.bmp";
    writeBytes(path, oldBytes);
    fs::permissions(path, fs::perms::owner_read | fs::perms::others_read);
    fs::permissions(folder.dir(), fs::perms::all); // the folder itself may be written
    EXPECT_EQ(errorAsUnprivileged([&] { writeBmpFile(Bitmap(2, 2, PixelFormat::Bits24), path.string()); }),
              formatText(texts::cannotCreate, path.string().c_str()));
    EXPECT_EQ(readBytes(path), oldBytes);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"skin.bmp"});
}

// A file size limit makes the write stop part-way, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST(BmpWriter, WriteStoppingShortKeepsTheOldFile)
{
    TempFolder folder;
    const fs::path path = folder / "skin.bmp";
    writeBytes(path, oldBytes);
    const Bitmap big(512, 512, PixelFormat::Bits24);
    std::string error;
    {
        FileSizeLimit limit(4096);
        error = errorOf([&] { writeBmpFile(big, path.string()); });
    }
    EXPECT_EQ(error, texts::streamWrite);
    EXPECT_EQ(readBytes(path), oldBytes);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"skin.bmp"});
}

TEST(BmpWriter, FullDeviceGivesTheWriteError)
{
    std::FILE* full = std::fopen("/dev/full", "wb");
    if (!full)
        GTEST_SKIP() << "no /dev/full";
    std::setvbuf(full, nullptr, _IONBF, 0);
    EXPECT_EQ(errorOf([&] { writeBmp(Bitmap(8, 8, PixelFormat::Bits24), full); }), texts::streamWrite);
    std::fclose(full);
}

} // namespace
} // namespace tintora
