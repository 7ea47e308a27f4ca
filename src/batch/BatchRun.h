#pragma once
#include "batch/BatchOptions.h"

#include <iosfwd>
#include <string>

namespace tintora::batch {

// Where the recoloured copy of `source` is written: the window's "Save Bitmap"
// name, beside the source or in the output folder.
std::string targetPath(const std::string& source, const std::string& outDir);

// Recolours every file; one line on `errors` per failure. Returns the failures.
int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& errors);

} // namespace tintora::batch
