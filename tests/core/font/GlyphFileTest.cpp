#include "font/GlyphFile.h"

#include "FontFixtures.h"

#include "base/Path.h"
#include "support/BmpBuilder.h"
#include "support/Text.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Every file a save could not write.
std::vector<std::string> Failures(const font::GlyphSaveResult& r) {
    return fontfixture::BoxedMessages(r.failure, r.notes);
}

using testsupport::Crlf;
using testsupport::kStartPaletteLines;
using testsupport::Repeat;

using font::GlyphEditor;
using testsupport::ReadText;
using testsupport::TempDir;

const std::string kZeroLine16 = "................ 0x00,0x00, DB 000h,000h\n";

// Pixels are set through the window, so glyph (x, y) is surface (32 + XOffset + x, 32 + YOffset + y).
void Set(GlyphEditor& e, int x, int y, base::Colour c) {
    e.PreviewSurface.SetPixel(e.WindowLeft() + x, e.WindowTop() + y, c);
}

TEST(GlyphFile, OneBppGlyphWritesTwoFilesAndTheBodyTestsAgainstEntryZero) {
    TempDir dir;
    GlyphEditor e;
    Set(e, 0, 0, 0x000000);
    Set(e, 1, 0, 0x0000FF); // not black, but not entry 0 either: set in the file
    Set(e, 15, 1, 0x000000);
    const font::GlyphSaveResult r = font::SaveGlyphFiles(e, 0, settings::BinSort::Half, dir.path());
    EXPECT_TRUE(Failures(r).empty());
    EXPECT_EQ(r.written, (std::vector<std::string>{"1BPPFont0.txt", "1BPPFont0.bin"}));
    EXPECT_FALSE(base::FileExists(dir / "1BPPto1BPP0.txt"));

    const std::string expected = ";BPPi=0\n;Xi=4\n;Yi=0\n" + kStartPaletteLines +
                                 ";UFONT 00\n"
                                 "XX.............. 0xC0,0x00, DB 0C0h,000h\n"
                                 "...............X 0x00,0x01, DB 000h,001h\n" +
                                 Repeat(kZeroLine16, 14);
    EXPECT_EQ(ReadText(dir / "1BPPFont0.txt"), Crlf(expected));

    // One group of 16 words: both orders give 16 high bytes, then 16 low bytes.
    std::string raw(32, '\0');
    raw[0] = '\xC0';
    raw[17] = '\x01';
    EXPECT_EQ(ReadText(dir / "1BPPFont0.bin"), raw);
    font::SaveGlyphFiles(e, 0, settings::BinSort::Font, dir.path());
    EXPECT_EQ(ReadText(dir / "1BPPFont0.bin"), raw);
}

// 2 bpp 16 x 16: entry 3 at (0, 0), entry 2 at (1, 0) and (15, 0), grey (no entry of 0..3: index 1) at
// (2, 0), entry 3 at (0, 8). Words: 0 = 0xA000 (plane 0), 1 = 0xC001 (plane 1), 16 = 17 = 0x8000.
GlyphEditor TwoBppFixture() {
    GlyphEditor e;
    e.ApplyColorType(1);
    Set(e, 0, 0, 0xFF00FF);
    Set(e, 1, 0, 0xFF0000);
    Set(e, 2, 0, 0x808080);
    Set(e, 15, 0, 0xFF0000);
    Set(e, 0, 8, 0xFF00FF);
    return e;
}

TEST(GlyphFile, TwoBppGlyphWritesTheOneBitRenderingAndBothRawOrders) {
    TempDir dir;
    const GlyphEditor e = TwoBppFixture();
    const font::GlyphSaveResult r = font::SaveGlyphFiles(e, 3, settings::BinSort::Half, dir.path());
    EXPECT_TRUE(Failures(r).empty());
    EXPECT_EQ(r.written, (std::vector<std::string>{"2BPPto1BPP3.txt", "2BPPFont3.txt", "2BPPFont3.bin"}));

    const std::string oneBit = ";UFONT 00\n"
                               "XXX............X 0xE0,0x01, DB 0E0h,001h,\n" +
                               Repeat("................ 0x00,0x00, DB 000h,000h,\n", 7) +
                               "X............... 0x80,0x00, DB 080h,000h,\n" +
                               Repeat("................ 0x00,0x00, DB 000h,000h,\n", 7);
    EXPECT_EQ(ReadText(dir / "2BPPto1BPP3.txt"), Crlf(oneBit));

    const std::string glyph = ";BPPi=1\n;Xi=4\n;Yi=0\n" + kStartPaletteLines +
                              ";UFONT 00 \n"
                              "X.X............. 0xA0,0x00, DB 0A0h,000h\n"
                              "XX.............X 0xC0,0x01, DB 0C0h,001h\n" +
                              Repeat(kZeroLine16, 14) +
                              ";UFONT 01 \n"
                              "X............... 0x80,0x00, DB 080h,000h\n"
                              "X............... 0x80,0x00, DB 080h,000h\n" +
                              Repeat(kZeroLine16, 14);
    EXPECT_EQ(ReadText(dir / "2BPPFont3.txt"), Crlf(glyph));

    // Half: the 32 high bytes, then the 32 low bytes.
    std::string half(64, '\0');
    half[0] = '\xA0';
    half[1] = '\xC0';
    half[16] = '\x80';
    half[17] = '\x80';
    half[32 + 1] = '\x01';
    EXPECT_EQ(ReadText(dir / "2BPPFont3.bin"), half);
    // Font: each group of 16 words as its high bytes and then its low bytes.
    std::string byFont(64, '\0');
    byFont[0] = '\xA0';
    byFont[1] = '\xC0';
    byFont[16 + 1] = '\x01';
    byFont[32] = '\x80';
    byFont[33] = '\x80';
    font::SaveGlyphFiles(e, 3, settings::BinSort::Font, dir.path());
    EXPECT_EQ(ReadText(dir / "2BPPFont3.bin"), byFont);
}

