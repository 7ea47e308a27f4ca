#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "imaging/BmpWriter.h"
#include "imaging/Picture.h"
#include "imaging/PngImage.h"
#include "imaging/Readers.h"
#include "support/Files.h"

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

namespace tintora::batch {
namespace {

namespace fs = std::filesystem;

BatchOptions parse(std::vector<std::string> args) { return parseBatchArguments(args); }

TEST(BatchArguments, ReadsSettingsAndClampsThemLikeTheGauges)
{
    const BatchOptions o = parse({"--hue", "400", "--sat", "-5", "--bright", "-300", "--exclude", "00ff7F",
                                  "--icon-size", "48", "--out", "dir", "--overwrite", "a.bmp", "b.jpg"});
    EXPECT_EQ(o.settings.hue, 360);
    EXPECT_EQ(o.settings.saturation, 0);
    EXPECT_EQ(o.settings.brightness, -255);
    EXPECT_EQ(o.settings.excluded, makeColor(0, 255, 127));
    EXPECT_EQ(o.iconSize, 48);
    EXPECT_EQ(o.outDir, "dir");
    EXPECT_TRUE(o.overwrite);
    EXPECT_EQ(o.paths, (std::vector<std::string>{"a.bmp", "b.jpg"}));
}

TEST(BatchArguments, RejectsWhatItCannotUse)
{
    const std::vector<std::vector<std::string>> bad = {
        {},                            // no files
        {"--hue"},                     // missing value
        {"--hue", "12x", "a.bmp"},     // junk after the number
        {"--exclude", "red", "a.bmp"}, // not RRGGBB
        {"--icon-size", "0", "a.bmp"}, // out of range
        {"--frobnicate", "a.bmp"},     // unknown option
        {"--format", "gif", "a.bmp"},  // a format it does not write
        {"--filter", "/no/such/file.tnf", "a.bmp"},
    };
    for (const auto& args : bad)
        EXPECT_THROW(parse(args), std::invalid_argument) << (args.empty() ? "" : args[0]);
    EXPECT_TRUE(parse({"--help"}).help);
}

// The GNU forms: "--name=value", bundled flags, options after the files, and
// "--" before names that start with a dash.
TEST(BatchArguments, ReadsTheGnuFormsOfTheRunOptions)
{
    const struct {
        std::vector<std::string> args;
        bool recursive, dryRun, quiet;
        std::string outDir;
        std::vector<std::string> paths;
    } cases[] = {
        {{"a.bmp"}, false, false, false, "", {"a.bmp"}},
        {{"-rnq", "skins"}, true, true, true, "", {"skins"}},
        {{"skins", "--recursive", "--dry-run", "--quiet"}, true, true, true, "", {"skins"}},
        {{"-r", "--out=o=p", "skins"}, true, false, false, "o=p", {"skins"}},
        {{"--out", "-r", "skins"}, false, false, false, "-r", {"skins"}},
        {{"-q", "--", "-r", "--out=x", "-"}, false, false, true, "", {"-r", "--out=x", "-"}},
    };
    for (const auto& c : cases) {
        const BatchOptions o = parse(c.args);
        EXPECT_EQ(std::tuple(o.recursive, o.dryRun, o.quiet, o.outDir, o.paths),
                  std::tuple(c.recursive, c.dryRun, c.quiet, c.outDir, c.paths))
            << c.args[0];
    }
    EXPECT_EQ(parse({"--bright=-20", "x.gif"}).settings.brightness, -20);
    EXPECT_TRUE(parse({"--version"}).version);
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--quiet=yes", "a.bmp"}, {"-rx", "a.bmp"}, {"--hue=", "a.bmp"}, {"a.bmp", "--out"}, {"-r"}})
        EXPECT_THROW(parse(bad), std::invalid_argument) << bad[0];
}

TEST(BatchArguments, FilterFileUsesTheImportRules)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("f.tnf").toStdString();
    std::ofstream(path, std::ios::binary) << "400, 20,-300\r\nignored\r\n";
    const BatchOptions o = parse({"--filter", path, "x.gif"});
    EXPECT_EQ(o.settings.hue, 360);
    EXPECT_EQ(o.settings.saturation, 20);
    EXPECT_EQ(o.settings.brightness, -255);
    EXPECT_THROW(parse({"--filter", path, "--hue", "3", "x.gif"}), std::invalid_argument);
}

class BatchRunTest : public ::testing::Test {
protected:
    void SetUp() override { registerStandardReaders(); }
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    void writeImage(const char* name, ColorValue colour)
    {
        Bitmap b(5, 3, PixelFormat::Bits24);
        fillRect(b, Rect{0, 0, 5, 3}, colour);
        b.setPixel(0, 0, clMagenta);
        writeBmpFile(b, path(name));
    }
    static Bitmap read(const std::string& file)
    {
        Picture p;
        p.loadFromFile(file);
        return p.toBitmap();
    }
    // One pixel through the window's save pass.
    static ColorValue expected(ColorValue colour, const BatchOptions& o)
    {
        Bitmap b(1, 1, PixelFormat::Bits24);
        b.setPixel(0, 0, colour);
        applySavePass(b, o.settings);
        return b.pixel(0, 0);
    }
    static std::string bytes(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    QTemporaryDir dir;
    std::ostringstream out, errors;
};

TEST_F(BatchRunTest, RecoloursIntoTheOutputFolderAndSparesTheKeyColour)
{
    writeImage("a.bmp", makeColor(200, 120, 40));
    fs::create_directory(path("out"));
    BatchOptions o = parse({"--hue", "180", "--sat", "100", "--out", path("out"), path("a.bmp")});
    EXPECT_EQ(runBatch(o, out, errors), (BatchCounts{1, 0, 0}));
    const Bitmap result = read(path("out/a.bmp"));
    EXPECT_EQ(result.pixelFormat(), PixelFormat::Bits24);
    EXPECT_EQ(result.pixel(0, 0), clMagenta);
    const ColorValue c = result.pixel(3, 2);
    EXPECT_EQ(std::max({redOf(c), greenOf(c), blueOf(c)}), 200); // value kept
    EXPECT_LT(redOf(c), greenOf(c));                             // turned towards cyan
    EXPECT_EQ(greenOf(c), blueOf(c));
    EXPECT_EQ(c, expected(makeColor(200, 120, 40), o));
    EXPECT_TRUE(errors.str().empty());
}

// A PNG skin stays a PNG skin with its alpha; --format turns any source into
// either format, the colours always those of the BMP path.
TEST_F(BatchRunTest, WritesEachSourceInItsFormatOrTheOneAskedFor)
{
    fs::copy_file(test::dataFile("png/rgba8.png"), path("skin.png"));
    writeImage("a.bmp", makeColor(200, 120, 40));
    fs::create_directory(path("out"));
    const PngImage source = readPngFile(path("skin.png"));
    ASSERT_TRUE(source.hasTransparency());
    struct Case {
        std::vector<std::string> format;
        const char *png, *bmp; // targets of skin.png and a.bmp in out/
    };
    for (const Case& c :
         {Case{{}, "out/skin.png", "out/a.bmp"}, Case{{"--format", "bmp"}, "out/skin.bmp", "out/a.bmp"},
          Case{{"--format=png"}, "out/skin.png", "out/a.png"}}) {
        std::vector<std::string> args = {"--hue", "100", "--sat", "80", "--overwrite", "--out", path("out")};
        args.insert(args.end(), c.format.begin(), c.format.end());
        args.insert(args.end(), {path("skin.png"), path("a.bmp")});
        const BatchOptions o = parse(args);
        EXPECT_EQ(runBatch(o, out, errors), (BatchCounts{2, 0, 0})) << errors.str();
        Bitmap expectedColors = source.colors;
        applySavePass(expectedColors, o.settings);
        const std::string png = path(c.png), bmp = path(c.bmp);
        const Bitmap colors = png.ends_with(".png") ? readPngFile(png).colors : read(png);
        ASSERT_EQ(colors.byteSize(), expectedColors.byteSize()) << png;
        EXPECT_TRUE(std::equal(colors.bits(), colors.bits() + colors.byteSize(), expectedColors.bits()))
            << png;
        if (png.ends_with(".png")) {
            EXPECT_EQ(readPngFile(png).alpha, source.alpha);
        }
        const ColorValue c32 =
            bmp.ends_with(".png") ? readPngFile(bmp).colors.pixel(3, 2) : read(bmp).pixel(3, 2);
        EXPECT_EQ(c32, expected(makeColor(200, 120, 40), o)) << bmp;
    }
}

TEST_F(BatchRunTest, KeepsTheHeaderOfATwentyFourBitSourceButWritesItsRowsBottomUp)
{
    // clang-format off
    const unsigned char file[] = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // BITMAPFILEHEADER: 70 bytes, rows at 54
        40, 0, 0, 0, 2, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, // BITMAPINFOHEADER: 40 bytes, 2 x -2 (top-down)
        1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0,           // 1 plane, 24 bits, BI_RGB, 16 bytes of rows
        0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0,             // 2835 pixels a metre both ways
        0, 0, 0, 0, 0, 0, 0, 0,                         // no colour table
        40, 120, 200, 255, 0, 255, 0, 0,                // top row: (200, 120, 40), magenta, padding
        40, 120, 200, 40, 120, 200, 0, 0};              // bottom row: (200, 120, 40) twice, padding
    // clang-format on
    const std::string topDown(std::begin(file), std::end(file));
    std::ofstream(path("t.bmp"), std::ios::binary) << topDown;
    fs::create_directory(path("out"));
    BatchOptions o = parse({"--hue", "180", "--sat", "100", "--out", path("out"), path("t.bmp")});
    EXPECT_EQ(runBatch(o, out, errors), (BatchCounts{1, 0, 0}));
    const std::string written = bytes(path("out/t.bmp"));
    ASSERT_EQ(written.size(), 70u);
    EXPECT_EQ(written.substr(22, 4), std::string({2, 0, 0, 0})); // height 2: rows bottom-up
    EXPECT_EQ(written.substr(38, 8), topDown.substr(38, 8));     // resolution kept
    const Bitmap result = read(path("out/t.bmp"));
    EXPECT_EQ(result.pixel(1, 0), clMagenta);
    EXPECT_EQ(result.pixel(0, 1), expected(makeColor(200, 120, 40), o));
}

TEST_F(BatchRunTest, NeverReplacesAFileWithoutOverwrite)
{
    writeImage("a.bmp", makeColor(10, 20, 30));
    const std::string before = bytes(path("a.bmp"));
    BatchOptions o = parse({"--bright", "50", path("a.bmp"), path("missing.gif")});
    EXPECT_EQ(runBatch(o, out, errors), (BatchCounts{0, 1, 1}));
    EXPECT_EQ(bytes(path("a.bmp")), before);
    const std::string report = errors.str();
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2) << report;
    EXPECT_NE(report.find("already exists"), std::string::npos);

