#include "font/FreeTypeRenderer.h"

#include "base/Error.h"
#include "base/Path.h"
#include "font/GlyphEditor.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <set>

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

// A font collection of the given font files: the collection header, then each file whole, the offsets of
// its table records moved by where the file now starts.
std::vector<std::uint8_t> Collection(const std::vector<std::string>& paths) {
    std::vector<std::vector<std::uint8_t>> fonts;
    for (const std::string& path : paths)
        fonts.push_back(testsupport::ReadFile(path));
    const auto put32 = [](std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    };
    const auto get32 = [](const std::vector<std::uint8_t>& in, std::size_t at) {
        return std::uint32_t{in[at]} << 24 | std::uint32_t{in[at + 1]} << 16 | std::uint32_t{in[at + 2]} << 8 |
               in[at + 3];
    };
    std::vector<std::uint8_t> out(12 + 4 * fonts.size(), 0);
    out[0] = 't', out[1] = 't', out[2] = 'c', out[3] = 'f';
    put32(out, 4, 0x00010000);
    put32(out, 8, static_cast<std::uint32_t>(fonts.size()));
    for (std::size_t f = 0; f < fonts.size(); ++f) {
        while (out.size() % 4) out.push_back(0);
        const auto start = static_cast<std::uint32_t>(out.size());
        put32(out, 12 + 4 * f, start);
        std::vector<std::uint8_t>& font = fonts[f];
        const int tables = font[4] << 8 | font[5];
        for (int t = 0; t < tables; ++t) {
            const std::size_t record = 12 + 16 * static_cast<std::size_t>(t) + 8;
            put32(font, record, get32(font, record) + start);
        }
        out.insert(out.end(), font.begin(), font.end());
    }
    return out;
}

TEST(FreeTypeRenderer, AFontFileDrawsAsItsInstalledFamily) {
    testsupport::TempDir dir;
    const std::string serif = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";
    testsupport::WriteFile(dir / "pair.ttc", Collection({kDejaVu, serif}));
    FreeTypeRenderer installed;
    const auto draw = [](FreeTypeRenderer& renderer, const std::string& family, int size, std::uint8_t style) {
        ColourImage img(160, 64, 0xFFFFFF);
        renderer.DrawText(img, 2, 2, FontChoice{family, size, style, 0}, U"Ag ~\u00E9", 0x000000);
        return img;
    };
    struct Case {
        std::string path;
        int face;
        std::string family;
    };
    const Case cases[] = {{kDejaVu, 0, "DejaVu Sans"},
                          {dir / "pair.ttc", 0, "DejaVu Sans"},
                          {dir / "pair.ttc", 1, "DejaVu Serif"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + ":" + std::to_string(c.face));
        FreeTypeRenderer fromFile;
        ASSERT_EQ(fromFile.UseFontFile(c.path, c.face), c.family);
        const FontChoice font{c.family, 10, 0, 0};
        EXPECT_EQ(fromFile.ResolveFamily(font), c.family);
        EXPECT_FALSE(fromFile.Substitutes(font));
        for (int size : {8, 10, 17}) {
            const ColourImage image = draw(fromFile, c.family, size, 0);
            EXPECT_GT(Ink(image, 0), 20);
            EXPECT_EQ(image, draw(installed, c.family, size, 0)) << size;
            EXPECT_EQ(fromFile.MeasureText(FontChoice{c.family, size, 0, 0}, U"Ag ~").Width,
                      installed.MeasureText(FontChoice{c.family, size, 0, 0}, U"Ag ~").Width);
        }
        // The regular face made bold and slanted: more ink, and another picture.
        EXPECT_GT(Ink(draw(fromFile, c.family, 10, font::kBold), 0), Ink(draw(fromFile, c.family, 10, 0), 0));
        EXPECT_NE(draw(fromFile, c.family, 10, font::kItalic), draw(fromFile, c.family, 10, 0));
    }
    // Serif and sans differ, so the face index counts.
    EXPECT_NE(draw(installed, "DejaVu Serif", 10, 0), draw(installed, "DejaVu Sans", 10, 0));
}

TEST(FreeTypeRenderer, FontFilesThatCannotBeUsedAreNamedWithTheReason) {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir / "pair.ttc", Collection({kDejaVu, kDejaVu}));
    testsupport::WriteFile(dir / "text.ttf", {'n', 'o', ' ', 'f', 'o', 'n', 't'});
    const std::pair<std::string, int> files[] = {
        {dir / "none.ttf", 0}, {dir / "pair.ttc", 2}, {kDejaVu, 1}, {dir / "text.ttf", 0}, {dir.path(), 0}};
    const std::string reasons[] = {
        "No such file or directory.", "it has no face 2.", "it has no face 1.",
        "FreeType cannot read it as a font", "it is a folder."};
    FreeTypeRenderer renderer;
    for (std::size_t i = 0; i < std::size(files); ++i) {
        try {
            renderer.UseFontFile(files[i].first, files[i].second);
            ADD_FAILURE() << files[i].first;
        } catch (const base::Error& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind("Cannot read the font file \"" + files[i].first + "\": " + reasons[i], 0), 0u)
                << message;
        }
    }
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
