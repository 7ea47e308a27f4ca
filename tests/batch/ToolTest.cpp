// tintora-batch itself over trees of real files: what it writes where, what
// it tells on a terminal and in a pipe, and how it ends.
#include "batch/ToolRun.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace tintora::test {
namespace {

namespace fs = std::filesystem;

class BatchToolTest : public ::testing::Test {
protected:
    // Copies a fixture to a path below the temp folder, creating its folders.
    void copy(const std::string& fixture, const fs::path& to) const
    {
        fs::create_directories((root / to).parent_path());
        fs::copy_file(dataFile(fixture), root / to);
    }
    // Every entry below `folder` with its bytes ("" for a folder) and time.
    std::map<std::string, std::pair<std::vector<std::uint8_t>, fs::file_time_type>> snapshot() const
    {
        std::map<std::string, std::pair<std::vector<std::uint8_t>, fs::file_time_type>> entries;
        for (const auto& e : fs::recursive_directory_iterator(root))
            entries[e.path().string()] = {
                e.is_directory() ? std::vector<std::uint8_t>{} : readBytes(e.path()), e.last_write_time()};
        return entries;
    }
    TempFolder folder;
    const fs::path root = folder.dir();
};

// The summary is the last line on standard error.
std::string lastLine(const std::string& text)
{
    const std::vector<std::string> lines = linesOf(text);
    return lines.empty() ? "" : lines.back();
}

// Names with spaces, colons, a newline, bytes that are not UTF-8 and a leading
// dash; a link back to the walked folder; a file the walk must pass over.
TEST_F(BatchToolTest, MirrorsAWalkedTreeWithOddNamesAsDirectRunsWriteThem)
{
    const std::string walked = "-dash skins/";
    const struct {
        const char* fixture;
        std::string source, target; // below the walked folder, below the output folder
    } files[] = {
        // In the order of the walk: byte order of the names in each folder.
        {"ico/arrow-install.ico", "new\nline.ico", "new\nline.bmp"},
        {"bmp/rgb24.bmp", "plain.bmp", "plain.bmp"},
        {"gif/treescap.gif", "sub/deeper/.hidden.gif", "sub/deeper/.hidden.bmp"},
        {"gif/porsche.gif", "with space/colon:name.GIF", "with space/colon:name.bmp"},
        {"jpeg/testimgint.jpg", "\xff\xfe bytes.jpeg", "\xff\xfe bytes.bmp"},
    };
    std::vector<std::string> direct = {"--hue", "200", "--sat", "60", "--out", "direct", "--"};
    std::string listed;
    for (const auto& f : files) {
        copy(f.fixture, walked + f.source);
        direct.push_back(walked + f.source);
        listed += "out/" + f.target + '\n';
    }
    copy("bmp/pal8.bmp", walked + "notes.txt");
    fs::create_directory_symlink("..", root / walked / "sub/loop");
    fs::create_directory(root / "direct");

    const ToolRun run = runTool({"--hue", "200", "--sat", "60", "-r", "--out=out", "--", walked}, root);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.out, listed);
    EXPECT_EQ(run.errors, "tintora-batch: 5 written, 0 skipped, 0 failed\n");
    ASSERT_EQ(runTool(direct, root).status, 0);
    std::size_t outputs = 0;
    for (const auto& e : fs::recursive_directory_iterator(root / "out"))
        outputs += e.is_regular_file();
    EXPECT_EQ(outputs, std::size(files));
    for (const auto& f : files)
        EXPECT_EQ(readBytes(root / "out" / f.target),
                  readBytes(root / "direct" / fs::path(f.target).filename()))
            << f.target;
}

// The bar goes to a terminal only, fits it, and leaves nothing behind: what the
// terminal shows at the end is what a pipe receives.
TEST_F(BatchToolTest, ShowsProgressOnATerminalOnly)
{
    const std::string deep = "skins/a-long-folder-name/";
    for (const char* name : {"first-file-with-a-long-name.bmp", "second-file-with-a-long-name.gif"})
        copy(std::string(name).ends_with("bmp") ? "bmp/pal4.bmp" : "gif/porsche.gif", deep + name);
    copy("gif/zero-width-screen-small-frame.gif", "skins/b/empty.gif");
    copy("jpeg/testimgp.jpg", "skins/c.jpg");
    const int columns = 60;
    const ToolRun pipe = runTool({"-r", "--out", "o", "skins"}, root);
    const ToolRun terminal =
        runTool({"-r", "--out", "o", "--overwrite", "skins"}, root, ErrorsTo::Terminal, columns);
    const ToolRun quiet =
        runTool({"-rq", "--out", "o", "--overwrite", "skins"}, root, ErrorsTo::Terminal, columns);

    EXPECT_EQ(pipe.status, 1);
    EXPECT_EQ(pipe.errors, "skins/b/empty.gif: the picture has no pixels\n"
                           "tintora-batch: 3 written, 0 skipped, 1 failed\n");
    const std::regex bar(R"( *\d/4 \[[#-]+\] .*)");
    int bars = 0;
    for (const std::string& drawn : linesOf(std::regex_replace(terminal.out, std::regex("\r"), "\n"))) {
        if (!std::regex_match(drawn, bar))
            continue;
        ++bars;
        EXPECT_LT(drawn.size(), std::size_t(columns)) << drawn;
        EXPECT_NE(drawn.find("..."), std::string::npos) << "not cut: " << drawn;
    }
    EXPECT_GT(bars, 0) << terminal.out;
    EXPECT_EQ(terminal.status, 1);
    std::vector<std::string> expected = linesOf(pipe.out + pipe.errors);
    const auto sorted = [](std::vector<std::string> lines) {
        std::sort(lines.begin(), lines.end());
        return lines;
    };
    const std::vector<std::string> shown = screenLines(terminal.out, columns);
    EXPECT_EQ(sorted(shown), sorted(expected)) << terminal.out;
    EXPECT_EQ(shown.back(), "tintora-batch: 3 written, 0 skipped, 1 failed");

    expected.pop_back(); // no summary
    EXPECT_EQ(sorted(screenLines(quiet.out, columns)), sorted(expected)) << quiet.out;
    EXPECT_FALSE(std::regex_search(quiet.out, std::regex(R"(\d/4 \[)"))) << quiet.out;
}

