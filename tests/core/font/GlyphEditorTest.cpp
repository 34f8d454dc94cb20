#include "font/GlyphEditor.h"
#include "font/FontBank.h"

#include "support/BlockRenderer.h"

#include <gtest/gtest.h>

namespace {

using font::ColourImage;
using font::GlyphEditor;
using font::kStartPalette;
using font::PaintColour;

TEST(GlyphEditor, StartState) {
    GlyphEditor e;
    EXPECT_EQ(e.ColorType(), 0);
    EXPECT_EQ(e.GlyphBpp(), 1);
    EXPECT_EQ(e.WidthIndex(), 4);
    EXPECT_EQ(e.CellWidth(), 16);
    EXPECT_EQ(e.GridWidth(), 16);
    EXPECT_EQ(e.HeightIndex(), 0);
    EXPECT_EQ(e.GridHeight(), 16);
    EXPECT_EQ(e.XOffset(), 0);
    EXPECT_EQ(e.YOffset(), 0);
    EXPECT_EQ(e.LeftColor, 0x000000u);
    EXPECT_EQ(e.RightColor, 0xFFFFFFu);
    EXPECT_EQ(e.LeftIndex, 1);
    EXPECT_EQ(e.RightIndex, 0);
    EXPECT_EQ(e.LeftHint, "clBlack");
    EXPECT_EQ(e.RightHint, "clWhite");
    const font::Palette expected = {0xFFFFFF, 0x000000, 0xFF0000, 0xFF00FF, 0x808080, 0x008000,
                                    0x00FF00, 0x000080, 0x800000, 0x008080, 0x800080, 0x0000FF,
                                    0xC0C0C0, 0x808000, 0xFFFF00, 0x00FFFF};
    EXPECT_EQ(e.FontPalette, expected);
    EXPECT_EQ(e.PreviewSurface, ColourImage(128, 128, 0xFFFFFF));
    EXPECT_EQ(e.CurrentFont, font::StartFont());
}

TEST(GlyphEditor, NamesOfColoursAndStyles) {
    const std::pair<base::Colour, const char*> colours[] = {
        {0x000000, "clBlack"},  {0x000080, "clMaroon"}, {0xFF00FF, "clFuchsia"}, {0x00FFFF, "clYellow"},
        {0xC0C0C0, "clSilver"}, {0xFFFFFF, "clWhite"},  {0x123456, "$00123456"}, {0x0080FF, "$000080FF"},
    };
    for (const auto& [colour, name] : colours)
        EXPECT_EQ(font::ColorName(colour), name);

    const std::pair<int, const char*> styles[] = {
        {0, "Normal"},
        {1, "Bold"},
        {2, "Italic"},
        {3, "Bold/Italic"},
        {12, "Underline/StrikeOut"},
        {15, "Bold/Italic/Underline/StrikeOut"},
        {16, "Normal"},
    };
    for (const auto& [style, text] : styles)
        EXPECT_EQ(font::FontStyleText(static_cast<std::uint8_t>(style)), text);

    // Points become pixels at 96 per inch.
    EXPECT_EQ(font::StartFont().Height(), -13);
    EXPECT_EQ(font::DialogStartFont().Height(), -11);
    EXPECT_EQ((font::FontChoice{"x", 12, 0, 0}.Height()), -16);
}

TEST(GlyphEditor, ColourTypeReducesTheWholeSurface) {
    GlyphEditor e;
    e.ApplyColorType(2);
    e.PreviewSurface.SetPixel(0, 0, 0x808080);   // entry 4, outside the window
    e.PreviewSurface.SetPixel(40, 40, 0xFF00FF); // entry 3
    e.PreviewSurface.SetPixel(41, 40, 0x123456); // in no entry
    e.LeftColor = 0x00FF00;                      // replaced by entry 1 on the change

    ASSERT_TRUE(e.ApplyColorType(1)); // 2 bpp: every colour but entries 0..3 becomes entry 1
    EXPECT_EQ(e.GlyphBpp(), 2);
    EXPECT_EQ(e.LeftColor, 0x000000u);
    EXPECT_EQ(e.PreviewSurface.Pixel(0, 0), 0x000000u);
    EXPECT_EQ(e.PreviewSurface.Pixel(40, 40), 0xFF00FFu);
    EXPECT_EQ(e.PreviewSurface.Pixel(41, 40), 0x000000u);
    EXPECT_EQ(e.PreviewSurface.Pixel(1, 1), 0xFFFFFFu);

    ASSERT_TRUE(e.ApplyColorType(2)); // back to 4 bpp restores nothing
    EXPECT_EQ(e.PreviewSurface.Pixel(0, 0), 0x000000u);

    ASSERT_TRUE(e.ApplyColorType(0)); // 1 bpp: everything but the right colour (entry 0) becomes entry 1
    EXPECT_EQ(e.PreviewSurface.Pixel(40, 40), 0x000000u);
    EXPECT_EQ(e.PreviewSurface.Pixel(1, 1), 0xFFFFFFu);

    // The colour boxes follow entries 1 and 0 of the palette as it is.
    e.FontPalette[1] = 0x0000FF;
    e.FontPalette[0] = 0x00FFFF;
    e.RightColor = 0x123456;
    ASSERT_TRUE(e.ApplyColorType(3));
    EXPECT_EQ(e.LeftColor, 0x0000FFu);
    EXPECT_EQ(e.LeftHint, "clRed");
    EXPECT_EQ(e.RightColor, 0x00FFFFu);
    EXPECT_EQ(e.RightHint, "clYellow");

    // An index the box does not have changes nothing.
    const GlyphEditor before = e;
    EXPECT_FALSE(e.ApplyColorType(-1));
    EXPECT_FALSE(e.ApplyColorType(4));
    EXPECT_FALSE(e.ApplyGridWidth(19));
    EXPECT_FALSE(e.ApplyGridHeight(-1));
    EXPECT_EQ(e.ColorType(), before.ColorType());
    EXPECT_EQ(e.WidthIndex(), before.WidthIndex());
    EXPECT_EQ(e.HeightIndex(), before.HeightIndex());
    EXPECT_EQ(e.PreviewSurface, before.PreviewSurface);
}

TEST(GlyphEditor, PaintingFollowsTheWindow) {
    GlyphEditor e;
    e.SetXOffset(5);
    e.SetYOffset(-40); // kept at -32
    EXPECT_EQ(e.YOffset(), -32);
    // Glyph pixel (2, 1) is surface pixel (32 + 5 + 2, 32 - 32 + 1).
    EXPECT_TRUE(e.PaintCell(2, 1, false));
    EXPECT_EQ(e.PreviewSurface.Pixel(32 + 5 + 2, 32 - 32 + 1), 0x000000u);
    EXPECT_TRUE(e.PaintCell(2, 1, true)); // Alt: the right colour
    EXPECT_EQ(e.PreviewSurface.Pixel(39, 1), 0xFFFFFFu);
    // Off the glyph's 16 x 16 pixels nothing is painted.
    const ColourImage before = e.PreviewSurface;
    EXPECT_FALSE(e.PaintCell(16, 0, false));
    EXPECT_FALSE(e.PaintCell(-1, 0, false));
    EXPECT_FALSE(e.PaintCell(0, 16, false));
    EXPECT_EQ(e.PreviewSurface, before);
    // A larger glyph takes more.
    e.ApplyGridWidth(18);
    e.ApplyGridHeight(3);
    EXPECT_TRUE(e.PaintCell(63, 63, false));
}

TEST(GlyphEditor, PalettePicksStayWithinTheColourType) {
    // Entries usable per colour type: 1 bpp 2, 2 bpp 4, 4 and 8 bpp 16.
    const int usable[] = {2, 4, 16, 16};
    for (int type = 0; type < 4; ++type) {
        SCOPED_TRACE(type);
        GlyphEditor e;
        e.ApplyColorType(type);
        for (int entry = -1; entry <= 16; ++entry) {
            const bool acts = entry >= 0 && entry < usable[type];
            EXPECT_EQ(e.PickPaletteColour(entry, PaintColour::Left), acts) << entry;
            if (acts) {
                EXPECT_EQ(e.LeftColor, kStartPalette[static_cast<size_t>(entry)]);
                EXPECT_EQ(e.LeftIndex, entry);
            }
            EXPECT_EQ(e.CanChangePaletteEntry(entry), type != 0 && entry >= 2 && entry < usable[type])
                << entry;
        }
        EXPECT_TRUE(e.PickPaletteColour(1, PaintColour::Right));
        EXPECT_EQ(e.RightColor, 0x000000u);
        EXPECT_EQ(e.RightIndex, 1);
        EXPECT_EQ(e.RightHint, "clBlack");
    }
}

TEST(GlyphEditor, ChangingTheLeftEntryRecoloursThePicture) {
    GlyphEditor e;
    e.ApplyColorType(2);
    e.PreviewSurface.SetPixel(10, 10, 0x008000); // green, entry 5
    e.PreviewSurface.SetPixel(90, 90, 0x008000);
    e.PreviewSurface.SetPixel(11, 10, 0x00FF00);
    // The first press of the double click picks entry 5 as the left colour.
    ASSERT_TRUE(e.PickPaletteColour(5, PaintColour::Left));
    ASSERT_TRUE(e.CanChangePaletteEntry(5));
    const base::Colour orange = 0x00A5FF;
    EXPECT_TRUE(e.ChangePaletteEntry(5, orange));
    EXPECT_EQ(e.PreviewSurface.Pixel(10, 10), orange);
    EXPECT_EQ(e.PreviewSurface.Pixel(90, 90), orange);
    EXPECT_EQ(e.PreviewSurface.Pixel(11, 10), 0x00FF00u);
    EXPECT_EQ(e.LeftColor, orange);
    EXPECT_EQ(e.FontPalette[5], orange);
    EXPECT_EQ(e.LeftIndex, 5);
    EXPECT_EQ(e.LeftHint, "clGreen"); // the box keeps its tooltip

    // An entry that is not the left box's changes the palette and the left colour, not the picture.
    EXPECT_FALSE(e.ChangePaletteEntry(7, 0x112233));
    EXPECT_EQ(e.FontPalette[7], 0x112233u);
    EXPECT_EQ(e.LeftColor, 0x112233u);
    EXPECT_EQ(e.PreviewSurface.Pixel(10, 10), orange);
}

TEST(GlyphEditor, InvertSwapsOnlyPureBlackAndWhite) {
    GlyphEditor e;
    e.PreviewSurface.SetPixel(0, 0, 0x000000);
    e.PreviewSurface.SetPixel(1, 0, 0x010101);
    e.PreviewSurface.SetPixel(2, 0, 0xFF0000);
    e.Invert();
    EXPECT_EQ(e.PreviewSurface.Pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(e.PreviewSurface.Pixel(1, 0), 0x010101u);
    EXPECT_EQ(e.PreviewSurface.Pixel(2, 0), 0xFF0000u);
    EXPECT_EQ(e.PreviewSurface.Pixel(127, 127), 0x000000u);
}

TEST(GlyphEditor, RenderingDrawsAtTheWindowOriginInTheLeftColour) {
    testsupport::BlockRenderer renderer;
    GlyphEditor e;
    const font::FontBoxTexts boxes = font::FontShowProp(e, renderer, font::FontChoice{"Mono", 9, 3, 2});
    EXPECT_EQ(boxes.Face, "Block Mono");
    EXPECT_EQ(boxes.Style, "Bold/Italic");
    EXPECT_EQ(boxes.Size, "9");
    EXPECT_EQ(boxes.Height, "-12");
    EXPECT_EQ(boxes.Charset, "2");
    EXPECT_EQ(boxes.Pixels, "8 x 12");
    EXPECT_EQ(e.CurrentFont.Family, "Block Mono");

    e.PreviewSurface.SetPixel(100, 100, 0x000000); // cleared first
    e.ApplyColorType(2);
    e.PickPaletteColour(11, PaintColour::Left); // red
    EXPECT_FALSE(font::EnterCharacter(e, renderer, "").has_value());
    EXPECT_EQ(renderer.drawCalls, 0);
    const auto pixels = font::EnterCharacter(e, renderer, "A"); // 0x41: bits 0 and 6
    ASSERT_TRUE(pixels.has_value());
    EXPECT_EQ(*pixels, "8 x 12");

    ColourImage expected(128, 128, 0xFFFFFF);
    for (int k = 0; k < 7; ++k)
        expected.SetPixel(32 + k, 32, 0x0000FF);
    for (int r = 2; r < 10; ++r) {
        expected.SetPixel(32, 32 + r, 0x0000FF);
        expected.SetPixel(38, 32 + r, 0x0000FF);
    }
    expected.SetPixel(39, 33, 0x0000FF); // the renderer's grey pixel became ink
    EXPECT_EQ(e.PreviewSurface, expected);

    // The glyph is what the window sees: encoded at 4 bpp, red is entry 11 (planes 0, 1 and 3).
    const font::GlyphWords words = e.Encode();
    EXPECT_EQ(words[0], 0xFE00);
    EXPECT_EQ(words[1], 0xFE00);
    EXPECT_EQ(words[2], 0x0000);
    EXPECT_EQ(words[3], 0xFE00);
    EXPECT_EQ(words[4], 0x0100); // row 1: the grey pixel at x = 7, now red
}

TEST(GlyphEditor, TextPastTheWindowStaysOnTheSurfaceAndOneBppLooksForBlack) {
    testsupport::BlockRenderer renderer;
    GlyphEditor e;
    font::RenderGlyphText(e, renderer, U"ABCDEFGHIJKLM");  // 104 pixels from x = 32: cut at 127
    EXPECT_EQ(e.PreviewSurface.Pixel(126, 32), 0x000000u); // the top row of "L"
    EXPECT_EQ(e.PreviewSurface.Pixel(127, 33), 0x000000u); // its grey pixel, now ink
    EXPECT_EQ(e.Encode()[0], 0xFEFE);                      // two characters' top rows and the gaps after them
    e.SetXOffset(32);                                      // the window moves onto the fifth character
    EXPECT_EQ(e.GlyphPixel(0, 0), 0x000000u);
    EXPECT_EQ(e.Encode()[0], 0xFEFE);

    // With entry 1 no longer black, text in the left colour encodes as nothing at 1 bpp.
    e.FontPalette[1] = 0x0000FF;
    e.ApplyColorType(0);
    e.SetXOffset(0);
    font::RenderGlyphText(e, renderer, U"A");
    EXPECT_EQ(e.GlyphPixel(0, 0), 0x0000FFu);
    EXPECT_EQ(e.Encode(), font::GlyphWords(16, 0));
}

// What a rendering loses is told: characters the face has no glyph for (the block face has none above
// U+FFFF), and ink outside the glyph window. Block characters are 8 x 12 with ink from their cell's corner.
TEST(GlyphEditor, RenderNotesNameWhatTheGlyphLoses) {
    testsupport::BlockRenderer renderer;
    GlyphEditor e;
    font::FontShowProp(e, renderer, font::FontChoice{"Mono", 10, 0, 0});
    const struct {
        const char* what;
        int widthIndex; // 0: a 12-pixel glyph, 4: 16 pixels
        int xOffset;
        std::u32string text;
        std::u32string missing;
        bool cut;
    } cases[] = {
        {"two characters fill the 16-pixel glyph", 4, 0, U"AB", U"", false},
        {"the second character reaches past 12 pixels", 0, 0, U"AB", U"", true},
        {"the window moved right of the first column of ink", 4, 1, U"A", U"", true},
        {"a character the face lacks", 4, 0, U"\U0001F600", U"\U0001F600", false},
        {"each missing character once", 0, 0, U"\U00010000\U00010000", U"\U00010000", true},
        {"control characters are no face's", 4, 0, U"\x7F", U"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        e.ApplyGridWidth(c.widthIndex);
        e.SetXOffset(c.xOffset);
        font::RenderNotes notes;
        font::RenderGlyphText(e, renderer, c.text, &notes);
        EXPECT_EQ(notes.Missing, c.missing);
        EXPECT_EQ(notes.Cut, c.cut ? std::vector<std::u32string>{c.text} : std::vector<std::u32string>{});
        EXPECT_EQ(notes.Empty(), c.missing.empty() && !c.cut);
    }

    // The lines for the status bar and stderr.
    e.ApplyGridWidth(0);
    e.SetXOffset(0);
    font::RenderNotes notes;
    notes.Missing = U"\u4E2D\U0001F600";
    notes.Cut = {U"g", U"gA", U"\u4E2D"};
    EXPECT_EQ(font::RenderNoteLines(notes, e),
              (std::vector<std::string>{
                  "Block Mono has no glyph for U+4E2D, U+1F600: each is drawn as an empty box",
                  "Ink outside the 12 x 16 glyph is cut off: U+0067 'g', U+0067 U+0041 'gA', U+4E2D"}));
    EXPECT_TRUE(font::RenderNoteLines({}, e).empty());

    // Checking a run renders every character as a glyph of its own, on a copy: the editor stays as it was.
    e.ApplyGridWidth(4);
    font::RenderGlyphText(e, renderer, U"Z");
    const ColourImage before = e.PreviewSurface;
    const font::RenderNotes run = font::CheckGlyphs(e, renderer, U"AB\U00020000C");
    EXPECT_EQ(run.Missing, U"\U00020000");
    EXPECT_TRUE(run.Cut.empty()); // one 8-pixel character a glyph fits
    EXPECT_EQ(e.PreviewSurface, before);
}

// A face standing in for a family that is not installed is named in FontShowProp's note.
TEST(GlyphEditor, ASubstitutedFaceIsNoted) {
    testsupport::BlockRenderer renderer;
    GlyphEditor e;
    EXPECT_TRUE(font::FontShowProp(e, renderer, font::FontChoice{"Mono", 10, 0, 0}).notes.empty());
    const font::FontBoxTexts boxes =
        font::FontShowProp(e, renderer, font::FontChoice{"Missing Face", 10, 0, 0});
    EXPECT_EQ(boxes.Face, "Block Missing Face");
    EXPECT_EQ(boxes.notes,
              (base::Notes{{base::Note::Kind::Shortfall,
                            "Font \"Missing Face\" is not installed: Block Missing Face is used instead"}}));
}

TEST(FontBank, InsertCopiesTheGlyphAndStopsAt256) {
    GlyphEditor e;
    e.ApplyGridWidth(9); // 2 bpp 32 x 16: 64 words
    e.ApplyColorType(1);
    e.PreviewSurface.SetPixel(32, 32, 0xFF00FF);
    font::FontBank bank;
    ASSERT_FALSE(font::InsertGlyph(bank, e).has_value());
    ASSERT_EQ(bank.Count(), 1u);
    EXPECT_EQ(bank[0].WordCount(), 64);
    EXPECT_EQ(bank[0].Words, e.Encode());
    EXPECT_EQ(bank[0].Palette, e.FontPalette);
    EXPECT_EQ(font::BankRowTextsOf(bank[0], 1).Description, "32x16 1 9 0");
    EXPECT_EQ(font::BankRowTextsOf(bank[0], 1).Bpp, "2");
    EXPECT_EQ(font::GlyphImageOf(bank[0]).Pixel(0, 0), 0xFF00FFu);
    EXPECT_EQ(font::GlyphImageOf(bank[0]).Width(), 32);

    for (int i = 1; i < 256; ++i)
        ASSERT_FALSE(font::InsertGlyph(bank, e).has_value()) << i;
    EXPECT_EQ(bank.Count(), 256u);
    EXPECT_EQ(font::InsertGlyph(bank, e), std::optional<std::string>("Font Bank Full !!!"));
    EXPECT_EQ(bank.Count(), 256u);

    bank.Remove(0);
    bank.Remove(999);
    EXPECT_EQ(bank.Count(), 255u);
    bank.Clear();
    EXPECT_TRUE(bank.Empty());

    // Deleting the first of three moves the others up.
    for (int type = 0; type < 3; ++type) {
        e.ApplyColorType(type);
        font::InsertGlyph(bank, e);
    }
    bank.Remove(0);
    ASSERT_EQ(bank.Count(), 2u);
    EXPECT_EQ(bank[0].ColorType, 1);
    EXPECT_EQ(bank[1].ColorType, 2);
}

TEST(FontBank, LoadingANodeSetsGeometryOffsetsAndPaletteInOrder) {
    font::FontBank bank;
    GlyphEditor source;
    source.FontPalette[3] = 0x445566;
    source.ApplyGridWidth(15); // four cells of 13
    source.ApplyGridHeight(1);
    source.ApplyColorType(1);
    source.PreviewSurface.SetPixel(32 + 51, 32 + 31, 0x445566); // the last pixel of the last cell
    source.PreviewSurface.SetPixel(32, 32, 0xFF0000);
    ASSERT_FALSE(font::InsertGlyph(bank, source).has_value());

    GlyphEditor e;
    e.FontPalette[1] = 0x0000FF; // the old palette gives the colour boxes theirs
    e.SetXOffset(7);
    e.PreviewSurface.SetPixel(0, 0, 0x000000);
    font::LoadNodeIntoEditor(e, bank[0]);
    EXPECT_EQ(e.WidthIndex(), 15);
    EXPECT_EQ(e.CellWidth(), 13);
    EXPECT_EQ(e.GridWidth(), 52);
    EXPECT_EQ(e.HeightIndex(), 1);
    EXPECT_EQ(e.ColorType(), 1);
    EXPECT_EQ(e.XOffset(), 0);
    EXPECT_EQ(e.LeftColor, 0x0000FFu);
    EXPECT_EQ(e.FontPalette, source.FontPalette);
    EXPECT_EQ(e.PreviewSurface, source.PreviewSurface);
    EXPECT_EQ(e.Encode(), bank[0].Words);
}

} // namespace

// The levels of coverage and the ramp, worked out by hand: level round(c * (L - 1) / 255); each channel of
// entry k round(background + (ink - background) * k / (L - 1)).
TEST(GlyphEditor, SmoothLevelsAndRamp) {
    const struct {
        int c, levels, level;
    } levels[] = {{0, 4, 0},     {42, 4, 0},    {43, 4, 1},    {127, 4, 1}, {128, 4, 2},
                  {212, 4, 2},   {213, 4, 3},   {255, 4, 3},   {8, 16, 0},  {9, 16, 1},
                  {246, 16, 14}, {247, 16, 15}, {255, 16, 15}, {127, 2, 0}, {128, 2, 1}};
    for (const auto& t : levels)
        EXPECT_EQ(font::CoverageLevel(static_cast<std::uint8_t>(t.c), t.levels), t.level)
            << t.c << " of " << t.levels;
    EXPECT_EQ(font::SmoothLevels(0), 2);
    EXPECT_EQ(font::SmoothLevels(1), 4);
    EXPECT_EQ(font::SmoothLevels(2), 16);
    EXPECT_EQ(font::SmoothLevels(3), 16);

    // Lime (0x00FF00) to red (0x0000FF) in 4: green falls 255, 170, 85, 0 while red rises 0, 85, 170, 255.
    EXPECT_EQ(font::SmoothRamp(0x00FF00, 0x0000FF, 4),
              (std::vector<base::Colour>{0x00FF00, 0x00AA55, 0x0055AA, 0x0000FF}));
    // Black to red 100 in 16: 100 * k / 15 rounded: 7 at k = 1, 20 at 3, 53 at 8, 100 at 15.
    const std::vector<base::Colour> ramp = font::SmoothRamp(0x000000, 0x000064, 16);
    EXPECT_EQ(ramp[1], 0x000007u);
    EXPECT_EQ(ramp[3], 0x000014u);
    EXPECT_EQ(ramp[8], 0x000035u);
    EXPECT_EQ(ramp[15], 0x000064u);
    // Falling channels round the same way: 100 down to 0 gives 93 at k = 1 (100 - 6.67).
    EXPECT_EQ(font::SmoothRamp(0x000064, 0x000000, 16)[1], 0x00005Du);
}

// Smooth with a renderer that only inks (its coverage is 0 or 255): the ramp goes into the palette's first
// entries from the right colour to the left, the background takes entry 0, and ink outside the window is
// still told.
TEST(GlyphEditor, SmoothRampGoesIntoThePaletteFromRightToLeft) {
    testsupport::BlockRenderer renderer;
    GlyphEditor e;
    e.ApplyColorType(1);
    e.PickPaletteColour(3, PaintColour::Right); // magenta 0xFF00FF
    e.PickPaletteColour(2, PaintColour::Left);  // blue 0xFF0000
    e.Smooth = true;
    font::RenderNotes notes;
    font::RenderGlyphText(e, renderer, U"A", &notes);
    EXPECT_TRUE(notes.Empty());
    const font::Palette expected = {0xFF00FF, 0xFF00AA, 0xFF0055, 0xFF0000, 0x808080, 0x008000,
                                    0x00FF00, 0x000080, 0x800000, 0x008080, 0x800080, 0x0000FF,
                                    0xC0C0C0, 0x808000, 0xFFFF00, 0x00FFFF};
    EXPECT_EQ(e.FontPalette, expected);
    EXPECT_EQ(e.LeftColor, 0xFF0000u);
    EXPECT_EQ(e.LeftIndex, 3);
    EXPECT_EQ(e.RightIndex, 0);
    EXPECT_EQ(e.PreviewSurface.Pixel(0, 0), 0xFF00FFu);   // background: entry 0
    EXPECT_EQ(e.PreviewSurface.Pixel(32, 32), 0xFF0000u); // ink: entry 3
    EXPECT_EQ(e.PreviewSurface.Pixel(39, 33), 0xFF0000u); // the grey pixel counts as touched
    // At 2 bpp ink is index 3: planes 0 and 1 both set across the top row.
    EXPECT_EQ(e.Encode()[0], 0xFE00);
    EXPECT_EQ(e.Encode()[1], 0xFE00);

    font::RenderGlyphText(e, renderer, U"ABC", &notes); // 24 pixels wide: past the 16-pixel window
    ASSERT_EQ(notes.Cut.size(), 1u);
}
