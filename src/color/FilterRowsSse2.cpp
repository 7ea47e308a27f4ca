// The row kernels with 16-byte registers: SSE2, which every x86-64 processor has.
#include "color/RowKernels.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>

#include "color/RowBlocks.h"

namespace tintora::rows {
namespace {

struct Sse2 {
    using Vec = __m128i;
    static constexpr int bytes = 16;

    [[gnu::always_inline]] static Vec load(const std::uint8_t* p)
    {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    [[gnu::always_inline]] static Vec pattern(const void* p)
    {
        return _mm_load_si128(static_cast<const __m128i*>(p));
    }
    [[gnu::always_inline]] static void store(std::uint8_t* p, Vec v)
    {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    }
    [[gnu::always_inline]] static Vec splat(std::uint8_t b) { return _mm_set1_epi8(char(b)); }

    // Byte j of the result is byte j - n (j + n) of x; zeros beyond its ends.
    template <int n> [[gnu::always_inline]] static Vec bytesBefore(Vec x) { return _mm_slli_si128(x, n); }
    template <int n> [[gnu::always_inline]] static Vec bytesAfter(Vec x) { return _mm_srli_si128(x, n); }

    [[gnu::always_inline]] static Vec select(Vec mask, Vec ifSet, Vec ifClear)
    {
        return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
    }
    [[gnu::always_inline]] static Vec both(Vec a, Vec b) { return _mm_and_si128(a, b); }
    [[gnu::always_inline]] static bool allSet(Vec v) { return _mm_movemask_epi8(v) == 0xFFFF; }
    [[gnu::always_inline]] static Vec max(Vec a, Vec b) { return _mm_max_epu8(a, b); }
    [[gnu::always_inline]] static Vec equal(Vec a, Vec b) { return _mm_cmpeq_epi8(a, b); }
    [[gnu::always_inline]] static std::uint64_t equalBits(Vec a, Vec b)
    {
        return std::uint32_t(_mm_movemask_epi8(equal(a, b)));
    }
    [[gnu::always_inline]] static Vec addSaturated(Vec a, Vec b) { return _mm_adds_epu8(a, b); }
    [[gnu::always_inline]] static Vec subtractSaturated(Vec a, Vec b) { return _mm_subs_epu8(a, b); }

    // (V * m + 2^14) >> 15 per byte. SSE2 has no rounding multiply, so:
    // floor(V * 256 * m / 2^16) = floor(V * m / 256), and adding 64 before
    // dropping 7 more bits rounds as the one step would.
    [[gnu::always_inline]] static Vec multiplyValues(Vec v, Vec evenMultiplier, Vec oddMultiplier)
    {
        const Vec highBytes = _mm_set1_epi16(std::int16_t(0xFF00)), half = _mm_set1_epi16(64);
        const Vec even = _mm_mulhi_epu16(_mm_slli_epi16(v, 8), evenMultiplier);
        const Vec odd = _mm_mulhi_epu16(_mm_and_si128(v, highBytes), oddMultiplier);
        // The odd result, below 2^15 before the shift, goes straight to the high byte.
        return _mm_or_si128(_mm_srli_epi16(_mm_add_epi16(even, half), 7),
                            _mm_and_si128(_mm_slli_epi16(_mm_add_epi16(odd, half), 1), highBytes));
    }
};

void colorizeRows(const ColorizeRows& kernel, Rows rows)
{
    if (!kernel.computesValues())
        lookUpRows<Sse2>(kernel, rows);
    else if (kernel.patterns().hasOddValues)
        computeRows<Sse2, true>(kernel, rows);
    else
        computeRows<Sse2, false>(kernel, rows);
}

const RowKernels kernels{brightenRows<Sse2>, colorizeRows};

} // namespace

const RowKernels* sse2Kernels() { return &kernels; }

} // namespace tintora::rows

#else

namespace tintora::rows {

const RowKernels* sse2Kernels() { return nullptr; }

} // namespace tintora::rows

#endif
