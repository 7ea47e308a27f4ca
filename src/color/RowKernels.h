#pragma once
// The vector row kernels of each instruction set, for FilterRows.cpp to pick.
#include "color/FilterRows.h"

namespace tintora::rows {

struct RowKernels {
    void (*brighten)(const BrightnessRows& kernel, Rows rows);
    void (*colorize)(const ColorizeRows& kernel, Rows rows);
};

// Null where the build has no such kernels (another processor family).
const RowKernels* sse2Kernels();
const RowKernels* avx2Kernels();

} // namespace tintora::rows
