#pragma once
#include "imaging/Bitmap.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tintora {

// A decoded PNG file: its colours, and the alpha of each pixel beside them.
// Every kind of PNG file gives the same shape: palette, grey, grey with alpha,
// RGB and RGBA, of any bit depth (16-bit samples keep their high byte), plain
// or interlaced, with the transparency chunk of palette, grey and RGB files
// turned into alpha. Gamma, colour profiles and the other ancillary chunks are
// not applied: the samples are taken as they are stored.
struct PngImage {
    Bitmap colors;                   // PixelFormat::Bits24: blue, green, red bytes
    std::vector<std::uint8_t> alpha; // width x height bytes, top row first; empty when all are 255

    // Whether any pixel is less than opaque (an opaque file is written back as RGB).
    bool hasTransparency() const { return !alpha.empty(); }
};

// Decodes a whole PNG file held in memory. Throws ImageError with:
// - "Image bitmap incorrecte" for bytes that do not start with the PNG
//   signature, and for a picture the memory budget cannot hold (checked from
//   its header, before anything is allocated for it);
// - "Erreur de lecture du flux" when the bytes end before the file does, or
//   are too few to inflate to the pixels the header claims;
// - "Erreur PNG : ..." with libpng's own message for any other damage (a bad
//   checksum, a broken header, compressed data that does not inflate).
PngImage readPng(std::span<const std::uint8_t> bytes);

// Reads a PNG file with one open and one read, then decodes it from memory.
// The file's bytes count against the memory budget too. Throws ImageError
// with "Impossible d'ouvrir le fichier %s" for a file that cannot be opened,
// else as readPng.
PngImage readPngFile(const std::string& path);

// Whether the bytes start with the PNG signature.
bool isPng(std::span<const std::uint8_t> bytes);

} // namespace tintora
