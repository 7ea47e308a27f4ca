#pragma once
#include "batch/BatchOptions.h"

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

namespace tintora::batch {

// Where the recoloured copy of `source` is written: the window's "Save Bitmap"
// name, beside the source or in the output folder.
std::string targetPath(const std::string& source, const std::string& outDir);

// The files (as indices into options.files) in chains that must run one after
// the other, in the order given: files whose source or target names a path
// that another's source or target names too (after making it absolute and
// lexically normal). Chains are ordered by their first file.
std::vector<std::vector<std::size_t>> fileChains(const BatchOptions& options);

// One worker per processor core, at least one.
unsigned defaultWorkers();

// Recolours every file, the chains spread over `workers` threads; prints one
// line on `out` per file written and one on `errors` per failure, in the order
// of the files whatever order they finish in. Returns the failures.
int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& errors,
             unsigned workers = defaultWorkers());

} // namespace tintora::batch