    o.overwrite = true;
    o.paths = {path("a.bmp")};
    EXPECT_EQ(runBatch(o, out, errors), (BatchCounts{1, 0, 0}));
    EXPECT_EQ(read(path("a.bmp")).pixel(1, 1), expected(makeColor(10, 20, 30), o));
}

TEST_F(BatchRunTest, ABadFileFailsAloneWithTheReadersText)
{
    std::ofstream(path("broken.bmp"), std::ios::binary) << "BMnot really";
    writeImage("good.bmp", makeColor(1, 2, 3));
    fs::create_directory(path("out"));
    BatchOptions o = parse({"--out", path("out"), path("broken.bmp"), path("good.bmp")});
    EXPECT_EQ(runBatch(o, out, errors), (BatchCounts{1, 0, 1}));
    EXPECT_TRUE(fs::exists(path("out/good.bmp")));
    EXPECT_FALSE(fs::exists(path("out/broken.bmp")));
    EXPECT_NE(errors.str().find("broken.bmp: "), std::string::npos);
}

// What the window would show as an empty picture or a magenta square is a
// failure here: writing it would report nothing as a recoloured file.
TEST_F(BatchRunTest, AFileWithNothingToShowFails)
{
    // "GIF89a", a 0 x 0 screen without colour table, and the trailer: no frame at all.
    const std::string noFrames("GIF89a\0\0\0\0\0\0\0;", 14);
    // One 32 x 32 entry of 16 colours: an icon, but none of more than 16 colours.
    std::string fourBitIcon("\0\0\1\0\1\0"
                            "\x20\x20\x10\0\1\0\4\0"
                            "\xE8\2\0\0\x16\0\0\0",
                            22);
    fourBitIcon += std::string(744, '\0');
    const std::pair<const char*, std::string> files[] = {
        {"frameless.gif", noFrames},  {"empty.ico", ""},   {"photo.ico", "\xFF\xD8\xFF\xE0 not an icon"},
        {"sixteen.ico", fourBitIcon}, {"empty.exe", "MZ"},
    };
    BatchOptions o = parse({"--hue", "100", "placeholder"});
    o.paths.clear();
    for (const auto& [name, bytes] : files) {
        std::ofstream(path(name), std::ios::binary) << bytes;
        o.paths.push_back(path(name));
    }
    EXPECT_EQ(runBatch(o, out, errors).failed, int(std::size(files)));
    const std::string report = errors.str();
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), std::ptrdiff_t(std::size(files))) << report;
    for (const auto& [name, bytes] : files) {
        EXPECT_NE(report.find(std::string(name) + ": "), std::string::npos) << report;
        EXPECT_FALSE(fs::exists(path((fs::path(name).stem().string() + ".bmp").c_str()))) << name;
    }
    EXPECT_TRUE(out.str().empty());
}

