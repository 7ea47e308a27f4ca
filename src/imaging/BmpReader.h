#pragma once
#include "imaging/Bitmap.h"
#include "imaging/BmpFileFacts.h"
#include "imaging/Picture.h"

#include <cstdint>
#include <span>

namespace tintora {

// Decodes a whole BMP file: its pixels, and beside them what the writer needs
// to write the file back as it was read. Throws ImageError with "Image bitmap
// incorrecte" for what is not a BMP file or not a creatable bitmap, and with
// "Erreur de lecture du flux" when the file ends inside a header or table.
BmpImage readBmpImage(std::span<const std::uint8_t> bytes);

// The same over a whole file's bytes handed over: rows stored as the bitmap
// stores them become its pixels without a copy.
BmpImage readBmpFileBytes(FileBytes bytes);

// The pixels alone, for callers that never write the file back.
Bitmap readBmp(std::span<const std::uint8_t> bytes);

// The bitmap kind of graphic: what the BMP reader makes and what a picture
// holds after setBitmap. It keeps the file facts of a BMP file it read.
class BitmapGraphic final : public Graphic {
public:
    BitmapGraphic() = default;
    explicit BitmapGraphic(Bitmap bitmap) : m_image{std::move(bitmap), {}} {}

    void load(std::span<const std::uint8_t> bytes) override { m_image = readBmpImage(bytes); }
    void loadFile(FileBytes bytes) override { m_image = readBmpFileBytes(std::move(bytes)); }
    int width() const override { return m_image.bitmap.width(); }
    int height() const override { return m_image.bitmap.height(); }
    Bitmap toBitmap() override { return m_image.bitmap; }
    // Leaves an empty bitmap behind; the file facts stay.
    Bitmap takeBitmap() override { return std::move(m_image.bitmap); }

    Bitmap& bitmap() { return m_image.bitmap; }
    const Bitmap& bitmap() const { return m_image.bitmap; }
    // Empty for a bitmap that was set rather than read.
    const BmpFileFacts& fileFacts() const { return m_image.facts; }

private:
    BmpImage m_image;
};

} // namespace tintora
