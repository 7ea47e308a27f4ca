#pragma once
// The batch tool's job for one file, in either output format: read the source
// with whatever alpha it has, run the save pass on its colours, and write it
// as a BMP or a PNG file. The window's loads and saves (RecolorJob.h) stay as
// they are: it neither reads nor writes PNG files.
#include "recolor/OutputFormat.h"
#include "recolor/RecolorJob.h"

#include <string>

namespace tintora {

// A source read for a target in `format`, every unshowable source a failure:
// - a .png file (any case) through the PNG reader: its colours, and its alpha
//   when any pixel is less than opaque;
// - toward PNG, an icon or program file gives its icon at iconSize x iconSize
//   with the icon's own alpha, and a 32-bit BMP file (or a bit-field one that
//   names an alpha field) keeps its alpha (see bmpAlphaPlane);
// - toward BMP, anything but a .png file is read as loadSource reads it for
//   the batch tool (icons laid over magenta), so the BMP bytes written stay
//   what they always were.
// Registers the standard picture readers first, if no one has yet. Throws
// ImageError with the reader's text, or std::runtime_error for a source with
// nothing to show (no icon of that size, a picture without pixels).
SourceImage loadSourceFor(const std::string& path, int iconSize, OutputFormat format);

// Runs the save pass on the source's colours (the excluded colour compared on
// the colours alone, whatever the alpha) and writes the result, replacing the
// target atomically: toward PNG as 8-bit RGBA when any alpha is below 255,
// else RGB; toward BMP as the 24-bit BMP file the window's "Save Bitmap As"
// writes for the same pixels, alpha dropped. Throws ImageError with the
// writer's text, or TargetExists when a file to be kept is at the target.
void saveRecoloredAs(SourceImage source, const RecolorSettings& settings, const std::string& target,
                     OutputFormat format, ExistingFile existing = ExistingFile::Replace);

// The whole job for one file: loadSourceFor, then saveRecoloredAs. Naming the
// target (targetFor, targetIn) and deciding whether an existing one may be
// replaced is the caller's. Throws std::exception (ImageError or
// std::runtime_error) with one line of text.
void recolorFileTo(const std::string& source, const std::string& target, OutputFormat format, int iconSize,
                   const RecolorSettings& settings, ExistingFile existing = ExistingFile::Replace);

} // namespace tintora
