#pragma once

#include "font/FontBank.h"
#include "font/GlyphEditor.h"

namespace font {

// The Font tab's document state for the whole run: the glyph designer (with CurrentFont, LeftColor,
// RightColor and FontPalette), the bank, and the "Half Word" check box that only the code generator reads.
// It starts as the tab starts: an empty bank, the start palette, black and white paint colours, 16 x 16 at
// 1 bpp, offsets 0 and StartFont() (whose family FontShowProp resolves when the tab first shows it).
//
// How the tab's panels drive it. Each handler reads its controls, calls one operation, shows the state and
// reports what it changed to the tab, which refreshes the panels that show it. The renderer is one
// FreeTypeRenderer the tab owns; `dir` is the document's current folder, where the outputs with fixed names
// go; failures go through DialogPrintError, notes where their kinds go (ui::Messages::ShowNotes).
//
// clang-format off
//   FormCreate                   FontShowProp(Editor, renderer, StartFont()) -> the six font boxes
//   OSD_btnTTFFontSelClick       font dialog (starts at DialogStartFont()) -> FontShowProp(...) -> the font
//                                boxes; the memo takes the same font; a face standing in is a shortfall
//   Font_btnFontFileClick        OpenDialog_Main borrowed (kFontFileFilter, index 1), then
//                                renderer.UseFontFile(path, 0) -> FontShowProp(CurrentFont in that family)
//   Edit_Char, Enter released    EnterCharacter(Editor, renderer, text) -> the "Pixels:" box when it returns
//                                text; what the glyph lost is a shortfall
//   Font_cbFontColorTypeChange   Editor.ApplyColorType(index)
//   Font_cbGridWidthChange       Editor.ApplyGridWidth(index)
//   Font_cbGridHeightChange      Editor.ApplyGridHeight(index)
//   CSpinEdit_X/YoffsetChange    Editor.SetXOffset(v) / SetYOffset(v)
//   Font_sgGridCharMouseDown     Editor.PaintCell(column, row, altHeld) for the glyph pixel under the pointer
//   Font_sgGridCharMouseMove     the same while the left button is held (the grid repaints on mouse-up, and
//                                may repaint the cell at once)
//   Font_sgFontPaletteMouseDown  Editor.PickPaletteColour(entry, Left or Right) for the entry pressed
//   Font_sgFontPaletteDblClick   if Editor.CanChangePaletteEntry(entry): colour dialog, then on OK
//                                Editor.ChangePaletteEntry(entry, colour)
//   Font_btnInvertClick          Editor.Invert()
//   Font_btnClearClick           Editor.ClearPreview()
//   Font_btnInsertClick          InsertGlyph(Bank, Editor) -> its message, or the bank changed
//   Font_BtnSaveClick            SaveGlyphFiles(Editor, Bank.Count(), settings.BinSort(), dir) -> failure
//                                and errors
//   Font_btnLoadClick            OpenDialog_Main borrowed (DialogRestore; kGlyphFileFilter, index 1,
//                                kGlyphFileDefaultName), then LoadGlyphFile(Editor, path) -> its message
//   Font_sgFontBank, row n       GlyphImageOf(Bank[n - 1]) in the glyph column, the texts of
//                                BankRowTextsOf(Bank[n - 1], n) in the others
//   Font_sgFontBankMouseDown     on the glyph column of a row 1..count: LoadNodeIntoEditor(Editor, ...) ->
//                                the editor changed
//   Font_btnBankDeleteClick      Bank.Remove(currentRow - 1) when the current row is a glyph's
//   Font_BtnBankClearClick       Bank.Clear()
//   Font_btnBankSaveClick        SaveBank(Bank, Editor.CurrentFont, settings.BinSort(), dir) -> failure
//   Font_btnBankLoadClick        OpenDialog_Main borrowed (kBankFileFilter, index 1, kBankTextName), then
//                                LoadBankFile(Bank, path, Editor.FontPalette) -> the font boxes it names;
//                                failure
//   Font_btnBankCodeClick        GenerateBankCode(Bank, HalfWord, settings.PaletteFormat(), dir) -> failure,
//                                or its status
//   Font_chkHalfWordClick        HalfWord = checked
//   Font_btnStringGenerateClick  GenerateStrings(Editor, Bank, renderer, MemoLines(memo text), dir)
//   Font_btnStringAsciiClick     InsertAscii(Editor, Bank, renderer), then the entry box is emptied
//   Font_btnStringRangeClick     ParseCharacterRanges(memo text) -> its reason; InsertCharacters(Editor, Bank,
//                                renderer, characters)
//                                (all three: busy cursor around; failure, errors and the shortage's detail; the
//                                bank and the glyph changed)
// clang-format on
//
// After any of them the panels show the state again: the boxes from ColorType(), WidthIndex(), HeightIndex(),
// XOffset(), YOffset(), the colour boxes, the palette grid, the glyph grid and the preview.
struct FontState {
    GlyphEditor Editor;
    FontBank Bank;
    bool HalfWord = false;
};

} // namespace font
