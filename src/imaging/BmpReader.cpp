#include "imaging/BmpReader.h"

#include "imaging/ByteCursor.h"
#include "imaging/Dib.h"

namespace tintora {

namespace {

// BITMAPFILEHEADER: "BM", file size, two reserved words, pixel data offset.
struct BmpFileHeader {
    std::uint16_t type = 0;
    std::uint32_t fileSize = 0;
    std::uint16_t reserved1 = 0, reserved2 = 0;
    std::uint32_t pixelOffset = 0;
};
constexpr std::uint16_t bmpSignature = 0x4D42; // "BM"

BmpFileHeader readFileHeader(ByteCursor& in)
{
    // The file size is not trusted: files in the wild get it wrong.
    BmpFileHeader h;
    in.fields(h.type, h.fileSize, h.reserved1, h.reserved2, h.pixelOffset);
    return h;
}

BmpImage decodeBmpFile(std::span<const std::uint8_t> bytes, FileBytes* owner)
{
    ByteCursor in(bytes);
    if (bytes.size() >= 2 && (bytes[0] | (bytes[1] << 8)) != bmpSignature)
        throw ImageError(texts::badBitmap);
    const BmpFileHeader header = readFileHeader(in);
    if (header.type != bmpSignature)
        throw ImageError(texts::badBitmap);
    return decodeBmpDib(in, header.pixelOffset, owner);
}

} // namespace

BmpImage readBmpImage(std::span<const std::uint8_t> bytes) { return decodeBmpFile(bytes, nullptr); }

BmpImage readBmpFileBytes(FileBytes bytes) { return decodeBmpFile(bytes, &bytes); }

Bitmap readBmp(std::span<const std::uint8_t> bytes) { return readBmpImage(bytes).bitmap; }

} // namespace tintora
