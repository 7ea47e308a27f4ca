#pragma once
#include <algorithm>

namespace tintora {

// The range of one filter setting. The window's gauges are built from these and
// the batch tool clamps its arguments to them, so both accept the same values.
struct GaugeRange {
    int min;
    int max;
    constexpr int clamp(int value) const { return std::clamp(value, min, max); }
};

inline constexpr GaugeRange hueRange{0, 360};
inline constexpr GaugeRange saturationRange{0, 100};
inline constexpr GaugeRange brightnessRange{-255, 255};
inline constexpr GaugeRange zoomRange{-100, 100};

} // namespace tintora
