#pragma once

#include "base/Colour.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cli {

// One edit of `palette IN.bmp OUT.bmp [EDIT ...]`, applied as the Palette tab's button would be with left
// (and right) picked and, for Insert and Update, colour in the LEFT swatch.
struct PaletteEditStep {
    enum class Kind { Insert, Delete, Swap, Update, Invert };
    Kind kind = Kind::Insert;
    std::uint8_t left = 0;
    std::uint8_t right = 0;
    std::uint8_t count = 1;
    base::Colour colour = 0;
};
struct PaletteJob {
    std::string input;
    std::string output;
    std::vector<PaletteEditStep> edits;
};
PaletteJob ParsePaletteArgs(const std::vector<std::string>& args); // throws UsageError

} // namespace cli
