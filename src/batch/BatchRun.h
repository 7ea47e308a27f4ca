#pragma once
#include "batch/BatchOptions.h"
#include "imaging/Bitmap.h"
#include "imaging/BmpFileFacts.h"

#include <iosfwd>
#include <string>

namespace tintora::batch {

// Where the recoloured copy of `source` is written.
std::string targetPath(const std::string& source, const std::string& outDir);

// A source ready for the save pass: its pixels, and what its BMP file said
// beside them (empty facts for any other kind of source).
struct Source {
    Bitmap bitmap;
    BmpFileFacts facts;
};

// The source as a bitmap: icons drawn on magenta at the chosen size, pictures
// through the reader of their extension. Throws with the reader's text.
Source loadSource(const std::string& path, int iconSize);

// Brightness, then colourise, the excluded colour spared: the window's save pass.
void filterPass(Bitmap& bitmap, const BatchOptions& options);

// Recolours every file; one line on `errors` per failure. Returns the failures.
int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& errors);

} // namespace tintora::batch
