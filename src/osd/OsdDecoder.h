#pragma once

#include "base/Colour.h"
#include "base/Error.h"
#include "osd/OsdFont.h"
#include "picture/IndexedImage.h"
#include "settings/Settings.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace osd {

// Reading Generate's outputs back into the picture the font RAM holds.

// How the planes were written: the sheet's depth (1, 2, 4 or 8), the 2BPP choice (4 bpp only: two planes a
// group, so each pixel keeps the low two bits of its index), the cell width 12..16 and the palette tables'
// format.
struct OsdDecodeOptions {
    int bpp = 8;
    bool to2Bpp = false;
    int cellWidth = 16;
    settings::PaletteFormat paletteFormat = settings::PaletteFormat::Rgb888;
};

// Plane bytes one cell puts into the MSB and into the LSB outputs.
int MsbBytesPerCell(const OsdDecodeOptions& options);
int LsbBytesPerCell(const OsdDecodeOptions& options);

// The pixel columns of a cell the planes hold: at 4 bpp an odd width leaves out its last column, at 2 bpp
// only 12 or 16 columns are taken; the other columns decode as index 0.
int HeldColumns(const OsdDecodeOptions& options);

struct OsdDecoded {
    // 16 * cellWidth pixels wide and 16 * ceil(cells / 16) high: cell k at ((k mod 16) * cellWidth,
    // (k div 16) * 16), each pixel the index the planes hold. No palette (DecodeOsdFiles adds it).
    picture::IndexedImage image;
    int cells = 0;
    // The planes do not hold whole cells, or MSB and LSB hold different numbers of cells; image holds the
    // cells both hold whole.
    base::Failure failure;
};

// The cells of the MSB and LSB plane bytes, as Generate writes them to B_MSB.bin and B_LSB.bin (at 2 bpp to
// the text files only).
OsdDecoded DecodeOsdPlanes(std::span<const std::uint8_t> msb, std::span<const std::uint8_t> lsb,
                           const OsdDecodeOptions& options);

// The bytes of a plane text file: "0x%02X," items, line ends and blanks between them ignored. Nothing, with
// the offset of the first character that is not part of such an item in *badOffset, for anything else.
std::optional<std::vector<std::uint8_t>> ParsePlaneText(std::string_view text, std::size_t* badOffset);

// The 256 values of a palette table, in C ("0x1F,") or ASM ("01Fh,") form. Nothing, with the reason in
// *problem, for a table that holds anything else or not exactly 256 values.
std::optional<std::array<std::uint8_t, 256>> ParsePaletteTable(std::string_view text, std::string* problem);

// An RGB666 component (0..63) as 8 bits: v * 255 / 63, rounded to the nearest.
constexpr std::uint8_t ScaleRgb666(std::uint8_t v) {
    return static_cast<std::uint8_t>((v * 255 + 31) / 63);
}

// The colours of the three tables: RGB888 values as they are, RGB666 ones scaled. Nothing, with the reason in
// *problem, for an RGB666 table holding a value above 63 (a table written as RGB888).
std::optional<std::vector<base::Colour>> OsdPaletteOf(const std::array<std::uint8_t, 256>& red,
                                                      const std::array<std::uint8_t, 256>& green,
                                                      const std::array<std::uint8_t, 256>& blue,
                                                      settings::PaletteFormat format, std::string* problem);

struct OsdFilesDecoded {
    OsdDecoded decoded;          // the image with the tables' palette
    base::Failure failure;       // a file that cannot be read or parsed, or cells that do not add up
    std::vector<std::string> lines; // what was found, a line each ("48 cells of 16 x 16 pixels, 8 bpp", ...)
};

// Reads BASE_MSB.bin and BASE_LSB.bin (at 2 bpp BASE_MSB.txt and BASE_LSB.txt) and BASE_R.txt, BASE_G.txt and
// BASE_B.txt, and decodes them. A failure of a plane file leaves the image empty; a failure of the tables
// leaves the image with no palette.
OsdFilesDecoded DecodeOsdFiles(const std::string& base, const OsdDecodeOptions& options);

// The OSD tab's preview: Generate's files decoded, and the cells whose colours differ from the sheet's.
struct OsdPreview {
    OsdFilesDecoded files;
    // Per decoded cell: its pixels do not show the colours of the same cell of the sheet (cells taken from
    // the sheet row of cells by row of cells, as Generate takes them). Colours are compared as the palette
    // format keeps them (RGB666: the top six bits of each component).
    std::vector<bool> mismatched;
    int mismatchedCells = 0;
};

// Compares the decoded cells with sheet (the picture as opened, its colours).
std::vector<bool> MismatchedCells(const picture::IndexedImage& decoded, int cells,
                                  const std::vector<base::Colour>& sheetPixels, int sheetWidth, int sheetHeight,
                                  const OsdDecodeOptions& options);

// Decodes the files at base and compares them with the sheet.
OsdPreview PreviewOsdFiles(const std::string& base, const OsdDecodeOptions& options,
                           const std::vector<base::Colour>& sheetPixels, int sheetWidth, int sheetHeight);

// How the files a Generate run with options wrote for a sheet of that depth are read back, and the path
// (without the "_MSB.bin" etc.) they were written under. Nothing for a run that writes no cells (a source
// that is not ".bmp" or ".png", a depth other than 1, 2, 4 and 8).
struct GeneratedFiles {
    std::string base;
    OsdDecodeOptions options;
};
std::optional<GeneratedFiles> GeneratedFilesOf(const OsdOptions& options, int bitsPerPixel);

} // namespace osd
