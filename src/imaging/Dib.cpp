#include "imaging/Dib.h"

#include "imaging/DibRle.h"
#include "imaging/IconDecoder.h"
#include "imaging/MemoryBudget.h"
#include "imaging/PixelRows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace tintora {

namespace {

[[noreturn]] void failBadBitmap() { throw ImageError(texts::badBitmap); }

// BITMAPCOREHEADER: size, 16-bit width and height, planes, bit count.
DibHeader readCoreHeader(ByteCursor& in, DibHeader h)
{
    h.core = true;
    h.width = in.u16();
    h.height = in.u16();
    h.planes = in.u16();
    h.bitCount = in.u16();
    return h;
}

// BITMAPINFOHEADER and its longer kinds. Shorter OS/2 headers (16 to 36
// bytes) carry a prefix of the same fields; the ones they lack read as 0.
DibHeader readInfoHeader(ByteCursor& in, DibHeader h)
{
    if (h.headerSize < 16)
        failBadBitmap();
    const auto body = in.bytes(h.headerSize - 4);
    std::array<std::uint8_t, 52> fields{};
    std::memcpy(fields.data(), body.data(), std::min(body.size(), fields.size()));
    ByteCursor f(fields);
    f.fields(h.width, h.height, h.planes, h.bitCount, h.compression, h.imageSize, h.xPelsPerMeter,
             h.yPelsPerMeter, h.colorsUsed, h.colorsImportant);
    if (h.compression != dibBitFields || (h.bitCount != 16 && h.bitCount != 32))
        return h;
    // Headers of 52 bytes and more hold the masks themselves (V2 to V5 kinds);
    // a plain 40-byte header is followed by them.
    h.hasMasks = true;
    ByteCursor& m = h.headerSize >= 52 ? f : in;
    m.fields(h.masks.red, h.masks.green, h.masks.blue);
    // Headers of 56 bytes and more (V3 to V5 kinds) name the alpha field next.
    if (h.headerSize >= 56)
        f.fields(h.alphaMask);
    return h;
}

struct Layout {
    PixelFormat format = PixelFormat::Device;
    int bitsPerPixel = 32;
    bool rle = false;
};

// The bitmap a header asks for; anything the display system could not
// create fails the same way it would.
Layout chooseLayout(const DibHeader& h)
{
    switch (h.compression) {
    case dibRgb:
        switch (h.bitCount) {
        case 1:
            return {PixelFormat::Bits1, 1};
        case 4:
            return {PixelFormat::Bits4, 4};
        case 8:
            return {PixelFormat::Bits8, 8};
        case 16:
            return {PixelFormat::Bits15, 16};
        case 24:
            return {PixelFormat::Bits24, 24};
        case 32:
            return {PixelFormat::Bits32, 32};
        default:
            failBadBitmap();
        }
    case dibRle8:
        if (h.bitCount != 8)
            failBadBitmap();
        return {PixelFormat::Device, 32, true};
    case dibRle4:
        if (h.bitCount != 4)
            failBadBitmap();
        return {PixelFormat::Device, 32, true};
    case dibBitFields:
        if (h.bitCount == 16)
            return {h.masks == Bitmap::masksFor(PixelFormat::Bits16) ? PixelFormat::Bits16
                                                                     : PixelFormat::Custom,
                    16};
        if (h.bitCount == 32)
            return {PixelFormat::Custom, 32};
        failBadBitmap();
    default:
        failBadBitmap();
    }
}

// Checks that a bitmap of this size is sane before anything is allocated:
// positive width, a height, and a picture the memory budget can hold, its
// 24-bit working copy included. Returns the row length.
std::int64_t checkedStride(const DibHeader& h, const Layout& layout, std::int64_t height)
{
    if (h.width <= 0 || height <= 0 || height > INT32_MAX)
        failBadBitmap();
    if (!fitsPictureBudget(h.width, height, layout.bitsPerPixel))
        failBadBitmap();
    return rowBytes(h.width, layout.bitsPerPixel);
}

Bitmap allocateBitmap(const DibHeader& h, const Layout& layout, std::int64_t height)
{
    Bitmap bmp;
    bmp.setFormat(layout.format, layout.bitsPerPixel);
    bmp.setSize(h.width, int(height));
    if (layout.format == PixelFormat::Custom)
        bmp.masks() = h.masks;
    return bmp;
}

std::vector<RGBQuad> readColorTable(ByteCursor& in, std::size_t count, bool core)
{
    const std::size_t entrySize = core ? 3 : 4;
    if (count > in.remaining() / entrySize) // checked before the product, which could wrap
        in.fail();
    const auto bytes = in.bytes(count * entrySize);
    std::vector<RGBQuad> table(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* e = bytes.data() + i * entrySize;
        table[i] = RGBQuad{e[0], e[1], e[2], 0};
    }
    return table;
}

std::size_t defaultTableSize(const DibHeader& h)
{
    if (h.colorsUsed != 0 && !h.core)
        return h.colorsUsed;
    return h.bitCount <= 8 ? std::size_t(1) << h.bitCount : 0;
}

// The colour table of a BMP file. A pixel offset inside a table of implied
// length means a short table (seen in old core files): rows never overlap the
// table. A count the header states is taken at its word.
std::vector<RGBQuad> readFileColorTable(ByteCursor& in, const DibHeader& h, std::size_t pixelOffset)
{
    const std::size_t entrySize = h.core ? 3 : 4;
    const std::size_t tableStart = in.pos();
    const bool impliedCount = h.core || h.colorsUsed == 0;
    std::size_t entries = defaultTableSize(h);
    if (impliedCount && pixelOffset > tableStart && pixelOffset < tableStart + entries * entrySize)
        entries = (pixelOffset - tableStart) / entrySize;
    return readColorTable(in, entries, h.core);
}

// Copies as many stored rows as `data` holds; missing rows stay zero.
void copyRows(Bitmap& bmp, std::span<const std::uint8_t> data, bool topDown)
{
    const std::size_t stride = std::size_t(bmp.stride());
    const std::size_t total = stride * std::size_t(bmp.height());
    const std::size_t n = std::min(total, data.size());
    if (!topDown) {
        std::memcpy(bmp.bits(), data.data(), n);
        return;
    }
    for (std::size_t offset = 0, y = 0; offset < n; offset += stride, ++y)
        std::memcpy(bmp.scanLine(int(y)), data.data() + offset, std::min(stride, n - offset));
}

void attachTable(Bitmap& bmp, const std::vector<RGBQuad>& table, int bitCount)
{
    if (table.empty())
        return;
    if (bmp.bitsPerPixel() <= 8) {
        const std::size_t entries = std::min(table.size(), std::size_t(1) << bitCount);
        bmp.colorTable().assign(table.begin(), table.begin() + std::ptrdiff_t(entries));
    }
    const std::size_t kept = std::min<std::size_t>(table.size(), 256);
    bmp.palette().assign(table.begin(), table.begin() + std::ptrdiff_t(kept));
}

// ---- BMP files ----------------------------------------------------------

BmpFileFacts fileFactsOf(const DibHeader& h, const Bitmap& bmp, std::size_t pixelStart)
{
    BmpFileFacts facts;
    facts.format = bmp.pixelFormat();
    facts.bitsPerPixel = bmp.bitsPerPixel();
    facts.width = bmp.width();
    facts.height = bmp.height();
    facts.xPelsPerMeter = h.xPelsPerMeter;
    facts.yPelsPerMeter = h.yPelsPerMeter;
    facts.colorsImportant = h.colorsImportant;
    facts.coreFormat = h.core;
    facts.alphaMask = h.alphaMask;
    facts.topDown = h.height < 0;
    facts.pixelDataOffset = std::uint32_t(pixelStart);
    return facts;
}

// ---- Icon images ----------------------------------------------------------

// The colour rows and the AND mask rows of an icon image, bottom row first.
struct IconRows {
    std::int64_t width = 0, height = 0;
    std::size_t colorStride = 0, maskStride = 0;
    std::span<const std::uint8_t> color, mask;
};

// The header height counts the colour rows and the mask rows together. The
// colour rows must be there in full: an icon image is never shown in part.
// The mask is taken only when it is whole; composeIcon decides whether the
// image can do without it.
IconRows takeIconRows(ByteCursor& in, const DibHeader& h, const Layout& layout)
{
    IconRows rows;
    rows.width = h.width;
    rows.height = h.height / 2;
    if (rows.width <= 0 || rows.height <= 0 || rows.width > kMaxIconSide || rows.height > kMaxIconSide)
        failBadBitmap();
    rows.colorStride = std::size_t(checkedStride(h, layout, rows.height));
    rows.maskStride = std::size_t(Bitmap::strideFor(h.width, 1));
    const std::uint64_t colorBytes = std::uint64_t(rows.colorStride) * std::uint64_t(rows.height);
    const std::uint64_t maskBytes = std::uint64_t(rows.maskStride) * std::uint64_t(rows.height);
    if (colorBytes > in.remaining())
        failBadBitmap();
    rows.color = in.bytes(std::size_t(colorBytes));
    if (maskBytes <= in.remaining())
        rows.mask = in.bytes(std::size_t(maskBytes));
    return rows;
}

// A 32-bit image whose alpha bytes are all 0 was made before alpha existed:
// its mask says what shows.
bool hasAlphaChannel(const Layout& layout, std::span<const std::uint8_t> colorRows)
{
    if (layout.bitsPerPixel != 32)
        return false;
    for (std::size_t i = 3; i < colorRows.size(); i += 4)
        if (colorRows[i] != 0)
            return true;
    return false;
}

// Converts the stored colour rows to blue, green, red bytes and lays alpha
// over them: the image's own alpha bytes, or 0 where a mask bit is set and 255
// elsewhere. Rows go straight from the file bytes to the output. An image
// drawn from its own alpha shows whole even when its mask was cut short.
Bitmap composeIcon(const Layout& layout, const std::vector<RGBQuad>& table, const IconRows& rows)
{
    const bool ownAlpha = hasAlphaChannel(layout, rows.color);
    if (!ownAlpha && rows.mask.empty())
        failBadBitmap();
    Bitmap out(int(rows.width), int(rows.height), PixelFormat::Bits32);
    // BI_RGB rows of 16 bits are 5-5-5; the other layouts need no masks.
    RowToBgr toBgr(layout.format, layout.bitsPerPixel, Bitmap::masksFor(layout.format), table,
                   int(rows.width));
    const std::size_t width = std::size_t(rows.width);
    std::vector<std::uint8_t> maskBits(width);
    for (int y = 0; y < out.height(); ++y) {
        const std::size_t stored = std::size_t(out.height() - 1 - y); // rows run bottom-up
        const std::uint8_t* colorRow = rows.color.data() + stored * rows.colorStride;
        std::uint8_t* o = out.scanLine(y);
        toBgr(colorRow, o, 4);
        if (ownAlpha) {
            for (std::size_t x = 0; x < width; ++x)
                o[4 * x + 3] = colorRow[4 * x + 3];
            continue;
        }
        unpackIndices(rows.mask.data() + stored * rows.maskStride, 1, 0, rows.width, maskBits.data());
        for (std::size_t x = 0; x < width; ++x)
            o[4 * x + 3] = maskBits[x] ? 0 : 255;
    }
    return out;
}

// The rows of a file read whole, left where they were read: the file's store
// becomes the bitmap's, so a large picture is never copied. Only a store not
// much larger than the rows is kept, so trailing junk is never held as pixels.
std::optional<Bitmap> keepRows(const DibHeader& h, const Layout& layout, std::int64_t height,
                               FileBytes* owner, std::span<const std::uint8_t> data)
{
    const std::size_t bytes = std::size_t(storeBytes(rowBytes(h.width, layout.bitsPerPixel), height));
    if (!owner || layout.rle || h.height <= 0 || data.size() < bytes)
        return std::nullopt;
    const std::size_t start = std::size_t(data.data() - owner->data());
    if (owner->capacity() - bytes > bytes / 8 + (std::size_t(1) << 16))
        return std::nullopt;
    owner->resize(start + bytes);
    Bitmap bmp =
        Bitmap::overStore(h.width, int(height), layout.format, layout.bitsPerPixel, std::move(*owner), start);
    if (layout.format == PixelFormat::Custom)
        bmp.masks() = h.masks;
    return bmp;
}

} // namespace

