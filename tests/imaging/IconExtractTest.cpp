#include "IconTestHelpers.h"

#include "imaging/ExtraIcon.h"
#include "imaging/IcoFile.h"
#include "imaging/IconDecoder.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

namespace tintora::test {
namespace {

const std::string kIcons = "ico/";

// Offset of the index-th entry's image, read straight from the directory.
std::uint32_t storedOffset(const Bytes& ico, int index)
{
    return get32(ico, 6 + 16 * std::size_t(index) + 12);
}

std::span<const std::uint8_t> storedImage(const Bytes& ico, int index)
{
    const std::uint32_t length = get32(ico, 6 + 16 * std::size_t(index) + 8);
    return std::span<const std::uint8_t>(ico).subspan(storedOffset(ico, index), length);
}

std::string baseName(const std::string& file)
{
    std::string name = file.substr(file.rfind('/') + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".ico") == 0)
        name.resize(name.size() - 4);
    return name;
}

struct SelectionCase {
    std::string file;
    int size;
    int depth;
    int expected;   // entry index in file order, -1 for none
    bool reference; // a rendering by another decoder exists for that entry
};

std::ostream& operator<<(std::ostream& os, const SelectionCase& c)
{
    return os << baseName(c.file) << " size " << c.size << " depth " << c.depth;
}

class IcoSelection : public ::testing::TestWithParam<SelectionCase> {};

// The entry picked, and its pixels compared with another decoder's rendering.
TEST_P(IcoSelection, PicksFirstMatchingEntryAndDecodesIt)
{
    const SelectionCase& c = GetParam();
    const Bytes ico = readBytes(dataFile(c.file));
    ASSERT_FALSE(ico.empty());
    const auto entry = findIconEntry(ico, IconDirKind::File, c.size, c.depth);
    const auto fromFile = ExtractIconFromFile(dataFile(c.file), c.size, c.depth);
    const auto fromBytes = ExtractIconFromBytes(ico, c.size, c.depth);
    if (c.expected < 0) {
        EXPECT_FALSE(entry);
        EXPECT_FALSE(fromFile);
        EXPECT_FALSE(fromBytes);
        return;
    }
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->imageOffset, storedOffset(ico, c.expected));
    ASSERT_TRUE(fromFile);
    ASSERT_TRUE(fromBytes);
    EXPECT_EQ(fromFile->width(), c.size);
    EXPECT_EQ(fromFile->height(), c.size);
    EXPECT_EQ(fromFile->color.pixelFormat(), PixelFormat::Bits32);
    EXPECT_TRUE(sameIcon(fromBytes->color, fromFile->color));
    if (c.reference) {
        EXPECT_TRUE(sameIcon(fromFile->color,
                             loadReference(baseName(c.file) + ".e" + std::to_string(c.expected) + ".png")));
    }
}

const std::string kModern = kIcons + "modern-install-full.ico";
const std::string kOrange = kIcons + "orange-install.ico";
const std::string kMenu = kIcons + "nsis-menu.ico";
const std::string kV3 = kIcons + "nsis3-install.ico";
const std::string kClassic = kIcons + "classic-install.ico";