// Files whose paths meet must run one after the other, in the order given:
// "p.gif" writes the "p.bmp" that comes after it, however either is spelt.
TEST(BatchChains, FilesThatShareAPathRunInOrderInOneChain)
{
    using Chains = std::vector<std::vector<std::size_t>>;
    const struct {
        std::vector<std::string> args;
        Chains chains;
    } cases[] = {
        {{"a.bmp", "b.gif", "c.jpg"}, {{0}, {1}, {2}}},
        {{"p.gif", "x.bmp", "./p.bmp"}, {{0, 2}, {1}}},
        {{"p.gif", "sub/../p.jpg", "q.bmp"}, {{0, 1}, {2}}},
        {{"--out", "o", "a/p.gif", "b/p.bmp", "o/p.bmp"}, {{0, 1, 2}}},
        {{"--out", "o", "a/p.gif", "a/q.gif"}, {{0}, {1}}},
    };
    for (const auto& c : cases) {
        const BatchOptions o = parseBatchArguments(c.args);
        EXPECT_EQ(fileChains(collectSources(o), o), c.chains) << c.args.back();
    }
}

// A folder reached through a link is the same folder: "x.gif" there and
// "x.jpg" here both write one x.bmp, and must not do it at the same time.
TEST(BatchChains, AFolderThroughALinkIsTheSameFolder)
{
    QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
    fs::create_directory(root / "a");
    fs::create_directory_symlink("a", root / "link");
    BatchOptions o;
    o.paths = {root / "a/x.gif", root / "link/x.jpg", root / "link/y.jpg"};
    EXPECT_EQ(fileChains(collectSources(o), o), (std::vector<std::vector<std::size_t>>{{0, 1}, {2}}));
}

