#pragma once
// What the window's saves and the batch tool both do with one source file: read
// it as the save pass starts from it, recolour it, and name the file it goes to.
#include "color/ImageProcessingPrimitives.h"
#include "imaging/AtomicFile.h"
#include "imaging/Bitmap.h"
#include "imaging/BmpFileFacts.h"
#include "imaging/ColorValue.h"
#include "imaging/ExtraIcon.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tintora {

// The three gauge settings and the colour they never touch.
struct RecolorSettings {
    int hue = 0, saturation = 0, brightness = 0;
    ColorValue excluded = clMagenta;

    // The same settings limited to the gauges' ranges.
    RecolorSettings clamped() const;
    bool changesNothing() const { return brightness == 0 && !colorizes(); }
    // Hue 0 with saturation 0 means "no colourise": colourising at saturation 0
    // would still turn every pixel almost grey.
    bool colorizes() const { return hue != 0 || saturation != 0; }
};

// The save pass: brightness, then colourise when the settings colourise, the
// excluded colour spared. The bitmap comes out 24-bit.
void applySavePass(Bitmap& bitmap, const RecolorSettings& settings);
// The same pass over 24-bit rows held elsewhere.
void applySavePass(Rows24 rows, const RecolorSettings& settings);

// A source ready for the save pass: its pixels, what its BMP file said beside
// them (empty facts for any other kind of source), and the alpha of each pixel
// (width x height bytes, top row first) for a source that has any. The save
// pass works on the colours alone; alpha goes to the target as it came.
struct SourceImage {
    Bitmap bitmap;
    BmpFileFacts facts;
    std::vector<std::uint8_t> alpha; // empty: opaque, or a target that keeps no alpha
};

// "Save Bitmap" skips the pass when the settings change nothing, and then writes
// the source back as it was read; "Save Bitmap As ..." and the batch tool always
// run it.
enum class SavePass { WhenItChangesSomething, Always };

// Runs the save pass on a copy of the source and writes it as a BMP file.
// The copy is the caller's: one who needs the source no more moves it in, so
// that the picture and its working copy are never held beside a third.
// Throws ImageError with the writer's text, or TargetExists when a file that
// is to be kept is at the target.
void saveRecolored(Bitmap copy, const BmpFileFacts& facts, const RecolorSettings& settings,
                   const std::string& target, SavePass pass, ExistingFile existing = ExistingFile::Replace);

// An .ico file (any case of the extension) is drawn at a chosen size, and so is
// a program file (.exe, .dll) by its first icon group; anything else goes through
// the picture reader of its extension.
bool isIconSource(std::string_view path);
bool isProgramSource(std::string_view path);

// The window shows what it can: a picture whose pixels cannot be decoded (JPEG
// and GIF pixels are decoded after the header was read) or that has none as an
// empty one, an icon file without that size as a magenta square. The batch tool
// reports each of these as a failure instead.
enum class Unshowable { ShowAnyway, Fail };

// The first icon of the file at size x size over magenta. Throws
// std::runtime_error for a file without such an icon when asked to fail.
Bitmap drawIconSource(const std::string& path, int size, Unshowable unshowable = Unshowable::ShowAnyway);

// The same icon with its own colours and alpha, not laid over anything.
// Throws std::runtime_error for a file without such an icon.
IconImage iconSource(const std::string& path, int size);

// The picture of a file in its own pixel format. Throws ImageError with the
// reader's text for a file that cannot be read.
SourceImage loadPictureSource(const std::string& path, Unshowable unshowable);

// Either of the two above, by the file's extension.
SourceImage loadSource(const std::string& path, int iconSize, Unshowable unshowable);

// Where "Save Bitmap" writes a source: a .bmp file of any case is its own target,
// any other file gets its extension (from the last dot of its name) replaced by
// ".bmp", or ".bmp" added when it has none.
std::string saveTargetFor(const std::string& source);

// The same name, placed in another folder.
std::string saveTargetIn(const std::string& source, const std::string& folder);

} // namespace tintora
