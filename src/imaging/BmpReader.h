#pragma once
#include "imaging/Bitmap.h"
#include "imaging/Picture.h"

#include <cstdint>
#include <span>

namespace tintora {

// Decodes a whole BMP file. Throws ImageError with "Image bitmap incorrecte"
// for what is not a BMP file or not a creatable bitmap, and with "Erreur de
// lecture du flux" when the file ends inside a header or table.
Bitmap readBmp(std::span<const std::uint8_t> bytes);

// The bitmap kind of graphic: what the BMP reader makes and what a picture
// holds after setBitmap.
class BitmapGraphic final : public Graphic {
public:
    BitmapGraphic() = default;
    explicit BitmapGraphic(Bitmap bitmap) : m_bitmap(std::move(bitmap)) {}

    void load(std::span<const std::uint8_t> bytes) override { m_bitmap = readBmp(bytes); }
    int width() const override { return m_bitmap.width(); }
    int height() const override { return m_bitmap.height(); }
    Bitmap toBitmap() override { return m_bitmap; }

    Bitmap& bitmap() { return m_bitmap; }
    const Bitmap& bitmap() const { return m_bitmap; }

private:
    Bitmap m_bitmap;
};

} // namespace tintora
