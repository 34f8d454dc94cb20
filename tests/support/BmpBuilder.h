#pragma once

#include "base/Colour.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// How the pixels of a built file are stored.
enum class BmpCompression { None, Rle8, Rle4, BitFields };

// Which codes the RLE encoder uses besides runs, absolute blocks, an end-of-line code after every row and an
// end-of-bitmap code at the end.
struct RleCodes {
    bool deltas = false;       // four or more pixels of index 0 in a row (also across rows) are skipped with
                               // delta codes, or with end-of-bitmap when nothing but index 0 follows
    bool endRowsEarly = false; // index-0 pixels that end a row (after others) are left to its end-of-line
    bool oddRle4Blocks = true; // false: an RLE4 absolute block of odd length gives its last pixel to a run
};

// Describes a BMP file to build. Pixels are palette indices, top row first; the builder packs them at the
// given depth (leftmost pixel in the high bits), pads rows to 4 bytes and stores them bottom row first
// unless topDown. Header fields can be overridden to make broken or unusual files.
struct BmpLayout {
    int width = 0;
    int height = 0;
    int bpp = 8;
    bool topDown = false;
    std::vector<base::Colour> palette; // colour-table entries written, 0x00BBGGRR
    std::vector<std::uint8_t> indices; // width * height, top row first

    std::uint16_t reserved1 = 0;
    std::uint16_t reserved2 = 0;
    std::optional<std::uint32_t> bfSize;
    std::optional<std::uint32_t> bfOffBits;
    std::optional<std::uint32_t> biSize;
    std::optional<std::uint16_t> biBitCount;
    std::optional<std::uint32_t> biCompression;
    std::optional<std::uint32_t> biClrUsed;
    std::optional<std::int32_t> biWidth;
    std::optional<std::int32_t> biHeight;

    // The information header written: 12 (OS/2: 16-bit sizes, 3-byte colour entries, no compression), 40,
    // 52 and 56 (with the bit-field masks), 64 (OS/2 2.x), 108 and 124 bytes (colour space "sRGB").
    int infoSize = 40;
    BmpCompression compression = BmpCompression::None; // sets biCompression unless that is overridden
    RleCodes rle;
    // For 16, 24 and 32 bpp: each pixel's stored value, top row first (2, 3 or 4 bytes, little-endian).
    std::vector<std::uint32_t> values;
    // Red, green, blue and alpha masks: in the header from 52 (alpha from 56) bytes on; after a 40-byte
    // header (red, green, blue) only for BitFields.
    std::uint32_t masks[4] = {0, 0, 0, 0};
    std::vector<std::uint8_t> trailing; // bytes after the pixel data, counted in the default bfSize
    std::uint32_t xPelsPerMeter = 2835; // the resolution fields of the headers of 40 bytes and more
    std::uint32_t yPelsPerMeter = 2835;
};

std::vector<std::uint8_t> BuildBmp(const BmpLayout& layout);

// The pixel data BuildBmp stores for layout: rows in file order, or the RLE stream.
std::vector<std::uint8_t> PixelDataOf(const BmpLayout& layout);

// Row size in bytes of a picture w pixels wide at bpp, padded to 4.
int StrideOf(int width, int bpp);

// A picture whose pixel (x, y) is f(x, y).
template <typename F> std::vector<std::uint8_t> IndicesOf(int width, int height, F f) {
    std::vector<std::uint8_t> out(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out[static_cast<size_t>(y * width + x)] = static_cast<std::uint8_t>(f(x, y));
    return out;
}

// A palette of n distinct colours, entry i = MakeColour(i * 7 + 1, 255 - i, i * 3) (distinct for i < 256).
std::vector<base::Colour> DistinctPalette(int n);

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFile(const std::string& path);
std::string ReadText(const std::string& path);

// A fresh directory under the system's temporary directory, removed with everything in it at the end.
class TempDir final {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Changes the current directory for a scope and goes back at its end.
class CurrentDirectory final {
public:
    explicit CurrentDirectory(const std::string& dir);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::string previous_;
};

} // namespace testsupport
