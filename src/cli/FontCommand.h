#pragma once

#include "settings/Settings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace cli {

// The choices of the Font tab's boxes that the font commands take: the font dialog's font, the "Color
// Type", "Grid Width" and "Grid Height" items, the offsets, the Bin Sort menu and where the files go.
struct FontBoxes {
    std::optional<std::string> family; // --font (the start font's family when not given)
    // --font PATH or PATH:N: a font file (a path with a "/", or a name ending in .ttf, .otf, .ttc, .otc) and
    // the index of its face; family stays unset then and becomes the face's family once the file is read.
    std::optional<std::string> fontFile;
    int fontFace = 0;
    std::int32_t size = 10;            // --size, points
    std::uint8_t style = 0;            // --style bold,italic,underline,strikeout
    int colorType = 0;                 // --bpp 1|2|4|8
    int widthIndex = 4;                // --width, one of the "Grid Width" item texts
    int heightIndex = 0;               // --height 16|32|48|64
    int xOffset = 0;                   // --x-offset -32..32
    int yOffset = 0;                   // --y-offset -32..32
    settings::BinSort binSort = settings::BinSort::Half; // --bin-sort half|font
    std::string outputDirectory;                         // --out; empty: the working directory
    // --allow-substitute: render with the face that stands in for a family that is not installed (it is
    // named on stderr); without it such a family fails the job before anything is written.
    bool allowSubstitute = false;
    // --smooth: the "Smooth" box; at 2, 4 and 8 bpp rendered text is smoothed onto a palette ramp, and the
    // bank file says so.
    bool smooth = false;
    // --threshold 0..255, at --bpp 1 only: rendered text inks the pixels it covers at least this much.
    std::optional<std::uint8_t> threshold;
};

// `font glyph (--text TEXT | --load GLYPH.txt) [FONT] [GEOMETRY] [--bin-sort] [--bank-count N] [--strict]
// [--out DIR]`:
// renders TEXT as Enter in the entry box does (or loads the glyph file as "Load" does), then saves as the
// editor's "Save" does, N being the bank count in the file names.
struct FontGlyphJob {
    FontBoxes boxes;
    std::optional<std::string> text; // one or two characters (UTF-8)
    std::optional<std::string> load;
    std::size_t bankCount = 0;
    // --strict: characters the face lacks and ink the glyph cuts off fail the job before anything is
    // written; without it they are named on stderr and the job goes on.
    bool strict = false;
};

// `font bank (--ascii | --strings FILE | --range LIST) [FONT] [GEOMETRY] [--bin-sort] [--code [--half-word] [--palette]]
// [--strict] [--out DIR]`: fills an empty bank as "Ascii" or "Generate" does (Font_def.h for --strings),
// saves it as the bank's "Save" does and, with --code, generates the code as "Code" does.
struct FontBankJob {
    FontBoxes boxes;
    bool ascii = false;
    std::optional<std::string> stringsFile; // its lines are the memo's lines
    std::optional<std::u32string> range;    // --range LIST: the characters, in order, each once
    bool code = false;
    bool halfWord = false;
    settings::PaletteFormat paletteFormat = settings::PaletteFormat::Rgb888; // --palette rgb888|rgb666
    bool strict = false;            // --strict, as for font glyph
};

// `font save BANK.txt [--font FAMILY] [--size PT] [--style ...] [--allow-substitute] [--bin-sort] [--out
// DIR]`: loads BANK.txt into an empty bank as "Load" does and saves it as "Save" does, the font lines naming
// the font given.
struct FontSaveJob {
    FontBoxes boxes;
    std::string bankFile;
};

// `font code BANK.txt [--half-word] [--palette rgb888|rgb666] [--out DIR]`: loads BANK.txt into an empty bank
// and generates the code as "Code" does.
struct FontCodeJob {
    std::string bankFile;
    bool halfWord = false;
    settings::PaletteFormat paletteFormat = settings::PaletteFormat::Rgb888;
    std::string outputDirectory;
};

using FontJob = std::variant<FontGlyphJob, FontBankJob, FontSaveJob, FontCodeJob>;

// A --font value that names a font file rather than a family: PATH or PATH:N, the path holding a "/" or
// ending in a font file's extension (.ttf, .otf, .ttc, .otc), and the index of its face (0 when not given);
// nullopt for a family name. Throws UsageError for a face index too large.
std::optional<std::pair<std::string, int>> FontFileOf(const std::string& value);

// Parses the arguments after `font`. Throws UsageError.
FontJob ParseFontArgs(const std::vector<std::string>& args);

} // namespace cli
