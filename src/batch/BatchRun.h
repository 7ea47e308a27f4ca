#pragma once
#include "batch/BatchOptions.h"
#include "imaging/Bitmap.h"

#include <iosfwd>
#include <string>

namespace tintora::batch {

// Where the recoloured copy of `source` is written.
std::string targetPath(const std::string& source, const std::string& outDir);

// The source as a bitmap: icons drawn on magenta at the chosen size, pictures
// through the reader of their extension. Throws with the reader's text.
Bitmap loadSource(const std::string& path, int iconSize);

// Brightness, then colourise, the excluded colour spared: the window's save pass.
void filterPass(Bitmap& bitmap, const BatchOptions& options);

// Recolours every file; one line on `errors` per failure. Returns the failures.
int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& errors);

} // namespace tintora::batch
