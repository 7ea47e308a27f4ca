#include "imaging/IcoFile.h"

namespace tintora {

namespace {

// A 32 x 32 image of 16 colours with its masks: 40-byte header, 16-entry colour
// table, 512 bytes of colour pixels and 128 bytes of mask. A longer image in an
// .ico file whose bit count says nothing must have more colours.
constexpr std::uint32_t kSixteenColorImageBytes = 744;

} // namespace

std::optional<std::uint16_t> readIconDirHeader(ByteCursor& cursor)
{
    const std::uint16_t reserved = cursor.u16();
    const std::uint16_t type = cursor.u16();
    const std::uint16_t count = cursor.u16();
    if (reserved != 0 || type != 1)
        return std::nullopt;
    return count;
}

IconDirEntry readIconDirEntry(ByteCursor& cursor, IconDirKind kind)
{
    IconDirEntry e;
    cursor.fields(e.width, e.height, e.colorCount, e.reserved, e.planes, e.bitCount, e.bytesInRes);
    if (kind == IconDirKind::File)
        cursor.fields(e.imageOffset);
    else
        cursor.fields(e.resourceId);
    return e;
}

bool depthAccepts(IconDirKind kind, const IconDirEntry& entry, int depth)
{
    if (depth >= 0)
        return entry.bitCount == depth;
    if (depth < kDepthMoreThan16Colors)
        return entry.bitCount == 4 || entry.bitCount == 0;
    if (entry.bitCount > 4)
        return true;
    // A group written by a resource compiler rarely leaves the bit count empty; an
    // .ico file often does, so there the data length has to tell.
    if (kind == IconDirKind::Group)
        return entry.bitCount == 0;
    return entry.bytesInRes > kSixteenColorImageBytes;
}

std::optional<IconDirEntry> findIconEntry(std::span<const std::uint8_t> directory, IconDirKind kind, int size,
                                          int depth)
{
    // No icon is 0 pixels wide: a 0 width byte stands for 256 and is never asked for.
    if (size <= 0)
        return std::nullopt;
    ByteCursor cursor(directory);
    try {
        const auto count = readIconDirHeader(cursor);
        if (!count)
            return std::nullopt;
        for (unsigned i = 0; i < *count; ++i) {
            const IconDirEntry entry = readIconDirEntry(cursor, kind);
            // The width byte is compared as stored, so 0 (256 pixels) never matches.
            if (entry.width == size && depthAccepts(kind, entry, depth))
                return entry;
        }
    } catch (const ImageError&) {
        // The directory ended inside an entry: no later entry can match.
    }
    return std::nullopt;
}

} // namespace tintora
