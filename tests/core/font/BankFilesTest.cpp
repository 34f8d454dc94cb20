#include "font/BankFiles.h"

#include "FontFixtures.h"
#include "base/Path.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using font::FontBank;
using fontfixture::MakeNode;
using fontfixture::ZeroNode;
using testsupport::ReadText;
using testsupport::TempDir;

const font::FontChoice kArial{"Arial", 10, 0, 0};

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(BankFiles, TextStartsAsTheExampleOfATwelveWideGlyph) {
    font::GlyphNode node = ZeroNode(0, 0, 0);
    node.Words[1] = 0x00F0;
    FontBank bank;
    ASSERT_TRUE(bank.Append(node));
    const std::string expected = ";FontFace=Arial\n"
                                 ";FontCharSet=0\n"
                                 ";FontHeight=-13\n"
                                 ";FontSize=10\n"
                                 ";FontStyle=0\n"
                                 ";BPPi=0\n"
                                 ";Xi=0\n"
                                 ";Yi=0\n"
                                 ";Palette\n"
                                 "0xFFFFFF 0x000000 0xFF0000 0xFF00FF\n"
                                 "0x808080 0x008000 0x00FF00 0x000080\n"
                                 "0x800000 0x008080 0x800080 0x0000FF\n"
                                 "0xC0C0C0 0x808000 0xFFFF00 0x00FFFF\n"
                                 ";UFONT 00 \n"
                                 "............ 0x00,0x00, DB 000h,000h\n"
                                 "....XXXX.... 0x00,0xF0, DB 000h,0F0h\n";
    const std::string text = font::BankText(bank, kArial);
    EXPECT_EQ(text.substr(0, expected.size()), expected);
    EXPECT_EQ(text.size(),
              expected.size() + 14 * std::string("............ 0x00,0x00, DB 000h,000h\n").size());

    // Saved, every "\n" is CR LF; the style is the number of its flags.
    TempDir dir;
    const font::BankSaveResult r =
        font::SaveBank(bank, font::FontChoice{"Arial", 10, 13, 0}, settings::BinSort::Half, dir.path());
    EXPECT_TRUE(r.ran);
    EXPECT_FALSE(r.failure.has_value());
    EXPECT_EQ(r.written, (std::vector<std::string>{"FontBank.txt", "FontBank.bin"}));
    const std::string saved = ReadText(dir / "FontBank.txt");
    EXPECT_EQ(saved.substr(0, 17), ";FontFace=Arial\r\n");
    EXPECT_NE(saved.find("\r\n;FontStyle=13\r\n"), std::string::npos);
    EXPECT_EQ(Count(saved, "\n"), Count(saved, "\r\n"));
}

TEST(BankFiles, BinaryOrdersOfOneAndTwoGlyphs) {
    font::GlyphNode a = ZeroNode(0, 4, 0);
    font::GlyphNode b = ZeroNode(0, 4, 0);
    for (int i = 0; i < 16; ++i) {
        a.Words[static_cast<size_t>(i)] = static_cast<std::uint16_t>(0x1000 + i);
        b.Words[static_cast<size_t>(i)] = static_cast<std::uint16_t>(0x2080 + i);
    }
    FontBank one;
    one.Append(a);
    std::string expectedOne;
    for (int i = 0; i < 16; ++i)
        expectedOne += '\x10';
    for (int i = 0; i < 16; ++i)
        expectedOne += static_cast<char>(i);
    EXPECT_EQ(font::BankBinary(one, settings::BinSort::Half), expectedOne);
    EXPECT_EQ(font::BankBinary(one, settings::BinSort::Font), expectedOne);

    FontBank two = one;
    two.Append(b);
    std::string hiA(16, '\x10'), hiB(16, '\x20'), loA, loB;
    for (int i = 0; i < 16; ++i) {
        loA += static_cast<char>(i);
        loB += static_cast<char>(0x80 + i);
    }
    EXPECT_EQ(font::BankBinary(two, settings::BinSort::Half), hiA + hiB + loA + loB); // Half
    EXPECT_EQ(font::BankBinary(two, settings::BinSort::Font), hiA + loA + hiB + loB); // Font
    // A Bin Sort the settings file stored as a number no menu item has is Half.
    EXPECT_EQ(font::BankBinary(two, settings::Settings::FromStored({4, 1, 7, 1}).BinSort()),
              hiA + hiB + loA + loB);

    TempDir dir;
    ASSERT_FALSE(font::SaveBank(two, kArial, settings::BinSort::Font, dir.path()).failure.has_value());
    EXPECT_EQ(ReadText(dir / "FontBank.bin"), hiA + loA + hiB + loB);
}

