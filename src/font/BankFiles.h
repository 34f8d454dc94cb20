#pragma once

#include "base/Error.h"
#include "base/FileProblem.h"
#include "base/OutputFile.h"
#include "font/FontBank.h"
#include "font/TextRenderer.h"
#include "settings/Settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace font {

// The bank's "Save" and "Load".
//
// FontBank.txt (text, CR LF) holds one block per glyph: five lines describing the font current at saving
// time (";FontFace=", ";FontCharSet=", ";FontHeight=", ";FontSize=", ";FontStyle=" with the style as the
// number Bold 1 + Italic 2 + Underline 4 + StrikeOut 8), ";BPPi=", ";Xi=", ";Yi=", the palette, and every
// word as a word line, with ";UFONT %02X " before every 16 words, numbered over the whole file from 00 and
// wrapping after FF. FontBank.bin holds the words' bytes split as BinSort orders them (SplitWordBytes).

inline constexpr const char* kBankTextName = "FontBank.txt";
inline constexpr const char* kBankBinaryName = "FontBank.bin";
inline constexpr const char* kCreateFontFileError = "Create FONT File Error !!!";

// The line a bank saved with "Smooth" on carries after each block's font lines. Readers that do not know it
// pass over it (a ";" line whose second and third characters name nothing they read), so such a file loads
// the same glyphs everywhere.
inline constexpr const char* kSmoothLine = ";Smooth=1\n";

// FontBank.txt's content with "\n" line ends (CR LF once written); with smooth, every block carries
// kSmoothLine after its font lines.
std::string BankText(const FontBank& bank, const FontChoice& currentFont, bool smooth = false);
// FontBank.bin's bytes.
std::string BankBinary(const FontBank& bank, settings::BinSort binSort);

struct BankSaveResult {
    bool ran = false;      // false: the bank is empty and no file was touched
    base::Failure failure; // "Create FONT File Error !!!"
    // FontBank.txt and FontBank.bin once both are written (in place once a set the save joined commits).
    std::vector<std::string> written;
    base::FailureDetail detail; // each file that could not be written, with the system's reason
};

// "Save": writes FontBank.txt and FontBank.bin into outputDirectory (empty: the working directory; see
// base::OutputDirectory for how messages name the files), replacing both together or neither. An empty bank
// touches nothing. When either file cannot be created or completed (a folder that refuses temporary files, a
// full disk), neither is changed and the result says "Create FONT File Error !!!", its detail which file
// failed and why.
BankSaveResult SaveBank(const FontBank& bank, const FontChoice& currentFont, settings::BinSort binSort,
                        const base::OutputDirectory& outputDirectory, bool smooth = false);
// The same as part of a larger job: both files join outputs, and nothing is in place before
// outputs.Commit(); a failure fails outputs.
BankSaveResult SaveBank(const FontBank& bank, const FontChoice& currentFont, settings::BinSort binSort,
                        const base::OutputDirectory& outputDirectory, base::OutputSet& outputs,
                        bool smooth = false);

// The open dialog's settings for the bank's "Load".
inline constexpr const char* kBankFileFilter = "Font Bank File(*.txt)|*.txt|All File(*.*)|*.*";

struct BankLoadResult {
    // "Open FONT File Error !!!" (nothing was read), or how many glyphs had to be skipped because their
    // ";BPPi", ";Xi" or ";Yi" named no item of the boxes (the others were added).
    base::Failure failure;
    base::FailureDetail detail; // "Open FONT File Error !!!": the file and why it could not be read
    std::size_t Added = 0;
    int Skipped = 0;
    // What the font boxes show after the load: the text after "=" of the last ";FontFace=",
    // ";FontCharSet=", ";FontHeight=", ";FontSize=" line, and for ";FontStyle=" "Normal", the style text,
    // or "" (a number whose low 8 bits are above 15). Boxes the file names nothing for keep their text.
    // CurrentFont is not changed by a load.
    std::optional<std::string> Face, Charset, Height, Size, Style;
    // The file was saved with "Smooth" on (it carries kSmoothLine); the glyphs load the same either way.
    bool Smooth = false;
};

// Whether the file at path is a bank file rather than a glyph file: its start (the first 64 KiB) holds a
// ";FontFace=" line, which every block of a bank file begins with and a glyph file never holds. A file that
// cannot be read is none.
bool IsBankFile(const std::string& path);

// "Load" of the file at path (the tab has run the open dialog): appends the file's glyphs to the bank, in
// file order, until the file ends or the bank holds 256 glyphs. A glyph starts at a ";UFONT" line with the
// ";BPPi", ";Xi", ";Yi" and palette read last (currentPalette until a ";Palette" line is read) and ends
// with its last word; a glyph the file ends inside is dropped, and word lines outside a glyph are ignored.
// A file that cannot be read (or is larger than 64 MiB) gives "Open FONT File Error !!!" and the bank is
// unchanged.
BankLoadResult LoadBankFile(FontBank& bank, const std::string& path, const Palette& currentPalette);
// The same for the file's content.
BankLoadResult LoadBankText(FontBank& bank, std::string_view content, const Palette& currentPalette);

} // namespace font
