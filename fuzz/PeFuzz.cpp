// Feeds arbitrary bytes to the program-file path: headers, sections, resource tree.
#include "imaging/ExtraIcon.h"
#include "imaging/PeReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    for (int depth : {-2, -1, 4})
        (void)tintora::ExtractIconFromModuleBytes(bytes, 32, depth);
    try {
        const tintora::PeReader pe(bytes);
        for (const auto& name : pe.resourceNames(tintora::kResourceTypeGroupIcon))
            (void)pe.findResource(tintora::kResourceTypeGroupIcon, name);
        (void)pe.firstResource(tintora::kResourceTypeIcon);
    } catch (const tintora::ImageError&) {
    }
    return 0;
}
