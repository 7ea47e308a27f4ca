#pragma once
// Shared by the icon and program-file tests: reference renderings, pixel
// comparison and hand-built icon images.
#include "imaging/Bitmap.h"
#include "imaging/ImageError.h"
#include "support/Bytes.h"
#include "support/Files.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tintora::test {

// Loads a reference rendering through libpng's simplified reader, a different
// path from the icon decoder's, as blue, green, red, alpha rows.
inline Bitmap loadReference(const std::string& name)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    const std::string path = dataFile("ico/reference/" + name);
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << "cannot read " << path;
        return {};
    }
    image.format = PNG_FORMAT_BGRA;
    Bitmap out(int(image.width), int(image.height), PixelFormat::Bits32);
    Bytes pixels(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    for (int y = 0; y < out.height(); ++y)
        std::copy_n(pixels.data() + std::size_t(y) * 4 * out.width(), 4 * out.width(), out.scanLine(y));
    return out;
}

// Same size, same alpha everywhere, same colour wherever anything shows.
inline ::testing::AssertionResult sameIcon(const Bitmap& actual, const Bitmap& expected)
{
    if (actual.width() != expected.width() || actual.height() != expected.height())
        return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height()
                                             << ", expected " << expected.width() << "x" << expected.height();
    int wrong = 0;
    std::string first;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x) {
            const std::uint8_t* a = actual.scanLine(y) + 4 * x;
            const std::uint8_t* e = expected.scanLine(y) + 4 * x;
            const bool same = a[3] == e[3] && (e[3] == 0 || std::equal(a, a + 3, e));
            if (!same && wrong++ == 0)
                first = "(" + std::to_string(x) + "," + std::to_string(y) + ") BGRA " + std::to_string(a[0]) +
                        " " + std::to_string(a[1]) + " " + std::to_string(a[2]) + " " + std::to_string(a[3]) +
                        ", expected " + std::to_string(e[0]) + " " + std::to_string(e[1]) + " " +
                        std::to_string(e[2]) + " " + std::to_string(e[3]);
        }
    if (wrong)
        return ::testing::AssertionFailure() << wrong << " pixels differ, first at " << first;
    return ::testing::AssertionSuccess();
}

// A device-independent icon image: BITMAPINFOHEADER with doubled height, colour
// table, colour rows bottom-up, AND mask rows bottom-up.
struct DibIcon {
    int width = 2, height = 2, bits = 24;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB, written as blue, green, red, 0
    std::uint32_t colorsUsedField = 0;
    // Raw colour value of pixel (x, y from the top): an index, or 0xAARRGGBB.
    std::function<std::uint32_t(int, int)> pixel = [](int, int) { return 0u; };
    std::function<bool(int, int)> masked = [](int, int) { return false; };

    Bytes bytes() const
    {
        Bytes b;
        put32(b, 40);
        put32(b, std::uint32_t(width));
        put32(b, std::uint32_t(height * 2));
        put16(b, 1);
        put16(b, unsigned(bits));
        put32(b, 0); // BI_RGB
        put32(b, 0);
        put32(b, 0);
        put32(b, 0);
        put32(b, colorsUsedField);
        put32(b, 0);
        for (std::uint32_t c : palette)
            put32(b, c & 0xFFFFFF);
        const int stride = Bitmap::strideFor(width, bits), maskStride = Bitmap::strideFor(width, 1);
        for (int y = height - 1; y >= 0; --y) {
            Bytes row(std::size_t(stride), 0);
            for (int x = 0; x < width; ++x) {
                const std::uint32_t v = pixel(x, y);
                if (bits < 8)
                    row[std::size_t(x * bits / 8)] |= std::uint8_t(v << (8 - bits - (x * bits) % 8));
                else
                    for (int k = 0; k < bits / 8; ++k)
                        row[std::size_t(x * bits / 8 + k)] = std::uint8_t(v >> (8 * k));
            }
            b.insert(b.end(), row.begin(), row.end());
        }
        for (int y = height - 1; y >= 0; --y) {
            Bytes row(std::size_t(maskStride), 0);
            for (int x = 0; x < width; ++x)
                if (masked(x, y))
                    row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
            b.insert(b.end(), row.begin(), row.end());
        }
        return b;
    }
};

// One directory entry of a hand-built .ico file and the image it points at.
struct IcoEntrySpec {
    std::uint8_t width = 16;
    std::uint16_t bitCount = 0;
    Bytes image;
    // When set, replace the stored length or offset (for damaged files).
    std::optional<std::uint32_t> lengthField = std::nullopt;
    std::optional<std::uint32_t> offsetField = std::nullopt;
};

inline Bytes buildIco(const std::vector<IcoEntrySpec>& entries, std::uint16_t countField = 0xFFFF)
{
    Bytes b;
    put16(b, 0);
    put16(b, 1);
    put16(b, countField == 0xFFFF ? unsigned(entries.size()) : countField);
    std::uint32_t offset = std::uint32_t(6 + 16 * entries.size());
    for (const IcoEntrySpec& e : entries) {
        b.push_back(e.width);
        b.push_back(e.width); // height
        b.push_back(0);       // colour count
        b.push_back(0);       // reserved
        put16(b, 1);
        put16(b, e.bitCount);
        put32(b, e.lengthField.value_or(std::uint32_t(e.image.size())));
        put32(b, e.offsetField.value_or(offset));
        offset += std::uint32_t(e.image.size());
    }
    for (const IcoEntrySpec& e : entries)
        b.insert(b.end(), e.image.begin(), e.image.end());
    return b;
}

// A plain icon image of one opaque colour, side x side at the given bit count.
inline Bytes solidImage(int side, int bits, std::uint32_t rgb)
{
    DibIcon d;
    d.width = d.height = side;
    d.bits = bits;
    if (bits <= 8) {
        d.palette.assign(std::size_t(1) << bits, 0);
        d.palette[1] = rgb;
        d.pixel = [](int, int) { return 1u; };
    } else {
        d.pixel = [rgb](int, int) { return rgb; };
    }
    return d.bytes();
}

} // namespace tintora::test
