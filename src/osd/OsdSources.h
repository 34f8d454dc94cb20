#pragma once

#include "base/Colour.h"
#include "base/OutputFile.h"
#include "settings/Settings.h"

#include <cstdint>

namespace osd {

// Writes the palette arrays abPALETTE_{R,G,B}k_{LSB,MSB} of the first count entries of table (256 colour
// values; entries past 256 read as 0) and the routine Palette_Init, with 8-bit components (RGB888) or 6-bit
// ones (RGB666). Writes "\n" for a line end; the file's mode decides its bytes. The file
// must be open and stays open.
void WritePaletteSource(base::OutputFile& file, const base::Colour* table, std::uint16_t count,
                        settings::PaletteFormat paletteFormat);

// Writes the routine FONT_Init with `blocks` pairs of MSB/LSB transfer lines, two blocks a bank. A full
// sheet of 256 cells at 8 bpp takes 256 blocks, banks 0 to 127.
void WriteFontInitSource(base::OutputFile& file, unsigned blocks);

} // namespace osd
