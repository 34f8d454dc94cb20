#pragma once

#include "palette/PaletteState.h"
#include "picture/BmpLoader.h"

#include <string>

namespace palette {

// File > Save on the Palette tab: state.PalettePicture, cut or extended to Width x Height, held at 8 bits
// with table as its colour table (each pixel refers to the entry holding the colour it shows, preferring the
// entry its edited index names), written to path as an 8-bit BMP. PalettePicture then shows the saved
// picture; the bitmap, table and the edit state stay as they were. Throws base::Error naming the path when
// it cannot be written, and when no picture of an accepted size is open (before any Open, or after a file
// refused for its size); nothing changes then.
void SavePalettePicture(const picture::CurrentBitmap& bitmap, const PaletteTable& table, PaletteState& state,
                        const std::string& path);

} // namespace palette
