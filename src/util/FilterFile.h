#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tintora {

// The three filter settings as stored in a one-line filter file.
struct FilterSettings {
    std::int32_t hue = 0, saturation = 0, brightness = 0;
    friend bool operator==(const FilterSettings&, const FilterSettings&) = default;
};

// "H,S,B" and CR LF.
std::string formatFilterLine(const FilterSettings& settings);

// Splits at the first comma, then the remainder at its first comma; a text
// without a comma gives an empty field before it and the whole text after.
// Each field is read as an integer (unreadable fields give 0); no clamping.
FilterSettings parseFilterLine(std::string_view line);

// The first line of a file's content (up to CR, LF or the end).
std::string_view firstLine(std::string_view content);

} // namespace tintora
