#include "IconTestHelpers.h"

#include "imaging/ExtraIcon.h"
#include "imaging/PeReader.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tintora::test {
namespace {

struct StubCase {
    const char* file;
    bool is64;
};

std::ostream& operator<<(std::ostream& os, const StubCase& c) { return os << c.file; }

std::string stubPath(const StubCase& c) { return dataFile(std::string("pe/") + c.file); }

class PeStub : public ::testing::TestWithParam<StubCase> {};

TEST_P(PeStub, ListsItsIconResources)
{
    const Bytes image = readBytes(stubPath(GetParam()));
    ASSERT_FALSE(image.empty());
    const PeReader pe(image);
    EXPECT_EQ(pe.is64Bit(), GetParam().is64);
    EXPECT_EQ(pe.resourceNames(kResourceTypeGroupIcon), (std::vector<ResourceName>{{103, {}}}));
    EXPECT_EQ(pe.resourceNames(kResourceTypeIcon), (std::vector<ResourceName>{{1, {}}}));
    const auto group = pe.firstResource(kResourceTypeGroupIcon);
    ASSERT_TRUE(group);
    EXPECT_EQ(group->size(), 20u); // 6-byte header and one 14-byte entry
    EXPECT_EQ(pe.findResource(kResourceTypeGroupIcon, {103, {}})->data(), group->data());
    EXPECT_EQ(pe.findResource(kResourceTypeIcon, {1, {}})->size(), 744u);
    EXPECT_FALSE(pe.findResource(kResourceTypeIcon, {2, {}}));
    EXPECT_FALSE(pe.findResource(kResourceTypeIcon, {std::nullopt, u"1"}));
    EXPECT_TRUE(pe.resourceNames(24).empty());
}

TEST_P(PeStub, ExtractsTheGroupIconByDepth)
{
    const std::string path = stubPath(GetParam());
    // Its one icon is 32 x 32 with 4 bits: -1 asks for more colours and gets nothing.
    EXPECT_FALSE(ExtractIconFromModule(path, 32, -1));
    EXPECT_FALSE(ExtractIconFromModule(path, 16, 4));
    EXPECT_FALSE(ExtractIconFromModule(path, 32, 8));
    const Bitmap reference = loadReference(std::string(GetParam().file) + ".group.png");
    for (int depth : {4, -2}) {
        const auto icon = ExtractIconFromModule(path, 32, depth);
        ASSERT_TRUE(icon) << depth;
        EXPECT_TRUE(sameIcon(icon->color, reference)) << depth;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, PeStub,
                         ::testing::Values(StubCase{"zlib-x86-ansi", false},
                                           StubCase{"zlib-x86-unicode", false},
                                           StubCase{"zlib-amd64-unicode", true}));

TEST(PeFiles, NonProgramFilesGiveNothing)
{
    EXPECT_THROW(PeReader(readBytes(dataFile("ico/uninst"))), ImageError);
    EXPECT_THROW(PeReader(Bytes{}), ImageError);
    EXPECT_FALSE(ExtractIconFromModule(dataFile("ico/uninst"), 32, -2));
    EXPECT_FALSE(ExtractIconFromModule(dataFile("bmp/rgb24.bmp"), 32, -2));
    TempFolder folder;
    EXPECT_FALSE(ExtractIconFromModule(folder.file(QStringLiteral("missing.exe")).toStdString(), 32, -2));
    EXPECT_FALSE(ExtractIconFromModule(folder.path().toStdString(), 32, -2));
}

// ---- damaged program files --------------------------------------------------

// Where the pieces of the 32-bit stub lie, found by walking its headers here.
struct StubLayout {
    std::size_t peHeader = 0, sectionTable = 0, sectionCount = 0;
    std::size_t group = 0;          // the icon group's bytes
    std::size_t groupDataEntry = 0; // its IMAGE_RESOURCE_DATA_ENTRY
    std::size_t iconDataEntry = 0;
    std::size_t resourceRoot = 0;
};

std::size_t rvaOf(const Bytes& b, const StubLayout& l, std::size_t offset)
{
    for (std::size_t i = 0; i < l.sectionCount; ++i) {
        const std::size_t s = l.sectionTable + 40 * i;
        const std::uint32_t va = get32(b, s + 12), rawSize = get32(b, s + 16), raw = get32(b, s + 20);
        if (offset >= raw && offset < raw + rawSize)
            return va + (offset - raw);
    }
    return 0;
}

std::size_t find(const Bytes& b, const Bytes& pattern)
{
    const auto it = std::search(b.begin(), b.end(), pattern.begin(), pattern.end());
    return it == b.end() ? 0 : std::size_t(it - b.begin());
}

StubLayout locate(const Bytes& b)
{
    StubLayout l;
    l.peHeader = get32(b, 0x3C);
    l.sectionCount = get16(b, l.peHeader + 6);
    l.sectionTable = l.peHeader + 24 + get16(b, l.peHeader + 20);
    l.group = find(b, {0, 0, 1, 0, 1, 0, 32, 32, 16, 0});
    Bytes entry;
    put32(entry, std::uint32_t(rvaOf(b, l, l.group)));
    put32(entry, 20);
    l.groupDataEntry = find(b, entry);
    const std::uint32_t dataDirectory = l.peHeader + 24 + 96 + 2 * 8; // PE32 resource directory
    const std::uint32_t rootRva = get32(b, dataDirectory);
    for (std::size_t i = 0; i < l.sectionCount; ++i) {
        const std::size_t s = l.sectionTable + 40 * i;
        if (get32(b, s + 12) == rootRva)
            l.resourceRoot = get32(b, s + 20);
    }
    // The icon's data entry: its size is 744.
    for (std::size_t at = l.resourceRoot; at + 16 <= b.size(); at += 4)
        if (get32(b, at + 4) == 744 && get32(b, at + 8) == 0 && at != l.groupDataEntry) {
            l.iconDataEntry = at;
            break;
        }
    return l;
}

struct Mutation {
    const char* name;
    std::function<void(Bytes&, const StubLayout&)> apply;
    bool iconStays; // the first icon is still found with depth 4
};

std::ostream& operator<<(std::ostream& os, const Mutation& m) { return os << m.name; }

class PeDamaged : public ::testing::TestWithParam<Mutation> {};

TEST_P(PeDamaged, NeverCrashesAndFindsOnlyWhatIsThere)
{
    Bytes image = readBytes(dataFile("pe/zlib-x86-ansi"));
    const StubLayout layout = locate(image);
    ASSERT_GT(layout.group, 0u);
    ASSERT_GT(layout.groupDataEntry, 0u);
    ASSERT_GT(layout.iconDataEntry, 0u);
    ASSERT_GT(layout.resourceRoot, 0u);
    ASSERT_TRUE(ExtractIconFromModuleBytes(image, 32, 4)); // the layout holds before damage
    GetParam().apply(image, layout);
    EXPECT_EQ(ExtractIconFromModuleBytes(image, 32, 4).has_value(), GetParam().iconStays);
    EXPECT_FALSE(ExtractIconFromModuleBytes(image, 32, -1));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PeDamaged,
    ::testing::Values(
        Mutation{"NewHeaderBeyondFile", [](Bytes& b, const StubLayout&) { set32(b, 0x3C, 0xFFFFFFF0); },
                 false},
        Mutation{"NewHeaderAtEnd",
                 [](Bytes& b, const StubLayout&) { set32(b, 0x3C, std::uint32_t(b.size() - 2)); }, false},
        Mutation{"NoPeSignature", [](Bytes& b, const StubLayout& l) { b[l.peHeader + 1] = 'X'; }, false},
        Mutation{"UnknownOptionalHeader",
                 [](Bytes& b, const StubLayout& l) { set16(b, l.peHeader + 24, 0x107); }, false},
        Mutation{"SectionCountHuge", [](Bytes& b, const StubLayout& l) { set16(b, l.peHeader + 6, 0xFFFF); },
                 false},
        Mutation{"OptionalHeaderSizeHuge",
                 [](Bytes& b, const StubLayout& l) { set16(b, l.peHeader + 20, 0xFFFF); }, false},
        Mutation{"NoResourceDirectory",
                 [](Bytes& b, const StubLayout& l) { set32(b, l.peHeader + 24 + 92, 2); }, false},
        Mutation{"RawOffsetsBeyondFile",
                 [](Bytes& b, const StubLayout& l) {
                     for (std::size_t i = 0; i < l.sectionCount; ++i)
                         set32(b, l.sectionTable + 40 * i + 20, 0xFFFFFF00);
                 },
                 false},
        Mutation{"ResourceRawSizeHuge",
                 [](Bytes& b, const StubLayout& l) {
                     for (std::size_t i = 0; i < l.sectionCount; ++i)
                         if (get32(b, l.sectionTable + 40 * i + 20) == l.resourceRoot)
                             set32(b, l.sectionTable + 40 * i + 16, 0xFFFFFFFF);
                 },
                 true}, // the data still lies inside the file
        Mutation{"RootCountsHuge",
                 [](Bytes& b, const StubLayout& l) {
                     set16(b, l.resourceRoot + 12, 0xFFFF);
                     set16(b, l.resourceRoot + 14, 0xFFFF);
                 },
                 false},
        Mutation{"RootEntriesPointAtRoot",
                 [](Bytes& b, const StubLayout& l) {
                     const std::size_t count = get16(b, l.resourceRoot + 14);
                     for (std::size_t i = 0; i < count; ++i)
                         set32(b, l.resourceRoot + 16 + 8 * i + 4, 0x80000000u);
                 },
                 false},
        Mutation{"GroupSizeHuge",
                 [](Bytes& b, const StubLayout& l) { set32(b, l.groupDataEntry + 4, 0xFFFFFFFF); }, false},
        Mutation{"GroupAddressZero", [](Bytes& b, const StubLayout& l) { set32(b, l.groupDataEntry, 0); },
                 false},
        Mutation{"GroupNotIconDirectory", [](Bytes& b, const StubLayout& l) { b[l.group + 2] = 2; }, false},
        // The first entry matches before the count runs past the group's bytes.
        Mutation{"GroupCountHuge", [](Bytes& b, const StubLayout& l) { set16(b, l.group + 4, 0xFFFF); },
                 true},
        Mutation{"GroupPointsAtMissingIcon",
                 [](Bytes& b, const StubLayout& l) { set16(b, l.group + 18, 999); }, false},
        Mutation{"IconCut", [](Bytes& b, const StubLayout& l) { set32(b, l.iconDataEntry + 4, 100); }, false},
        Mutation{"IconSizeHuge",
                 [](Bytes& b, const StubLayout& l) { set32(b, l.iconDataEntry + 4, 0xFFFFFFF0); }, false}),
    test::CaseName());

// Seeded byte changes and truncations over the whole file: whatever comes out,
// nothing crashes or reads outside the bytes (run under the sanitizers to see it).
TEST(PeFiles, RandomDamageNeverCrashes)
{
    const Bytes original = readBytes(dataFile("pe/zlib-amd64-unicode"));
    ASSERT_FALSE(original.empty());
    const StubLayout l = locate(original);
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    int found = 0;
    for (int round = 0; round < 1500; ++round) {
        Bytes image = original;
        for (int k = 0; k < 4; ++k) {
            // Half the changes land in the headers, half in the resources.
            const std::size_t at =
                (next() & 1) ? next() % 0x400 : l.resourceRoot + next() % (image.size() - l.resourceRoot);
            image[at] = std::uint8_t(next());
        }
        found += ExtractIconFromModuleBytes(image, 32, -2).has_value();
    }
    for (std::size_t n = 0; n < original.size(); n += 997)
        EXPECT_FALSE(ExtractIconFromModuleBytes(std::span(original).first(n), 32, -2)) << n;
    EXPECT_GT(found, 0);
}

} // namespace
} // namespace tintora::test
