#include "cli/Cli.h"
#include "cli/CliRun.h"
#include "cli/DecodeCommand.h"

#include "base/LittleEndian.h"
#include "picture/PngReader.h"
#include "support/BmpBuilder.h"
#include "support/MergeFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using clitest::RunCli;
using clitest::RunProcess;
using testsupport::ReadFile;
using testsupport::TempDir;
using Bytes = std::vector<std::uint8_t>;

// The width, height and index bytes (top row first) of an 8-bit indexed PNG, read through our PNG reader's
// BMP twin.
struct Indices {
    std::uint32_t width = 0, height = 0;
    Bytes pixels;
};
Indices ReadIndexedPng(const std::string& path) {
    const Bytes bmp = picture::PngToBmp(ReadFile(path), path);
    auto u32 = [&](std::size_t at) {
        return bmp[at] | (bmp[at + 1] << 8) | (bmp[at + 2] << 16) | (static_cast<std::uint32_t>(bmp[at + 3]) << 24);
    };
    Indices r;
    r.width = u32(18);
    r.height = u32(22);
    EXPECT_EQ(bmp[28], 8);
    const std::uint32_t stride = (r.width + 3) / 4 * 4;
    for (std::uint32_t y = 0; y < r.height; ++y) {
        const std::size_t row = u32(10) + static_cast<std::size_t>(r.height - 1 - y) * stride;
        r.pixels.insert(r.pixels.end(), bmp.begin() + static_cast<long>(row),
                        bmp.begin() + static_cast<long>(row + r.width));
    }
    return r;
}

std::string Q(const std::string& path) {
    return "'" + path + "'";
}

TEST(DecodeCli, ParsesEachKind) {
    auto job = cli::ParseDecodeArgs({"osd", "base", "--out", "p.png"});
    EXPECT_EQ(job.kind, cli::DecodeJob::Kind::Osd);
    EXPECT_EQ(job.osd.bpp, 8);
    EXPECT_EQ(job.osd.cellWidth, 16);
    EXPECT_EQ(job.osd.paletteFormat, settings::PaletteFormat::Rgb888);
    job = cli::ParseDecodeArgs({"osd", "base", "--2bpp", "--cell", "13", "--palette", "rgb666", "--out", "p.png"});
    EXPECT_EQ(job.osd.bpp, 4);
    EXPECT_TRUE(job.osd.to2Bpp);
    EXPECT_EQ(job.osd.cellWidth, 13);
    EXPECT_EQ(job.osd.paletteFormat, settings::PaletteFormat::Rgb666);

    job = cli::ParseDecodeArgs({"aosd", "i.bin", "--width", "40", "--height", "3", "--rlc", "k470e", "--frames", "4",
                                "--palette", "p.bin", "--palette-format", "rgb666", "--out", "p.png"});
    EXPECT_EQ(job.aosd.width, 40u);
    EXPECT_EQ(job.aosd.height, 3u);
    EXPECT_EQ(job.aosd.frames, 4u);
    EXPECT_TRUE(job.aosd.rlc.rlc);
    EXPECT_EQ(job.aosd.rlc.chip, aosd::ChipModel::K470E);
    EXPECT_EQ(job.palette, std::optional<std::string>("p.bin"));
    EXPECT_EQ(job.paletteFormat, settings::PaletteFormat::Rgb666);

    job = cli::ParseDecodeArgs({"bank", "FontBank.BIN", "--bpp", "4", "--width", "39", "--height", "32", "--bin-sort",
                                "font", "--out", "p.png"});
    EXPECT_TRUE(job.bankBinary);
    EXPECT_EQ(job.bank.colorType, 2);
    EXPECT_EQ(job.bank.widthIndex, 11);
    EXPECT_EQ(job.bank.heightIndex, 1);
    EXPECT_EQ(job.bank.binSort, settings::BinSort::Font);
    job = cli::ParseDecodeArgs({"bank", "FontBank.bin", "--out", "p.png"});
    EXPECT_EQ(job.bank.colorType, 0); // 1 bpp, 16 x 16, Half: the font command's defaults
    EXPECT_EQ(job.bank.widthIndex, 4);
    EXPECT_EQ(job.bank.binSort, settings::BinSort::Half);

    job = cli::ParseDecodeArgs({"merge", "Pic.BIN", "Pic_TBL.TXT", "--out", "dir"});
    EXPECT_EQ(job.input, "Pic.BIN");
    EXPECT_EQ(job.table, "Pic_TBL.TXT");
    EXPECT_EQ(job.out, "dir");
}