TEST(GlyphFile, SaveReadsThroughTheWindowAndReportsFilesItCannotWrite) {
    TempDir dir;
    GlyphEditor e;
    e.SetXOffset(5);
    e.PreviewSurface.SetPixel(37, 32, 0x000000);
    e.PreviewSurface.SetPixel(32, 32, 0x000000); // left of the window
    const auto contents = font::GlyphFileContentsOf(e, settings::BinSort::Half);
    EXPECT_EQ(contents.Raw.substr(0, 2), std::string("\x80\x00", 2));

    const font::GlyphSaveResult r =
        font::SaveGlyphFiles(TwoBppFixture(), 0, settings::BinSort::Half, dir / "missing");
    EXPECT_TRUE(r.written.empty());
    const std::string missing = ": No such file or directory";
    EXPECT_EQ(Failures(r),
              (std::vector<std::string>{"cannot create " + (dir / "missing/2BPPto1BPP0.txt") + missing,
                                        "cannot create " + (dir / "missing/2BPPFont0.txt") + missing,
                                        "cannot create " + (dir / "missing/2BPPFont0.bin") + missing}));

    // The files of one glyph change together: with the raw file's name taken, the text files keep theirs.
    testsupport::WriteFile(dir / "2BPPto1BPP0.txt", {'o', 'l', 'd'});
    testsupport::WriteFile(dir / "2BPPFont0.txt", {'o', 'l', 'd'});
    std::filesystem::create_directory(dir / "2BPPFont0.bin");
    const font::GlyphSaveResult blocked =
        font::SaveGlyphFiles(TwoBppFixture(), 0, settings::BinSort::Half, dir.path());
    EXPECT_TRUE(blocked.written.empty());
    EXPECT_EQ(Failures(blocked),
              std::vector<std::string>{"cannot write " + (dir / "2BPPFont0.bin") + ": Is a directory"});
    EXPECT_EQ(ReadText(dir / "2BPPto1BPP0.txt"), "old");
    EXPECT_EQ(ReadText(dir / "2BPPFont0.txt"), "old");
}

TEST(GlyphFile, LoadAfterSaveRestoresTheGlyph) {
    struct Case {
        int colorType, widthIndex, heightIndex;
    };
    const Case cases[] = {{0, 0, 0}, {1, 9, 1}, {2, 11, 2}, {3, 15, 3}, {2, 18, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.colorType << " " << c.widthIndex << " " << c.heightIndex);
        TempDir dir;
        GlyphEditor source;
        source.FontPalette[7] = 0x135790;
        source.ApplyGridWidth(c.widthIndex);
        source.ApplyGridHeight(c.heightIndex);
        source.ApplyColorType(c.colorType);
        source.SetXOffset(-3);
        source.SetYOffset(2);
        const int colours = c.colorType == 0 ? 2 : c.colorType == 1 ? 4 : 16;
        for (int y = 0; y < source.GridHeight(); ++y)
            for (int x = 0; x < source.GridWidth(); ++x) {
                const int index = (x * 7 + y * 3) % colours;
                Set(source, x, y,
                    c.colorType == 0 ? (index ? 0x000000 : 0xFFFFFF)
                                     : source.FontPalette[static_cast<size_t>(index)]);
            }
        ASSERT_TRUE(Failures(font::SaveGlyphFiles(source, 0, settings::BinSort::Half, dir.path())).empty());

        GlyphEditor loaded;
        loaded.ApplyGridWidth(2);
        loaded.ApplyColorType(2);
        loaded.SetXOffset(9);
        loaded.PreviewSurface.SetPixel(0, 0, 0x000000);
        const std::string name = font::GlyphFileNamesOf(source.GlyphBpp(), 0).Glyph;
        ASSERT_FALSE(font::LoadGlyphFile(loaded, dir / name).has_value());
        EXPECT_EQ(loaded.ColorType(), c.colorType);
        EXPECT_EQ(loaded.WidthIndex(), c.widthIndex);
        EXPECT_EQ(loaded.HeightIndex(), c.heightIndex);
        EXPECT_EQ(loaded.XOffset(), 0);
        EXPECT_EQ(loaded.YOffset(), 0);
        EXPECT_EQ(loaded.FontPalette, source.FontPalette);
        EXPECT_EQ(loaded.Encode(), source.Encode());
        for (int y = 0; y < source.GridHeight(); ++y)
            for (int x = 0; x < source.GridWidth(); ++x)
                ASSERT_EQ(loaded.GlyphPixel(x, y), source.GlyphPixel(x, y)) << x << "," << y;
        EXPECT_EQ(loaded.PreviewSurface.Pixel(0, 0), 0xFFFFFFu);
    }
}

