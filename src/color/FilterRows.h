#pragma once
#include "color/ValueForm.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace tintora::rows {

// The excluded colour as the three bytes of a pixel in memory order.
struct ExcludedBytes {
    std::uint8_t blue = 0, green = 0, red = 0;
    bool matches(const std::uint8_t* p) const { return p[0] == blue && p[1] == green && p[2] == red; }
};

// `count` rows of `width` pixels, each `stride` bytes after the one before.
struct Rows {
    std::uint8_t* first = nullptr;
    std::ptrdiff_t stride = 0;
    int width = 0, count = 0;
};

// The vector instruction sets the row kernels are written for.
enum class Isa { Sse2, Avx2 };

// Whether this build and this processor run the set; the best one that does.
bool isaAvailable(Isa isa);
std::optional<Isa> bestIsa();

// Constants of one filter call laid out over 32 pixels (96 bytes), the largest
// block a vector kernel takes; the 16-pixel kernels use the first half, and the
// kernels that work on lanes of five pixels the first 16 bytes. Byte i of a
// block belongs to channel i % 3.
struct RowPatterns {
    // The excluded colour's byte for each byte's channel.
    alignas(32) std::uint8_t key[96];
    // 0xFF at the first (blue) and at the last (red) byte of each pixel.
    alignas(32) std::uint8_t firstByte[96];
    alignas(32) std::uint8_t lastByte[96];
    // The value form for each byte's channel; multipliers go by 16-bit word,
    // one array for the bytes at even offsets and one for the odd ones.
    alignas(32) std::uint16_t evenMultiplier[48];
    alignas(32) std::uint16_t oddMultiplier[48];
    alignas(32) std::uint8_t oddValue[96];
    alignas(32) std::uint8_t oddByte[96];
    bool hasOddValues = false;

    explicit RowPatterns(ExcludedBytes excluded, const ValueForm& form = {});
};

// Row kernels, set up once per filter call. They work in place on the
// width * 3 pixel bytes of rows of a working bitmap and neither read nor write
// the rows' padding; excluded pixels keep their bytes. `vector` takes a whole
// bitmap's rows, in blocks of pixels, with the best instruction set the
// processor has, and is `scalar` row by row where there is none; the tests
// name the set.
class BrightnessRows {
public:
    // Adds amount to each channel, clamped to 0..255.
    BrightnessRows(int amount, ExcludedBytes excluded);
    void scalar(std::uint8_t* row, int width) const;
    void vector(Rows rows) const;
    void vector(Rows rows, Isa isa) const;

    // The amount as the kernels apply it: saturating steps up and down.
    std::uint8_t stepUp() const { return m_up; }
    std::uint8_t stepDown() const { return m_down; }
    const RowPatterns& patterns() const { return m_patterns; }

private:
    ExcludedBytes m_excluded;
    std::uint8_t m_up = 0, m_down = 0;
    std::array<std::uint8_t, 256> m_table;
    RowPatterns m_patterns;
};

class ColorizeRows {
public:
    // Each pixel becomes table[V], V its largest channel. Where the table has
    // a value form (most colourise settings do) the vector kernels compute it;
    // otherwise they look V up.
    ColorizeRows(const ValueTable& table, ExcludedBytes excluded);
    // The same with the table's form already fitted (fitValueForm).
    ColorizeRows(const ValueTable& table, ExcludedBytes excluded, const std::optional<ValueForm>& form);
    void scalar(std::uint8_t* row, int width) const;
    void vector(Rows rows) const;
    void vector(Rows rows, Isa isa) const;

    bool computesValues() const { return m_computes; }
    const ValueTable& table() const { return m_table; }
    const RowPatterns& patterns() const { return m_patterns; }

private:
    const ValueTable& m_table;
    ExcludedBytes m_excluded;
    bool m_computes;
    RowPatterns m_patterns;
};

} // namespace tintora::rows
