#pragma once
#include "imaging/Bitmap.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tintora {

// Creates or replaces a BMP file. The bytes go to a temporary file beside the
// target, which is renamed over it once complete, so a failure leaves any old
// file as it was. Throws ImageError with "Impossible de créer le fichier %s"
// or "Erreur d'écriture dans le flux".
void writeBmpFile(const Bitmap& bmp, const std::string& path);

// Writes the BMP bytes of a bitmap to an open stream (throws the write error).
void writeBmp(const Bitmap& bmp, std::FILE* out);

// The BMP bytes of a bitmap, as writeBmpFile would write them.
std::vector<std::uint8_t> encodeBmp(const Bitmap& bmp);

} // namespace tintora
