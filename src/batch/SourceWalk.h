#pragma once
// The files of a run: the paths given, and with --recursive what lies in the
// folders among them.
#include "batch/BatchOptions.h"

#include <string>
#include <string_view>
#include <vector>

namespace tintora::batch {

// One entry of the run, in the order the files are recoloured and reported.
struct SourceFile {
    std::string path;      // as given, or the walked folder joined with the names below it
    std::string subFolder; // the folders between the walked folder and the file ("a/b"), or empty
    std::string failure;   // why `path` cannot be walked; empty for a file to recolour
};

// Whether a file met while walking is taken: by its extension, in any case.
// A path given by name is taken whatever its extension.
bool hasReadableExtension(std::string_view name);

// The extensions taken while walking, as "*.bmp *.jpg ...", for the usage text.
std::string readableExtensionList();

// `folder` and `name` joined with one separator; either may be empty.
std::string joinPath(const std::string& folder, const std::string& name);

// Every path given that is not a folder, as it is. A folder is walked with
// --recursive and is an entry with a failure without it. Walking takes the
// entries of each folder in byte order of their names, a sub-folder walked where
// its name falls. It takes regular files (and links that lead nowhere, whose
// reading then fails), and follows symbolic links except into a folder that is
// being walked already (an enclosing one: a loop). It never enters the output
// folder, whose files would be taken again on the next run. A folder that
// cannot be opened is an entry with a failure in its place.
std::vector<SourceFile> collectSources(const BatchOptions& options);

} // namespace tintora::batch
