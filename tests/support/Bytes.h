#pragma once
// Raw bytes as the readers take them, and little-endian field access for
// building or patching files by hand.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tintora::test {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& b, unsigned v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
inline void put32(Bytes& b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

inline std::uint16_t get16(const Bytes& b, std::size_t at) { return std::uint16_t(b[at] | (b[at + 1] << 8)); }
inline std::uint32_t get32(const Bytes& b, std::size_t at)
{
    return get16(b, at) | (std::uint32_t(get16(b, at + 2)) << 16);
}

inline void set16(Bytes& b, std::size_t at, std::uint16_t v)
{
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
inline void set32(Bytes& b, std::size_t at, std::uint32_t v)
{
    set16(b, at, std::uint16_t(v));
    set16(b, at + 2, std::uint16_t(v >> 16));
}

} // namespace tintora::test
