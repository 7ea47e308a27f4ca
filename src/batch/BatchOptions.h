#pragma once
#include "imaging/ColorValue.h"

#include <optional>
#include <string>
#include <vector>

namespace tintora::batch {

// What one run of the batch tool does, read from its arguments.
struct BatchOptions {
    int hue = 0, saturation = 0, brightness = 0;
    ColorValue excluded = clMagenta;
    int iconSize = 32;
    std::string outDir;   // empty: each result goes beside its source
    bool overwrite = false;
    bool help = false;
    std::vector<std::string> files;
};

// Reads the arguments (without the program name). Throws std::invalid_argument
// with a one-line reason for anything it cannot use.
BatchOptions parseBatchArguments(const std::vector<std::string>& args);

// The settings of a filter file, clamped to the gauges' ranges as an import does.
void readFilterFile(const std::string& path, BatchOptions& options);

// Clamps the three settings to hue 0..360, saturation 0..100, brightness -255..255.
void clampSettings(BatchOptions& options);

const char* batchUsage();

} // namespace tintora::batch
