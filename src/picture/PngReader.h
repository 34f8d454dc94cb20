#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace picture {

// Whether a picture file is read as PNG: its bytes start with the PNG signature, or its name ends in ".png"
// (any case), so that a damaged PNG is refused by the PNG reader with its reason rather than as "not a BMP".
bool IsPngPicture(std::span<const std::uint8_t> head, const std::string& name);

// The BMP that holds the same picture as a PNG, so that every reader and job of BMP files takes a PNG
// unchanged and writes the same bytes as for that BMP:
// - indexed PNGs of 1, 2, 4 and 8 bits become a BMP of that depth with the PNG's own index bytes; the colour
//   table has 2^depth entries (the PLTE, padded with black when shorter); tRNS is ignored;
// - greyscale PNGs of 1, 2, 4 and 8 bits become an indexed BMP of that depth whose table is the grey ramp
//   (2, 4, 16 or 256 entries from black to white), so that the index of a pixel is its grey level;
// - every other PNG (truecolour, greyscale with alpha, 16 bits a sample) becomes a BMP of 24 bits a pixel
//   (32 with an alpha channel, which BMP readers ignore), each sample cut to 8 bits: it gets whatever a BMP of
//   that depth gets.
// The BMP has the 14-byte file header, the 40-byte information header (positive height: rows bottom row
// first, no compression, image size, resolution from pHYs in pixels per metre or 0 without it or with an
// aspect ratio only, colours used 2^depth for indexed pictures and 0 otherwise, important colours 0), the
// colour table and rows padded to 4 bytes; bits past the last pixel of a row are 0. Interlaced PNGs give the
// same BMP as their plain twins.
// Throws base::Error ("Cannot read the picture "NAME": REASON.") for a PNG that libpng cannot read, with
// libpng's reason (a bad signature, a CRC error, data cut short, ...), and for a picture larger than 65535
// pixels a side or 2^24 pixels in all, before any pixel memory is taken.
std::vector<std::uint8_t> PngToBmp(std::span<const std::uint8_t> png, const std::string& name);

} // namespace picture
