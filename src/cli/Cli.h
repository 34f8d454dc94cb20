#pragma once

#include "base/Colour.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// Exit codes of tavix-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // the job failed: a refused picture, a file that cannot be written
inline constexpr int kExitUsage = 2;   // the command line is wrong

// A command line that cannot be run; the text is the one-line message for stderr.
struct UsageError {
    std::string message;
};

// `osd SHEET.bmp [--cell 12..16] [--code c|asm] [--palette rgb888|rgb666] [--reduce] [--2bpp] [--out DIR]
// [--save-reduced OUT.bmp]`: the OSD tab's job with the choices its menus and check box would hold.
struct OsdJob {
    std::string sheet;
    std::int32_t fontSize = 4;      // --cell minus 12
    std::int32_t codeFormat = 1;    // c
    std::int32_t paletteFormat = 1; // rgb888
    bool reduce = false;
    bool to2Bpp = false;
    std::string outputDirectory; // empty: the current directory
    std::optional<std::string> saveReduced;
};
OsdJob ParseOsdArgs(const std::vector<std::string>& args); // throws UsageError

// One edit of `palette IN.bmp OUT.bmp [EDIT ...]`, applied as the Palette tab's button would be after
// picking the entries (and, for Insert and Update, the LEFT colour).
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

// Runs tavix-cli with args (without the program name), writing results to out and messages to err.
// Returns the exit code. Never creates a window and never reads the settings file.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace cli
