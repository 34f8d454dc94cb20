#include "font/GlyphCodec.h"
#include "font/GlyphEditor.h"
#include "font/GlyphGeometry.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using font::ColourImage;
using font::DrawGlyphCell;
using font::EncodeGlyph;
using font::GlyphWords;
using font::kStartPalette;
using font::Palette;

TEST(GlyphGeometry, TableGivesCellWidthAndCells) {
    struct Row {
        int widthIndex, cellWidth, across, gridWidth;
    };
    const Row rows[] = {
        {0, 12, 1, 12},  {4, 16, 1, 16},  {5, 12, 2, 24},  {9, 16, 2, 32},  {10, 12, 3, 36},
        {11, 13, 3, 39}, {14, 16, 3, 48}, {15, 13, 4, 52}, {16, 14, 4, 56}, {18, 16, 4, 64},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.widthIndex);
        EXPECT_EQ(font::CellWidthOf(r.widthIndex), r.cellWidth);
        EXPECT_EQ(font::CellsAcrossOf(r.widthIndex), r.across);
        EXPECT_EQ(font::GridWidthOf(r.widthIndex), r.gridWidth);
        EXPECT_EQ(std::to_string(r.gridWidth), font::kGridWidthItems[static_cast<size_t>(r.widthIndex)]);
    }
    const int heights[] = {16, 32, 48, 64};
    for (int h = 0; h < 4; ++h)
        EXPECT_EQ(font::GridHeightOf(h), heights[h]);
    // 1 bpp 16 x 16: 16 words; 2 bpp 32 x 16: 64; 8 bpp 64 x 64: 2048.
    EXPECT_EQ(font::WordCountOf(0, 4, 0), 16);
    EXPECT_EQ(font::WordCountOf(1, 9, 0), 64);
    EXPECT_EQ(font::WordCountOf(3, 18, 3), 2048);
}

// A white 64 x 64 picture to encode from (0, 0).
ColourImage Blank() {
    return ColourImage(64, 64, 0xFFFFFF);
}

TEST(GlyphCodec, OneBppSetsABitForBlackOnlyRightAligned) {
    ColourImage img = Blank();
    img.SetPixel(0, 0, 0x000000);  // leftmost of a 12-pixel cell: bit 11
    img.SetPixel(11, 1, 0x000000); // rightmost: bit 0
    img.SetPixel(5, 2, 0x0000FF);  // red is not black, whatever the palette says
    Palette palette = kStartPalette;
    palette[1] = 0x0000FF;
    const GlyphWords w = EncodeGlyph(img, 0, 0, palette, 0, 0, 0);
    ASSERT_EQ(w.size(), 16u);
    EXPECT_EQ(w[0], 0x0800);
    EXPECT_EQ(w[1], 0x0001);
    EXPECT_EQ(w[2], 0x0000);

    // A 16-pixel cell's leftmost pixel is bit 15.
    EXPECT_EQ(EncodeGlyph(img, 0, 0, palette, 0, 4, 0)[0], 0x8000);
}

TEST(GlyphCodec, CellsAreRowMajorAndRowsTopToBottom) {
    // 24 x 32 at 1 bpp: cells of 12, two across and two down; cell 3 is the lower right one.
    ColourImage img = Blank();
    img.SetPixel(12, 16, 0x000000); // cell 3, row 0, leftmost
    img.SetPixel(11, 17, 0x000000); // cell 2, row 1, rightmost
    img.SetPixel(23, 15, 0x000000); // cell 1, row 15, rightmost
    const GlyphWords w = EncodeGlyph(img, 0, 0, kStartPalette, 0, 5, 1);
    ASSERT_EQ(w.size(), 64u);
    GlyphWords expected(64, 0);
    expected[48] = 0x0800;
    expected[33] = 0x0001;
    expected[31] = 0x0001;
    EXPECT_EQ(w, expected);
}

TEST(GlyphCodec, PaletteIndexesPerColourType) {
    // One row of a 16-pixel cell. Row words are planes 0, 1, (2, 3).
    Palette palette = kStartPalette;
    palette[9] = palette[5]; // a duplicate: the lower index (5) wins
    palette[6] = 0x000000;   // black at 6: black is found there, since entry 1 is never compared
    ColourImage img = Blank();
    img.SetPixel(0, 0, 0xFF0000); // entry 2 (blue)
    img.SetPixel(1, 0, 0xFF00FF); // entry 3 (magenta)
    img.SetPixel(2, 0, 0x123456); // in no entry: 1
    img.SetPixel(3, 0, 0x808080); // entry 4 (grey); 1 at 2 bpp, which looks at 0..3 only
    img.SetPixel(4, 0, 0x008000); // entry 5 (green), also at 9
    img.SetPixel(5, 0, 0x00FFFF); // entry 15 (yellow)
    img.SetPixel(6, 0, 0x000000); // 6 at 4 bpp, 1 at 2 bpp

    // 2 bpp: indexes 2, 3, 1, 1, 1, 1, 1 for pixels 0..6.
    GlyphWords w = EncodeGlyph(img, 0, 0, palette, 1, 4, 0);
    ASSERT_EQ(w.size(), 32u);
    EXPECT_EQ(w[0], 0x7E00); // bit 0 of the index: pixels 1..6
    EXPECT_EQ(w[1], 0xC000); // bit 1: pixels 0, 1
    EXPECT_EQ(w[2], 0x0000); // row 1: all white (index 0)

    // 4 bpp: indexes 2, 3, 1, 4, 5, 15, 6.
    w = EncodeGlyph(img, 0, 0, palette, 2, 4, 0);
    ASSERT_EQ(w.size(), 64u);
    EXPECT_EQ(w[0], 0x6C00); // bit 0: pixels 1 (3), 2 (1), 4 (5), 5 (15)
    EXPECT_EQ(w[1], 0xC600); // bit 1: pixels 0 (2), 1 (3), 5 (15), 6 (6)
    EXPECT_EQ(w[2], 0x1E00); // bit 2: pixels 3 (4), 4 (5), 5 (15), 6 (6)
    EXPECT_EQ(w[3], 0x0400); // bit 3: pixel 5 (15)

    // 8 bpp: the same four words and four zero words a row.
    const GlyphWords w8 = EncodeGlyph(img, 0, 0, palette, 3, 4, 0);
    ASSERT_EQ(w8.size(), 128u);
    EXPECT_EQ(GlyphWords(w8.begin(), w8.begin() + 8),
              (GlyphWords{0x6C00, 0xC600, 0x1E00, 0x0400, 0, 0, 0, 0}));
    for (size_t row = 1; row < 16; ++row)
        EXPECT_EQ(
            GlyphWords(w8.begin() + static_cast<long>(row * 8), w8.begin() + static_cast<long>(row * 8 + 8)),
            GlyphWords(8, 0));
}

