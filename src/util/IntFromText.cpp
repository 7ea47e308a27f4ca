#include "util/IntFromText.h"

namespace tintora {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::int32_t intFromText(std::string_view text) { return parseInt(text).value_or(0); }

std::optional<std::int32_t> parseInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size())
        return std::nullopt;

    std::uint64_t value = 0;
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    for (; i < text.size(); ++i) {
        const int d = hex ? hexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (d < 0)
            return std::nullopt;
        value = value * (hex ? 16 : 10) + std::uint64_t(d);
        if (value > limit)
            return std::nullopt;
    }
    const auto v32 = std::uint32_t(value);
    return negative ? std::int32_t(0u - v32) : std::int32_t(v32);
}

namespace {

bool isNumberStart(std::string_view text)
{
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string_view::npos)
        return true;
    if (text[i] == '+' || text[i] == '-')
        ++i;
    const std::string_view rest = text.substr(i);
    return rest.empty() || rest == "$" || rest == "x" || rest == "X" || rest == "0x" || rest == "0X";
}

} // namespace

bool textReadsAs(std::string_view text, std::int32_t value)
{
    return parseInt(text) == value || (value == 0 && isNumberStart(text));
}

} // namespace tintora