// A dry run reads and writes nothing, and says what the run after it does:
// the same targets, the same files skipped (one that exists, one that a file
// before it writes).
TEST_F(BatchToolTest, DryRunListsWhatTheRunDoesAndChangesNothing)
{
    copy("gif/porsche.gif", "skins/x.gif");
    copy("jpeg/testimgint.jpg", "skins/x.jpg");
    copy("bmp/rgb24.bmp", "skins/sub/a.bmp");
    copy("gif/treescap.gif", "skins/sub/b.gif");
    copy("bmp/rgb16.bmp", "skins/sub/b.bmp");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-r", "skins"},
          std::vector<std::string>{"-r", "--out", "new/out", "skins"}}) {
        SCOPED_TRACE(args.size());
        const auto before = snapshot();
        std::vector<std::string> dryArgs = args;
        dryArgs.push_back("--dry-run");
        const ToolRun dry = runTool(dryArgs, root);
        EXPECT_EQ(snapshot(), before);
        const ToolRun real = runTool(args, root);
        EXPECT_EQ(dry.status, real.status);
        EXPECT_EQ(dry.out, real.out);
        std::vector<std::string> dryErrors = linesOf(dry.errors), realErrors = linesOf(real.errors);
        EXPECT_EQ(std::regex_replace(dryErrors.back(), std::regex(" to write"), " written"),
                  realErrors.back());
        dryErrors.pop_back(), realErrors.pop_back();
        EXPECT_EQ(dryErrors, realErrors);
    }
}

TEST_F(BatchToolTest, ExitStatusAndSummary)
{
    copy("bmp/rgb24.bmp", "good.bmp");
    std::ofstream(root / "broken.gif") << "GIF89a broken";
    fs::create_directories(root / "o" / "folder");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string lastError;
    } runs[] = {
        {{"--out", "o", "good.bmp"}, 0, "tintora-batch: 1 written, 0 skipped, 0 failed"},
        {{"--out", "o", "good.bmp"}, 1, "tintora-batch: 0 written, 1 skipped, 0 failed"},
        {{"--overwrite", "--out", "o", "good.bmp"}, 0, "tintora-batch: 1 written, 0 skipped, 0 failed"},
        {{"--out", "o", "--overwrite", "good.bmp", "broken.gif", "o"},
         1,
         "tintora-batch: 1 written, 0 skipped, 2 failed"},
        {{"-q", "broken.gif"}, 1, "broken.gif: the picture has no pixels"},
        {{"--out", "o", "--frobnicate", "good.bmp"}, 2, "tintora-batch: unknown option --frobnicate"},
        {{"-rx", "o"}, 2, "tintora-batch: unknown option -x"},
        {{"--hue"}, 2, "tintora-batch: --hue needs a value"},
    };
    for (const auto& r : runs) {
        const ToolRun run = runTool(r.args, root);
        EXPECT_EQ(run.status, r.status) << r.args[0] << run.errors;
        if (r.status == 2)
            EXPECT_EQ(linesOf(run.errors).front(), r.lastError);
        else
            EXPECT_EQ(lastLine(run.errors), r.lastError);
    }
    EXPECT_FALSE(fs::exists(root / "o" / "broken.bmp"));
}

TEST_F(BatchToolTest, AFolderThatCannotBeOpenedFailsAlone)
{
    copy("bmp/rgb24.bmp", "skins/a.bmp");
    copy("bmp/rgb24.bmp", "skins/locked/b.bmp");
    copy("bmp/rgb24.bmp", "skins/z.bmp");
    fs::permissions(root / "skins/locked", fs::perms::none);
    const ToolRun run = runTool({"-r", "--out", "o", "skins"}, root);
    fs::permissions(root / "skins/locked", fs::perms::owner_all);
    if (geteuid() == 0 && fs::exists(root / "o/locked/b.bmp"))
        GTEST_SKIP() << "root could not give up reading any folder here";
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "o/a.bmp\no/z.bmp\n");
    EXPECT_EQ(run.errors, "skins/locked: cannot open folder: Permission denied\n"
                          "tintora-batch: 2 written, 0 skipped, 1 failed\n");
}

TEST_F(BatchToolTest, VersionIsTheProjects)
{
    std::ifstream cmake(std::string(TINTORA_SOURCE_DIR) + "/CMakeLists.txt");
    const std::string text(std::istreambuf_iterator<char>(cmake), {});
    std::smatch version;
    ASSERT_TRUE(std::regex_search(text, version, std::regex(R"(project\(Tintora VERSION ([0-9.]+))")));
    EXPECT_EQ(runTool({"--version"}, root).out, "tintora-batch " + version[1].str() + "\n");
}

} // namespace
} // namespace tintora::test
