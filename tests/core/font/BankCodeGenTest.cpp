#include "font/BankCodeGen.h"

#include "FontFixtures.h"
#include "base/Path.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using font::FontBank;
using font::GlyphNode;
using fontfixture::ZeroNode;
using testsupport::ReadText;
using testsupport::TempDir;

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::string Items(const std::string& item, int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += item;
    return s;
}

const char* const kNames[] = {"Font.c",      "Font.h",      "Font_Msb.txt", "Font_Lsb.txt",
                              "Palette.txt", "__TMP__.TXT", "FONT_MSB.BIN", "FONT_LSB.BIN"};

TEST(BankCodeGen, OneZeroGlyphGivesTheExampleFiles) {
    FontBank bank;
    bank.Append(ZeroNode(0, 4, 0));
    TempDir dir;
    const font::CodeGenResult r =
        font::GenerateBankCode(bank, false, settings::PaletteFormat::Rgb888, dir.path());
    ASSERT_TRUE(r.ran);
    ASSERT_FALSE(r.failure.has_value());
    EXPECT_EQ(r.Arrays, 1);
    EXPECT_TRUE(r.notes.empty());
    // The result lists the eight files, in the order of the list above, and they are all there is.
    EXPECT_EQ(r.written, std::vector<std::string>(std::begin(kNames), std::end(kNames)));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 8);

    const std::string line = Items(" 0x00,", 16) + "//Font00-0-00 16x16 1BPP";
    const std::string fontC =
        "#include \"Font.h\"\n"
        "\n"
        "UB8 CODE abFONT_BANK0_MSB0[]=\n"
        "{\n" +
        line + "\n" +
        "};\n"
        "UB8 CODE abFONT_BANK0_LSB0[]=\n"
        "{\n" +
        line + "\n" +
        "};\n"
        "\n"
        "extern void FONT_Init(void);\n"
        "void FONT_Init(void)\n"
        "{\n"
        "\tVELDA_TxByte(VELDA_12F_OSD_ATTR,VELDA_MASK_OSDPAT_R0 | VELDA_MASK_OSD_BANK0);\n"
        "\n"
        "\tVELDA_TxBurst(VELDA_500_5FF_UFONT_MSB+0x00,sizeof(abFONT_BANK0_MSB0), abFONT_BANK0_MSB0);\n"
        "\tVELDA_TxBurst(VELDA_400_4FF_UFONT_LSB+0x00,sizeof(abFONT_BANK0_LSB0), abFONT_BANK0_LSB0);\n"
        "\n"
        "}\n";
    EXPECT_EQ(ReadText(dir / "Font.c"), fontC);
    EXPECT_EQ(ReadText(dir / "Font.h"), "#ifndef _FONT_H_\r\n#define _FONT_H_\r\n\r\n"
                                        "extern UB8 CODE abFONT_BANK0_MSB0[];\r\n"
                                        "extern UB8 CODE abFONT_BANK0_LSB0[];\r\n"
                                        "extern void FONT_Init(void);\r\n"
                                        "#endif\r\n");
    EXPECT_EQ(ReadText(dir / "Font_Msb.txt"), line + "\r\n");
    EXPECT_EQ(ReadText(dir / "Font_Lsb.txt"), line + "\r\n");
    EXPECT_EQ(ReadText(dir / "__TMP__.TXT"), "UB8 CODE abFONT_BANK0_LSB0[]=\n{\n" + line + "\n};\n");
    EXPECT_EQ(ReadText(dir / "FONT_MSB.BIN"), std::string(16, '\0'));
    EXPECT_EQ(ReadText(dir / "FONT_LSB.BIN"), std::string(16, '\0'));

    const std::string palette = ReadText(dir / "Palette.txt");
    const std::string head =
        "//Font0 Color=0xFFFFFF From 00 To 00\r\n"
        "//Font0 Color=0x000000 From 01 To 01\r\n"
        "\r\nextern UB8 CODE abPALETTE_R0_LSB[];\r\n\r\nUB8 CODE abPALETTE_R0_LSB[]= {\r\n"
        " 0xFF, 0x00,};\r\n";
    EXPECT_EQ(palette.substr(0, head.size()), head);
    EXPECT_NE(palette.find("void Palette_Init (void)"), std::string::npos);

    // RGB666 keeps the top six bits of each component.
    font::GenerateBankCode(bank, false, settings::PaletteFormat::Rgb666, dir.path());
    EXPECT_NE(ReadText(dir / "Palette.txt").find(" 0x3F, 0x00,};"), std::string::npos);
}

