// tintora-batch: the window's recolouring, without the window.
#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "batch/ProgressLine.h"

#include <clocale>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <unistd.h>

int main(int argc, char** argv)
{
    using namespace tintora::batch;
    // The progress line measures file names in the terminal's encoding.
    std::setlocale(LC_CTYPE, "");
    BatchOptions options;
    try {
        options = parseBatchArguments(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& e) {
        std::cerr << "tintora-batch: " << e.what() << "\n" << batchUsage();
        return 2;
    }
    if (options.help || options.version) {
        std::cout << (options.help ? batchUsage() : batchVersion());
        return 0;
    }
    BatchCounts counts;
    {
        std::optional<ProgressLine> progress;
        if (!options.quiet && isatty(STDERR_FILENO))
            progress.emplace(std::cerr, [] { return terminalColumns(STDERR_FILENO); });
        counts = runBatch(options, std::cout, std::cerr, progress ? &*progress : nullptr);
    }
    std::cout.flush();
    if (!options.quiet)
        std::cerr << summaryLine(counts, options.dryRun) << '\n';
    return exitStatus(counts);
}
