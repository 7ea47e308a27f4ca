#include "imaging/PngImage.h"

#include "imaging/FileBytes.h"
#include "imaging/ImageError.h"
#include "imaging/MemoryBudget.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace tintora {

namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// No side longer than this can fit the budget (each pixel takes at least its
// three colour bytes and libpng's row bytes), so libpng refuses it outright.
constexpr png_uint_32 kMaxPngSide = png_uint_32(pictureBudgetBytes / 4);

// libpng leaves every call by a long jump on error. What it shares with our
// callbacks is plain data, and runStep, which sets the jump target, and the
// steps it runs (readHeader, readPixels) hold no C++ objects, so
// the jump skips no destructor. The owner of libpng's state, the pixel buffers
// and the exception live in the callers above runStep.
struct PngDecode {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
    bool cutShort;     // the bytes ended before libpng was done
    char message[160]; // libpng's text for any other failure

    png_uint_32 width, height;
    int storedBits; // bits of one pixel as stored
    bool interlaced;
    bool hasAlpha; // an alpha channel or a transparency chunk

    // Where the rows go. An opaque file is read straight into the bitmap; one
    // with alpha into staging rows of blue, green, red, alpha bytes (one row,
    // or every row of an interlaced file, whose passes fill each row in turn)
    // that are split into the bitmap and the alpha plane.
    std::uint8_t* colorTop;   // the bitmap's top row
    std::ptrdiff_t colorStep; // from one bitmap row to the next one down
    std::uint8_t* alpha;      // width bytes per row; null for an opaque file
    std::uint8_t* staging;
};

void readPngBytes(png_structp png, png_bytep out, png_size_t n)
{
    auto* job = static_cast<PngDecode*>(png_get_io_ptr(png));
    if (n > job->size - job->pos) {
        job->cutShort = true;
        png_error(png, "cut short");
    }
    std::memcpy(out, job->data + job->pos, n);
    job->pos += n;
}

void failPng(png_structp png, png_const_charp message)
{
    auto* job = static_cast<PngDecode*>(png_get_error_ptr(png));
    std::snprintf(job->message, sizeof job->message, "%s", message);
    png_longjmp(png, 1);
}

void ignorePngWarning(png_structp, png_const_charp) {}

using PngStep = void (*)(png_structp png, png_infop info, PngDecode* job);

// The boundary: runs one step and reports whether it finished.
bool runStep(png_structp png, png_infop info, PngDecode* job, PngStep step)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    step(png, info, job);
    return true;
}

void readHeader(png_structp png, png_infop info, PngDecode* job)
{
    png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
    // Only the critical chunks and tRNS are read; the others (text, profiles,
    // gamma) are skipped unread but for their checksums.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // Fuzzing builds let mutated bytes past the checksums, on into the decoder.
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    png_set_read_fn(png, job, readPngBytes);
    png_read_info(png, info);
    job->width = png_get_image_width(png, info);
    job->height = png_get_image_height(png, info);
    job->storedBits = png_get_bit_depth(png, info) * png_get_channels(png, info);
    job->interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    job->hasAlpha = (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) != 0 ||
                    png_get_valid(png, info, PNG_INFO_tRNS) != 0;
}

// Where libpng writes row y.
png_bytep rowFor(const PngDecode* job, png_uint_32 y)
{
    if (!job->alpha)
        return job->colorTop + std::ptrdiff_t(y) * job->colorStep;
    return job->staging + (job->interlaced ? std::size_t(y) * 4 * job->width : 0);
}

void splitRow(const PngDecode* job, png_uint_32 y)
{
    const std::uint8_t* in = rowFor(job, y);
    std::uint8_t* color = job->colorTop + std::ptrdiff_t(y) * job->colorStep;
    std::uint8_t* alpha = job->alpha + std::size_t(y) * job->width;
    for (png_uint_32 x = 0; x < job->width; ++x, in += 4, color += 3) {
        color[0] = in[0];
        color[1] = in[1];
        color[2] = in[2];
        alpha[x] = in[3];
    }
}

void readPixels(png_structp png, png_infop info, PngDecode* job)
{
    png_set_expand(png); // palette to RGB, grey to 8 bits, tRNS to alpha
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != png_size_t(job->width) * (job->alpha ? 4 : 3))
        png_error(png, "unexpected row layout");
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < job->height; ++y) {
            png_read_row(png, rowFor(job, y), nullptr);
            // A row is complete once the last pass has been over it.
            if (job->alpha && pass == passes - 1)
                splitRow(job, y);
        }
    png_read_end(png, nullptr);
}

