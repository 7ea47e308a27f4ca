#include "imaging/IconDecoder.h"

#include "imaging/ByteCursor.h"

#include <png.h>

#include <array>
#include <cstring>
#include <vector>

namespace tintora {

namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

[[noreturn]] void failImage()
{
    throw ImageError(texts::badBitmap);
}

// The fields of BITMAPINFOHEADER (40 bytes) an icon image needs. Icon images never
// use a core header, and later header versions only add fields after these.
struct IconDibHeader {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0; // colour rows plus mask rows
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
};
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;

IconDibHeader readDibHeader(ByteCursor& in)
{
    IconDibHeader h;
    h.headerSize = in.u32();
    if (h.headerSize < kInfoHeaderSize)
        failImage();
    h.width = in.i32();
    h.height = in.i32();
    h.planes = in.u16();
    h.bitCount = in.u16();
    h.compression = in.u32();
    in.skip(12); // image size and resolution: the rows are measured, not trusted
    h.colorsUsed = in.u32();
    in.seek(h.headerSize);
    return h;
}

bool supportedBitCount(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Where the colour rows and the mask rows lie, checked against the bytes at hand
// before anything is allocated.
struct DibLayout {
    int width = 0, height = 0, bits = 0;
    std::size_t colorStride = 0, maskStride = 0;
    std::span<const std::uint8_t> colorRows, maskRows;
};

std::vector<RGBQuad> readColorTable(ByteCursor& in, const IconDibHeader& h)
{
    std::size_t entries = h.colorsUsed;
    if (entries == 0 && h.bitCount <= 8)
        entries = std::size_t(1) << h.bitCount;
    // A table longer than the indexes can reach is skipped past but not kept.
    const std::size_t kept = h.bitCount <= 8 ? std::min(entries, std::size_t(1) << h.bitCount) : 0;
    std::vector<RGBQuad> table;
    if (entries > in.remaining() / 4)
        failImage();
    table.resize(kept);
    for (std::size_t i = 0; i < kept; ++i)
        in.read(&table[i], 4);
    in.skip((entries - kept) * 4);
    return table;
}

DibLayout measureRows(ByteCursor& in, const IconDibHeader& h)
{
    DibLayout l;
    l.bits = h.bitCount;
    l.width = h.width;
    // The header height counts the colour rows and the mask rows together.
    l.height = h.height / 2;
    if (l.width <= 0 || l.height <= 0 || l.width > kMaxIconSide || l.height > kMaxIconSide)
        failImage();
    l.colorStride = std::size_t(Bitmap::strideFor(l.width, l.bits));
    l.maskStride = std::size_t(Bitmap::strideFor(l.width, 1));
    const std::size_t rows = std::size_t(l.height);
    if (l.colorStride * rows + l.maskStride * rows > in.remaining())
        failImage();
    l.colorRows = in.bytes(l.colorStride * rows);
    l.maskRows = in.bytes(l.maskStride * rows);
    return l;
}

// Blue, green, red of pixel x of one stored colour row.
void fetchColor(const DibLayout& l, const std::vector<RGBQuad>& table, const std::uint8_t* row, int x,
                std::uint8_t* out)
{
    unsigned index = 0;
    switch (l.bits) {
    case 1:
        index = (row[x >> 3] >> (7 - (x & 7))) & 1u;
        break;
    case 4:
        index = (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
        break;
    case 8:
        index = row[x];
        break;
    case 16: {
        // 16-bit rows without masks are 5-5-5.
        const unsigned v = unsigned(row[2 * x]) | (unsigned(row[2 * x + 1]) << 8);
        const auto expand = [](unsigned c) { return std::uint8_t((c << 3) | (c >> 2)); };
        out[0] = expand(v & 0x1F);
        out[1] = expand((v >> 5) & 0x1F);
        out[2] = expand((v >> 10) & 0x1F);
        return;
    }
    case 24:
        std::memcpy(out, row + 3 * x, 3);
        return;
    case 32:
        std::memcpy(out, row + 4 * x, 3);
        return;
    }
    // An index beyond the table shows black, as the display system does.
    if (index < table.size()) {
        out[0] = table[index].blue;
        out[1] = table[index].green;
        out[2] = table[index].red;
    } else {
        out[0] = out[1] = out[2] = 0;
    }
}

bool hasAlphaChannel(const DibLayout& l)
{
    if (l.bits != 32)
        return false;
    for (std::size_t i = 3; i < l.colorRows.size(); i += 4)
        if (l.colorRows[i] != 0)
            return true;
    return false;
}

Bitmap decodeDib(std::span<const std::uint8_t> bytes)
{
    ByteCursor in(bytes, texts::badBitmap);
    const IconDibHeader h = readDibHeader(in);
    if (h.planes != 1 || !supportedBitCount(h.bitCount) || h.compression != kBiRgb)
        failImage();
    const std::vector<RGBQuad> table = readColorTable(in, h);
    const DibLayout l = measureRows(in, h);
    const bool alpha = hasAlphaChannel(l);

    Bitmap out(l.width, l.height, PixelFormat::Bits32);
    for (int y = 0; y < l.height; ++y) {
        // Stored rows run bottom-up, like our own storage.
        const std::size_t stored = std::size_t(l.height - 1 - y);
        const std::uint8_t* colorRow = l.colorRows.data() + stored * l.colorStride;
        const std::uint8_t* maskRow = l.maskRows.data() + stored * l.maskStride;
        std::uint8_t* o = out.scanLine(y);
        for (int x = 0; x < l.width; ++x, o += 4) {
            fetchColor(l, table, colorRow, x, o);
            if (alpha)
                o[3] = colorRow[4 * x + 3];
            else
                o[3] = (maskRow[x >> 3] >> (7 - (x & 7))) & 1u ? 0 : 255;
        }
    }
    return out;
}

// ---- PNG-coded images -------------------------------------------------------
//
// libpng reports errors by longjmp. Everything it can jump over lives in plain
// structs and in functions that hold no C++ objects; the pixel buffer and the row
// table are owned by the caller, which turns a failure code into the exception.

struct PngJob {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
    png_uint_32 width;
    png_uint_32 height;
    png_bytep* rows; // one pointer per output row, set between the two phases
};

void readPngBytes(png_structp png, png_bytep out, png_size_t n)
{
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (n > job->size - job->pos)
        png_error(png, "truncated");
    std::memcpy(out, job->data + job->pos, n);
    job->pos += n;
}

void ignorePngWarning(png_structp, png_const_charp) {}
void failPng(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// Reads the header and sets the transforms that give blue, green, red, alpha
// bytes. Returns false on any libpng error.
bool pngReadHeader(png_structp png, png_infop info, PngJob* job)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_user_limits(png, kMaxIconSide, kMaxIconSide);
    png_set_read_fn(png, job, readPngBytes);
    png_read_info(png, info);
    job->width = png_get_image_width(png, info);
    job->height = png_get_image_height(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return png_get_rowbytes(png, info) == png_size_t(job->width) * 4;
}

bool pngReadPixels(png_structp png, png_infop info, PngJob* job)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, job->rows);
    png_read_end(png, nullptr);
    (void)info;
    return true;
}

// Owns libpng's read state for one decode.
class PngReader {
public:
    PngReader()
    {
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failPng, ignorePngWarning);
        if (m_png)
            m_info = png_create_info_struct(m_png);
        if (!m_png || !m_info)
            failImage();
    }
    ~PngReader() { png_destroy_read_struct(&m_png, &m_info, nullptr); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }

private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

Bitmap decodePng(std::span<const std::uint8_t> bytes)
{
    PngReader reader;
    PngJob job{bytes.data(), bytes.size(), 0, 0, 0, nullptr};
    if (!pngReadHeader(reader.png(), reader.info(), &job))
        failImage();
    if (job.width == 0 || job.height == 0 || job.width > kMaxIconSide || job.height > kMaxIconSide)
        failImage();
    Bitmap out(int(job.width), int(job.height), PixelFormat::Bits32);
    std::vector<png_bytep> rows(job.height);
    for (png_uint_32 y = 0; y < job.height; ++y)
        rows[y] = out.scanLine(int(y));
    job.rows = rows.data();
    if (!pngReadPixels(reader.png(), reader.info(), &job))
        failImage();
    return out;
}

} // namespace

bool isPngIconImage(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= kPngSignature.size() &&
           std::memcmp(bytes.data(), kPngSignature.data(), kPngSignature.size()) == 0;
}

Bitmap decodeIconImage(std::span<const std::uint8_t> bytes)
{
    return isPngIconImage(bytes) ? decodePng(bytes) : decodeDib(bytes);
}

Bitmap resizeIconBitmap(const Bitmap& source, int width, int height)
{
    Bitmap out(width, height, PixelFormat::Bits32);
    if (source.isEmpty())
        return out;
    for (int ty = 0; ty < height; ++ty) {
        const int sy = int((std::int64_t(2 * ty + 1) * source.height()) / (std::int64_t(2) * height));
        const std::uint8_t* in = source.scanLine(sy);
        std::uint8_t* o = out.scanLine(ty);
        for (int tx = 0; tx < width; ++tx, o += 4) {
            const int sx = int((std::int64_t(2 * tx + 1) * source.width()) / (std::int64_t(2) * width));
            std::memcpy(o, in + 4 * sx, 4);
        }
    }
    return out;
}

Bitmap createIconBitmap(std::span<const std::uint8_t> bytes, int width, int height)
{
    if (width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide)
        failImage();
    Bitmap image = decodeIconImage(bytes);
    if (image.width() == width && image.height() == height)
        return image;
    return resizeIconBitmap(image, width, height);
}

} // namespace tintora
