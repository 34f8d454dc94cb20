#pragma once

#include "aosd/AosdPicture.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace aosd {

// The two controller models read the repeat count of a long run with a different bias.
enum class ChipModel { K470A, K470E };

struct RlcOptions {
    bool rlc = false; // "RLC Enable": run-length code the rows; otherwise the pixels go out as they are
    ChipModel chip = ChipModel::K470A;
};

// Runs of this many pixels or more are coded with the repeat marker; the stored count is the run length
// minus the chip's bias.
constexpr int kMarkerRun = 5;
constexpr std::uint8_t kRepeatMarker = 0xFF;
constexpr int CountBias(ChipModel chip) {
    return chip == ChipModel::K470A ? 3 : 4;
}

// Codes one row of palette indices into out and returns the number of bytes written, never more than
// width. A pixel 0xFF would read as the repeat marker, so the row's 0xFF pixels are first turned into 0xFE
// in place (the picture the user sees changes with the stream); changed, when given, grows by their
// number. Runs do not reach beyond the row.
//
// The code: a byte 0x00..0xFE is one pixel. A run of 2 to 4 equal pixels is that many copies; a run of
// L >= 5 is the pixel, 0xFF, and the count c = L - CountBias(chip): c <= 127 is one byte; 128 has no code
// and is written as 127 followed by one more copy of the pixel; c >= 129 is c - 1 in 7-bit groups, least
// significant first, bit 7 set on every byte but the last.
std::size_t EncodeRlcRow(std::uint8_t* row, std::size_t width, ChipModel chip, std::uint8_t* out,
                         std::size_t* changed = nullptr);

// One picture's stream and its sizes.
struct EncodedImage {
    std::span<const std::uint8_t> stream; // writeSize bytes, in the caller's buffer or the picture itself
    std::int64_t writeSize = 0;           // bytes of the stream
    std::int64_t rawSize = 0;             // width * height
    std::int64_t changedPixels = 0;       // pixels of index 0xFF the RLC code wrote as 0xFE
};

// The stream of picture, rows from the top: with RLC each row coded by EncodeRlcRow (which turns the
// picture's 0xFF pixels into 0xFE) into buffer, grown to width * height bytes when it is smaller, so that
// one buffer serves a whole sequence; otherwise the picture's own pixel bytes, unchanged. The stream stays
// valid until buffer or the picture changes. One pass over the pixels. Never fails; an empty picture gives
// an empty stream.
EncodedImage EncodeAosdImage(AosdPicture& picture, const RlcOptions& options,
                             std::vector<std::uint8_t>& buffer);

// What the user is told about pixels of index 255 the RLC code wrote as 254: "126 pixels of index 255
// written as 254" ("1 pixel ..."), or nothing for none.
std::string ChangedPixelsNote(std::int64_t changedPixels);

// The saving of a stream against the raw pixels, as "Compress Percent:" shows it: (raw - written) * 100
// / raw with the fraction dropped, and "%". Totals of long sequences pass 2^31 / 100 bytes, so the sums are
// 64-bit. Nothing raw (an empty sequence) saves nothing: "0%".
std::string CompressPercentText(std::int64_t rawSize, std::int64_t writeSize);

} // namespace aosd
