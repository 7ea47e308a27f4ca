#pragma once
#include "batch/BatchOptions.h"
#include "batch/SourceWalk.h"

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

namespace tintora::batch {

class ProgressLine;

// Where the recoloured copy of a source is written: the window's "Save Bitmap"
// name, beside the source, or in the output folder below the source's
// sub-folder. Every target name of the tool comes from here.
std::string targetPath(const SourceFile& source, const BatchOptions& options);

// The format the file is written in: the one asked for, else PNG for a PNG
// source and BMP for any other.
OutputFormat formatFor(const SourceFile& source, const BatchOptions& options);

// The sources (as indices) in chains that must run one after the other, in
// the order given: sources whose path or target names a file that another's
// path or target names too. Two names are the same file when their folders are
// the same folder (symbolic links followed as far as they exist, lexically
// normal beyond) and their file names are the same. Chains are ordered by their
// first source.
std::vector<std::vector<std::size_t>> fileChains(const std::vector<SourceFile>& sources,
                                                 const BatchOptions& options);

// One worker per processor core, at least one.
unsigned defaultWorkers();

// What a run came to. A skipped file is one whose target exists (without
// --overwrite); it is reported as a failure is, but counted apart.
struct BatchCounts {
    int written = 0, skipped = 0, failed = 0;
    friend bool operator==(const BatchCounts&, const BatchCounts&) = default;
};

// Recolours every source, the chains spread over `workers` threads; prints one
// line on `out` per file written and one on `errors` per file skipped or
// failed, in the order of the sources whatever order they finish in. A dry run
// reads nothing and writes nothing: it prints the targets a run would write and
// the files it would skip. `progress`, when given, follows the run.
BatchCounts runBatch(const BatchOptions& options, std::ostream& out, std::ostream& errors,
                     ProgressLine* progress = nullptr, unsigned workers = defaultWorkers());

// "tintora-batch: 12 written, 3 skipped, 1 failed"
std::string summaryLine(const BatchCounts& counts, bool dryRun);

// 0 when every file was written, else 1.
int exitStatus(const BatchCounts& counts);

} // namespace tintora::batch
