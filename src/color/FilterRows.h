#pragma once
#include <array>
#include <cstdint>

namespace tintora::rows {

// The excluded colour as the three bytes of a pixel in memory order.
struct ExcludedBytes {
    std::uint8_t blue = 0, green = 0, red = 0;
    bool matches(const std::uint8_t* p) const { return p[0] == blue && p[1] == green && p[2] == red; }
};

// Colourised pixel for each value V: blue, green, red and a zero byte, so that
// one four-byte load gives a whole pixel.
using ValueTable = std::array<std::array<std::uint8_t, 4>, 256>;

// The excluded colour repeated through 16 pixels, for the vector kernels.
struct ExcludedRun {
    alignas(16) std::uint8_t bytes[48];
    explicit ExcludedRun(ExcludedBytes e);
};

// Row kernels, set up once per filter call. They work in place on the
// width * 3 pixel bytes of one row of a working bitmap and neither read nor
// write the row's padding; excluded pixels keep their bytes. `vector` takes 16
// pixels at a time where the processor has SSE2 and is `scalar` elsewhere.
class BrightnessRows {
public:
    // Adds amount to each channel, clamped to 0..255.
    BrightnessRows(int amount, ExcludedBytes excluded);
    void scalar(std::uint8_t* row, int width) const;
    void vector(std::uint8_t* row, int width) const;

private:
    int m_amount;
    ExcludedBytes m_excluded;
    ExcludedRun m_run;
    std::array<std::uint8_t, 256> m_table;
};

class ColorizeRows {
public:
    // Each pixel becomes table[V], V its largest channel.
    ColorizeRows(const ValueTable& table, ExcludedBytes excluded);
    void scalar(std::uint8_t* row, int width) const;
    void vector(std::uint8_t* row, int width) const;

private:
    const ValueTable& m_table;
    ExcludedBytes m_excluded;
    ExcludedRun m_run;
};

} // namespace tintora::rows
