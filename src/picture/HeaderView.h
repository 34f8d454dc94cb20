#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace picture {

// One row of a header grid: byte range, value, description.
struct HeaderRow {
    std::string range;
    std::string value;
    std::string description;
};

// What the window's status bar says (and tavix-cli header prints on stderr) when the opened file is a PNG:
// the grids show the headers of the BMP that holds the same picture.
inline constexpr const char* kPngHeaderNote = "PNG \u2014 shown as its BMP header";

// The title row both grids share: "Offset", "Value", "Description".
HeaderRow HeaderTitles();

// Rows 1..4 of the file-header grid, from the 14 header bytes as read. The identifier's "(%c %c)" shows each
// byte as the character it is; with printableOnly a byte below 0x20 or above 0x7E shows as "." instead, so
// that a line of text output stays one line of plain text.
std::vector<HeaderRow> FileHeaderRows(const std::array<std::uint8_t, 14>& header, bool printableOnly = false);

// Rows 1..11 of the information-header grid, from the 40 header bytes as read. Byte ranges count from the
// start of the information header.
std::vector<HeaderRow> InfoHeaderRows(const std::array<std::uint8_t, 40>& header);

} // namespace picture
