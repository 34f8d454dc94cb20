#pragma once

#include "base/Error.h"
#include "base/FileProblem.h"
#include "base/Note.h"
#include "base/OutputFile.h"
#include "font/FontBank.h"
#include "settings/Settings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace font {

// The bank's "Code": firmware source and data from the whole bank.
//
//   Font.c        (LF only) the MSB arrays, then the LSB arrays, then FONT_Init
//   Font.h        (CR LF) include guard, extern declarations of the arrays and of FONT_Init
//   Font_Msb.txt  (CR LF) the high bytes as " 0x%02X," items, a line ending only after a cell comment
//   Font_Lsb.txt  (CR LF) the low bytes, likewise
//   Palette.txt   (CR LF) one comment line per colour merged, then the palette arrays and Palette_Init
//   __TMP__.TXT   (LF) the LSB arrays as they were built, left on disk for build scripts that expect it
//   FONT_MSB.BIN  one byte a word: the high bytes
//   FONT_LSB.BIN  one byte a word: the low bytes
//
// The words go into arrays of 128 (abFONT_BANKk_MSBh / _LSBh, k = array div 2, h = array mod 2), filled
// across glyph boundaries; each group of 16 words is one line of Font.c, and the first group of every
// character cell carries the comment "//Font%02X-%X-%02X %dx%d %dBPP" (glyph, cell in the glyph, cell
// counter of the run wrapping after FF, CellWidth, GridHeight, bpp). The palettes of the glyphs are merged
// into one of at most 256 colours (entries 0-1 of a 1-bpp glyph, 0-3 of 2 bpp, all 16 otherwise, each
// colour once); the words keep their own indexes.

inline constexpr const char* kCodeGenFail = "Font CodeGen Fail !!!";

// Half Word: the order in which a glyph's words are emitted, or nothing when the glyph keeps its stored
// order. The reordering writes the cells of a 1-bpp glyph two cells wide column by column (the left column
// top to bottom, then the right), and those of a 1-bpp glyph three cells wide and two or four cells high
// even positions first, then odd ones. It is applied exactly where it is a permutation of the glyph's
// words; a glyph one cell wide is unchanged by it, and every other glyph keeps its stored order (no word is
// ever read twice or from past the glyph).
std::optional<std::vector<std::uint16_t>> HalfWordOrder(const GlyphNode& node);

struct CodeGenResult {
    bool ran = false;           // false: the bank is empty and no file was touched
    base::Failure failure;      // nothing was written
    // The names of the files written, in the order of the table above (in place once a set the run joined
    // commits); none after a failure.
    std::vector<std::string> written;
    base::FailureDetail detail; // the file that could not be written, with the reason
    int Arrays = 0;             // MSB/LSB array pairs written
    std::size_t MergedColours = 0;
    // With Half Word: the glyphs emitted in stored order because the reordering does not apply to them, and
    // the status note that says so ("Half Word: 1 glyph(s) kept their stored order"; none when there are
    // none).
    int StoredOrderGlyphs = 0;
    base::Notes notes;
};

// "Code": writes the eight files into outputDirectory (empty: the working directory; see
// base::OutputDirectory for how messages name the files), replacing all eight together or none. An empty bank
// touches nothing. When any file cannot be created or completed (a folder that refuses temporary files, a
// full disk), or the bank needs more arrays than FONT_Init can send (255), no file changes and failure says
// "Font CodeGen Fail !!!" (with the array count where the bank is too large; the file and the reason in
// detail where a file failed). The palette is written as paletteFormat says.
CodeGenResult GenerateBankCode(const FontBank& bank, bool halfWord, settings::PaletteFormat paletteFormat,
                               const base::OutputDirectory& outputDirectory);
// The same as part of a larger job: the files join set, and nothing is in place before set.Commit(); a
// failure fails set.
CodeGenResult GenerateBankCode(const FontBank& bank, bool halfWord, settings::PaletteFormat paletteFormat,
                               const base::OutputDirectory& outputDirectory, base::OutputSet& set);

} // namespace font
