#include "font/FreeTypeRenderer.h"

#include "font/GlyphEditor.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

namespace {

using font::ColourImage;
using font::FontChoice;
using font::FreeTypeRenderer;

// The face the setup script installs.
const char* const kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

int Ink(const ColourImage& img, base::Colour ink) {
    int n = 0;
    for (base::Colour c : img.Pixels())
        n += c == ink;
    return n;
}

// The rows that hold ink between columns x0 and x1.
std::set<int> InkRows(const ColourImage& img, base::Colour ink) {
    std::set<int> rows;
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x)
            if (img.Pixel(x, y) == ink) rows.insert(y);
    return rows;
}

TEST(FreeTypeRenderer, DejaVuSansAAtTenPoints) {
    FreeTypeRenderer renderer;
    const FontChoice font{"DejaVu Sans", 10, 0, 0};
    ASSERT_EQ(renderer.ResolveFamily(font), "DejaVu Sans");

    // FreeType's own figures for the face at 13 pixels.
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face = nullptr;
    ASSERT_EQ(FT_New_Face(library, kDejaVu, 0, &face), 0);
    ASSERT_EQ(FT_Set_Pixel_Sizes(face, 0, 13), 0);
    ASSERT_EQ(FT_Load_Char(face, 'A', FT_LOAD_TARGET_MONO), 0);
    const int advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
    const int ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    const int descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    const font::TextExtent extent = renderer.MeasureText(font, U"A");
    EXPECT_EQ(extent.Width, advance);
    EXPECT_EQ(extent.Height, ascent + descent);
    EXPECT_EQ(renderer.MeasureText(font, U"AA").Width, 2 * advance);

    ColourImage img(128, 128, 0xFFFFFF);
    renderer.DrawText(img, 32, 32, font, U"A", 0x0000FF);
    int inked = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const base::Colour c = img.Pixel(x, y);
            ASSERT_TRUE(c == 0xFFFFFF || c == 0x0000FF) << x << "," << y;
            if (c == 0xFFFFFF) continue;
            ++inked;
            // Inside the character cell whose top-left is (32, 32), and standing on the baseline.
            EXPECT_GE(x, 32);
            EXPECT_LT(x, 32 + extent.Width);
            EXPECT_GE(y, 32);
            EXPECT_LT(y, 32 + ascent);
        }
    EXPECT_GT(inked, 20);
    EXPECT_EQ(*InkRows(img, 0x0000FF).rbegin(), 32 + ascent - 1);

    ColourImage again(128, 128, 0xFFFFFF);
    renderer.DrawText(again, 32, 32, font, U"A", 0x0000FF);
    EXPECT_EQ(again, img);
}

TEST(FreeTypeRenderer, StylesLinesAndMissingGlyphs) {
    FreeTypeRenderer renderer;
    const auto draw = [&](std::uint8_t style, std::u32string_view text) {
        ColourImage img(128, 128, 0xFFFFFF);
        renderer.DrawText(img, 32, 32, FontChoice{"DejaVu Sans", 10, style, 0}, text, 0x000000);
        return img;
    };
    const ColourImage plain = draw(0, U"HH");
    const int plainInk = Ink(plain, 0);
    EXPECT_GT(Ink(draw(font::kBold, U"HH"), 0), plainInk);
    EXPECT_NE(draw(font::kItalic, U"HH"), plain);

    // Underline: ink below the baseline, where "H" has none, across the text; strike-out: a full row across.
    const int width = renderer.MeasureText(FontChoice{"DejaVu Sans", 10, 0, 0}, U"HH").Width;
    const ColourImage underlined = draw(font::kUnderline, U"HH");
    const std::set<int> plainRows = InkRows(plain, 0);
    const int baseline = *plainRows.rbegin() + 1;
    bool below = false;
    for (int y : InkRows(underlined, 0))
        if (y >= baseline) {
            below = true;
            for (int x = 32; x < 32 + width; ++x)
                EXPECT_EQ(underlined.Pixel(x, y), 0x000000u) << x << "," << y;
        }
    EXPECT_TRUE(below);
    const ColourImage struck = draw(font::kStrikeOut, U"HH");
    int fullRows = 0;
    for (int y = 32; y < baseline; ++y) {
        int n = 0;
        for (int x = 32; x < 32 + width; ++x)
            n += struck.Pixel(x, y) == 0;
        fullRows += n == width;
    }
    EXPECT_GE(fullRows, 1);

    // A code the face lacks draws the face's missing-glyph shape; a family that is not installed is
    // substituted and still draws.
    EXPECT_GT(Ink(draw(0, U"\U0010FFFD"), 0), 0);
    const FontChoice unknown{"No Such Family Tavix", 10, 0, 0};
    EXPECT_FALSE(renderer.ResolveFamily(unknown).empty());
    ColourImage img(128, 128, 0xFFFFFF);
    renderer.DrawText(img, 32, 32, unknown, U"A", 0);
    EXPECT_GT(Ink(img, 0), 0);
}