INSTANTIATE_TEST_SUITE_P(
    Files, IcoSelection,
    ::testing::Values(
        // 4-bit entries leave the bit count 0 and are 296 or 744 bytes long: -1 skips them.
        SelectionCase{kModern, 16, -1, 1, true}, SelectionCase{kModern, 32, -1, 3, true},
        SelectionCase{kModern, 48, -1, 4, true}, SelectionCase{kModern, 16, 32, 5, true},
        SelectionCase{kModern, 32, 32, 6, true}, SelectionCase{kModern, 48, 32, 7, true},
        SelectionCase{kModern, 16, 0, 0, true}, SelectionCase{kModern, 32, -2, 2, true},
        SelectionCase{kModern, 48, 4, -1, false}, SelectionCase{kModern, 24, -1, -1, false},
        SelectionCase{kModern, 64, -1, -1, false}, SelectionCase{kModern, 80, -1, -1, false},
        // A 48-pixel 4-bit image is longer than 744 bytes, so -1 takes it before the 8-bit one.
        SelectionCase{kOrange, 48, -1, 4, true}, SelectionCase{kOrange, 48, 8, 5, true},
        SelectionCase{kOrange, 48, 32, 8, true}, SelectionCase{kMenu, 16, -1, 3, false},
        SelectionCase{kMenu, 16, -2, 0, false}, SelectionCase{kMenu, 24, -1, 2, true},
        SelectionCase{kMenu, 64, -1, 5, true},
        // The 256-pixel entry has width byte 0 and never matches.
        SelectionCase{kMenu, 256, -1, -1, false}, SelectionCase{kMenu, 0, -1, -1, false},
        SelectionCase{kV3, 32, -1, 4, false}, SelectionCase{kV3, 32, -2, 0, false},
        SelectionCase{kV3, 48, -1, 3, false}, SelectionCase{kV3, 16, 8, 5, false},
        // Exactly 744 bytes is not "longer than 744".
        SelectionCase{kClassic, 32, -1, -1, false}, SelectionCase{kClassic, 32, -2, 1, true},
        SelectionCase{kClassic, 16, -5, 0, true},
        SelectionCase{kIcons + "pixel-install.ico", 24, -1, 1, true},
        SelectionCase{"ico/uninst", 32, -1, -1, false}, SelectionCase{"ico/uninst", 32, 0, 0, true},
        SelectionCase{"ico/hopper.ico", 16, -1, 0, true},
        SelectionCase{"ico/hopper_mask.ico", 16, -1, -1, false},
        SelectionCase{"ico/hopper_mask.ico", 16, 1, 0, true},
        SelectionCase{"ico/black_and_white.ico", 16, 1, 0, true},
        SelectionCase{"ico/hopper_draw.ico", 16, -1, 0, true}, // a PNG-coded image
        SelectionCase{"ico/python.ico", 16, -1, 0, true}, SelectionCase{"ico/python.ico", 48, -1, 2, true},
        SelectionCase{"ico/pillow.ico", 48, -1, 1, true}));

struct StoredEntry {
    std::string file;
    int index;
};

class IcoEntryDecoding : public ::testing::TestWithParam<StoredEntry> {};

// Every referenced entry decoded at its own size, whether or not a selector reaches it.
TEST_P(IcoEntryDecoding, MatchesOtherDecoder)
{
    const Bytes ico = readBytes(dataFile(GetParam().file));
    ASSERT_FALSE(ico.empty());
    const Bitmap decoded = decodeIconImage(storedImage(ico, GetParam().index));
    EXPECT_TRUE(sameIcon(decoded, loadReference(baseName(GetParam().file) + ".e" +
                                                std::to_string(GetParam().index) + ".png")));
}

INSTANTIATE_TEST_SUITE_P(Files, IcoEntryDecoding,
                         ::testing::Values(StoredEntry{kModern, 0}, StoredEntry{kModern, 2},
                                           StoredEntry{kOrange, 4}, StoredEntry{kClassic, 0},
                                           StoredEntry{kMenu, 5},
                                           StoredEntry{kV3, 2}, // 256-pixel PNG, palette
                                           StoredEntry{"ico/python.ico", 0},
                                           StoredEntry{"ico/hopper_draw.ico", 0}));

// ---- hand-built files -------------------------------------------------------

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

