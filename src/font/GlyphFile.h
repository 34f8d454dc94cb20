#pragma once

#include "base/Error.h"
#include "base/FileProblem.h"
#include "base/Note.h"
#include "base/OutputFile.h"
#include "font/GlyphEditor.h"
#include "settings/Settings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace font {

// The editor's own "Save" and "Load": one glyph, independent of the bank.
//
// Save writes, for bpp = GlyphBpp() and n = the bank's glyph count:
//   "%dBPPto1BPP%d.txt"  (only above 1 bpp, text) per cell ";UFONT %02X" and 16 word lines whose bits are
//                        the pixels that differ from palette entry 0, each line ending in a comma;
//   "%dBPPFont%d.txt"    (text) ";BPPi=", ";Xi=", ";Yi=", the palette, then the body: at 1 bpp per cell
//                        ";UFONT %02X" and 16 word lines of the pixels that differ from entry 0; above 1 bpp
//                        the GlyphWords, with ";UFONT %02X " (a blank before the line end) before every 16;
//   "%dBPPFont%d.bin"    the body's words as bytes, split as BinSort orders them (SplitWordBytes).
// Text files end their lines in CR LF. The glyph is read through the window, so the offsets count.

struct GlyphFileNames {
    std::string OneBit; // empty at 1 bpp
    std::string Glyph;
    std::string Raw;
};
GlyphFileNames GlyphFileNamesOf(int bpp, std::size_t bankCount);

// The contents Save writes, with "\n" line ends (the text files get CR LF when written). OneBit is empty at
// 1 bpp.
struct GlyphFileContents {
    std::string OneBit;
    std::string Glyph;
    std::string Raw;
};
GlyphFileContents GlyphFileContentsOf(const GlyphEditor& editor, settings::BinSort binSort);

struct GlyphSaveResult {
    std::vector<std::string> written; // the file names written, in order; none after a failure
    base::Failure failure;            // the first file that could not be written and why
    base::Notes notes;                // errors: any further file that could not be written, in order
};

// "Save": writes the files into outputDirectory (empty: the working directory; see base::OutputDirectory for
// how messages name the files), replacing all of them together or none. A file that cannot be created or
// written is named in the failure with the reason ("cannot replace NAME safely: Permission denied", "cannot
// write NAME: File too large"), any further one in an error note; then no file changes. The editor is not
// changed.
GlyphSaveResult SaveGlyphFiles(const GlyphEditor& editor, std::size_t bankCount, settings::BinSort binSort,
                               const base::OutputDirectory& outputDirectory);

inline constexpr const char* kOpenFontFileError = "Open FONT File Error !!!";
inline constexpr const char* kBadGlyphHeader = "Bad ;BPPi, ;Xi or ;Yi in FONT File !!!";

// The open dialog's settings for "Load".
inline constexpr const char* kGlyphFileFilter = "Font File(*.txt)|*.txt|All File(*.*)|*.*";
// The filter of "Font File...", which opens a face to render with.
inline constexpr const char* kFontFileFilter =
    "TrueType/OpenType fonts (*.ttf;*.otf;*.ttc;*.otc)|*.ttf;*.otf;*.ttc;*.otc|All File(*.*)|*.*";
inline constexpr const char* kGlyphFileDefaultName = "Font.txt";

// "Load" of the file at path (the tab has run the open dialog). Reads the ";BPPi", ";Xi", ";Yi" and
// ";Palette" lines (index 0 for a missing one); at the first ";UFONT" line applies the width, height and
// colour type in this order (the left and right colours take entries 1 and 0 of the palette as it was),
// sets both offsets to 0, takes the palette read and clears the surface; then draws every whole cell of
// words into the window, row-major from (32, 32), reading the editor's CellWidth characters a word. Words
// before the first ";UFONT" line are ignored; a cell the file ends inside is not drawn; cells beyond the
// glyph go on below it and are cut at the surface's edge.
//
// Returns "Open FONT File Error !!!" when the file cannot be read (or is larger than 64 MiB), with the file
// and the reason added to *detail when it is given, and "Bad ;BPPi, ;Xi or ;Yi in FONT File !!!" when the
// first ";UFONT" line comes with an index no box has; the editor is unchanged then.
std::optional<std::string> LoadGlyphFile(GlyphEditor& editor, const std::string& path,
                                         base::FailureDetail* detail = nullptr);
// The same for the file's content.
std::optional<std::string> LoadGlyphText(GlyphEditor& editor, std::string_view content);

} // namespace font
