#pragma once

#include "base/Colour.h"
#include "base/FileProblem.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace picture {

inline constexpr std::size_t kMaxWidth = 1024;
inline constexpr std::size_t kMaxHeight = 768;
inline constexpr std::size_t kPixelBufferSize = kMaxWidth * kMaxHeight;
inline constexpr std::size_t kRawPaletteSize = 1024;

// The opened BMP, shared by the OSD, Bitmap Header and Palette tabs. Every field keeps its last value until
// the next File > Open changes it; a refused file changes only what was read before the refusal.
struct CurrentBitmap {
    std::array<std::uint8_t, 14> FileHeader{}; // the file's first 14 bytes as read
    std::array<std::uint8_t, 40> InfoHeader{}; // the next 40 bytes as read
    std::uint32_t PixelDataSize = 0;           // bfSize - bfOffBits, modulo 2^32
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    std::uint8_t BitsPerPixel = 0;
    std::uint16_t BytesPerRow = 0;  // the stride of the file's rows: (Width * BitsPerPixel + 31) / 32 * 4
    std::uint16_t PaletteBytes = 0; // colour-table bytes in the file: bfOffBits - (14 + info header size)
    std::array<std::uint8_t, kRawPaletteSize> RawPalette{}; // blue, green, red, reserved per entry
    std::array<base::Colour, 256> ColourTable{};
    std::vector<std::uint8_t> Pixels =
        std::vector<std::uint8_t>(kPixelBufferSize); // top row first, fixed size
    std::uint16_t ColourCount = 0;
    std::array<base::Colour, 256> ReducedPalette{};
    // Not 0 once Reduce Palette has renumbered Pixels: they then index the reduced palette, which ColourTable
    // holds from that moment (entries 0..ReducedCount-1, zeros after them). Reset by a successful open.
    std::uint16_t ReducedCount = 0;
    std::uint32_t Generation = 0; // counts successful opens, so views can tell a new picture from an old one

    // Header fields, little-endian, as stored in the header bytes.
    std::uint32_t bfSize() const;
    std::uint32_t bfOffBits() const;
    std::int32_t biWidth() const;
    std::int32_t biHeight() const;
    std::uint16_t biBitCount() const;
    std::uint32_t biSize() const;
    std::uint32_t biCompression() const;

    // Width and Height cut to the largest accepted picture. A refused file leaves its own sizes (up to
    // 65535 each) in Width and Height; whatever walks the pixels goes no further than these, so that such a
    // state cannot make it loop or allocate without bound.
    int WalkWidth() const { return Width < kMaxWidth ? Width : static_cast<int>(kMaxWidth); }
    int WalkHeight() const { return Height < kMaxHeight ? Height : static_cast<int>(kMaxHeight); }
    // A picture of an accepted size is loaded (not the state before any Open or after a refused size).
    bool HasAcceptedSize() const {
        return Width != 0 && Height != 0 && Width <= kMaxWidth && Height <= kMaxHeight;
    }

    // The byte of Pixels at offset, or 0 past the end of the buffer.
    std::uint8_t PixelByte(std::size_t offset) const {
        return offset < Pixels.size() ? Pixels[offset] : std::uint8_t{0};
    }
};

// table[i] := red + 256 green + 65536 blue of raw entry i, for i < count (count at most 256).
void ConvertPalette(const std::uint8_t* raw, base::Colour* table, int count);

enum class OpenStatus {
    Ok,
    FileNotExist,
    OpenFileError,
    NotRegular, // a FIFO or a device: refused before anything is read from it, as "Open File Error !!!"
    WrongFileSize,
    DeepColour,
    Os2Header,            // a 12-byte information header, whose colour entries are 3 bytes
    Rle8DepthMismatch,    // BI_RLE8 at a depth other than 8
    Rle4DepthMismatch,    // BI_RLE4 at a depth other than 4
    BitFieldsCompression, // BI_BITFIELDS at 8 bits per pixel or below
    JpegCompression,      // BI_JPEG
    PngCompression,       // BI_PNG
    UnknownCompression,   // any other biCompression
};

// The exact text reported for a status ("File Not Exist !!!", ...); empty for Ok.
const char* MessageOf(OpenStatus status);

struct LoadResult {
    OpenStatus status = OpenStatus::Ok;
    bool headersRead = false; // the caption and the header grids follow the file even when it is refused
    // WrongFileSize: the file and the size it has against the sizes taken; OpenFileError, NotRegular: the
    // file and why it was not opened ("NAME is not a regular file").
    base::FailureDetail detail;
    bool png = false; // the file is a PNG, read as the BMP that holds the same picture
};

// Reads the BMP at path into bitmap (a file that is not a regular file is refused as NotRegular before
// anything is read from it): the headers, the size, depth and compression checks, the colour table,
// the pixel rows turned over so that row 0 is the top row.
// - FileHeader and InfoHeader keep the first 14 + 40 bytes whatever the header size; an OS/2 file (12-byte
//   information header) is refused as Os2Header right after they are read.
// - Height is the number of rows also for a top-down file (negative biHeight), whose rows stay in order. A
//   width or height of 0 and sizes over 1024 x 768 are refused as WrongFileSize, depths over 8 bits as
//   DeepColour, then a compression other than none, RLE8 at 8 bits and RLE4 at 4 bits by its own status.
// - The colour table is read from just after the information header the file declares (at least 40 bytes),
//   as far as bfOffBits, at most 1024 bytes; a file whose pixel offset lies before that end has none.
// - Height rows of BytesPerRow bytes are read from bfOffBits, whatever bfSize says; RLE8 and RLE4 streams are
//   expanded into exactly the bytes the same picture stored uncompressed would give (skipped pixels 0).
// Nothing is read or written outside RawPalette and Pixels, and bytes a short file does not supply are zero.
// Leaves the fields a refusal does not reach as they were.
// A PNG (IsPngPicture) is read whole and loaded as the BMP that holds the same picture (PngToBmp), headers
// included; result.png says so. Throws base::Error, naming the file and libpng's reason, for a PNG that
// cannot be read; nothing has changed then.
LoadResult LoadBitmapFile(CurrentBitmap& bitmap, const std::string& path);
// The same for a file already read whole (its bytes as they were read; path names it in the messages): what
// File > Open does once the picture control has taken the same bytes, so that the file is read once.
LoadResult LoadBitmapBytes(CurrentBitmap& bitmap, std::span<const std::uint8_t> file,
                           const std::string& path);

} // namespace picture
