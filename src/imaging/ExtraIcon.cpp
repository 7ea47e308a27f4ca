#include "imaging/ExtraIcon.h"

#include "imaging/ByteCursor.h"
#include "imaging/IcoFile.h"
#include "imaging/IconDecoder.h"
#include "imaging/PeReader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tintora {

namespace {

// The largest program file we read into memory to look for its icons.
constexpr std::uintmax_t kMaxModuleBytes = std::uintmax_t(256) << 20;

// Random access to the bytes of an .ico file: a file read piece by piece (so a
// large file that is not an icon is never read whole), or bytes in memory.
class IcoSource {
public:
    virtual ~IcoSource() = default;
    virtual std::uint64_t size() const = 0;
    // Reads n bytes at offset; false when they are not all there.
    virtual bool read(std::uint64_t offset, std::size_t n, std::vector<std::uint8_t>& out) = 0;
};

class MemorySource : public IcoSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::uint64_t size() const override { return m_bytes.size(); }
    bool read(std::uint64_t offset, std::size_t n, std::vector<std::uint8_t>& out) override
    {
        if (offset > m_bytes.size() || n > m_bytes.size() - offset)
            return false;
        out.assign(m_bytes.begin() + std::ptrdiff_t(offset), m_bytes.begin() + std::ptrdiff_t(offset + n));
        return true;
    }

private:
    std::span<const std::uint8_t> m_bytes;
};

class FileSource : public IcoSource {
public:
    FileSource(const std::filesystem::path& path, std::uint64_t size)
        : m_file(path, std::ios::binary), m_size(size)
    {
    }
    bool isOpen() const { return m_file.is_open(); }
    std::uint64_t size() const override { return m_size; }
    bool read(std::uint64_t offset, std::size_t n, std::vector<std::uint8_t>& out) override
    {
        if (offset > m_size || n > m_size - offset)
            return false;
        out.resize(n);
        m_file.clear();
        m_file.seekg(std::streamoff(offset));
        m_file.read(reinterpret_cast<char*>(out.data()), std::streamsize(n));
        return m_file.gcount() == std::streamsize(n);
    }

private:
    std::ifstream m_file;
    std::uint64_t m_size;
};

std::filesystem::path pathFromUtf8(const std::string& path)
{
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

// The size of a regular file, or nothing (missing, a folder, unreadable).
std::optional<std::uintmax_t> regularFileSize(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec)
        return std::nullopt;
    return size;
}

std::optional<IconImage> makeIcon(std::span<const std::uint8_t> imageBytes, int size)
{
    try {
        return IconImage{createIconBitmap(imageBytes, size, size)};
    } catch (const std::exception&) {
        // A damaged or unsupported image, or no memory for it: no icon.
        return std::nullopt;
    }
}

std::optional<IconImage> extractFromIco(IcoSource& source, int size, int depth)
{
    if (size <= 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    if (!source.read(0, kIconDirHeaderSize, bytes))
        return std::nullopt;
    ByteCursor header(bytes);
    const auto count = readIconDirHeader(header);
    if (!count)
        return std::nullopt;
    // Read the entries the count promises, or as many as the file holds: a match
    // before the file ends still counts.
    const std::uint64_t directoryBytes =
        std::min<std::uint64_t>(source.size(), kIconDirHeaderSize + kIconFileEntrySize * *count);
    if (!source.read(0, std::size_t(directoryBytes), bytes))
        return std::nullopt;
    const auto entry = findIconEntry(bytes, IconDirKind::File, size, depth);
    // The image must lie wholly inside the file; a short read gives no icon.
    if (!entry || !source.read(entry->imageOffset, entry->bytesInRes, bytes))
        return std::nullopt;
    return makeIcon(bytes, size);
}

} // namespace

std::optional<IconImage> ExtractIconFromBytes(std::span<const std::uint8_t> icoBytes, int size, int depth)
{
    MemorySource source(icoBytes);
    return extractFromIco(source, size, depth);
}

std::optional<IconImage> ExtractIconFromFile(const std::string& path, int size, int depth)
{
    try {
        const std::filesystem::path file = pathFromUtf8(path);
        const auto fileSize = regularFileSize(file);
        if (!fileSize)
            return std::nullopt;
        FileSource source(file, *fileSize);
        if (!source.isOpen())
            return std::nullopt;
        return extractFromIco(source, size, depth);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<IconImage> ExtractIconFromModuleBytes(std::span<const std::uint8_t> moduleBytes, int size,
                                                    int depth)
{
    if (size <= 0)
        return std::nullopt;
    try {
        const PeReader module(moduleBytes);
        // The first icon group in directory order is the module's main icon.
        const auto group = module.firstResource(kResourceTypeGroupIcon);
        if (!group)
            return std::nullopt;
        const auto entry = findIconEntry(*group, IconDirKind::Group, size, depth);
        if (!entry)
            return std::nullopt;
        const auto image = module.findResource(kResourceTypeIcon, ResourceName{entry->resourceId, {}});
        if (!image)
            return std::nullopt;
        return makeIcon(*image, size);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<IconImage> ExtractIconFromModule(const std::string& path, int size, int depth)
{
    try {
        const std::filesystem::path file = pathFromUtf8(path);
        const auto fileSize = regularFileSize(file);
        if (!fileSize || *fileSize > kMaxModuleBytes)
            return std::nullopt;
        std::ifstream in(file, std::ios::binary);
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(*fileSize));
        in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!in || in.gcount() != std::streamsize(bytes.size()))
            return std::nullopt;
        return ExtractIconFromModuleBytes(bytes, size, depth);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void drawIcon(Bitmap& dst, int x, int y, int width, int height, const IconImage& icon)
{
    if (width <= 0 || height <= 0 || icon.color.isEmpty())
        return;
    const int bpp = dst.bitsPerPixel();
    if (bpp != 24 && bpp != 32)
        throw std::logic_error("drawIcon needs a 24- or 32-bit bitmap");
    const bool sameSize = icon.width() == width && icon.height() == height;
    const Bitmap resized = sameSize ? Bitmap() : resizeIconBitmap(icon.color, width, height);
    const Bitmap& src = sameSize ? icon.color : resized;
    const int x0 = std::max(0, x), x1 = std::min(dst.width(), x + width);
    const int y0 = std::max(0, y), y1 = std::min(dst.height(), y + height);
    const int step = bpp / 8;
    for (int ty = y0; ty < y1; ++ty) {
        const std::uint8_t* in = src.scanLine(ty - y) + 4 * (x0 - x);
        std::uint8_t* out = dst.scanLine(ty) + step * x0;
        for (int tx = x0; tx < x1; ++tx, in += 4, out += step) {
            const unsigned a = in[3];
            for (int c = 0; c < 3; ++c)
                out[c] = std::uint8_t((in[c] * a + out[c] * (255 - a) + 127) / 255);
        }
    }
}

} // namespace tintora
