#include "imaging/PixelRows.h"

namespace tintora {

namespace {

void putColor(ColorValue c, std::uint8_t* out)
{
    out[0] = std::uint8_t(blueOf(c));
    out[1] = std::uint8_t(greenOf(c));
    out[2] = std::uint8_t(redOf(c));
}

} // namespace

RowToBgr::RowToBgr(PixelFormat format, int bitsPerPixel, const ColorMasks& masks,
                   const std::vector<RGBQuad>& table, int width)
    : m_format(format), m_bits(bitsPerPixel), m_width(width > 0 ? std::size_t(width) : 0), m_decode(masks)
{
    if (m_bits > 8)
        return;
    if (m_bits < 8)
        m_indices.resize(m_width);
    for (std::size_t i = 0; i < table.size() && i < m_lookup.size(); ++i)
        m_lookup[i] = {table[i].blue, table[i].green, table[i].red, 0};
}

// Every pixel but the last takes four bytes in one store; the fourth is
// overwritten by the next pixel or left for alpha.
void RowToBgr::lookUp(const std::uint8_t* indices, std::uint8_t* out, int step) const
{
    if (m_width == 0)
        return;
    const std::size_t last = m_width - 1;
    for (std::size_t x = 0; x < last; ++x, out += step)
        std::memcpy(out, m_lookup[indices[x]].data(), 4);
    std::memcpy(out, m_lookup[indices[last]].data(), 3);
}

void RowToBgr::operator()(const std::uint8_t* in, std::uint8_t* out, int step)
{
    const std::size_t w = m_width;
    switch (m_bits) {
    case 1:
    case 4:
        unpackIndices(in, m_bits, 0, std::int64_t(w), m_indices.data());
        lookUp(m_indices.data(), out, step);
        return;
    case 8: // one index a byte already
        lookUp(in, out, step);
        return;
    case 16:
        for (std::size_t x = 0; x < w; ++x, in += 2, out += step)
            putColor(m_decode(loadLe16(in)), out);
        return;
    case 24:
        if (step == 3) {
            std::memcpy(out, in, w * 3);
            return;
        }
        for (std::size_t x = 0; x < w; ++x, in += 3, out += step)
            std::memcpy(out, in, 3);
        return;
    case 32:
        if (m_format == PixelFormat::Custom) {
            for (std::size_t x = 0; x < w; ++x, in += 4, out += step)
                putColor(m_decode(loadLe32(in)), out);
            return;
        }
        for (std::size_t x = 0; x < w; ++x, in += 4, out += step)
            std::memcpy(out, in, 3);
        return;
    default:
        for (std::size_t x = 0; x < w; ++x, out += step)
            std::memset(out, 0, 3);
    }
}

} // namespace tintora
