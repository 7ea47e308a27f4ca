// Damaged copies of real files through tintora-batch, each in a process of its
// own: every one must end with the file written or one error line, and never
// with a signal, a runaway time or runaway memory.
#include "support/Files.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tintora::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr rlim_t cpuSecondsLimit = 20;
constexpr long residentLimitKiB = 2L << 20; // 2 GiB

struct Outcome {
    int status = 0;
    long maxResidentKiB = 0;
    std::string out, errors;
};

std::string readText(const fs::path& path)
{
    const Bytes bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Runs the batch tool on one file, with its output in files beside it.
Outcome runBatchTool(const fs::path& source, const fs::path& outDir)
{
    const fs::path out = outDir / "stdout", errors = outDir / "stderr";
    const std::string tool = std::string(TINTORA_BINARY_DIR) + "/src/tintora-batch";
    const pid_t child = fork();
    if (child == 0) {
        const rlimit cpu{cpuSecondsLimit, cpuSecondsLimit};
        setrlimit(RLIMIT_CPU, &cpu);
        if (!freopen(out.c_str(), "w", stdout) || !freopen(errors.c_str(), "w", stderr))
            _exit(120);
        execl(tool.c_str(), tool.c_str(), "--hue", "200", "--sat", "60", "--bright", "-10", "--out",
              outDir.c_str(), "--overwrite", "--quiet", source.c_str(), static_cast<char*>(nullptr));
        _exit(121);
    }
    Outcome o;
    rusage usage{};
    wait4(child, &o.status, 0, &usage);
    o.maxResidentKiB = usage.ru_maxrss;
    o.out = readText(out);
    o.errors = readText(errors);
    return o;
}

// Byte flips, a cut, or a header field set to a huge or negative value.
Bytes mutate(Bytes bytes, std::mt19937& random)
{
    const auto at = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    switch (random() % 3) {
    case 0:
        for (int k = 0; k < 1 + int(random() % 8); ++k)
            bytes[at(bytes.size())] = std::uint8_t(random());
        break;
    case 1:
        bytes.resize(at(bytes.size()));
        break;
    default: {
        static const std::uint32_t huge[] = {0x7FFFFFFFu, 0xFFFFFFFFu, 0x80000000u, 0x0000FFFFu, 0x00010000u};
        const std::size_t field = at(std::min<std::size_t>(bytes.size() - 4, 60));
        const std::uint32_t value = huge[random() % std::size(huge)];
        for (int b = 0; b < 4; ++b)
            bytes[field + std::size_t(b)] = std::uint8_t(value >> (8 * b));
    }
    }
    return bytes;
}

TEST(BatchMutations, EveryDamagedFileEndsCleanly)
{
    const char* sources[] = {
        "bmp/pal4.bmp",        "bmp/rgb24.bmp",     "gif/porsche.gif",       "gif/treescap-interlaced.gif",
        "jpeg/testimgint.jpg", "jpeg/testimgp.jpg", "ico/arrow-install.ico", "pe/zlib-x86-ansi"};
    TempFolder folder;
    const fs::path dir = folder.path().toStdString();
    std::mt19937 random(424242);
    int written = 0, failed = 0;
    for (const char* name : sources) {
        const Bytes original = readBytes(dataFile(name));
        ASSERT_GT(original.size(), 64u) << name;
        const std::string extension =
            fs::path(name).has_extension() ? fs::path(name).extension().string() : ".exe";
        for (int i = 0; i < 40; ++i) {
            const fs::path copy = dir / ("m" + std::to_string(i) + extension);
            writeBytes(copy, mutate(original, random));
            const Outcome o = runBatchTool(copy, dir);
            SCOPED_TRACE(std::string(name) + " mutation " + std::to_string(i));
            ASSERT_TRUE(WIFEXITED(o.status)) << "ended by signal " << WTERMSIG(o.status) << "\n" << o.errors;
            const int code = WEXITSTATUS(o.status);
            ASSERT_TRUE(code == 0 || code == 1) << code << "\n" << o.errors;
            const std::string& report = code == 0 ? o.out : o.errors;
            EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;
            EXPECT_EQ(report.rfind(code == 0 ? (dir / "m").string() : copy.string() + ": ", 0), 0u) << report;
            EXPECT_LE(o.maxResidentKiB, residentLimitKiB);
            (code == 0 ? written : failed) += 1;
        }
    }
    // Both ends are reached: the mutations are neither all harmless nor all fatal.
    EXPECT_GT(written, 20);
    EXPECT_GT(failed, 20);
}

} // namespace
} // namespace tintora::test
