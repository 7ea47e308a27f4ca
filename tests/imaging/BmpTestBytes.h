#pragma once
// Little helpers to build BMP files field by field in tests.
#include "imaging/Bitmap.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace tintora::test {

class Bytes {
public:
    Bytes& u8(std::uint32_t v)
    {
        m_v.push_back(std::uint8_t(v));
        return *this;
    }
    Bytes& u16(std::uint32_t v) { return u8(v).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& i32(std::int32_t v) { return u32(std::uint32_t(v)); }
    Bytes& raw(std::initializer_list<std::uint8_t> bytes)
    {
        m_v.insert(m_v.end(), bytes);
        return *this;
    }
    Bytes& zeros(std::size_t n)
    {
        m_v.insert(m_v.end(), n, 0);
        return *this;
    }
    // BITMAPFILEHEADER with the given pixel data offset; the size field is left 0.
    Bytes& fileHeader(std::uint32_t pixelOffset)
    {
        return raw({'B', 'M'}).u32(0).u16(0).u16(0).u32(pixelOffset);
    }
    // A 40-byte BITMAPINFOHEADER.
    Bytes& infoHeader(std::int32_t w, std::int32_t h, int bpp, std::uint32_t compression = 0,
                      std::uint32_t colorsUsed = 0, std::uint32_t imageSize = 0)
    {
        return u32(40)
            .i32(w)
            .i32(h)
            .u16(1)
            .u16(std::uint32_t(bpp))
            .u32(compression)
            .u32(imageSize)
            .i32(2835)
            .i32(2835)
            .u32(colorsUsed)
            .u32(0);
    }
    std::size_t size() const { return m_v.size(); }
    const std::vector<std::uint8_t>& data() const { return m_v; }
    operator std::vector<std::uint8_t>() const { return m_v; }
    operator std::span<const std::uint8_t>() const { return m_v; }

private:
    std::vector<std::uint8_t> m_v;
};

// Pixel colour as "r,g,b" for readable failures.
inline std::string rgbText(ColorValue c)
{
    return std::to_string(redOf(c)) + "," + std::to_string(greenOf(c)) + "," + std::to_string(blueOf(c));
}

} // namespace tintora::test
