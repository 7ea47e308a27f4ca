// tintora-batch: the window's recolouring, without the window.
#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"

#include <iostream>
#include <stdexcept>

int main(int argc, char** argv)
{
    using namespace tintora::batch;
    BatchOptions options;
    try {
        options = parseBatchArguments(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& e) {
        std::cerr << "tintora-batch: " << e.what() << "\n" << batchUsage();
        return 2;
    }
    if (options.help) {
        std::cout << batchUsage();
        return 0;
    }
    return runBatch(options, std::cout, std::cerr) > 0 ? 1 : 0;
}
