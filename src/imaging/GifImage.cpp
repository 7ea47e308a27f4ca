#include "imaging/GifImage.h"

#include "imaging/ByteCursor.h"
#include "imaging/GifLzw.h"
#include "imaging/MemoryBudget.h"

#include <algorithm>
#include <cassert>
#include <cctype>
#include <cstring>

namespace tintora {

namespace {

constexpr std::uint8_t extensionIntroducer = 0x21; // '!'
constexpr std::uint8_t imageSeparator = 0x2C;      // ','
constexpr std::uint8_t trailer = 0x3B;             // ';'

constexpr std::uint8_t labelPlainText = 0x01;
constexpr std::uint8_t labelGraphicControl = 0xF9;
constexpr std::uint8_t labelComment = 0xFE;
constexpr std::uint8_t labelApplication = 0xFF;

bool isGifSignature(std::span<const std::uint8_t> six)
{
    return std::toupper(six[0]) == 'G' && std::toupper(six[1]) == 'I' && std::toupper(six[2]) == 'F';
}

// Rows of an interlaced frame in the order the data stores them.
std::vector<int> interlacedRowOrder(int height)
{
    std::vector<int> order;
    order.reserve(std::size_t(height));
    static constexpr int start[] = {0, 4, 2, 1};
    static constexpr int step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            order.push_back(y);
    return order;
}

// Draws a frame's indices through its palette opaquely, clipped to the
// canvas; an index beyond the palette draws black. When nothing of the frame
// lands on the canvas no row is addressed at all: a canvas of zero width has
// no pixel memory to point into.
void drawIndexed(Bitmap& canvas, const GifFrame& frame, const std::vector<RGBQuad>& palette)
{
    assert(frame.pixels.size() == std::size_t(frame.width) * frame.height);
    const int x0 = frame.left, y0 = frame.top;
    const int x1 = std::min(canvas.width(), x0 + int(frame.width));
    const int y1 = std::min(canvas.height(), y0 + int(frame.height));
    if (x1 <= x0 || y1 <= y0)
        return;
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* in = frame.pixels.data() + std::size_t(y - y0) * frame.width;
        std::uint8_t* out = canvas.scanLine(y) + 4 * x0;
        for (int x = x0; x < x1; ++x, out += 4) {
            const std::uint8_t index = in[x - x0];
            const RGBQuad c = index < palette.size() ? palette[index] : RGBQuad{};
            out[0] = c.blue;
            out[1] = c.green;
            out[2] = c.red;
            out[3] = 0;
        }
    }
}

} // namespace

// Walks the blocks of one file into a GifImage.
class GifReader {
public:
    GifReader(GifImage& image, std::span<const std::uint8_t> bytes)
        : m_image(image), m_in(bytes, gifTexts::prematureEnd)
    {
    }

    void read()
    {
        readHeader();
        readBlocks();
    }

private:
    void readHeader();
    void readBlocks();
    void skipZeros();
    void reserveForPicture();
    bool readFrame();
    void readExtension(GifFrame& frame);
    std::vector<std::uint8_t> readSubBlocks();
    std::vector<RGBQuad> readColorTable(std::uint8_t packed);
    void readDescriptor(GifFrame& frame);
    bool affordFrame(const GifFrame& frame);
    void readImageData(GifFrame& frame);
    std::vector<std::uint8_t> joinImageSubBlocks();
    bool nextIs(std::uint8_t byte) const { return !m_in.atEnd() && m_in.peek() == byte; }

    GifImage& m_image;
    ByteCursor m_in;
    std::int64_t m_heldBytes = 0; // the frames so far and the picture they make
};

void GifReader::readHeader()
{
    auto six = m_in.bytes(6);
    if (!isGifSignature(six)) {
        // Some files carry four bytes before the signature.
        m_in.seek(4);
        six = m_in.bytes(6);
        if (!isGifSignature(six))
            throw ImageError(gifTexts::badSignature);
    }
    m_image.m_signature.assign(six.begin(), six.end());
    m_image.m_screenWidth = m_in.u16();
    m_image.m_screenHeight = m_in.u16();
    m_image.m_screenPacked = m_in.u8();
    m_image.m_backgroundIndex = m_in.u8();
    m_image.m_aspect = m_in.u8();
    if (m_image.m_screenPacked & 0x80)
        m_image.m_globalTable = readColorTable(m_image.m_screenPacked);
    reserveForPicture();
}

// The picture is at worst a 32-bit canvas of the screen's size with its
// 24-bit working copy; the frames share the budget with it. A screen too
// large for the budget reserves nothing: the conversion refuses it, and the
// frames may still be read.
void GifReader::reserveForPicture()
{
    const int w = m_image.m_screenWidth, h = m_image.m_screenHeight;
    m_heldBytes = fitsPictureBudget(w, h, 32) ? pictureBytes(w, h, 32) : 0;
}

std::vector<RGBQuad> GifReader::readColorTable(std::uint8_t packed)
{
    const std::size_t count = std::size_t(2) << (packed & 7);
    auto raw = m_in.bytes(count * 3);
    std::vector<RGBQuad> table(count);
    for (std::size_t i = 0; i < count; ++i)
        table[i] = {raw[3 * i + 2], raw[3 * i + 1], raw[3 * i], 0};
    return table;
}

