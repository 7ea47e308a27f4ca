#include "imaging/PngWriter.h"

#include "imaging/AtomicFile.h"
#include "imaging/ImageError.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <new>
#include <stdexcept>

namespace tintora {

namespace {

constexpr int kCompressionLevel = 3;

// What one encode shares with libpng's callbacks: plain data only, as in the
// reader, because libpng leaves every call by a long jump on error and runStep
// with the step it runs must hold no C++ objects.
struct PngEncode {
    std::vector<std::uint8_t>* bytes; // where the file's bytes are gathered
    png_uint_32 width, height;
    const std::uint8_t* colorTop; // the bitmap's top row
    std::ptrdiff_t colorStep;     // from one bitmap row to the next one down
    const std::uint8_t* alpha;    // width bytes per row; null for an RGB file
    std::uint8_t* scratch;        // one row of blue, green, red, alpha bytes
};

bool append(PngEncode* job, png_const_bytep data, png_size_t n)
{
    try {
        job->bytes->insert(job->bytes->end(), data, data + n);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void writePngBytes(png_structp png, png_bytep data, png_size_t n)
{
    if (!append(static_cast<PngEncode*>(png_get_io_ptr(png)), data, n))
        png_error(png, "write failed");
}

// The bytes are gathered: there is no stream to flush.
void flushNothing(png_structp) {}

void failPng(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignorePngWarning(png_structp, png_const_charp) {}

png_const_bytep rowToWrite(const PngEncode* job, png_uint_32 y)
{
    const std::uint8_t* color = job->colorTop + std::ptrdiff_t(y) * job->colorStep;
    if (!job->alpha)
        return color;
    const std::uint8_t* alpha = job->alpha + std::size_t(y) * job->width;
    std::uint8_t* out = job->scratch;
    for (png_uint_32 x = 0; x < job->width; ++x, color += 3, out += 4) {
        out[0] = color[0];
        out[1] = color[1];
        out[2] = color[2];
        out[3] = alpha[x];
    }
    return job->scratch;
}

void writeAll(png_structp png, png_infop info, PngEncode* job)
{
    // Any bitmap we hold may be written, however wide.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_write_fn(png, job, writePngBytes, flushNothing);
    png_set_compression_level(png, kCompressionLevel);
    png_set_IHDR(png, info, job->width, job->height, 8,
                 job->alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    for (png_uint_32 y = 0; y < job->height; ++y)
        png_write_row(png, rowToWrite(job, y));
    png_write_end(png, nullptr);
}

// The boundary: runs the encode and reports whether it finished.
bool runStep(png_structp png, png_infop info, PngEncode* job)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    writeAll(png, info, job);
    return true;
}

// Owns libpng's write state for one encode.
class PngWriteState {
public:
    PngWriteState()
    {
        m_png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, failPng, ignorePngWarning);
        if (m_png)
            m_info = png_create_info_struct(m_png);
        if (!m_png || !m_info)
            throw ImageError(texts::streamWrite);
    }
    ~PngWriteState() { png_destroy_write_struct(&m_png, &m_info); }
    PngWriteState(const PngWriteState&) = delete;
    PngWriteState& operator=(const PngWriteState&) = delete;

    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }

private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

bool isOpaque(const std::vector<std::uint8_t>& alpha)
{
    return std::all_of(alpha.begin(), alpha.end(), [](std::uint8_t a) { return a == 255; });
}

void encode(const Bitmap& bgr24, const std::vector<std::uint8_t>& alpha, std::vector<std::uint8_t>* bytes)
{
    if (bgr24.pixelFormat() != PixelFormat::Bits24 || bgr24.isEmpty())
        throw std::invalid_argument("a PNG file is written from a 24-bit bitmap");
    const std::size_t pixels = std::size_t(bgr24.width()) * std::size_t(bgr24.height());
    if (!alpha.empty() && alpha.size() != pixels)
        throw std::invalid_argument("the alpha plane does not match the bitmap");
    const bool rgba = !isOpaque(alpha);
    std::vector<std::uint8_t> scratch(rgba ? std::size_t(4) * std::size_t(bgr24.width()) : 0);
    PngEncode job{bytes,
                  png_uint_32(bgr24.width()),
                  png_uint_32(bgr24.height()),
                  bgr24.scanLine(0),
                  bgr24.height() > 1 ? bgr24.scanLine(1) - bgr24.scanLine(0) : 0,
                  rgba ? alpha.data() : nullptr,
                  scratch.data()};
    PngWriteState state;
    if (!runStep(state.png(), state.info(), &job))
        throw ImageError(texts::streamWrite);
}

} // namespace

std::vector<std::uint8_t> encodePng(const Bitmap& bgr24, const std::vector<std::uint8_t>& alpha)
{
    std::vector<std::uint8_t> bytes;
    encode(bgr24, alpha, &bytes);
    return bytes;
}

void writePngFile(const Bitmap& bgr24, const std::vector<std::uint8_t>& alpha, const std::string& path,
                  ExistingFile existing)
{
    GatheredBytes bytes;
    bytes.keep(encodePng(bgr24, alpha));
    writeFileAtomically(path, bytes, existing);
}

} // namespace tintora
