#pragma once
#include "imaging/Picture.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tintora {

namespace gifTexts {
// Errors: the load (or, for the colour table, the conversion) fails.
inline constexpr const char* badSignature = "Invalid GIF signature";
inline constexpr const char* prematureEnd = "Premature end of data";
inline constexpr const char* unknownExtension = "Unknown extension type";
inline constexpr const char* circularEntry = "Circular decoder table entry";
inline constexpr const char* noColorTable = "No global or local color table defined";
inline constexpr const char* tooLarge = "Image too large";
// Warnings: reported to the observer only; decoding goes on.
inline constexpr const char* unknownBlock = "Unknown GIF block type";
inline constexpr const char* badTrailer = "Invalid Image trailer";
inline constexpr const char* badIntroducer = "Invalid extension introducer";
inline constexpr const char* exceedsScreen = "Image exceeds Logical Screen size";
inline constexpr const char* bitUnderrun = "Decoder bit buffer under-run";
inline constexpr const char* zeroWidth = "Invalid image width";
inline constexpr const char* zeroHeight = "Invalid image height";
inline constexpr const char* badCodeSize = "Invalid LZW code size";
} // namespace gifTexts

// One extension block as read: its label and its data sub-blocks joined.
struct GifExtension {
    std::uint8_t label = 0; // 0x01 plain text, 0xF9 graphic control, 0xFE comment, 0xFF application
    std::vector<std::uint8_t> data;
};

// The graphic control extension that governs a frame.
struct GifGraphicControl {
    bool present = false;
    std::uint8_t packed = 0;
    std::uint16_t delay = 0;
    std::uint8_t transparentIndex = 0;
    bool transparent() const { return present && (packed & 1); }
    int disposal() const { return (packed >> 2) & 7; }
};

struct GifFrame {
    std::uint16_t left = 0, top = 0, width = 0, height = 0;
    std::uint8_t packed = 0;
    bool hasImage = false;
    std::vector<RGBQuad> localColorTable;
    std::vector<GifExtension> extensions;
    GifGraphicControl control;
    std::vector<std::uint8_t> pixels; // colour indices, width x height, top row first

    bool interlaced() const { return (packed & 0x40) != 0; }
};

// A GIF file decoded at load: the colour indices of every frame the memory
// budget holds (see MemoryBudget.h). Only the first frame becomes the picture.
class GifImage : public Graphic {
public:
    // Told about damage that decoding works around.
    std::function<void(GifImage* sender, const std::string& warning)> OnWarning;

    void load(std::span<const std::uint8_t> bytes) override;
    int width() const override { return m_screenWidth; }
    int height() const override { return m_screenHeight; }
    // The first frame as described for the picture; empty when there is none.
    Bitmap toBitmap() override { return imageBitmap(); }
    Bitmap takeBitmap() override;

    const std::string& signature() const { return m_signature; }
    std::uint8_t backgroundIndex() const { return m_backgroundIndex; }
    std::uint8_t aspect() const { return m_aspect; }
    const std::vector<RGBQuad>& globalColorTable() const { return m_globalTable; }
    std::size_t frameCount() const { return m_frames.size(); }
    const GifFrame& frame(std::size_t index) const { return m_frames.at(index); }

    // The local table, else the image's; throws when there is neither.
    const std::vector<RGBQuad>& framePalette(std::size_t index) const;
    // An 8-bit bitmap of the frame's indices; made once and kept.
    const Bitmap& frameBitmap(std::size_t index);
    // Made once and kept.
    const Bitmap& imageBitmap();

private:
    friend class GifReader;
    const std::vector<RGBQuad>* imagePalette() const;
    Bitmap makeFrameBitmap(std::size_t index) const;
    void warn(const char* text);

    std::string m_signature;
    int m_screenWidth = 0, m_screenHeight = 0;
    std::uint8_t m_screenPacked = 0, m_backgroundIndex = 0, m_aspect = 0;
    std::vector<RGBQuad> m_globalTable;
    std::vector<GifFrame> m_frames;
    std::vector<std::optional<Bitmap>> m_frameBitmaps;
    std::optional<Bitmap> m_imageBitmap;
};

// Makes "gif" files load as GifImage.
void registerGifReader();

} // namespace tintora
