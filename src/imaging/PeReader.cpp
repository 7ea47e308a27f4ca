#include "imaging/PeReader.h"

#include "imaging/ByteCursor.h"

#include <algorithm>

namespace tintora {

namespace {

constexpr std::uint16_t kDosMagic = 0x5A4D;        // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550; // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::size_t kDosNewHeaderField = 0x3C;   // e_lfanew
constexpr std::size_t kSectionHeaderSize = 40;     // IMAGE_SECTION_HEADER
constexpr std::size_t kResourceDirectoryIndex = 2; // IMAGE_DIRECTORY_ENTRY_RESOURCE
constexpr std::size_t kResourceDirectorySize = 16; // IMAGE_RESOURCE_DIRECTORY
constexpr std::size_t kResourceDataEntrySize = 16; // IMAGE_RESOURCE_DATA_ENTRY
constexpr std::uint32_t kHighBit = 0x80000000u;
// The loader never maps more than 96 sections; a larger count is damage.
constexpr std::uint16_t kMaxSections = 96;

[[noreturn]] void failImage() { throw ImageError(texts::badBitmap); }

// One IMAGE_RESOURCE_DIRECTORY_ENTRY: a name (text offset when the high bit is
// set, number otherwise) and a target (subdirectory when the high bit is set).
struct DirEntry {
    std::uint32_t name = 0;
    std::uint32_t target = 0;
    bool hasTextName() const { return (name & kHighBit) != 0; }
    bool isDirectory() const { return (target & kHighBit) != 0; }
    std::uint32_t targetOffset() const { return target & ~kHighBit; }
};

// Reads the entries of the IMAGE_RESOURCE_DIRECTORY at offset. The counts are
// 16-bit, and each entry is checked against the section's end before it is read.
std::vector<DirEntry> readDirectory(std::span<const std::uint8_t> resources, std::uint32_t offset)
{
    ByteCursor in(resources, texts::badBitmap);
    in.seek(offset);
    in.skip(12); // characteristics, time stamp, version
    const std::size_t count = std::size_t(in.u16()) + in.u16();
    if (count * 8 > in.remaining())
        failImage();
    std::vector<DirEntry> entries(count);
    for (DirEntry& e : entries) {
        e.name = in.u32();
        e.target = in.u32();
    }
    return entries;
}

ResourceName readName(std::span<const std::uint8_t> resources, const DirEntry& e)
{
    ResourceName name;
    if (!e.hasTextName()) {
        name.id = std::uint16_t(e.name);
        return name;
    }
    // IMAGE_RESOURCE_DIR_STRING_U: a 16-bit length, then that many UTF-16 units.
    ByteCursor in(resources, texts::badBitmap);
    in.seek(e.name & ~kHighBit);
    const std::uint16_t length = in.u16();
    auto units = in.bytes(std::size_t(length) * 2);
    name.text.resize(length);
    for (std::size_t i = 0; i < length; ++i)
        name.text[i] = char16_t(units[2 * i] | (units[2 * i + 1] << 8));
    return name;
}

} // namespace

PeReader::PeReader(std::span<const std::uint8_t> image) : m_image(image) { readHeaders(); }

void PeReader::readHeaders()
{
    ByteCursor in(m_image, texts::badBitmap);
    if (in.u16() != kDosMagic)
        failImage();
    in.seek(kDosNewHeaderField);
    in.seek(in.u32());
    if (in.u32() != kPeSignature)
        failImage();
    in.skip(2); // machine
    const std::uint16_t sectionCount = in.u16();
    in.skip(12); // time stamp, symbol table pointer, symbol count
    const std::uint16_t optionalSize = in.u16();
    in.skip(2); // characteristics
    const std::size_t optionalStart = in.pos();
    const std::uint16_t magic = in.u16();
    if (magic != kPe32Magic && magic != kPe32PlusMagic)
        failImage();
    m_is64 = magic == kPe32PlusMagic;
    // NumberOfRvaAndSizes, then the data directories, 8 bytes each.
    in.seek(optionalStart + (m_is64 ? 108 : 92));
    const std::uint32_t directoryCount = in.u32();
    std::uint32_t resourceRva = 0, resourceSize = 0;
    if (directoryCount > kResourceDirectoryIndex &&
        (m_is64 ? 112u : 96u) + 8 * (kResourceDirectoryIndex + 1) <= optionalSize) {
        in.skip(8 * kResourceDirectoryIndex);
        resourceRva = in.u32();
        resourceSize = in.u32();
    }
    if (sectionCount > kMaxSections)
        failImage();
    in.seek(optionalStart + optionalSize);
    m_sections.resize(sectionCount);
    for (Section& s : m_sections) {
        in.skip(8); // name
        s.virtualSize = in.u32();
        s.virtualAddress = in.u32();
        s.rawSize = in.u32();
        s.rawOffset = in.u32();
        in.skip(kSectionHeaderSize - 24);
    }
    if (resourceRva == 0 || resourceSize == 0)
        return;
    // The directory tree, its names and data entries all lie in the section that
    // holds the root; offsets inside the tree are counted from the root.
    if (const auto root = dataAtRva(resourceRva, std::uint32_t(kResourceDirectorySize))) {
        const std::size_t start = std::size_t(root->data() - m_image.data());
        for (const Section& s : m_sections)
            if (resourceRva >= s.virtualAddress && resourceRva - s.virtualAddress < s.rawSize) {
                const std::size_t end =
                    std::min<std::size_t>(m_image.size(), std::size_t(s.rawOffset) + s.rawSize);
                if (end > start)
                    m_resources = m_image.subspan(start, end - start);
                break;
            }
    }
}

// Maps an address of the loaded image to the file bytes behind it; data that
// would lie past a section's stored bytes (zero-filled when loaded) is refused.
std::optional<std::span<const std::uint8_t>> PeReader::dataAtRva(std::uint32_t rva, std::uint32_t size) const
{
    for (const Section& s : m_sections) {
        if (rva < s.virtualAddress)
            continue;
        const std::uint64_t into = std::uint64_t(rva) - s.virtualAddress;
        if (into >= std::max(s.virtualSize, s.rawSize))
            continue;
        if (into + size > s.rawSize)
            return std::nullopt;
        const std::uint64_t offset = std::uint64_t(s.rawOffset) + into;
        if (offset + size > m_image.size())
            return std::nullopt;
        return m_image.subspan(std::size_t(offset), size);
    }
    return std::nullopt;
}

std::optional<std::span<const std::uint8_t>> PeReader::readDataEntry(std::uint32_t offset) const
{
    ByteCursor in(m_resources, texts::badBitmap);
    in.seek(offset);
    if (in.remaining() < kResourceDataEntrySize)
        return std::nullopt;
    const std::uint32_t rva = in.u32();
    const std::uint32_t size = in.u32();
    return dataAtRva(rva, size);
}

std::optional<std::uint32_t> PeReader::typeDirectory(std::uint32_t type) const
{
    if (m_resources.empty())
        return std::nullopt;
    for (const DirEntry& e : readDirectory(m_resources, 0))
        if (!e.hasTextName() && e.name == type && e.isDirectory())
            return e.targetOffset();
    return std::nullopt;
}

// A name entry leads to a directory of languages; the first one is taken, as the
// platform's lookup does when no language is asked for and none is neutral.
std::optional<std::span<const std::uint8_t>> PeReader::firstLanguage(std::uint32_t nameEntryTarget) const
{
    if (!(nameEntryTarget & kHighBit))
        return readDataEntry(nameEntryTarget);
    const auto languages = readDirectory(m_resources, nameEntryTarget & ~kHighBit);
    if (languages.empty() || languages.front().isDirectory())
        return std::nullopt;
    return readDataEntry(languages.front().targetOffset());
}

std::vector<ResourceName> PeReader::resourceNames(std::uint32_t type) const
{
    std::vector<ResourceName> names;
    try {
        const auto dir = typeDirectory(type);
        if (!dir)
            return names;
        for (const DirEntry& e : readDirectory(m_resources, *dir))
            names.push_back(readName(m_resources, e));
    } catch (const ImageError&) {
        names.clear();
    }
    return names;
}

std::optional<std::span<const std::uint8_t>> PeReader::findResource(std::uint32_t type,
                                                                    const ResourceName& name) const
{
    try {
        const auto dir = typeDirectory(type);
        if (!dir)
            return std::nullopt;
        for (const DirEntry& e : readDirectory(m_resources, *dir)) {
            if (e.hasTextName() != !name.id.has_value())
                continue;
            if (name.id ? std::uint16_t(e.name) == *name.id && e.name <= 0xFFFF
                        : readName(m_resources, e).text == name.text)
                return firstLanguage(e.target);
        }
    } catch (const ImageError&) {
    }
    return std::nullopt;
}

std::optional<std::span<const std::uint8_t>> PeReader::firstResource(std::uint32_t type) const
{
    try {
        const auto dir = typeDirectory(type);
        if (!dir)
            return std::nullopt;
        const auto entries = readDirectory(m_resources, *dir);
        if (entries.empty())
            return std::nullopt;
        return firstLanguage(entries.front().target);
    } catch (const ImageError&) {
    }
    return std::nullopt;
}

} // namespace tintora
