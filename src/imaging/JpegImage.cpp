#include "imaging/JpegImage.h"

#include "imaging/ImageError.h"
#include "imaging/MemoryBudget.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace tintora {

namespace {

// libjpeg reports fatal errors by calling error_exit, which must not return.
// Ours records the message code and jumps back to runStep, the only frame
// between us and libjpeg that may be unwound this way.
struct ErrorTrap {
    jpeg_error_mgr manager; // first, so that cinfo->err leads back to the trap
    std::jmp_buf jump;
    int code;
};

extern "C" void trapError(j_common_ptr info)
{
    auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
    trap->code = info->err->msg_code;
    std::longjmp(trap->jump, 1);
}

// Warnings (corrupt data that libjpeg works around) are ignored.
extern "C" void ignoreMessage(j_common_ptr, int) {}
extern "C" void ignoreOutput(j_common_ptr) {}

// Owns one decompressor; destroys it on every path.
struct Decompressor {
    jpeg_decompress_struct info;
    ErrorTrap trap;

    Decompressor()
    {
        std::memset(&info, 0, sizeof info);
        std::memset(&trap, 0, sizeof trap);
        info.err = jpeg_std_error(&trap.manager);
        trap.manager.error_exit = trapError;
        trap.manager.emit_message = ignoreMessage;
        trap.manager.output_message = ignoreOutput;
    }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
};

using Step = void (*)(jpeg_decompress_struct* info, void* context);

// The boundary: runs one libjpeg step and reports whether it finished. It and
// the steps it calls hold no C++ objects, so the long jump skips no destructor.
bool runStep(Decompressor* d, Step step, void* context)
{
    if (setjmp(d->trap.jump) != 0)
        return false;
    step(&d->info, context);
    return true;
}

[[noreturn]] void failJpeg(int code) { throw ImageError(formatText(texts::jpegError, code)); }

void run(Decompressor& d, Step step, void* context = nullptr)
{
    if (!runStep(&d, step, context))
        failJpeg(d.trap.code);
}

struct Source {
    const std::uint8_t* data;
    std::size_t size;
};

void openAndReadHeader(jpeg_decompress_struct* info, void* context)
{
    auto* source = static_cast<Source*>(context);
    jpeg_create_decompress(info);
    jpeg_mem_src(info, const_cast<unsigned char*>(source->data), (unsigned long)source->size);
    jpeg_read_header(info, TRUE);
}

void startDecompress(jpeg_decompress_struct* info, void*) { jpeg_start_decompress(info); }

// Writes one row of 8-bit output components into a bitmap row.
enum class RowKind { Direct, SwapRgb, Cmyk };

std::uint8_t mulDiv255(unsigned a, unsigned b)
{
    const unsigned t = a * b + 128;
    return std::uint8_t((t + (t >> 8)) >> 8);
}

// Adobe files store CMYK inverted (0 = full ink); others store it plainly.
void cmykToBgr(const std::uint8_t* in, std::uint8_t* out, unsigned width, bool inverted)
{
    for (unsigned x = 0; x < width; ++x, in += 4, out += 3) {
        const unsigned c = inverted ? in[0] : 255u - in[0];
        const unsigned m = inverted ? in[1] : 255u - in[1];
        const unsigned y = inverted ? in[2] : 255u - in[2];
        const unsigned k = inverted ? in[3] : 255u - in[3];
        out[0] = std::uint8_t(k - mulDiv255(255 - y, k));
        out[1] = std::uint8_t(k - mulDiv255(255 - m, k));
        out[2] = std::uint8_t(k - mulDiv255(255 - c, k));
    }
}

struct RowTarget {
    std::uint8_t** rows;   // one pointer per output row, top row first
    std::uint8_t* scratch; // one row of raw output when it must be converted
    RowKind kind;
};

void readAllRows(jpeg_decompress_struct* info, void* context)
{
    auto* target = static_cast<RowTarget*>(context);
    const unsigned width = info->output_width;
    while (info->output_scanline < info->output_height) {
        std::uint8_t* row = target->rows[info->output_scanline];
        if (target->kind == RowKind::Direct) {
            jpeg_read_scanlines(info, &target->rows[info->output_scanline],
                                info->output_height - info->output_scanline);
            continue;
        }
        JSAMPROW raw = target->scratch;
        if (jpeg_read_scanlines(info, &raw, 1) != 1)
            continue;
        if (target->kind == RowKind::Cmyk) {
            cmykToBgr(raw, row, width, info->saw_Adobe_marker);
        } else {
            for (unsigned x = 0; x < width; ++x) {
                row[3 * x] = raw[3 * x + 2];
                row[3 * x + 1] = raw[3 * x + 1];
                row[3 * x + 2] = raw[3 * x];
            }
        }
    }
    jpeg_finish_decompress(info);
}

bool isQuantized(const jpeg_decompress_struct& info) { return info.quantize_colors; }

// Settings for one full-size decode in a single pass of ours.
void configure(jpeg_decompress_struct& info, bool quantize)
{
    info.scale_num = 1;
    info.scale_denom = 1;
    info.do_block_smoothing = TRUE;
    info.dct_method = JDCT_ISLOW;
    info.buffered_image = FALSE;
    if (info.jpeg_color_space == JCS_YCCK || info.jpeg_color_space == JCS_CMYK)
        info.out_color_space = JCS_CMYK;
#ifdef JCS_EXTENSIONS
    else if (info.out_color_space == JCS_RGB && !quantize)
        info.out_color_space = JCS_EXT_BGR; // straight into the bitmap's byte order
#endif
    if (quantize) {
        info.quantize_colors = TRUE;
        info.desired_number_of_colors = JpegImage::quantizedColors;
        info.dither_mode = JDITHER_FS;
        info.two_pass_quantize = TRUE;
    }
}

std::vector<RGBQuad> colorMapOf(const jpeg_decompress_struct& info)
{
    std::vector<RGBQuad> table(std::size_t(info.actual_number_of_colors));
    const int components = info.out_color_components;
    std::uint8_t sample[4] = {};
    for (std::size_t i = 0; i < table.size(); ++i) {
        for (int c = 0; c < components && c < 4; ++c)
            sample[c] = info.colormap[c][i];
        RGBQuad& q = table[i];
        if (components == 1) {
            q.red = q.green = q.blue = sample[0];
        } else if (components == 4) {
            std::uint8_t bgr[3];
            cmykToBgr(sample, bgr, 1, info.saw_Adobe_marker);
            q.blue = bgr[0], q.green = bgr[1], q.red = bgr[2];
        } else {
            q.red = sample[0], q.green = sample[1], q.blue = sample[2];
        }
    }
    return table;
}

RowKind rowKindOf(const jpeg_decompress_struct& info)
{
    if (isQuantized(info) || info.out_color_components == 1)
        return RowKind::Direct;
    if (info.out_color_components == 4)
        return RowKind::Cmyk;
    return info.out_color_space == JCS_RGB ? RowKind::SwapRgb : RowKind::Direct;
}

// The picture and its 24-bit working copy must fit the budget, and libjpeg
// may use only what they leave: a progressive file keeps the coefficients of
// the whole picture, a two-pass quantization its whole output. Past that
// limit libjpeg asks for a backing store, which it has none of, and fails
// before it allocates the arrays.
void limitMemory(jpeg_decompress_struct& info, int bitsPerPixel)
{
    const std::int64_t picture = pictureBytes(info.image_width, info.image_height, bitsPerPixel);
    if (picture >= pictureBudgetBytes)
        failJpeg(JERR_IMAGE_TOO_BIG);
    info.mem->max_memory_to_use = long(pictureBudgetBytes - picture);
}

} // namespace

