#pragma once
#include <cstdint>
#include <string_view>

namespace tintora {

// Optional leading blanks, an optional sign, then decimal digits; "$", "x" or a
// leading "0x" introduce hexadecimal digits. Empty, unreadable or out-of-range
// text gives 0 (hexadecimal may use all 32 bits).
std::int32_t intFromText(std::string_view text);

} // namespace tintora
