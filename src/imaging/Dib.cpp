#include "imaging/Dib.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tintora {

namespace {

constexpr ColorMasks masks565{0xF800, 0x07E0, 0x001F};

[[noreturn]] void failBadBitmap()
{
    throw ImageError(texts::badBitmap);
}

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
    std::array<std::uint8_t, 48> fields{};
    std::memcpy(fields.data(), body.data(), std::min(body.size(), fields.size()));
    ByteCursor f(fields);
    h.width = f.i32();
    h.height = f.i32();
    h.planes = f.u16();
    h.bitCount = f.u16();
    h.compression = f.u32();
    h.imageSize = f.u32();
    h.xPelsPerMeter = f.i32();
    h.yPelsPerMeter = f.i32();
    h.colorsUsed = f.u32();
    h.colorsImportant = f.u32();
    if (h.compression != dibBitFields || (h.bitCount != 16 && h.bitCount != 32))
        return h;
    // Headers of 52 bytes and more hold the masks themselves (V2 to V5 kinds);
    // a plain 40-byte header is followed by them.
    h.hasMasks = true;
    ByteCursor& m = h.headerSize >= 52 ? f : in;
    h.masks.red = m.u32();
    h.masks.green = m.u32();
    h.masks.blue = m.u32();
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
            return {h.masks == masks565 ? PixelFormat::Bits16 : PixelFormat::Custom, 16};
        if (h.bitCount == 32)
            return {PixelFormat::Custom, 32};
        failBadBitmap();
    default:
        failBadBitmap();
    }
}

// Checks that a bitmap of this size is sane before anything is allocated:
// positive width, a height, and a bounded pixel store. Returns the row length.
std::int64_t checkedStride(const DibHeader& h, const Layout& layout, std::int64_t height)
{
    if (h.width <= 0 || height <= 0 || height > INT32_MAX)
        failBadBitmap();
    const std::int64_t stride = (std::int64_t(h.width) * layout.bitsPerPixel + 31) / 32 * 4;
    if (stride > maxDibPixelBytes || height > maxDibPixelBytes / stride) // no product that could overflow
        failBadBitmap();
    return stride;
}

