#pragma once
#include <bit>
#include <cstdint>

namespace tintora {

namespace ieee754 {
inline constexpr std::uint64_t exponentBits = 0x7FF0000000000000ull;
inline constexpr std::uint64_t mantissaBits = 0x000FFFFFFFFFFFFFull;
inline constexpr std::uint64_t undefinedHueBits = 0x7FFFFFFFFFFFFFFFull;
} // namespace ieee754

// The hue of a colour without colour (black, white, greys): a quiet NaN with
// every bit but the sign set, so it survives narrowing to a 32-bit float.
constexpr double NaN() { return std::bit_cast<double>(ieee754::undefinedHueBits); }

// Decided on the bits rather than by comparison, so that it holds whatever the
// compiler's floating-point flags; an infinity is no NaN.
constexpr bool IsNaN(double x)
{
    const auto bits = std::bit_cast<std::uint64_t>(x);
    return (bits & ieee754::exponentBits) == ieee754::exponentBits && (bits & ieee754::mantissaBits) != 0;
}

} // namespace tintora
