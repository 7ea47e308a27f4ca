#pragma once
// The chunk walker and the chunk kernels behind the row kernels, written once
// over a small set of vector operations (`Ops`). Each instruction set's file
// includes this after telling the compiler its target, so that everything here
// is compiled for that target: hence file-local, never shared between them.
#include "color/FilterRows.h"

#include <bit>
#include <cstring>

namespace tintora::rows {
namespace {

template <class Ops> using Vec = typename Ops::Vec;

// Copies n < 128 bytes with a few overlapping moves: a call to memcpy, or the
// string move the compiler makes of it, costs more than a whole chunk.
[[gnu::always_inline]] inline void copyShort(std::uint8_t* to, const std::uint8_t* from, std::size_t n)
{
    const auto move = [&](auto piece, std::size_t at) {
        std::memcpy(&piece, from + at, sizeof piece);
        std::memcpy(to + at, &piece, sizeof piece);
    };
    struct Bytes16 {
        std::uint64_t a, b;
    };
    if (n >= 16) {
        for (std::size_t at = 0; at + 16 < n; at += 16)
            move(Bytes16{}, at);
        move(Bytes16{}, n - 16);
    } else if (n >= 8) {
        move(std::uint64_t{}, 0), move(std::uint64_t{}, n - 8);
    } else if (n >= 4) {
        move(std::uint32_t{}, 0), move(std::uint32_t{}, n - 4);
    } else if (n >= 2) {
        move(std::uint16_t{}, 0), move(std::uint16_t{}, n - 2);
    } else if (n) {
        move(std::uint8_t{}, 0);
    }
}

// Hands a row to a chunk kernel in chunks of Kernel::bytes (whole pixels). A
// kernel's `compute` reads one chunk, and Kernel::slack bytes past it, and
// returns what `store` then writes. The row's last chunk is computed first,
// straight from the row (`compute<true>` reads nothing past the row), and
// stored after the others: a chunk that overlaps it starts from the same
// original bytes, so both give the overlap the same result. Only a row no
// longer than a chunk goes through a buffer. So no kernel reads or writes
// beyond the row, and no pixel is left to slower code.
template <class Kernel>
[[gnu::always_inline]] inline void walkChunks(std::uint8_t* row, std::size_t bytes, const Kernel& kernel)
{
    static_assert(Kernel::slack <= 3, "a chunk may read into the next pixel only");
    if (bytes <= Kernel::bytes) {
        alignas(32) std::uint8_t buffer[Kernel::bytes + Kernel::slack] = {};
        copyShort(buffer, row, bytes);
        kernel.store(buffer, kernel.template compute<false>(buffer));
        copyShort(row, buffer, bytes);
        return;
    }
    std::uint8_t* lastAt = row + bytes - Kernel::bytes;
    const auto last = kernel.template compute<true>(lastAt);
    // Every chunk here ends at least one pixel before the row does.
    for (std::uint8_t* p = row; p < lastAt; p += Kernel::bytes)
        kernel.store(p, kernel.template compute<false>(p));
    kernel.store(lastAt, last);
}

// Rows with nothing between them are walked as one long row.
template <class Kernel> [[gnu::always_inline]] inline void walkRows(Rows rows, const Kernel& kernel)
{
    const std::size_t rowBytes = 3 * std::size_t(rows.width);
    if (rows.stride == std::ptrdiff_t(rowBytes)) {
        walkChunks(rows.first, rowBytes * std::size_t(rows.count), kernel);
        return;
    }
    for (int y = 0; y < rows.count; ++y)
        walkChunks(rows.first + y * rows.stride, rowBytes, kernel);
}

// Three registers' worth of pixel bytes: 16 pixels with 16-byte registers,
// 32 with 32-byte ones. A chunk always starts at a pixel.
template <class Ops> struct Chunk {
    static constexpr std::size_t bytes = 3 * Ops::bytes;
    Vec<Ops> a, b, c;
};

template <class Ops> [[gnu::always_inline]] inline Chunk<Ops> loadChunk(const std::uint8_t* p)
{
    return {Ops::load(p), Ops::load(p + Ops::bytes), Ops::load(p + 2 * Ops::bytes)};
}

template <class Ops> [[gnu::always_inline]] inline void storeChunk(std::uint8_t* p, const Chunk<Ops>& c)
{
    Ops::store(p, c.a);
    Ops::store(p + Ops::bytes, c.b);
    Ops::store(p + 2 * Ops::bytes, c.c);
}

// Bits 0, 3, 6, ... 45: the first byte of each pixel among 48 bytes.
constexpr std::uint64_t pixelStarts = 0x249249249249ull;

// The excluded pixels of a chunk: per 48 bytes, a bit at the first byte of
// each pixel whose three bytes all match.
template <class Ops> struct Excluded {
    static constexpr int halves = Ops::bytes / 16;
    std::uint64_t bits[halves];

    bool none() const
    {
        std::uint64_t any = 0;
        for (std::uint64_t b : bits)
            any |= b;
        return any == 0;
    }
    bool all() const
    {
        std::uint64_t every = pixelStarts;
        for (std::uint64_t b : bits)
            every &= b;
        return every == pixelStarts;
    }
};

// One bit per byte in, one bit per pixel whose three bytes are set out.
[[gnu::always_inline]] inline std::uint64_t wholePixels(std::uint64_t bytes)
{
    return bytes & (bytes >> 1) & (bytes >> 2) & pixelStarts;
}

template <class Ops>
[[gnu::always_inline]] inline Excluded<Ops> excludedPixels(const Chunk<Ops>& c, const RowPatterns& patterns)
{
    const std::uint64_t a = Ops::equalBits(c.a, Ops::pattern(patterns.key));
    const std::uint64_t b = Ops::equalBits(c.b, Ops::pattern(patterns.key + Ops::bytes));
    const std::uint64_t d = Ops::equalBits(c.c, Ops::pattern(patterns.key + 2 * Ops::bytes));
    if constexpr (Excluded<Ops>::halves == 1) {
        return {{wholePixels(a | b << 16 | d << 32)}};
    } else {
        const std::uint64_t low = a | b << 32;
        return {{wholePixels(low & 0xFFFFFFFFFFFFull), wholePixels(low >> 48 | d << 16)}};
    }
}

// Puts the original bytes of the excluded pixels back. Out of line and taking
// the registers as they are, so that the common case spills nothing for it.
template <class Ops>
[[gnu::noinline]] void restoreExcluded(std::uint8_t* p, Vec<Ops> a, Vec<Ops> b, Vec<Ops> c,
                                       Excluded<Ops> excluded)
{
    alignas(32) std::uint8_t saved[Chunk<Ops>::bytes];
    storeChunk<Ops>(saved, {a, b, c});
    for (int h = 0; h < Excluded<Ops>::halves; ++h)
        for (std::uint64_t bits = excluded.bits[h]; bits; bits &= bits - 1) {
            const int i = 48 * h + std::countr_zero(bits);
            std::memcpy(p + i, saved + i, 3);
        }
}

template <class Ops> struct BrightenKernel {
    static constexpr std::size_t bytes = Chunk<Ops>::bytes, slack = 0;
    Vec<Ops> up, down;
    const RowPatterns& patterns;

    struct Result {
        Chunk<Ops> in;
        Excluded<Ops> excluded;
    };
    template <bool AtEnd> [[gnu::always_inline]] Result compute(const std::uint8_t* p) const
    {
        const Chunk<Ops> in = loadChunk<Ops>(p);
        return {in, excludedPixels<Ops>(in, patterns)};
    }
    [[gnu::always_inline]] void store(std::uint8_t* p, const Result& r) const
    {
        // Key-colour areas are often wide; a chunk wholly inside one stays as it is.
        if (r.excluded.all())
            return;
        const auto step = [this](Vec<Ops> v) {
            return Ops::subtractSaturated(Ops::addSaturated(v, up), down);
        };
        storeChunk<Ops>(p, {step(r.in.a), step(r.in.b), step(r.in.c)});
        if (!r.excluded.none())
            restoreExcluded<Ops>(p, r.in.a, r.in.b, r.in.c, r.excluded);
    }
};

// The value V of each byte's pixel, its largest byte, at all three of its
// bytes. A byte's two partners come from loads one and two bytes either side
// (the next pixel's first two bytes at most: the chunk's slack); at the
// chunk's start, and at its end where it ends the row, shifts stand in for
// loads beyond it, and what they shift in is never a partner.
template <class Ops, int k, bool AtEnd>
[[gnu::always_inline]] inline Vec<Ops> valuesOf(const std::uint8_t* chunk, Vec<Ops> x,
                                                const RowPatterns& patterns)
{
    constexpr int at = k * Ops::bytes;
    const std::uint8_t* p = chunk + at;
    Vec<Ops> before1, before2, after1, after2;
    if constexpr (k == 0) {
        before1 = Ops::template bytesBefore<1>(x);
        before2 = Ops::template bytesBefore<2>(x);
    } else {
        before1 = Ops::load(p - 1);
        before2 = Ops::load(p - 2);
    }
    if constexpr (k == 2 && AtEnd) {
        after1 = Ops::template bytesAfter<1>(x);
        after2 = Ops::template bytesAfter<2>(x);
    } else {
        after1 = Ops::load(p + 1);
        after2 = Ops::load(p + 2);
    }
    // The pixel's next byte counted round (red's is blue), and its previous one.
    const Vec<Ops> next = Ops::select(Ops::pattern(patterns.lastByte + at), before2, after1);
    const Vec<Ops> previous = Ops::select(Ops::pattern(patterns.firstByte + at), after2, before1);
    return Ops::max(x, Ops::max(next, previous));
}

template <class Ops, bool AtEnd>
[[gnu::always_inline]] inline Chunk<Ops> valuesOf(const std::uint8_t* p, const Chunk<Ops>& in,
                                                  const RowPatterns& patterns)
{
    return {valuesOf<Ops, 0, AtEnd>(p, in.a, patterns), valuesOf<Ops, 1, AtEnd>(p, in.b, patterns),
            valuesOf<Ops, 2, AtEnd>(p, in.c, patterns)};
}

// Every byte computed from its pixel's V by the value form: no table.
template <class Ops, bool Odd> struct ComputeKernel {
    static constexpr std::size_t bytes = Chunk<Ops>::bytes, slack = 2;
    const RowPatterns& patterns;

    struct Result {
        Chunk<Ops> in, out;
        Excluded<Ops> excluded;
    };
    [[gnu::always_inline]] Vec<Ops> colorize(Vec<Ops> v, int at) const
    {
        const Vec<Ops> out = Ops::multiplyValues(v, Ops::pattern(patterns.evenMultiplier + at / 2),
                                                 Ops::pattern(patterns.oddMultiplier + at / 2));
        if constexpr (!Odd)
            return out;
        return Ops::select(Ops::equal(v, Ops::pattern(patterns.oddValue + at)),
                           Ops::pattern(patterns.oddByte + at), out);
    }
    template <bool AtEnd> [[gnu::always_inline]] Result compute(const std::uint8_t* p) const
    {
        const Chunk<Ops> in = loadChunk<Ops>(p);
        const Chunk<Ops> v = valuesOf<Ops, AtEnd>(p, in, patterns);
        return {in,
                {colorize(v.a, 0), colorize(v.b, Ops::bytes), colorize(v.c, 2 * Ops::bytes)},
                excludedPixels<Ops>(in, patterns)};
    }
    [[gnu::always_inline]] void store(std::uint8_t* p, const Result& r) const
    {
        if (r.excluded.all())
            return;
        storeChunk<Ops>(p, r.out);
        if (!r.excluded.none())
            restoreExcluded<Ops>(p, r.in.a, r.in.b, r.in.c, r.excluded);
    }
};

// V computed, the pixel looked up in the table.
template <class Ops> struct LookUpKernel {
    static constexpr std::size_t bytes = Chunk<Ops>::bytes, slack = 2;
    const ValueTable& table;
    const RowPatterns& patterns;

    struct Result {
        Chunk<Ops> in, values;
        Excluded<Ops> excluded;
    };
    template <bool AtEnd> [[gnu::always_inline]] Result compute(const std::uint8_t* p) const
    {
        const Chunk<Ops> in = loadChunk<Ops>(p);
        return {in, valuesOf<Ops, AtEnd>(p, in, patterns), excludedPixels<Ops>(in, patterns)};
    }
    [[gnu::always_inline]] void store(std::uint8_t* p, const Result& r) const
    {
        if (r.excluded.all())
            return;
        alignas(32) std::uint8_t value[bytes];
        storeChunk<Ops>(value, r.values);
        // Four-byte stores: the spare byte lands on the next pixel, which is
        // written after it; the last pixel of the chunk gets exactly three.
        for (std::size_t i = 0; i < bytes - 3; i += 3)
            std::memcpy(p + i, table[value[i]].data(), 4);
        std::memcpy(p + bytes - 3, table[value[bytes - 3]].data(), 3);
        if (!r.excluded.none())
            restoreExcluded<Ops>(p, r.in.a, r.in.b, r.in.c, r.excluded);
    }
};

template <class Ops> void brightenRows(const BrightnessRows& kernel, Rows rows)
{
    walkRows(rows, BrightenKernel<Ops>{Ops::splat(kernel.stepUp()), Ops::splat(kernel.stepDown()),
                                       kernel.patterns()});
}

template <class Ops> void lookUpRows(const ColorizeRows& kernel, Rows rows)
{
    walkRows(rows, LookUpKernel<Ops>{kernel.table(), kernel.patterns()});
}

template <class Ops, bool Odd> void computeRows(const ColorizeRows& kernel, Rows rows)
{
    walkRows(rows, ComputeKernel<Ops, Odd>{kernel.patterns()});
}

} // namespace
} // namespace tintora::rows