// Owns libpng's read state for one decode.
class PngReadState {
public:
    explicit PngReadState(PngDecode* job)
    {
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, job, failPng, ignorePngWarning);
        if (m_png)
            m_info = png_create_info_struct(m_png);
        if (!m_png || !m_info)
            throw ImageError(formatText(texts::pngError, "out of memory"));
    }
    ~PngReadState() { png_destroy_read_struct(&m_png, &m_info, nullptr); }
    PngReadState(const PngReadState&) = delete;
    PngReadState& operator=(const PngReadState&) = delete;

    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }

private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

[[noreturn]] void failDecode(const PngDecode& job)
{
    if (job.cutShort)
        throw ImageError(texts::streamRead);
    throw ImageError(formatText(texts::pngError, job.message));
}

std::int64_t addBytes(std::int64_t a, std::int64_t b) { return a > unaffordable - b ? unaffordable : a + b; }

// Everything a decode holds at its peak beside `alreadyHeld`: the 24-bit
// colours, the alpha plane and the staging rows of a file with alpha, and
// libpng's own two rows of the widest stored pixel (8 bytes).
std::int64_t decodeBytes(const PngDecode& job, std::int64_t alreadyHeld)
{
    const std::int64_t w = job.width, h = job.height;
    std::int64_t total = addBytes(alreadyHeld, storeBytes(rowBytes(w, 24), h));
    total = addBytes(total, storeBytes(2, 8 * w + 1));
    if (job.hasAlpha) {
        total = addBytes(total, storeBytes(w, h));
        total = addBytes(total, storeBytes(4 * w, job.interlaced ? h : 1));
    }
    return total;
}

// Deflate makes at most 1032 bytes of each byte it reads, so a claim beyond
// that many times what is left of the file cannot be met: the file ends before
// its pixels could, and nothing is allocated for them.
bool mayHoldPixels(const PngDecode& job)
{
    const std::int64_t pixelBytes = storeBytes(std::int64_t(job.width) * job.storedBits, job.height) / 8;
    return pixelBytes / 1032 <= std::int64_t(job.size - job.pos);
}

bool isOpaque(const std::vector<std::uint8_t>& alpha)
{
    return std::all_of(alpha.begin(), alpha.end(), [](std::uint8_t a) { return a == 255; });
}

PngImage decode(std::span<const std::uint8_t> bytes, std::int64_t alreadyHeld)
{
    if (!isPng(bytes))
        throw ImageError(texts::badBitmap);
    PngDecode job{};
    job.data = bytes.data();
    job.size = bytes.size();
    PngReadState state(&job);
    if (!runStep(state.png(), state.info(), &job, readHeader))
        failDecode(job);
    if (decodeBytes(job, alreadyHeld) > pictureBudgetBytes)
        throw ImageError(texts::badBitmap);
    if (!mayHoldPixels(job))
        throw ImageError(texts::streamRead);

    PngImage image{Bitmap(int(job.width), int(job.height), PixelFormat::Bits24), {}};
    std::vector<std::uint8_t> staging;
    if (job.hasAlpha) {
        image.alpha.resize(std::size_t(job.width) * job.height);
        staging.resize(std::size_t(4) * job.width * (job.interlaced ? job.height : 1));
        job.alpha = image.alpha.data();
        job.staging = staging.data();
    }
    job.colorTop = image.colors.scanLine(0);
    job.colorStep = job.height > 1 ? image.colors.scanLine(1) - image.colors.scanLine(0) : 0;
    if (!runStep(state.png(), state.info(), &job, readPixels))
        failDecode(job);
    if (isOpaque(image.alpha))
        image.alpha = {};
    return image;
}

} // namespace

bool isPng(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= kPngSignature.size() &&
           std::memcmp(bytes.data(), kPngSignature.data(), kPngSignature.size()) == 0;
}

PngImage readPng(std::span<const std::uint8_t> bytes) { return decode(bytes, 0); }

PngImage readPngFile(const std::string& path)
{
    const FileBytes file = readWholeFile(path);
    if (std::int64_t(file.size()) > pictureBudgetBytes)
        throw ImageError(texts::badBitmap);
    return decode(file, std::int64_t(file.size()));
}

} // namespace tintora
