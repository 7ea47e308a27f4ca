// The manual page renders cleanly, and it, --help and the parser know the
// same options.
#include "batch/BatchOptions.h"
#include "batch/SourceWalk.h"
#include "batch/ToolRun.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace tintora::batch {
namespace {

using test::findProgram;
using test::runCommand;

const std::string manPage = std::string(TINTORA_BINARY_DIR) + "/docs/tintora-batch.1";

// In troff source a minus sign is written "\-".
std::string troff(const std::string& option) { return std::regex_replace(option, std::regex("-"), "\\-"); }

TEST(BatchManual, RendersWithoutWarnings)
{
    std::vector<std::string> command;
    if (const std::string groff = findProgram("groff"); !groff.empty())
        command = {groff, "-man", "-ww", "-z", manPage};
    else if (const std::string man = findProgram("man"); !man.empty())
        command = {man, "--warnings", "-l", manPage};
    else
        GTEST_SKIP() << "neither groff nor man is installed";
    const test::ToolRun run = runCommand(command, TINTORA_BINARY_DIR);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "");
}

TEST(BatchManual, NamesTheOptionsOfTheHelpAndNoOthers)
{
    std::ifstream in(manPage);
    const std::string page(std::istreambuf_iterator<char>(in), {});
    ASSERT_FALSE(page.empty()) << manPage;
    std::set<std::string> helpLongOptions;
    std::istringstream help(batchUsage());
    const std::regex optionLine(R"(^ +(?:(-[a-z]), )?(--[a-z-]+).*)");
    for (std::string line; std::getline(help, line);) {
        std::smatch m;
        if (!std::regex_match(line, m, optionLine))
            continue;
        helpLongOptions.insert(m[2]);
        for (const std::string& option : {m[1].str(), m[2].str()}) {
            if (option.empty())
                continue;
            EXPECT_NE(page.find(troff(option)), std::string::npos) << option << " is not in the manual";
            try {
                parseBatchArguments({option, "1", "x.bmp"});
            } catch (const std::invalid_argument& e) {
                EXPECT_FALSE(std::string(e.what()).starts_with("unknown option")) << e.what();
            }
        }
    }
    EXPECT_GE(helpLongOptions.size(), 13u);
    const std::regex manOption(R"(\\-\\-[a-z]+(?:\\-[a-z]+)*)");
    for (auto it = std::sregex_iterator(page.begin(), page.end(), manOption); it != std::sregex_iterator();
         ++it) {
        const std::string option = std::regex_replace(it->str(), std::regex(R"(\\-)"), "-");
        EXPECT_TRUE(helpLongOptions.contains(option)) << option << " is in the manual, not in --help";
    }
    std::istringstream extensions(readableExtensionList());
    for (std::string pattern; extensions >> pattern;)
        EXPECT_TRUE(std::regex_search(page, std::regex("\n\\.BR? \\" + pattern.substr(1) + "[ \n]")))
            << pattern << " is not in the manual's list";
}

} // namespace
} // namespace tintora::batch
