#pragma once

#include "base/Colour.h"
#include "base/OutputFile.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace picture {

// A picture as a picture control holds it: what each pixel shows, and for an indexed picture the colour
// table and the index of every pixel as the file holds them, so that what encodes the picture again can use
// the file's own indices instead of indices rebuilt from colours. Row 0 is the top row. An empty picture
// (0 x 0) shows nothing.
struct Picture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;              // the depth it was stored at (1 to 32); 0 for a blank canvas
    std::vector<base::Colour> pixels;  // width * height colours, row by row
    std::vector<base::Colour> palette; // the colour table entries the file supplied (none for a blank canvas
                                       // and for pictures of more than 8 bits per pixel)
    // For bitsPerPixel 1 to 8: width * height indices, row 0 the top row, as stored (also an index the
    // colour table does not reach, which shows black). Empty otherwise. SetPixel changes only the colour.
    std::vector<std::uint8_t> indices;

    bool Empty() const { return width <= 0 || height <= 0; }

    // A picture of w x h pixels, all of colour fill.
    static Picture Blank(int w, int h, base::Colour fill);

    // The colour of pixel (x, y); a position outside the picture reads as black.
    base::Colour PixelAt(int x, int y) const;
    // Paints pixel (x, y); positions outside the picture are ignored.
    void SetPixel(int x, int y, base::Colour colour);
};

// Decodes a BMP file (or a PNG, through the BMP that holds the same picture) as the desktop's picture
// readers do: 1, 2, 4, 8, 16, 24 and 32 bits per pixel; rows
// stored bottom-up or top-down; information headers of 12 (OS/2, 3-byte colour entries), 40, 52, 56, 64,
// 108 and 124 bytes; uncompressed, RLE8, RLE4 (pixels a delta or end-of-line code skips take index 0) and
// bit fields at 16, 24 and 32 bits (each field scaled to 0..255; uncompressed 16-bit pixels are 5-5-5, 32-bit
// ones blue, green, red and an unused byte; an alpha field is ignored). The colour table holds biClrUsed
// entries (2^bpp when 0 or more), as many of them as the file has room for before its pixels; indices past
// it show black.
// Throws base::Error, naming the file and the reason, for a file that cannot be read or decoded: a missing or
// unreadable file, a header that is cut short, of another size or not a BMP, an unknown compression or one
// that does not fit the depth, another depth, a picture larger than 65535 pixels a side or 2^24 pixels in
// all, or pixel data (also an RLE stream) that ends before the picture does.
//
// With PictureParts::IndicesOnly the colour of every pixel is not built: pixels stays empty (the picture is
// then not for showing: PixelAt and SetPixel need pixels), while width, height, bitsPerPixel, palette,
// indices and every refusal are those of the full decode. For callers that work on the index bytes alone.
enum class PictureParts { All, IndicesOnly };
Picture ReadBmpPicture(const std::string& path, PictureParts parts = PictureParts::All);
// The bytes of the picture file at path, read whole for DecodeBmpPicture. A PNG (IsPngPicture) is handed
// on as the BMP that holds the same picture (PngToBmp), and *fromPng, when given, says so. Throws
// base::Error as ReadBmpPicture does for a file that cannot be read (missing, not a regular file, larger than
// 256 MiB, a read error), and as PngToBmp does for a PNG that cannot be read.
std::vector<std::uint8_t> ReadPictureFile(const std::string& path, bool* fromPng = nullptr);
// The same for a file already in memory; name is used in the messages.
Picture DecodeBmpPicture(const std::uint8_t* data, size_t size, const std::string& name,
                         PictureParts parts = PictureParts::All);

// The 256 palette entries shared by the tabs that show, edit and write a palette (the workspace's
// PaletteTable).
using PaletteTable = std::array<base::PALETTEENTRY, 256>;

// A picture held at 8 bits per pixel: one byte a pixel, indexing a table of 256 entries.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    PaletteTable palette{};
    std::vector<std::uint8_t> indices; // width * height, row 0 the top row
};

// Gives picture a new 256-entry table, keeping its look: pixel (x, y) for x < width, y < height (0 x 0
// and pixels outside the picture read as black) refers to the entry that holds the colour it shows; where
// several do, to hint(x, y) when that entry is one of them, else to the first. A colour the table does not
// hold goes to the nearest entry (squared distance in red, green and blue). compare masks both sides before
// comparing, for pictures shown through PaletteColorMask.
struct IndexHint {
    const std::uint8_t* indices = nullptr; // width * height bytes, or nullptr for no hint
};
IndexedPicture MatchToPalette(const Picture& picture, int width, int height, const PaletteTable& palette,
                              IndexHint hint = {}, base::Colour compare = 0xFFFFFF);

// The picture as shown: each pixel the colour of its table entry; an 8-bit indexed picture with all 256
// entries.
Picture ToPicture(const IndexedPicture& picture);

// An uncompressed 8-bit BMP: the 14-byte file header ("BM", file size, two reserved words 0, pixel offset
// 1078), the 40-byte information header (width, positive height, 1 plane, 8 bits, no compression, image size,
// resolution 0, 256 colours used, 0 important), 256 table entries (blue, green, red, 0) and the rows bottom
// row first, each padded with zero bytes to a multiple of 4.
std::vector<std::uint8_t> EncodeBmp8(const IndexedPicture& picture);

// Writes EncodeBmp8(picture) to path, replacing a file there only when every byte is written. Throws
// base::Error naming the path and the reason ("cannot write NAME: Is a directory") when it cannot be
// written; the old file then keeps every byte.
void SaveBmp8(const IndexedPicture& picture, const std::string& path);
// The same as one file of a larger job: it joins outputs and is in place only after outputs.Commit(). Throws
// base::Error as above when it cannot be written (outputs has then failed).
void SaveBmp8(const IndexedPicture& picture, const std::string& path, base::OutputSet& outputs);

} // namespace picture