// Blue, green, red of the icon's top-left pixel as 0xRRGGBB.
std::uint32_t topLeft(const IconImage& icon)
{
    const std::uint8_t* p = icon.color.scanLine(0);
    return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

TEST(IcoHandBuilt, FourBitThenEightBitGivesTheEightBitOne)
{
    const Bytes ico = buildIco({{16, 4, solidImage(16, 4, kRed)}, {16, 8, solidImage(16, 8, kGreen)}});
    const auto icon = ExtractIconFromBytes(ico, 16, -1);
    ASSERT_TRUE(icon);
    EXPECT_EQ(topLeft(*icon), kGreen);
    EXPECT_EQ(topLeft(*ExtractIconFromBytes(ico, 16, -2)), kRed);
    EXPECT_EQ(topLeft(*ExtractIconFromBytes(ico, 16, 4)), kRed);
}

TEST(IcoHandBuilt, EmptyBitCountsAreJudgedByDataLength)
{
    // 296, 1384 and 1064 bytes: the first one longer than 744 wins.
    const Bytes ico = buildIco({{16, 0, solidImage(16, 4, kRed)},
                                {16, 0, solidImage(16, 8, kGreen)},
                                {16, 0, solidImage(16, 24, kBlue)}});
    const auto icon = ExtractIconFromBytes(ico, 16, -1);
    ASSERT_TRUE(icon);
    EXPECT_EQ(topLeft(*icon), kGreen);
}

TEST(IcoHandBuilt, OnlyTheRequestedWidthMatchesAndNothingIsResizedToIt)
{
    const Bytes ico = buildIco({{32, 8, solidImage(32, 8, kRed)}, {80, 8, solidImage(80, 8, kBlue)}});
    EXPECT_FALSE(ExtractIconFromBytes(ico, 16, -1));
    EXPECT_FALSE(ExtractIconFromBytes(ico, 64, -1));
    const auto big = ExtractIconFromBytes(ico, 80, -1);
    ASSERT_TRUE(big);
    EXPECT_EQ(big->width(), 80);
    EXPECT_EQ(topLeft(*big), kBlue);
}

TEST(IcoHandBuilt, ImageOfAnotherSizeIsMadeTheRequestedSize)
{
    // The width byte says 16, the image inside is 8 x 8: the icon is still 16 x 16.
    const Bytes ico = buildIco({{16, 24, solidImage(8, 24, kRed)}});
    const auto icon = ExtractIconFromBytes(ico, 16, 24);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->width(), 16);
    EXPECT_EQ(icon->height(), 16);
    EXPECT_EQ(topLeft(*icon), kRed);
}

// Damaged directories and images: always no icon, never a crash or a huge allocation.
struct DamagedCase {
    const char* name;
    std::function<Bytes()> make;
};

class IcoDamaged : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(IcoDamaged, GivesNoIcon)
{
    const Bytes ico = GetParam().make();
    EXPECT_FALSE(ExtractIconFromBytes(ico, 16, -1));
    TempFolder folder;
    const QString path =
        folder.write(QStringLiteral("damaged.ico"),
                     QByteArray(reinterpret_cast<const char*>(ico.data()), qsizetype(ico.size())));
    EXPECT_FALSE(ExtractIconFromFile(path.toStdString(), 16, -1));
}

Bytes withByte(Bytes b, std::size_t at, std::uint8_t v)
{
    b[at] = v;
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IcoDamaged,
    ::testing::Values(DamagedCase{"Empty", [] { return Bytes{}; }},
                      DamagedCase{"HeaderCut",
                                  [] {
                                      return Bytes{0, 0, 1};
                                  }},
                      DamagedCase{"ReservedSet",
                                  [] {
                                      return withByte(buildIco({{16, 8, solidImage(16, 8, kRed)}}), 0, 1);
                                  }},
                      DamagedCase{"CursorType",
                                  [] {
                                      return withByte(buildIco({{16, 8, solidImage(16, 8, kRed)}}), 2, 2);
                                  }},
                      DamagedCase{"CountBeyondFile",
                                  [] {
                                      return buildIco({{32, 8, solidImage(32, 8, kRed)}}, 0xFFFE);
                                  }},
                      DamagedCase{"EntryCut",
                                  [] {
                                      Bytes b = buildIco({{16, 8, solidImage(16, 8, kRed)}});
                                      b.resize(6 + 10);
                                      return b;
                                  }},
                      DamagedCase{"OffsetBeyondFile",
                                  [] {
                                      return buildIco({{16, 8, solidImage(16, 8, kRed), {}, 0xFFFFFFF0u}});
                                  }},
                      DamagedCase{"LengthBeyondFile",
                                  [] {
                                      return buildIco({{16, 8, solidImage(16, 8, kRed), 0xFFFFFFFFu, {}}});
                                  }},
                      DamagedCase{"ZeroLength",
                                  [] {
                                      return buildIco({{16, 8, solidImage(16, 8, kRed), 0u, {}}});
                                  }},
                      DamagedCase{"ImageCut",
                                  [] {
                                      Bytes image = solidImage(16, 8, kRed);
                                      image.resize(image.size() - 1);
                                      return buildIco({{16, 8, image}});
                                  }},
                      DamagedCase{"LengthCutsMask",
                                  [] {
                                      Bytes image = solidImage(16, 8, kRed);
                                      const auto length = std::uint32_t(image.size() - 4);
                                      return buildIco({{16, 8, image, length, {}}});
                                  }},
                      DamagedCase{"NotAnImage",
                                  [] {
                                      return buildIco({{16, 8, Bytes(2000, 0x5A)}});
                                  }}),
    test::CaseName());

