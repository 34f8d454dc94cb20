#pragma once

#include "base/Colour.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace picture {

// A picture of palette indices, as the decoders of Tavix's outputs give them back: width * height index bytes,
// row 0 the top row, and the colours the data names for them. An index the palette does not reach is still
// the data's; a PNG of it shows black there.
struct IndexedImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> indices;  // width * height
    std::vector<base::Colour> palette;  // at most 256

    IndexedImage() = default;
    IndexedImage(std::uint32_t w, std::uint32_t h)
        : width(w), height(h), indices(static_cast<std::size_t>(w) * h, 0) {}

    std::uint8_t& At(std::uint32_t x, std::uint32_t y) { return indices[static_cast<std::size_t>(y) * width + x]; }
    std::uint8_t At(std::uint32_t x, std::uint32_t y) const {
        return indices[static_cast<std::size_t>(y) * width + x];
    }
    // The colour of the pixel: its palette entry, black past the palette's end.
    base::Colour ColourAt(std::uint32_t x, std::uint32_t y) const {
        const std::uint8_t i = At(x, y);
        return i < palette.size() ? palette[i] : 0;
    }
};

// The palette of indices shown without colours of their own: index i is the grey i, i, i.
inline std::vector<base::Colour> GreyPalette() {
    std::vector<base::Colour> palette(256);
    for (unsigned i = 0; i < 256; ++i)
        palette[i] = base::MakeColour(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                                      static_cast<std::uint8_t>(i));
    return palette;
}

// A picture of colours (0x00BBGGRR), row 0 the top row.
struct ColourPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<base::Colour> pixels; // width * height
};

} // namespace picture
