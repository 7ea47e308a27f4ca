#include "color/FilterRows.h"
#include "color/ImageProcessingPrimitives.h"
#include "color/ValueTableOf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace tintora::rows {
namespace {

constexpr ExcludedBytes magentaKey{255, 0, 255};
constexpr int guard = 64;

// A row of random pixels with runs of the key colour (short ones, and long ones
// that cover whole chunks) and near misses, followed by guard bytes that no
// kernel may touch.
std::vector<std::uint8_t> randomRow(std::mt19937& rng, int width, ExcludedBytes key)
{
    std::vector<std::uint8_t> bytes(3 * std::size_t(width) + guard);
    for (auto& b : bytes)
        b = std::uint8_t(rng());
    std::uniform_int_distribution<int> run(0, 80), kind(0, 3);
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

ValueTable randomTable(std::mt19937& rng)
{
    ValueTable table;
    for (auto& entry : table)
        entry = {std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng()), 0};
    return table;
}

// Widths around every chunk size (16, 30, 32 pixels) and a few long rows.
std::vector<int> widths()
{
    std::vector<int> w(101);
    for (int i = 0; i <= 100; ++i)
        w[std::size_t(i)] = i;
    w.insert(w.end(), {127, 128, 255, 256, 374, 1000});
    return w;
}

// The same kernel through `vector`, one row at a time and as rows of one
// bitmap: padded rows (whose padding must stay as it was) and rows with
// nothing between them, which are walked as one long row.
template <class Kernel, class Reference>
void expectAgreement(const Kernel& kernel, Isa isa, Reference reference, ExcludedBytes key, std::mt19937& rng)
{
    for (int width : widths()) {
        const std::vector<std::uint8_t> row = randomRow(rng, width, key);
        std::vector<std::uint8_t> expected = row, actual = row;
        reference(expected.data(), width);
        kernel.vector({actual.data(), 0, width, 1}, isa);
        ASSERT_EQ(actual, expected) << "width " << width;
        // Once more without the guard bytes, so that a build with the address
        // sanitizer sees any read past the row.
        std::vector<std::uint8_t> exact(row.begin(), row.begin() + 3 * width);
        kernel.vector({exact.data(), 0, width, 1}, isa);
        ASSERT_TRUE(std::equal(exact.begin(), exact.end(), expected.begin())) << "width " << width;
    }
    for (int padding : {0, 1, 2, 3}) {
        const int width = 41, count = 7, stride = 3 * width + padding;
        std::vector<std::uint8_t> bitmap;
        for (int y = 0; y < count; ++y) {
            const std::vector<std::uint8_t> row = randomRow(rng, width, key);
            bitmap.insert(bitmap.end(), row.begin(), row.begin() + stride);
        }
        std::vector<std::uint8_t> expected = bitmap, actual = bitmap;
        for (int y = 0; y < count; ++y)
            reference(expected.data() + y * stride, width);
        kernel.vector({actual.data(), stride, width, count}, isa);
        ASSERT_EQ(actual, expected) << "padding " << padding;
    }
}

class FilterRowsTest : public testing::TestWithParam<Isa> {
protected:
    void SetUp() override
    {
        if (!isaAvailable(GetParam()))
            GTEST_SKIP() << "not on this processor";
    }
    std::mt19937 rng{7};
};

TEST_P(FilterRowsTest, BrightnessAgreesWithPlainLoop)
{
    for (int amount : {-300, -255, -40, -1, 0, 1, 99, 255, 1000}) {
        const ExcludedBytes key = amount % 2 ? magentaKey : ExcludedBytes{0, 0, 0};
        const BrightnessRows kernel(amount, key);
        expectAgreement(
            kernel, GetParam(),
            [&](std::uint8_t* row, int width) { brightenReference(row, width, amount, key); }, key, rng);
        if (HasFatalFailure())
            return;
    }
}

// Settings whose table has a value form, one that needs an odd value, the
// conversion error's constant magenta (no form), and random tables (no form).
TEST_P(FilterRowsTest, ColorizeAgreesWithPlainLoop)
{
    struct Case {
        ValueTable table;
        bool computes, oddValues;
    };
    std::vector<Case> cases{
        {tableOf(200, 57), true, false}, {tableOf(14, 45), true, true}, {tableOf(90, 0.01f), false, false}};
    for (int i = 0; i < 3; ++i)
        cases.push_back({randomTable(rng), false, false});
    for (const Case& c : cases)
        for (ExcludedBytes key : {magentaKey, ExcludedBytes{200, 100, 50}}) {
            const ColorizeRows kernel(c.table, key);
            ASSERT_EQ(kernel.computesValues(), c.computes);
            ASSERT_EQ(kernel.patterns().hasOddValues, c.oddValues);
            expectAgreement(
                kernel, GetParam(),
                [&](std::uint8_t* row, int width) { colorizeReference(row, width, c.table, key); }, key, rng);
            if (HasFatalFailure())
                return;
        }
}

TEST_P(FilterRowsTest, RowsOfTheExcludedColourStayAsTheyAre)
{
    for (int width : {1, 16, 30, 32, 96, 200}) {
        std::vector<std::uint8_t> row(3 * std::size_t(width));
        for (std::size_t i = 0; i < row.size(); i += 3)
            row[i] = magentaKey.blue, row[i + 1] = magentaKey.green, row[i + 2] = magentaKey.red;
        std::vector<std::uint8_t> brightened = row, colorized = row;
        BrightnessRows(50, magentaKey).vector({brightened.data(), 0, width, 1}, GetParam());
        const ValueTable table = tableOf(120, 80);
        ColorizeRows(table, magentaKey).vector({colorized.data(), 0, width, 1}, GetParam());
        EXPECT_EQ(brightened, row) << width;
        EXPECT_EQ(colorized, row) << width;
    }
}

INSTANTIATE_TEST_SUITE_P(InstructionSets, FilterRowsTest, testing::Values(Isa::Sse2, Isa::Avx2),
                         [](const testing::TestParamInfo<Isa>& isa) {
                             return std::string(isa.param == Isa::Sse2 ? "Sse2" : "Avx2");
                         });

} // namespace
} // namespace tintora::rows