TEST(DecodeCli, WrongCommandLinesExitTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"decode"},
        {"decode", "picture", "x", "--out", "p.png"},
        {"decode", "osd", "base"},
        {"decode", "osd", "base", "--out", "p.png", "--bpp", "3"},
        {"decode", "osd", "base", "--out", "p.png", "--bpp", "8", "--2bpp"},
        {"decode", "osd", "base", "--out", "p.png", "--cell", "17"},
        {"decode", "osd", "base", "--out", "p.png", "--out", "q.png"},
        {"decode", "aosd", "i.bin", "--width", "4", "--out", "p.png"},
        {"decode", "aosd", "i.bin", "--width", "4", "--height", "0", "--out", "p.png"},
        {"decode", "aosd", "i.bin", "--width", "4", "--height", "4", "--rlc", "k470", "--out", "p.png"},
        {"decode", "aosd", "i.bin", "--width", "4", "--height", "4", "--palette-format", "rgb666", "--out", "p.png"},
        {"decode", "glyph", "g.txt", "--bpp", "2", "--out", "p.png"},
        {"decode", "glyph", "a.txt", "b.txt", "--out", "p.png"},
        {"decode", "bank", "FontBank.txt", "--bpp", "2", "--out", "p.png"},
        {"decode", "bank", "FontBank.bin", "--width", "17", "--out", "p.png"},
        {"decode", "bank", "FontBank.bin", "--height", "20", "--out", "p.png"},
        {"decode", "merge", "Pic.BIN", "--out", "dir"},
    };
    for (const auto& args : cases) {
        std::string line;
        for (const auto& a : args)
            line += a + " ";
        SCOPED_TRACE(line);
        const auto r = RunCli(std::vector<std::string>(args.begin(), args.end()));
        EXPECT_EQ(r.code, cli::kExitUsage);
        EXPECT_NE(r.err.find("tavix-cli: "), std::string::npos);
    }
}

// The osd command's files, decoded by the process, give back the sheet's indices and name what they hold.
TEST(DecodeCli, OsdFilesDecodeToTheSheet) {
    TempDir dir;
    testsupport::BmpLayout sheet;
    sheet.width = 16 * 16;
    sheet.height = 16;
    sheet.bpp = 4;
    sheet.palette = testsupport::DistinctPalette(16);
    std::mt19937 rng(4);
    sheet.indices = testsupport::IndicesOf(sheet.width, sheet.height, [&](int, int) { return rng() % 16; });
    testsupport::WriteFile(dir / "font.bmp", testsupport::BuildBmp(sheet));
    ASSERT_EQ(RunProcess("osd " + Q(dir / "font.bmp") + " --out " + Q(dir.path())).code, 0);

    const auto r = RunProcess("decode osd " + Q(dir / "font") + " --bpp 4 --out " + Q(dir / "p.png"));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("16 cells of 16 x 16 pixels, 4 bpp"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("256 x 16 pixels, indexed, 16 colours used"), std::string::npos) << r.out;
    const Indices png = ReadIndexedPng(dir / "p.png");
    EXPECT_EQ(png.width, 256u);
    EXPECT_EQ(png.height, 16u);
    EXPECT_EQ(png.pixels, sheet.indices);

    // Read with cells of 12 the MSB planes hold 16 cells and the LSB planes 32: the message says so, exit 1.
    const auto wrong = RunProcess("decode osd " + Q(dir / "font") + " --bpp 4 --cell 12 --out " + Q(dir / "q.png"));
    EXPECT_EQ(wrong.code, 1);
    EXPECT_NE(wrong.err.find("the MSB planes hold 16 cells, the LSB planes 32"), std::string::npos) << wrong.err;
}

