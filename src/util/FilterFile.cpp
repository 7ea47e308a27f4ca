#include "util/FilterFile.h"

#include "util/IntFromText.h"

#include <utility>

namespace tintora {

std::string formatFilterLine(const FilterSettings& s)
{
    return std::to_string(s.hue) + ',' + std::to_string(s.saturation) + ',' + std::to_string(s.brightness) +
           "\r\n";
}

namespace {

// Text before the first comma, and the text after it; no comma: "" and all.
std::pair<std::string_view, std::string_view> splitAtComma(std::string_view text)
{
    const auto comma = text.find(',');
    if (comma == std::string_view::npos)
        return {std::string_view{}, text};
    return {text.substr(0, comma), text.substr(comma + 1)};
}

} // namespace

FilterSettings parseFilterLine(std::string_view line)
{
    const auto [first, rest] = splitAtComma(line);
    const auto [second, third] = splitAtComma(rest);
    return {intFromText(first), intFromText(second), intFromText(third)};
}

std::string_view firstLine(std::string_view content)
{
    const auto end = content.find_first_of("\r\n");
    return end == std::string_view::npos ? content : content.substr(0, end);
}

} // namespace tintora
