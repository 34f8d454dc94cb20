#pragma once

#include "picture/IndexedImage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace picture {

// The PNG of an indexed picture: 8 bits a pixel, colour type palette, the index bytes as they are, and a
// PLTE of the image's palette, padded with black up to the highest index used (so that every index has an
// entry, as PNG readers require). Non-interlaced, no other chunks. Throws base::Error for a picture that PNG
// cannot hold (no pixels, more than 2^31 - 1 pixels a side) or a palette of more than 256 entries.
std::vector<std::uint8_t> EncodeIndexedPng(const IndexedImage& image);

// The PNG of a picture of colours: 8-bit RGB, non-interlaced. Throws base::Error as EncodeIndexedPng.
std::vector<std::uint8_t> EncodeColourPng(const ColourPicture& picture);

// Writes png to path through OutputFile (a file replaced only once every byte is written). Throws base::Error
// naming the file and the reason when it cannot be written.
void WritePngFile(const std::string& path, const std::vector<std::uint8_t>& png);

} // namespace picture
