#pragma once

namespace tintora {

// Registers the picture readers of the system by file extension. Safe to call
// more than once; later calls change nothing.
void registerStandardReaders();

} // namespace tintora
