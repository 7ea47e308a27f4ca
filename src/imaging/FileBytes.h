#pragma once
#include "imaging/PixelStore.h"

#include <string>

namespace tintora {

// The bytes of a whole file, held in pixel memory so that a reader whose file
// stores the pixels as a bitmap does may keep them as its pixels.
using FileBytes = PixelStore;

// Files above this size are not read: no picture the readers accept needs one.
inline constexpr std::int64_t maxFileBytes = std::int64_t(1) << 30;

// Reads a whole regular file with one open, one status and, for a file that
// does not change meanwhile, one read. Throws ImageError: "Impossible d'ouvrir
// le fichier %s" for anything that is not a readable regular file, "Erreur de
// lecture du flux" for a read that fails or a file above maxFileBytes.
FileBytes readWholeFile(const std::string& path);

} // namespace tintora
