#pragma once

#include "shell/Workspace.h"

#include <cstdint>
#include <string>
#include <vector>

namespace palette {

// The Palette tab's edits. Each changes the palette entry (or entries) in both PaletteTable and the colour
// table the pixels index, renumbers the pixels so that the picture keeps its look (Insert, Delete, Swap) or
// repaints the pixels of the entry (Update, Invert), and repaints PalettePicture. Only pixels with
// x < Width and y < Height are visited; with no picture opened only the tables change.
//
// At 8 bits per pixel the pixels and colour table are CurrentBitmap's own, so a later Generate writes the
// edited data. Below 8 bits the edits work on the tab's 8-bit copy (PaletteState::Indices8 and
// ColourTable8, made from CurrentBitmap when an edit first needs them after an Open) and CurrentBitmap keeps
// its pixels and colour table: its packed pixels cannot hold the indices the edits produce.
//
// Each edit ends as the tab's refresh does: the LEFT swatch (and, for Insert, Delete and Swap, the RIGHT
// swatch) shows its entry's colour again.

// Inserts the LEFT swatch colour at LeftIndex: entries LeftIndex..254 move up one place (entry 255 is lost),
// pixel indices >= LeftIndex rise by one, and pixels of index 255 go to 0. The shown palette size
// (PaletteBytes) grows by one entry, to at most 256.
void InsertEntry(shell::Workspace& ws);

// Moves entry LeftIndex to the end: entries above it move down one place, pixels of LeftIndex go to 255 and
// pixels above it down by one. The shown palette size shrinks by one entry, to at least 1.
void DeleteEntry(shell::Workspace& ws);

// Exchanges RepeatCount entries from LeftIndex with as many from RightIndex, one pair after the other. The
// count is cut so that neither block runs past entry 255; when the blocks overlap, the pixels follow the
// permutation the exchanges make of the table, so the picture keeps its look in every case.
void SwapEntries(shell::Workspace& ws);

// Gives entry LeftIndex the LEFT swatch colour and repaints its pixels.
void UpdateEntry(shell::Workspace& ws);

// Inverts red, green and blue of entry LeftIndex (starting from the colour table the pixels index) and
// repaints its pixels.
void InvertEntry(shell::Workspace& ws);

// The read-outs: "Palette Index: 0x1A ( 26), R=0xFF, G=0x00, B=0x00" for HoverIndex, "LEFT Index: ..." for
// LeftIndex and "RIGHT Index: ..." for RightIndex, from PaletteTable.
std::string HoverEntryText(const shell::Workspace& ws);
std::string LeftEntryText(const shell::Workspace& ws);
std::string RightEntryText(const shell::Workspace& ws);

// Pointer at (x, y) of the grid: HoverIndex := the entry there, HoverSwatch := its colour. Positions outside
// the 16 x 16 cells are ignored; returns whether the pointer was over a cell.
bool PointAt(shell::Workspace& ws, int x, int y);
// Left or right pick of entry i (0..255): LeftIndex or RightIndex := i and its swatch shows its colour.
void PickLeft(shell::Workspace& ws, int i);
void PickRight(shell::Workspace& ws, int i);

// The palette index of pixel (x, y) of CurrentBitmap at its own depth (1, 2, 4 or 8 bits, leftmost pixel in
// the high bits of a byte); 0 for any other depth and for bytes outside Pixels.
std::uint8_t PackedIndex(const bitmap::CurrentBitmap& bitmap, int x, int y);

// The palette index of every pixel as the edits keep it, WalkWidth x WalkHeight bytes row by row:
// CurrentBitmap's bytes at 8 bits per pixel, the tab's 8-bit copy below (or the unpacked pixels while no edit
// has made one for the opened picture), all 0 at any other depth.
std::vector<std::uint8_t> EditedIndices(const shell::Workspace& ws);

} // namespace palette
