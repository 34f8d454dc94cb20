#pragma once

#include "font/FontBank.h"
#include "font/GlyphEditor.h"

namespace font {

// The Font tab's document state for the whole run: the glyph designer (with CurrentFont, LeftColor,
// RightColor and FontPalette), the bank, and the "Half Word" check box that only the code generator reads.
// It starts as the tab starts: an empty bank, the start palette, black and white paint colours, 16 x 16 at
// 1 bpp, offsets 0 and StartFont() (whose family FontShowProp resolves when the tab first shows it).
//
// How the tab drives it (each handler reads its controls, calls one operation, then shows the state; the
// renderer is one FreeTypeRenderer the tab owns, `dir` is "" for the current directory):
//
//   FormCreate                    FontShowProp(Editor, renderer, StartFont()) -> the six font boxes
//   OSD_btnTTFFontSelClick        font dialog (starts at DialogStartFont()) -> FontShowProp(...); the memo
//                                 takes the same font
//   Edit_Char, Enter released     EnterCharacter(Editor, renderer, text) -> "Pixels:" box when it returns
//   text Font_cbFontColorTypeChange    Editor.ApplyColorType(index)     (also the grid width and height
//   boxes: Font_cbGridWidthChange        Editor.ApplyGridWidth(index)      the grid takes
//   Editor.GridLayout()) Font_cbGridHeightChange       Editor.ApplyGridHeight(index) CSpinEdit_X/Yoffset
//   change    Editor.SetXOffset(v) / SetYOffset(v) Font_sgGridCharMouseDown/Move Editor.PaintAt(x, y,
//   altHeld)    (Move only while the left button is held;
//                                 the grid repaints on mouse-up, and may repaint the cell at once)
//   Font_sgFontPaletteMouseDown   Editor.PickPaletteColour(column, row, button)
//   Font_sgFontPaletteDblClick    if Editor.CanChangePaletteEntry(column, row): colour dialog, then on OK
//                                 Editor.ChangePaletteEntry(column, colour)
//   Font_btnInvertClick           Editor.Invert()
//   Font_btnClearClick            Editor.ClearPreview()
//   Font_btnInsertClick           InsertGlyph(Bank, Editor) -> DialogPrintError(1, message) when it returns
//   one Font_BtnSaveClick             SaveGlyphFiles(Editor, Bank.Count(), settings.BinSort, dir) -> one
//                                 DialogPrintError(1, ...) per failure
//   Font_btnLoadClick             OpenDialog_Main borrowed (DialogRestore; kGlyphFileFilter, index 1,
//                                 kGlyphFileDefaultName), then LoadGlyphFile(Editor, path) ->
//                                 DialogPrintError(1, message) when it returns one
//   Font_sgFontBankDrawCell       GlyphImageOf(Bank[n - 1]) in column 1, BankRowTextsOf(Bank[n - 1], n)
//   Font_sgFontBankMouseDown      column kBankGlyphColumn of a row 1..count: LoadNodeIntoEditor(Editor, ...)
//   Font_btnBankDeleteClick       Bank.Remove(currentRow - 1) when the current row is a glyph's
//   Font_BtnBankClearClick        Bank.Clear()
//   Font_btnBankSaveClick         SaveBank(Bank, Editor.CurrentFont, settings.BinSort, dir)
//   Font_btnBankLoadClick         OpenDialog_Main borrowed (kBankFileFilter, index 1, kBankTextName), then
//                                 LoadBankFile(Bank, path, Editor.FontPalette) -> the font boxes it
//                                 names; failure through DialogPrintError(1, ...)
//   Font_btnBankCodeClick         GenerateBankCode(Bank, HalfWord, settings.PaletteFormat, dir) -> failure
//                                 through DialogPrintError(1, ...), Note into status panel 1
//   Font_chkHalfWordClick         HalfWord = checked
//   Font_btnStringGenerateClick   GenerateStrings(Editor, Bank, renderer, MemoLines(memo text), dir)
//   Font_btnStringAsciiClick      InsertAscii(Editor, Bank, renderer), then the entry box is emptied
//                                 (both: busy cursor around, each message through DialogPrintError(1, ...))
//
// After any of them the tab shows the state again: the boxes from ColorType(), WidthIndex(), HeightIndex(),
// XOffset(), YOffset(), the colour boxes, the palette grid, the glyph grid and the preview.
struct FontState {
    GlyphEditor Editor;
    FontBank Bank;
    bool HalfWord = false;
};

} // namespace font
