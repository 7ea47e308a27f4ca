#pragma once
#include "imaging/Bitmap.h"

namespace tintora {

// The picture the preview shows at start: a small skinned desktop, 227 x 182
// at 24 bits, with magenta key areas where a skin would be transparent.
Bitmap makeSamplePicture();

} // namespace tintora
