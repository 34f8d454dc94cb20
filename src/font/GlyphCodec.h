#pragma once

#include "base/Colour.h"
#include "font/ColourImage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace font {

// The 16 colours of a glyph's palette, index 0..15.
using Palette = std::array<base::Colour, 16>;

// An encoded glyph (GlyphWords): 16-bit bit-plane words, cell by cell (row-major: the top row of cells left
// to right, then the next), within a cell its 16 pixel rows top to bottom, within a row bpp words, plane 0
// (the index's least significant bit) first; an 8-bpp row's last four words are always zero. In a word,
// pixel x of the cell (0 = leftmost) is bit CellWidth - 1 - x, so the word is right-aligned.
using GlyphWords = std::vector<std::uint16_t>;

// The palette index the encoder gives colour c at colorType 1..3: the first of the entries 0, 2, 3, ...
// (up to 3 for 2 bpp, 15 for 4 and 8 bpp) that holds c, and 1 when none does. Entry 1 is never compared:
// it is the catch-all for every colour the palette lacks, and the lower index wins when entries repeat.
// At colorType 0 the answer is 1 for black and 0 for anything else (1 bpp looks for black itself).
int PaletteIndexOf(base::Colour c, const Palette& palette, int colorType);

// Encodes the glyph whose top-left pixel is (left, top) of image (Font_ImgGetFont), for the geometry of the
// three indexes. Pixels outside the image read as white. Returns WordCountOf(colorType, widthIndex,
// heightIndex) words.
GlyphWords EncodeGlyph(const ColourImage& image, int left, int top, const Palette& palette, int colorType,
                       int widthIndex, int heightIndex);

// One word per pixel row of every cell, in cell order, with a bit set where the pixel differs from
// `background`: the 1-bit form the glyph files print (their 1-bpp body and their 1-bit rendering).
GlyphWords EncodeAgainstBackground(const ColourImage& image, int left, int top, base::Colour background,
                                   int widthIndex, int heightIndex);

// Draws one cell of encoded words (Font_ImgDrawFont): `rows` pixel rows of `width` pixels (1..16) with the
// top-left at (x, y), reading bpp words a row from words[start] on. colorType 0 draws black for a set bit
// and white for a clear one without looking at the palette; 1..3 draw palette entry b0 + 2*b1 + ..., where
// an 8-bpp index above 15 leaves the pixel as it was; any other colorType draws nothing. Rows whose words
// lie past the end of `words` are not drawn, so a short buffer never reads out of bounds.
void DrawGlyphCell(ColourImage& target, int x, int y, std::span<const std::uint16_t> words, std::size_t start,
                   const Palette& palette, int colorType, int rows, int width);

// Draws a whole glyph cell by cell with its top-left at (x, y): x steps by CellWidth across a row of cells,
// y by 16, and the start word by bpp * 16 a cell.
void DrawGlyph(ColourImage& target, int x, int y, std::span<const std::uint16_t> words,
               const Palette& palette, int colorType, int widthIndex, int heightIndex);

} // namespace font
