// The row kernels with 32-byte registers, for processors with AVX2. Only this
// file is compiled for AVX2, by a target pragma placed after every library
// header so that no shared inline code is built for it; FilterRows.cpp calls
// in only after asking the processor.
#include "color/RowKernels.h"

#include <bit>
#include <cstring>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "color/RowBlocks.h"

namespace tintora::rows {
namespace {

struct Avx2 {
    using Vec = __m256i;
    static constexpr int bytes = 32;

    [[gnu::always_inline]] static Vec load(const std::uint8_t* p)
    {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    [[gnu::always_inline]] static Vec pattern(const void* p)
    {
        return _mm256_load_si256(static_cast<const __m256i*>(p));
    }
    [[gnu::always_inline]] static void store(std::uint8_t* p, Vec v)
    {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
    }
    [[gnu::always_inline]] static Vec splat(std::uint8_t b) { return _mm256_set1_epi8(char(b)); }

    // Byte j of the result is byte j - n (j + n) of x; zeros beyond its ends.
    // The byte shift works within 16-byte lanes, so the neighbouring lane (or
    // zero) is lined up first.
    template <int n> [[gnu::always_inline]] static Vec bytesBefore(Vec x)
    {
        return _mm256_alignr_epi8(x, _mm256_permute2x128_si256(x, x, 0x08), 16 - n);
    }
    template <int n> [[gnu::always_inline]] static Vec bytesAfter(Vec x)
    {
        return _mm256_alignr_epi8(_mm256_permute2x128_si256(x, x, 0x81), x, n);
    }

    // The blend instruction is no cheaper than this on recent cores, and a
    // blend whose mask is a memory operand costs the compiler an extra compare.
    [[gnu::always_inline]] static Vec select(Vec mask, Vec ifSet, Vec ifClear)
    {
        return _mm256_or_si256(_mm256_and_si256(mask, ifSet), _mm256_andnot_si256(mask, ifClear));
    }
    [[gnu::always_inline]] static Vec max(Vec a, Vec b) { return _mm256_max_epu8(a, b); }
    [[gnu::always_inline]] static Vec equal(Vec a, Vec b) { return _mm256_cmpeq_epi8(a, b); }
    [[gnu::always_inline]] static std::uint64_t equalBits(Vec a, Vec b)
    {
        return std::uint32_t(_mm256_movemask_epi8(equal(a, b)));
    }
    [[gnu::always_inline]] static Vec addSaturated(Vec a, Vec b) { return _mm256_adds_epu8(a, b); }
    [[gnu::always_inline]] static Vec subtractSaturated(Vec a, Vec b) { return _mm256_subs_epu8(a, b); }

    // (V * m + 2^14) >> 15 per byte: the rounding multiply of 16-bit words,
    // on the even bytes and the odd bytes apart.
    [[gnu::always_inline]] static Vec multiplyValues(Vec v, Vec evenMultiplier, Vec oddMultiplier)
    {
        const Vec lowBytes = _mm256_set1_epi16(0x00FF);
        const Vec even = _mm256_mulhrs_epi16(_mm256_and_si256(v, lowBytes), evenMultiplier);
        const Vec odd = _mm256_mulhrs_epi16(_mm256_srli_epi16(v, 8), oddMultiplier);
        return _mm256_or_si256(even, _mm256_slli_epi16(odd, 8));
    }
};

// Colourising by the value form takes 30 pixels at a time, as six 16-byte
// lanes of five whole pixels (a lane's sixteenth byte is the next lane's
// first), two lanes to a register. A byte shuffle within each lane then finds
// every byte's partners, where the layout of whole registers needs two shifted
// loads and a blend per partner. The lanes sit 15 bytes apart; the stores go
// in order, each overwriting the previous lane's spare byte, and the chunk's
// last lane is stored as exactly 15 bytes so that the next chunk's loads never
// meet a store still in flight.
constexpr std::size_t laneBytes = 15;
constexpr std::size_t laneChunkBytes = 6 * laneBytes;
// Bits 0, 3, ... 12 and 16, 19, ... 28: the pixels' first bytes in a register.
constexpr std::uint32_t laneStarts = 0x12491249u;

// A byte pattern's first 16 bytes (whole pixels, then a blue byte, which is
// the lane's spare) serve every lane.
struct LaneConstants {
    Avx2::Vec key, evenMultiplier, oddMultiplier, oddValue, oddByte;
    Avx2::Vec nextInPixel = _mm256_setr_epi8(1, 2, 0, 4, 5, 3, 7, 8, 6, 10, 11, 9, 13, 14, 12, 15, //
                                             1, 2, 0, 4, 5, 3, 7, 8, 6, 10, 11, 9, 13, 14, 12, 15);
    Avx2::Vec previousInPixel = _mm256_setr_epi8(2, 0, 1, 5, 3, 4, 8, 6, 7, 11, 9, 10, 14, 12, 13, 15, //
                                                 2, 0, 1, 5, 3, 4, 8, 6, 7, 11, 9, 10, 14, 12, 13, 15);