void GifReader::skipZeros()
{
    while (nextIs(0))
        m_in.skip(1);
}

void GifReader::readBlocks()
{
    skipZeros();
    while (!m_in.atEnd() && m_in.peek() != trailer) {
        const std::uint8_t kind = m_in.peek();
        if (kind != extensionIntroducer && kind != imageSeparator) {
            m_image.warn(gifTexts::unknownBlock);
            break;
        }
        if (!readFrame())
            return; // the frames read so far are what the budget holds
        skipZeros();
    }
    // Running out of data here simply ends the file.
    if (!m_in.atEnd() && m_in.u8() != trailer)
        m_image.warn(gifTexts::badTrailer);
}

// Returns false, keeping nothing of the frame, when the budget is reached.
bool GifReader::readFrame()
{
    GifFrame frame;
    while (nextIs(extensionIntroducer)) {
        m_in.skip(1);
        readExtension(frame);
    }
    if (!m_in.atEnd() && !nextIs(imageSeparator) && !nextIs(trailer))
        m_image.warn(gifTexts::badIntroducer);
    if (!m_in.atEnd() && !nextIs(trailer) && !nextIs(0)) {
        readDescriptor(frame);
        if (!affordFrame(frame))
            return false;
        readImageData(frame);
    }
    m_image.m_frames.push_back(std::move(frame));
    return true;
}

void GifReader::readExtension(GifFrame& frame)
{
    GifExtension extension;
    extension.label = m_in.u8();
    switch (extension.label) {
    case labelPlainText:
    case labelGraphicControl:
    case labelComment:
    case labelApplication:
        break;
    default:
        throw ImageError(gifTexts::unknownExtension);
    }
    extension.data = readSubBlocks();
    if (extension.label == labelGraphicControl && !frame.control.present) {
        // Block size 4: packed, delay, transparent index.
        if (extension.data.size() < 4)
            throw ImageError(gifTexts::prematureEnd);
        frame.control.present = true;
        frame.control.packed = extension.data[0];
        frame.control.delay = std::uint16_t(extension.data[1] | (extension.data[2] << 8));
        frame.control.transparentIndex = extension.data[3];
    }
    frame.extensions.push_back(std::move(extension));
}

std::vector<std::uint8_t> GifReader::readSubBlocks()
{
    std::vector<std::uint8_t> data;
    for (std::uint8_t length = m_in.u8(); length != 0; length = m_in.u8()) {
        auto block = m_in.bytes(length);
        data.insert(data.end(), block.begin(), block.end());
    }
    return data;
}

void GifReader::readDescriptor(GifFrame& frame)
{
    m_in.skip(1); // the separator, whatever it is
    frame.left = m_in.u16();
    frame.top = m_in.u16();
    frame.width = m_in.u16();
    frame.height = m_in.u16();
    frame.packed = m_in.u8();
    if (frame.width == 0) {
        m_image.warn(gifTexts::zeroWidth);
        frame.width = std::uint16_t(m_image.m_screenWidth);
    }
    if (frame.height == 0) {
        m_image.warn(gifTexts::zeroHeight);
        frame.height = std::uint16_t(m_image.m_screenHeight);
    }
    if (frame.left + frame.width > m_image.m_screenWidth || frame.top + frame.height > m_image.m_screenHeight)
        m_image.warn(gifTexts::exceedsScreen);
    if (frame.packed & 0x80)
        frame.localColorTable = readColorTable(frame.packed);
    frame.hasImage = true;
}

// The data sub-blocks of one frame, up to the zero-length block, joined.
std::vector<std::uint8_t> GifReader::joinImageSubBlocks()
{
    std::vector<std::uint8_t> data;
    while (!m_in.atEnd()) {
        const std::size_t length = m_in.u8();
        if (length == 0)
            return data;
        if (length > m_in.remaining()) {
            m_image.warn(gifTexts::prematureEnd);
            auto rest = m_in.bytes(m_in.remaining());
            data.insert(data.end(), rest.begin(), rest.end());
            return data;
        }
        auto block = m_in.bytes(length);
        data.insert(data.end(), block.begin(), block.end());
    }
    m_image.warn(gifTexts::prematureEnd);
    return data;
}

// Only the first frame is ever shown, so frames are kept while the budget
// holds them and reading stops quietly at the first that does not fit; only
// a first frame that does not fit makes the file too large. An interlaced
// frame needs its rows twice while they are put in order.
bool GifReader::affordFrame(const GifFrame& frame)
{
    const std::int64_t pixels = std::int64_t(frame.width) * frame.height;
    const std::int64_t bytes = frame.interlaced() ? 2 * pixels : pixels;
    if (bytes <= pictureBudgetBytes - m_heldBytes) {
        m_heldBytes += pixels;
        return true;
    }
    if (m_image.m_frames.empty())
        throw ImageError(gifTexts::tooLarge);
    return false;
}

