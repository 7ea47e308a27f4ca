#include "support/PillowReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tintora::test {

namespace {

constexpr const char* python = "/usr/bin/python3";

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct PipeCloser {
    void operator()(std::FILE* pipe) const { pclose(pipe); }
};

// Reads one "width height count" line and its bytes; false at the end.
bool readPicture(std::FILE* pipe, RgbaPicture& out)
{
    std::size_t count = 0;
    if (std::fscanf(pipe, "%d %d %zu", &out.width, &out.height, &count) != 3 || std::fgetc(pipe) != '\n')
        return false;
    out.rgba.resize(count);
    return std::fread(out.rgba.data(), 1, count, pipe) == count;
}

std::string rgbaText(const std::uint8_t* p)
{
    return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]) + "," +
           std::to_string(p[3]);
}

} // namespace

bool pillowAvailable()
{
    const std::string command = std::string(python) + " -c 'import PIL' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

std::vector<RgbaPicture> decodeWithPillow(const std::vector<std::filesystem::path>& files)
{
    std::string command =
        std::string(python) + " " + quoted(TINTORA_SOURCE_DIR "/tests/support/pillow_rgba.py");
    for (const auto& file : files)
        command += " " + quoted(file.string());
    std::unique_ptr<std::FILE, PipeCloser> pipe(popen(command.c_str(), "r"));
    std::vector<RgbaPicture> out;
    RgbaPicture picture;
    while (pipe && out.size() < files.size() && readPicture(pipe.get(), picture))
        out.push_back(std::move(picture));
    EXPECT_EQ(out.size(), files.size()) << "Pillow stopped after " << out.size() << " files";
    return out;
}

std::string differenceFrom(const PngImage& ours, const RgbaPicture& reference)
{
    const Bitmap& colors = ours.colors;
    if (colors.width() != reference.width || colors.height() != reference.height)
        return "size " + std::to_string(colors.width()) + " x " + std::to_string(colors.height()) + ", not " +
               std::to_string(reference.width) + " x " + std::to_string(reference.height);
    if (reference.rgba.size() != std::size_t(reference.width) * std::size_t(reference.height) * 4)
        return "a reference of " + std::to_string(reference.rgba.size()) + " bytes";
    for (int y = 0; y < colors.height(); ++y)
        for (int x = 0; x < colors.width(); ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(colors.width()) + std::size_t(x);
            const std::uint8_t* bgr = colors.scanLine(y) + 3 * x;
            const std::uint8_t mine[4] = {bgr[2], bgr[1], bgr[0],
                                          ours.hasTransparency() ? ours.alpha[i] : std::uint8_t(255)};
            const std::uint8_t* theirs = reference.rgba.data() + 4 * i;
            if (!std::equal(mine, mine + 4, theirs))
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + ": " + rgbaText(mine) +
                       ", not " + rgbaText(theirs);
        }
    return "";
}

} // namespace tintora::test