DibHeader readDibHeader(ByteCursor& in)
{
    DibHeader h;
    h.headerSize = in.u32();
    return h.headerSize == 12 ? readCoreHeader(in, h) : readInfoHeader(in, h);
}

BmpImage decodeBmpDib(ByteCursor& in, std::uint32_t pixelOffset, FileBytes* owner)
{
    const std::size_t dibStart = in.pos();
    const DibHeader h = readDibHeader(in);
    if (h.planes != 1)
        failBadBitmap();
    const Layout layout = chooseLayout(h);
    const std::int64_t height = h.height < 0 ? -std::int64_t(h.height) : h.height;
    if (layout.rle && h.height < 0)
        failBadBitmap();
    checkedStride(h, layout, height);

    const std::vector<RGBQuad> table = readFileColorTable(in, h, pixelOffset);
    if (pixelOffset > in.pos())
        in.seek(pixelOffset);
    const std::size_t pixelStart = in.pos();

    std::size_t available = in.remaining();
    if (h.imageSize != 0)
        available = std::min<std::size_t>(available, h.imageSize);
    // Rows the file does not hold are left black: the budget, checked above,
    // bounds what a header may claim, however little data follows it.
    const auto data = in.bytes(available);
    BmpImage image;
    if (auto kept = keepRows(h, layout, height, owner, data)) {
        image.bitmap = std::move(*kept);
    } else {
        image.bitmap = allocateBitmap(h, layout, height);
        if (layout.rle)
            decodeRunLengths(image.bitmap, data, table, h.compression == dibRle4 ? 4 : 8);
        else
            copyRows(image.bitmap, data, h.height < 0);
    }
    attachTable(image.bitmap, table, h.bitCount);
    image.facts = fileFactsOf(h, image.bitmap, pixelStart);
    if (layout.rle)
        image.facts.rleData.assign(in.data().begin() + std::ptrdiff_t(dibStart), in.data().end());
    return image;
}

Bitmap decodeIconDib(std::span<const std::uint8_t> bytes)
{
    // Every failure of an icon image, a cut one included, is a bad bitmap.
    ByteCursor in(bytes, texts::badBitmap);
    const DibHeader h = readDibHeader(in);
    // Icon images never use a core or short OS/2 header, nor compression.
    if (h.headerSize < 40 || h.planes != 1 || h.compression != dibRgb)
        failBadBitmap();
    const Layout layout = chooseLayout(h);
    const std::vector<RGBQuad> table = readColorTable(in, defaultTableSize(h), false);
    const IconRows rows = takeIconRows(in, h, layout);
    return composeIcon(layout, table, rows);
}

} // namespace tintora