void GifReader::readImageData(GifFrame& frame)
{
    const std::int64_t pixels = std::int64_t(frame.width) * frame.height;
    const std::uint8_t fill = frame.control.transparent() ? frame.control.transparentIndex : 0;
    frame.pixels.assign(std::size_t(pixels), fill);
    if (m_in.atEnd()) {
        m_image.warn(gifTexts::prematureEnd);
        return;
    }
    const int minCodeSize = m_in.u8();
    const std::vector<std::uint8_t> data = joinImageSubBlocks();
    if (minCodeSize > 11) {
        m_image.warn(gifTexts::badCodeSize);
        return;
    }
    // A frame of zero width or height (on a screen of that size) holds no
    // pixels: there is nothing to decode into and no row to put in order.
    if (frame.pixels.empty())
        return;
    std::vector<std::uint8_t> interlaced;
    std::span<std::uint8_t> target(frame.pixels);
    if (frame.interlaced()) {
        interlaced.assign(frame.pixels.size(), fill);
        target = interlaced;
    }
    if (gif::decodeLzw(data, minCodeSize, target) == gif::LzwStop::OutOfBits)
        m_image.warn(gifTexts::bitUnderrun);
    if (frame.interlaced()) {
        const std::size_t w = frame.width;
        const std::vector<int> order = interlacedRowOrder(frame.height);
        for (std::size_t i = 0; i < order.size(); ++i)
            std::memcpy(frame.pixels.data() + std::size_t(order[i]) * w, interlaced.data() + i * w, w);
    }
}

Bitmap GifImage::takeBitmap()
{
    imageBitmap();
    Bitmap taken = std::move(*m_imageBitmap);
    m_imageBitmap.reset();
    return taken;
}

void GifImage::warn(const char* text)
{
    if (OnWarning)
        OnWarning(this, text);
}

void GifImage::load(std::span<const std::uint8_t> bytes)
{
    GifImage fresh;
    fresh.OnWarning = [this](GifImage*, const std::string& text) { warn(text.c_str()); };
    GifReader(fresh, bytes).read();
    fresh.OnWarning = std::move(OnWarning);
    fresh.m_frameBitmaps.resize(fresh.m_frames.size());
    *this = std::move(fresh);
}

const std::vector<RGBQuad>* GifImage::imagePalette() const
{
    if (!m_globalTable.empty())
        return &m_globalTable;
    if (!m_frames.empty() && !m_frames.front().localColorTable.empty())
        return &m_frames.front().localColorTable;
    return nullptr;
}

const std::vector<RGBQuad>& GifImage::framePalette(std::size_t index) const
{
    const GifFrame& f = frame(index);
    if (!f.localColorTable.empty())
        return f.localColorTable;
    if (const auto* palette = imagePalette())
        return *palette;
    throw ImageError(gifTexts::noColorTable);
}

const Bitmap& GifImage::frameBitmap(std::size_t index)
{
    auto& cached = m_frameBitmaps.at(index);
    if (!cached)
        cached = makeFrameBitmap(index);
    return *cached;
}

Bitmap GifImage::makeFrameBitmap(std::size_t index) const
{
    const GifFrame& f = frame(index);
    const auto& palette = framePalette(index);
    Bitmap bitmap(f.width, f.height, PixelFormat::Bits8);
    bitmap.colorTable() = palette;
    bitmap.palette() = palette;
    // A frame of zero width has rows but no bytes in them: nothing to copy.
    if (!f.pixels.empty()) {
        for (int y = 0; y < f.height; ++y)
            std::memcpy(bitmap.scanLine(y), f.pixels.data() + std::size_t(y) * f.width, f.width);
    }
    return bitmap;
}

const Bitmap& GifImage::imageBitmap()
{
    if (m_imageBitmap)
        return *m_imageBitmap;
    if (m_frames.empty()) {
        m_imageBitmap.emplace();
        return *m_imageBitmap;
    }
    const GifFrame& first = m_frames.front();
    if (first.width == m_screenWidth && first.height == m_screenHeight) {
        // Not through the cache of frame bitmaps: the picture is held once.
        m_imageBitmap = m_frameBitmaps.at(0) ? *m_frameBitmaps[0] : makeFrameBitmap(0);
        return *m_imageBitmap;
    }
    if (!fitsPictureBudget(m_screenWidth, m_screenHeight, 32))
        throw ImageError(gifTexts::tooLarge);
    Bitmap canvas(m_screenWidth, m_screenHeight, PixelFormat::Device);
    if (const auto* palette = imagePalette())
        canvas.palette() = *palette;
    // White in blue, green, red, unused byte order.
    for (int y = 0; y < m_screenHeight; ++y) {
        std::uint8_t* row = canvas.scanLine(y);
        for (int x = 0; x < m_screenWidth; ++x)
            std::memcpy(row + 4 * x, "\xFF\xFF\xFF\x00", 4);
    }
    if (first.hasImage && first.width && first.height)
        drawIndexed(canvas, first, framePalette(0));
    m_imageBitmap = std::move(canvas);
    return *m_imageBitmap;
}

} // namespace tintora
