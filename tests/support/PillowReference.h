#pragma once
// Pillow as the second PNG decoder of the tests (pillow_rgba.py beside this
// file says how it takes the samples), run by the system's own Python: the
// tests skip themselves where it lacks Pillow.
#include "imaging/PngImage.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tintora::test {

struct RgbaPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba; // red, green, blue, alpha; top row first
};

// Whether /usr/bin/python3 can import Pillow.
bool pillowAvailable();

// Every file decoded by Pillow, in one run. Records a test failure and gives
// what it got so far when the run fails.
std::vector<RgbaPicture> decodeWithPillow(const std::vector<std::filesystem::path>& files);

// Where our decode differs from Pillow's ("" when it does not): the size, or
// the first pixel that differs, with both values. No alpha plane counts as 255.
std::string differenceFrom(const PngImage& ours, const RgbaPicture& reference);

} // namespace tintora::test
