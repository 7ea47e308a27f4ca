#include "imaging/Bitmap.h"

#include "imaging/MemoryBudget.h"
#include "imaging/PixelRows.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tintora {

namespace {

// The inverse of MaskChannel: places an 8-bit level in the field of a mask.
std::uint32_t encodeChannel(const MaskChannel& channel, int level)
{
    if (channel.maxValue == 0)
        return 0;
    const std::uint64_t v = (std::uint64_t(level) * channel.maxValue + 127) / 255;
    return std::uint32_t(v << channel.shift) & channel.mask;
}

std::uint32_t encodeMasked(const ColorMasks& masks, ColorValue c)
{
    return encodeChannel(MaskChannel(masks.red), redOf(c)) |
           encodeChannel(MaskChannel(masks.green), greenOf(c)) |
           encodeChannel(MaskChannel(masks.blue), blueOf(c));
}

// The table entry closest to c (squared distance), for writing into indexed rows.
unsigned nearestEntry(const std::vector<RGBQuad>& table, ColorValue c)
{
    unsigned best = 0;
    int bestDistance = INT32_MAX;
    for (unsigned i = 0; i < table.size(); ++i) {
        const int dr = table[i].red - redOf(c), dg = table[i].green - greenOf(c),
                  db = table[i].blue - blueOf(c);
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

ColorValue tableColor(const std::vector<RGBQuad>& table, unsigned index)
{
    if (index >= table.size())
        return 0;
    const RGBQuad& q = table[index];
    return makeColor(q.red, q.green, q.blue);
}

// One pixel of an indexed row; the depth is a constant, so that unpacking a
// single index costs no more than a direct shift.
template <int Bits> ColorValue indexedPixel(const std::vector<RGBQuad>& table, const std::uint8_t* row, int x)
{
    std::uint8_t index = 0;
    unpackIndices(row, Bits, x, 1, &index);
    return tableColor(table, index);
}

} // namespace

const char* depthText(PixelFormat format)
{
    switch (format) {
    case PixelFormat::Bits1:
        return "1bpp";
    case PixelFormat::Bits4:
        return "4bpp";
    case PixelFormat::Bits8:
        return "8bpp";
    case PixelFormat::Bits15:
        return "15bpp";
    case PixelFormat::Bits16:
        return "16bpp";
    case PixelFormat::Bits24:
        return "24bpp";
    case PixelFormat::Bits32:
        return "32bpp";
    case PixelFormat::Device:
    case PixelFormat::Custom:
        return "";
    }
    return "";
}

int Bitmap::bitsFor(PixelFormat format)
{
    switch (format) {
    case PixelFormat::Bits1:
        return 1;
    case PixelFormat::Bits4:
        return 4;
    case PixelFormat::Bits8:
        return 8;
    case PixelFormat::Bits15:
    case PixelFormat::Bits16:
        return 16;
    case PixelFormat::Bits24:
        return 24;
    case PixelFormat::Bits32:
    case PixelFormat::Device:
        return 32;
    case PixelFormat::Custom:
        return 0;
    }
    return 0;
}

ColorMasks Bitmap::masksFor(PixelFormat format)
{
    switch (format) {
    case PixelFormat::Bits15:
        return {0x7C00, 0x03E0, 0x001F};
    case PixelFormat::Bits16:
        return {0xF800, 0x07E0, 0x001F};
    default:
        return {};
    }
}

std::int64_t Bitmap::strideFor(std::int64_t width, int bitsPerPixel) { return rowBytes(width, bitsPerPixel); }

Bitmap::Bitmap(int width, int height, PixelFormat format)
{
    m_width = width;
    m_height = height;
    setFormat(format);
}

Bitmap Bitmap::overStore(int width, int height, PixelFormat format, int bitsPerPixel, PixelStore pixels,
                         std::size_t first)
{
    Bitmap bmp; // empty: setting its format allocates nothing
    bmp.setFormat(format, bitsPerPixel);
    const std::int64_t stride = strideFor(width, bmp.m_bpp);
    if (width < 0 || height < 0 || stride > INT32_MAX || first > pixels.size() ||
        std::int64_t(pixels.size() - first) != storeBytes(stride, height))
        throw std::length_error("pixel store does not fit the bitmap");
    bmp.m_width = width;
    bmp.m_height = height;
    bmp.m_stride = int(stride);
    bmp.m_pixels = std::move(pixels);
    bmp.m_first = first;
    return bmp;
}

// Readers refuse what their budget cannot hold before they make a bitmap, so
// reaching the limits here is a fault of the caller, not bad input.
PixelStore Bitmap::newStore(std::int64_t stride) const
{
    const std::int64_t bytes = storeBytes(stride, m_height);
    if (m_width < 0 || m_height < 0 || stride > INT32_MAX || bytes > (std::int64_t(1) << 34))
        throw std::length_error("bitmap size out of range");
    return PixelStore(std::size_t(bytes), 0);
}

void Bitmap::allocate()
{
    const std::int64_t stride = strideFor(m_width, m_bpp);
    m_pixels = newStore(stride);
    m_first = 0;
    m_stride = int(stride);
}

void Bitmap::setFormat(PixelFormat format, int bitsPerPixel)
{
    m_format = format;
    m_bpp = bitsPerPixel ? bitsPerPixel : bitsFor(format);
    if (m_bpp == 0)
        m_bpp = 32;
    if (format != PixelFormat::Custom)
        m_masks = masksFor(format);
    if (m_bpp > 8)
        m_colorTable.clear();
    else
        m_colorTable.resize(std::size_t(1) << m_bpp);
    allocate();
}

void Bitmap::setSize(int width, int height)
{
    if (width == m_width && height == m_height)
        return;
    m_width = width;
    m_height = height;
    allocate();
}

void Bitmap::convertTo24()
{
    if (m_format == PixelFormat::Bits24 && m_bpp == 24)
        return;
    const std::int64_t stride = strideFor(m_width, 24);
    PixelStore converted = newStore(stride);
    const std::size_t newStride = std::size_t(stride);
    RowToBgr toBgr(*this);
    for (int y = 0; y < m_height; ++y)
        toBgr(scanLine(y), converted.data() + std::size_t(m_height - 1 - y) * newStride, 3);
    if (m_palette.empty() && m_bpp <= 8)
        m_palette = m_colorTable;
    m_pixels = std::move(converted);
    m_first = 0;
    m_stride = int(newStride);
    m_format = PixelFormat::Bits24;
    m_bpp = 24;
    m_masks = {};
    m_colorTable.clear();
}

ColorValue Bitmap::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    const std::uint8_t* row = scanLine(y);
    switch (m_bpp) {
    case 1:
        return indexedPixel<1>(m_colorTable, row, x);
    case 4:
        return indexedPixel<4>(m_colorTable, row, x);
    case 8:
        return indexedPixel<8>(m_colorTable, row, x);
    case 16:
        return MaskDecoder(m_masks)(loadLe16(row + 2 * x));
    case 24:
        return makeColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    case 32:
        if (m_format == PixelFormat::Custom)
            return MaskDecoder(m_masks)(loadLe32(row + 4 * x));
        return makeColor(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    default:
        return 0;
    }
}

void Bitmap::setPixel(int x, int y, ColorValue color)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    std::uint8_t* row = scanLine(y);
    switch (m_bpp) {
    case 1: {
        const unsigned bit = 7 - (x & 7);
        row[x >> 3] =
            std::uint8_t((row[x >> 3] & ~(1u << bit)) | ((nearestEntry(m_colorTable, color) & 1) << bit));
        return;
    }
    case 4: {
        const unsigned index = nearestEntry(m_colorTable, color) & 0x0F;
        std::uint8_t& b = row[x >> 1];
        b = (x & 1) ? std::uint8_t((b & 0xF0) | index) : std::uint8_t((b & 0x0F) | (index << 4));
        return;
    }
    case 8:
        row[x] = std::uint8_t(nearestEntry(m_colorTable, color));
        return;
    case 16: {
        const std::uint32_t v = encodeMasked(m_masks, color);
        row[2 * x] = std::uint8_t(v);
        row[2 * x + 1] = std::uint8_t(v >> 8);
        return;
    }
    case 24:
        row += 3 * x;
        break;
    case 32:
        row += 4 * x;
        if (m_format == PixelFormat::Custom) {
            const std::uint32_t v = encodeMasked(m_masks, color);
            for (int i = 0; i < 4; ++i)
                row[i] = std::uint8_t(v >> (8 * i));
            return;
        }
        row[3] = 0;
        break;
    default:
        return;
    }
    row[0] = std::uint8_t(blueOf(color));
    row[1] = std::uint8_t(greenOf(color));
    row[2] = std::uint8_t(redOf(color));
}

void drawBitmap(Bitmap& dst, int x, int y, const Bitmap& src)
{
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min(dst.width(), x + src.width());
    const int y1 = std::min(dst.height(), y + src.height());
    if (x0 >= x1 || y0 >= y1)
        return;
    const bool sameLayout = src.bitsPerPixel() == 24 && dst.bitsPerPixel() == 24;
    for (int ty = y0; ty < y1; ++ty) {
        if (sameLayout) {
            std::memcpy(dst.scanLine(ty) + 3 * x0, src.scanLine(ty - y) + 3 * (x0 - x),
                        std::size_t(x1 - x0) * 3);
            continue;
        }
        for (int tx = x0; tx < x1; ++tx)
            dst.setPixel(tx, ty, src.pixel(tx - x, ty - y));
    }
}

void stretchDraw(Bitmap& dst, const Rect& rect, const Bitmap& src)
{
    const int rw = rect.width(), rh = rect.height();
    if (rw <= 0 || rh <= 0 || src.isEmpty())
        return;
    const int x0 = std::max(0, rect.left), x1 = std::min(dst.width(), rect.right);
    const int y0 = std::max(0, rect.top), y1 = std::min(dst.height(), rect.bottom);
    if (x0 >= x1 || y0 >= y1)
        return;
    // Each target pixel samples the source pixel under its centre.
    std::vector<int> columns(std::size_t(x1 - x0));
    for (int tx = x0; tx < x1; ++tx)
        columns[std::size_t(tx - x0)] =
            int((std::int64_t(2 * (tx - rect.left) + 1) * src.width()) / (std::int64_t(2) * rw));
    const bool fast = src.bitsPerPixel() == 24 && dst.bitsPerPixel() == 24;
    int lastSourceRow = -1;
    std::uint8_t* lastRow = nullptr;
    for (int ty = y0; ty < y1; ++ty) {
        const int sy = int((std::int64_t(2 * (ty - rect.top) + 1) * src.height()) / (std::int64_t(2) * rh));
        std::uint8_t* out = dst.scanLine(ty);
        if (sy == lastSourceRow && lastRow) {
            std::memcpy(out + 3 * x0, lastRow + 3 * x0, std::size_t(x1 - x0) * 3);
            continue;
        }
        if (fast) {
            const std::uint8_t* in = src.scanLine(sy);
            std::uint8_t* o = out + 3 * x0;
            for (int sx : columns) {
                const std::uint8_t* p = in + 3 * sx;
                o[0] = p[0];
                o[1] = p[1];
                o[2] = p[2];
                o += 3;
            }
            lastSourceRow = sy;
            lastRow = out;
        } else {
            for (int tx = x0; tx < x1; ++tx)
                dst.setPixel(tx, ty, src.pixel(columns[std::size_t(tx - x0)], sy));
        }
    }
}

void fillRect(Bitmap& dst, const Rect& rect, ColorValue color)
{
    const int x0 = std::max(0, rect.left), x1 = std::min(dst.width(), rect.right);
    const int y0 = std::max(0, rect.top), y1 = std::min(dst.height(), rect.bottom);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            dst.setPixel(x, y, color);
}

} // namespace tintora
