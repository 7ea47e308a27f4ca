#pragma once
#include "imaging/ImageError.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <type_traits>

namespace tintora {

// Reads untrusted bytes. Every read is bounded; a read past the end throws
// ImageError with the cursor's error text. Offsets cannot wrap.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const std::uint8_t> data, const char* errorText = texts::streamRead)
        : m_data(data), m_error(errorText)
    {
    }

    std::size_t pos() const { return m_pos; }
    std::size_t size() const { return m_data.size(); }
    std::size_t remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    std::span<const std::uint8_t> data() const { return m_data; }

    void seek(std::size_t offset)
    {
        if (offset > m_data.size())
            fail();
        m_pos = offset;
    }
    void skip(std::size_t n)
    {
        need(n);
        m_pos += n;
    }

    std::uint8_t u8()
    {
        need(1);
        return m_data[m_pos++];
    }
    std::uint16_t u16()
    {
        need(2);
        auto v = std::uint16_t(m_data[m_pos] | (m_data[m_pos + 1] << 8));
        m_pos += 2;
        return v;
    }
    std::uint32_t u32()
    {
        need(4);
        const std::uint8_t* p = m_data.data() + m_pos;
        m_pos += 4;
        return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
               (std::uint32_t(p[3]) << 24);
    }
    std::int16_t i16() { return std::int16_t(u16()); }
    std::int32_t i32() { return std::int32_t(u32()); }
    // Reads little-endian fields in the order given, each as wide as its own
    // type, so that a struct mirroring an on-disk layout reads in one call
    // that lists its members as the layout does.
    template <class... Fields> void fields(Fields&... out) { (field(out), ...); }
    std::uint8_t peek() const
    {
        if (atEnd())
            fail();
        return m_data[m_pos];
    }

    std::span<const std::uint8_t> bytes(std::size_t n)
    {
        need(n);
        auto s = m_data.subspan(m_pos, n);
        m_pos += n;
        return s;
    }
    void read(void* out, std::size_t n)
    {
        auto s = bytes(n);
        std::memcpy(out, s.data(), n);
    }

    [[noreturn]] void fail() const { throw ImageError(m_error); }

private:
    template <class T> void field(T& out)
    {
        static_assert(std::is_integral_v<T> && (sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4));
        if constexpr (sizeof(T) == 1)
            out = T(u8());
        else if constexpr (sizeof(T) == 2)
            out = T(u16());
        else
            out = T(u32());
    }
    void need(std::size_t n) const
    {
        if (n > m_data.size() - m_pos)
            fail();
    }

    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    const char* m_error;
};

} // namespace tintora
