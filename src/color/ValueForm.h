#pragma once
#include <array>
#include <cstdint>
#include <optional>

namespace tintora::rows {

// Colourised pixel for each value V: blue, green, red and a zero byte, so that
// one four-byte load gives a whole pixel.
using ValueTable = std::array<std::array<std::uint8_t, 4>, 256>;

// A value table in the form the vector kernels compute instead of looking it
// up: channel c of table[V] is (V * multiplier[c] + 2^14) >> 15, a multiply
// with rounding, except that V == oddValue[c] gives oddByte[c]. The table
// rounds halves to even where the multiply rounds them up, and a channel whose
// V * factor lands on a half needs that one exception. A channel without one
// has oddValue 0 and oddByte 0, which the multiply gives anyway.
struct ValueForm {
    static constexpr int shift = 15;
    static constexpr int maxMultiplier = (1 << shift) - 1; // a signed 16-bit factor

    std::array<std::uint16_t, 3> multiplier{};
    std::array<std::uint8_t, 3> oddValue{}, oddByte{};

    static std::uint8_t multiply(int value, int multiplier)
    {
        return std::uint8_t((value * multiplier + (1 << (shift - 1))) >> shift);
    }
    std::uint8_t byteFor(int channel, int value) const
    {
        const auto c = std::size_t(channel);
        return value == oddValue[c] ? oddByte[c] : multiply(value, multiplier[c]);
    }
    bool hasOddValues() const { return oddValue != decltype(oddValue){} || oddByte != decltype(oddByte){}; }
};

// The form that gives the table's every byte, checked against all 256 values;
// none when a channel would need more than one exception.
std::optional<ValueForm> fitValueForm(const ValueTable& table);

} // namespace tintora::rows
