#pragma once
#include "imaging/ByteCursor.h"

#include <cstdint>
#include <optional>
#include <span>

namespace tintora {

// Which table an icon directory entry comes from: an .ico file (16-byte ICONDIRENTRY,
// image found by file offset) or an icon group resource (14-byte GRPICONDIRENTRY,
// image found by resource identifier). The depth selector reads them differently.
enum class IconDirKind { File, Group };

inline constexpr std::size_t kIconDirHeaderSize = 6;
inline constexpr std::size_t kIconFileEntrySize = 16;
inline constexpr std::size_t kIconGroupEntrySize = 14;

// The depth selector of the extraction calls: -1 asks for more than 16 colours.
inline constexpr int kDepthMoreThan16Colors = -1;

// One ICONDIRENTRY or GRPICONDIRENTRY as stored (little-endian).
struct IconDirEntry {
    std::uint8_t width = 0;  // 0 stands for 256
    std::uint8_t height = 0; // not looked at when matching
    std::uint8_t colorCount = 0;
    std::uint8_t reserved = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0; // often 0 in real files
    std::uint32_t bytesInRes = 0;
    std::uint32_t imageOffset = 0; // File kind only
    std::uint16_t resourceId = 0;  // Group kind only
};

// Reads the 6-byte ICONDIR header. Gives the entry count, or nothing when the
// bytes are not an icon directory (reserved not 0 or type not 1).
std::optional<std::uint16_t> readIconDirHeader(ByteCursor& cursor);

IconDirEntry readIconDirEntry(ByteCursor& cursor, IconDirKind kind);

// Whether the depth selector accepts an entry (see kDepthMoreThan16Colors).
bool depthAccepts(IconDirKind kind, const IconDirEntry& entry, int depth);

// The first entry, in stored order, whose width byte equals size and whose depth the
// selector accepts. Entries cut short by the end of the bytes end the search.
std::optional<IconDirEntry> findIconEntry(std::span<const std::uint8_t> directory, IconDirKind kind, int size,
                                          int depth);

} // namespace tintora