TEST(BankFiles, GroupNumbersWrapAfterFF) {
    FontBank bank;
    for (int i = 0; i < 33; ++i) // 8 bpp 16 x 16: 8 groups each, 264 in all
        bank.Append(ZeroNode(3, 4, 0));
    const std::string text = font::BankText(bank, kArial);
    EXPECT_EQ(Count(text, ";UFONT 00 \n"), 2u);
    EXPECT_EQ(Count(text, ";UFONT FF \n"), 1u);
    EXPECT_EQ(Count(text, ";UFONT 07 \n"), 2u);
    EXPECT_EQ(Count(text, ";UFONT 08 \n"), 1u);
    EXPECT_LT(text.find(";UFONT FF \n"), text.rfind(";UFONT 00 \n"));
}

TEST(BankFiles, SaveLeavesNothingForAnEmptyBankOrAFailure) {
    TempDir dir;
    FontBank bank;
    const font::BankSaveResult empty = font::SaveBank(bank, kArial, settings::BinSort::Half, dir.path());
    EXPECT_FALSE(empty.ran);
    EXPECT_FALSE(base::FileExists(dir / "FontBank.txt"));
    EXPECT_FALSE(base::FileExists(dir / "FontBank.bin"));

    bank.Append(ZeroNode(0, 4, 0));
    const font::BankSaveResult failed =
        font::SaveBank(bank, kArial, settings::BinSort::Half, dir / "missing");
    EXPECT_EQ(failed.failure, std::optional<std::string>("Create FONT File Error !!!"));
    EXPECT_EQ(base::DetailLines(failed.detail),
              "cannot create " + (dir / "missing/FontBank.txt") + ": No such file or directory\n");

    // FontBank.bin's name taken by a folder: FontBank.txt keeps its old bytes too.
    testsupport::WriteFile(dir / "FontBank.txt", {'o', 'l', 'd'});
    ::mkdir((dir / "FontBank.bin").c_str(), 0755);
    const font::BankSaveResult blocked = font::SaveBank(bank, kArial, settings::BinSort::Half, dir.path());
    EXPECT_EQ(blocked.failure, std::optional<std::string>("Create FONT File Error !!!"));
    EXPECT_TRUE(blocked.written.empty());
    EXPECT_EQ(base::DetailLines(blocked.detail),
              "cannot write " + (dir / "FontBank.bin") + ": Is a directory\n");
    EXPECT_EQ(ReadText(dir / "FontBank.txt"), "old");
}

