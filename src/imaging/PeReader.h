#pragma once
#include "imaging/ImageError.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tintora {

// Resource types looked up by the icon extraction.
inline constexpr std::uint32_t kResourceTypeIcon = 3;       // RT_ICON
inline constexpr std::uint32_t kResourceTypeGroupIcon = 14; // RT_GROUP_ICON

// A resource name as the resource directory holds it: a number or a text.
struct ResourceName {
    std::optional<std::uint16_t> id;
    std::u16string text; // used when id is empty
    friend bool operator==(const ResourceName&, const ResourceName&) = default;
};

// Reads the resources of a portable-executable image (program or library file,
// 32- or 64-bit) held in memory, as data: nothing in it is run or relocated.
// The constructor throws ImageError when the bytes are not such an image; every
// later lookup of a missing or damaged resource gives nothing. Resource data is
// returned as views into the image bytes, which must outlive the reader.
class PeReader {
public:
    explicit PeReader(std::span<const std::uint8_t> image);

    bool is64Bit() const { return m_is64; }
    bool hasResources() const { return !m_resources.empty(); }

    // The names of the resources of one type, in directory order (texts first,
    // then numbers, as the directory stores them).
    std::vector<ResourceName> resourceNames(std::uint32_t type) const;
    // The data of a resource in its first language.
    std::optional<std::span<const std::uint8_t>> findResource(std::uint32_t type,
                                                              const ResourceName& name) const;
    // The data of the first resource of a type, in its first language.
    std::optional<std::span<const std::uint8_t>> firstResource(std::uint32_t type) const;

    struct Section {
        std::uint32_t virtualAddress = 0, virtualSize = 0, rawSize = 0, rawOffset = 0;
    };

private:
    void readHeaders();
    std::optional<std::span<const std::uint8_t>> dataAtRva(std::uint32_t rva, std::uint32_t size) const;
    std::optional<std::span<const std::uint8_t>> readDataEntry(std::uint32_t offset) const;
    std::optional<std::uint32_t> typeDirectory(std::uint32_t type) const;
    std::optional<std::span<const std::uint8_t>> firstLanguage(std::uint32_t nameEntryTarget) const;

    std::span<const std::uint8_t> m_image;
    std::span<const std::uint8_t> m_resources; // the resource section from its directory root
    std::vector<Section> m_sections;
    bool m_is64 = false;
};

} // namespace tintora
