#pragma once

#include <cstdint>

// The program's icon as a pattern: a 16 x 16 character cell with a "T" drawn in its pixels, on a dark screen.
// The window draws it (IdeIcon.cpp) and the build makes the installed icons from it, so they are one picture.
namespace shell {

inline constexpr const char* kIconGlyph[16] = {
    "................", "................", ".##############.", ".##############.",
    ".......##.......", ".......##.......", ".......##.......", ".......##.......",
    ".......##.......", ".......##.......", ".......##.......", ".......##.......",
    ".......##.......", ".......##.......", "................", "................",
};

struct IconColour {
    std::uint8_t r, g, b;
};
inline constexpr IconColour kIconScreen{0x1F, 0x2A, 0x44};
inline constexpr IconColour kIconBar{0xFF, 0xC8, 0x3C};  // the top rows of the glyph
inline constexpr IconColour kIconStem{0x5C, 0xE0, 0xD0}; // the rows below

// The colour of cell (x, y) of the pattern.
constexpr IconColour IconCellColour(int x, int y) {
    return kIconGlyph[y][x] != '#' ? kIconScreen : y < 4 ? kIconBar : kIconStem;
}

} // namespace shell
