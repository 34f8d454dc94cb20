#pragma once

#include "base/Error.h"
#include "base/Note.h"
#include "base/OutputFile.h"
#include "font/FontBank.h"
#include "font/GlyphEditor.h"
#include "font/TextRenderer.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace font {

// Filling the bank from text: "Generate" renders one glyph per distinct character of the string memo and
// writes Font_def.h, which maps every character position of every line to its glyph number; "Ascii" renders
// the characters 33 to 127.
//
// A character is one Unicode character (a code point); the blank (U+0020) gets no glyph and no entry.
// Font_def.h holds, for every line j (1-based) and every position i (1-based, blanks counted) of a
// character that is not a blank, "\n#define FONT_STR%d_1BPP_WORD%d\t\t%d" with j, i and the character's
// glyph number (its place among the distinct characters, first seen first, from 0), and "\n" after each
// line's entries; it is a text file (CR LF).

inline constexpr const char* kFontDefName = "Font_def.h";
inline constexpr std::size_t kMemoMaxLength = 256; // the memo's limit, in characters

// The memo's lines from its text (UTF-8): split at line ends (LF, CR LF or CR); a line end at the very end
// starts no further line, so "AB\nC\n" is two lines and "" none. A byte-order mark (U+FEFF), which starts
// many text files and comes with text pasted from them, is no character: it is dropped wherever it stands.
std::vector<std::u32string> MemoLines(std::string_view text);

struct FontDef {
    std::string Text;        // Font_def.h's content with "\n" line ends
    std::u32string Distinct; // the characters in glyph-number order
};
FontDef BuildFontDef(const std::vector<std::u32string>& lines);

struct StringsResult {
    // What stopped the run before any glyph went in: Font_def.h that could not be written, with the reason
    // ("cannot write Font_def.h: No space left on device"), or "Font Bank Full !!!" for a run the bank has no
    // room for.
    base::Failure failure;
    // An error "Create Node Fail !!!" for each glyph memory could not hold; for a run the bank has no room
    // for, the detail that says by how much ("This run needs 300 glyphs; the bank has 256 free").
    base::Notes notes;
    std::size_t Inserted = 0;
    // Font_def.h once a Generate wrote it (in place once a set the run joined commits).
    std::vector<std::string> written;
};

// "Generate": writes Font_def.h into outputDirectory (empty: the working directory; see base::OutputDirectory
// for how messages name the files), replacing it safely, then renders every distinct character with
// RenderGlyphText and inserts it as "Insert" does (the editor's colour type, geometry, palette, left colour
// and offsets), and clears the surface. The tab shows the busy cursor around it and then redraws the bank and
// glyph grids.
//
// A run whose distinct characters do not all fit into the bank's free places does nothing at all: no
// Font_def.h (which would name glyphs the bank cannot hold), no glyph, no drawing; it gives "Font Bank Full
// !!!" and the detail of its shortage.
StringsResult GenerateStrings(GlyphEditor& editor, FontBank& bank, TextRenderer& renderer,
                              const std::vector<std::u32string>& lines,
                              const base::OutputDirectory& outputDirectory);
// The same as part of a larger job (the CLI's bank run, which also saves the bank and its code): Font_def.h
// joins outputs and is in place only after outputs.Commit(); a failure fails outputs.
StringsResult GenerateStrings(GlyphEditor& editor, FontBank& bank, TextRenderer& renderer,
                              const std::vector<std::u32string>& lines,
                              const base::OutputDirectory& outputDirectory, base::OutputSet& outputs);

// "Ascii": renders and inserts the 95 characters 33 ("!") to 127 (the delete character, drawn as the face
// draws that code), then clears the surface. The tab also empties the entry box. A bank with fewer than 95
// free places is left as it is, with "Font Bank Full !!!" and the detail of its shortage, as above.
StringsResult InsertAscii(GlyphEditor& editor, FontBank& bank, TextRenderer& renderer);
// The characters "Ascii" renders, in its order.
std::u32string AsciiRunCharacters();

// The characters of a range list such as "0x20-0x7E,0xA0-0xFF,0x2190": code points in hexadecimal (0x...)
// or decimal, single ones or FIRST-LAST ranges, separated by commas (spaces and line ends around the parts are allowed), in
// the order given, each character once (at its first place). Code points run from 0x20 to 0x10FFFF without
// the surrogates. Throws base::Error with the reason for an empty list, a part that is no number or range, a
// range that runs backwards or a code point outside those.
std::u32string ParseCharacterRanges(std::string_view text);

// "Range…": renders and inserts the characters given, in their order, as "Ascii" does (0x20 gets a blank
// glyph), then clears the surface. A bank without room for all of them is left as it is, with "Font Bank
// Full !!!" and the detail of its shortage, as above.
StringsResult InsertCharacters(GlyphEditor& editor, FontBank& bank, TextRenderer& renderer,
                               const std::u32string& chars);

} // namespace font
