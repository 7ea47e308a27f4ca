#include "color/FilterRows.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tintora::rows {

ExcludedRun::ExcludedRun(ExcludedBytes e)
{
    for (int i = 0; i < 48; i += 3)
        bytes[i] = e.blue, bytes[i + 1] = e.green, bytes[i + 2] = e.red;
}

BrightnessRows::BrightnessRows(int amount, ExcludedBytes excluded)
    : m_amount(amount), m_excluded(excluded), m_run(excluded)
{
    for (int c = 0; c < 256; ++c)
        m_table[std::size_t(c)] = std::uint8_t(std::clamp<std::int64_t>(std::int64_t(c) + amount, 0, 255));
}

void BrightnessRows::scalar(std::uint8_t* row, int width) const
{
    for (std::uint8_t* end = row + 3 * std::size_t(width); row != end; row += 3) {
        if (m_excluded.matches(row))
            continue;
        row[0] = m_table[row[0]];
        row[1] = m_table[row[1]];
        row[2] = m_table[row[2]];
    }
}

ColorizeRows::ColorizeRows(const ValueTable& table, ExcludedBytes excluded)
    : m_table(table), m_excluded(excluded), m_run(excluded)
{
}

void ColorizeRows::scalar(std::uint8_t* row, int width) const
{
    for (std::uint8_t* end = row + 3 * std::size_t(width); row != end; row += 3) {
        if (m_excluded.matches(row))
            continue;
        const auto& out = m_table[std::max({row[0], row[1], row[2]})];
        row[0] = out[0];
        row[1] = out[1];
        row[2] = out[2];
    }
}

#if defined(__SSE2__)

namespace {

constexpr int chunkPixels = 16;
constexpr int chunkBytes = 3 * chunkPixels;
// Bits 0, 3, 6, ... 45: the first byte of each pixel in a 48-byte chunk.
constexpr std::uint64_t pixelStarts = 0x249249249249ull;

// 16 pixels as three vectors. Everything below is written out by hand rather
// than as loops over the three: the compiler keeps it in registers only then.
struct Chunk {
    __m128i a, b, c;
};

Chunk loadChunk(const std::uint8_t* p)
{
    return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32))};
}

void storeChunk(std::uint8_t* p, const Chunk& c)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), c.a);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), c.b);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), c.c);
}

// One bit per pixel of the chunk, at the pixel's first byte, set when all
// three of its bytes match the pattern.
[[gnu::always_inline]] inline std::uint64_t matchingPixels(const Chunk& c, const Chunk& pattern)
{
    const std::uint64_t equal =
        std::uint64_t(std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(c.a, pattern.a)))) |
        std::uint64_t(std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(c.b, pattern.b)))) << 16 |
        std::uint64_t(std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(c.c, pattern.c)))) << 32;
    return equal & (equal >> 1) & (equal >> 2) & pixelStarts;
}

// Puts the original bytes of the excluded pixels back.
void restore(std::uint8_t* p, const Chunk& original, std::uint64_t excludedBits)
{
    alignas(16) std::uint8_t saved[chunkBytes];
    storeChunk(saved, original);
    while (excludedBits) {
        const int i = std::countr_zero(excludedBits);
        excludedBits &= excludedBits - 1;
        std::memcpy(p + i, saved + i, 3);
    }
}

// Byte j of the result is byte j + n of the 48 bytes; beyond them, zero.
template <int n> Chunk shiftDown(const Chunk& c)
{
    return {_mm_or_si128(_mm_srli_si128(c.a, n), _mm_slli_si128(c.b, 16 - n)),
            _mm_or_si128(_mm_srli_si128(c.b, n), _mm_slli_si128(c.c, 16 - n)), _mm_srli_si128(c.c, n)};
}

template <bool Darken> void brightenChunks(std::uint8_t* p, int chunks, __m128i step, const Chunk& pattern)
{
    auto apply = [step](__m128i v) { return Darken ? _mm_subs_epu8(v, step) : _mm_adds_epu8(v, step); };
    for (; chunks > 0; --chunks, p += chunkBytes) {
        const Chunk c = loadChunk(p);
        const std::uint64_t skip = matchingPixels(c, pattern);
        // Key-colour areas are often wide; a chunk wholly inside one stays as it is.
        if (skip == pixelStarts)
            continue;
        storeChunk(p, {apply(c.a), apply(c.b), apply(c.c)});
        if (skip)
            restore(p, c, skip);
    }
}

} // namespace

void BrightnessRows::vector(std::uint8_t* row, int width) const
{
    const Chunk pattern = loadChunk(m_run.bytes);
    const std::int64_t magnitude =
        std::min<std::int64_t>(255, m_amount < 0 ? -std::int64_t(m_amount) : m_amount);
    const __m128i step = _mm_set1_epi8(char(magnitude));
    const int chunks = width / chunkPixels;
    if (m_amount < 0)
        brightenChunks<true>(row, chunks, step, pattern);
    else
        brightenChunks<false>(row, chunks, step, pattern);
    scalar(row + std::size_t(chunks) * chunkBytes, width - chunks * chunkPixels);
}

void ColorizeRows::vector(std::uint8_t* row, int width) const
{
    const Chunk pattern = loadChunk(m_run.bytes);
    const int chunks = width / chunkPixels;
    std::uint8_t* p = row;
    for (int n = chunks; n > 0; --n, p += chunkBytes) {
        const Chunk c = loadChunk(p);
        const std::uint64_t skip = matchingPixels(c, pattern);
        if (skip == pixelStarts)
            continue;
        // Each pixel's value lands on its first byte.
        const Chunk next = shiftDown<1>(c), afterNext = shiftDown<2>(c);
        alignas(16) std::uint8_t value[chunkBytes];
        storeChunk(value, {_mm_max_epu8(c.a, _mm_max_epu8(next.a, afterNext.a)),
                           _mm_max_epu8(c.b, _mm_max_epu8(next.b, afterNext.b)),
                           _mm_max_epu8(c.c, _mm_max_epu8(next.c, afterNext.c))});
        // Four-byte stores: the spare byte lands on the next pixel, which is
        // written after it; the last pixel of the chunk gets exactly three.
        for (int i = 0; i < chunkBytes - 3; i += 3)
            std::memcpy(p + i, m_table[value[i]].data(), 4);
        std::memcpy(p + chunkBytes - 3, m_table[value[chunkBytes - 3]].data(), 3);
        if (skip)
            restore(p, c, skip);
    }
    scalar(p, width - chunks * chunkPixels);
}

#else

void BrightnessRows::vector(std::uint8_t* row, int width) const
{
    scalar(row, width);
}

void ColorizeRows::vector(std::uint8_t* row, int width) const
{
    scalar(row, width);
}

#endif

} // namespace tintora::rows
