#pragma once

#include "aosd/AosdPicture.h"
#include "aosd/RlcEncoder.h"
#include "settings/Settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace aosd {

// The path an output is written to: the chosen one, with defaultExtension added when it holds no '.'
// anywhere (a dot in a directory name counts).
std::string AosdOutputPathFor(const std::string& chosen, const std::string& defaultExtension);

// The names the save dialog proposes: the base name, then "-x" and the count for a sequence, then "_rlc"
// for RLC streams; "_pal" for a palette.
std::string ProposedImageName(const std::string& baseName, bool rlc);
std::string ProposedSequenceName(const std::string& baseName, std::uint16_t count, bool rlc);
std::string ProposedPaletteName(const std::string& baseName);

// Whether baseName ends in a decimal digit, as a sequence needs it to.
bool EndsInNumber(const std::string& baseName);
// The message for a base name that does not end in a digit.
std::string NoSequenceMessage(const std::string& baseName);

// The name of member i (0 the opened picture) of the sequence that starts at baseName: the number N that
// baseName ends in, plus i, in decimal without leading zeros, replaces the last as many characters of
// baseName as it has digits. So a zero-padded number keeps its width (anim008, anim009, anim010), a longer
// number eats into the name (logo9, then log10), and a number longer than the whole name stands alone.
// Every digit of N counts, however many there are. A baseName without a trailing digit counts from 0.
std::string SequenceMemberName(const std::string& baseName, std::uint32_t i);

// What the "Information" rows show after an image or a sequence was written.
struct ImageWriteResult {
    std::optional<std::string> failure; // a refused picture or sequence; nothing was written
    std::string fileName;               // "File Name:": the opened picture's file name
    std::uint16_t width = 0;            // "Image Width:", "Image Height:": the opened picture's size
    std::uint16_t height = 0;
    std::int64_t writeSize = 0;     // "Write Size:"
    std::int64_t rawSize = 0;       // the pixels behind it, for "Compress Percent:"
    std::int64_t changedPixels = 0; // pixels of index 255 the RLC code wrote as 254 (a sequence's total)
};

// "Write Image": rereads the opened picture (state.AosdPicturePath), codes it and writes the stream to
// AosdOutputPathFor(chosen, ".bin"), which becomes state.AosdOutputPath. A picture that is now refused, or
// whose size is no longer the opened one, gives failure and writes nothing; so does an output that is the
// picture itself ("the output NAME is the input", by device and inode). Throws base::Error when the file at
// the path cannot be read as a BMP or the output cannot be written (the message names the file and the
// reason: "cannot write NAME: File too large"); the old output is then untouched. On success the reread
// picture (0xFF pixels turned into 0xFE when coded) is the one shown.
ImageWriteResult WriteAosdImage(AosdState& state, const RlcOptions& options, const std::string& chosen);

// "Write Multi Images": the streams of the members of the sequence that starts at the opened picture,
// state.AosdImageCount of them, back to back in AosdOutputPathFor(chosen, ".bin"). Members that do not
// exist are skipped. A base name that does not end in a digit, an output that is one of the members ("the
// output NAME is the input"), or a member that is refused or whose size differs from the opened picture's,
// gives failure and leaves the output as it was; so does a member that cannot be read (or is not a regular
// file), with base::Error. With no member at all the output is an empty file. On success the last
// member written is the picture shown and the sizes are the sequence's totals.
ImageWriteResult WriteAosdSequence(AosdState& state, const RlcOptions& options, const std::string& chosen);

// The binary palette: 256 red, then 256 green, then 256 blue bytes. RGB666 shifts each component right by 2;
// RGB888 keeps it.
std::vector<std::uint8_t> BinaryPalette(const PaletteTable& table, settings::PaletteFormat paletteFormat);

// The hexadecimal palette text, 51 lines without their line ends: "// Palette_Red x 256", 16 lines of 16
// "0x%02X," items, and the same for green and blue.
std::vector<std::string> HexPaletteLines(const PaletteTable& table, settings::PaletteFormat paletteFormat);

// "Write Palette": the binary palette, or with hex the text lines each ended by CR LF, written to
// AosdOutputPathFor(chosen, hex ? ".txt" : ".bin"), which becomes state.AosdOutputPath and is returned.
// Throws base::Error when it cannot be written, or is the opened picture itself ("the output NAME is the
// input"); the old file is then untouched.
std::string WriteAosdPalette(AosdState& state, const PaletteTable& table,
                             settings::PaletteFormat paletteFormat, bool hex, const std::string& chosen);

} // namespace aosd
