#include "imaging/IconDecoder.h"

#include "imaging/Dib.h"
#include "imaging/PngImage.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace tintora {

namespace {

[[noreturn]] void failImage() { throw ImageError(texts::badBitmap); }

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
void failPng(png_structp png, png_const_charp) { png_longjmp(png, 1); }

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

bool isPngIconImage(std::span<const std::uint8_t> bytes) { return isPng(bytes); }

Bitmap decodeIconImage(std::span<const std::uint8_t> bytes)
{
    return isPngIconImage(bytes) ? decodePng(bytes) : decodeIconDib(bytes);
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