// A face is a substitute when fontconfig found none of the families the name stands for; the metric twins
// its own rules give a name (Arial, Courier New, Times New Roman) are that family, and so is whatever a
// generic name stands for. The families the setup script installs are DejaVu and Liberation.
TEST(FreeTypeRenderer, SubstitutedFamiliesAreTold) {
    FreeTypeRenderer renderer;
    const struct {
        const char* family;
        bool substitute;
    } cases[] = {
        {"DejaVu Sans", false},
        {"dejavu sans", false},
        {"DejaVuSans", false},
        {"Liberation Mono", false},
        {"Arial", false},
        {"Courier New", false},
        {"Times New Roman", false},
        {"sans-serif", false},
        {"monospace", false},
        {"Liberation Mon", true},
        {"No Such Family Tavix", true},
        {"Nimbus Sans [urw]", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.family);
        for (const std::uint8_t style : {0, font::kBold | font::kItalic}) {
            const FontChoice font{c.family, 10, style, 0};
            EXPECT_EQ(renderer.Substitutes(font), c.substitute);
        }
    }
    EXPECT_EQ(renderer.ResolveFamily({"Arial", 10, 0, 0}), "Liberation Sans");

    // The face's own glyphs, against the codes it has none for (drawn as its missing-glyph box).
    const FontChoice dejaVu{"DejaVu Sans", 10, 0, 0};
    for (const char32_t c : {U'A', U'g', U' ', U'\u00E9'})
        EXPECT_TRUE(renderer.HasGlyph(dejaVu, c)) << static_cast<unsigned>(c);
    for (const char32_t c : {U'\u4E2D', U'\U0010FFFD', U'\x7F'})
        EXPECT_FALSE(renderer.HasGlyph(dejaVu, c)) << static_cast<unsigned>(c);
}

// The ink a real glyph loses: at 12 points the descender of "g" reaches below the 16-row cell, at 10 it
// does not.
TEST(FreeTypeRenderer, DescendersPastTheCellAreCut) {
    FreeTypeRenderer renderer;
    for (const int size : {10, 12}) {
        SCOPED_TRACE(size);
        font::GlyphEditor editor;
        font::FontShowProp(editor, renderer, {"DejaVu Sans", size, 0, 0});
        font::RenderNotes notes;
        font::RenderGlyphText(editor, renderer, U"g", &notes);
        EXPECT_EQ(notes.Cut.size(), size == 12 ? 1u : 0u);
        EXPECT_TRUE(notes.Missing.empty());
    }
}

TEST(FreeTypeRenderer, StartFontIsTheDesktopSansSerif) {
    FreeTypeRenderer renderer;
    font::GlyphEditor editor;
    const font::FontBoxTexts boxes = font::FontShowProp(editor, renderer, font::StartFont());
    EXPECT_FALSE(boxes.Face.empty());
    EXPECT_NE(boxes.Face, "sans-serif");
    EXPECT_EQ(editor.CurrentFont.Family, boxes.Face);
    EXPECT_EQ(boxes.Size, "10");
    EXPECT_EQ(boxes.Height, "-13");
    EXPECT_EQ(boxes.Style, "Normal");
    EXPECT_EQ(boxes.Charset, "0");
}

} // namespace

namespace {

// FreeType's own anti-aliased coverage of one character of DejaVu Sans at 13 pixels with its default
// hinting, placed with its cell's top-left at (x, y) on a 128 x 128 picture.
std::vector<std::uint8_t> FreeTypeCoverage(char32_t c, int x, int y) {
    std::vector<std::uint8_t> out(128 * 128, 0);
    FT_Library library = nullptr;
    EXPECT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face = nullptr;
    EXPECT_EQ(FT_New_Face(library, kDejaVu, 0, &face), 0);
    EXPECT_EQ(FT_Set_Pixel_Sizes(face, 0, 13), 0);
    EXPECT_EQ(FT_Load_Char(face, c, FT_LOAD_DEFAULT), 0);
    EXPECT_EQ(FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL), 0);
    const int ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    const FT_Bitmap& bm = face->glyph->bitmap;
    EXPECT_EQ(bm.pixel_mode, FT_PIXEL_MODE_GRAY);
    const int left = x + face->glyph->bitmap_left;
    const int top = y + ascent - face->glyph->bitmap_top;
    for (unsigned r = 0; r < bm.rows; ++r)
        for (unsigned col = 0; col < bm.width; ++col) {
            const int px = left + static_cast<int>(col);
            const int py = top + static_cast<int>(r);
            if (px >= 0 && px < 128 && py >= 0 && py < 128)
                out[static_cast<std::size_t>(py * 128 + px)] =
                    bm.buffer[r * static_cast<unsigned>(bm.pitch) + col];
        }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return out;
}

} // namespace

