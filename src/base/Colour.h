#pragma once

#include <cstdint>

namespace base {

// A colour value laid out 0x00BBGGRR: red in the low byte, blue in the third.
using Colour = std::uint32_t;

constexpr std::uint8_t RedOf(Colour c) {
    return static_cast<std::uint8_t>(c & 0xFF);
}
constexpr std::uint8_t GreenOf(Colour c) {
    return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
constexpr std::uint8_t BlueOf(Colour c) {
    return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}
constexpr Colour MakeColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) | (static_cast<Colour>(blue) << 16);
}

// One palette record as the firmware tables and the BMP writer see it.
struct PALETTEENTRY {
    std::uint8_t peRed = 0;
    std::uint8_t peGreen = 0;
    std::uint8_t peBlue = 0;
    std::uint8_t peFlags = 0;

    friend bool operator==(const PALETTEENTRY&, const PALETTEENTRY&) = default;
};

constexpr Colour ColourOf(const PALETTEENTRY& e) {
    return MakeColour(e.peRed, e.peGreen, e.peBlue);
}
constexpr PALETTEENTRY EntryOf(Colour c) {
    return PALETTEENTRY{RedOf(c), GreenOf(c), BlueOf(c), 0};
}

} // namespace base
