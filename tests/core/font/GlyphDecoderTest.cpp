#include "font/GlyphDecoder.h"

#include "font/BankFiles.h"
#include "font/GlyphEditor.h"
#include "font/GlyphFile.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using font::GlyphNode;
using Bytes = std::vector<std::uint8_t>;

// 16 colours that differ from each other.
font::Palette DistinctFontPalette(std::mt19937& rng) {
    font::Palette p{};
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<base::Colour>((rng() & 0xFFFF00) | i);
    return p;
}

int MaxIndex(int colorType) {
    return colorType == 0 ? 1 : colorType == 1 ? 3 : 15;
}

GlyphNode RandomNode(std::mt19937& rng, int colorType, int widthIndex, int heightIndex) {
    GlyphNode node;
    node.ColorType = static_cast<std::uint8_t>(colorType);
    node.WidthIndex = static_cast<std::uint8_t>(widthIndex);
    node.HeightIndex = static_cast<std::uint8_t>(heightIndex);
    node.Palette = DistinctFontPalette(rng);
    const int bpp = node.Bpp();
    const unsigned mask = (1u << node.CellWidth()) - 1;
    for (int w = 0; w < node.WordCount(); ++w) {
        // An 8-bpp row ends in four zero words, as the encoder writes it.
        const bool upperPlane = bpp == 8 && w % 8 >= 4;
        node.Words.push_back(upperPlane ? 0 : static_cast<std::uint16_t>(rng() & mask));
    }
    return node;
}

TEST(GlyphDecoder, IndicesFromPlaneWords) {
    // 2 bpp, cells of 12: the first row's words 0x800 (plane 0) and 0x801 (plane 1) give pixel 0 index 3 and
    // pixel 11 index 2; every other pixel of the row index 0.
    GlyphNode node;
    node.ColorType = 1;
    node.WidthIndex = 0;
    node.HeightIndex = 0;
    node.Words.assign(static_cast<std::size_t>(node.WordCount()), 0);
    node.Words[0] = 0x800;
    node.Words[1] = 0x801;
    const picture::IndexedImage image = font::GlyphIndices(node);
    ASSERT_EQ(image.width, 12u);
    ASSERT_EQ(image.height, 16u);
    EXPECT_EQ(image.At(0, 0), 3);
    EXPECT_EQ(image.At(11, 0), 2);
    for (std::uint32_t x = 1; x < 11; ++x)
        EXPECT_EQ(image.At(x, 0), 0);
    EXPECT_EQ(image.palette.size(), 16u);
}

// Glyph files saved by the editor decode to the indices that were painted, at every depth and geometry.
TEST(GlyphDecoder, RoundTripOfSavedGlyphFiles) {
    std::mt19937 rng(1922);
    for (int ct = 0; ct < font::kColorTypes; ++ct)
        for (int w = 0; w < font::kWidthIndexes; ++w)
            for (int h = 0; h < font::kHeightIndexes; ++h) {
                SCOPED_TRACE(testing::Message() << "colour type " << ct << ", width " << w << ", height " << h);
                font::GlyphEditor editor;
                ASSERT_TRUE(editor.ApplyGridWidth(w));
                ASSERT_TRUE(editor.ApplyGridHeight(h));
                ASSERT_TRUE(editor.ApplyColorType(ct));
                editor.FontPalette = DistinctFontPalette(rng);
                std::vector<std::uint8_t> painted;
                for (int y = 0; y < editor.GridHeight(); ++y)
                    for (int x = 0; x < editor.GridWidth(); ++x) {
                        const auto index = static_cast<std::uint8_t>(rng() % (MaxIndex(ct) + 1));
                        painted.push_back(index);
                        editor.PreviewSurface.SetPixel(editor.WindowLeft() + x, editor.WindowTop() + y,
                                                       editor.FontPalette[index]);
                    }
                const auto contents = font::GlyphFileContentsOf(editor, settings::BinSort::Font);
                const font::GlyphsDecoded decoded = font::DecodeGlyphText(contents.Glyph);
                ASSERT_FALSE(decoded.failure) << *decoded.failure;
                ASSERT_EQ(decoded.glyphs.size(), 1u);
                const picture::IndexedImage image = font::GlyphIndices(decoded.glyphs[0]);
                ASSERT_EQ(image.width, static_cast<std::uint32_t>(editor.GridWidth()));
                ASSERT_EQ(image.height, static_cast<std::uint32_t>(editor.GridHeight()));
                ASSERT_EQ(image.indices, painted);
                EXPECT_EQ(image.palette, std::vector<base::Colour>(editor.FontPalette.begin(),
                                                                   editor.FontPalette.end()));
            }
}

