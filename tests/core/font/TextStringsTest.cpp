#include "font/TextStrings.h"

#include "FontFixtures.h"
#include "base/Error.h"
#include "base/Path.h"
#include "support/BlockRenderer.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Messages(const font::StringsResult& r) {
    return fontfixture::BoxedMessages(r.failure, r.notes);
}
// How many glyphs a run the bank cannot hold needed ("" for a run it can hold).
std::string Shortage(const font::StringsResult& r) {
    const std::vector<std::string> details = base::TextsOf(r.notes, base::Note::Kind::Detail);
    return details.empty() ? "" : details.front();
}

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
    // A byte-order mark is no character: at the start of a file, or pasted into a line; a no-break space is.
    EXPECT_EQ(font::MemoLines("\xEF\xBB\xBF"
                              "AB\r\nC\xEF\xBB\xBF"
                              "D\xC2\xA0"),
              (std::vector<std::u32string>{U"AB", U"CD\u00A0"}));
    EXPECT_EQ(font::MemoLines("\xEF\xBB\xBF"), std::vector<std::u32string>{U""});
}

TEST(TextStrings, AByteOrderMarkGetsNoGlyphAndNoPosition) {
    TempDir dir;
    BlockRenderer renderer;
    GlyphEditor e;
    FontBank bank;
    const auto r = font::GenerateStrings(e, bank, renderer,
                                         font::MemoLines("\xEF\xBB\xBF"
                                                         "AB"),
                                         dir.path());
    EXPECT_TRUE(Messages(r).empty());
    EXPECT_EQ(ReadText(dir / "Font_def.h"), "\r\n#define FONT_STR1_1BPP_WORD1\t\t0\r\n"
                                            "#define FONT_STR1_1BPP_WORD2\t\t1\r\n");
    ASSERT_EQ(bank.Count(), 2u);
    EXPECT_EQ(bank[0].Words, BlockGlyph(U'A'));
}

TEST(TextStrings, FontDefOfTheTwoLineExample) {
    TempDir dir;
    BlockRenderer renderer;
    GlyphEditor e;
    FontBank bank;
    const font::StringsResult r = font::GenerateStrings(e, bank, renderer, {U"AB A", U"C"}, dir.path());
    EXPECT_TRUE(Messages(r).empty());
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
    EXPECT_TRUE(Messages(r).empty());
    EXPECT_EQ(ReadText(dir / "Font_def.h"), "");
    EXPECT_TRUE(bank.Empty());
    EXPECT_EQ(renderer.drawCalls, 0);
    EXPECT_EQ(e.PreviewSurface.Pixel(50, 50), 0x000000u);

    r = font::GenerateStrings(e, bank, renderer, {U"AB"}, dir / "missing");
    EXPECT_EQ(Messages(r), std::vector<std::string>{"cannot create " + (dir / "missing/Font_def.h") +
                                                    ": No such file or directory"});
    EXPECT_TRUE(bank.Empty());
    EXPECT_EQ(renderer.drawCalls, 0);
}

TEST(TextStrings, AsciiFillsTheBankUpToTheLastPlace) {
    BlockRenderer renderer;
    GlyphEditor e;
    FontBank bank;
    font::StringsResult r = font::InsertAscii(e, bank, renderer);
    EXPECT_TRUE(Messages(r).empty());
    ASSERT_EQ(bank.Count(), 95u);
    EXPECT_EQ(bank[0].Words, BlockGlyph(U'!'));
    EXPECT_EQ(bank[94].Words, BlockGlyph(U'\x7F'));
    EXPECT_TRUE(Shortage(r).empty());

    // 95 free places take the 95 glyphs.
    bank.Clear();
    for (int i = 0; i < 161; ++i)
        bank.Append(fontfixture::ZeroNode(0, 4, 0));
    r = font::InsertAscii(e, bank, renderer);
    EXPECT_TRUE(Messages(r).empty());
    EXPECT_EQ(bank.Count(), 256u);
    EXPECT_EQ(bank[255].Words, BlockGlyph(U'\x7F'));
}

