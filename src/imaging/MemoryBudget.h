#pragma once
#include <cstdint>
#include <limits>

namespace tintora {

// What one picture may take in memory while it is decoded and recoloured: its
// decoded form, the 24-bit working copy the filters turn it into, and what a
// decoder holds beside them (the other frames of a GIF file, the coefficient
// arrays of a progressive JPEG). Every reader checks its claim against this
// before it allocates, so no header can make us take more than this, whatever
// the file's size.
//
// Modelled on a 128-megapixel area limit: a picture of 128 Mi one-byte pixels
// and its 24-bit copy take exactly this (128 Mi x (1 + 3) bytes). Skins are
// far smaller; a true-colour picture may have about 89 megapixels.
//
// Fuzzing builds set a smaller budget: the same checks then refuse sooner, and
// an input needs no half-gigabyte allocation to reach them.
#ifdef TINTORA_PICTURE_BUDGET_KIB
inline constexpr std::int64_t pictureBudgetBytes = std::int64_t(TINTORA_PICTURE_BUDGET_KIB) << 10;
#else
inline constexpr std::int64_t pictureBudgetBytes = std::int64_t(512) << 20;
#endif

// Sizes below are 64-bit and saturate at this value instead of wrapping, so
// that a product of hostile header fields can only fail the budget.
inline constexpr std::int64_t unaffordable = std::numeric_limits<std::int64_t>::max();

// Bytes of one row of `width` pixels of `bitsPerPixel`, padded to 4 bytes.
constexpr std::int64_t rowBytes(std::int64_t width, int bitsPerPixel)
{
    if (width < 0 || bitsPerPixel < 0 || (bitsPerPixel > 0 && width > (unaffordable - 31) / bitsPerPixel))
        return unaffordable;
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// rows x stride, or `unaffordable` when it cannot be held at all.
constexpr std::int64_t storeBytes(std::int64_t stride, std::int64_t rows)
{
    if (stride < 0 || rows < 0 || (rows != 0 && stride > unaffordable / rows))
        return unaffordable;
    return stride * rows;
}

// A picture as stored plus its 24-bit working copy.
constexpr std::int64_t pictureBytes(std::int64_t width, std::int64_t height, int bitsPerPixel)
{
    const std::int64_t stored = storeBytes(rowBytes(width, bitsPerPixel), height);
    const std::int64_t working = storeBytes(rowBytes(width, 24), height);
    return stored > unaffordable - working ? unaffordable : stored + working;
}

// Whether such a picture fits, beside `alreadyHeld` bytes of the same decode.
constexpr bool fitsPictureBudget(std::int64_t width, std::int64_t height, int bitsPerPixel,
                                 std::int64_t alreadyHeld = 0)
{
    return pictureBytes(width, height, bitsPerPixel) <= pictureBudgetBytes - alreadyHeld;
}

} // namespace tintora
