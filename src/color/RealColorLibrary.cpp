#include "color/RealColorLibrary.h"

#include "color/IEEE754.h"

#include <cmath>

namespace tintora {

// Every formula here is evaluated in long double and rounded to float where it
// is stored into a named variable: the filters round the final channels to
// bytes, and these storage points decide the cases that lie close to a half.
using Wide = long double;

namespace {

// Saturations within this distance of it count as zero; kept at full width.
constexpr Wide zeroSaturation = 0.0001L;

} // namespace

double MaxValue(std::span<const double> values)
{
    if (values.empty())
        throw std::invalid_argument("MaxValue: empty array");
    double result = values[0];
    for (double v : values.subspan(1))
        if (v > result)
            result = v;
    return result;
}

double MinValue(std::span<const double> values)
{
    if (values.empty())
        throw std::invalid_argument("MinValue: empty array");
    double result = values[0];
    for (double v : values.subspan(1))
        if (v < result)
            result = v;
    return result;
}

void RGBtoHSV(float R, float G, float B, float& H, float& S, float& V)
{
    const double channels[3] = {R, G, B};
    const float min = float(MinValue(channels));
    V = float(MaxValue(channels));
    const float delta = float(Wide(V) - min);
    S = V == 0 ? 0.0f : float(Wide(delta) / V);
    if (S == 0) {
        H = float(NaN());
        return;
    }
    // Red before green before blue settles ties between equal largest channels.
    if (R == V)
        H = float((Wide(G) - B) * 60 / delta);
    else if (G == V)
        H = float((Wide(B) - R) * 60 / delta + 120);
    else
        H = float((Wide(R) - G) * 60 / delta + 240);
    if (H < 0)
        H = float(Wide(H) + 360);
}

HSVConverter::HSVConverter(float H, float S)
{
    // A small negative saturation does not count as zero, only 0..0.0002.
    const bool noSaturation = std::fabs(Wide(S) - zeroSaturation) <= zeroSaturation;
    const bool noHue = IsNaN(H);
    if (noSaturation || noHue) {
        if (!noHue)
            throw EColorError("HSVtoRGB:  S = 0 and H has a value");
        return; // grey: every channel is V
    }
    // Outside the accepted range the sector number means nothing; just below 0
    // it would truncate to sector 0 and give channels below zero.
    if (!(H >= 0 && H <= 360)) {
        m_inRange = false;
        return;
    }
    float h = H == 360 ? 0.0f : H;
    h = float(Wide(h) / 60);
    const int sector = int(h);
    const float f = float(Wide(h) - sector);
    const Wide p = 1 - Wide(S), q = 1 - Wide(S) * f, t = 1 - Wide(S) * (1 - Wide(f));
    // The six sectors of the hue circle, 60 degrees each: red, green, blue.
    const Wide sectors[6][3] = {{1, t, p}, {q, 1, p}, {p, 1, t}, {p, q, 1}, {t, p, 1}, {1, p, q}};
    if (sector < 0 || sector > 5) {
        m_inRange = false;
        return;
    }
    for (int c = 0; c < 3; ++c)
        m_factor[c] = sectors[sector][c];
}

void HSVtoRGB(float H, float S, float V, float& R, float& G, float& B)
{
    HSVConverter(H, S).toRGB(V, R, G, B);
}

} // namespace tintora
