#include "picture/BmpRle.h"

#include <algorithm>

namespace picture {

namespace {

void Put(const RleTarget& t, int x, int y, unsigned value) {
    std::uint8_t* row = t.rows + static_cast<std::size_t>(y) * t.stride;
    if (t.bitsPerIndex == 8) {
        row[x] = static_cast<std::uint8_t>(value);
        return;
    }
    const unsigned mask = (1u << t.bitsPerIndex) - 1;
    const std::size_t bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(t.bitsPerIndex);
    const unsigned shift = 8u - static_cast<unsigned>(t.bitsPerIndex) - bit % 8;
    std::uint8_t& b = row[bit / 8];
    b = static_cast<std::uint8_t>((b & ~(mask << shift)) | ((value & mask) << shift));
}

// Pixel i of a run or block: RLE8 takes whole bytes, RLE4 the high nibble first.
unsigned PixelOf(const std::uint8_t* bytes, unsigned i, bool rle4) {
    if (!rle4) return bytes[i];
    const std::uint8_t b = bytes[i / 2];
    return i % 2 == 0 ? b >> 4 : b & 0x0Fu;
}

} // namespace

bool ExpandBmpRle(const std::uint8_t* data, std::size_t size, bool rle4, const RleTarget& t) {
    if (t.width <= 0 || t.height <= 0) return true;
    std::size_t at = 0;
    int x = 0;
    int y = 0;
    while (y < t.height) {
        if (size - at < 2) return y == t.height - 1 && x >= t.width;
        const unsigned count = data[at];
        const unsigned code = data[at + 1];
        at += 2;
        if (count > 0) {
            // A run: count pixels of one byte (RLE4: its two nibbles in turn).
            for (unsigned i = 0; i < count && x < t.width; ++i, ++x)
                Put(t, x, y, rle4 ? (i % 2 == 0 ? code >> 4 : code & 0x0Fu) : code);
        } else if (code == 0) { // end of line
            x = 0;
            ++y;
        } else if (code == 1) { // end of bitmap
            return true;
        } else if (code == 2) { // delta: so many pixels right and rows on
            if (size - at < 2) return false;
            x = std::min(x + data[at], t.width); // past the row end nothing more is drawn on it
            y += data[at + 1];
            at += 2;
        } else {
            // An absolute block of `code` pixels, its bytes padded to a 16-bit boundary.
            const std::size_t bytes = rle4 ? (code + 1) / 2 : code;
            const std::size_t present = std::min(bytes, size - at);
            const unsigned pixels =
                present == bytes ? code : static_cast<unsigned>(rle4 ? 2 * present : present);
            for (unsigned i = 0; i < pixels && x < t.width; ++i, ++x)
                Put(t, x, y, PixelOf(&data[at], i, rle4));
            if (present < bytes) return false;
            at += std::min(bytes + bytes % 2, size - at);
        }
    }
    return true;
}

} // namespace picture
