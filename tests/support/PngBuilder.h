#pragma once

#include "base/Colour.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace testsupport {

enum class PngColour { Palette, Grey, GreyAlpha, Rgb, Rgba };

// Describes a PNG file to build with libpng. For Palette and Grey, indices holds one value a pixel (the
// palette index or grey level), top row first, packed by the builder at bitDepth; for the other colour types
// every sample of every pixel is the value of that pixel's index (so a picture of them is easy to state).
struct PngLayout {
    int width = 0;
    int height = 0;
    PngColour colour = PngColour::Palette;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<base::Colour> palette; // PLTE entries, 0x00BBGGRR
    std::vector<std::uint8_t> trns;    // tRNS alpha values of the first palette entries (Palette only)
    struct Phys {
        std::uint32_t x = 0;
        std::uint32_t y = 0;
        bool metre = true; // false: an aspect ratio only
    };
    std::optional<Phys> phys;
    std::vector<std::uint8_t> indices; // width * height, top row first
};

// The PNG file. Throws std::runtime_error when libpng refuses the layout.
std::vector<std::uint8_t> BuildPng(const PngLayout& layout);

} // namespace testsupport