// Banks of random glyphs of every depth and geometry come back whole from FontBank.txt, and banks of one
// geometry from FontBank.bin in both sorts.
TEST(GlyphDecoder, RoundTripOfBankFiles) {
    std::mt19937 rng(2026);
    font::FontBank mixed;
    for (int ct = 0; ct < font::kColorTypes; ++ct)
        for (int w = 0; w < font::kWidthIndexes; w += 3)
            for (int h = 0; h < font::kHeightIndexes; ++h)
                ASSERT_TRUE(mixed.Append(RandomNode(rng, ct, w, h)));
    const font::GlyphsDecoded text = font::DecodeGlyphText(font::BankText(mixed, font::StartFont()));
    ASSERT_FALSE(text.failure) << *text.failure;
    EXPECT_EQ(text.glyphs, mixed.Nodes());

    for (int ct = 0; ct < font::kColorTypes; ++ct)
        for (int w = 0; w < font::kWidthIndexes; ++w)
            for (int h = 0; h < font::kHeightIndexes; ++h)
                for (const auto sort : {settings::BinSort::Half, settings::BinSort::Font}) {
                    SCOPED_TRACE(testing::Message() << ct << " " << w << " " << h);
                    font::FontBank bank;
                    const font::Palette palette = DistinctFontPalette(rng);
                    const int count = 1 + static_cast<int>(rng() % 3);
                    for (int i = 0; i < count; ++i) {
                        GlyphNode node = RandomNode(rng, ct, w, h);
                        node.Palette = palette;
                        ASSERT_TRUE(bank.Append(node));
                    }
                    const std::string bin = font::BankBinary(bank, sort);
                    font::BankBinaryOptions o;
                    o.colorType = ct;
                    o.widthIndex = w;
                    o.heightIndex = h;
                    o.binSort = sort;
                    o.palette = palette;
                    const auto decoded = font::DecodeBankBinary(Bytes(bin.begin(), bin.end()), o);
                    ASSERT_FALSE(decoded.failure) << *decoded.failure;
                    ASSERT_EQ(decoded.glyphs, bank.Nodes());
                }
}

TEST(GlyphDecoder, BankBinaryOfTwoOneBppGlyphsInBothSorts) {
    // Two 1-bpp 16 x 16 glyphs whose first words are 0x1234 and 0xABCD. "Font": high 16, low 16, high 16,
    // low 16; "Half": high 32, low 32.
    Bytes font(64, 0), half(64, 0);
    font[0] = 0x12;
    font[16] = 0x34;
    font[32] = 0xAB;
    font[48] = 0xCD;
    half[0] = 0x12;
    half[16] = 0xAB;
    half[32] = 0x34;
    half[48] = 0xCD;
    font::BankBinaryOptions o;
    for (const auto& [bytes, sort] : {std::pair{font, settings::BinSort::Font}, std::pair{half, settings::BinSort::Half}}) {
        o.binSort = sort;
        const auto d = font::DecodeBankBinary(bytes, o);
        ASSERT_FALSE(d.failure);
        ASSERT_EQ(d.glyphs.size(), 2u);
        EXPECT_EQ(d.glyphs[0].Words[0], 0x1234);
        EXPECT_EQ(d.glyphs[1].Words[0], 0xABCD);
    }
    o.binSort = settings::BinSort::Font;
    const auto cut = font::DecodeBankBinary(Bytes(font.begin(), font.begin() + 40), o);
    EXPECT_EQ(cut.glyphs.size(), 1u);
    EXPECT_EQ(cut.failure, std::string("40 bytes: not whole glyphs of 32 bytes (1 whole)"));
}

TEST(GlyphDecoder, BankGridIsIndexedOnlyForOnePalette) {
    std::mt19937 rng(3);
    GlyphNode a = RandomNode(rng, 2, 4, 0); // 16 x 16
    GlyphNode b = RandomNode(rng, 2, 5, 1); // 24 x 32
    b.Palette = a.Palette;
    auto shared = font::BankGridPicture({a, b});
    ASSERT_TRUE(shared.indexed);
    EXPECT_EQ(shared.indexed->width, 2u * 24);
    EXPECT_EQ(shared.indexed->height, 32u);
    EXPECT_EQ(shared.indexed->At(24 + 3, 5), font::GlyphIndices(b).At(3, 5));
    EXPECT_EQ(shared.indexed->At(20, 20), 0); // beside the smaller glyph
    b.Palette[0] ^= 1;
    auto mixed = font::BankGridPicture({a, b});
    ASSERT_FALSE(mixed.indexed);
    EXPECT_EQ(mixed.colour.pixels[20 * 48 + 20], 0x808080u);
    EXPECT_EQ(mixed.colour.pixels[5 * 48 + 27], font::GlyphIndices(b).ColourAt(3, 5));
}

TEST(GlyphDecoder, PaletteFileAndSizes) {
    const std::string text = ";BPPi=2\n;Palette\n0xFFFFFF 0x000000 0xFF0000 0xFF00FF\n0x808080 0x008000 0x00FF00 "
                             "0x000080\n0x800000 0x008080 0x800080 0x0000FF\n0xC0C0C0 0x808000 0xFFFF00 0x00FFFF\n";
    std::string problem;
    const auto p = font::ParseFontPalette(text, &problem);
    ASSERT_TRUE(p) << problem;
    EXPECT_EQ(*p, font::kStartPalette);
    EXPECT_FALSE(font::ParseFontPalette("0x1 0x2", &problem));
    EXPECT_EQ(problem, "2 colours instead of 16");
    EXPECT_EQ(font::WidthIndexOfPixels(39), 11);
    EXPECT_EQ(font::WidthIndexOfPixels(17), -1);
    EXPECT_EQ(font::HeightIndexOfPixels(48), 2);
    EXPECT_EQ(font::ColorTypeOfBpp(8), 3);
    EXPECT_EQ(font::ColorTypeOfBpp(3), -1);
}

} // namespace
