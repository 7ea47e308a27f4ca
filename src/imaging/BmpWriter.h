#pragma once
#include "imaging/AtomicFile.h"
#include "imaging/Bitmap.h"
#include "imaging/BmpFileFacts.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tintora {

// Every writer takes the facts of the file the bitmap was read from, if any,
// and whether its pixels changed since. The writer decides from them:
// - facts describe only a bitmap of the layout they were read with (format,
//   bits per pixel, width, height); for any other they count for nothing;
// - the header fields (resolution, important colours, core header) are kept
//   by any rewrite of that layout;
// - the stored row order, and the kept data of a run-length file, only while
//   the pixels are unchanged. Kept data is written back only if it still
//   decodes to exactly the bitmap's pixels and palette, so stale facts can
//   never undo an edit.
// Without facts a bitmap is written as a 40-byte header and bottom-up rows.

// Creates or replaces a BMP file. The bytes go to a temporary file beside the
// target, which is renamed over it once complete, so a failure leaves any old
// file as it was. Throws ImageError with "Impossible de créer le fichier %s"
// or "Erreur d'écriture dans le flux" (see writeFileAtomically, which also
// says what becomes of links, read-only files and permissions), or
// TargetExists when asked to keep a file that is there.
void writeBmpFile(const Bitmap& bmp, const std::string& path, const BmpFileFacts& facts = {},
                  PixelsSinceRead pixels = PixelsSinceRead::Changed,
                  ExistingFile existing = ExistingFile::Replace);

// Writes the BMP bytes of a bitmap to an open stream (throws the write error).
void writeBmp(const Bitmap& bmp, std::FILE* out, const BmpFileFacts& facts = {},
              PixelsSinceRead pixels = PixelsSinceRead::Changed);

// The BMP bytes of a bitmap, as writeBmpFile would write them.
std::vector<std::uint8_t> encodeBmp(const Bitmap& bmp, const BmpFileFacts& facts = {},
                                    PixelsSinceRead pixels = PixelsSinceRead::Changed);

} // namespace tintora
