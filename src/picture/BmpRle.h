#pragma once

#include <cstddef>
#include <cstdint>

namespace picture {

// The biCompression values of a BMP information header, shared by the picture reader and the loader.
inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiRle8 = 1;
inline constexpr std::uint32_t kBiRle4 = 2;
inline constexpr std::uint32_t kBiBitFields = 3;
inline constexpr std::uint32_t kBiJpeg = 4;
inline constexpr std::uint32_t kBiPng = 5;

// Where an RLE-compressed BMP pixel stream is expanded to: height rows of stride bytes, in the order the file
// stores them (row 0 is the first row the stream describes), each pixel an index packed at bitsPerIndex
// (1, 2, 4 or 8) with the leftmost pixel in the most significant bits. The caller zeroes the rows first:
// pixels the stream skips (delta and end-of-line codes, a stream that stops early) keep index 0.
struct RleTarget {
    std::uint8_t* rows = nullptr;
    std::size_t stride = 0;
    int bitsPerIndex = 8;
    int width = 0;
    int height = 0;
};

// Expands a BI_RLE8 (rle4 false) or BI_RLE4 (rle4 true) stream of size bytes into target. Pixels a run or an
// absolute block would put past the end of its row are dropped, a delta that leaves the picture ends it;
// nothing is written outside width x height and nothing is read outside data. Returns true when the stream
// is complete: it reached an end-of-bitmap code or moved past the last row, or its bytes ran out with the
// last row filled. False means the stream was cut short (the rest of the picture stays as it was).
bool ExpandBmpRle(const std::uint8_t* data, std::size_t size, bool rle4, const RleTarget& target);

} // namespace picture
