#pragma once
#include "imaging/Bitmap.h"

#include <cstdint>
#include <vector>

namespace tintora {

// What a BMP file holds beside its pixels. The reader hands it back with the
// bitmap, the caller keeps it beside the bitmap (the bitmap itself knows
// nothing of the file it came from), and the writer decides from it how much
// of the file it can write back as it was read.
struct BmpFileFacts {
    // The bitmap the file was decoded to. The writer uses the facts for a bitmap
    // of this layout only; the empty facts (0 bits per pixel) describe none.
    PixelFormat format = PixelFormat::Device;
    int bitsPerPixel = 0;
    int width = 0, height = 0;

    // Header fields that a rewrite of the same layout keeps, changed pixels or not.
    std::int32_t xPelsPerMeter = 0, yPelsPerMeter = 0;
    std::uint32_t colorsImportant = 0;
    bool coreFormat = false; // read from a 12-byte BITMAPCOREHEADER
    // The alpha field of a bit-field file whose header names one (56 bytes and
    // more); the bitmap's masks hold its colour fields only.
    std::uint32_t alphaMask = 0;

    // How the file stored its rows: used only while the pixels are as read.
    bool topDown = false;              // a negative height
    std::vector<std::uint8_t> rleData; // a run-length file from its info header to its end
    std::uint32_t pixelDataOffset = 0; // where that file's rows started, a gap before them included
};

// Whether the pixels handed to the writer are still the ones read with the facts.
enum class PixelsSinceRead { Unchanged, Changed };

// A decoded BMP file: the pixels, and what an unchanged write-back needs.
struct BmpImage {
    Bitmap bitmap;
    BmpFileFacts facts;
};

} // namespace tintora