// n glyphs of 1 bpp 16 x 16 whose word i of glyph j is (j << 8) | i.
FontBank Numbered(int n) {
    FontBank bank;
    for (int j = 0; j < n; ++j) {
        GlyphNode node = ZeroNode(0, 4, 0);
        for (int i = 0; i < 16; ++i)
            node.Words[static_cast<size_t>(i)] = static_cast<std::uint16_t>((j << 8) | i);
        bank.Append(node);
    }
    return bank;
}

TEST(BankCodeGen, ArraysOf128WordsAndTheirBanks) {
    TempDir dir;
    // Nine glyphs: 144 words, two pairs (128 + 16) in bank 0.
    ASSERT_EQ(font::GenerateBankCode(Numbered(9), false, settings::PaletteFormat::Rgb888, dir.path()).Arrays,
              2);
    std::string c = ReadText(dir / "Font.c");
    EXPECT_NE(c.find("//Font07-0-07 16x16 1BPP\n};\n\nUB8 CODE abFONT_BANK0_MSB1[]=\n{\n 0x08, 0x08,"),
              std::string::npos);
    EXPECT_NE(c.find("//Font07-0-07 16x16 1BPP\n};\n\nUB8 CODE abFONT_BANK0_LSB1[]=\n{\n 0x00, 0x01,"),
              std::string::npos);
    EXPECT_EQ(Count(c, "VELDA_TxByte"), 1u);
    EXPECT_NE(
        c.find(
            "\tVELDA_TxBurst(VELDA_500_5FF_UFONT_MSB+0x80,sizeof(abFONT_BANK0_MSB1), abFONT_BANK0_MSB1);\n"),
        std::string::npos);
    EXPECT_EQ(Count(ReadText(dir / "Font.h"), "extern UB8 CODE"), 4u);
    EXPECT_EQ(c.find('\r'), std::string::npos);

    // Half Word off: the binaries are the high and the low bytes in bank order.
    std::string msb, lsb;
    for (int j = 0; j < 9; ++j)
        for (int i = 0; i < 16; ++i) {
            msb += static_cast<char>(j);
            lsb += static_cast<char>(i);
        }
    EXPECT_EQ(ReadText(dir / "FONT_MSB.BIN"), msb);
    EXPECT_EQ(ReadText(dir / "FONT_LSB.BIN"), lsb);
    // The listings: one line per cell, each ending in its comment.
    const std::string msbTxt = ReadText(dir / "Font_Msb.txt");
    EXPECT_EQ(Count(msbTxt, "\r\n"), 9u);
    EXPECT_EQ(msbTxt.substr(0, 6 * 16 + 26), Items(" 0x00,", 16) + "//Font00-0-00 16x16 1BPP\r\n");

    // Seventeen glyphs: 272 words, three pairs; the third is bank 1's first half, selected before it.
    ASSERT_EQ(font::GenerateBankCode(Numbered(17), false, settings::PaletteFormat::Rgb888, dir.path()).Arrays,
              3);
    c = ReadText(dir / "Font.c");
    EXPECT_NE(c.find("UB8 CODE abFONT_BANK1_MSB0[]=\n{\n 0x10,"), std::string::npos);
    EXPECT_NE(c.find("UB8 CODE abFONT_BANK1_LSB0[]=\n"), std::string::npos);
    EXPECT_NE(
        c.find(
            "abFONT_BANK0_LSB1);\n\n"
            "\tVELDA_TxByte(VELDA_12F_OSD_ATTR,VELDA_MASK_OSDPAT_R0 | VELDA_MASK_OSD_BANK1);\n\n"
            "\tVELDA_TxBurst(VELDA_500_5FF_UFONT_MSB+0x00,sizeof(abFONT_BANK1_MSB0), abFONT_BANK1_MSB0);\n"),
        std::string::npos);
    EXPECT_NE(ReadText(dir / "Font.h")
                  .find("extern UB8 CODE abFONT_BANK1_MSB0[];\r\nextern UB8 CODE abFONT_BANK1_LSB0[];\r\n"),
              std::string::npos);
}

