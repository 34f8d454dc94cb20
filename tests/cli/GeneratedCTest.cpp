// The C that Tavix generates goes into firmware builds as it is: B.C of the OSD tab, Font.c, Font.h and
// Palette.txt of the bank's code generator, Font_def.h of the text strings, and the offset tables of both
// merges. Here each is made by tavix-cli, as a build script would, and compiled by gcc with every warning an
// error, against a small stand-in for the firmware's own header.

#include "cli/CliRun.h"

#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using clitest::RunCli;
using testsupport::ReadText;
using testsupport::TempDir;

void WriteText(const std::string& path, const std::string& text) {
    testsupport::WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

bool HaveGcc() {
    return std::system("command -v gcc >/dev/null 2>&1") == 0;
}

// The firmware's types, registers and transfer routines the generated code uses. The 128 bank masks are
// what FONT_Init of a full sheet selects.
std::string FirmwareHeader() {
    std::string h = "#ifndef FIRMWARE_H\n#define FIRMWARE_H\n"
                    "typedef unsigned char UB8;\n"
                    "#define CODE const\n"
                    "void VELDA_TxByte(unsigned reg, unsigned value);\n"
                    "void VELDA_TxBurst(unsigned address, unsigned long size, const UB8 *data);\n"
                    "#define VELDA_12F_OSD_ATTR 0x12F\n"
                    "#define VELDA_300_3FF_OSDPAT 0x300\n"
                    "#define VELDA_400_4FF_UFONT_LSB 0x400\n"
                    "#define VELDA_500_5FF_UFONT_MSB 0x500\n"
                    "#define AOSD_START_ADR 0x100000UL\n";
    for (const char* c : {"R", "G", "B"})
        for (int m = 0; m < 2; ++m)
            h += "#define VELDA_MASK_OSDPAT_" + std::string(c) + std::to_string(m) + " 0x" +
                 std::to_string(m) + "0\n";
    for (int k = 0; k < 128; ++k)
        h += "#define VELDA_MASK_OSD_BANK" + std::to_string(k) + " " + std::to_string(k) + "u\n";
    return h + "#endif\n";
}

struct Compiled {
    bool ok;
    std::string messages;
};

// gcc -c with every warning an error; the compiler's messages when it refuses.
Compiled Compile(const TempDir& dir, const std::string& source, const std::string& extra = "") {
    const std::string command = "cd '" + dir.path() + "' && gcc -std=c99 -Wall -Wextra -pedantic -Werror " +
                                extra + " -c '" + source + "' -o /dev/null >gcc.log 2>&1";
    const bool ok = std::system(command.c_str()) == 0;
    return {ok, ReadText(dir / "gcc.log")};
}

TEST(GeneratedC, CompilesWithEveryWarningAnError) {
    if (!HaveGcc()) GTEST_SKIP() << "gcc is not installed";
    TempDir dir;
    WriteText(dir / "firmware.h", FirmwareHeader());

    // A full OSD sheet of 256 cells at 8 bpp, reduced: B.C with the reduced palette and a FONT_Init of 256
    // blocks, whose arrays the firmware defines from the plane data.
    testsupport::BmpLayout sheet;
    sheet.width = 192;
    sheet.height = 256;
    sheet.bpp = 8;
    sheet.palette = testsupport::DistinctPalette(256);
    sheet.indices = testsupport::IndicesOf(192, 256, [](int x, int y) { return 40 + (x / 3 + y) % 7; });
    testsupport::WriteFile(dir / "sheet.bmp", testsupport::BuildBmp(sheet));
    auto r = RunCli({"osd", dir / "sheet.bmp", "--cell", "12", "--reduce", "--out", dir.path()});
    ASSERT_EQ(r.code, 0) << r.err;
    std::string osd = "#include \"firmware.h\"\n";
    for (int k = 0; k < 128; ++k)
        for (int h = 0; h < 2; ++h)
            for (const char* part : {"MSB", "LSB"})
                osd += "extern UB8 CODE abFONT_BANK" + std::to_string(k) + "_" + part + std::to_string(h) +
                       "[128];\n";
    WriteText(dir / "osd.c", osd + "#include \"sheet.C\"\n");

    // A bank from strings (a byte-order mark and a no-break space among them), with its code.
    WriteText(dir / "strings.txt", "\xEF\xBB\xBF"
                                   "AB A\nC\xC2\xA0"
                                   "D\n");
    r = RunCli(
        {"font", "bank", "--strings", dir / "strings.txt", "--bpp", "2", "--code", "--out", dir.path()});
    ASSERT_EQ(r.code, 0) << r.err;
    WriteText(dir / "palette.c", "#include \"firmware.h\"\n#include \"Palette.txt\"\n");

    // The Merge tab's table: a name with a minus and dots, one with a blank, one file listed twice.
    for (const char* name : {"my-logo.big.bin", "a b.bin", "logo.bin"})
        testsupport::WriteFile(dir / name, std::vector<std::uint8_t>(3, 0x5A));
    r = RunCli({"merge", dir / "Pic.BIN", dir / "my-logo.big.bin", dir / "a b.bin", dir / "logo.bin",
                dir / "logo.bin"});
    ASSERT_EQ(r.code, 0) << r.err;
    // The AOSD tab's table, merged in a folder of its own.
    std::filesystem::create_directory(dir / "aosd");
    for (const char* name : {"aosd/logo01-x12.bin", "aosd/a b.bin"})
        testsupport::WriteFile(dir / name, std::vector<std::uint8_t>(5, 0x11));
    r = RunCli({"aosd", "merge", dir / "aosd/logo01-x12.bin", dir / "aosd/a b.bin"});
    ASSERT_EQ(r.code, 0) << r.err;

    // Every name the tables and Font_def.h define is used, so a name that is not what it should be fails.
    WriteText(dir / "tables.c",
              "#include \"firmware.h\"\n"
              "#include \"Font_def.h\"\n"
              "#include \"Pic_TBL.TXT\"\n"
              "#include \"aosd/Merge_tbl.txt\"\n"
              "const UB8 text1[] = {FONT_STR1_1BPP_WORD1, FONT_STR1_1BPP_WORD2, "
              "FONT_STR1_1BPP_WORD4};\n"
              "const UB8 text2[] = {FONT_STR2_1BPP_WORD1, FONT_STR2_1BPP_WORD2, "
              "FONT_STR2_1BPP_WORD3};\n"
              "const unsigned long offsets[] = {PICMY_LOGO_BIG_BIN_OFFSET, PICA_B_BIN_OFFSET,\n"
              "    PICLOGO_BIN_OFFSET, PICLOGO_BIN_2_OFFSET, PIClogo01_x12_OFFSET, PICa_b_OFFSET};\n");

    struct Unit {
        const char* source;
        const char* extra; // Font.c includes only Font.h, which takes the firmware's types as given
    };
    for (const Unit& u : {Unit{"osd.c", ""}, Unit{"Font.c", "-include firmware.h"}, Unit{"palette.c", ""},
                          Unit{"tables.c", ""}}) {
        const Compiled compiled = Compile(dir, u.source, u.extra);
        EXPECT_TRUE(compiled.ok) << u.source << ":\n" << compiled.messages;
    }
}

} // namespace
