#pragma once

#include "aosd/AosdDecoder.h"
#include "font/GlyphDecoder.h"
#include "osd/OsdDecoder.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

// `decode osd|aosd|glyph|bank|merge ...`: every output of Tavix read back, into a PNG (or, for a merge, the
// files it was made of).
struct DecodeJob {
    enum class Kind { Osd, Aosd, Glyph, Bank, Merge };
    Kind kind = Kind::Osd;
    std::string input;                  // BASE, IMAGE.bin, GLYPH_FILE, FontBank.txt|.bin, MERGED.BIN
    std::string table;                  // merge: MERGED_TBL.TXT
    std::string out;                    // PREVIEW.png, or the folder of a merge's files
    osd::OsdDecodeOptions osd;          // osd
    aosd::AosdDecodeOptions aosd;       // aosd (width and height required)
    std::optional<std::string> palette; // aosd: PALETTE.bin|.txt; bank .bin: a file with ";Palette"
    settings::PaletteFormat paletteFormat = settings::PaletteFormat::Rgb888; // aosd: of the palette file
    bool bankBinary = false;            // bank: the input ends in ".bin"
    font::BankBinaryOptions bank;       // bank .bin
};
DecodeJob ParseDecodeArgs(const std::vector<std::string>& args); // throws UsageError

} // namespace cli
