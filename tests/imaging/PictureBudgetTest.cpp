// Row lengths and picture sizes in 64 bits, and the one memory budget.
#include "imaging/Bitmap.h"
#include "imaging/MemoryBudget.h"

#include <gtest/gtest.h>

namespace tintora {
namespace {

struct StrideCase {
    std::int64_t width;
    int bitsPerPixel;
    std::int64_t stride;
};

class RowLength : public ::testing::TestWithParam<StrideCase> {};

// Rows of wide pictures are longer than an int: 24-bit rows of 716 million
// pixels and more wrapped to negative lengths, of 1.43 billion and more to
// short positive ones.
TEST_P(RowLength, IsComputedInSixtyFourBits)
{
    EXPECT_EQ(Bitmap::strideFor(GetParam().width, GetParam().bitsPerPixel), GetParam().stride);
}
INSTANTIATE_TEST_SUITE_P(Widths, RowLength,
                         ::testing::Values(StrideCase{1, 1, 4}, StrideCase{33, 1, 8}, StrideCase{3, 24, 12},
                                           StrideCase{1'000'000'000, 24, 3'000'000'000},
                                           StrideCase{1'431'655'766, 24, 4'294'967'300},
                                           StrideCase{1'500'000'000, 24, 4'500'000'000},
                                           StrideCase{INT32_MAX, 32, 8'589'934'588}));

TEST(PictureBudget, CountsTheStoredFormAndItsWorkingCopy)
{
    // 128 Mi pixels of one byte and their 24-bit copy fill the budget exactly.
    EXPECT_TRUE(fitsPictureBudget(std::int64_t(128) << 20, 1, 8));
    EXPECT_FALSE(fitsPictureBudget((std::int64_t(128) << 20) + 4, 1, 8));
    EXPECT_FALSE(fitsPictureBudget(1024, 1024, 8, pictureBudgetBytes - 4 * 1024 * 1024 + 1));
    // The 24-bit copy of a thin 1-bit picture is what does not fit.
    EXPECT_FALSE(fitsPictureBudget(1'500'000'000, 1, 1));
    // Products of hostile fields saturate instead of wrapping into range.
    EXPECT_EQ(pictureBytes(INT64_MAX / 2, 3, 24), unaffordable);
    EXPECT_EQ(pictureBytes(INT32_MAX, INT32_MAX, 32), unaffordable);
    EXPECT_FALSE(fitsPictureBudget(INT32_MAX, INT32_MAX, 32));
}

} // namespace
} // namespace tintora
