#pragma once
#include "imaging/Picture.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tintora {

// A JPEG file held whole. Loading reads only the header; the pixels are
// decoded by libjpeg on first conversion and kept.
class JpegImage : public Graphic {
public:
    // Grayscale files, and every file on a display of 8 bits or fewer, are
    // quantized to at most this many colours into an 8-bit bitmap.
    static constexpr int quantizedColors = 236;
    explicit JpegImage(int displayBitsPerPixel = 32) : m_displayBits(displayBitsPerPixel) {}

    void load(std::span<const std::uint8_t> bytes) override;
    int width() const override { return m_width; }
    int height() const override { return m_height; }
    // 24-bit for colour, 8-bit with libjpeg's colour map when quantized.
    Bitmap toBitmap() override { return decodedBitmap(); }
    Bitmap takeBitmap() override;
    bool isJpeg() const override { return true; }

    bool isGrayscale() const { return m_grayscale; }
    bool isProgressive() const { return m_progressive; }
    bool isDecoded() const { return m_decoded.has_value(); }
    // Decodes on first use; throws ImageError "Erreur JPEG #%d".
    const Bitmap& decodedBitmap();

private:
    int m_displayBits;
    std::vector<std::uint8_t> m_data;
    int m_width = 0, m_height = 0;
    bool m_grayscale = false, m_progressive = false;
    std::optional<Bitmap> m_decoded;
};

// Makes "jpg" and "jpeg" files load as JpegImage.
void registerJpegReader();

} // namespace tintora
