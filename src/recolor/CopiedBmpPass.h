#pragma once
#include "imaging/AtomicFile.h"
#include "recolor/RecolorJob.h"

#include <string>

namespace tintora {

// The quickest road for the commonest large source: a plain 24-bit BMP file
// (a 40-byte header, no colour table, rows bottom-up right after the header,
// nothing after them). The kernel copies the file into the temporary target,
// the header is set as the BMP writer sets it, and the save pass runs on the
// copy's rows through a shared mapping, so the pixels never pass through a
// buffer of ours. The file written is the one loadSource and saveRecolored
// would write, byte for byte.
//
// Gives false, having written nothing, for any other file and wherever the
// copy cannot be made this way (the file changed meanwhile, a file system
// without in-kernel copies); the caller then takes the general road. Throws
// as writeFileAtomically does when the target cannot be made.
bool recolorPlainBmpCopy(const std::string& source, const std::string& target,
                         const RecolorSettings& settings, ExistingFile existing);

} // namespace tintora
