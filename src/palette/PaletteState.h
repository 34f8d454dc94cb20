#pragma once

#include "base/Colour.h"
#include "picture/Picture.h"

#include <array>
#include <cstdint>
#include <vector>

namespace palette {

// The 256 entries the grid shows and File > Save writes (the workspace's PaletteTable).
using PaletteTable = picture::PaletteTable;

// The Palette tab's own state; it lives for the whole run and starts at zero.
struct PaletteState {
    std::uint16_t HoverIndex = 0; // the entry under the pointer
    std::uint8_t LeftIndex = 0;   // target of Insert, Delete, Update, Invert; first block of Swap
    std::uint8_t RightIndex = 0;  // second block of Swap
    std::uint8_t RepeatCount = 0; // entries Swap exchanges (from the repeat spin box)
    std::array<std::uint8_t, 256> IndexRemap{};

    // Swatch colours. The LEFT swatch is also an input: Insert and Update take its colour.
    base::Colour HoverSwatch = 0;
    base::Colour LeftSwatch = 0;
    base::Colour RightSwatch = 0;

    picture::Picture PalettePicture; // the picture shown in Image_Palette_PIC

    // Pictures below 8 bits per pixel hold several pixels in a byte and cannot take every index the edits
    // produce (Insert moves index 15 of a 4-bit picture to 16). The edits work on an 8-bit copy of them: one
    // index byte a pixel and its own colour table, made from CurrentBitmap after an Open and again whenever
    // CurrentBitmap took the last edit back (it may have changed since, as by Reduce Palette).
    std::uint32_t CopyGeneration = 0; // CurrentBitmap::Generation the copy was made from; 0 = none
    std::vector<std::uint8_t> Indices8;
    std::array<base::Colour, 256> ColourTable8{};
    // The copy holds an index CurrentBitmap's depth cannot: CurrentBitmap keeps the last edit that fitted.
    bool CopyAhead = false;
};

} // namespace palette