    explicit LaneConstants(const RowPatterns& p)
        : key(everyLane(p.key)), evenMultiplier(everyLane(p.evenMultiplier)),
          oddMultiplier(everyLane(p.oddMultiplier)), oddValue(everyLane(p.oddValue)),
          oddByte(everyLane(p.oddByte))
    {
    }
    static Avx2::Vec everyLane(const void* bytes)
    {
        return _mm256_broadcastsi128_si256(_mm_load_si128(static_cast<const __m128i*>(bytes)));
    }
};

// Two lanes, 30 bytes, into one register. At the row's end the second lane's
// sixteenth byte is not there to load, so its load starts a byte early and
// is shifted back.
template <bool AtEnd> [[gnu::always_inline]] inline __m256i loadLanes(const std::uint8_t* p)
{
    const __m128i second =
        AtEnd ? _mm_srli_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + laneBytes - 1)), 1)
              : _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + laneBytes));
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))), second, 1);
}

[[gnu::always_inline]] inline void storeLanes(std::uint8_t* p, __m256i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(v));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + laneBytes), _mm256_extracti128_si256(v, 1));
}

// The second lane as two overlapping eight-byte stores: its 15 bytes only.
[[gnu::always_inline]] inline void storeLastLanes(std::uint8_t* p, __m256i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(v));
    const __m128i last = _mm256_extracti128_si256(v, 1);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p + laneBytes), last);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p + laneBytes + 7), _mm_srli_si128(last, 7));
}

// 0xFF at the three bytes of each pixel whose first byte's bit is set.
[[gnu::always_inline]] inline __m256i laneBytesOf(std::uint32_t pixels)
{
    const __m256i bits = _mm256_set1_epi32(int(pixels | pixels << 1 | pixels << 2));
    // Byte j of a lane takes the mask byte that holds bit j of the lane.
    const __m256i spread =
        _mm256_shuffle_epi8(bits, _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, //
                                                   2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3));
    const __m256i bit = _mm256_set1_epi64x(std::int64_t(0x8040201008040201ull));
    return _mm256_cmpeq_epi8(_mm256_and_si256(spread, bit), bit);
}

template <bool Odd> struct LaneKernel {
    static constexpr std::size_t bytes = laneChunkBytes, slack = 1;
    LaneConstants k;

    struct Result {
        __m256i a, b, c;
        bool keep; // wholly excluded: nothing to write
    };

    [[gnu::always_inline]] std::uint32_t excludedPixels(__m256i x) const
    {
        const std::uint32_t equal = std::uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x, k.key)));
        return equal & (equal >> 1) & (equal >> 2) & laneStarts;
    }
    [[gnu::always_inline]] __m256i colorize(__m256i x) const
    {
        const __m256i v = _mm256_max_epu8(x, _mm256_max_epu8(_mm256_shuffle_epi8(x, k.nextInPixel),
                                                             _mm256_shuffle_epi8(x, k.previousInPixel)));
        const __m256i out = Avx2::multiplyValues(v, k.evenMultiplier, k.oddMultiplier);
        if constexpr (!Odd)
            return out;
        return _mm256_blendv_epi8(out, k.oddByte, _mm256_cmpeq_epi8(v, k.oddValue));
    }
    [[gnu::always_inline]] __m256i colorize(__m256i x, std::uint32_t excluded, bool anyExcluded) const
    {
        const __m256i out = colorize(x);
        return anyExcluded ? _mm256_blendv_epi8(out, x, laneBytesOf(excluded)) : out;
    }

    template <bool AtEnd> [[gnu::always_inline]] Result compute(const std::uint8_t* p) const
    {
        const __m256i a = loadLanes<false>(p), b = loadLanes<false>(p + 2 * laneBytes),
                      c = loadLanes<AtEnd>(p + 4 * laneBytes);
        const std::uint32_t ea = excludedPixels(a), eb = excludedPixels(b), ec = excludedPixels(c);
        // Key-colour areas are often wide; a chunk wholly inside one stays as it is.
        if ((ea & eb & ec) == laneStarts)
            return {a, b, c, true};
        const bool any = (ea | eb | ec) != 0;
        return {colorize(a, ea, any), colorize(b, eb, any), colorize(c, ec, any), false};
    }
    [[gnu::always_inline]] void store(std::uint8_t* p, const Result& r) const
    {
        if (r.keep)
            return;
        storeLanes(p, r.a);
        storeLanes(p + 2 * laneBytes, r.b);
        storeLastLanes(p + 4 * laneBytes, r.c);
    }
};

template <bool Odd> void computeLaneRows(const ColorizeRows& kernel, Rows rows)
{
    walkRows(rows, LaneKernel<Odd>{LaneConstants(kernel.patterns())});
}

void colorizeRows(const ColorizeRows& kernel, Rows rows)
{
    if (!kernel.computesValues())
        lookUpRows<Avx2>(kernel, rows);
    else if (kernel.patterns().hasOddValues)
        computeLaneRows<true>(kernel, rows);
    else
        computeLaneRows<false>(kernel, rows);
}

const RowKernels kernels{brightenRows<Avx2>, colorizeRows};

} // namespace

const RowKernels* avx2Kernels() { return &kernels; }

} // namespace tintora::rows

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#else

namespace tintora::rows {

const RowKernels* avx2Kernels() { return nullptr; }

} // namespace tintora::rows

#endif