TEST(BankCodeGen, CellCommentsCountCellsAndWrapAfterFF) {
    // 2 bpp 16 x 16: one cell of two groups; the comment stands after the first group only. A glyph two cells
    // wide has a comment per cell.
    FontBank bank;
    bank.Append(ZeroNode(1, 4, 0));
    for (int j = 1; j < 129; ++j)
        bank.Append(ZeroNode(0, 5, 0));
    TempDir dir;
    ASSERT_FALSE(
        font::GenerateBankCode(bank, false, settings::PaletteFormat::Rgb888, dir.path()).failure.has_value());
    const std::string c = ReadText(dir / "Font.c");
    const std::string items = Items(" 0x00,", 16);
    EXPECT_NE(c.find("{\n" + items + "//Font00-0-00 16x16 2BPP\n" + items + "\n" + items +
                     "//Font01-0-01 12x16 1BPP\n" + items + "//Font01-1-02 12x16 1BPP\n"),
              std::string::npos);
    // Glyph j >= 1 holds cells 2j - 1 and 2j: glyph 0x80's second cell is the 257th.
    EXPECT_NE(c.find("//Font7F-1-FE 12x16 1BPP\n"), std::string::npos);
    EXPECT_NE(c.find("//Font80-0-FF 12x16 1BPP\n"), std::string::npos);
    EXPECT_NE(c.find("//Font80-1-00 12x16 1BPP\n"), std::string::npos);
    // The listings end a line only after a comment: the 2 bpp cell's second group starts the next line.
    const std::string msbTxt = ReadText(dir / "Font_Msb.txt");
    EXPECT_EQ(msbTxt.substr(0, 3 * items.size() + 2 * 26),
              items + "//Font00-0-00 16x16 2BPP\r\n" + items + items + "//Font01-0-01 12x16 1BPP\r\n");
}

TEST(BankCodeGen, HalfWordWritesColumnsOfCells) {
    // 1 bpp 32 x 32: cells 0 and 1 on top, 2 and 3 below; word r of cell k is (k << 8) | r.
    GlyphNode node = ZeroNode(0, 9, 1);
    for (size_t i = 0; i < node.Words.size(); ++i)
        node.Words[i] = static_cast<std::uint16_t>(((i / 16) << 8) | (i % 16));
    FontBank bank;
    bank.Append(node);
    TempDir dir;
    font::CodeGenResult r = font::GenerateBankCode(bank, true, settings::PaletteFormat::Rgb888, dir.path());
    EXPECT_EQ(r.StoredOrderGlyphs, 0);
    std::string msb;
    for (char k : {0, 2, 1, 3})
        msb += std::string(16, k);
    EXPECT_EQ(ReadText(dir / "FONT_MSB.BIN"), msb);
    const std::string c = ReadText(dir / "Font.c");
    const size_t c0 = c.find("//Font00-0-00 16x32 1BPP");
    const size_t c3 = c.find("//Font00-3-03 16x32 1BPP");
    EXPECT_NE(c0, std::string::npos);
    EXPECT_NE(c3, std::string::npos);
    EXPECT_NE(c.find(" 0x02, 0x02," + Items(" 0x02,", 14) + "//Font00-1-01 16x32 1BPP"), std::string::npos);

    // A 2 bpp glyph two cells wide cannot be reordered: it keeps its order and the note says so.
    GlyphNode deep = ZeroNode(1, 9, 0);
    for (size_t i = 0; i < deep.Words.size(); ++i)
        deep.Words[i] = static_cast<std::uint16_t>(i << 8);
    bank.Clear();
    bank.Append(deep);
    r = font::GenerateBankCode(bank, true, settings::PaletteFormat::Rgb888, dir.path());
    EXPECT_EQ(r.StoredOrderGlyphs, 1);
    EXPECT_EQ(r.notes,
              (base::Notes{{base::Note::Kind::Status, "Half Word: 1 glyph(s) kept their stored order"}}));
    std::string stored;
    for (int i = 0; i < 64; ++i)
        stored += static_cast<char>(i);
    EXPECT_EQ(ReadText(dir / "FONT_MSB.BIN"), stored);
}

TEST(BankCodeGen, HalfWordAppliesExactlyWhereItIsAPermutation) {
    for (int colorType = 0; colorType < 4; ++colorType)
        for (int widthIndex = 0; widthIndex < 19; ++widthIndex)
            for (int heightIndex = 0; heightIndex < 4; ++heightIndex) {
                const GlyphNode node = ZeroNode(colorType, widthIndex, heightIndex);
                const int across = font::CellsAcrossOf(widthIndex);
                const int down = heightIndex + 1;
                const bool expected =
                    colorType == 0 && (across <= 2 || (across == 3 && (down == 2 || down == 4)));
                const auto order = font::HalfWordOrder(node);
                EXPECT_EQ(order.has_value(), expected)
                    << colorType << " " << widthIndex << " " << heightIndex;
                if (order && across == 3 && down == 2) {
                    // Cells 0..5: even positions first.
                    std::vector<std::uint16_t> cells;
                    for (size_t i = 0; i < order->size(); i += 16)
                        cells.push_back(static_cast<std::uint16_t>((*order)[i] / 16));
                    EXPECT_EQ(cells, (std::vector<std::uint16_t>{0, 2, 4, 1, 3, 5}));
                }
            }
}

