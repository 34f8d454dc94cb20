#pragma once

#include "base/Error.h"
#include "base/Note.h"
#include "base/OutputFile.h"
#include "picture/BmpLoader.h"
#include "settings/Settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace osd {

// What "Generate" reads besides CurrentBitmap.
struct OsdOptions {
    std::string sourcePath;      // the file name the open dialog holds; names the outputs
    settings::FontSize fontSize; // the cell: CellWidth x 16 pixels
    settings::CodeFormat codeFormat = settings::CodeFormat::C; // of the palette tables only
    settings::PaletteFormat paletteFormat = settings::PaletteFormat::Rgb888;
    bool to2Bpp = false;         // "Generate to 2BPP output"; only looked at when BitsPerPixel is 4
    base::OutputDirectory outputDirectory; // where the outputs go; empty: the working directory
};

// The options "Generate" runs with: the settings' cell width, code format and palette format, the source
// file name and the 2BPP choice. The OSD tab and tavix-cli both build them here, so they cannot drift apart.
inline OsdOptions MakeOsdOptions(const settings::Settings& settings, std::string sourcePath, bool to2Bpp,
                                 base::OutputDirectory outputDirectory = {}) {
    OsdOptions options;
    options.sourcePath = std::move(sourcePath);
    options.fontSize = settings.FontSize();
    options.codeFormat = settings.CodeFormat();
    options.paletteFormat = settings.PaletteFormat();
    options.to2Bpp = to2Bpp;
    options.outputDirectory = std::move(outputDirectory);
    return options;
}

struct GenerateResult {
    bool ran = false;      // false: the source is not a ".bmp" or ".png" file and nothing was done
    base::Failure failure; // a font output that could not be created or written, the message
    // The " OK !" statuses in the order they were made (none after a failure), then, when the sheet has more
    // cells than FONT_Init loads, the detail "FONT_Init loads the first 256 of N cells".
    base::Notes notes;
    int cellCount = 0; // cells processed
};

// Cuts bitmap into cells of the font size's width x 16 pixels, row of cells by row of cells, and writes
// B_R.txt, B_G.txt, B_B.txt, B_MSB.bin, B_LSB.bin, B_MSB.txt, B_LSB.txt, B.C and, at 1 bpp, B_1BPP.txt, B
// being the source's file name without its last four characters. The palette tables hold the file's 256
// colour-table entries, B.C the first ColourCount entries of ColourTable; after Reduce Palette both hold the
// reduced palette the pixels index (the tables followed by zeros). B.C's FONT_Init loads the first 256 cells
// (min(cells, 256) x bpp / 8 blocks of 128 bytes). The files of a run are replaced together at its end, or
// none of them. A palette table that cannot be created is skipped and gets no note; the run goes on. A font
// output that cannot be created or completed (a folder that refuses temporary files, a full disk, a size
// limit) ends the run with failure, which names the file (in the output directory) and the reason ("cannot
// replace B.C safely: Permission denied"); no file changes then and there are no notes. Reads nothing outside
// bitmap.Pixels: bytes past its end count as zero.
GenerateResult GenerateOsdFont(const picture::CurrentBitmap& bitmap, const OsdOptions& options);
// The same as part of a larger job (tavix-cli's `osd --save-reduced`): the files join outputs and are in
// place only after outputs.Commit(); the notes are those to show once they are. A failure fails outputs.
GenerateResult GenerateOsdFont(const picture::CurrentBitmap& bitmap, const OsdOptions& options,
                               base::OutputSet& outputs);

// The plane bytes of a group of eight pixel values g[0..7]: plane byte b holds bit b of every value, the
// first value in bit 7. Writes `bits` bytes to out, plane 0 first.
void PlaneBytes(const std::uint8_t g[8], int bits, std::uint8_t* out);

// The cw-bit value (cw 1..16) of one row of a 1-bpp cell whose first pixel is column x: rowStart is the byte
// of Pixels that holds that first pixel (the cell's start plus r * BytesPerRow), the pixel being its bit
// 7 - x % 8. Bit cw - 1 of the result is the pixel at column x. The pixels past the row's stored bits
// (x + cw > 8 * BytesPerRow) are cleared; bytes past the end of Pixels read as zero.
std::uint16_t OneBppRow(const picture::CurrentBitmap& bitmap, std::size_t rowStart, int x, int cw);

} // namespace osd
