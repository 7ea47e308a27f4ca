#include "imaging/DibRle.h"

#include "imaging/ByteCursor.h"
#include "imaging/PixelRows.h"

#include <algorithm>
#include <array>

namespace tintora {

namespace {

class RleDecoder {
public:
    RleDecoder(Bitmap& bmp, const std::vector<RGBQuad>& table, int bitsPerIndex)
        : m_base(bmp.bits()), m_stride(std::size_t(bmp.stride())), m_width(bmp.width()),
          m_height(bmp.height()), m_table(table), m_bits(bitsPerIndex)
    {
    }

    void run(ByteCursor in)
    {
        while (m_row < m_height && in.remaining() >= 2) {
            const unsigned count = in.u8();
            const std::uint8_t value = in.u8();
            if (count > 0)
                putRun(count, value);
            else if (value == 0)
                nextLine();
            else if (value == 1)
                return;
            else if (value == 2)
                delta(in);
            else if (!absolute(in, value))
                return;
        }
    }

private:
    void put(unsigned index)
    {
        if (m_x >= m_width)
            return;
        std::uint8_t* p = m_base + std::size_t(m_row) * m_stride + std::size_t(m_x) * 4;
        if (index < m_table.size()) {
            p[0] = m_table[index].blue;
            p[1] = m_table[index].green;
            p[2] = m_table[index].red;
        }
        ++m_x;
    }
    // A run repeats the indices of its one byte: in 4-bit data its two
    // nibbles alternate.
    void putRun(unsigned count, std::uint8_t value)
    {
        std::uint8_t pair[2] = {value, value};
        if (m_bits == 4)
            unpackIndices(&value, 4, 0, 2, pair);
        for (unsigned i = 0; i < count && m_x < m_width; ++i)
            put(pair[i & 1]);
    }
    void nextLine()
    {
        m_x = 0;
        ++m_row;
    }
    void delta(ByteCursor& in)
    {
        if (in.remaining() < 2) {
            m_row = m_height;
            return;
        }
        m_x = std::min(m_width, m_x + in.u8());
        m_row += in.u8();
    }
    // An absolute run of `count` pixels, padded to a 16-bit boundary. Returns
    // false when the stream ends inside it; the pixels it holds still count.
    bool absolute(ByteCursor& in, unsigned count)
    {
        const std::size_t bytes = m_bits == 4 ? (count + 1) / 2 : count;
        const std::size_t have = std::min(bytes, in.remaining());
        const auto data = in.bytes(have);
        const std::size_t pixels = std::min<std::size_t>(count, m_bits == 4 ? 2 * have : have);
        std::array<std::uint8_t, 255> indices;
        unpackIndices(data.data(), m_bits, 0, std::int64_t(pixels), indices.data());
        for (std::size_t i = 0; i < pixels && m_x < m_width; ++i)
            put(indices[i]);
        if (have < bytes)
            return false;
        if ((bytes & 1) && !in.atEnd())
            in.skip(1);
        return true;
    }

    std::uint8_t* m_base;
    std::size_t m_stride;
    int m_width, m_height;
    const std::vector<RGBQuad>& m_table;
    int m_bits;
    int m_x = 0, m_row = 0;
};

} // namespace

void decodeRunLengths(Bitmap& bmp, std::span<const std::uint8_t> codes, const std::vector<RGBQuad>& table,
                      int bitsPerIndex)
{
    RleDecoder(bmp, table, bitsPerIndex).run(ByteCursor(codes));
}

} // namespace tintora
