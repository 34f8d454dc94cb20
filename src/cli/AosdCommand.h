#pragma once

#include "aosd/RlcEncoder.h"
#include "settings/Settings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cli {

// `aosd image IN.bmp OUT [--rlc k470a|k470e]`, `aosd sequence FIRST.bmp COUNT OUT [--rlc k470a|k470e]`,
// `aosd palette IN.bmp OUT [--hex] [--palette rgb888|rgb666]`, `aosd merge SRC...`: the AOSD tab's writers
// with the choices its controls would hold.
struct AosdJob {
    enum class Kind { Image, Sequence, Palette, Merge };
    Kind kind = Kind::Image;
    std::string picture;              // the picture "Open Picture" would open
    std::uint16_t count = 0;          // "Image Number:" of a sequence, 2..999
    std::string output;               // the path typed into the save dialog
    aosd::RlcOptions rlc;             // "RLC Enable" and the chip model
    bool hex = false;                 // "Hex Palette"
    settings::PaletteFormat paletteFormat = settings::PaletteFormat::Rgb888; // --palette
    std::vector<std::string> sources; // merge: the first starts a new merge, the rest are appended
};
AosdJob ParseAosdArgs(const std::vector<std::string>& args); // throws UsageError

} // namespace cli
