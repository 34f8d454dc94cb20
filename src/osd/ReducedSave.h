#pragma once

#include "base/Colour.h"
#include "base/OutputFile.h"
#include "osd/OsdState.h"
#include "picture/BmpLoader.h"

#include <cstdint>
#include <string>

namespace osd {

// File > Save on the OSD tab: the After picture, Width x Height, with ReducedPalette as its colour table
// (colours compared as the After picture shows them, through mask; where several entries look alike, the
// renumbered pixels of CurrentBitmap decide), written to path as an 8-bit BMP. The After picture then shows
// the saved picture. Throws base::Error naming the path when it cannot be written, and when no picture of an
// accepted size is open (before any Open, or after a file refused for its size); nothing changes then.
void SaveReducedPicture(const picture::CurrentBitmap& bitmap, OsdState& state, base::Colour mask,
                        const std::string& path);
// The same as one file of a larger job (tavix-cli's `osd --save-reduced`): the picture joins outputs and is
// in place only after outputs.Commit().
void SaveReducedPicture(const picture::CurrentBitmap& bitmap, OsdState& state, base::Colour mask,
                        const std::string& path, base::OutputSet& outputs);

// Throws base::Error, telling the user to open a picture first, unless bitmap holds a picture of an accepted
// size: before any Open, or after a file refused for its size, a save would write an empty or a huge black
// file. Both picture saves check this first.
void RequirePictureToSave(const picture::CurrentBitmap& bitmap);

// The palette index of pixel (x, y) of bitmap at its own depth (1, 2, 4 or 8 bits, leftmost pixel in the
// high bits of a byte); 0 for any other depth and for bytes outside Pixels.
std::uint8_t PackedIndex(const picture::CurrentBitmap& bitmap, int x, int y);

} // namespace osd
