#pragma once
#include <span>
#include <stdexcept>

namespace tintora {

// Raised when a colour cannot be converted (a hue given for a colourless value).
class EColorError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Largest and smallest element; the first of equal elements wins.
// An empty array throws std::invalid_argument.
double MaxValue(std::span<const double> values);
double MinValue(std::span<const double> values);

// Channels in any common scale (0..255 here). H in degrees [0, 360), NaN when
// the colour has no hue; S in 0..1; V is the largest channel, unscaled.
void RGBtoHSV(float R, float G, float B, float& H, float& S, float& V);

// Inverse of RGBtoHSV for H in [0, 360] (360 is 0) or NaN (grey of value V).
// Throws EColorError when S is (nearly) zero but H is a number. A hue outside
// [0, 360] leaves R, G and B as they were.
void HSVtoRGB(float H, float S, float V, float& R, float& G, float& B);

// HSVtoRGB for one hue and saturation and many values, with the work that
// depends on H and S alone done once; results are bit for bit those of HSVtoRGB.
// Construction raises EColorError where HSVtoRGB would.
class HSVConverter {
public:
    HSVConverter(float H, float S);
    void toRGB(float V, float& R, float& G, float& B) const
    {
        if (!m_inRange)
            return;
        R = float((long double)V * m_factor[0]);
        G = float((long double)V * m_factor[1]);
        B = float((long double)V * m_factor[2]);
    }

private:
    bool m_inRange = true;
    // Each channel as a share of V, kept at full width: 1 for the channel
    // that is V itself (the product is then V exactly), else 1 - S, 1 - S f or
    // 1 - S (1 - f), by the hue's sector.
    long double m_factor[3] = {1, 1, 1};
};

} // namespace tintora
