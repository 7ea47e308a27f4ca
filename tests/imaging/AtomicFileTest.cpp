// Files written whole or not at all, in one gathered write.
#include "imaging/AtomicFile.h"
#include "support/Files.h"

#include <climits>
#include <filesystem>
#include <gtest/gtest.h>

namespace tintora {
namespace {

namespace fs = std::filesystem;

TEST(AtomicFile, ManyPiecesArriveWholeAndInOrder)
{
    // More referenced pieces than one gathered write takes, between copied ones.
    std::vector<std::uint8_t> big(5000);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = std::uint8_t(i * 13);
    GatheredBytes bytes;
    for (int i = 0; i < IOV_MAX + 300; ++i) {
        const std::uint8_t small[3] = {std::uint8_t(i), std::uint8_t(i >> 8), 0x5A};
        bytes.put(small, sizeof small);
        bytes.put(big.data() + i % 7, big.size() - 7);
    }
    const test::TempFolder folder;
    const fs::path path = folder / "many.bin";
    writeFileAtomically(path.string(), bytes);
    EXPECT_EQ(test::readBytes(path), bytes.joined());
    EXPECT_EQ(bytes.joined().size(), bytes.size());
}

TEST(AtomicFile, KeepingLeavesWhateverIsThereAndNoTemporary)
{
    const test::TempFolder folder;
    GatheredBytes bytes;
    bytes.put("new", 3);
    test::writeBytes(folder / "file", {'o', 'l', 'd'});
    fs::create_symlink(folder / "nowhere", folder / "dangling");
    fs::create_directory(folder / "folder");
    for (const char* name : {"file", "dangling", "folder"})
        EXPECT_THROW(writeFileAtomically((folder / name).string(), bytes, ExistingFile::Keep), TargetExists)
            << name;
    EXPECT_EQ(test::readBytes(folder / "file"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_TRUE(fs::is_symlink(folder / "dangling"));
    EXPECT_FALSE(fs::exists(folder / "nowhere"));
    writeFileAtomically((folder / "fresh").string(), bytes, ExistingFile::Keep);
    EXPECT_EQ(test::readBytes(folder / "fresh"), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"dangling", "file", "folder", "fresh"}));
}

} // namespace
} // namespace tintora
