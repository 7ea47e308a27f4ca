#include "color/FilterRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace tintora::rows {
namespace {

constexpr ExcludedBytes magentaKey{255, 0, 255};
constexpr int guard = 64;

// A row of random pixels with runs of the key colour (short and long, so that
// whole 16-pixel chunks and partial ones both occur) and near misses, followed
// by guard bytes that no kernel may touch.
std::vector<std::uint8_t> randomRow(std::mt19937& rng, int width, ExcludedBytes key)
{
    std::vector<std::uint8_t> bytes(3 * std::size_t(width) + guard);
    for (auto& b : bytes)
        b = std::uint8_t(rng());
    std::uniform_int_distribution<int> run(0, 40), kind(0, 3);
    for (int x = 0; x < width;) {
        const int n = std::min(width - x, run(rng));
        const int k = kind(rng);
        for (int i = 0; i < n && k < 2; ++i, ++x) {
            std::uint8_t* p = bytes.data() + 3 * x;
            p[0] = key.blue, p[1] = key.green, p[2] = key.red;
            if (k == 1 && i % 2)
                p[i % 3] ^= 1; // near miss
        }
        if (k >= 2)
            x += n;
    }
    return bytes;
}

// Per pixel, written out plainly.
void brightenReference(std::uint8_t* row, int width, int amount, ExcludedBytes key)
{
    for (int x = 0; x < width; ++x, row += 3)
        if (!key.matches(row))
            for (int k = 0; k < 3; ++k)
                row[k] = std::uint8_t(std::clamp(int(row[k]) + std::clamp(amount, -256, 256), 0, 255));
}

void colorizeReference(std::uint8_t* row, int width, const ValueTable& table, ExcludedBytes key)
{
    for (int x = 0; x < width; ++x, row += 3)
        if (!key.matches(row)) {
            const int v = std::max({row[0], row[1], row[2]});
            std::copy_n(table[std::size_t(v)].begin(), 3, row);
        }
}

TEST(FilterRowsTest, BrightnessKernelsAgreeWithPlainLoop)
{
    std::mt19937 rng(7);
    for (int amount : {-300, -255, -40, -1, 0, 1, 99, 255, 1000})
        for (int width = 0; width <= 100; ++width) {
            const ExcludedBytes key = width % 5 ? magentaKey : ExcludedBytes{0, 0, 0};
            const std::vector<std::uint8_t> row = randomRow(rng, width, key);
            std::vector<std::uint8_t> expected = row, scalar = row, vector = row;
            brightenReference(expected.data(), width, amount, key);
            const BrightnessRows kernel(amount, key);
            kernel.scalar(scalar.data(), width);
            kernel.vector({vector.data(), 0, width, 1});
            ASSERT_EQ(scalar, expected) << "amount " << amount << " width " << width;
            ASSERT_EQ(vector, expected) << "amount " << amount << " width " << width;
        }
}

TEST(FilterRowsTest, ColorizeKernelsAgreeWithPlainLoop)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 8; ++round) {
        ValueTable table;
        for (auto& entry : table)
            entry = {std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng()), 0};
        for (int width = 0; width <= 100; ++width) {
            const ExcludedBytes key = round % 2 ? magentaKey : ExcludedBytes{200, 100, 50};
            const std::vector<std::uint8_t> row = randomRow(rng, width, key);
            std::vector<std::uint8_t> expected = row, scalar = row, vector = row;
            colorizeReference(expected.data(), width, table, key);
            const ColorizeRows kernel(table, key);
            kernel.scalar(scalar.data(), width);
            kernel.vector({vector.data(), 0, width, 1});
            ASSERT_EQ(scalar, expected) << "round " << round << " width " << width;
            ASSERT_EQ(vector, expected) << "round " << round << " width " << width;
        }
    }
}

} // namespace
} // namespace tintora::rows
