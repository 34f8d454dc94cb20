#pragma once

#include "settings/Settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// `osd SHEET.bmp [--cell 12..16] [--code c|asm] [--palette rgb888|rgb666] [--reduce] [--2bpp] [--out DIR]
// [--save-reduced OUT.bmp]`: the OSD tab's job with the choices its menus and check box would hold.
struct OsdJob {
    std::string sheet;
    settings::FontSize fontSize;                                             // --cell, 16
    settings::CodeFormat codeFormat = settings::CodeFormat::C;               // --code, c
    settings::PaletteFormat paletteFormat = settings::PaletteFormat::Rgb888; // --palette, rgb888
    bool reduce = false;
    bool to2Bpp = false;
    std::string outputDirectory; // --out; empty: the working directory
    std::optional<std::string> saveReduced;
};
OsdJob ParseOsdArgs(const std::vector<std::string>& args); // throws UsageError

} // namespace cli
