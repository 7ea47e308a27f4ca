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

} // namespace tintora
