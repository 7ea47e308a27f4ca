#include "imaging/GifLzw.h"
#include "imaging/GifImage.h"
#include "imaging/ImageError.h"
#include "support/Bytes.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

namespace tintora::gif {
namespace {

using test::Bytes;

// Packs codes of the given widths least significant bit first.
struct CodePacker {
    Bytes bytes;
    std::uint32_t buffer = 0;
    int count = 0;

    void put(unsigned code, int bits)
    {
        buffer |= code << count;
        count += bits;
        while (count >= 8) {
            bytes.push_back(std::uint8_t(buffer));
            buffer >>= 8;
            count -= 8;
        }
    }
    Bytes finish()
    {
        if (count > 0)
            bytes.push_back(std::uint8_t(buffer));
        count = 0;
        return bytes;
    }
};

Bytes pack(std::initializer_list<std::pair<unsigned, int>> codes)
{
    CodePacker p;
    for (auto [code, bits] : codes)
        p.put(code, bits);
    return p.finish();
}

enum class WhenFull { Clear, KeepGoing };

// A plain GIF encoder, written independently of the decoder, to round-trip through it.
Bytes encode(const Bytes& pixels, int minCodeSize, WhenFull whenFull)
{
    const unsigned clear = 1u << minCodeSize;
    unsigned next = clear + 2;
    int bits = minCodeSize + 1;
    std::map<std::pair<unsigned, std::uint8_t>, unsigned> table;
    CodePacker out;
    out.put(clear, bits);
    unsigned prefix = pixels.at(0);
    for (std::size_t i = 1; i < pixels.size(); ++i) {
        const auto key = std::make_pair(prefix, pixels[i]);
        if (auto it = table.find(key); it != table.end()) {
            prefix = it->second;
            continue;
        }
        out.put(prefix, bits);
        if (next < 4096) {
            table[key] = next++;
            if (next > (1u << bits) && bits < 12)
                ++bits;
        } else if (whenFull == WhenFull::Clear) {
            out.put(clear, bits);
            table.clear();
            next = clear + 2;
            bits = minCodeSize + 1;
        }
        prefix = pixels[i];
    }
    out.put(prefix, bits);
    out.put(clear + 1, bits);
    return out.finish();
}

Bytes decode(const Bytes& data, int minCodeSize, std::size_t size, LzwStop expected, std::uint8_t fill = 0xEE)
{
    Bytes out(size, fill);
    EXPECT_EQ(decodeLzw(data, minCodeSize, out), expected);
    return out;
}

struct RoundTrip {
    int minCodeSize;
    std::size_t size;
    int runLength; // pixels repeat in runs, so strings grow long
    WhenFull whenFull;
};

class LzwRoundTrip : public testing::TestWithParam<RoundTrip> {};

TEST_P(LzwRoundTrip, DecodesWhatTheEncoderWrote)
{
    const RoundTrip& c = GetParam();
    std::mt19937 random(unsigned(c.minCodeSize * 1000 + c.runLength));
    Bytes pixels(c.size);
    const unsigned colours = 1u << c.minCodeSize;
    for (std::size_t i = 0; i < c.size; i += std::size_t(c.runLength)) {
        const auto value = std::uint8_t(random() % colours);
        for (std::size_t k = i; k < std::min(c.size, i + std::size_t(c.runLength)); ++k)
            pixels[k] = value;
    }
    const Bytes data = encode(pixels, c.minCodeSize, c.whenFull);
    // The frame fills up just before the end code.
    EXPECT_EQ(decode(data, c.minCodeSize, c.size, LzwStop::Filled), pixels);
}

// Sizes are large enough to fill the 4096-entry table several times, so codes
// grow to 12 bits and the full table is used both with and without clear codes.
INSTANTIATE_TEST_SUITE_P(
    Codes, LzwRoundTrip,
    testing::Values(RoundTrip{2, 50000, 1, WhenFull::Clear}, RoundTrip{2, 50000, 1, WhenFull::KeepGoing},
                    RoundTrip{3, 20000, 3, WhenFull::Clear}, RoundTrip{4, 80000, 2, WhenFull::KeepGoing},
                    RoundTrip{8, 200000, 1, WhenFull::Clear}, RoundTrip{8, 200000, 1, WhenFull::KeepGoing},
                    RoundTrip{8, 100000, 40, WhenFull::Clear}, RoundTrip{3, 7, 1, WhenFull::Clear}));

TEST(Lzw, CodeThatNamesTheEntryBeingMadeRepeatsThePreviousString)
{
    // Minimum code size 2: clear 4, end 5, first free 6, codes of 3 bits.
    const Bytes data = pack({{4, 3}, {1, 3}, {6, 3}, {5, 3}}); // 6 = "1" + first of "1"
    EXPECT_EQ(decode(data, 2, 5, LzwStop::EndCode), (Bytes{1, 1, 1, 0xEE, 0xEE}));
}

TEST(Lzw, CodesGrowOneBitWhenTheTableReachesTheLimit)
{
    // Codes 0 and 1 add entries 6 and 7; at 8 entries codes become 4 bits wide.
    const Bytes data = pack({{4, 3}, {0, 3}, {1, 3}, {2, 3}, {3, 4}, {6, 4}, {5, 4}});
    EXPECT_EQ(decode(data, 2, 7, LzwStop::EndCode), (Bytes{0, 1, 2, 3, 0, 1, 0xEE}));
}

TEST(Lzw, ClearCodeResetsTheCodeSize)
{
    // After the clear, codes are 3 bits again until the table holds 8 entries.
    const Bytes data = pack({{4, 3}, {0, 3}, {1, 3}, {2, 3}, {4, 4}, {3, 3}, {3, 3}, {6, 3}, {5, 4}});
    EXPECT_EQ(decode(data, 2, 8, LzwStop::EndCode), (Bytes{0, 1, 2, 3, 3, 3, 3, 0xEE}));
}

TEST(Lzw, DataWithoutALeadingClearCodeStartsFromTheEmptyTable)
{
    const Bytes data = pack({{2, 3}, {2, 3}, {6, 3}, {5, 4}});
    EXPECT_EQ(decode(data, 2, 5, LzwStop::EndCode), (Bytes{2, 2, 2, 2, 0xEE}));
}

TEST(Lzw, RunningOutOfBitsKeepsWhatWasDecoded)
{
    // Minimum code size 3: four 4-bit codes fill two bytes exactly.
    const Bytes data = pack({{8, 4}, {1, 4}, {2, 4}, {3, 4}});
    EXPECT_EQ(decode(data, 3, 5, LzwStop::OutOfBits, 7), (Bytes{1, 2, 3, 7, 7}));
    EXPECT_EQ(decode({}, 2, 2, LzwStop::OutOfBits, 7), (Bytes{7, 7}));
}

TEST(Lzw, AFullFrameStopsDecodingAndKeepsTheHeadOfTheLastString)
{
    // Entry 6 is "0 1"; only its first pixel fits in the third place.
    const Bytes data = pack({{4, 3}, {0, 3}, {1, 3}, {6, 3}, {7, 3}});
    EXPECT_EQ(decode(data, 2, 3, LzwStop::Filled), (Bytes{0, 1, 0}));
}

TEST(Lzw, UnresolvableCodesFailAsCircularEntries)
{
    const Bytes beyondTable = pack({{4, 3}, {1, 3}, {7, 3}});     // next free is 6
    const Bytes firstAfterClear = pack({{4, 3}, {6, 3}, {6, 3}}); // 6 names itself
    for (const Bytes& data : {beyondTable, firstAfterClear}) {
        Bytes out(8);
        try {
            decodeLzw(data, 2, out);
            ADD_FAILURE() << "decoded an unresolvable code";
        } catch (const ImageError& e) {
            EXPECT_STREQ(e.what(), "Circular decoder table entry");
        }
    }
}

TEST(Lzw, OddMinimumCodeSizesDecodeWithinBounds)
{
    // Size 0: clear 1, end 2; single-bit codes at first.
    EXPECT_EQ(decode(pack({{0, 1}, {0, 1}}), 0, 2, LzwStop::Filled), (Bytes{0, 0}));
    // Size 11: 12-bit codes from the start and a table that cannot grow further.
    EXPECT_EQ(decode(pack({{2048, 12}, {300, 12}, {2049, 12}}), 11, 2, LzwStop::EndCode),
              (Bytes{std::uint8_t(300), 0xEE}));
}

} // namespace
} // namespace tintora::gif