TEST(FreeTypeRenderer, CoverageIsFreeTypesAntiAliasedRendering) {
    FreeTypeRenderer renderer;
    const std::vector<std::uint8_t> expected = FreeTypeCoverage('a', 32, 32);
    font::CoverageImage coverage(128, 128);
    renderer.DrawCoverage(coverage, 32, 32, FontChoice{"DejaVu Sans", 10, 0, 0}, U"a");
    int partial = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const std::uint8_t c = expected[static_cast<std::size_t>(y * 128 + x)];
            ASSERT_EQ(coverage.Value(x, y), c) << x << "," << y;
            partial += c > 0 && c < 255;
        }
    // Smoothed: a good part of the edge pixels are partly covered.
    EXPECT_GT(partial, 10);
}

// Smooth glyphs and the 1-bpp threshold, pixel by pixel against FreeType's own coverage c: level
// round(c * (L - 1) / 255) drawn with ramp entry `level`, which the palette holds and the encoder writes.
TEST(FreeTypeRenderer, SmoothLevelsAndThresholdFollowFreeTypesCoverage) {
    FreeTypeRenderer renderer;
    const std::vector<std::uint8_t> coverage = FreeTypeCoverage('a', 32, 32);
    // White to black: 4 levels 0xFF, 0xAA, 0x55, 0x00; 16 levels step 0x11 per level.
    const std::vector<base::Colour> ramp4 = {0xFFFFFF, 0xAAAAAA, 0x555555, 0x000000};
    std::vector<base::Colour> ramp16;
    for (unsigned k = 0; k < 16; ++k)
        ramp16.push_back((0xFF - 0x11 * k) * 0x010101u);

    const struct {
        int colorType;
        const std::vector<base::Colour>* ramp;
    } cases[] = {{1, &ramp4}, {2, &ramp16}, {3, &ramp16}};
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.colorType);
        font::GlyphEditor editor;
        editor.ApplyColorType(tc.colorType);
        editor.CurrentFont = FontChoice{"DejaVu Sans", 10, 0, 0};
        editor.Smooth = true;
        font::RenderGlyphText(editor, renderer, U"a");
        const auto levels = static_cast<int>(tc.ramp->size());
        for (int k = 0; k < levels; ++k)
            EXPECT_EQ(editor.FontPalette[static_cast<std::size_t>(k)],
                      (*tc.ramp)[static_cast<std::size_t>(k)]);
        EXPECT_EQ(editor.LeftColor, 0x000000u);
        std::set<int> seen;
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x) {
                const int c = coverage[static_cast<std::size_t>(y * 128 + x)];
                // Halves cannot occur: 255 is odd and (L - 1) is 3 or 15.
                const int level = static_cast<int>(std::lround(c * (levels - 1) / 255.0));
                seen.insert(level);
                ASSERT_EQ(editor.PreviewSurface.Pixel(x, y), (*tc.ramp)[static_cast<std::size_t>(level)])
                    << x << "," << y;
            }
        EXPECT_GE(seen.size(), 3u);

        // Each glyph pixel is encoded as its level's palette index, planes 0.. of the row's words.
        const font::GlyphWords words = editor.Encode();
        const int bpp = editor.GlyphBpp();
        for (int r = 0; r < 16; ++r)
            for (int x = 0; x < 16; ++x) {
                int index = 0;
                for (int plane = 0; plane < std::min(bpp, 4); ++plane)
                    index |= ((words[static_cast<std::size_t>(r * bpp + plane)] >> (15 - x)) & 1) << plane;
                const int c = coverage[static_cast<std::size_t>((32 + r) * 128 + 32 + x)];
                ASSERT_EQ(index, static_cast<int>(std::lround(c * (levels - 1) / 255.0))) << x << "," << r;
            }
    }

    // 1 bpp: Smooth alone keeps the black-and-white rendering; a threshold inks coverage >= T.
    font::GlyphEditor plain;
    plain.CurrentFont = FontChoice{"DejaVu Sans", 10, 0, 0};
    font::GlyphEditor smooth = plain;
    smooth.Smooth = true;
    font::RenderGlyphText(plain, renderer, U"a");
    font::RenderGlyphText(smooth, renderer, U"a");
    EXPECT_EQ(smooth.PreviewSurface, plain.PreviewSurface);
    EXPECT_EQ(smooth.FontPalette, font::kStartPalette);
    for (const int threshold : {1, 128, 255}) {
        SCOPED_TRACE(threshold);
        for (const bool withSmooth : {false, true}) {
            font::GlyphEditor editor = plain;
            editor.Smooth = withSmooth;
            editor.InkThreshold = static_cast<std::uint8_t>(threshold);
            font::RenderGlyphText(editor, renderer, U"a");
            for (int y = 0; y < 128; ++y)
                for (int x = 0; x < 128; ++x)
                    ASSERT_EQ(editor.PreviewSurface.Pixel(x, y),
                              coverage[static_cast<std::size_t>(y * 128 + x)] >= threshold ? 0x000000u
                                                                                           : 0xFFFFFFu)
                        << x << "," << y;
            EXPECT_EQ(editor.FontPalette, font::kStartPalette);
        }
    }
}
