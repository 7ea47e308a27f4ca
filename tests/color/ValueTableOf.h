#pragma once
// The colourise table of a setting in the row kernels' layout, from the public
// per-value table, for the kernel tests.
#include "color/FilterRows.h"
#include "color/ImageProcessingPrimitives.h"

namespace tintora::rows {

inline ValueTable tableOf(float hue, float saturation)
{
    const auto pixels = ColorizeTable(hue, saturation);
    ValueTable table;
    for (std::size_t v = 0; v < 256; ++v)
        table[v] = {pixels[v].blue, pixels[v].green, pixels[v].red, 0};
    return table;
}

} // namespace tintora::rows
