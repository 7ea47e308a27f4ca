#include "color/ValueForm.h"

#include <algorithm>

namespace tintora::rows {

namespace {

using Channel = std::array<std::uint8_t, 256>;

constexpr int unit = 1 << ValueForm::shift;

// The multipliers low..high (empty when low > high).
struct Range {
    int low = 0, high = ValueForm::maxMultiplier;
    bool empty() const { return low > high; }
};

// V as a divisor. V = 0 gets 1/256, which keeps its bounds within an int yet
// far outside the multipliers' range: it allows none of them when its byte is
// not 0 (any multiplier gives 0 there) and all of them when it is.
constexpr std::array<float, 256> divisors = [] {
    std::array<float, 256> d{};
    d[0] = 1.0f / 256;
    for (std::size_t v = 1; v < 256; ++v)
        d[v] = float(v);
    return d;
}();

// For each V, the multipliers that give its byte: byte * unit lies within
// V * multiplier + unit / 2 and one unit below it. The numerators are below
// 2^24, so single floats hold them and correctly rounded quotients keep their
// whole-number parts and ceilings: a quotient that is not a whole number lies
// at least 1 / V from one, more than the rounding moves it. The loop is
// written so that the compiler takes several values at a time.
struct Bounds {
    std::array<int, 256> low, high;
    Range all;
};

Bounds boundsOf(const Channel& bytes)
{
    Bounds b;
    int low = 0, high = ValueForm::maxMultiplier;
    for (std::size_t v = 0; v < 256; ++v) {
        const float scaled = float(bytes[v] * unit);
        const float lowQuotient = (scaled - unit / 2) / divisors[v];
        const int truncated = int(lowQuotient);
        b.low[v] = truncated + (lowQuotient > float(truncated));
        b.high[v] = int((scaled + (unit / 2 - 1)) / divisors[v]);
        low = std::max(low, b.low[v]);
        high = std::min(high, b.high[v]);
    }
    b.all = {low, high};
    return b;
}

// The multipliers that suit every value but `skipped`.
Range intersectBut(const Bounds& b, std::size_t skipped)
{
    Range r;
    for (std::size_t v = 0; v < 256; ++v)
        if (v != skipped) {
            r.low = std::max(r.low, b.low[v]);
            r.high = std::min(r.high, b.high[v]);
        }
    return r;
}

struct ChannelForm {
    int multiplier = 0;
    std::uint8_t oddValue = 0, oddByte = 0;
};

// The multiplier checked against every value: at most one may differ.
std::optional<ChannelForm> check(const Channel& bytes, int multiplier)
{
    int differing = 0;
    for (int v = 0; v < 256; ++v)
        differing += ValueForm::multiply(v, multiplier) != bytes[std::size_t(v)];
    if (differing > 1)
        return std::nullopt;
    ChannelForm form{multiplier};
    for (int v = 0; v < 256 && differing; ++v)
        if (ValueForm::multiply(v, multiplier) != bytes[std::size_t(v)])
            form.oddValue = std::uint8_t(v), form.oddByte = bytes[std::size_t(v)], differing = 0;
    return form;
}

// Either every value fits one multiplier, or all but one do. In the second
// case the odd one is among the values that bound the intersection, the first
// that sets its low end or the first that sets its high end: any other lies
// within what those two allow, so leaving it out widens nothing.
std::optional<ChannelForm> fitChannel(const Channel& bytes)
{
    const Bounds bounds = boundsOf(bytes);
    if (!bounds.all.empty())
        return check(bytes, bounds.all.low);
    const auto lowFrom = std::find(bounds.low.begin(), bounds.low.end(), bounds.all.low) - bounds.low.begin();
    const auto highFrom =
        std::find(bounds.high.begin(), bounds.high.end(), bounds.all.high) - bounds.high.begin();
    for (auto skipped : {lowFrom, highFrom}) {
        const Range r = intersectBut(bounds, std::size_t(skipped));
        if (!r.empty())
            if (auto form = check(bytes, r.low))
                return form;
    }
    return std::nullopt;
}

} // namespace

std::optional<ValueForm> fitValueForm(const ValueTable& table)
{
    std::array<Channel, 3> channels;
    for (std::size_t v = 0; v < 256; ++v)
        for (std::size_t c = 0; c < 3; ++c)
            channels[c][v] = table[v][c];
    ValueForm form;
    for (std::size_t c = 0; c < 3; ++c) {
        const auto channel = fitChannel(channels[c]);
        if (!channel)
            return std::nullopt;
        form.multiplier[c] = std::uint16_t(channel->multiplier);
        form.oddValue[c] = channel->oddValue;
        form.oddByte[c] = channel->oddByte;
    }
    return form;
}

} // namespace tintora::rows