// Many files, good and bad, through several workers: the lines come out in
// the order of the files, and every output is the one a single worker writes.
// The first file is large, so that the others finish before it.
TEST_F(BatchRunTest, WorkersKeepTheOrderOfTheFiles)
{
    std::vector<std::string> args = {"--hue", "300", "--sat", "70", "--bright", "-20"};
    std::string expectedOut, expectedErrors;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "f" + std::to_string(i) + (i % 7 == 3 ? ".gif" : ".bmp");
        if (i % 7 == 3)
            std::ofstream(path(name.c_str()), std::ios::binary) << "GIF89a broken";
        else if (i == 0)
            writeBmpFile(Bitmap(1500, 1000, PixelFormat::Bits24), path(name.c_str()));
        else
            writeImage(name.c_str(), makeColor(i * 6, 250 - i * 5, 17 * i));
        args.push_back(path(name.c_str()));
    }
    for (const char* folder : {"one", "many"}) {
        fs::create_directory(path(folder));
        BatchOptions o = parse(args);
        o.outDir = path(folder);
        std::ostringstream lines, failures;
        const unsigned workers = std::string(folder) == "one" ? 1 : 4;
        EXPECT_EQ(runBatch(o, lines, failures, nullptr, workers), (BatchCounts{34, 0, 6}));
        if (workers == 1) {
            expectedOut = lines.str(), expectedErrors = failures.str();
            continue;
        }
        std::string relabelled = expectedOut;
        for (std::size_t at; (at = relabelled.find("/one/")) != std::string::npos;)
            relabelled.replace(at, 5, "/many/");
        EXPECT_EQ(lines.str(), relabelled);
        EXPECT_EQ(failures.str(), expectedErrors);
    }
    for (int i = 0; i < 40; ++i) {
        const std::string name = "/f" + std::to_string(i) + ".bmp";
        EXPECT_EQ(bytes(path("many") + name), bytes(path("one") + name)) << name;
    }
    EXPECT_EQ(std::count(expectedOut.begin(), expectedOut.end(), '\n'), 34);
}

} // namespace
} // namespace tintora::batch
