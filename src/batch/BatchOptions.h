#pragma once
#include "recolor/RecolorJob.h"

#include <optional>
#include <string>
#include <vector>

namespace tintora::batch {

// What one run of the batch tool does, read from its arguments.
struct BatchOptions {
    RecolorSettings settings;
    int iconSize = 32;
    std::string outDir; // empty: each result goes beside its source
    bool overwrite = false;
    bool help = false;
    std::vector<std::string> files;
};

// Reads the arguments (without the program name). Throws std::invalid_argument
// with a one-line reason for anything it cannot use.
BatchOptions parseBatchArguments(const std::vector<std::string>& args);

// The three settings of a filter file, as they are stored.
void readFilterFile(const std::string& path, RecolorSettings& settings);

const char* batchUsage();

} // namespace tintora::batch
