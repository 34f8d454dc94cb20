#include "osd/PaletteReduce.h"

#include "base/Format.h"

#include <algorithm>
#include <unordered_set>

namespace osd {

using base::Colour;
using picture::CurrentBitmap;

int CollectColours(const picture::Picture& picture, int width, int height, Colour out[256]) {
    if (width <= 0 || height <= 0) return 0;
    // A picture of a million pixels against up to 256 colours: a set keeps the lookups cheap, and most
    // neighbouring pixels share their colour, which the last-seen check catches first.
    std::unordered_set<Colour> seen;
    seen.reserve(512);
    int n = 0;
    Colour last = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Colour c = picture.PixelAt(x, y);
            if (n > 0 && c == last) continue;
            last = c;
            if (!seen.insert(c).second) continue;
            out[n++] = c;
            if (n == 256) return n;
        }
    }
    return n;
}

void RemapPixels(CurrentBitmap& bm, const std::array<std::uint8_t, 256>& remap) {
    const int bits = bm.BitsPerPixel;
    if (bits != 8 && bits != 4 && bits != 2 && bits != 1) return;

    // Every depth renumbers byte by byte, so one table of 256 byte values does the whole picture.
    std::array<std::uint8_t, 256> byteMap{};
    for (unsigned b = 0; b < 256; ++b) {
        unsigned v = 0;
        switch (bits) {
        case 8:
            v = remap[b];
            break;
        case 4:
            v = 16u * remap[b >> 4] + remap[b & 0xF];
            break;
        case 2:
            v = (static_cast<unsigned>(remap[(b >> 6) & 3]) << 6) +
                (static_cast<unsigned>(remap[(b >> 4) & 3]) << 4) +
                (static_cast<unsigned>(remap[(b >> 2) & 3]) << 2) + remap[b & 3];
            break;
        default:
            for (int k = 7; k >= 0; --k)
                if (remap[(b >> k) & 1] != 0) v |= 1u << k;
            break;
        }
        byteMap[b] = static_cast<std::uint8_t>(v & 0xFF);
    }

    const std::size_t rowBytes = bits == 8 ? static_cast<std::size_t>(bm.WalkWidth()) : bm.BytesPerRow;
    const std::size_t size = bm.Pixels.size();
    const std::size_t rows = static_cast<std::size_t>(bm.WalkHeight());
    for (std::size_t r = 0; r < rows; ++r) {
        const std::size_t start = r * bm.BytesPerRow;
        if (start >= size) break;
        const std::size_t end = std::min(size, start + rowBytes);
        for (std::size_t i = start; i < end; ++i)
            bm.Pixels[i] = byteMap[bm.Pixels[i]];
    }
}

void DrawRemapped(const CurrentBitmap& bm, Colour mask, picture::Picture& after) {
    const int width = bm.WalkWidth();
    const int height = bm.WalkHeight();
    const int bits = bm.BitsPerPixel;
    if (width == 0 || height == 0) return;
    if (bits != 8 && bits != 4 && bits != 2 && bits != 1) return;
    if (after.Empty()) after = picture::Picture::Blank(std::max(256, width), std::max(256, height), 0xFFFFFF);

    for (int y = 0; y < height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * bm.BytesPerRow;
        if (bits == 8) {
            for (int x = 0; x < width; ++x)
                after.SetPixel(x, y,
                               bm.ReducedPalette[bm.PixelByte(row + static_cast<std::size_t>(x))] & mask);
            continue;
        }
        // The last byte of a row is painted whole, so a few pixels right of the picture are painted too.
        const int perByte = 8 / bits;
        const unsigned fieldMask = (1u << bits) - 1;
        int x = 0;
        for (std::size_t k = 0; k < bm.BytesPerRow && x < width; ++k) {
            const unsigned b = bm.PixelByte(row + k);
            for (int p = 0; p < perByte; ++p, ++x) {
                const unsigned index = (b >> (8 - bits * (p + 1))) & fieldMask;
                after.SetPixel(x, y, bm.ReducedPalette[index] & mask);
            }
        }
    }
}

int ReducePalette(CurrentBitmap& bm, OsdState& state, Colour mask) {
    // Once reduced, the pixels index the reduced palette that ColourTable holds, not the file's colours.
    const bool reduced = bm.ReducedCount != 0;
    const int n = CollectColours(state.Before, bm.WalkWidth(), bm.WalkHeight(), bm.ReducedPalette.data());
    bm.ReducedCount = static_cast<std::uint16_t>(n);
    bm.ColourCount = static_cast<std::uint16_t>(n);
    if (!reduced) picture::ConvertPalette(bm.RawPalette.data(), bm.ColourTable.data(), 256);

    state.RemapTable.fill(0);
    const Colour* collected = bm.ReducedPalette.data();
    for (std::size_t j = 0; j < bm.ColourTable.size(); ++j) {
        const Colour* found = std::find(collected, collected + n, bm.ColourTable[j]);
        if (found != collected + n) state.RemapTable[j] = static_cast<std::uint8_t>(found - collected);
    }
    RemapPixels(bm, state.RemapTable);
    if (n > 0) {
        std::copy_n(bm.ReducedPalette.begin(), n, bm.ColourTable.begin());
        std::fill(bm.ColourTable.begin() + n, bm.ColourTable.end(), Colour{0});
    }
    DrawRemapped(bm, mask, state.After);
    return n;
}

std::string PaletteNumberText(int count) {
    return base::strprintf("[A] Palette Number: %3d", count);
}

} // namespace osd
