#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace tintora {

// Optional leading blanks, an optional sign, then decimal digits; "$", "x" or a
// leading "0x" introduce hexadecimal digits. Empty, unreadable or out-of-range
// text gives 0 (hexadecimal may use all 32 bits).
std::int32_t intFromText(std::string_view text);

// The same reading, with nothing for a text that is not a whole number.
std::optional<std::int32_t> parseInt(std::string_view text);

// True for a whole number of that value, and for 0 also for a text that is only
// the start of a number: empty or blanks, then at most a sign and a hexadecimal
// mark ("-", "$", "0x"). A box holding such a text need not be rewritten.
bool textReadsAs(std::string_view text, std::int32_t value);

} // namespace tintora