TEST(TextStrings, CharacterRangesInTheirOrderEachOnce) {
    struct Case {
        const char* text;
        std::u32string chars;
    };
    const Case cases[] = {
        {"0x41", U"A"},
        {"65", U"A"},
        {"0x20-0x23", U" !\"#"},
        {"32-35", U" !\"#"},
        {"0X41-0x43,0x2190", U"ABC\u2190"},
        {"0x43, 0x41 - 0x44 ,\n66", U"CABD"},  // order given, spaces allowed, duplicates once at the first place
        {"0x7e-0x7E,0xa0", U"~\u00A0"},      // hex digits of either case
        {"0x41,0x41,65", U"A"},
        {"0x10FFFF", U"\U0010FFFF"},
        {"0xD7FF-0xE000", U"\uD7FF\uE000"}, // a range across the surrogates skips them
    };
    for (const Case& c : cases)
        EXPECT_EQ(font::ParseCharacterRanges(c.text), c.chars) << c.text;

    const char* const bad[] = {
        "",        "  ",        "0x41,",    ",0x41",      "0x41,,0x42", "0x",        "0xG1",   "A",
        "4 1",     "0x43-0x41", "0x41-",    "-0x41",      "0x1F",       "0x0-0x41",  "0xD800", "0x110000",
        "0x41-0x110000", "99999999999999999999", "+65", "0x41-0x42-0x43",
    };
    for (const char* text : bad)
        EXPECT_THROW(font::ParseCharacterRanges(text), base::Error) << text;
    try {
        font::ParseCharacterRanges("0x20,0x7E-0x41");
        ADD_FAILURE();
    } catch (const base::Error& e) {
        EXPECT_STREQ(e.what(), "\"0x7E-0x41\" runs backwards");
    }
}

TEST(TextStrings, CharactersOfARangeGoIntoTheBankInTheirOrder) {
    BlockRenderer renderer;
    GlyphEditor e;
    FontBank bank;
    font::StringsResult r = font::InsertCharacters(e, bank, renderer, font::ParseCharacterRanges("0x43,0x41-0x43"));
    EXPECT_TRUE(Messages(r).empty());
    ASSERT_EQ(bank.Count(), 3u);
    EXPECT_EQ(bank[0].Words, BlockGlyph(U'C'));
    EXPECT_EQ(bank[1].Words, BlockGlyph(U'A'));
    EXPECT_EQ(bank[2].Words, BlockGlyph(U'B'));

    // A run the bank has no room for changes nothing.
    r = font::InsertCharacters(e, bank, renderer, font::ParseCharacterRanges("0x100-0x1FD"));
    EXPECT_EQ(Messages(r), std::vector<std::string>{"Font Bank Full !!!"});
    EXPECT_EQ(Shortage(r), "This run needs 254 glyphs; the bank has 253 free");
    EXPECT_EQ(bank.Count(), 3u);
}

TEST(TextStrings, ARunTheBankCannotHoldChangesNothing) {
    TempDir dir;
    testsupport::WriteFile(dir / "Font_def.h", {'o', 'l', 'd'});
    BlockRenderer renderer;
    GlyphEditor e;
    e.PreviewSurface.SetPixel(50, 50, 0x000000);
    const font::ColourImage surface = e.PreviewSurface;

    FontBank bank;
    for (int i = 0; i < 200; ++i)
        bank.Append(fontfixture::ZeroNode(0, 4, 0));
    const std::vector<font::GlyphNode> before = bank.Nodes();
    font::StringsResult r = font::InsertAscii(e, bank, renderer);
    EXPECT_EQ(r.Inserted, 0u);
    EXPECT_EQ(Messages(r), std::vector<std::string>{"Font Bank Full !!!"});
    EXPECT_EQ(Shortage(r), "This run needs 95 glyphs; the bank has 56 free");

    // 300 distinct characters into an empty bank, and 7 into a bank with 6 free places.
    std::u32string many;
    for (char32_t c = 0x100; c < 0x100 + 300; ++c)
        many += c;
    FontBank empty;
    r = font::GenerateStrings(e, empty, renderer, {many.substr(0, 150), U"A " + many.substr(150)},
                              dir.path());
    EXPECT_EQ(Messages(r), std::vector<std::string>{"Font Bank Full !!!"});
    EXPECT_EQ(Shortage(r), "This run needs 301 glyphs; the bank has 256 free");
    EXPECT_TRUE(empty.Empty());

    for (int i = 0; i < 50; ++i)
        bank.Append(fontfixture::ZeroNode(0, 4, 0));
    r = font::GenerateStrings(e, bank, renderer, {U"ABC D", U"EFG A"}, dir.path());
    EXPECT_EQ(Shortage(r), "This run needs 7 glyphs; the bank has 6 free");
    EXPECT_EQ(bank.Count(), 250u);

    EXPECT_TRUE(std::equal(before.begin(), before.end(), bank.Nodes().begin()));
    EXPECT_EQ(ReadText(dir / "Font_def.h"), "old");
    EXPECT_EQ(renderer.drawCalls, 0);
    EXPECT_EQ(e.PreviewSurface, surface);

    // Exactly as many characters as there are free places fit.
    r = font::GenerateStrings(e, bank, renderer, {U"ABC D", U"EF A"}, dir.path());
    EXPECT_TRUE(Messages(r).empty());
    EXPECT_TRUE(Shortage(r).empty());
    EXPECT_EQ(bank.Count(), 256u);
}

} // namespace