TEST(GlyphFile, LoadOfFilesTheSaveDidNotWrite) {
    // A 1-bit rendering has no ";BPPi", ";Xi" or ";Yi": a 12 x 16 glyph at 1 bpp, 12 characters a word.
    GlyphEditor e;
    e.ApplyColorType(2);
    e.FontPalette[4] = 0x111111;
    const std::string oneBit = ";UFONT 00\n"
                               "XXX............X 0xE0,0x01, DB 0E0h,001h,\n" +
                               Repeat("................ 0x00,0x00, DB 000h,000h,\n", 15);
    ASSERT_FALSE(font::LoadGlyphText(e, oneBit).has_value());
    EXPECT_EQ(e.ColorType(), 0);
    EXPECT_EQ(e.WidthIndex(), 0);
    EXPECT_EQ(e.CellWidth(), 12);
    EXPECT_EQ(e.HeightIndex(), 0);
    EXPECT_EQ(e.FontPalette, font::Palette{}); // no palette line: sixteen zeros
    EXPECT_EQ(e.Encode()[0], 0x0E00);          // "XXX........." of the first 12 characters
    EXPECT_EQ(e.GlyphPixel(11, 0), 0xFFFFFFu);

    // Word lines before the first ";UFONT" are ignored; a second cell goes on below the window.
    e = GlyphEditor();
    const std::string twoCells = "X............... 0x80,0x00\n;BPPi=0\n;Xi=4\n;Yi=0\n;UFONT 00\n" +
                                 Repeat("X............... x\n", 16) + ";UFONT 01\n" +
                                 Repeat("...............X x\n", 16);
    ASSERT_FALSE(font::LoadGlyphText(e, twoCells).has_value());
    EXPECT_EQ(e.Encode(), font::GlyphWords(16, 0x8000));
    EXPECT_EQ(e.PreviewSurface.Pixel(32 + 15, 48), 0x000000u);
    EXPECT_EQ(e.PreviewSurface.Pixel(32 + 15, 63), 0x000000u);

    // A file that ends inside a cell: the set-up is done, the unfinished cell is not drawn.
    e = GlyphEditor();
    e.PreviewSurface.SetPixel(40, 40, 0x000000);
    ASSERT_FALSE(font::LoadGlyphText(e, ";BPPi=1\n;Xi=9\n;UFONT 00 \n" + Repeat("XXXXXXXXXXXXXXXX\n", 31))
                     .has_value());
    EXPECT_EQ(e.ColorType(), 1);
    EXPECT_EQ(e.GridWidth(), 32);
    EXPECT_EQ(e.PreviewSurface, font::ColourImage(128, 128, 0xFFFFFF));
}

TEST(GlyphFile, LoadRefusesWhatCannotBeAGlyph) {
    TempDir dir;
    GlyphEditor e;
    e.SetXOffset(4);
    e.PreviewSurface.SetPixel(40, 40, 0x000000);
    EXPECT_EQ(font::LoadGlyphFile(e, dir / "none.txt"),
              std::optional<std::string>("Open FONT File Error !!!"));
    for (const char* header : {";BPPi=4\n", ";BPPi=x\n", ";BPPi\n", ";Xi=19\n", ";Xi=-1\n", ";Yi=4\n"}) {
        SCOPED_TRACE(header);
        EXPECT_EQ(font::LoadGlyphText(e, std::string(header) + ";UFONT 00\n" + Repeat("XXXX\n", 16)),
                  std::optional<std::string>("Bad ;BPPi, ;Xi or ;Yi in FONT File !!!"));
        EXPECT_EQ(e.XOffset(), 4);
        EXPECT_EQ(e.PreviewSurface.Pixel(40, 40), 0x000000u);
    }
    // ";Xi=" with no number means 4; palette tokens that are no numbers are 0, and only 24 bits count.
    ASSERT_FALSE(
        font::LoadGlyphText(e, ";Xi=\n;Palette 0x1FFFFFF -1 zz 16 0x" + Repeat(" 0", 11) + "\n;UFONT 00\n")
            .has_value());
    EXPECT_EQ(e.WidthIndex(), 4);
    EXPECT_EQ(e.FontPalette[0], 0xFFFFFFu);
    EXPECT_EQ(e.FontPalette[1], 0xFFFFFFu);
    EXPECT_EQ(e.FontPalette[2], 0u);
    EXPECT_EQ(e.FontPalette[3], 16u);
    EXPECT_EQ(e.FontPalette[4], 0u);
}

} // namespace
