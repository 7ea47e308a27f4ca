#include "util/FilterFile.h"
#include "util/IntFromText.h"

#include <gtest/gtest.h>

using namespace tintora;

struct IntCase {
    const char* text;
    std::int32_t value;
};

class IntFromTextTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntFromTextTest, ReadsTheWholeText)
{
    EXPECT_EQ(intFromText(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, IntFromTextTest,
                         ::testing::Values(IntCase{"0", 0}, IntCase{"400", 400}, IntCase{"-300", -300},
                                           IntCase{"+7", 7}, IntCase{"  12", 12}, IntCase{"", 0},
                                           IntCase{"-", 0}, IntCase{"abc", 0}, IntCase{"12a", 0},
                                           IntCase{"1.5", 0}, IntCase{"12 ", 0}, IntCase{"$1F", 31},
                                           IntCase{"x10", 16}, IntCase{"0x10", 16}, IntCase{"-$10", -16},
                                           IntCase{"$FFFFFFFF", -1}, IntCase{"2147483647", 2147483647},
                                           IntCase{"2147483648", 0}, IntCase{"-2147483648", INT32_MIN},
                                           IntCase{"-2147483649", 0}, IntCase{"99999999999999999999", 0}));

TEST(TextReadsAs, WholeNumbersAndTheStartsOfNumbers)
{
    for (const char* start : {"", "  ", "-", "+", "$", "-$", "x", "0x", " -0X"})
        EXPECT_TRUE(textReadsAs(start, 0)) << '"' << start << '"';
    EXPECT_TRUE(textReadsAs("$1F", 31));
    EXPECT_TRUE(textReadsAs("-0", 0));
    EXPECT_FALSE(textReadsAs("-", 5));
    EXPECT_FALSE(textReadsAs("abc", 0)); // reads as 0, but no number was being typed
    EXPECT_FALSE(textReadsAs("400", 360));
    EXPECT_FALSE(textReadsAs("12 ", 12));
}

struct FilterCase {
    const char* line;
    FilterSettings settings;
};

class FilterLineTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterLineTest, SplitsAtTheFirstTwoCommas)
{
    EXPECT_EQ(parseFilterLine(GetParam().line), GetParam().settings) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Cases, FilterLineTest,
                         ::testing::Values(FilterCase{"200,50,-30", {200, 50, -30}},
                                           FilterCase{"10, 20, 30", {10, 20, 30}},
                                           FilterCase{"10,20", {10, 0, 20}}, FilterCase{"55", {0, 0, 55}},
                                           FilterCase{"1,2,3,4", {1, 2, 0}},
                                           FilterCase{"400,200,-300", {400, 200, -300}},
                                           FilterCase{"", {0, 0, 0}}, FilterCase{",,", {0, 0, 0}}));

TEST(FilterLine, WritesDecimalsAndCrLf)
{
    EXPECT_EQ(formatFilterLine({200, 50, -30}), "200,50,-30\r\n");
    EXPECT_EQ(firstLine("1,2,3\r\nrest"), "1,2,3");
    EXPECT_EQ(firstLine("no line end"), "no line end");
}
