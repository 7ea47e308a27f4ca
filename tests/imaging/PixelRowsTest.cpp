// Row kernels: the one unpacker of 1-, 4- and 8-bit palette indices.
#include "imaging/PixelRows.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tintora {
namespace {

struct UnpackCase {
    const char* name;
    int bits;
    std::vector<std::uint8_t> row;
    int first, count;
    std::vector<std::uint8_t> expected;
};

class UnpackIndices : public ::testing::TestWithParam<UnpackCase> {};

TEST_P(UnpackIndices, GivesOneByteAPixelAndWritesNoFurther)
{
    const UnpackCase& c = GetParam();
    std::vector<std::uint8_t> out(c.expected.size() + 1, 0xEE); // one sentinel past the end
    unpackIndices(c.row.data(), c.bits, c.first, c.count, out.data());
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.end() - 1), c.expected);
    EXPECT_EQ(out.back(), 0xEE);
}

const UnpackCase unpackCases[] = {
    // The leftmost pixel takes the high bits of its byte.
    {"oneBitAcrossTwoBytes", 1, {0b10110000, 0b01000000}, 0, 10, {1, 0, 1, 1, 0, 0, 0, 0, 0, 1}},
    {"oneBitFromAnOddPixel", 1, {0b10110000, 0b01000000}, 3, 7, {1, 0, 0, 0, 0, 0, 1}},
    {"oneBitLastOfAByte", 1, {0b00000001}, 7, 1, {1}},
    {"fourBitHighNibbleFirst", 4, {0x12, 0x34, 0x50}, 0, 5, {1, 2, 3, 4, 5}},
    {"fourBitFromAnOddPixel", 4, {0x12, 0x34}, 1, 3, {2, 3, 4}},
    {"fourBitTopValues", 4, {0xF0, 0x0F}, 0, 4, {15, 0, 0, 15}},
    {"eightBitFromAnOffset", 8, {7, 200, 255}, 1, 2, {200, 255}},
    {"nothingAsked", 4, {0xFF}, 0, 0, {}},
};
INSTANTIATE_TEST_SUITE_P(Rows, UnpackIndices, ::testing::ValuesIn(unpackCases), test::CaseName());

} // namespace
} // namespace tintora
