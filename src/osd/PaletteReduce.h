#pragma once

#include "base/Colour.h"
#include "osd/OsdState.h"
#include "picture/BmpLoader.h"
#include "picture/Picture.h"

#include <array>
#include <cstdint>
#include <string>

namespace osd {

// The distinct colours of the picture's pixels (x < width, y < height, row by row, left to right; a position
// outside the picture reads as black), in order of first appearance, into out. Stops at 256 colours.
// Returns their number.
int CollectColours(const picture::Picture& picture, int width, int height, base::Colour out[256]);

// "Reduce Palette": collects the colours of state.Before into bitmap.ReducedPalette, renumbers bitmap.Pixels
// so that they index it, makes it the bitmap's colour table (ColourTable entries 0..n-1, zeros after them)
// and paints the renumbered picture into state.After through mask. Returns the number n of colours (also
// ReducedCount and ColourCount).
//
// The pixels are renumbered through state.RemapTable, rebuilt for each reduction from the table the pixels
// index: the file's colours (ColourTable derived anew from RawPalette, so edits from the Palette tab are
// dropped) or, when the bitmap is already reduced, ColourTable as it stands. Every entry of that table
// whose colour is the i-th colour collected becomes i, so two entries of one colour both do, and a second
// reduction of the same picture leaves pixels and palette as they are.
int ReducePalette(picture::CurrentBitmap& bitmap, OsdState& state, base::Colour mask);

// Renumbers Pixels in place through remap, by BitsPerPixel (8: bytes 0..Width-1 of a row; 4, 2, 1: every
// byte of the row, padding included). Other depths are left alone.
void RemapPixels(picture::CurrentBitmap& bitmap, const std::array<std::uint8_t, 256>& remap);

// Paints the renumbered picture into after with ReducedPalette[index] AND mask. An empty After picture first
// becomes a white canvas large enough for the picture and at least 256 x 256; pixels outside it are not
// painted. At 1, 2 and 4 bpp the last byte of a row is painted whole.
void DrawRemapped(const picture::CurrentBitmap& bitmap, base::Colour mask, picture::Picture& after);

// "[A] Palette Number: %3d".
std::string PaletteNumberText(int count);

} // namespace osd
