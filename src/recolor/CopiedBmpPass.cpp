#include "recolor/CopiedBmpPass.h"

#include "imaging/FileDescriptor.h"
#include "imaging/MemoryBudget.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tintora {

namespace {

constexpr std::size_t headerBytes = 14 + 40;
// Smaller files are quicker to read and write whole than to copy and map.
constexpr std::int64_t smallestCopied = std::int64_t(1) << 20;

std::uint32_t u32At(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t u16At(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
void putU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

// The layout of a plain 24-bit file, read from its first bytes.
struct PlainLayout {
    int width = 0, height = 0;
    std::size_t stride = 0;
};

std::optional<PlainLayout> plainLayout(const std::uint8_t* h, std::int64_t fileSize)
{
    const auto width = std::int32_t(u32At(h + 18)), height = std::int32_t(u32At(h + 22));
    const bool plain = h[0] == 'B' && h[1] == 'M' && u32At(h + 10) == headerBytes && u32At(h + 14) == 40 &&
                       u16At(h + 26) == 1 && u16At(h + 28) == 24 && u32At(h + 30) == 0 &&
                       u32At(h + 46) == 0 && width > 0 && height > 0 && fitsPictureBudget(width, height, 24);
    if (!plain)
        return std::nullopt;
    const PlainLayout layout{width, height, std::size_t(rowBytes(width, 24))};
    if (fileSize != std::int64_t(headerBytes + layout.stride * std::size_t(height)))
        return std::nullopt;
    return layout;
}

// The header the BMP writer gives a changed 24-bit bitmap read from such a
// file: its own sizes, no colour table, the resolution and important-colour
// count kept, the reserved words cleared.
void setWrittenHeader(std::uint8_t* h, const PlainLayout& layout)
{
    const std::uint64_t image = std::uint64_t(layout.stride) * std::uint64_t(layout.height);
    putU32(h + 2, std::uint32_t(std::min<std::uint64_t>(headerBytes + image, UINT32_MAX)));
    putU32(h + 6, 0);
    putU32(h + 34, std::uint32_t(std::min<std::uint64_t>(image, UINT32_MAX)));
}

class Mapping {
public:
    Mapping(int fd, std::size_t size)
        : m_size(size),
          m_data(::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, fd, 0))
    {
    }
    ~Mapping()
    {
        if (m_data != MAP_FAILED)
            ::munmap(m_data, m_size);
    }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    std::uint8_t* data() const { return m_data == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(m_data); }

private:
    std::size_t m_size;
    void* m_data;
};

bool copyWhole(int from, int to, std::size_t size)
{
    loff_t in = 0, out = 0;
    while (std::size_t(out) < size) {
        const ssize_t n = ::copy_file_range(from, &in, to, &out, size - std::size_t(out), 0);
        if (n <= 0)
            return false;
    }
    return true;
}

} // namespace

bool recolorPlainBmpCopy(const std::string& source, const std::string& target,
                         const RecolorSettings& settings, ExistingFile existing)
{
    const FileDescriptor file(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat status {};
    std::array<std::uint8_t, headerBytes> head{};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_size < smallestCopied ||
        ::pread(file.get(), head.data(), head.size(), 0) != ssize_t(head.size()))
        return false;
    const std::optional<PlainLayout> layout = plainLayout(head.data(), status.st_size);
    if (!layout)
        return false;
    const std::size_t size = std::size_t(status.st_size);
    FileReplacement copy(target, existing);
    if (!copyWhole(file.get(), copy.fd(), size))
        return false;
    {
        const Mapping mapped(copy.fd(), size);
        // What was copied is looked at again: the source may have changed
        // since its first bytes were read.
        std::uint8_t* bytes = mapped.data();
        if (!bytes || !plainLayout(bytes, status.st_size) ||
            std::memcmp(bytes + 18, head.data() + 18, 8) != 0)
            return false;
        setWrittenHeader(bytes, *layout);
        // Rows are stored bottom-up; the pass takes them in any order.
        applySavePass(
            Rows24{bytes + headerBytes, std::ptrdiff_t(layout->stride), layout->width, layout->height},
            settings);
    }
    copy.commit();
    return true;
}

} // namespace tintora