TEST(GlyphCodec, DrawCellPerColourType) {
    const Palette palette = kStartPalette;
    struct Case {
        int colorType;
        GlyphWords row; // the first row's words; the other rows are zero
        base::Colour pixel0, pixel1;
    };
    const Case cases[] = {
        // 1 bpp: a set bit is black and a clear one white, whatever the palette.
        {0, {0x8000}, 0x000000, 0xFFFFFF},
        // 2 bpp: pixel 0 index 2 (blue), pixel 1 index 3 (magenta).
        {1, {0x4000, 0xC000}, 0xFF0000, 0xFF00FF},
        // 4 bpp: pixel 0 index 15 (yellow), pixel 1 index 4 (grey).
        {2, {0x8000, 0x8000, 0xC000, 0x8000}, 0x00FFFF, 0x808080},
        // 8 bpp: pixel 0 index 9 (olive), pixel 1 index 16: no entry, the pixel keeps its colour.
        {3, {0x8000, 0, 0, 0x8000, 0x4000, 0, 0, 0}, 0x008080, 0x123456},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colorType);
        GlyphWords words(static_cast<size_t>(font::CellWordsOf(c.colorType)), 0);
        std::copy(c.row.begin(), c.row.end(), words.begin());
        ColourImage img(20, 20, 0x123456);
        DrawGlyphCell(img, 2, 3, words, 0, palette, c.colorType, 16, 16);
        EXPECT_EQ(img.Pixel(2, 3), c.pixel0);
        EXPECT_EQ(img.Pixel(3, 3), c.pixel1);
        EXPECT_EQ(img.Pixel(17, 18), c.colorType == 0 ? 0xFFFFFFu : palette[0]); // last pixel, index 0
        EXPECT_EQ(img.Pixel(1, 3), 0x123456u);                                   // outside the cell
        EXPECT_EQ(img.Pixel(2, 19), 0x123456u);
    }

    // Any other colour type draws nothing; a buffer too short for the cell draws only its whole rows.
    ColourImage img(20, 20, 0x123456);
    DrawGlyphCell(img, 0, 0, GlyphWords(64, 0xFFFF), 0, palette, 4, 16, 16);
    EXPECT_EQ(img, ColourImage(20, 20, 0x123456));
    DrawGlyphCell(img, 0, 0, GlyphWords(3, 0xFFFF), 0, palette, 1, 16, 16);
    EXPECT_EQ(img.Pixel(0, 0), 0xFF00FFu);                                  // row 0: index 3
    EXPECT_EQ(img.Pixel(0, 1), 0x123456u);                                  // row 1 would need words 2 and 3
    DrawGlyphCell(img, 0, 0, GlyphWords(3, 0xFFFF), 5, palette, 1, 16, 16); // start past the end
}

TEST(GlyphCodec, EncodeThenDrawGivesThePictureBack) {
    std::mt19937 random(7);
    for (int colorType = 0; colorType < 4; ++colorType) {
        for (int widthIndex : {0, 7, 11, 15, 18}) {
            const int heightIndex = (widthIndex + colorType) % 4;
            SCOPED_TRACE(testing::Message() << colorType << " " << widthIndex << " " << heightIndex);
            const int w = font::GridWidthOf(widthIndex);
            const int h = font::GridHeightOf(heightIndex);
            const int colours = colorType == 0 ? 2 : colorType == 1 ? 4 : 16;
            ColourImage picture(w, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const int index = static_cast<int>(random() % static_cast<unsigned>(colours));
                    picture.SetPixel(x, y,
                                     colorType == 0 ? (index ? 0x000000 : 0xFFFFFF)
                                                    : kStartPalette[static_cast<size_t>(index)]);
                }
            const GlyphWords words =
                EncodeGlyph(picture, 0, 0, kStartPalette, colorType, widthIndex, heightIndex);
            ASSERT_EQ(words.size(),
                      static_cast<size_t>(font::WordCountOf(colorType, widthIndex, heightIndex)));
            ColourImage back(w, h, 0x123456);
            font::DrawGlyph(back, 0, 0, words, kStartPalette, colorType, widthIndex, heightIndex);
            EXPECT_EQ(back, picture);
        }
    }
}

} // namespace
