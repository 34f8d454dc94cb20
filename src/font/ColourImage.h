#pragma once

#include "base/Colour.h"

#include <cstddef>
#include <vector>

namespace font {

inline constexpr base::Colour kWhite = 0xFFFFFF;
inline constexpr base::Colour kBlack = 0x000000;

// A picture of Width x Height colour values (0x00BBGGRR), x left to right, y top to bottom. Everything that
// draws glyphs draws on one of these: the 128 x 128 preview surface, the bank grid's glyph pictures. Writing
// outside the picture does nothing and reading outside it gives white, so no caller has to clip.
class ColourImage final {
public:
    ColourImage(int width, int height, base::Colour fill = kWhite)
        : width_(width > 0 ? width : 0), height_(height > 0 ? height : 0),
          pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    base::Colour Pixel(int x, int y) const { return Contains(x, y) ? pixels_[Index(x, y)] : kWhite; }
    void SetPixel(int x, int y, base::Colour c) {
        if (Contains(x, y)) pixels_[Index(x, y)] = c;
    }
    void Fill(base::Colour c) { pixels_.assign(pixels_.size(), c); }

    // Every pixel of the colour `from` becomes `to`.
    void Replace(base::Colour from, base::Colour to) {
        for (base::Colour& p : pixels_)
            if (p == from) p = to;
    }

    // The pixels row by row, Width() * Height() of them.
    const std::vector<base::Colour>& Pixels() const { return pixels_; }
    std::vector<base::Colour>& Pixels() { return pixels_; }

    friend bool operator==(const ColourImage&, const ColourImage&) = default;

private:
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

    int width_;
    int height_;
    std::vector<base::Colour> pixels_;
};

} // namespace font
