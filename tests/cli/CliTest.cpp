#include "cli/Cli.h"
#include "cli/CliRun.h"
#include "cli/OsdCommand.h"
#include "cli/PaletteCommand.h"

#include "base/Path.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {

using clitest::Result;
using clitest::RunCli;
using clitest::RunProcess;

TEST(Cli, VersionHelpAndUsageErrors) {
    auto r = RunProcess("--version");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "0.1.5.9\n");

    r = RunProcess("--help");
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("header"), std::string::npos);

    for (const char* bad : {"", "frobnicate", "header", "header a b"}) {
        SCOPED_TRACE(bad);
        r = RunProcess(bad);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.out.empty());
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    }
}

TEST(Cli, HeaderPrintsBothGridsEvenForARefusedFile) {
    testsupport::TempDir dir;
    testsupport::BmpLayout s;
    s.width = 4;
    s.height = 2;
    s.biBitCount = 24;
    testsupport::WriteFile(dir / "deep.bmp", testsupport::BuildBmp(s));
    const auto r = RunCli({"header", dir / "deep.bmp"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("0000-0001\t42 4D (B M)\tIdentifier\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("000E-000F\t18 00 (24)\tBits per pixel\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("0004-0007\t04 00 00 00 (4)\tWidth in pixels\n"), std::string::npos) << r.out;
    // Two title rows and 4 + 11 value rows, one a line, three tab-separated fields each.
    int lines = 0;
    for (size_t start = 0; start < r.out.size();) {
        const size_t end = r.out.find('\n', start);
        const std::string line = r.out.substr(start, end - start);
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 2) << line;
        ++lines;
        start = end + 1;
    }
    EXPECT_EQ(lines, 17);
    EXPECT_EQ(r.out.rfind("Offset\tValue\tDescription\n", 0), 0u);

    const auto missing = RunCli({"header", dir / "none.bmp"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "File Not Exist !!!\n");

    // Identifier bytes that are control or non-ASCII characters print as "." and keep the row one line.
    struct Case {
        std::uint8_t b0, b1;
        const char* row;
    };
    const Case cases[] = {
        {0x0A, 0x09, "0000-0001\t0A 09 (. .)\tIdentifier\n"},
        {0x00, 0x7F, "0000-0001\t00 7F (. .)\tIdentifier\n"},
        {0x20, 0x7E, "0000-0001\t20 7E (  ~)\tIdentifier\n"},
        {0x1F, 0x80, "0000-0001\t1F 80 (. .)\tIdentifier\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = testsupport::BuildBmp(s);
        bytes[0] = c.b0;
        bytes[1] = c.b1;
        testsupport::WriteFile(dir / "odd.bmp", bytes);
        const auto odd = RunCli({"header", dir / "odd.bmp"});
        EXPECT_NE(odd.out.find(c.row), std::string::npos) << odd.out;
        EXPECT_EQ(std::count(odd.out.begin(), odd.out.end(), '\n'), 17);
    }
}

} // namespace

namespace {

TEST(Cli, ParsesOsdAndPaletteCommandLines) {
    const cli::OsdJob defaults = cli::ParseOsdArgs({"s.bmp"});
    EXPECT_EQ(defaults.fontSize.Index(), 4);
    EXPECT_EQ(defaults.codeFormat, settings::CodeFormat::C);
    EXPECT_EQ(defaults.paletteFormat, settings::PaletteFormat::Rgb888);
    EXPECT_FALSE(defaults.reduce || defaults.to2Bpp || defaults.saveReduced);

    const cli::OsdJob all =
        cli::ParseOsdArgs({"--cell", "13", "s.bmp", "--code", "asm", "--palette", "rgb666", "--reduce",
                           "--2bpp", "--out", "o", "--save-reduced", "r.bmp"});
    EXPECT_EQ(all.sheet, "s.bmp");
    EXPECT_EQ(all.fontSize.Index(), 1);
    EXPECT_EQ(all.codeFormat, settings::CodeFormat::Asm);
    EXPECT_EQ(all.paletteFormat, settings::PaletteFormat::Rgb666);
    EXPECT_TRUE(all.reduce && all.to2Bpp);
    EXPECT_EQ(all.outputDirectory, "o");
    EXPECT_EQ(all.saveReduced.value_or(""), "r.bmp");

    const cli::PaletteJob p =
        cli::ParsePaletteArgs({"in.bmp", "--insert", "3=FF8000", "--delete", "7", "out.bmp", "--swap",
                               "0,16,16", "--update", "255=000001", "--invert", "2"});
    EXPECT_EQ(p.input, "in.bmp");
    EXPECT_EQ(p.output, "out.bmp");
    ASSERT_EQ(p.edits.size(), 5u);
    EXPECT_EQ(p.edits[0].kind, cli::PaletteEditStep::Kind::Insert);
    EXPECT_EQ(p.edits[0].left, 3);
    EXPECT_EQ(p.edits[0].colour, base::MakeColour(0xFF, 0x80, 0x00));
    EXPECT_EQ(p.edits[2].kind, cli::PaletteEditStep::Kind::Swap);
    EXPECT_EQ(p.edits[2].right, 16);
    EXPECT_EQ(p.edits[2].count, 16);
    EXPECT_EQ(p.edits[3].colour, base::MakeColour(0, 0, 1));
    EXPECT_EQ(p.edits[4].kind, cli::PaletteEditStep::Kind::Invert);

    const std::vector<std::vector<std::string>> badOsd = {{},
                                                          {"a.bmp", "b.bmp"},
                                                          {"a.bmp", "--cell", "11"},
                                                          {"a.bmp", "--cell", "17"},
                                                          {"a.bmp", "--cell"},
                                                          {"a.bmp", "--code", "pascal"},
                                                          {"a.bmp", "--palette", "rgb565"},
                                                          {"a.bmp", "--bogus"}};
    for (const auto& args : badOsd)
        EXPECT_THROW(cli::ParseOsdArgs(args), cli::UsageError);
    const std::vector<std::vector<std::string>> badPalette = {{"in.bmp"},
                                                              {"in.bmp", "out.bmp", "x.bmp"},
                                                              {"in.bmp", "out.bmp", "--insert", "3"},
                                                              {"in.bmp", "out.bmp", "--insert", "3=GG0000"},
                                                              {"in.bmp", "out.bmp", "--insert", "256=000000"},
                                                              {"in.bmp", "out.bmp", "--swap", "0,16"},
                                                              {"in.bmp", "out.bmp", "--swap", "0,16,0"},
                                                              {"in.bmp", "out.bmp", "--swap", "0,16,101"},
                                                              {"in.bmp", "out.bmp", "--delete", "-1"}};
    for (const auto& args : badPalette)
        EXPECT_THROW(cli::ParsePaletteArgs(args), cli::UsageError);
}

TEST(Cli, RefusedPicturesFailWithTheWindowsMessage) {
    testsupport::TempDir dir;
    testsupport::BmpLayout wide;
    wide.width = 1025;
    wide.height = 1;
    wide.palette = testsupport::DistinctPalette(256);
    testsupport::WriteFile(dir / "wide.bmp", testsupport::BuildBmp(wide));
    testsupport::BmpLayout odd = wide;
    odd.width = 8;
    odd.biCompression = 7;
    testsupport::WriteFile(dir / "odd.bmp", testsupport::BuildBmp(odd));

    auto r = RunCli({"osd", dir / "wide.bmp", "--out", dir / "out"});
    EXPECT_EQ(r.code, 1);
    // The window's message, then the file and the limit it exceeds.
    EXPECT_EQ(r.err, "Wrong File Size !!!\n" + dir / "wide.bmp" +
                         ": 1025 x 1 pixels, where 1 x 1 to 1024 x 768 are taken\n");
    r = RunCli({"palette", dir / "none.bmp", dir / "out.bmp"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "File Not Exist !!!\n");
    r = RunCli({"osd", dir / "odd.bmp", "--out", dir / "out"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Cannot read the picture \"" + dir / "odd.bmp" +
                         "\": its compression method 7 is not supported.\n");
    r = RunCli({"palette", dir / "odd.bmp", dir / "out.bmp"});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(testsupport::ReadFile(dir / "wide.bmp").empty());
}

TEST(Cli, OsdWritesTheFontFilesIntoTheOutputDirectory) {
    testsupport::TempDir dir;
    testsupport::BmpLayout s;
    s.width = 32;
    s.height = 16;
    s.bpp = 4;
    s.palette = testsupport::DistinctPalette(16);
    testsupport::WriteFile(dir / "sheet.bmp", testsupport::BuildBmp(s));
    const auto r = RunProcess("osd " + dir / "sheet.bmp" + " --out " + dir / "new/out");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "sheet_R.txt OK !\nsheet_G.txt OK !\nsheet_B.txt OK !\n2 cells\n");
    for (const char* name : {"sheet_R.txt", "sheet_G.txt", "sheet_B.txt", "sheet_MSB.bin", "sheet_LSB.bin",
                             "sheet_MSB.txt", "sheet_LSB.txt", "sheet.C"})
        EXPECT_TRUE(base::FileExists(dir / "new/out/" + name)) << name;
    // Two 16 x 16 cells at 4 bpp: 16 groups of 4 plane bytes a part, two parts a cell.
    EXPECT_EQ(testsupport::ReadFile(dir / "new/out/sheet_MSB.bin").size(), 2u * 64u);
}

TEST(Cli, OsdSaysWhichCellsFontInitLeavesOutAndStillSucceeds) {
    testsupport::TempDir dir;
    struct Case {
        int width, height;
        std::string err;
    };
    // 12-pixel cells: 85 x 4 = 340 cells, then 16 x 16 = 256, which FONT_Init loads whole.
    const Case cases[] = {{1020, 64, "FONT_Init loads the first 256 of 340 cells\n"}, {192, 256, ""}};
    for (const Case& c : cases) {
        testsupport::BmpLayout s;
        s.width = c.width;
        s.height = c.height;
        s.bpp = 1;
        s.palette = testsupport::DistinctPalette(2);
        s.indices.assign(static_cast<size_t>(c.width * c.height), 1);
        testsupport::WriteFile(dir / "sheet.bmp", testsupport::BuildBmp(s));
        const auto r = RunProcess("osd " + dir / "sheet.bmp" + " --cell 12 --out " + dir / "out");
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.err, c.err);
        // 256 cells at 1 bpp: 32 blocks, banks 0..15, each loaded.
        const std::string source = testsupport::ReadText(dir / "out/sheet.C");
        EXPECT_NE(source.find("sizeof(abFONT_BANK15_LSB1), abFONT_BANK15_LSB1);\r\n\r\n}\r\n"),
                  std::string::npos);
    }
}

TEST(Cli, OsdReducedPaletteIsThePaletteOfTheRenumberedPixels) {
    // Black background in entry 0, text in entry 13: reduced, black is 0 and the text colour 1.
    testsupport::TempDir dir;
    testsupport::BmpLayout s;
    s.width = 16;
    s.height = 16;
    s.bpp = 4;
    s.palette = testsupport::DistinctPalette(16);
    s.palette[0] = 0;
    s.palette[13] = base::MakeColour(0xF0, 0xE0, 0xD0);
    s.indices = testsupport::IndicesOf(16, 16, [](int x, int y) { return x == y + 1 ? 13 : 0; });
    testsupport::WriteFile(dir / "s.bmp", testsupport::BuildBmp(s));
    const auto r = RunCli({"osd", dir / "s.bmp", "--reduce", "--out", dir / "out"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string source = testsupport::ReadText(dir / "out/s.C");
    EXPECT_NE(source.find("abPALETTE_R0_LSB[]= {\r\n 0x00, 0xF0,};"), std::string::npos);
    EXPECT_NE(source.find("abPALETTE_G0_LSB[]= {\r\n 0x00, 0xE0,};"), std::string::npos);
    EXPECT_NE(source.find("abPALETTE_B0_LSB[]= {\r\n 0x00, 0xD0,};"), std::string::npos);
    EXPECT_EQ(testsupport::ReadText(dir / "out/s_R.txt").substr(0, 12), "0x00,0xF0,0x");
}

} // namespace
