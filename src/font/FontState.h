#pragma once

#include "font/FontBank.h"
#include "font/GlyphEditor.h"

namespace font {

// The Font tab's document state for the whole run: the glyph designer (with CurrentFont, LeftColor,
// RightColor and FontPalette), the bank, and the "Half Word" check box that only the code generator reads.
// It starts as the tab starts: an empty bank, the start palette, black and white paint colours, 16 x 16 at
// 1 bpp, offsets 0 and StartFont() (whose family FontShowProp resolves when the tab shows it).
struct FontState {
    GlyphEditor Editor;
    FontBank Bank;
    bool HalfWord = false;
};

} // namespace font
