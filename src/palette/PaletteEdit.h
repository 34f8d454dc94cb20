#pragma once

#include "base/Colour.h"
#include "base/Error.h"
#include "base/Note.h"
#include "palette/PaletteState.h"
#include "picture/BmpLoader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace palette {

// The Palette tab's edits. Each changes the palette entry (or entries) in both table and the colour table
// the pixels index, renumbers the pixels so that the picture keeps its look (Insert, Delete, Swap) or
// repaints the pixels of the entry (Update, Invert), and repaints state.PalettePicture. Only pixels with
// x < Width and y < Height are visited; with no picture opened only the tables change. The selection and
// the swatches of state are neither read nor changed: the tab shows its entries again afterwards
// (ShowLeftEntry, ShowRightEntry).
//
// At 8 bits per pixel the pixels and colour table are the bitmap's own, so a later Generate writes the
// edited data. Below 8 bits the edit works on the tab's 8-bit copy (see PaletteState) and is then written
// back into the bitmap's packed Pixels and its ColourTable, when every index of the edited picture fits the
// depth. When one does not, the bitmap keeps what it held before the edit and only the copy (which File >
// Save writes, at 8 bits) has it; the result says so.
struct EditResult {
    bool inBitmap = true; // the bitmap holds the edit, so Generate writes it
    // When !inBitmap, the status that says so ("Index 16 does not fit 4 bpp: File > Save ...").
    base::Notes notes;
};

// Inserts colour at index: entries index..254 move up one place (entry 255 is lost), pixel indices >= index
// rise by one, and pixels of index 255 go to 0. The shown palette size (PaletteBytes) grows by one entry, to
// at most 256.
EditResult InsertEntry(picture::CurrentBitmap& bitmap, PaletteTable& table, PaletteState& state,
                       std::uint8_t index, base::Colour colour);

// Moves entry index to the end: entries above it move down one place, pixels of index go to 255 and pixels
// above it down by one. The shown palette size shrinks by one entry, to at least 1.
EditResult DeleteEntry(picture::CurrentBitmap& bitmap, PaletteTable& table, PaletteState& state,
                       std::uint8_t index);

// Exchanges count entries from left with as many from right, one pair after the other. The count is cut so
// that neither block runs past entry 255; when the blocks overlap, the pixels follow the permutation the
// exchanges make of the table, so the picture keeps its look in every case.
EditResult SwapEntries(picture::CurrentBitmap& bitmap, PaletteTable& table, PaletteState& state,
                       std::uint8_t left, std::uint8_t right, std::uint8_t count);

// Gives entry index the colour and repaints its pixels.
EditResult UpdateEntry(picture::CurrentBitmap& bitmap, PaletteTable& table, PaletteState& state,
                       std::uint8_t index, base::Colour colour);

// Inverts red, green and blue of entry index (starting from the colour table the pixels index, not from
// table) and repaints its pixels.
EditResult InvertEntry(picture::CurrentBitmap& bitmap, PaletteTable& table, PaletteState& state,
                       std::uint8_t index);

// The colour entry i of table shows in the grid and the swatches: peRed + 256 peGreen + 65536 peBlue; 0 for
// an i outside 0..255.
base::Colour EntryColour(const PaletteTable& table, int i);

// The read-outs of the hover, LEFT and RIGHT entries from table: "Palette Index: 0x1A ( 26), R=0xFF,
// G=0x00, B=0x00", "LEFT Index: ..." and "RIGHT Index: ...". The tab's labels and the accessible
// descriptions of its grid and swatches show these texts.
std::string HoverEntryText(const PaletteTable& table, const PaletteState& state);
std::string LeftEntryText(const PaletteTable& table, const PaletteState& state);
std::string RightEntryText(const PaletteTable& table, const PaletteState& state);

// The pointer is over entry i of the grid: HoverIndex := i, HoverSwatch := its colour. An i outside 0..255
// (no entry) changes nothing; returns whether it was an entry.
bool PointAt(const PaletteTable& table, PaletteState& state, int i);
// Left or right pick of entry i (0..255; others are ignored): LeftIndex or RightIndex := i, then its swatch
// shows the entry's colour.
void PickLeft(const PaletteTable& table, PaletteState& state, int i);
void PickRight(const PaletteTable& table, PaletteState& state, int i);
// The LEFT or RIGHT swatch shows its entry's colour again, dropping a colour chosen with the colour dialog.
void ShowLeftEntry(const PaletteTable& table, PaletteState& state);
void ShowRightEntry(const PaletteTable& table, PaletteState& state);

// The palette index of every pixel as the edits keep it, WalkWidth x WalkHeight bytes row by row: the
// bitmap's pixels unpacked to a byte each, or the tab's 8-bit copy while it holds indices the bitmap's depth
// cannot; all 0 at a depth other than 1, 2, 4 and 8.
std::vector<std::uint8_t> EditedIndices(const picture::CurrentBitmap& bitmap, const PaletteState& state);

} // namespace palette