// RLC data decodes to the picture; the same data cut short exits 1, names the offset of the code that fails
// and leaves a PNG of the rows before it.
TEST(DecodeCli, AosdImageAndDamagedImage) {
    TempDir dir;
    testsupport::BmpLayout picture;
    picture.width = 10;
    picture.height = 3;
    picture.palette = testsupport::DistinctPalette(256);
    picture.indices = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, //
                       2, 3, 4, 5, 6, 7, 8, 9, 10, 11, //
                       255, 255, 255, 255, 255, 255, 0, 0, 0, 0};
    testsupport::WriteFile(dir / "pic.bmp", testsupport::BuildBmp(picture));
    ASSERT_EQ(RunProcess("aosd image " + Q(dir / "pic.bmp") + " " + Q(dir / "img.bin") + " --rlc k470e").code, 0);
    // Row 0: 01 FF 06; row 1: ten literals; row 2: FE FF 02 00 00 00 00.
    const Bytes stream = ReadFile(dir / "img.bin");
    ASSERT_EQ(stream, (Bytes{1, 0xFF, 6, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0xFE, 0xFF, 2, 0, 0, 0, 0}));

    auto r = RunProcess("decode aosd " + Q(dir / "img.bin") + " --width 10 --height 3 --rlc k470e --out " +
                        Q(dir / "p.png"));
    EXPECT_EQ(r.code, 0) << r.err;
    Indices png = ReadIndexedPng(dir / "p.png");
    Bytes want = picture.indices;
    for (auto& v : want)
        if (v == 255) v = 254;
    EXPECT_EQ(png.pixels, want);

    testsupport::WriteFile(dir / "cut.bin", Bytes(stream.begin(), stream.begin() + 15));
    r = RunProcess("decode aosd " + Q(dir / "cut.bin") + " --width 10 --height 3 --rlc k470e --out " +
                   Q(dir / "cut.png"));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("the stream ends inside a run at offset 13, in row 2"), std::string::npos) << r.err;
    png = ReadIndexedPng(dir / "cut.png");
    EXPECT_EQ(png.height, 2u);
    EXPECT_EQ(png.pixels, Bytes(want.begin(), want.begin() + 20));
}

// FontBank.txt and FontBank.bin of one bank draw the same picture; the glyph file draws its glyph.
TEST(DecodeCli, BankInBothFilesAndAGlyphFile) {
    TempDir dir;
    auto r = RunProcess("font bank --range 0x41-0x43 --bpp 2 --width 24 --out " + Q(dir.path()));
    ASSERT_EQ(r.code, 0) << r.err;
    r = RunProcess("decode bank " + Q(dir / "FontBank.txt") + " --out " + Q(dir / "t.png"));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("3 glyph(s)"), std::string::npos) << r.out;
    r = RunProcess("decode bank " + Q(dir / "FontBank.bin") + " --bpp 2 --width 24 --out " + Q(dir / "b.png"));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadFile(dir / "t.png"), ReadFile(dir / "b.png"));
    EXPECT_EQ(ReadIndexedPng(dir / "t.png").width, 3u * 24);

    // Read with the wrong geometry the bytes are not whole glyphs.
    r = RunProcess("decode bank " + Q(dir / "FontBank.bin") + " --bpp 8 --width 64 --height 64 --out " +
                   Q(dir / "w.png"));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("384 bytes: not whole glyphs of 4096 bytes (0 whole)"), std::string::npos) << r.err;

    r = RunProcess("font glyph --text A --bpp 4 --out " + Q(dir.path()));
    ASSERT_EQ(r.code, 0) << r.err;
    r = RunProcess("decode glyph " + Q(dir / "4BPPFont0.txt") + " --out " + Q(dir / "g.png"));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("glyph 16x16, 4 bpp, 64 words"), std::string::npos) << r.out;
}

// A merge splits back into its files; a table entry past the image's end is named and exits 1.
TEST(DecodeCli, MergeSplitsAndNamesEntriesPastTheEnd) {
    TempDir dir;
    const Bytes a = testsupport::WritePatternFile(dir / "logo.bin", 0x100, 1);
    const Bytes b = testsupport::WritePatternFile(dir / "a.b-c.bin", 0x35, 2);
    ASSERT_EQ(RunProcess("merge " + Q(dir / "Pic") + " " + Q(dir / "logo.bin") + " " + Q(dir / "a.b-c.bin")).code, 0);
    auto r = RunProcess("decode merge " + Q(dir / "Pic.BIN") + " " + Q(dir / "Pic_TBL.TXT") + " --out " +
                        Q(dir / "parts"));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadFile(dir / "parts/LOGO_BIN"), a);
    EXPECT_EQ(ReadFile(dir / "parts/A_B_C_BIN"), b);
    EXPECT_NE(r.out.find("2 file(s) written"), std::string::npos) << r.out;

    std::string table = testsupport::ReadText(dir / "Pic_TBL.TXT");
    table += "\n#define\tPICGONE_BIN_OFFSET\t(AOSD_START_ADR+        999)\t//0x3E7     ";
    testsupport::WriteFile(dir / "Pic_TBL.TXT", Bytes(table.begin(), table.end()));
    r = RunProcess("decode merge " + Q(dir / "Pic.BIN") + " " + Q(dir / "Pic_TBL.TXT") + " --out " +
                   Q(dir / "parts2"));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("PICGONE_BIN_OFFSET (line 4) at offset 999 lies past the image's end (309 bytes)"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(ReadFile(dir / "parts2/LOGO_BIN"), a);
}

} // namespace
