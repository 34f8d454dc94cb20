#pragma once

#include "aosd/AosdState.h"
#include "aosd/RlcEncoder.h"
#include "base/Colour.h"
#include "base/Error.h"
#include "picture/IndexedImage.h"
#include "settings/Settings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace aosd {

// Reading AOSD image data back into palette indices, as the display controller reads it.

struct AosdDecodeOptions {
    std::uint32_t width = 0;  // of one picture
    std::uint32_t height = 0; // of one picture
    std::uint32_t frames = 1; // pictures of a sequence file, back to back
    RlcOptions rlc;           // raw (rlc.rlc false) or RLC with the chip's count bias
};

struct AosdDecoded {
    // The indices of the rows decoded whole, row 0 the top row of the first frame; the frames follow each
    // other downwards. rows * width bytes.
    std::vector<std::uint8_t> pixels;
    std::uint32_t rows = 0;
    // Damaged data: what is wrong, the offset of the first byte of the code that fails (the literal that
    // starts a long run, a marker with no pixel before it in its row, the end of a stream cut short, the
    // first byte left over after the last row) and the row it was in. Decoding stops there.
    base::Failure failure;
    std::size_t failureOffset = 0;
};

// Decodes frames * height rows of width pixels. RLC: a byte other than 0xFF is a pixel; 0xFF repeats the
// pixel before it in the row, the count bytes after it (one byte up to 127, or count - 1 in 7-bit groups,
// least significant first, bit 7 marking that more follow) plus the chip's bias giving the run's whole
// length. Raw: a byte a pixel. Fails for a run past its row's end, a marker that starts a row, a stream that
// ends early and bytes left after the last row. Never reads outside stream.
AosdDecoded DecodeAosdImage(std::span<const std::uint8_t> stream, const AosdDecodeOptions& options);

// A palette file as "Write Palette" writes it: 768 bytes (256 red, 256 green, 256 blue), or the 51-line text
// form ("// Palette_Red x 256" and 16 lines of "0x%02X," items for each component). RGB666 values (0..63)
// are scaled to 8 bits as v * 255 / 63, rounded. Nothing, with the reason in *problem, for any other file
// or an RGB666 value above 63.
std::optional<std::vector<base::Colour>> ParseAosdPalette(std::span<const std::uint8_t> file,
                                                          settings::PaletteFormat format, std::string* problem);

// Pixels that differ between two index pictures of the same size (the shorter one's missing pixels count).
std::size_t DifferingPixels(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b);

// The AOSD tab's preview after "Write Image" or "Write Multi Images": the output read back as the controller
// reads it, beside the pictures it was made from, read again from their files.
struct AosdPreview {
    picture::IndexedImage source;  // the pictures' own indices, frame under frame, with the opened picture's palette
    picture::IndexedImage decoded; // the output decoded, the same size (rows it could not decode stay 0)
    std::vector<std::size_t> differingPerFrame;
    std::size_t differing = 0;     // pixels that differ in all (255 written as 254 counts)
    base::Failure failure;         // damaged output, or a member that can no longer be read
};

// For the output state.AosdOutputPath of the opened picture (sequence false) or of the members of its
// sequence that exist (sequence true), coded with rlc.
AosdPreview PreviewAosdOutput(const AosdState& state, const RlcOptions& rlc, bool sequence);

// "identical", or "N differing pixels" ("1 differing pixel").
std::string DifferingText(std::size_t differing);

} // namespace aosd