void JpegImage::load(std::span<const std::uint8_t> bytes)
{
    std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    Decompressor d;
    Source source{data.data(), data.size()};
    run(d, openAndReadHeader, &source);
    const auto& info = d.info;
    m_width = int(info.image_width);
    m_height = int(info.image_height);
    m_grayscale = info.jpeg_color_space == JCS_GRAYSCALE;
    m_progressive = jpeg_has_multiple_scans(&d.info);
    m_data = std::move(data);
    m_decoded.reset();
}

Bitmap JpegImage::takeBitmap()
{
    decodedBitmap();
    Bitmap taken = std::move(*m_decoded);
    m_decoded.reset();
    return taken;
}

const Bitmap& JpegImage::decodedBitmap()
{
    if (m_decoded)
        return *m_decoded;
    Decompressor d;
    Source source{m_data.data(), m_data.size()};
    run(d, openAndReadHeader, &source);
    auto& info = d.info;
    const bool quantize = m_displayBits <= 8 || info.jpeg_color_space == JCS_GRAYSCALE;
    limitMemory(info, quantize ? 8 : 24);
    configure(info, quantize);
    run(d, startDecompress);

    const int components = info.out_color_components;
    if (!isQuantized(info) && components != 3 && components != 4)
        failJpeg(JERR_CONVERSION_NOTIMPL);
    // Single-component output only comes quantized (grayscale files always are).
    const bool eightBit = isQuantized(info);
    Bitmap bitmap(int(info.output_width), int(info.output_height),
                  eightBit ? PixelFormat::Bits8 : PixelFormat::Bits24);
    if (eightBit) {
        bitmap.colorTable() = colorMapOf(info);
        bitmap.palette() = bitmap.colorTable();
    }

    std::vector<std::uint8_t*> rows(info.output_height);
    for (unsigned y = 0; y < info.output_height; ++y)
        rows[y] = bitmap.scanLine(int(y));
    std::vector<std::uint8_t> scratch(std::size_t(info.output_width) * 4);
    RowTarget target{rows.data(), scratch.data(), rowKindOf(info)};
    run(d, readAllRows, &target);
    m_decoded = std::move(bitmap);
    return *m_decoded;
}

} // namespace tintora
