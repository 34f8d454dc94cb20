#pragma once

#include "base/Error.h"
#include "font/FontBank.h"
#include "picture/IndexedImage.h"
#include "settings/Settings.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace font {

// Reading glyph files and bank files back into the pictures the firmware draws.

// The palette indices of a glyph: GridWidth x GridHeight pixels, each b0 + 2 b1 + ... of the node's plane
// words (at 1 bpp the bit itself), with the node's 16 colours as the palette. An 8-bpp word row whose upper
// planes are not zero gives indices above 15, which the palette does not reach.
picture::IndexedImage GlyphIndices(const GlyphNode& node);

struct GlyphsDecoded {
    std::vector<GlyphNode> glyphs; // in file order
    base::Failure failure;         // no glyph at all, or glyphs with indexes no box has (skipped)
};

// The glyphs of a glyph file ("%dBPPFont%d.txt") or a bank file (FontBank.txt): each starts at a ";UFONT"
// line with the ";BPPi", ";Xi", ";Yi" and ";Palette" read last and ends with its last word; a glyph file holds
// one. Read as the bank's Load reads them (a glyph the text ends inside is dropped).
GlyphsDecoded DecodeGlyphText(std::string_view text);

// How a FontBank.bin was written: the glyphs' common geometry, the Bin Sort and the palette to draw with.
struct BankBinaryOptions {
    int colorType = 0;
    int widthIndex = 4;
    int heightIndex = 0;
    settings::BinSort binSort = settings::BinSort::Half; // the setting's start value
    Palette palette = kStartPalette;
};

// The glyphs of a FontBank.bin: its bytes joined back into words (SplitWordBytes undone) and cut into glyphs
// of WordCountOf the geometry. A file that does not hold whole glyphs fails with the whole ones kept; "Half"
// needs an even number of bytes to find where the low bytes start.
GlyphsDecoded DecodeBankBinary(std::span<const std::uint8_t> bytes, const BankBinaryOptions& options);

// A palette file for a FontBank.bin: the first 16 numbers after a ";Palette" line (or, without one, the
// first 16 "0x" numbers) of a text, as the glyph and bank files write them (0x00BBGGRR). Nothing, with the
// reason in *problem, for fewer.
std::optional<Palette> ParseFontPalette(std::string_view text, std::string* problem);

// The geometry index of a grid width or height in pixels (12..64, 16..64) as the boxes list them; -1 for a
// size no box has.
int WidthIndexOfPixels(int pixels);
int HeightIndexOfPixels(int pixels);
// The colour type of a depth 1, 2, 4 or 8; -1 for another.
int ColorTypeOfBpp(int bpp);

// The picture of node as FontBank.bin's bytes of it draw it: its words split into bytes as Save writes them
// and joined again by DecodeBankBinary, with the node's geometry and palette.
picture::IndexedImage DecodedGlyphOf(const GlyphNode& node);

// The glyphs as a grid in bank order, 16 to a row, each in a slot of the largest GridWidth x GridHeight with
// its top-left at the slot's. Indexed when every glyph has the same palette (the space between glyphs is
// index 0), colours otherwise (the space between glyphs is grey 0x808080).
struct BankPicture {
    std::optional<picture::IndexedImage> indexed;
    picture::ColourPicture colour; // when not indexed
};
BankPicture BankGridPicture(const std::vector<GlyphNode>& glyphs);

} // namespace font
