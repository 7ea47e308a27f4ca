// Whole-file reads, and BMP rows kept in the store they were read into.
#include "imaging/FileBytes.h"
#include "imaging/BmpReader.h"
#include "imaging/ImageError.h"
#include "support/Files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tintora {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> pattern(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = std::uint8_t(i * 7 + i / 251);
    return bytes;
}

TEST(FileBytes, ReadsFilesOfEverySizeAsTheyAre)
{
    const test::TempFolder folder;
    // The last size is read in two halves by two threads.
    for (const std::size_t size :
         {std::size_t(0), std::size_t(1), std::size_t(65537), (std::size_t(16) << 20) + 3}) {
        const fs::path path = folder / ("f" + std::to_string(size));
        test::writeBytes(path, pattern(size));
        const FileBytes bytes = readWholeFile(path.string());
        ASSERT_EQ(bytes.size(), size);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), pattern(size).begin())) << size;
    }
}

TEST(FileBytes, WhatIsNotARegularFileFailsToOpen)
{
    const test::TempFolder folder;
    const fs::path fifo = folder / "pipe.bmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A FIFO with no writer must not hang the read.
    for (const fs::path& path : {fifo, folder.dir(), folder / "missing.bmp"}) {
        try {
            readWholeFile(path.string());
            ADD_FAILURE() << path << " was read";
        } catch (const ImageError& e) {
            EXPECT_EQ(std::string(e.what()), formatText(texts::cannotOpen, path.c_str()));
        }
    }
}

// Rows read straight into the bitmap's store give exactly what the copying
// decoder gives, facts included, for every checked-in BMP file and for plain
// files with a gap, trailing data or a short pixel array.
TEST(FileBytes, KeptRowsDecodeAsCopiedRows)
{
    std::vector<fs::path> files = test::filesWithExtension(test::dataFile("bmp"), ".bmp");
    const test::TempFolder folder;
    const std::vector<std::uint8_t> plain = test::readBytes(test::dataFile("bmp/rgb24.bmp"));
    ASSERT_FALSE(plain.empty());
    for (const std::size_t extra : {std::size_t(1), std::size_t(1) << 20}) {
        std::vector<std::uint8_t> longer = plain;
        longer.resize(plain.size() + extra, 0xAB);
        files.push_back(folder / ("trailing" + std::to_string(extra) + ".bmp"));
        test::writeBytes(files.back(), longer);
    }
    files.push_back(folder / "short.bmp");
    test::writeBytes(files.back(), {plain.begin(), plain.end() - 5});
    const auto withField = [&](const char* name, std::size_t offset, std::int32_t value) {
        std::vector<std::uint8_t> changed = plain;
        for (int i = 0; i < 4; ++i)
            changed[offset + std::size_t(i)] = std::uint8_t(std::uint32_t(value) >> (8 * i));
        files.push_back(folder / name);
        test::writeBytes(files.back(), changed);
    };
    const std::int32_t height = std::int32_t(plain[22] | plain[23] << 8 | plain[24] << 16 | plain[25] << 24);
    withField("topdown.bmp", 22, -height); // rows stored from the top
    withField("halfimage.bmp", 34, 1000);  // a pixel array said to be shorter
    withField("offset.bmp", 10, 54 + 4);   // rows start later than the header ends
    for (const fs::path& file : files) {
        const std::vector<std::uint8_t> bytes = test::readBytes(file);
        BmpImage copied, kept;
        try {
            copied = readBmpImage(bytes);
        } catch (const ImageError& e) {
            EXPECT_THROW(readBmpFileBytes(readWholeFile(file.string())), ImageError) << file;
            continue;
        }
        kept = readBmpFileBytes(readWholeFile(file.string()));
        const Bitmap &a = copied.bitmap, &b = kept.bitmap;
        ASSERT_EQ(a.byteSize(), b.byteSize()) << file;
        EXPECT_TRUE(a.pixelFormat() == b.pixelFormat() && a.width() == b.width() &&
                    a.height() == b.height() && std::equal(a.bits(), a.bits() + a.byteSize(), b.bits()) &&
                    a.colorTable() == b.colorTable() && a.palette() == b.palette() && a.masks() == b.masks())
            << file;
        EXPECT_EQ(copied.facts.pixelDataOffset, kept.facts.pixelDataOffset) << file;
        EXPECT_EQ(copied.facts.rleData, kept.facts.rleData) << file;
    }
}

} // namespace
} // namespace tintora
