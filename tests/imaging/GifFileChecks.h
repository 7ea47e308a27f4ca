#pragma once
// Checks shared by the tests that read real GIF files, here and in the corpus suite.
#include "imaging/GifImage.h"
#include "imaging/ImageError.h"
#include "support/Bytes.h"

#include <set>
#include <string>

namespace tintora::test {

// Red, green, blue bytes of a bitmap, row by row from the top.
inline Bytes rgbOf(const Bitmap& bitmap)
{
    Bytes out;
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            const ColorValue c = bitmap.pixel(x, y);
            out.insert(out.end(),
                       {std::uint8_t(redOf(c)), std::uint8_t(greenOf(c)), std::uint8_t(blueOf(c))});
        }
    }
    return out;
}

inline bool isGifErrorText(const std::string& text)
{
    static const std::set<std::string> texts = {gifTexts::badSignature,     gifTexts::prematureEnd,
                                                gifTexts::unknownExtension, gifTexts::circularEntry,
                                                gifTexts::noColorTable,     gifTexts::tooLarge};
    return texts.count(text) > 0;
}

// Loads and converts; returns the error text, or "" when both worked.
inline std::string loadAndConvert(const Bytes& bytes)
{
    try {
        GifImage image;
        image.load(bytes);
        const Bitmap b = image.toBitmap();
        if (image.frameCount() > 0 && (b.width() != image.width() || b.height() != image.height()))
            return "bitmap of the wrong size";
    } catch (const ImageError& e) {
        return e.what();
    }
    return "";
}

} // namespace tintora::test
