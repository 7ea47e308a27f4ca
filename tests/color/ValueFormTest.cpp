#include "color/ValueForm.h"
#include "color/ImageProcessingPrimitives.h"
#include "color/ValueTableOf.h"

#include <gtest/gtest.h>

#include <random>

namespace tintora::rows {
namespace {

void expectSameBytes(const ValueForm& form, const ValueTable& table, const char* what)
{
    for (int v = 0; v < 256; ++v)
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(form.byteFor(c, v), table[std::size_t(v)][std::size_t(c)])
                << what << " V " << v << " channel " << c;
}

// Whatever form the fit returns must give the table's every byte; among the
// gauge settings some need an odd value, so that path is taken too.
TEST(ValueFormTest, EveryGaugeSettingsFormGivesItsTable)
{
    int withOddValues = 0;
    for (int hue = 0; hue <= 360; ++hue)
        for (int saturation = 0; saturation <= 100; ++saturation) {
            const ValueTable table = tableOf(float(hue), float(saturation));
            if (const auto form = fitValueForm(table)) {
                withOddValues += form->hasOddValues();
                expectSameBytes(*form, table, "setting");
                if (HasFatalFailure())
                    return;
            }
        }
    EXPECT_GT(withOddValues, 0);
}

// A channel that is round(V * k), halves up, with one byte changed: the fit
// finds the multiplier from the others and keeps the changed one as the odd
// value, wherever it lies, V = 0 included. Two changed bytes are too many.
TEST(ValueFormTest, OneOddValuePerChannelAtMost)
{
    ValueTable linear;
    for (int v = 0; v < 256; ++v)
        linear[std::size_t(v)] = {std::uint8_t((v * 6 + 5) / 10), std::uint8_t(v),
                                  std::uint8_t((v * 3 + 7) / 14), 0};
    ASSERT_TRUE(fitValueForm(linear).has_value());
    EXPECT_FALSE(fitValueForm(linear)->hasOddValues());
    for (int v : {0, 1, 128, 254, 255})
        for (std::size_t c = 0; c < 3; ++c) {
            ValueTable table = linear;
            table[std::size_t(v)][c] ^= 0x10;
            const auto form = fitValueForm(table);
            ASSERT_TRUE(form.has_value()) << "V " << v << " channel " << c;
            EXPECT_EQ(form->oddValue[c], v);
            EXPECT_EQ(form->oddByte[c], table[std::size_t(v)][c]);
            expectSameBytes(*form, table, "one odd value");
            table[std::size_t(v == 0 ? 100 : v / 2)][c] ^= 0x10;
            EXPECT_FALSE(fitValueForm(table).has_value()) << "V " << v << " channel " << c;
        }
}

TEST(ValueFormTest, RandomTablesHaveNoForm)
{
    std::mt19937 rng(3);
    for (int i = 0; i < 20; ++i) {
        ValueTable table;
        for (auto& entry : table)
            entry = {std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng()), 0};
        EXPECT_FALSE(fitValueForm(table).has_value());
    }
}

} // namespace
} // namespace tintora::rows
