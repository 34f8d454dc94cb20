#include "osd/OsdFont.h"

#include "base/Format.h"
#include "osd/OsdState.h"
#include "osd/PaletteReduce.h"
#include "picture/BmpLoader.h"
#include "picture/Picture.h"
#include "support/BmpBuilder.h"
#include "support/Text.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

// The " OK !" statuses of a run, and what it says FONT_Init leaves out ("" for nothing).
std::vector<std::string> Statuses(const osd::GenerateResult& result) {
    return base::TextsOf(result.notes, base::Note::Kind::Status);
}
std::string FontInitNote(const osd::GenerateResult& result) {
    const std::vector<std::string> details = base::TextsOf(result.notes, base::Note::Kind::Detail);
    return details.empty() ? "" : details.front();
}

using testsupport::Repeat;

using base::MakeColour;
using osd::GenerateOsdFont;
using osd::GenerateResult;
using osd::OsdOptions;
using picture::CurrentBitmap;
using testsupport::BmpLayout;
using testsupport::ReadFile;
using testsupport::ReadText;
using testsupport::TempDir;
using Bytes = std::vector<std::uint8_t>;

Bytes RepeatBytes(const Bytes& bytes, int n) {
    Bytes out;
    for (int i = 0; i < n; ++i)
        out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

Bytes Concat(const Bytes& a, const Bytes& b) {
    Bytes out = a;
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

int CountOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// A bitmap filled by hand: the fields Generate reads, with the rest as after a fresh start.
std::unique_ptr<CurrentBitmap> MakeBitmap(int width, int height, int bpp, int bytesPerRow) {
    auto bm = std::make_unique<CurrentBitmap>();
    bm->Width = static_cast<std::uint16_t>(width);
    bm->Height = static_cast<std::uint16_t>(height);
    bm->BitsPerPixel = static_cast<std::uint8_t>(bpp);
    bm->BytesPerRow = static_cast<std::uint16_t>(bytesPerRow);
    bm->ColourCount = static_cast<std::uint16_t>(1u << bpp);
    return bm;
}

struct Generate : ::testing::Test {
    TempDir in;  // input pictures
    TempDir out; // the outputs, and nothing else

    std::unique_ptr<CurrentBitmap> Load(const BmpLayout& layout) {
        testsupport::WriteFile(in / "sheet.bmp", testsupport::BuildBmp(layout));
        auto bm = std::make_unique<CurrentBitmap>();
        EXPECT_EQ(picture::LoadBitmapFile(*bm, in / "sheet.bmp").status, picture::OpenStatus::Ok);
        return bm;
    }

    GenerateResult Run(const CurrentBitmap& bm, int cw, std::string source = "osd.bmp", bool to2Bpp = false) {
        OsdOptions options;
        options.sourcePath = std::move(source);
        options.fontSize = settings::FontSize::OfWidth(cw);
        options.to2Bpp = to2Bpp;
        options.outputDirectory = out.path();
        return GenerateOsdFont(bm, options);
    }

    Bytes Binary(const std::string& name) const { return ReadFile(out / name); }
    std::string Text(const std::string& name) const { return ReadText(out / name); }
};

// ---------------------------------------------------------------------------------------------------------
// Plane bytes and 1-bpp rows

TEST(PlaneBytes, EachPlaneHoldsOneBitOfEveryValueFirstValueHighest) {
    struct Case {
        std::uint8_t g[8];
        int bits;
        Bytes planes;
    };
    const Case cases[] = {
        {{1, 2, 3, 4, 5, 6, 7, 8}, 4, {0xAA, 0x66, 0x1E, 0x01}},
        {{0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},
         8,
         {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}},
        {{0xFF, 0, 0, 0, 0, 0, 0, 0x81}, 8, {0x81, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x81}},
        {{0, 1, 2, 3, 0, 1, 2, 3}, 2, {0x55, 0x33}},
    };
    for (const Case& c : cases) {
        Bytes planes(8, 0xEE);
        osd::PlaneBytes(c.g, c.bits, planes.data());
        EXPECT_EQ(Bytes(planes.begin(), planes.begin() + c.bits), c.planes);
        EXPECT_EQ(planes[static_cast<size_t>(c.bits) % 8], c.bits == 8 ? c.planes[0] : 0xEE)
            << "wrote too much";
    }
}

TEST(PlaneBytes, AgreesWithTheBitRuleOnRandomGroups) {
    std::mt19937 random(7);
    for (int n = 0; n < 2000; ++n) {
        std::uint8_t g[8];
        for (auto& v : g)
            v = static_cast<std::uint8_t>(random());
        std::uint8_t planes[8];
        osd::PlaneBytes(g, 8, planes);
        for (int b = 0; b < 8; ++b)
            for (int i = 0; i < 8; ++i)
                ASSERT_EQ((planes[b] >> (7 - i)) & 1, (g[i] >> b) & 1) << "plane " << b << " value " << i;
    }
}

TEST(OneBppRow, CollectsCwBitsFromTheCellsFirstPixel) {
    struct Case {
        Bytes row; // the picture row, BytesPerRow 4
        size_t byte;
        int x, cw;
        std::uint16_t v;
    };
    const Case cases[] = {
        {{0x00, 0x5C, 0xF0, 0x00}, 1, 12, 12, 0x0CF0}, // the worked example
        {{0xA5, 0x3C, 0x00, 0x00}, 0, 0, 16, 0xA53C},
        {{0x01, 0xFF, 0xC0, 0x00}, 0, 7, 12, 0x0FFE}, // starts at the last bit of a byte, needs three bytes
        {{0xFF, 0xFF, 0xFF, 0xFF}, 1, 13, 13, 0x1FFF},
        // Past the row's 32 stored bits: the last x + cw - 32 bits are cleared although the next row is set.
        {{0xFF, 0xFF, 0xFF, 0xFF}, 3, 24, 12, 0x0FF0},
        {{0xFF, 0xFF, 0xFF, 0xFF}, 3, 24, 16, 0xFF00},
        {{0xFF, 0xFF, 0xFF, 0xFF}, 3, 28, 12, 0x0F00},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        auto bm = MakeBitmap(32, 2, 1, 4);
        std::fill(bm->Pixels.begin(), bm->Pixels.begin() + 8, 0xFF); // the next row is all ones
        std::copy(c.row.begin(), c.row.end(), bm->Pixels.begin());
        EXPECT_EQ(osd::OneBppRow(*bm, c.byte, c.x, c.cw), c.v);
    }
}

TEST(OneBppRow, ReadsZerosPastTheEndOfPixels) {
    auto bm = MakeBitmap(1024, 768, 1, 1024);
    bm->Pixels.back() = 0xFF;
    EXPECT_EQ(osd::OneBppRow(*bm, bm->Pixels.size() - 1, 0, 16), 0xFF00);
    EXPECT_EQ(osd::OneBppRow(*bm, bm->Pixels.size() + 5, 0, 16), 0);
}

// ---------------------------------------------------------------------------------------------------------
// Whole runs

// A 1-bpp sheet of 16 x 16 pixels with a diagonal line, cut into two 12-pixel cells; every file checked
// byte for byte.
TEST_F(Generate, OneBppRunWritesEveryFileExactly) {
    BmpLayout layout;
    layout.width = 16;
    layout.height = 16;
    layout.bpp = 1;
    layout.palette = {MakeColour(0x12, 0x34, 0x56), MakeColour(0xAB, 0xCD, 0xEF)};
    layout.indices = testsupport::IndicesOf(16, 16, [](int x, int y) { return x == y ? 1 : 0; });
    auto bm = Load(layout);
    ASSERT_EQ(bm->BytesPerRow, 4);

    const GenerateResult result = Run(*bm, 12, "C:\\fonts\\osd12.Bmp");
    EXPECT_TRUE(result.ran);
    EXPECT_FALSE(result.failure);
    EXPECT_EQ(result.cellCount, 2);
    EXPECT_EQ(Statuses(result),
              (std::vector<std::string>{"osd12_R.txt OK !", "osd12_G.txt OK !", "osd12_B.txt OK !"}));
    EXPECT_EQ(
        FilesIn(out.path()),
        (std::vector<std::string>{"osd12.C", "osd12_1BPP.txt", "osd12_B.txt", "osd12_G.txt", "osd12_LSB.bin",
                                  "osd12_LSB.txt", "osd12_MSB.bin", "osd12_MSB.txt", "osd12_R.txt"}));

    const std::string zeroLine = Repeat("0x00,", 16) + "\r\n";
    EXPECT_EQ(Text("osd12_R.txt"), "0x12,0xAB," + Repeat("0x00,", 14) + "\r\n" + Repeat(zeroLine, 15));
    EXPECT_EQ(Text("osd12_G.txt"), "0x34,0xCD," + Repeat("0x00,", 14) + "\r\n" + Repeat(zeroLine, 15));
    EXPECT_EQ(Text("osd12_B.txt"), "0x56,0xEF," + Repeat("0x00,", 14) + "\r\n" + Repeat(zeroLine, 15));

    // Cell 0 holds the line's rows 0..11, cell 1 (columns 12..23) its rows 12..15.
    EXPECT_EQ(Binary("osd12_MSB.bin"),
              Concat(Bytes{0x08, 0x04, 0x02, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                     Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x08, 0x04, 0x02, 0x01}));
    EXPECT_EQ(
        Binary("osd12_LSB.bin"),
        Concat(Bytes{0, 0, 0, 0, 0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01, 0, 0, 0, 0}, Bytes(16, 0)));
    EXPECT_EQ(Text("osd12_MSB.txt"), "0x08,0x04,0x02,0x01," + Repeat("0x00,", 12) + "\r\n" +
                                         Repeat("0x00,", 12) + "0x08,0x04,0x02,0x01,\r\n");
    EXPECT_EQ(Text("osd12_LSB.txt"), Repeat("0x00,", 4) + "0x80,0x40,0x20,0x10,0x08,0x04,0x02,0x01," +
                                         Repeat("0x00,", 4) + "\r\n" + zeroLine);

    const std::string blank = "............ 0x00, 0x00 DB 000h, 000h  0x0000\r\n";
    const std::string firstFour = "X........... 0x08, 0x00 DB 008h, 000h  0x0800\r\n"
                                  ".X.......... 0x04, 0x00 DB 004h, 000h  0x0400\r\n"
                                  "..X......... 0x02, 0x00 DB 002h, 000h  0x0200\r\n"
                                  "...X........ 0x01, 0x00 DB 001h, 000h  0x0100\r\n";
    EXPECT_EQ(Text("osd12_1BPP.txt"), "; UFONT 000\r\n" + firstFour +
                                          "....X....... 0x00, 0x80 DB 000h, 080h  0x0080\r\n"
                                          ".....X...... 0x00, 0x40 DB 000h, 040h  0x0040\r\n"
                                          "......X..... 0x00, 0x20 DB 000h, 020h  0x0020\r\n"
                                          ".......X.... 0x00, 0x10 DB 000h, 010h  0x0010\r\n"
                                          "........X... 0x00, 0x08 DB 000h, 008h  0x0008\r\n"
                                          ".........X.. 0x00, 0x04 DB 000h, 004h  0x0004\r\n"
                                          "..........X. 0x00, 0x02 DB 000h, 002h  0x0002\r\n"
                                          "...........X 0x00, 0x01 DB 000h, 001h  0x0001\r\n" +
                                          Repeat(blank, 4) + "; UFONT 001\r\n" + Repeat(blank, 12) +
                                          firstFour);

    // Two colours, then FONT_Init with (2 cells x 1 bit) / 8 = 0 blocks.
    std::string source;
    for (const char* x : {"R", "G", "B"}) {
        const std::string c = x;
        const std::string items = c == "R" ? " 0x12, 0xAB," : c == "G" ? " 0x34, 0xCD," : " 0x56, 0xEF,";
        source += "\r\nextern UB8 CODE abPALETTE_" + c + "0_LSB[];\r\n\r\nUB8 CODE abPALETTE_" + c +
                  "0_LSB[]= {\r\n" + items + "};\r\n";
    }
    source += "\r\nextern void Palette_Init (void);\r\nvoid Palette_Init (void)\r\n{";
    for (const char* x : {"R", "G", "B"}) {
        const std::string c = x;
        source += "\r\n\tVELDA_TxByte(VELDA_12F_OSD_ATTR,VELDA_MASK_OSDPAT_" + c +
                  "0 | VELDA_MASK_OSD_BANK0);\r\n\r\n" +
                  "\tVELDA_TxBurst(VELDA_300_3FF_OSDPAT+0x00,sizeof(abPALETTE_" + c + "0_LSB), abPALETTE_" +
                  c + "0_LSB);\r\n";
    }
    source += "}\r\n\r\nextern void FONT_Init(void);\r\nvoid FONT_Init(void)\r\n{\r\n}\r\n";
    EXPECT_EQ(Text("osd12.C"), source);
}

TEST_F(Generate, PaletteTablesFollowCodeAndPaletteFormat) {
    auto bm = MakeBitmap(0, 0, 8, 0);
    bm->RawPalette[2] = 0xA0; // entry 0: blue, green, red, reserved
    bm->RawPalette[4 + 2] = 0xFF;
    bm->RawPalette[4 + 1] = 0x07;
    struct Case {
        settings::CodeFormat codeFormat;
        settings::PaletteFormat paletteFormat;
        std::string red, green;
    };
    using settings::CodeFormat;
    using settings::PaletteFormat;
    const Case cases[] = {
        {CodeFormat::C, PaletteFormat::Rgb888, "0xA0,0xFF,", "0x00,0x07,"},
        {CodeFormat::Asm, PaletteFormat::Rgb888, "0A0h,0FFh,", "000h,007h,"},
        {CodeFormat::C, PaletteFormat::Rgb666, "0x28,0x3F,", "0x00,0x01,"},
        {CodeFormat::Asm, PaletteFormat::Rgb666, "028h,03Fh,", "000h,001h,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.red);
        OsdOptions options;
        options.sourcePath = "pal.bmp";
        options.codeFormat = c.codeFormat;
        options.paletteFormat = c.paletteFormat;
        options.outputDirectory = out.path();
        ASSERT_TRUE(GenerateOsdFont(*bm, options).ran);
        const std::string zero = c.codeFormat == CodeFormat::Asm ? "000h," : "0x00,";
        const std::string red = Text("pal_R.txt");
        EXPECT_EQ(red.size(), 1312u);
        EXPECT_EQ(red.substr(0, 82), c.red + Repeat(zero, 14) + "\r\n");
        EXPECT_EQ(red.substr(82), Repeat(Repeat(zero, 16) + "\r\n", 15));
        EXPECT_EQ(Text("pal_G.txt").substr(0, 82), c.green + Repeat(zero, 14) + "\r\n");
        EXPECT_EQ(Text("pal_B.txt"), Repeat(Repeat(zero, 16) + "\r\n", 16));
    }
}

TEST_F(Generate, AfterAReductionThePaletteOutputsHoldTheReducedPalette) {
    // One 4-bpp cell: the left half in entry 9, the right half in entry 4. Reduced, entry 9's colour is
    // number 0 and entry 4's number 1, so index 1 of the palette outputs must be entry 4's colour.
    BmpLayout layout;
    layout.width = 16;
    layout.height = 16;
    layout.bpp = 4;
    layout.palette = testsupport::DistinctPalette(16);
    layout.palette[9] = MakeColour(0x11, 0x22, 0x33);
    layout.palette[4] = MakeColour(0xA0, 0xB1, 0xC2);
    layout.indices = testsupport::IndicesOf(16, 16, [](int x, int) { return x < 8 ? 9 : 4; });

    struct Case {
        settings::PaletteFormat paletteFormat;
        std::string red, green, blue; // the first two entries of each table; B.C's arrays hold the same
    };
    const Case cases[] = {
        {settings::PaletteFormat::Rgb888, "0x11,0xA0,", "0x22,0xB1,", "0x33,0xC2,"},
        {settings::PaletteFormat::Rgb666, "0x04,0x28,", "0x08,0x2C,", "0x0C,0x30,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.red);
        auto bm = Load(layout);
        osd::OsdState state;
        state.Before = picture::ReadBmpPicture(in / "sheet.bmp");
        ASSERT_EQ(osd::ReducePalette(*bm, state, 0xFFFFFF), 2);

        OsdOptions options;
        options.sourcePath = "osd.bmp";
        options.paletteFormat = c.paletteFormat;
        options.outputDirectory = out.path();
        ASSERT_TRUE(GenerateOsdFont(*bm, options).ran);

        // The pixels: 0 on the left (all MSB planes clear), 1 on the right (plane 0 set).
        EXPECT_EQ(Binary("osd_MSB.bin"), Bytes(64, 0x00));
        EXPECT_EQ(Binary("osd_LSB.bin"), RepeatBytes({0xFF, 0x00, 0x00, 0x00}, 16));
        const std::string zeros = Repeat(Repeat("0x00,", 16) + "\r\n", 15);
        EXPECT_EQ(Text("osd_R.txt"), c.red + Repeat("0x00,", 14) + "\r\n" + zeros);
        EXPECT_EQ(Text("osd_G.txt"), c.green + Repeat("0x00,", 14) + "\r\n" + zeros);
        EXPECT_EQ(Text("osd_B.txt"), c.blue + Repeat("0x00,", 14) + "\r\n" + zeros);
        const std::string source = Text("osd.C");
        for (const auto& [x, items] : {std::pair{'R', c.red}, {'G', c.green}, {'B', c.blue}}) {
            std::string array = std::string("UB8 CODE abPALETTE_") + x + "0_LSB[]= {\r\n";
            for (size_t i = 0; i < items.size(); i += 5)
                array += " " + items.substr(i, 5);
            EXPECT_NE(source.find(array + "};\r\n"), std::string::npos) << array;
        }
        EXPECT_EQ(source.find("_MSB[]"), std::string::npos);
    }

    // An edit of the reduced palette (as the Palette tab makes it in ColourTable) reaches every output.
    auto bm = Load(layout);
    osd::OsdState state;
    state.Before = picture::ReadBmpPicture(in / "sheet.bmp");
    osd::ReducePalette(*bm, state, 0xFFFFFF);
    bm->ColourTable[1] = MakeColour(0x01, 0x02, 0x03);
    ASSERT_TRUE(Run(*bm, 16).ran);
    EXPECT_EQ(Text("osd_R.txt").substr(0, 10), "0x11,0x01,");
    EXPECT_NE(Text("osd.C").find("abPALETTE_B0_LSB[]= {\r\n 0x33, 0x03,};"), std::string::npos);
}

TEST_F(Generate, FourBppSheetOfTwoCells) {
    // Cell 0: the MSB pixels count 0..7, the LSB pixels are 8..11 on even rows and 0 on odd ones.
    // Cell 1: pixel 15 in the first column, 0 elsewhere.
    BmpLayout layout;
    layout.width = 12;
    layout.height = 32;
    layout.bpp = 4;
    layout.palette = testsupport::DistinctPalette(16);
    layout.indices = testsupport::IndicesOf(12, 32, [](int x, int y) {
        if (y >= 16) return x == 0 ? 15 : 0;
        return x < 8 ? x : (y % 2 == 0 ? x : 0);
    });
    auto bm = Load(layout);
    ASSERT_EQ(bm->BytesPerRow, 8);

    const GenerateResult result = Run(*bm, 12);
    EXPECT_EQ(result.cellCount, 2);
    EXPECT_EQ(Binary("osd_MSB.bin"), Concat(RepeatBytes({0x55, 0x33, 0x0F, 0x00}, 16), Bytes(64, 0x80)));
    EXPECT_EQ(Binary("osd_LSB.bin"), Concat(RepeatBytes({0x50, 0x30, 0x00, 0xF0}, 8), Bytes(32, 0x00)));
    EXPECT_EQ(Text("osd_MSB.txt"), Repeat(Repeat("0x55,0x33,0x0F,0x00,", 4) + "\r\n", 4) +
                                       Repeat(Repeat("0x80,", 16) + "\r\n", 4));
    EXPECT_EQ(Text("osd_LSB.txt"), Repeat(Repeat("0x50,0x30,0x00,0xF0,", 4) + "\r\n", 2) +
                                       Repeat(Repeat("0x00,", 16) + "\r\n", 2));

    // (2 cells x 4 bits) / 8 = 1 block.
    const std::string source = Text("osd.C");
    const std::string fontInit =
        "}\r\n\r\nextern void FONT_Init(void);\r\nvoid FONT_Init(void)\r\n{\r\n"
        "\tVELDA_TxByte(VELDA_12F_OSD_ATTR,VELDA_MASK_OSDPAT_R0 | VELDA_MASK_OSD_BANK0);\r\n\r\n"
        "\tVELDA_TxBurst(VELDA_500_5FF_UFONT_MSB+0x00,sizeof(abFONT_BANK0_MSB0), abFONT_BANK0_MSB0);\r\n"
        "\tVELDA_TxBurst(VELDA_400_4FF_UFONT_LSB+0x00,sizeof(abFONT_BANK0_LSB0), abFONT_BANK0_LSB0);\r\n\r\n"
        "}\r\n";
    ASSERT_GE(source.size(), fontInit.size());
    EXPECT_EQ(source.substr(source.size() - fontInit.size()), fontInit);
    EXPECT_EQ(CountOf(source, "UB8 CODE abPALETTE_R0_LSB[]= {"), 1); // ColourCount 16
}

TEST_F(Generate, EightBppWritesAllEightPlanesInOrder) {
    // Each row: MSB pixels 01 02 04 .. 80, LSB pixels FF 00 FF 00.
    auto bm = MakeBitmap(12, 16, 8, 12);
    const std::uint8_t row[12] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80, 0xFF, 0x00, 0xFF, 0x00};
    for (int r = 0; r < 16; ++r)
        std::copy(row, row + 12, bm->Pixels.begin() + 12 * r);

    EXPECT_EQ(Run(*bm, 12).cellCount, 1);
    const Bytes group = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
    EXPECT_EQ(Binary("osd_MSB.bin"), RepeatBytes(group, 16));
    EXPECT_EQ(Binary("osd_LSB.bin"), Bytes(64, 0xAA)); // groups span two rows: FF 00 FF 00 FF 00 FF 00
    EXPECT_EQ(Text("osd_MSB.txt"), Repeat(Repeat("0x80,0x40,0x20,0x10,0x08,0x04,0x02,0x01,", 2) + "\r\n", 8));
    EXPECT_EQ(Text("osd_LSB.txt"), Repeat(Repeat("0xAA,", 16) + "\r\n", 4));
}

TEST_F(Generate, To2BppKeepsTwoPlanesButCountsFour) {
    // MSB pixels 5 (0101), LSB pixels 10 (1010).
    auto bm = MakeBitmap(16, 16, 4, 8);
    for (int r = 0; r < 16; ++r) {
        std::fill(bm->Pixels.begin() + 8 * r, bm->Pixels.begin() + 8 * r + 4, 0x55);
        std::fill(bm->Pixels.begin() + 8 * r + 4, bm->Pixels.begin() + 8 * r + 8, 0xAA);
    }

    Run(*bm, 16, "osd.bmp", true);
    EXPECT_EQ(Binary("osd_MSB.bin"), RepeatBytes({0xFF, 0x00}, 16));
    EXPECT_EQ(Binary("osd_LSB.bin"), RepeatBytes({0x00, 0xFF}, 16));
    EXPECT_EQ(Text("osd_MSB.txt"), Repeat(Repeat("0xFF,0x00,", 4) + "\r\n", 4));
    EXPECT_EQ(Text("osd_LSB.txt"), Repeat(Repeat("0x00,0xFF,", 4) + "\r\n", 4));
    // 1 cell x 4 bits / 8 = 0 blocks, with or without the option.
    EXPECT_EQ(CountOf(Text("osd.C"), "UFONT"), 0);

    Run(*bm, 16, "osd.bmp", false);
    EXPECT_EQ(Binary("osd_MSB.bin"), RepeatBytes({0xFF, 0x00, 0xFF, 0x00}, 16));
    EXPECT_EQ(Text("osd_MSB.txt"), Repeat(Repeat("0xFF,0x00,0xFF,0x00,", 4) + "\r\n", 4));
    EXPECT_EQ(Text("osd_LSB.txt"), Repeat(Repeat("0x00,0xFF,0x00,0xFF,", 4) + "\r\n", 4));
}

TEST_F(Generate, TwoBppWritesTextOnlyAndLeavesTheBinariesEmpty) {
    // MSB pixels 2 (10), LSB pixels 1 (01).
    auto bm = MakeBitmap(16, 16, 2, 4);
    for (int r = 0; r < 16; ++r) {
        std::fill(bm->Pixels.begin() + 4 * r, bm->Pixels.begin() + 4 * r + 2, 0xAA);
        std::fill(bm->Pixels.begin() + 4 * r + 2, bm->Pixels.begin() + 4 * r + 4, 0x55);
    }

    EXPECT_EQ(Run(*bm, 16).cellCount, 1);
    EXPECT_TRUE(std::filesystem::exists(out / "osd_MSB.bin"));
    EXPECT_EQ(Binary("osd_MSB.bin").size(), 0u);
    EXPECT_EQ(Binary("osd_LSB.bin").size(), 0u);
    EXPECT_EQ(Text("osd_MSB.txt"), Repeat(Repeat("0x00,0xFF,", 8) + "\r\n", 2));
    EXPECT_EQ(Text("osd_LSB.txt"), Repeat(Repeat("0xFF,0x00,", 8) + "\r\n", 2));
}

TEST_F(Generate, PartSizesFollowDepthAndCellWidth) {
    struct Case {
        int bpp, cw;
        size_t msbBin, lsbBin;    // bytes per cell
        int msbValues, lsbValues; // values in the text files
    };
    const Case cases[] = {
        {8, 12, 128, 64, 128, 64}, {8, 13, 128, 80, 128, 80}, {8, 16, 128, 128, 128, 128},
        {4, 13, 64, 32, 64, 32},   {4, 15, 64, 48, 64, 48},   {4, 16, 64, 64, 64, 64},
        {2, 15, 0, 0, 32, 16},     {2, 16, 0, 0, 32, 32},     {1, 12, 16, 16, 16, 16},
        {1, 16, 16, 16, 16, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.bpp) + " bpp, cw " + std::to_string(c.cw));
        auto bm = MakeBitmap(c.cw, 16, c.bpp, 16);
        EXPECT_EQ(Run(*bm, c.cw).cellCount, 1);
        EXPECT_EQ(Binary("osd_MSB.bin").size(), c.msbBin);
        EXPECT_EQ(Binary("osd_LSB.bin").size(), c.lsbBin);
        EXPECT_EQ(CountOf(Text("osd_MSB.txt"), "0x"), c.msbValues);
        EXPECT_EQ(CountOf(Text("osd_LSB.txt"), "0x"), c.lsbValues);
    }
}

TEST_F(Generate, OneBppCellAtTheRightEdgeClearsThePixelsPastTheStoredRow) {
    // Width 32 is stored in exactly 4 bytes a row; all pixels set. The cell at x = 24 reaches 4 pixels past.
    auto bm = MakeBitmap(32, 16, 1, 4);
    std::fill(bm->Pixels.begin(), bm->Pixels.begin() + 64, 0xFF);

    EXPECT_EQ(Run(*bm, 12).cellCount, 3);
    const Bytes msb = Binary("osd_MSB.bin");
    const Bytes lsb = Binary("osd_LSB.bin");
    ASSERT_EQ(msb.size(), 48u);
    EXPECT_EQ(Bytes(msb.begin() + 32, msb.end()), Bytes(16, 0x0F));
    EXPECT_EQ(Bytes(lsb.begin() + 32, lsb.end()), Bytes(16, 0xF0));
    EXPECT_EQ(Bytes(lsb.begin(), lsb.begin() + 16), Bytes(16, 0xFF)); // the first cell is whole
    const std::string view = Text("osd_1BPP.txt");
    const std::string edge =
        "; UFONT 002\r\n" + Repeat("XXXXXXXX.... 0x0F, 0xF0 DB 00Fh, 0F0h  0x0FF0\r\n", 16);
    ASSERT_GE(view.size(), edge.size());
    EXPECT_EQ(view.substr(view.size() - edge.size()), edge);
}

TEST_F(Generate, OneBppCellNumbersWrapAt256) {
    // 85 cells a row (x = 0..1008) and 4 rows of cells: 340 cells, numbered 000..0FF, then 000..053 again.
    auto bm = MakeBitmap(1020, 64, 1, 128);
    const GenerateResult result = Run(*bm, 12);
    EXPECT_EQ(result.cellCount, 340);
    const std::string view = Text("osd_1BPP.txt");
    EXPECT_EQ(CountOf(view, "; UFONT 000\r\n"), 2);
    EXPECT_EQ(CountOf(view, "; UFONT 053\r\n"), 2);
    EXPECT_EQ(CountOf(view, "; UFONT 054\r\n"), 1);
    EXPECT_EQ(CountOf(view, "; UFONT 0FF\r\n"), 1);
    EXPECT_EQ(CountOf(view, "; UFONT"), 340);
    EXPECT_EQ(Binary("osd_MSB.bin").size(), 340u * 16u);
    // FONT_Init loads the first 256 cells: 256 x 1 / 8 = 32 blocks, banks 0..15, and says so.
    const std::string source = Text("osd.C");
    EXPECT_EQ(CountOf(source, "VELDA_500_5FF_UFONT_MSB"), 32);
    EXPECT_EQ(CountOf(source, "VELDA_MASK_OSD_BANK15);"), 1);
    EXPECT_EQ(CountOf(source, "VELDA_MASK_OSD_BANK16);"), 0);
    EXPECT_EQ(FontInitNote(result), "FONT_Init loads the first 256 of 340 cells");
}

TEST_F(Generate, FontInitLoadsEveryCellOfAFullSheetAndTheFirst256OfALargerOne) {
    struct Case {
        int width, height, cw, bpp;
        int cells, blocks;
        const char* note;
    };
    const Case cases[] = {
        {240, 272, 16, 8, 255, 255, ""},
        {192, 256, 12, 8, 256, 256, ""}, // a full sheet: banks 0..127, both halves of the last
        {688, 96, 16, 8, 258, 256, "FONT_Init loads the first 256 of 258 cells"},
        {192, 256, 12, 4, 256, 128, ""},
        {192, 256, 12, 2, 256, 64, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cells);
        auto bm = MakeBitmap(c.width, c.height, c.bpp, c.width * c.bpp / 8);
        const GenerateResult result = Run(*bm, c.cw);
        EXPECT_EQ(result.cellCount, c.cells);
        EXPECT_EQ(FontInitNote(result), c.note);
        const std::string source = Text("osd.C");
        const std::string fontInit = source.substr(source.find("void FONT_Init(void)\r\n{"));
        EXPECT_EQ(CountOf(fontInit, "VELDA_500_5FF_UFONT_MSB"), c.blocks);
        EXPECT_EQ(CountOf(fontInit, "VELDA_400_4FF_UFONT_LSB"), c.blocks);
        EXPECT_EQ(CountOf(fontInit, "VELDA_MASK_OSD_BANK"), (c.blocks + 1) / 2);
        const int k = (c.blocks - 1) / 2, h = (c.blocks - 1) % 2;
        const std::string last = "\tVELDA_TxBurst(VELDA_400_4FF_UFONT_LSB+0x" + std::string(h ? "80" : "00") +
                                 ",sizeof(abFONT_BANK" + std::to_string(k) + "_LSB" + std::to_string(h) +
                                 "), abFONT_BANK" + std::to_string(k) + "_LSB" + std::to_string(h) +
                                 ");\r\n\r\n}\r\n";
        ASSERT_GE(source.size(), last.size());
        EXPECT_EQ(source.substr(source.size() - last.size()), last);
    }
    // The full 8-bpp sheet ends in bank 127's second half.
    auto bm = MakeBitmap(192, 256, 8, 192);
    Run(*bm, 12);
    const std::string source = Text("osd.C");
    EXPECT_EQ(CountOf(source, "VELDA_MASK_OSD_BANK127);"), 1);
    EXPECT_NE(source.find("VELDA_TxBurst(VELDA_500_5FF_UFONT_MSB+0x80,sizeof(abFONT_BANK127_MSB1), "
                          "abFONT_BANK127_MSB1);\r\n"),
              std::string::npos);
}

TEST_F(Generate, CellsReadOnIntoTheNextRowAndPastTheBufferAsZeros) {
    // Width 14 with rows of 16 bytes: the second cell (x = 12) of row 0 takes bytes 12..15 of row 0 and
    // bytes 0..7 of row 1.
    auto bm = MakeBitmap(14, 16, 8, 16);
    std::fill(bm->Pixels.begin() + 16, bm->Pixels.begin() + 32, 0x01);
    EXPECT_EQ(Run(*bm, 12).cellCount, 2);
    const Bytes msb = Binary("osd_MSB.bin");
    ASSERT_EQ(msb.size(), 256u);
    EXPECT_EQ(Bytes(msb.begin() + 128, msb.begin() + 136), (Bytes{0x0F, 0, 0, 0, 0, 0, 0, 0}));

    // 768 rows of 2048 bytes (a row size a header can claim): rows 0..31 hold 1, rows 32..383 hold 2, rows
    // 384.. lie past the buffer. The cell at y = 32 starts at byte 65536 and must read its own rows, not
    // wrap to row 0.
    auto big = MakeBitmap(12, 768, 8, 2048);
    std::fill(big->Pixels.begin(), big->Pixels.begin() + 32 * 2048, 0x01);
    std::fill(big->Pixels.begin() + 32 * 2048, big->Pixels.end(), 0x02);
    EXPECT_EQ(Run(*big, 12).cellCount, 48);
    const Bytes bigMsb = Binary("osd_MSB.bin");
    const Bytes bigLsb = Binary("osd_LSB.bin");
    ASSERT_EQ(bigMsb.size(), 48u * 128u);
    ASSERT_EQ(bigLsb.size(), 48u * 64u);
    const Bytes one = {0xFF, 0, 0, 0, 0, 0, 0, 0};
    const Bytes two = {0, 0xFF, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Bytes(bigMsb.begin() + 1 * 128, bigMsb.begin() + 2 * 128), RepeatBytes(one, 16));
    EXPECT_EQ(Bytes(bigMsb.begin() + 2 * 128, bigMsb.begin() + 3 * 128), RepeatBytes(two, 16));
    EXPECT_EQ(Bytes(bigMsb.begin() + 23 * 128, bigMsb.begin() + 24 * 128), RepeatBytes(two, 16));
    EXPECT_EQ(Bytes(bigMsb.begin() + 24 * 128, bigMsb.end()), Bytes(24 * 128, 0));
    EXPECT_EQ(Bytes(bigLsb.begin() + 24 * 64, bigLsb.end()), Bytes(24 * 64, 0));
}

TEST_F(Generate, SizesLeftByARefusedFileWalkNoFurtherThanTheLargestPicture) {
    // A file refused for its size leaves Width and Height as it claimed them; the cells stop at 1024 x 768.
    auto bm = MakeBitmap(65535, 65535, 8, 1024);
    EXPECT_EQ(Run(*bm, 16).cellCount, 64 * 48);
}

TEST_F(Generate, UnknownDepthWritesPaletteFilesOnly) {
    auto bm = MakeBitmap(16, 16, 3, 6);
    const GenerateResult result = Run(*bm, 16);
    EXPECT_TRUE(result.ran);
    EXPECT_FALSE(result.failure);
    EXPECT_EQ(result.cellCount, 0);
    EXPECT_EQ(Binary("osd_MSB.bin").size(), 0u);
    EXPECT_EQ(Text("osd_MSB.txt"), "");
    const std::string source = Text("osd.C");
    ASSERT_GE(source.size(), 3u);
    EXPECT_EQ(source.substr(source.size() - 3), "}\r\n"); // Palette_Init is the last thing written
    EXPECT_EQ(source.find("FONT_Init"), std::string::npos);
    EXPECT_NE(source.find("Palette_Init"), std::string::npos);
}

TEST_F(Generate, OtherExtensionsDoNothing) {
    auto bm = MakeBitmap(16, 16, 1, 4);
    for (const char* source :
         {"", "osd.gif", "osd.bmp.txt", "osd.png.bmp.txt", "osdbmp", "osdpng", "dir.bmp/osd", "osd.bm", "osd.pn",
          "C:\\x.bmp\\osd"}) {
        SCOPED_TRACE(source);
        const GenerateResult result = Run(*bm, 16, source);
        EXPECT_FALSE(result.ran);
        EXPECT_TRUE(Statuses(result).empty());
        EXPECT_FALSE(result.failure);
        EXPECT_TRUE(FilesIn(out.path()).empty());
    }
    EXPECT_TRUE(Run(*bm, 16, "/pics/OSD.bMp").ran);
    EXPECT_TRUE(std::filesystem::exists(out / "OSD.C"));
    // A PNG source names its outputs as a BMP does.
    EXPECT_TRUE(Run(*bm, 16, "/pics/logo.PNG").ran);
    EXPECT_TRUE(std::filesystem::exists(out / "logo.C"));
}

TEST_F(Generate, BareNamesGoToTheCurrentDirectory) {
    auto bm = MakeBitmap(16, 16, 1, 4);
    testsupport::CurrentDirectory here(out.path());
    OsdOptions options;
    options.sourcePath = "/elsewhere/font.bmp";
    ASSERT_TRUE(GenerateOsdFont(*bm, options).ran);
    EXPECT_EQ(FilesIn(out.path()),
              (std::vector<std::string>{"font.C", "font_1BPP.txt", "font_B.txt", "font_G.txt", "font_LSB.bin",
                                        "font_LSB.txt", "font_MSB.bin", "font_MSB.txt", "font_R.txt"}));
}

TEST_F(Generate, AnOutputThatCannotBeCreatedEndsTheRunAndChangesNoFile) {
    auto bm = MakeBitmap(16, 16, 1, 4);
    std::fill(bm->Pixels.begin(), bm->Pixels.begin() + 64, 0xFF);
    const std::vector<std::string> outputs = {"osd_R.txt",   "osd_G.txt",   "osd_B.txt",
                                              "osd_MSB.bin", "osd_LSB.bin", "osd_MSB.txt",
                                              "osd_LSB.txt", "osd.C",       "osd_1BPP.txt"};
    struct Case {
        std::string blocked; // a directory of this name stands where the output should go
        std::optional<std::string> error;
        std::vector<std::string> notes;
    };
    const Case cases[] = {
        {"osd_MSB.bin", "cannot write %s/osd_MSB.bin: Is a directory", {}},
        {"osd.C", "cannot write %s/osd.C: Is a directory", {}},
        {"osd_1BPP.txt", "cannot write %s/osd_1BPP.txt: Is a directory", {}},
        // A palette table is skipped and the run goes on.
        {"osd_G.txt", std::nullopt, {"osd_R.txt OK !", "osd_B.txt OK !"}},
    };
    const Bytes kPrevious = {'o', 'l', 'd'};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blocked);
        TempDir dir;
        std::filesystem::create_directory(dir / c.blocked);
        for (const std::string& name : outputs)
            if (name != c.blocked) testsupport::WriteFile(dir / name, kPrevious);
        OsdOptions options;
        options.sourcePath = "osd.bmp";
        options.outputDirectory = dir.path();
        const GenerateResult result = GenerateOsdFont(*bm, options);
        EXPECT_TRUE(result.ran);
        if (c.error) {
            const std::string error = base::strprintf(c.error->c_str(), dir.path().c_str());
            EXPECT_EQ(result.failure, error);
            // Every output keeps what it held: the palette tables written before the failure too.
            for (const std::string& name : outputs) {
                if (name != c.blocked) {
                    EXPECT_EQ(ReadFile(dir / name), kPrevious) << name;
                }
            }
        } else {
            EXPECT_FALSE(result.failure);
            EXPECT_NE(ReadFile(dir / "osd.C"), kPrevious);
        }
        EXPECT_EQ(Statuses(result), c.notes);
        EXPECT_EQ(FilesIn(dir.path()).size(), outputs.size()); // no temporary file left
    }
}

TEST_F(Generate, AWriteFailureAtCloseIsReportedAndNoOutputChanges) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    auto bm = MakeBitmap(16, 16, 1, 4);
    std::filesystem::create_symlink("/dev/full", out / "osd_MSB.txt");
    const GenerateResult result = Run(*bm, 16);
    EXPECT_EQ(result.failure, std::optional<std::string>("cannot write " + (out / "osd_MSB.txt") +
                                                         ": No space left on device"));
    EXPECT_EQ(result.cellCount, 1);
    EXPECT_TRUE(Statuses(result).empty());
    // The other outputs were complete, but a run's files change together: none was put in place.
    EXPECT_EQ(FilesIn(out.path()), std::vector<std::string>{"osd_MSB.txt"});
}

} // namespace