TEST(BankCodeGen, PalettesMergeIntoOneWithComments) {
    FontBank bank;
    bank.Append(ZeroNode(0, 4, 0));
    bank.Append(ZeroNode(0, 4, 0)); // the same colours: no lines
    bank.Append(ZeroNode(2, 4, 0)); // 4 bpp: entries 2..15 are new
    GlyphNode twoBpp = ZeroNode(1, 4, 0);
    twoBpp.Palette[3] = 0x123456;
    bank.Append(twoBpp);
    TempDir dir;
    const font::CodeGenResult r =
        font::GenerateBankCode(bank, false, settings::PaletteFormat::Rgb888, dir.path());
    EXPECT_EQ(r.MergedColours, 17u);
    const std::string p = ReadText(dir / "Palette.txt");
    EXPECT_EQ(Count(p, "//Font0 "), 2u);
    EXPECT_EQ(Count(p, "//Font1 "), 0u);
    EXPECT_EQ(Count(p, "//Font2 "), 14u);
    EXPECT_NE(p.find("//Font2 Color=0xFF0000 From 02 To 02\r\n"), std::string::npos);
    EXPECT_NE(p.find("//Font2 Color=0x00FFFF From 0F To 0F\r\n"), std::string::npos);
    EXPECT_NE(p.find("//Font3 Color=0x123456 From 03 To 10\r\n\r\nextern UB8 CODE abPALETTE_R0_LSB[];"),
              std::string::npos);
}

TEST(BankCodeGen, NothingIsWrittenForAnEmptyBankOrAFailure) {
    TempDir dir;
    FontBank bank;
    EXPECT_FALSE(font::GenerateBankCode(bank, false, settings::PaletteFormat::Rgb888, dir.path()).ran);
    for (const char* name : kNames)
        EXPECT_FALSE(base::FileExists(dir / name)) << name;

    bank.Append(ZeroNode(0, 4, 0));
    const font::CodeGenResult missing =
        font::GenerateBankCode(bank, false, settings::PaletteFormat::Rgb888, dir / "missing");
    EXPECT_EQ(missing.failure, std::optional<std::string>("Font CodeGen Fail !!!"));
    EXPECT_TRUE(missing.written.empty());
    EXPECT_EQ(base::DetailLines(missing.detail),
              "cannot create " + (dir / "missing/Font.c") + ": No such file or directory\n");

    // One of the eight taken by a folder: none of the other seven changes either.
    for (const char* name : kNames)
        testsupport::WriteFile(dir / name, {'o', 'l', 'd'});
    ::unlink((dir / "FONT_LSB.BIN").c_str());
    ::mkdir((dir / "FONT_LSB.BIN").c_str(), 0755);
    const font::CodeGenResult blocked =
        font::GenerateBankCode(bank, false, settings::PaletteFormat::Rgb888, dir.path());
    EXPECT_EQ(blocked.failure, std::optional<std::string>("Font CodeGen Fail !!!"));
    EXPECT_TRUE(blocked.written.empty());
    EXPECT_EQ(base::DetailLines(blocked.detail),
              "cannot write " + (dir / "FONT_LSB.BIN") + ": Is a directory\n");
    for (const char* name : kNames) {
        if (std::string(name) != "FONT_LSB.BIN") {
            EXPECT_EQ(ReadText(dir / name), "old") << name;
        }
        ::unlink((dir / name).c_str());
    }
    ::rmdir((dir / "FONT_LSB.BIN").c_str());

    // 256 glyphs of 128 words need 256 arrays; FONT_Init can send 255.
    bank.Clear();
    for (int i = 0; i < 256; ++i)
        bank.Append(ZeroNode(3, 4, 0));
    const font::CodeGenResult r =
        font::GenerateBankCode(bank, false, settings::PaletteFormat::Rgb888, dir.path());
    ASSERT_TRUE(r.failure.has_value());
    EXPECT_EQ(r.failure->rfind("Font CodeGen Fail !!!", 0), 0u);
    for (const char* name : kNames)
        EXPECT_FALSE(base::FileExists(dir / name)) << name;
}

} // namespace