// Rows a file does not hold are left black, but a header that claims far
// more rows than the file could ever carry is not believed. Run-length codes
// fill up to 255 pixels with two bytes, so they earn more room.
void checkBelievable(std::int64_t pixelBytes, std::size_t dataBytes, bool rle)
{
    const std::int64_t believable =
        rle ? 1024 * std::int64_t(dataBytes) + (std::int64_t(1) << 20) : 4 * std::int64_t(dataBytes) + 65536;
    if (pixelBytes > believable)
        failBadBitmap();
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

// Walks run-length codes into a device bitmap, bottom row first. Pixels the
// codes skip (deltas, early ends of line or bitmap, a cut stream) stay black;
// runs that pass the end of a row are clipped rather than wrapped.
class RleDecoder {
public:
    RleDecoder(Bitmap& bmp, const std::vector<RGBQuad>& table, bool fourBit)
        : m_base(bmp.bits()), m_stride(std::size_t(bmp.stride())), m_width(bmp.width()),
          m_height(bmp.height()), m_table(table), m_fourBit(fourBit)
    {
    }

    void run(ByteCursor in)
    {
        while (m_row < m_height && in.remaining() >= 2) {
            const unsigned count = in.u8(), value = in.u8();
            if (count > 0)
                putRun(count, value);
            else if (value == 0)
                nextLine();
            else if (value == 1)
                return;
            else if (value == 2)
                delta(in);
            else if (!absolute(in, value))
                return;
        }
    }

private:
    void put(unsigned index)
    {
        if (m_x >= m_width)
            return;
        std::uint8_t* p = m_base + std::size_t(m_row) * m_stride + std::size_t(m_x) * 4;
        if (index < m_table.size()) {
            p[0] = m_table[index].blue;
            p[1] = m_table[index].green;
            p[2] = m_table[index].red;
        }
        ++m_x;
    }
    void putRun(unsigned count, unsigned value)
    {
        for (unsigned i = 0; i < count && m_x < m_width; ++i)
            put(m_fourBit ? ((i & 1) ? value & 0x0F : value >> 4) : value);
    }
    void nextLine()
    {
        m_x = 0;
        ++m_row;
    }
    void delta(ByteCursor& in)
    {
        if (in.remaining() < 2) {
            m_row = m_height;
            return;
        }
        m_x = std::min(m_width, m_x + in.u8());
        m_row += in.u8();
    }
    // An absolute run of `count` pixels, padded to a 16-bit boundary. Returns
    // false when the stream ends inside it.
    bool absolute(ByteCursor& in, unsigned count)
    {
        const std::size_t bytes = m_fourBit ? (count + 1) / 2 : count;
        const std::size_t have = std::min(bytes, in.remaining());
        const auto data = in.bytes(have);
        for (unsigned i = 0; i < count && m_x < m_width; ++i) {
            const std::size_t at = m_fourBit ? i / 2 : i;
            if (at >= have)
                break;
            put(m_fourBit ? ((i & 1) ? data[at] & 0x0F : data[at] >> 4) : data[at]);
        }
        if (have < bytes)
            return false;
        if ((bytes & 1) && !in.atEnd())
            in.skip(1);
        return true;
    }

    std::uint8_t* m_base;
    std::size_t m_stride;
    int m_width, m_height;
    const std::vector<RGBQuad>& m_table;
    bool m_fourBit;
    int m_x = 0, m_row = 0;
};

void keepFileFacts(Bitmap& bmp, const DibHeader& h, std::size_t tableBytes, std::size_t pixelStart)
{
    BmpFileFacts& facts = bmp.fileFacts();
    facts.xPelsPerMeter = h.xPelsPerMeter;
    facts.yPelsPerMeter = h.yPelsPerMeter;
    facts.colorsImportant = h.colorsImportant;
    facts.coreFormat = h.core;
    facts.topDown = h.height < 0;
    facts.compression = h.compression;
    facts.infoHeaderSize = h.headerSize;
    facts.colorTableBytes = std::uint32_t(tableBytes);
    facts.pixelDataOffset = std::uint32_t(pixelStart);
}

} // namespace

DibHeader readDibHeader(ByteCursor& in)
{
    DibHeader h;
    h.headerSize = in.u32();
    return h.headerSize == 12 ? readCoreHeader(in, h) : readInfoHeader(in, h);
}

Bitmap decodeBmpDib(ByteCursor& in, std::uint32_t pixelOffset)
{
    const std::size_t dibStart = in.pos();
    const DibHeader h = readDibHeader(in);
    if (h.planes != 1)
        failBadBitmap();
    const Layout layout = chooseLayout(h);
    const std::int64_t height = h.height < 0 ? -std::int64_t(h.height) : h.height;
    if (layout.rle && h.height < 0)
        failBadBitmap();
    const std::int64_t stride = checkedStride(h, layout, height);

    const std::vector<RGBQuad> table = readFileColorTable(in, h, pixelOffset);
    if (pixelOffset > in.pos())
        in.seek(pixelOffset);
    const std::size_t pixelStart = in.pos();

    std::size_t available = in.remaining();
    if (h.imageSize != 0)
        available = std::min<std::size_t>(available, h.imageSize);
    const auto data = in.bytes(available);
    checkBelievable(stride * height, data.size(), layout.rle);
    Bitmap bmp = allocateBitmap(h, layout, height);
    if (layout.rle) {
        RleDecoder(bmp, table, h.compression == dibRle4).run(ByteCursor(data));
    } else {
        copyRows(bmp, data, h.height < 0);
    }
    attachTable(bmp, table, h.bitCount);
    keepFileFacts(bmp, h, table.size() * (h.core ? 3 : 4), pixelStart);
    // Last: filling the bitmap counts as changing it, which drops kept data.
    if (layout.rle)
        bmp.fileFacts().rleData.assign(in.data().begin() + std::ptrdiff_t(dibStart), in.data().end());
    return bmp;
}

} // namespace tintora
