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
    void toRGB(float V, float& R, float& G, float& B) const;

private:
    enum class Mode { Grey, Sectors, OutOfRange };
    Mode m_mode = Mode::Grey;
    int m_sector = 0;
    // 1 - S, 1 - S f and 1 - S (1 - f), kept at full width.
    long double m_pFactor = 0, m_qFactor = 0, m_tFactor = 0;
};

} // namespace tintora
