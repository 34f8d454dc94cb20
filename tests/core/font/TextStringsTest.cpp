#include "font/TextStrings.h"

#include "FontFixtures.h"
#include "base/Path.h"
#include "support/BlockRenderer.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

namespace {

using font::FontBank;
using font::GlyphEditor;
using font::GlyphWords;
using testsupport::BlockRenderer;
using testsupport::ReadText;
using testsupport::TempDir;

// The 1 bpp 16 x 16 glyph the block renderer gives a character: the top row, the grey pixel turned ink in
// row 1, the character's low seven bits in rows 2..9 (bit k is pixel k, so bit 15 - k of the word).
GlyphWords BlockGlyph(char32_t c) {
    GlyphWords w(16, 0);
    w[0] = 0xFE00;
    w[1] = 0x0100;
    std::uint16_t bits = 0;
    for (int k = 0; k < 7; ++k)
        if ((c >> k) & 1) bits = static_cast<std::uint16_t>(bits | (0x8000 >> k));
    for (int r = 2; r < 10; ++r)
        w[static_cast<size_t>(r)] = bits;
    return w;
}

TEST(TextStrings, MemoLinesAndCharacters) {
    EXPECT_EQ(font::MemoLines("AB\r\nC\n"), (std::vector<std::u32string>{U"AB", U"C"}));
    EXPECT_EQ(font::MemoLines(""), std::vector<std::u32string>{});
    EXPECT_EQ(font::MemoLines("\n"), std::vector<std::u32string>{U""});
    EXPECT_EQ(font::MemoLines("A\rB\n\nC"), (std::vector<std::u32string>{U"A", U"B", U"", U"C"}));
    EXPECT_EQ(font::MemoLines("\xC3\xA9\xE2\x82\xAC \xF0\x9F\x98\x80"),
              std::vector<std::u32string>{U"\u00E9\u20AC \U0001F600"});
    // Bytes that are no UTF-8 stand for themselves.
    EXPECT_EQ(font::MemoLines("a\xE9z\xC3"), std::vector<std::u32string>{U"a\u00E9z\u00C3"});
}

TEST(TextStrings, FontDefOfTheTwoLineExample) {
    TempDir dir;
    BlockRenderer renderer;
    GlyphEditor e;
    FontBank bank;
    const font::StringsResult r = font::GenerateStrings(e, bank, renderer, {U"AB A", U"C"}, dir.path());
    EXPECT_TRUE(r.Messages.empty());
    EXPECT_EQ(r.Inserted, 3u);
    EXPECT_EQ(ReadText(dir / "Font_def.h"), "\r\n"
                                            "#define FONT_STR1_1BPP_WORD1\t\t0\r\n"
                                            "#define FONT_STR1_1BPP_WORD2\t\t1\r\n"
                                            "#define FONT_STR1_1BPP_WORD4\t\t0\r\n"
                                            "\r\n"
                                            "#define FONT_STR2_1BPP_WORD1\t\t2\r\n");
    ASSERT_EQ(bank.Count(), 3u);
    EXPECT_EQ(bank[0].Words, BlockGlyph(U'A'));
    EXPECT_EQ(bank[1].Words, BlockGlyph(U'B'));
    EXPECT_EQ(bank[2].Words, BlockGlyph(U'C'));
    EXPECT_EQ(e.PreviewSurface, font::ColourImage(128, 128, 0xFFFFFF));
}

TEST(TextStrings, NumbersAreSharedAndCaseCounts) {
    TempDir dir;
    BlockRenderer renderer;
    GlyphEditor e;
    FontBank bank;
    bank.Append(fontfixture::ZeroNode(0, 4, 0)); // numbers count within the run, not the bank
    font::GenerateStrings(e, bank, renderer, {U"aA", U"   ", U"A\u00E9 a"}, dir.path());
    EXPECT_EQ(ReadText(dir / "Font_def.h"), "\r\n"
                                            "#define FONT_STR1_1BPP_WORD1\t\t0\r\n"
                                            "#define FONT_STR1_1BPP_WORD2\t\t1\r\n"
                                            "\r\n" // the line of blanks
                                            "\r\n"
                                            "#define FONT_STR3_1BPP_WORD1\t\t1\r\n"
                                            "#define FONT_STR3_1BPP_WORD2\t\t2\r\n"
                                            "#define FONT_STR3_1BPP_WORD4\t\t0\r\n");
    ASSERT_EQ(bank.Count(), 4u);
    EXPECT_EQ(bank[1].Words, BlockGlyph(U'a'));
    EXPECT_EQ(bank[3].Words, BlockGlyph(U'\u00E9'));
}

TEST(TextStrings, EmptyMemoAndAFontDefThatCannotBeWritten) {
    TempDir dir;
    BlockRenderer renderer;
    GlyphEditor e;
    e.PreviewSurface.SetPixel(50, 50, 0x000000);
    FontBank bank;
    font::StringsResult r = font::GenerateStrings(e, bank, renderer, {}, dir.path());
    EXPECT_TRUE(r.Messages.empty());
    EXPECT_EQ(ReadText(dir / "Font_def.h"), "");
    EXPECT_TRUE(bank.Empty());
    EXPECT_EQ(renderer.drawCalls, 0);
    EXPECT_EQ(e.PreviewSurface.Pixel(50, 50), 0x000000u);

    r = font::GenerateStrings(e, bank, renderer, {U"AB"}, dir / "missing");
    EXPECT_EQ(r.Messages,
              std::vector<std::string>{"Unable to create Font_def.h\ncannot create " +
                                       (dir / "missing/Font_def.h") + ": No such file or directory"});
    EXPECT_TRUE(bank.Empty());
    EXPECT_EQ(renderer.drawCalls, 0);
}

TEST(TextStrings, AsciiFillsTheBankUntilItIsFull) {
    BlockRenderer renderer;
    GlyphEditor e;
    FontBank bank;
    font::StringsResult r = font::InsertAscii(e, bank, renderer);
    EXPECT_TRUE(r.Messages.empty());
    ASSERT_EQ(bank.Count(), 95u);
    EXPECT_EQ(bank[0].Words, BlockGlyph(U'!'));
    EXPECT_EQ(bank[94].Words, BlockGlyph(U'\x7F'));

    bank.Clear();
    for (int i = 0; i < 200; ++i)
        bank.Append(fontfixture::ZeroNode(0, 4, 0));
    r = font::InsertAscii(e, bank, renderer);
    EXPECT_EQ(r.Inserted, 56u);
    EXPECT_EQ(r.Messages, std::vector<std::string>(39, "Font Bank Full !!!"));
    ASSERT_EQ(bank.Count(), 256u);
    EXPECT_EQ(bank[255].Words, BlockGlyph(U'X')); // 33 + 55 = 88
    EXPECT_EQ(e.PreviewSurface, font::ColourImage(128, 128, 0xFFFFFF));
}

} // namespace
