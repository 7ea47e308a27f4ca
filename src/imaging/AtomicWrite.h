#pragma once
#include <cstdio>
#include <functional>
#include <string>

namespace tintora {

// Creates or replaces a file with what `write` puts into the stream it is
// handed. The bytes go to a temporary file beside the target (beside a link's
// target, which is what gets replaced), renamed over it once complete, so a
// failure leaves any old file as it was and no temporary file behind. A
// replaced file keeps its permissions; a read-only one is not replaced.
// Throws ImageError with "Impossible de créer le fichier %s" when the file
// cannot be made or renamed into place, and with "Erreur d'écriture dans le
// flux" when the bytes do not all reach it; what `write` throws passes through.
void writeFileAtomically(const std::string& path, const std::function<void(std::FILE*)>& write);

} // namespace tintora
