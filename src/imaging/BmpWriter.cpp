#include "imaging/BmpWriter.h"

#include "imaging/AtomicWrite.h"
#include "imaging/BmpReader.h"
#include "imaging/ImageError.h"

#include <algorithm>
#include <cstring>

namespace tintora {

namespace {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void put(const void* data, std::size_t size) = 0;
};

class VectorSink final : public ByteSink {
public:
    explicit VectorSink(std::vector<std::uint8_t>& out) : m_out(out) {}
    void put(const void* data, std::size_t size) override
    {
        const auto* p = static_cast<const std::uint8_t*>(data);
        m_out.insert(m_out.end(), p, p + size);
    }

private:
    std::vector<std::uint8_t>& m_out;
};

class FileSink final : public ByteSink {
public:
    explicit FileSink(std::FILE* file) : m_file(file) {}
    void put(const void* data, std::size_t size) override
    {
        if (size != 0 && std::fwrite(data, 1, size, m_file) != size)
            throw ImageError(texts::streamWrite);
    }

private:
    std::FILE* m_file;
};

// Little-endian header bytes, gathered before they go to the sink.
struct HeaderBytes {
    std::vector<std::uint8_t> bytes;
    void u16(std::uint32_t v)
    {
        bytes.push_back(std::uint8_t(v));
        bytes.push_back(std::uint8_t(v >> 8));
    }
    void u32(std::uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    // BITMAPFILEHEADER: "BM", file size, two reserved words, pixel data offset.
    void fileHeader(std::uint64_t fileSize, std::uint32_t pixelOffset)
    {
        u16(0x4D42);
        u32(std::uint32_t(std::min<std::uint64_t>(fileSize, UINT32_MAX)));
        u16(0);
        u16(0);
        u32(pixelOffset);
    }
};

// Whether facts describe this bitmap: it has the layout they were read with.
bool describes(const BmpFileFacts& facts, const Bitmap& bmp)
{
    return facts.bitsPerPixel != 0 && facts.format == bmp.pixelFormat() &&
           facts.bitsPerPixel == bmp.bitsPerPixel() && facts.width == bmp.width() &&
           facts.height == bmp.height();
}

bool samePicture(const Bitmap& a, const Bitmap& b)
{
    return a.pixelFormat() == b.pixelFormat() && a.bitsPerPixel() == b.bitsPerPixel() &&
           a.width() == b.width() && a.height() == b.height() && a.byteSize() == b.byteSize() &&
           (a.byteSize() == 0 || std::memcmp(a.bits(), b.bits(), a.byteSize()) == 0) &&
           a.colorTable() == b.colorTable() && a.palette() == b.palette() && a.masks() == b.masks();
}

// The file a run-length bitmap was read from, as read but for the file header,
// which is made again: the rows start where they started, gap included.
std::vector<std::uint8_t> keptFile(const BmpFileFacts& facts)
{
    HeaderBytes h;
    h.fileHeader(14 + std::uint64_t(facts.rleData.size()), facts.pixelDataOffset);
    h.bytes.insert(h.bytes.end(), facts.rleData.begin(), facts.rleData.end());
    return std::move(h.bytes);
}

// Whether kept bytes still give exactly this bitmap, so that writing them
// back loses nothing that was done to the bitmap since.
bool decodesTo(const std::vector<std::uint8_t>& file, const Bitmap& bmp)
{
    try {
        return samePicture(readBmp(file), bmp);
    } catch (const ImageError&) {
        return false;
    }
}

// The colour table written for a bitmap: its table up to 8 bits per pixel
// (full length for core files, which carry no count), else its palette.
std::vector<RGBQuad> tableToWrite(const Bitmap& bmp, bool core)
{
    const int bpp = bmp.bitsPerPixel();
    if (bpp > 8) {
        if (core)
            return {};
        const auto& palette = bmp.palette();
        return {palette.begin(),
                palette.begin() + std::ptrdiff_t(std::min<std::size_t>(palette.size(), 256))};
    }
    const std::size_t full = std::size_t(1) << bpp;
    std::vector<RGBQuad> table(bmp.colorTable().begin(),
                               bmp.colorTable().begin() +
                                   std::ptrdiff_t(std::min(full, bmp.colorTable().size())));
    // A count of 0 would mean a full table to readers, so an empty one is written full.
    if (core || table.empty())
        table.resize(full);
    return table;
}

void writeRows(const Bitmap& bmp, bool topDown, ByteSink& out)
{
    const std::size_t stride = std::size_t(bmp.stride());
    if (!topDown) {
        out.put(bmp.bits(), stride * std::size_t(bmp.height()));
        return;
    }
    for (int y = 0; y < bmp.height(); ++y)
        out.put(bmp.scanLine(y), stride);
}

// Writes the bitmap in a layout of our own: a core header where `facts` came
// from a core file and the depth allows it, else a 40-byte header (masks
// after it); `facts` are the empty facts when they do not describe the bitmap.
void writeEncoded(const Bitmap& bmp, const BmpFileFacts& facts, bool keepRowOrder, ByteSink& out)
{
    const int bpp = bmp.bitsPerPixel();
    const bool core = facts.coreFormat && (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24) &&
                      bmp.width() <= 0xFFFF && bmp.height() <= 0xFFFF;
    const bool masks =
        !core && (bmp.pixelFormat() == PixelFormat::Bits16 || bmp.pixelFormat() == PixelFormat::Custom);
    const bool topDown = keepRowOrder && facts.topDown && !core;
    const std::vector<RGBQuad> table = tableToWrite(bmp, core);
    const std::uint32_t headerSize = core ? 12 : 40 + (masks ? 12 : 0);
    const std::uint32_t offset = 14 + headerSize + std::uint32_t(table.size()) * (core ? 3 : 4);
    const std::uint64_t imageSize = std::uint64_t(bmp.stride()) * std::uint64_t(bmp.height());

    HeaderBytes h;
    h.fileHeader(offset + imageSize, offset);
    if (core) {
        // BITMAPCOREHEADER
        h.u32(12);
        h.u16(std::uint32_t(bmp.width()));
        h.u16(std::uint32_t(bmp.height()));
        h.u16(1);
        h.u16(std::uint32_t(bpp));
    } else {
        // BITMAPINFOHEADER, then the three masks of a bit-field bitmap
        h.u32(40);
        h.u32(std::uint32_t(bmp.width()));
        h.u32(std::uint32_t(topDown ? -bmp.height() : bmp.height()));
        h.u16(1);
        h.u16(std::uint32_t(bpp));
        h.u32(masks ? 3 : 0);
        h.u32(std::uint32_t(std::min<std::uint64_t>(imageSize, UINT32_MAX)));
        h.u32(std::uint32_t(facts.xPelsPerMeter));
        h.u32(std::uint32_t(facts.yPelsPerMeter));
        h.u32(std::uint32_t(table.size()));
        h.u32(facts.colorsImportant);
        if (masks) {
            h.u32(bmp.masks().red);
            h.u32(bmp.masks().green);
            h.u32(bmp.masks().blue);
        }
    }
    for (const RGBQuad& e : table) {
        h.bytes.insert(h.bytes.end(), {e.blue, e.green, e.red});
        if (!core)
            h.bytes.push_back(0);
    }
    out.put(h.bytes.data(), h.bytes.size());
    writeRows(bmp, topDown, out);
}

void encodeTo(const Bitmap& bmp, const BmpFileFacts& facts, PixelsSinceRead pixels, ByteSink& out)
{
    static const BmpFileFacts none;
    const bool described = describes(facts, bmp);
    const bool unchanged = described && pixels == PixelsSinceRead::Unchanged;
    if (unchanged && !facts.rleData.empty()) {
        const std::vector<std::uint8_t> kept = keptFile(facts);
        if (decodesTo(kept, bmp)) {
            out.put(kept.data(), kept.size());
            return;
        }
    }
    writeEncoded(bmp, described ? facts : none, unchanged, out);
}

} // namespace

void writeBmp(const Bitmap& bmp, std::FILE* out, const BmpFileFacts& facts, PixelsSinceRead pixels)
{
    FileSink sink(out);
    encodeTo(bmp, facts, pixels, sink);
}

std::vector<std::uint8_t> encodeBmp(const Bitmap& bmp, const BmpFileFacts& facts, PixelsSinceRead pixels)
{
    std::vector<std::uint8_t> bytes;
    VectorSink sink(bytes);
    encodeTo(bmp, facts, pixels, sink);
    return bytes;
}

void writeBmpFile(const Bitmap& bmp, const std::string& path, const BmpFileFacts& facts,
                  PixelsSinceRead pixels)
{
    writeFileAtomically(path, [&](std::FILE* file) { writeBmp(bmp, file, facts, pixels); });
}

} // namespace tintora
