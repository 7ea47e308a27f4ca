#pragma once
#include "recolor/OutputFormat.h"
#include "recolor/RecolorJob.h"

#include <optional>

#include <string>
#include <vector>

namespace tintora::batch {

// What one run of the batch tool does, read from its arguments.
struct BatchOptions {
    RecolorSettings settings;
    int iconSize = 32;
    std::optional<OutputFormat> format; // none: PNG for PNG sources, BMP for the rest
    std::string outDir;                 // empty: each result goes beside its source
    bool overwrite = false;
    bool recursive = false; // walk the folders given
    bool dryRun = false;    // list the targets, write nothing
    bool quiet = false;     // no progress line, no summary
    bool help = false;
    bool version = false;
    std::vector<std::string> paths; // the files and folders given, in order
};

// Reads the arguments (without the program name), as the GNU tools take them:
// options anywhere before "--", "--out=DIR" as well as "--out DIR", and short
// flags bundled ("-rq"). Throws std::invalid_argument with a one-line reason
// for anything it cannot use.
BatchOptions parseBatchArguments(const std::vector<std::string>& args);

// The three settings of a filter file, as they are stored.
void readFilterFile(const std::string& path, RecolorSettings& settings);

const char* batchUsage();

// "tintora-batch VERSION" and a newline, the project's version.
const char* batchVersion();

} // namespace tintora::batch
