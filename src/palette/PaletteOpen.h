#pragma once

#include "palette/PaletteState.h"
#include "picture/BmpLoader.h"
#include "picture/FileOpen.h"

#include <string>

namespace palette {

// The hover, LEFT and RIGHT entries back to 0, each swatch showing entry 0 of table: where a newly opened
// picture starts.
void ResetPicks(const PaletteTable& table, PaletteState& state);

// File > Open with the Palette tab active (tavix-cli's `palette` opens its picture so): the file becomes
// state.PalettePicture, its colour table goes into table, and CurrentBitmap is loaded; an accepted file
// then starts with ResetPicks. Throws base::Error as picture::OpenBitmap does.
picture::OpenOutcome OpenPalettePicture(picture::CurrentBitmap& bitmap, PaletteTable& table,
                                        PaletteState& state, const std::string& path);

} // namespace palette
