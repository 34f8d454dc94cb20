#include "font/GlyphCodec.h"

#include "font/GlyphGeometry.h"

namespace font {

int PaletteIndexOf(base::Colour c, const Palette& palette, int colorType) {
    if (colorType <= 0) return c == kBlack ? 1 : 0;
    const int last = colorType == 1 ? 3 : 15;
    if (palette[0] == c) return 0;
    for (int i = 2; i <= last; ++i)
        if (palette[static_cast<std::size_t>(i)] == c) return i;
    return 1;
}

GlyphWords EncodeGlyph(const ColourImage& image, int left, int top, const Palette& palette, int colorType,
                       int widthIndex, int heightIndex) {
    const int cellWidth = CellWidthOf(widthIndex);
    const int across = CellsAcrossOf(widthIndex);
    const int down = CellsDownOf(heightIndex);
    const int ct = ClampIndex(colorType, kColorTypes);
    const int planes = ct == 3 ? 4 : BppOf(ct); // 8 bpp: the upper four planes stay zero
    GlyphWords words;
    words.reserve(static_cast<std::size_t>(WordCountOf(ct, widthIndex, heightIndex)));
    for (int cellRow = 0; cellRow < down; ++cellRow) {
        for (int cellCol = 0; cellCol < across; ++cellCol) {
            for (int r = 0; r < kCellHeight; ++r) {
                std::uint16_t plane[4] = {0, 0, 0, 0};
                for (int x = 0; x < cellWidth; ++x) {
                    const base::Colour c =
                        image.Pixel(left + cellCol * cellWidth + x, top + cellRow * kCellHeight + r);
                    const int index = PaletteIndexOf(c, palette, ct);
                    const auto mask = static_cast<std::uint16_t>(1u << (cellWidth - 1 - x));
                    for (int p = 0; p < planes; ++p)
                        if (index & (1 << p)) plane[p] = static_cast<std::uint16_t>(plane[p] | mask);
                }
                for (int p = 0; p < planes; ++p)
                    words.push_back(plane[p]);
                if (ct == 3) words.insert(words.end(), 4, 0);
            }
        }
    }
    return words;
}

GlyphWords EncodeAgainstBackground(const ColourImage& image, int left, int top, base::Colour background,
                                   int widthIndex, int heightIndex) {
    const int cellWidth = CellWidthOf(widthIndex);
    const int across = CellsAcrossOf(widthIndex);
    const int down = CellsDownOf(heightIndex);
    GlyphWords words;
    words.reserve(static_cast<std::size_t>(across * down * kCellHeight));
    for (int cellRow = 0; cellRow < down; ++cellRow)
        for (int cellCol = 0; cellCol < across; ++cellCol)
            for (int r = 0; r < kCellHeight; ++r) {
                std::uint16_t word = 0;
                for (int x = 0; x < cellWidth; ++x)
                    if (image.Pixel(left + cellCol * cellWidth + x, top + cellRow * kCellHeight + r) !=
                        background)
                        word = static_cast<std::uint16_t>(word | (1u << (cellWidth - 1 - x)));
                words.push_back(word);
            }
    return words;
}

void DrawGlyphCell(ColourImage& target, int x, int y, std::span<const std::uint16_t> words, std::size_t start,
                   const Palette& palette, int colorType, int rows, int width) {
    if (colorType < 0 || colorType >= kColorTypes || width < 1 || width > 16 || rows < 0) return;
    const std::size_t bpp = static_cast<std::size_t>(BppOf(colorType));
    for (int r = 0; r < rows; ++r) {
        const std::size_t row = start + static_cast<std::size_t>(r) * bpp;
        if (row > words.size() || words.size() - row < bpp) return;
        for (int px = 0; px < width; ++px) {
            const unsigned mask = 1u << (width - 1 - px);
            if (colorType == 0) {
                target.SetPixel(x + px, y + r, (words[row] & mask) ? kBlack : kWhite);
                continue;
            }
            unsigned index = 0;
            for (std::size_t p = 0; p < bpp; ++p)
                if (words[row + p] & mask) index |= 1u << p;
            if (index < palette.size()) target.SetPixel(x + px, y + r, palette[index]);
        }
    }
}

void DrawGlyph(ColourImage& target, int x, int y, std::span<const std::uint16_t> words,
               const Palette& palette, int colorType, int widthIndex, int heightIndex) {
    const int cellWidth = CellWidthOf(widthIndex);
    const std::size_t cellWords = static_cast<std::size_t>(CellWordsOf(colorType));
    std::size_t start = 0;
    for (int cy = y; cy < y + GridHeightOf(heightIndex); cy += kCellHeight)
        for (int cx = x; cx < x + GridWidthOf(widthIndex); cx += cellWidth) {
            DrawGlyphCell(target, cx, cy, words, start, palette, colorType, kCellHeight, cellWidth);
            start += cellWords;
        }
}

} // namespace font