TEST(BankFiles, LoadAfterSaveGivesTheSameNodes) {
    FontBank bank;
    bank.Append(MakeNode(0, 0, 0, 1));
    bank.Append(MakeNode(1, 7, 1, 2, 0x123456));
    bank.Append(MakeNode(2, 15, 2, 3, 0xABCDEF));
    bank.Append(MakeNode(3, 18, 3, 4));
    bank.Append(MakeNode(0, 11, 0, 5));
    TempDir dir;
    ASSERT_FALSE(
        font::SaveBank(bank, font::FontChoice{"Courier New", 12, 3, 0}, settings::BinSort::Half, dir.path())
            .failure);

    FontBank loaded;
    font::BankLoadResult r = font::LoadBankFile(loaded, dir / "FontBank.txt", font::kStartPalette);
    EXPECT_FALSE(r.failure.has_value());
    EXPECT_EQ(r.Added, 5u);
    EXPECT_EQ(loaded.Nodes(), bank.Nodes());
    // The font boxes show what the file says; a face with a blank shows its first word.
    EXPECT_EQ(r.Face, std::optional<std::string>("Courier"));
    EXPECT_EQ(r.Charset, std::optional<std::string>("0"));
    EXPECT_EQ(r.Height, std::optional<std::string>("-16"));
    EXPECT_EQ(r.Size, std::optional<std::string>("12"));
    EXPECT_EQ(r.Style, std::optional<std::string>("Bold/Italic"));

    // A second load appends the same glyphs again.
    r = font::LoadBankFile(loaded, dir / "FontBank.txt", font::kStartPalette);
    EXPECT_EQ(r.Added, 5u);
    ASSERT_EQ(loaded.Count(), 10u);
    EXPECT_EQ(loaded[9], bank[4]);

    EXPECT_EQ(font::LoadBankFile(loaded, dir / "none.txt", font::kStartPalette).failure,
              std::optional<std::string>("Open FONT File Error !!!"));
    EXPECT_EQ(loaded.Count(), 10u);
}

TEST(BankFiles, StyleLineShowsTheLowEightBits) {
    const std::pair<const char*, const char*> cases[] = {
        {"20", ""},        {"0", "Normal"}, {"3", "Bold/Italic"}, {"15", "Bold/Italic/Underline/StrikeOut"},
        {"256", "Normal"}, {"x", "Normal"}, {"-1", ""},           {"", "Normal"},
    };
    for (const auto& [value, shown] : cases) {
        SCOPED_TRACE(value);
        FontBank bank;
        const auto r =
            font::LoadBankText(bank, std::string(";FontStyle=") + value + "\n", font::kStartPalette);
        EXPECT_EQ(r.Style, std::optional<std::string>(shown));
    }
}

TEST(BankFiles, LoadToleratesWhatTheSaveNeverWrites) {
    const std::string words16 = [] {
        std::string s;
        for (int i = 0; i < 16; ++i)
            s += "X............... 0x80,0x00\n";
        return s;
    }();
    // Before any ";Palette" a glyph takes the current palette; word lines between glyphs are ignored; a
    // block whose indexes name no item is skipped as a whole, however many ";UFONT" lines it has; the
    // glyph the file ends inside is dropped.
    font::Palette current = font::kStartPalette;
    current[2] = 0x010203;
    const std::string file = ";BPPi=0\n;Xi=4\n;Yi=0\n;UFONT 00 \n" + words16 + "XXXX stray\nXXXX\n" +
                             ";BPPi=7\n;Xi=4\n;Yi=0\n;UFONT 01 \n" + words16 + ";UFONT 02 \n" + words16 +
                             ";BPPi=0\n;Xi=25\n;UFONT 03 \n" + words16 +
                             ";BPPi=0\n;Xi=7\n;Palette 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n;UFONT 04 \n" +
                             words16 + words16 + ";BPPi=0\n;Xi=18\n;UFONT 05 \n" + words16;
    FontBank bank;
    const font::BankLoadResult r = font::LoadBankText(bank, file, current);
    ASSERT_EQ(bank.Count(), 2u);
    EXPECT_EQ(r.Added, 2u);
    EXPECT_EQ(r.Skipped, 2);
    EXPECT_EQ(r.failure, std::optional<std::string>("2 Font(s) Skipped: Bad ;BPPi, ;Xi or ;Yi !!!"));
    EXPECT_EQ(bank[0].Palette, current);
    EXPECT_EQ(bank[0].Words, font::GlyphWords(16, 0x8000));
    EXPECT_EQ(bank[1].WidthIndex, 7);
    EXPECT_EQ(bank[1].CellWidth(), 14);
    EXPECT_EQ(bank[1].Palette[15], 16u);
    EXPECT_EQ(bank[1].Words, font::GlyphWords(32, 0x2000)); // "X" is the leftmost of 14 pixels
    EXPECT_FALSE(r.Face.has_value());
}

