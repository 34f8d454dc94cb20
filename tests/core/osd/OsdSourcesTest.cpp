#include "osd/OsdSources.h"

#include "base/OutputFile.h"
#include "support/BmpBuilder.h"
#include "support/Text.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

namespace {

using testsupport::Repeat;

using base::Colour;
using base::MakeColour;
using base::OutputFile;
using testsupport::TempDir;

// What an emitter writes into a text-mode file, as the bytes on disk.
std::string Emitted(const std::function<void(OutputFile&)>& emit) {
    TempDir dir;
    OutputFile file;
    EXPECT_TRUE(file.Create(dir / "out.C", OutputFile::Mode::Text));
    emit(file);
    EXPECT_TRUE(file.Close());
    return testsupport::ReadText(dir / "out.C");
}

const char* const kPaletteInitHead = "\r\nextern void Palette_Init (void);\r\nvoid Palette_Init (void)\r\n{";

std::string LsbTransfer(char x) {
    const std::string c(1, x);
    return "\r\n\tVELDA_TxByte(VELDA_12F_OSD_ATTR,VELDA_MASK_OSDPAT_" + c +
           "0 | VELDA_MASK_OSD_BANK0);\r\n\r\n" +
           "\tVELDA_TxBurst(VELDA_300_3FF_OSDPAT+0x00,sizeof(abPALETTE_" + c + "0_LSB), abPALETTE_" + c +
           "0_LSB);\r\n";
}

std::string MsbTransfer(char x) {
    const std::string c(1, x);
    return "\tVELDA_TxBurst(VELDA_300_3FF_OSDPAT+0x80,sizeof(abPALETTE_" + c + "0_MSB), abPALETTE_" + c +
           "0_MSB);\r\n";
}

TEST(PaletteSource, SixteenColoursInFull) {
    std::array<Colour, 256> table{};
    for (int i = 0; i < 16; ++i)
        table[i] = MakeColour(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(0x10 + i),
                              static_cast<std::uint8_t>(0xF0 + i));
    const std::string text = Emitted([&](OutputFile& f) {
        osd::WritePaletteSource(f, table.data(), 16, settings::PaletteFormat::Rgb888);
    });

    const std::string expected =
        "\r\nextern UB8 CODE abPALETTE_R0_LSB[];\r\n\r\nUB8 CODE abPALETTE_R0_LSB[]= {\r\n"
        " 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,\r\n"
        "};\r\n"
        "\r\nextern UB8 CODE abPALETTE_G0_LSB[];\r\n\r\nUB8 CODE abPALETTE_G0_LSB[]= {\r\n"
        " 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F,\r\n"
        "};\r\n"
        "\r\nextern UB8 CODE abPALETTE_B0_LSB[];\r\n\r\nUB8 CODE abPALETTE_B0_LSB[]= {\r\n"
        " 0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,\r\n"
        "};\r\n"
        "\r\nextern void Palette_Init (void);\r\nvoid Palette_Init (void)\r\n{"
        "\r\n\tVELDA_TxByte(VELDA_12F_OSD_ATTR,VELDA_MASK_OSDPAT_R0 | VELDA_MASK_OSD_BANK0);\r\n\r\n"
        "\tVELDA_TxBurst(VELDA_300_3FF_OSDPAT+0x00,sizeof(abPALETTE_R0_LSB), abPALETTE_R0_LSB);\r\n"
        "\r\n\tVELDA_TxByte(VELDA_12F_OSD_ATTR,VELDA_MASK_OSDPAT_G0 | VELDA_MASK_OSD_BANK0);\r\n\r\n"
        "\tVELDA_TxBurst(VELDA_300_3FF_OSDPAT+0x00,sizeof(abPALETTE_G0_LSB), abPALETTE_G0_LSB);\r\n"
        "\r\n\tVELDA_TxByte(VELDA_12F_OSD_ATTR,VELDA_MASK_OSDPAT_B0 | VELDA_MASK_OSD_BANK0);\r\n\r\n"
        "\tVELDA_TxBurst(VELDA_300_3FF_OSDPAT+0x00,sizeof(abPALETTE_B0_LSB), abPALETTE_B0_LSB);\r\n"
        "}\r\n";
    EXPECT_EQ(text, expected);
}

TEST(PaletteSource, TwoHundredFiftySixColoursSplitIntoLsbAndMsbArrays) {
    std::array<Colour, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = MakeColour(static_cast<std::uint8_t>(i), 0x5A, 0xC3);
    const std::string text = Emitted([&](OutputFile& f) {
        osd::WritePaletteSource(f, table.data(), 256, settings::PaletteFormat::Rgb888);
    });

    // Red counts up 00..FF, 16 to a line; green and blue are constant.
    std::string red = "\r\nextern UB8 CODE abPALETTE_R0_LSB[];\r\n\r\nUB8 CODE abPALETTE_R0_LSB[]= {\r\n";
    const char* hex = "0123456789ABCDEF";
    for (int line = 0; line < 16; ++line) {
        if (line == 8)
            red += "\r\nextern UB8 CODE abPALETTE_R0_MSB[];\r\n\r\nUB8 CODE abPALETTE_R0_MSB[]= {\r\n";
        for (int d = 0; d < 16; ++d)
            red += std::string(" 0x") + hex[line] + hex[d] + ",";
        red += "\r\n";
        if (line == 7 || line == 15) red += "};\r\n";
    }
    const std::string green =
        "\r\nextern UB8 CODE abPALETTE_G0_LSB[];\r\n\r\nUB8 CODE abPALETTE_G0_LSB[]= {\r\n" +
        Repeat(Repeat(" 0x5A,", 16) + "\r\n", 8) + "};\r\n" +
        "\r\nextern UB8 CODE abPALETTE_G0_MSB[];\r\n\r\nUB8 CODE abPALETTE_G0_MSB[]= {\r\n" +
        Repeat(Repeat(" 0x5A,", 16) + "\r\n", 8) + "};\r\n";
    const std::string blue =
        "\r\nextern UB8 CODE abPALETTE_B0_LSB[];\r\n\r\nUB8 CODE abPALETTE_B0_LSB[]= {\r\n" +
        Repeat(Repeat(" 0xC3,", 16) + "\r\n", 8) + "};\r\n" +
        "\r\nextern UB8 CODE abPALETTE_B0_MSB[];\r\n\r\nUB8 CODE abPALETTE_B0_MSB[]= {\r\n" +
        Repeat(Repeat(" 0xC3,", 16) + "\r\n", 8) + "};\r\n";
    const std::string routine = kPaletteInitHead + LsbTransfer('R') + MsbTransfer('R') + LsbTransfer('G') +
                                MsbTransfer('G') + LsbTransfer('B') + MsbTransfer('B') + "}\r\n";
    EXPECT_EQ(text, red + green + blue + routine);
}

TEST(PaletteSource, NoColoursStillTransfersTheFirstArrays) {
    std::array<Colour, 256> table{};
    const std::string text = Emitted(
        [&](OutputFile& f) { osd::WritePaletteSource(f, table.data(), 0, settings::PaletteFormat::Rgb888); });
    EXPECT_EQ(text, kPaletteInitHead + LsbTransfer('R') + LsbTransfer('G') + LsbTransfer('B') + "}\r\n");
}

TEST(PaletteSource, Rgb666KeepsTheTopSixBitsOfEachComponent) {
    std::array<Colour, 256> table{};
    table[0] = MakeColour(0xFF, 0x80, 0x03);
    table[1] = MakeColour(0x7C, 0x04, 0xFC);
    struct Case {
        settings::PaletteFormat format;
        std::string red, green, blue;
    };
    const Case cases[] = {{settings::PaletteFormat::Rgb666, " 0x3F, 0x1F,", " 0x20, 0x01,", " 0x00, 0x3F,"},
                          {settings::PaletteFormat::Rgb888, " 0xFF, 0x7C,", " 0x80, 0x04,", " 0x03, 0xFC,"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.red);
        const std::string text =
            Emitted([&](OutputFile& f) { osd::WritePaletteSource(f, table.data(), 2, c.format); });
        EXPECT_NE(text.find("abPALETTE_R0_LSB[]= {\r\n" + c.red + "};\r\n"), std::string::npos) << text;
        EXPECT_NE(text.find("abPALETTE_G0_LSB[]= {\r\n" + c.green + "};\r\n"), std::string::npos) << text;
        EXPECT_NE(text.find("abPALETTE_B0_LSB[]= {\r\n" + c.blue + "};\r\n"), std::string::npos) << text;
    }
}

TEST(PaletteSource, CountsPastTheTableReadZerosAndOpenASecondBank) {
    std::array<Colour, 256> table{};
    table.fill(0xFFFFFF);
    const std::string text = Emitted([&](OutputFile& f) {
        osd::WritePaletteSource(f, table.data(), 300, settings::PaletteFormat::Rgb888);
    });

    // Entries 256..299 form abPALETTE_X1_LSB of 44 zero items (two full lines and one of 12), closed once.
    const std::string bank1 =
        "\r\nextern UB8 CODE abPALETTE_R1_LSB[];\r\n\r\nUB8 CODE abPALETTE_R1_LSB[]= {\r\n" +
        Repeat(Repeat(" 0x00,", 16) + "\r\n", 2) + Repeat(" 0x00,", 12) + "};\r\n";
    EXPECT_NE(text.find(Repeat(" 0xFF,", 16) + "\r\n};\r\n" + bank1), std::string::npos);
    EXPECT_EQ(text.find("abPALETTE_R1_MSB"), std::string::npos);

    // 300 entries: two full halves and a part, so three transfers a component: R0 LSB, R0 MSB, R1 LSB.
    const std::string redRoutine =
        LsbTransfer('R') + MsbTransfer('R') +
        "\r\n\tVELDA_TxByte(VELDA_12F_OSD_ATTR,VELDA_MASK_OSDPAT_R1 | VELDA_MASK_OSD_BANK0);\r\n\r\n"
        "\tVELDA_TxBurst(VELDA_300_3FF_OSDPAT+0x00,sizeof(abPALETTE_R1_LSB), abPALETTE_R1_LSB);\r\n";
    EXPECT_NE(text.find(kPaletteInitHead + redRoutine +
                        "\r\n\tVELDA_TxByte(VELDA_12F_OSD_ATTR,VELDA_MASK_OSDPAT_G0"),
              std::string::npos);
}

TEST(FontInitSource, NoBlocksGivesOnlyTheRoutineFrame) {
    const std::string text = Emitted([](OutputFile& f) { osd::WriteFontInitSource(f, 0); });
    EXPECT_EQ(text, "\r\nextern void FONT_Init(void);\r\nvoid FONT_Init(void)\r\n{\r\n}\r\n");
}

TEST(FontInitSource, ThreeBlocksSelectEachBankOnce) {
    const std::string text = Emitted([](OutputFile& f) { osd::WriteFontInitSource(f, 3); });
    const std::string expected =
        "\r\nextern void FONT_Init(void);\r\nvoid FONT_Init(void)\r\n{\r\n"
        "\tVELDA_TxByte(VELDA_12F_OSD_ATTR,VELDA_MASK_OSDPAT_R0 | VELDA_MASK_OSD_BANK0);\r\n\r\n"
        "\tVELDA_TxBurst(VELDA_500_5FF_UFONT_MSB+0x00,sizeof(abFONT_BANK0_MSB0), abFONT_BANK0_MSB0);\r\n"
        "\tVELDA_TxBurst(VELDA_400_4FF_UFONT_LSB+0x00,sizeof(abFONT_BANK0_LSB0), abFONT_BANK0_LSB0);\r\n\r\n"
        "\tVELDA_TxBurst(VELDA_500_5FF_UFONT_MSB+0x80,sizeof(abFONT_BANK0_MSB1), abFONT_BANK0_MSB1);\r\n"
        "\tVELDA_TxBurst(VELDA_400_4FF_UFONT_LSB+0x80,sizeof(abFONT_BANK0_LSB1), abFONT_BANK0_LSB1);\r\n\r\n"
        "\tVELDA_TxByte(VELDA_12F_OSD_ATTR,VELDA_MASK_OSDPAT_R0 | VELDA_MASK_OSD_BANK1);\r\n\r\n"
        "\tVELDA_TxBurst(VELDA_500_5FF_UFONT_MSB+0x00,sizeof(abFONT_BANK1_MSB0), abFONT_BANK1_MSB0);\r\n"
        "\tVELDA_TxBurst(VELDA_400_4FF_UFONT_LSB+0x00,sizeof(abFONT_BANK1_LSB0), abFONT_BANK1_LSB0);\r\n\r\n"
        "}\r\n";
    EXPECT_EQ(text, expected);
}

TEST(FontInitSource, BlocksFillBanksUpToBank127) {
    const std::string text = Emitted([](OutputFile& f) { osd::WriteFontInitSource(f, 255); });
    EXPECT_NE(text.find("\tVELDA_TxBurst(VELDA_400_4FF_UFONT_LSB+0x00,sizeof(abFONT_BANK127_LSB0), "
                        "abFONT_BANK127_LSB0);\r\n\r\n}\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("abFONT_BANK127_MSB1"), std::string::npos);

    // 256 blocks, a full sheet at 8 bpp: bank 127 takes both halves.
    const std::string full = Emitted([](OutputFile& f) { osd::WriteFontInitSource(f, 256); });
    EXPECT_NE(full.find("abFONT_BANK127_LSB0);\r\n\r\n"
                        "\tVELDA_TxBurst(VELDA_500_5FF_UFONT_MSB+0x80,sizeof(abFONT_BANK127_MSB1), "
                        "abFONT_BANK127_MSB1);\r\n"
                        "\tVELDA_TxBurst(VELDA_400_4FF_UFONT_LSB+0x80,sizeof(abFONT_BANK127_LSB1), "
                        "abFONT_BANK127_LSB1);\r\n\r\n}\r\n"),
              std::string::npos);
    EXPECT_EQ(full.find("abFONT_BANK128"), std::string::npos);
}

} // namespace