TEST(IcoFiles, NonIconsAndMissingFilesGiveNoIcon)
{
    // A BMP file named .ico, a missing file, a folder.
    TempFolder folder;
    const QString bmp = folder.write(QStringLiteral("picture.ico"),
                                     readFile(QString::fromStdString(dataFile("bmp/rgb24.bmp"))));
    EXPECT_FALSE(ExtractIconFromFile(bmp.toStdString(), 16, -1));
    EXPECT_FALSE(ExtractIconFromFile(folder.file(QStringLiteral("missing.ico")).toStdString(), 16, -1));
    EXPECT_FALSE(ExtractIconFromFile(folder.path().toStdString(), 16, -1));
    EXPECT_FALSE(ExtractIconFromFile("", 16, -1));
}

TEST(IcoFiles, HostileFilesGiveNoIcon)
{
    // 65535 x 32767 pixels declared in 176 bytes.
    const std::string bomb = dataFile("ico/decompression_bomb.ico");
    for (int depth : {-2, -1, 0, 1})
        EXPECT_FALSE(ExtractIconFromFile(bomb, 16, depth));
    EXPECT_THROW(decodeIconImage(storedImage(readBytes(bomb), 0)), ImageError);
}

TEST(IcoFiles, EntryTallerThanWideUsesItsImage)
{
    // The entry says 16 x 32; the height is not looked at and the image is 16 x 16.
    const auto icon = ExtractIconFromFile(dataFile("ico/hopper_unexpected.ico"), 16, -1);
    ASSERT_TRUE(icon);
    EXPECT_TRUE(sameIcon(icon->color, loadReference("hopper.e0.png")));
}

TEST(IcoFiles, UnicodeFileName)
{
    TempFolder folder;
    const QString path = folder.write(QStringLiteral("ic\u00F4ne \u65E5\u672C.ico"),
                                      readFile(QString::fromStdString(dataFile(kModern))));
    const auto icon = ExtractIconFromFile(path.toUtf8().toStdString(), 16, -1);
    ASSERT_TRUE(icon);
    EXPECT_TRUE(sameIcon(icon->color, loadReference("modern-install-full.e1.png")));
}

// ---- the depth selector -----------------------------------------------------

struct DepthCase {
    IconDirKind kind;
    std::uint16_t bitCount;
    std::uint32_t bytes;
    int depth;
    bool accepted;
};

class DepthSelector : public ::testing::TestWithParam<DepthCase> {};

TEST_P(DepthSelector, Accepts)
{
    const DepthCase& c = GetParam();
    IconDirEntry e;
    e.bitCount = c.bitCount;
    e.bytesInRes = c.bytes;
    EXPECT_EQ(depthAccepts(c.kind, e, c.depth), c.accepted)
        << (c.kind == IconDirKind::File ? "file" : "group") << " bits " << c.bitCount << " bytes " << c.bytes
        << " depth " << c.depth;
}

constexpr auto F = IconDirKind::File;
constexpr auto G = IconDirKind::Group;

INSTANTIATE_TEST_SUITE_P(Table, DepthSelector,
                         ::testing::Values(DepthCase{F, 8, 100, 8, true}, DepthCase{F, 8, 100, 4, false},
                                           DepthCase{F, 0, 9999, 0, true}, DepthCase{F, 32, 100, 0, false},
                                           DepthCase{G, 4, 744, 4, true}, DepthCase{F, 5, 10, -1, true},
                                           DepthCase{F, 4, 744, -1, false}, DepthCase{F, 4, 745, -1, true},
                                           DepthCase{F, 0, 744, -1, false}, DepthCase{F, 0, 745, -1, true},
                                           DepthCase{F, 1, 816, -1, true}, DepthCase{G, 0, 10, -1, true},
                                           DepthCase{G, 4, 5000, -1, false}, DepthCase{G, 8, 10, -1, true},
                                           DepthCase{G, 1, 5000, -1, false}, DepthCase{F, 4, 10, -2, true},
                                           DepthCase{F, 0, 5000, -2, true}, DepthCase{F, 8, 10, -2, false},
                                           DepthCase{G, 4, 10, -100, true}, DepthCase{G, 1, 10, -100, false},
                                           DepthCase{G, 32, 10, -2, false}));

} // namespace
} // namespace tintora::test