TEST(BankFiles, LoadStopsWhenTheBankIsFull) {
    FontBank source;
    for (int i = 0; i < 10; ++i)
        source.Append(MakeNode(0, 4, 0, static_cast<std::uint32_t>(i)));
    FontBank bank;
    for (int i = 0; i < 250; ++i)
        bank.Append(ZeroNode(0, 4, 0));
    const auto r = font::LoadBankText(bank, font::BankText(source, kArial), font::kStartPalette);
    EXPECT_FALSE(r.failure.has_value());
    EXPECT_EQ(r.Added, 6u);
    ASSERT_EQ(bank.Count(), 256u);
    EXPECT_EQ(bank[255], source[5]);
}

} // namespace

namespace {

// Every field of a load's result that the glyphs and the font boxes take.
void ExpectSameLoad(const font::BankLoadResult& a, const font::BankLoadResult& b) {
    EXPECT_EQ(a.failure, b.failure);
    EXPECT_EQ(a.Added, b.Added);
    EXPECT_EQ(a.Skipped, b.Skipped);
    EXPECT_EQ(a.Face, b.Face);
    EXPECT_EQ(a.Charset, b.Charset);
    EXPECT_EQ(a.Height, b.Height);
    EXPECT_EQ(a.Size, b.Size);
    EXPECT_EQ(a.Style, b.Style);
}

} // namespace

// "Smooth" adds one line after each block's font lines and nothing else; a file with it loads the same
// glyphs, palettes and font boxes as the same file without it, and only the load of the file with it says
// Smooth.
TEST(BankFiles, SmoothLineIsAddedOnlyWhenOnAndChangesNothingALoadReads) {
    FontBank bank;
    bank.Append(MakeNode(1, 4, 0, 1, 0x102030));
    bank.Append(MakeNode(2, 7, 1, 2, 0xABCDEF));
    const std::string plain = font::BankText(bank, kArial);
    const std::string smooth = font::BankText(bank, kArial, true);
    EXPECT_EQ(Count(plain, ";Smooth"), 0u);
    EXPECT_EQ(Count(smooth, ";FontStyle=0\n;Smooth=1\n;BPPi="), 2u);
    std::string withoutLine = smooth;
    for (std::size_t at; (at = withoutLine.find(";Smooth=1\n")) != std::string::npos;)
        withoutLine.erase(at, 10);
    EXPECT_EQ(withoutLine, plain);

    FontBank fromPlain;
    FontBank fromSmooth;
    const font::BankLoadResult a = font::LoadBankText(fromPlain, plain, font::kStartPalette);
    const font::BankLoadResult b = font::LoadBankText(fromSmooth, smooth, font::kStartPalette);
    ExpectSameLoad(a, b);
    EXPECT_EQ(fromSmooth.Nodes(), fromPlain.Nodes());
    EXPECT_EQ(fromSmooth.Nodes(), bank.Nodes());
    EXPECT_FALSE(a.Smooth);
    EXPECT_TRUE(b.Smooth);

    // Saved through the files: FontBank.bin is the same bytes either way.
    TempDir plainDir;
    TempDir smoothDir;
    ASSERT_FALSE(font::SaveBank(bank, kArial, settings::BinSort::Font, plainDir.path()).failure);
    ASSERT_FALSE(font::SaveBank(bank, kArial, settings::BinSort::Font, smoothDir.path(), true).failure);
    EXPECT_EQ(ReadText(smoothDir / "FontBank.bin"), ReadText(plainDir / "FontBank.bin"));
    EXPECT_EQ(Count(ReadText(smoothDir / "FontBank.txt"), ";Smooth=1\r\n"), 2u);
    EXPECT_EQ(Count(ReadText(plainDir / "FontBank.txt"), ";Smooth"), 0u);
}
