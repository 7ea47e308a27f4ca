#pragma once
#include "imaging/Bitmap.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tintora {

// An icon made from one icon image at the size asked for. `color` is a 32-bit
// bitmap of blue, green, red, alpha bytes (byte 3 is alpha): pixels the image's
// mask hides have alpha 0, an image with its own alpha channel keeps it.
struct IconImage {
    Bitmap color;
    int width() const { return color.width(); }
    int height() const { return color.height(); }
};

// The first image of an .ico file whose width byte equals size and whose bit
// count the depth selector accepts, made size x size. depth >= 0 asks for that bit
// count; -1 for more than 16 colours (bit count above 4, or, when an .ico file
// leaves it 0, image data longer than 744 bytes); below -1 for bit count 4 or 0.
// Every failure (missing or damaged file, no match, an image that cannot be
// decoded) gives nothing; nothing is thrown and nothing is reported.
std::optional<IconImage> ExtractIconFromFile(const std::string& path, int size, int depth);

// The same over the bytes of an .ico file held in memory.
std::optional<IconImage> ExtractIconFromBytes(std::span<const std::uint8_t> icoBytes, int size, int depth);

// The same over the first icon group of a program or library file, read as data.
// In a group, -1 accepts bit count above 4 or 0.
std::optional<IconImage> ExtractIconFromModule(const std::string& path, int size, int depth);

// The same over a program or library file held in memory.
std::optional<IconImage> ExtractIconFromModuleBytes(std::span<const std::uint8_t> moduleBytes, int size,
                                                    int depth);

// Draws the icon into the rectangle (x, y, width, height) of dst, resized to it
// if needed and clipped to dst. Each pixel is laid over the background by its
// alpha, rounded to nearest: dst = (icon * a + dst * (255 - a) + 127) / 255. So
// pixels the mask hides (alpha 0) keep the background and opaque pixels replace
// it. dst must be a 24- or 32-bit bitmap.
void drawIcon(Bitmap& dst, int x, int y, int width, int height, const IconImage& icon);

} // namespace tintora
