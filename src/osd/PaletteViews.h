#pragma once

#include "base/Colour.h"
#include "picture/BmpLoader.h"

#include <cstdint>
#include <string>

namespace osd {

// caption followed by " 0x%02X (%3d), R=0x%02X, G=0x%02X, B=0x%02X" with index, index and the colour's red,
// green and blue bytes: "[B] Palette Index: 0x12 ( 18), R=0xFF, G=0x80, B=0x00".
std::string EntryText(const std::string& caption, std::uint16_t index, base::Colour colour);

// "Width:  192/Height: 256/Palette:  16": the picture's figures, as the picture tabs show them.
std::string PictureStatusText(const picture::CurrentBitmap& bitmap);

// Colour of RawPalette entry i (the Before views).
base::Colour RawEntryColour(const picture::CurrentBitmap& bitmap, int i);

} // namespace osd
