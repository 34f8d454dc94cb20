#include "cli/Cli.h"
#include "cli/CliRun.h"
#include "cli/FontCommand.h"

#include "base/Path.h"
#include "font/FreeTypeRenderer.h"
#include "font/GlyphEditor.h"
#include "font/GlyphFile.h"
#include "support/BmpBuilder.h"
#include "support/Text.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

using testsupport::Crlf;
using testsupport::kStartPaletteLines;
using testsupport::Repeat;

using clitest::Result;
using clitest::RunCli;
using clitest::RunProcess;

using testsupport::ReadText;
using testsupport::TempDir;
using testsupport::WriteFile;

void WriteText(const std::string& path, const std::string& text) {
    WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// The bank file of the one 12-wide glyph whose second row is 0x00F0.
const std::string kBankOfOne =
    ";FontFace=Arial\n;FontCharSet=0\n;FontHeight=-13\n;FontSize=10\n;FontStyle=0\n"
    ";BPPi=0\n;Xi=0\n;Yi=0\n" +
    kStartPaletteLines +
    ";UFONT 00 \n"
    "............ 0x00,0x00, DB 000h,000h\n"
    "....XXXX.... 0x00,0xF0, DB 000h,0F0h\n" +
    Repeat("............ 0x00,0x00, DB 000h,000h\n", 14);

TEST(FontCli, ParsesEachSubcommand) {
    const auto glyph = std::get<cli::FontGlyphJob>(cli::ParseFontArgs(
        {"glyph", "--text",  "\xC3\xA9",       "--width",    "52",  "--height",   "48",   "--bpp",
         "8",     "--style", "Bold,strikeout", "--x-offset", "-32", "--bin-sort", "font", "--bank-count",
         "256",   "--font",  "DejaVu Serif",   "--size",     "14"}));
    EXPECT_EQ(glyph.text, std::optional<std::string>("\xC3\xA9"));
    EXPECT_EQ(glyph.boxes.widthIndex, 15);
    EXPECT_EQ(glyph.boxes.heightIndex, 2);
    EXPECT_EQ(glyph.boxes.colorType, 3);
    EXPECT_EQ(glyph.boxes.style, 9);
    EXPECT_EQ(glyph.boxes.xOffset, -32);
    EXPECT_EQ(glyph.boxes.binSort, settings::BinSort::Font);
    EXPECT_EQ(glyph.bankCount, 256u);
    EXPECT_EQ(glyph.boxes.family, std::optional<std::string>("DejaVu Serif"));
    EXPECT_EQ(glyph.boxes.size, 14);

    // The defaults: the start font, 1 bpp, 16 x 16, offsets 0, Half, RGB888, Half Word off.
    const auto bank = std::get<cli::FontBankJob>(cli::ParseFontArgs({"bank", "--ascii", "--code"}));
    EXPECT_FALSE(bank.boxes.family.has_value());
    EXPECT_EQ(bank.boxes.size, 10);
    EXPECT_EQ(bank.boxes.colorType, 0);
    EXPECT_EQ(bank.boxes.widthIndex, 4);
    EXPECT_EQ(bank.boxes.heightIndex, 0);
    EXPECT_EQ(bank.boxes.binSort, settings::BinSort::Half);
    EXPECT_EQ(bank.paletteFormat, settings::PaletteFormat::Rgb888);
    EXPECT_FALSE(bank.halfWord);
    EXPECT_TRUE(bank.code);

    const auto code = std::get<cli::FontCodeJob>(
        cli::ParseFontArgs({"code", "b.txt", "--half-word", "--palette", "rgb666", "--out", "d"}));
    EXPECT_EQ(code.bankFile, "b.txt");
    EXPECT_TRUE(code.halfWord);
    EXPECT_EQ(code.paletteFormat, settings::PaletteFormat::Rgb666);
    EXPECT_EQ(code.outputDirectory, "d");
    EXPECT_EQ(std::get<cli::FontSaveJob>(cli::ParseFontArgs({"save", "b.txt"})).bankFile, "b.txt");
}

TEST(FontCli, UsageErrors) {
    const std::vector<std::vector<std::string>> bad = {
        {"font"},
        {"font", "nope"},
        {"font", "glyph"},
        {"font", "glyph", "--text", "A", "--load", "g.txt"},
        {"font", "glyph", "--text", "ABC"},
        {"font", "glyph", "--text", ""},
        {"font", "glyph", "--text", "A", "--width", "17"},
        {"font", "glyph", "--text", "A", "--bpp", "3"},
        {"font", "glyph", "--text", "A", "--x-offset", "33"},
        {"font", "glyph", "--text", "A", "--style", "heavy"},
        {"font", "glyph", "--text", "A", "--bank-count", "257"},
        {"font", "glyph", "--text", "A", "extra"},
        {"font", "bank"},
        {"font", "bank", "--ascii", "--strings", "s.txt"},
        {"font", "bank", "--ascii", "--half-word"},
        {"font", "bank", "--ascii", "--bank-count", "1"},
        {"font", "save"},
        {"font", "save", "b.txt", "--code"},
        {"font", "code", "a.txt", "b.txt"},
        {"font", "code", "a.txt", "--font", "Arial"},
        {"font", "glyph", "--text", "A", "--threshold", "128", "--bpp", "2"},
        {"font", "glyph", "--text", "A", "--threshold", "256"},
        {"font", "glyph", "--load", "g.txt", "--smooth"},
        {"font", "save", "b.txt", "--smooth"},
        {"font", "bank", "--ascii", "--range", "0x41"},
        {"font", "bank", "--strings", "s.txt", "--range", "0x41"},
        {"font", "bank", "--range", "0x42-0x41"},
        {"font", "bank", "--range", ""},
        {"font", "bank", "--ascii", "--font", ""},
        {"font", "glyph", "--text", "A", "--range", "0x41"},
    };
    for (const auto& args : bad) {
        const Result r = RunCli(args);
        EXPECT_EQ(r.code, 2) << args.size() << " " << args.back();
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(r.err.empty());
    }
}

TEST(FontCli, GlyphLoadThenSaveGivesTheFileBack) {
    TempDir dir;
    const std::string glyph = ";BPPi=0\n;Xi=4\n;Yi=0\n" + kStartPaletteLines +
                              ";UFONT 00\n"
                              "X..............X 0x80,0x01, DB 080h,001h\n" +
                              Repeat("................ 0x00,0x00, DB 000h,000h\n", 15);
    WriteText(dir / "in.txt", Crlf(glyph));
    const Result r = RunCli({"font", "glyph", "--load", dir / "in.txt", "--bank-count", "2", "--bin-sort",
                             "font", "--out", dir / "out"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Wrote 1BPPFont2.txt\nWrote 1BPPFont2.bin\n");
    EXPECT_EQ(ReadText(dir / "out/1BPPFont2.txt"), Crlf(glyph));
    std::string raw(32, '\0');
    raw[0] = '\x80';
    raw[16] = '\x01';
    EXPECT_EQ(ReadText(dir / "out/1BPPFont2.bin"), raw);

    const Result missing = RunCli({"font", "glyph", "--load", dir / "none.txt", "--out", dir.path()});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "Open FONT File Error !!!\n" + dir / "none.txt" + ": No such file or directory\n");
}

TEST(FontCli, GlyphFromTextWritesThreeFilesAbove1Bpp) {
    TempDir dir;
    const Result r = RunCli({"font", "glyph", "--text", "Ag", "--font", "DejaVu Sans", "--bpp", "4",
                             "--width", "32", "--height", "32", "--out", dir.path()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Face: DejaVu Sans, Pixels: ", 0), 0u) << r.out;
    const std::string glyph = ReadText(dir / "4BPPFont0.txt");
    EXPECT_EQ(glyph.rfind(";BPPi=2\r\n;Xi=9\r\n;Yi=1\r\n;Palette\r\n", 0), 0u);
    EXPECT_EQ(ReadText(dir / "4BPPFont0.bin").size(), 2u * 4 * 32 * 2);
    EXPECT_TRUE(base::FileExists(dir / "4BPPto1BPP0.txt"));
    EXPECT_NE(glyph.find("X"), std::string::npos); // the characters left ink in the window
}

// --smooth and --threshold write what the Font tab writes with "Smooth" checked (the threshold has no box):
// the same rendering through the same core, then the same Save; a smooth bank file says so in each block.
TEST(FontCli, SmoothAndThresholdWriteWhatTheEditorWrites) {
    const struct {
        std::vector<std::string> options;
        int colorType;
        bool smooth;
        std::optional<std::uint8_t> threshold;
        const char* prefix;
    } cases[] = {
        {{"--bpp", "2", "--smooth"}, 1, true, std::nullopt, "2BPPFont0"},
        {{"--bpp", "4", "--smooth"}, 2, true, std::nullopt, "4BPPFont0"},
        {{"--threshold", "100"}, 0, false, 100, "1BPPFont0"},
        {{"--threshold", "100", "--smooth"}, 0, true, 100, "1BPPFont0"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.prefix);
        TempDir dir;
        std::vector<std::string> args = {"font",   "glyph",       "--text", "a",
                                         "--font", "DejaVu Sans", "--out",  dir / "cli"};
        args.insert(args.end(), tc.options.begin(), tc.options.end());
        const Result r = RunCli(args);
        ASSERT_EQ(r.code, 0) << r.err;

        font::FreeTypeRenderer renderer;
        font::GlyphEditor editor;
        font::FontShowProp(editor, renderer, font::FontChoice{"DejaVu Sans", 10, 0, 0});
        editor.ApplyColorType(tc.colorType);
        editor.Smooth = tc.smooth;
        editor.InkThreshold = tc.threshold;
        ASSERT_TRUE(font::EnterCharacter(editor, renderer, "a").has_value());
        ASSERT_TRUE(std::filesystem::create_directory(dir / "core"));
        ASSERT_FALSE(font::SaveGlyphFiles(editor, 0, settings::BinSort::Half, dir / "core").failure);
        for (const char* ext : {".txt", ".bin"}) {
            const std::string name = std::string(tc.prefix) + ext;
            EXPECT_EQ(ReadText(dir / ("cli/" + name)), ReadText(dir / ("core/" + name))) << name;
        }
        // The plain rendering differs: the options did something.
        if (tc.colorType == 0) {
            font::GlyphEditor plain;
            font::FontShowProp(plain, renderer, font::FontChoice{"DejaVu Sans", 10, 0, 0});
            font::EnterCharacter(plain, renderer, "a");
            EXPECT_NE(plain.Encode(), editor.Encode());
        }
    }

    TempDir dir;
    const Result bank = RunCli({"font", "bank", "--strings", dir / "none.txt", "--smooth"});
    EXPECT_EQ(bank.code, 1); // no such strings file: nothing written
    WriteText(dir / "s.txt", "ab\n");
    const Result smooth = RunCli({"font", "bank", "--strings", dir / "s.txt", "--smooth", "--bpp", "2",
                                  "--font", "DejaVu Sans", "--out", dir / "out"});
    ASSERT_EQ(smooth.code, 0) << smooth.err;
    const std::string text = ReadText(dir / "out/FontBank.txt");
    EXPECT_NE(text.find(";FontStyle=0\r\n;Smooth=1\r\n;BPPi=1\r\n;Xi=4\r\n;Yi=0\r\n;Palette\r\n"
                        "0xFFFFFF 0xAAAAAA 0x555555 0x000000\r\n"),
              std::string::npos);
    // font save keeps the line of a smooth bank, and adds none to a plain one.
    ASSERT_EQ(
        RunCli({"font", "save", dir / "out/FontBank.txt", "--font", "DejaVu Sans", "--out", dir / "again"})
            .code,
        0);
    EXPECT_EQ(ReadText(dir / "again/FontBank.txt"), text);
    WriteText(dir / "plain.txt", kBankOfOne);
    ASSERT_EQ(RunCli({"font", "save", dir / "plain.txt", "--out", dir / "plain"}).code, 0);
    EXPECT_EQ(ReadText(dir / "plain/FontBank.txt").find(";Smooth"), std::string::npos);
}

TEST(FontCli, BankFromStringsToFirmwareSource) {
    TempDir dir;
    WriteText(dir / "strings.txt", "AB A\nC\n");
    const Result r = RunCli({"font", "bank", "--strings", dir / "strings.txt", "--font", "DejaVu Sans",
                             "--code", "--out", dir / "out"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadText(dir / "out/Font_def.h"), "\r\n"
                                                "#define FONT_STR1_1BPP_WORD1\t\t0\r\n"
                                                "#define FONT_STR1_1BPP_WORD2\t\t1\r\n"
                                                "#define FONT_STR1_1BPP_WORD4\t\t0\r\n"
                                                "\r\n"
                                                "#define FONT_STR2_1BPP_WORD1\t\t2\r\n");
    const std::string bank = ReadText(dir / "out/FontBank.txt");
    EXPECT_EQ(bank.rfind(";FontFace=DejaVu Sans\r\n;FontCharSet=0\r\n;FontHeight=-13\r\n;FontSize=10\r\n"
                         ";FontStyle=0\r\n;BPPi=0\r\n;Xi=4\r\n;Yi=0\r\n",
                         0),
              0u);
    EXPECT_EQ(ReadText(dir / "out/FontBank.bin").size(), 3u * 32);
    const std::string c = ReadText(dir / "out/Font.c");
    for (const char* comment :
         {"//Font00-0-00 16x16 1BPP\n", "//Font01-0-01 16x16 1BPP\n", "//Font02-0-02 16x16 1BPP\n"})
        EXPECT_NE(c.find(comment), std::string::npos) << comment;
    EXPECT_EQ(ReadText(dir / "out/FONT_MSB.BIN").size(), 48u);
    for (const char* name :
         {"Font.h", "Font_Msb.txt", "Font_Lsb.txt", "Palette.txt", "__TMP__.TXT", "FONT_LSB.BIN"})
        EXPECT_TRUE(base::FileExists(dir / (std::string("out/") + name))) << name;
}

TEST(FontCli, RangesFillTheBankInTheirOrderFromAFontFileAsFromItsFamily) {
    TempDir dir;
    const std::string range = "0x43,0x20-0x22,65,0x42-0x43";
    Result r = RunCli({"font", "bank", "--range", range, "--font", "DejaVu Sans", "--out", dir / "family"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Face: DejaVu Sans, 6 glyphs in the bank\nWrote FontBank.txt\nWrote FontBank.bin\n");
    r = RunCli({"font", "bank", "--range", range, "--font", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                "--out", dir / "file"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Face: DejaVu Sans, 6 glyphs in the bank\nWrote FontBank.txt\nWrote FontBank.bin\n");
    const std::string bank = ReadText(dir / "family/FontBank.txt");
    EXPECT_EQ(ReadText(dir / "file/FontBank.txt"), bank);
    EXPECT_EQ(testsupport::ReadFile(dir / "file/FontBank.bin"), testsupport::ReadFile(dir / "family/FontBank.bin"));
    EXPECT_EQ(bank.rfind(";FontFace=DejaVu Sans\r\n", 0), 0u);

    // C, space, !, ", A, B in the bank's order: the pixel rows under each ";UFONT NN" line; the space (the
    // second) is blank, the others are not, and the first is the C that a bank of C alone holds.
    const auto glyphs = [](const std::string& text) {
        std::vector<std::string> rows;
        std::size_t at = 0;
        while ((at = text.find(";UFONT ", at)) != std::string::npos) {
            std::string glyph;
            at = text.find('\n', at) + 1;
            for (int row = 0; row < 16; ++row) {
                const std::size_t end = text.find('\n', at);
                glyph += text.substr(at, text.find(' ', at) - at) + "/";
                at = end + 1;
            }
            rows.push_back(glyph);
        }
        return rows;
    };
    const std::vector<std::string> inBank = glyphs(bank);
    ASSERT_EQ(inBank.size(), 6u);
    EXPECT_EQ(inBank[1], Repeat("................/", 16));
    for (int n : {0, 2, 3, 4, 5})
        EXPECT_NE(inBank[static_cast<std::size_t>(n)].find('X'), std::string::npos) << n;
    EXPECT_NE(inBank[2], inBank[3]);
    r = RunCli({"font", "bank", "--range", "67", "--font", "DejaVu Sans", "--out", dir / "c"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(glyphs(ReadText(dir / "c/FontBank.txt")), std::vector<std::string>{inBank[0]});

    // More characters than the bank holds: nothing written, exit 1.
    r = RunCli({"font", "bank", "--range", "0x100-0x200", "--out", dir / "full"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Font Bank Full !!!\nThis run needs 257 glyphs; the bank has 256 free\n");
    EXPECT_FALSE(base::FileExists(dir / "full/FontBank.txt"));
}

TEST(FontCli, FontFilesByPathAndFaceIndex) {
    TempDir dir;
    // A face index past the file's faces, a missing file and a file that is no font fail before anything is
    // written, naming the file.
    WriteText(dir / "notes.ttf", "no font");
    const std::pair<std::string, std::string> failing[] = {
        {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf:1", "\"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf\": it has no face 1."},
        {dir / "missing.ttf", "\"" + dir / "missing.ttf" + "\": No such file or directory."},
        {dir / "missing.ttc:3", "\"" + dir / "missing.ttc" + "\": No such file or directory."},
    };
    for (const auto& [font, reason] : failing) {
        const Result r = RunCli({"font", "bank", "--ascii", "--font", font, "--out", dir / "out"});
        EXPECT_EQ(r.code, 1) << font;
        EXPECT_EQ(r.err, "Cannot read the font file " + reason + "\n") << font;
    }
    Result r = RunCli({"font", "glyph", "--text", "A", "--font", dir / "notes.ttf", "--out", dir / "out"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("Cannot read the font file \"" + dir / "notes.ttf" + "\": FreeType cannot read it", 0),
              0u)
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "out"));

    // A file name without a folder is a file too, found from the working directory's view as given; a
    // family name stays a family.
    const auto job = std::get<cli::FontGlyphJob>(cli::ParseFontArgs({"glyph", "--text", "A", "--font", "Font.TTC:2"}));
    EXPECT_EQ(job.boxes.fontFile, std::optional<std::string>("Font.TTC"));
    EXPECT_EQ(job.boxes.fontFace, 2);
    EXPECT_FALSE(job.boxes.family);
    const auto named = std::get<cli::FontGlyphJob>(cli::ParseFontArgs({"glyph", "--text", "A", "--font", "DejaVu Sans"}));
    EXPECT_EQ(named.boxes.family, std::optional<std::string>("DejaVu Sans"));
    EXPECT_FALSE(named.boxes.fontFile);
    const auto plain = std::get<cli::FontGlyphJob>(cli::ParseFontArgs({"glyph", "--text", "A", "--font", "fonts/a.otf"}));
    EXPECT_EQ(plain.boxes.fontFile, std::optional<std::string>("fonts/a.otf"));
    EXPECT_EQ(plain.boxes.fontFace, 0);

    // A glyph from the file is the glyph of its family, and save names the family.
    r = RunCli({"font", "glyph", "--text", "g", "--font", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "--out",
                dir / "file"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Face: DejaVu Sans, ", 0), 0u) << r.out;
    Result family = RunCli({"font", "glyph", "--text", "g", "--font", "DejaVu Sans", "--out", dir / "family"});
    ASSERT_EQ(family.code, 0) << family.err;
    EXPECT_EQ(r.out, family.out);
    for (const auto& entry : std::filesystem::directory_iterator(dir / "family"))
        EXPECT_EQ(testsupport::ReadFile(entry.path()),
                  testsupport::ReadFile(dir / "file" / entry.path().filename()))
            << entry.path();
}

TEST(FontCli, StringsTheBankCannotHoldWriteNothingAndFail) {
    TempDir dir;
    // 300 distinct characters (U+0100 to U+022B, two bytes each in UTF-8) on two lines.
    std::string text;
    for (unsigned c = 0x100; c < 0x100 + 300; ++c) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
        if (c == 0x100 + 149) text += '\n';
    }
    WriteText(dir / "strings.txt", text);
    const Result r =
        RunProcess("font bank --strings " + dir / "strings.txt" + " --code --out " + dir / "out");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Font Bank Full !!!\nThis run needs 300 glyphs; the bank has 256 free\n");
    EXPECT_EQ(r.out.find("Wrote"), std::string::npos) << r.out;
    for (const char* name :
         {"Font_def.h", "FontBank.txt", "FontBank.bin", "Font.c", "Font.h", "FONT_MSB.BIN"})
        EXPECT_FALSE(base::FileExists(dir / (std::string("out/") + name))) << name;
}

TEST(FontCli, AByteOrderMarkStartingAStringsFileIsNoCharacter) {
    TempDir dir;
    WriteText(dir / "strings.txt", "\xEF\xBB\xBF"
                                   "AB\n");
    const Result r = RunCli({"font", "bank", "--strings", dir / "strings.txt", "--out", dir / "out"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadText(dir / "out/Font_def.h"), "\r\n#define FONT_STR1_1BPP_WORD1\t\t0\r\n"
                                                "#define FONT_STR1_1BPP_WORD2\t\t1\r\n");
    EXPECT_NE(r.out.find(", 2 glyphs in the bank\n"), std::string::npos) << r.out;
}

TEST(FontCli, AsciiBankWithHalfWordNotesTheGlyphsItCannotReorder) {
    TempDir dir;
    const Result r = RunCli({"font", "bank", "--ascii", "--bpp", "2", "--width", "24", "--code",
                             "--half-word", "--out", dir.path()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("95 glyphs in the bank\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Half Word: 95 glyph(s) kept their stored order\n"), std::string::npos) << r.out;
    EXPECT_EQ(ReadText(dir / "FONT_MSB.BIN").size(), 95u * 64);
    EXPECT_FALSE(base::FileExists(dir / "Font_def.h"));
}

TEST(FontCli, SaveAndCodeOfABankFile) {
    TempDir dir;
    WriteText(dir / "bank.txt", kBankOfOne);
    Result r = RunCli({"font", "save", dir / "bank.txt", "--font", "DejaVu Sans", "--size", "12", "--style",
                       "bold,underline", "--bin-sort", "font", "--out", dir / "saved"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string expected =
        ";FontFace=DejaVu Sans\n;FontCharSet=0\n;FontHeight=-16\n;FontSize=12\n;FontStyle=5\n" +
        kBankOfOne.substr(kBankOfOne.find(";BPPi"));
    EXPECT_EQ(ReadText(dir / "saved/FontBank.txt"), Crlf(expected));
    std::string bin(32, '\0');
    bin[17] = '\xF0';
    EXPECT_EQ(ReadText(dir / "saved/FontBank.bin"), bin);

    r = RunCli({"font", "code", dir / "bank.txt", "--palette", "rgb666", "--out", dir / "code"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadText(dir / "code/FONT_LSB.BIN"), std::string("\x00\xF0", 2) + std::string(14, '\0'));
    EXPECT_EQ(ReadText(dir / "code/Font.c")
                  .rfind("#include \"Font.h\"\n\nUB8 CODE abFONT_BANK0_MSB0[]=\n{\n 0x00,", 0),
              0u);
    EXPECT_NE(ReadText(dir / "code/Font_Lsb.txt").find(" 0x00, 0xF0, 0x00,"), std::string::npos);
}

TEST(FontCli, FailuresOfBankFiles) {
    TempDir dir;
    // A file that cannot be read, and one that holds no glyph.
    Result r = RunCli({"font", "code", dir / "none.txt", "--out", dir.path()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Open FONT File Error !!!\n" + dir / "none.txt" + ": No such file or directory\n");
    WriteText(dir / "empty.txt", ";FontFace=Arial\n");
    r = RunCli({"font", "save", dir / "empty.txt", "--out", dir.path()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "The bank is empty: nothing to save\n");
    EXPECT_FALSE(base::FileExists(dir / "FontBank.txt"));

    // A glyph with a bad ";Xi" is skipped and reported; the others are still saved, and the job fails.
    WriteText(dir / "mixed.txt", ";BPPi=0\n;Xi=40\n;UFONT 00 \n" + Repeat("XXXX\n", 16) + kBankOfOne);
    r = RunCli({"font", "save", dir / "mixed.txt", "--out", dir.path()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "1 Font(s) Skipped: Bad ;BPPi, ;Xi or ;Yi !!!\n");
    EXPECT_NE(r.out.find("Loaded 1 glyphs"), std::string::npos);
    EXPECT_EQ(ReadText(dir / "FontBank.bin").size(), 32u);

    // A bank file that cannot be written: the window's message, then which file and the system's reason.
    std::filesystem::create_directories(dir / "blocked/FontBank.bin");
    r = RunCli({"font", "save", dir / "FontBank.txt", "--out", dir / "blocked"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Create FONT File Error !!!\ncannot write " + dir / "blocked/FontBank.bin" +
                         ": Is a directory\n");
    EXPECT_FALSE(base::FileExists(dir / "blocked/FontBank.txt"));
}

// What the face could not draw as asked is named on stderr: a family that is not installed fails unless
// --allow-substitute; characters the face lacks and ink the 16-row cell cuts off fail only with --strict.
// A failed job writes nothing.
TEST(FontCli, SubstitutedFacesMissingCharactersAndCutInkAreNamed) {
    const std::string substitute = "Font \"Liberation Mon\" is not installed: DejaVu Sans is used instead\n";
    const std::string missing = "DejaVu Sans has no glyph for U+4E2D: each is drawn as an empty box\n";
    const std::string cut = "Ink outside the 16 x 16 glyph is cut off: U+0067 'g'\n";
    const struct {
        std::vector<std::string> args;
        int code;
        std::string err;
    } cases[] = {
        {{"glyph", "--text", "A", "--font", "Liberation Mon"},
         1,
         substitute + "Nothing written: --allow-substitute renders with the font used instead\n"},
        {{"glyph", "--text", "A", "--font", "Liberation Mon", "--allow-substitute"}, 0, substitute},
        {{"bank", "--ascii", "--font", "Liberation Mon"},
         1,
         substitute + "Nothing written: --allow-substitute renders with the font used instead\n"},
        {{"glyph", "--text", "A", "--font", "Arial"}, 0, ""}, // its metric twin is Arial
        {{"glyph", "--text", "\xE4\xB8\xAD"}, 0, missing},
        {{"glyph", "--text", "\xE4\xB8\xAD", "--strict"}, 1, missing + "Nothing written: --strict\n"},
        {{"glyph", "--text", "g", "--size", "12"}, 0, cut},
        {{"glyph", "--text", "g", "--size", "12", "--strict"}, 1, cut + "Nothing written: --strict\n"},
        {{"glyph", "--text", "g", "--size", "10", "--strict"}, 0, ""},
        {{"bank", "--strings", "STRINGS", "--size", "12", "--strict"},
         1,
         "Ink outside the 16 x 16 glyph is cut off: U+0067 'g', U+0070 'p'\nNothing written: --strict\n"},
        {{"bank", "--strings", "STRINGS", "--size", "12"},
         0,
         "Ink outside the 16 x 16 glyph is cut off: U+0067 'g', U+0070 'p'\n"},
        // The delete character is no face's glyph: not a missing one. (In DejaVu Sans the tail of "J"
        // reaches below the cell at 10 points.)
        {{"bank", "--ascii", "--font", "Liberation Sans", "--strict"}, 0, ""},
        {{"bank", "--ascii"}, 0, "Ink outside the 16 x 16 glyph is cut off: U+004A 'J'\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        WriteText(dir / "strings.txt", "Ag\ngap\n");
        std::vector<std::string> args{"font"};
        for (const std::string& a : c.args)
            args.push_back(a == "STRINGS" ? dir / "strings.txt" : a);
        args.insert(args.end(), {"--out", dir / "out"});
        std::string trace;
        for (const std::string& a : c.args)
            trace += a + " ";
        SCOPED_TRACE(trace);
        const Result r = RunCli(args);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(std::filesystem::exists(dir / "out"), c.code == 0);
    }
    EXPECT_THROW(cli::ParseFontArgs({"glyph", "--load", "f.txt", "--strict"}), cli::UsageError);
    EXPECT_THROW(cli::ParseFontArgs({"code", "bank.txt", "--allow-substitute"}), cli::UsageError);
    EXPECT_THROW(cli::ParseFontArgs({"save", "bank.txt", "--strict"}), cli::UsageError);
}

TEST(FontCli, ExitCodesOfTheProcess) {
    TempDir dir;
    const auto run = [&](const std::string& args) {
        const std::string cmd =
            std::string(TAVIX_CLI_PATH) + " " + args + " >" + (dir / "o") + " 2>" + (dir / "e");
        return WEXITSTATUS(std::system(cmd.c_str()));
    };
    EXPECT_EQ(run("font glyph --text A --out " + dir.path()), 0);
    EXPECT_TRUE(base::FileExists(dir / "1BPPFont0.bin"));
    EXPECT_EQ(run("font glyph --text A --bpp 16"), 2);
    EXPECT_EQ(run("font code " + dir / "none.txt"), 1);
    EXPECT_EQ(ReadText(dir / "e"),
              "Open FONT File Error !!!\n" + dir / "none.txt" + ": No such file or directory\n");
    EXPECT_EQ(run("font --help"), 0);
    EXPECT_NE(ReadText(dir / "o").find("font bank (--ascii | --strings FILE.txt | --range LIST)"), std::string::npos);
}

} // namespace
