#include "cli/AosdCommand.h"
#include "cli/Cli.h"
#include "cli/CliRun.h"

#include "base/Path.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/wait.h>

namespace {

using clitest::Result;
using clitest::RunCli;
using clitest::RunProcess;

using testsupport::ReadFile;
using testsupport::TempDir;
using Bytes = std::vector<std::uint8_t>;

void WritePicture(const std::string& path, Bytes pixels, std::vector<base::Colour> palette) {
    testsupport::BmpLayout s;
    s.width = static_cast<int>(pixels.size());
    s.height = 1;
    s.palette = std::move(palette);
    s.indices = std::move(pixels);
    testsupport::WriteFile(path, testsupport::BuildBmp(s));
}

TEST(AosdCli, ParsesEachVerbWithItsOptions) {
    auto job = cli::ParseAosdArgs({"image", "in.bmp", "out"});
    EXPECT_EQ(job.kind, cli::AosdJob::Kind::Image);
    EXPECT_EQ(job.picture, "in.bmp");
    EXPECT_EQ(job.output, "out");
    EXPECT_FALSE(job.rlc.rlc);

    job = cli::ParseAosdArgs({"sequence", "--rlc", "k470e", "anim008.bmp", "12", "seq"});
    EXPECT_EQ(job.kind, cli::AosdJob::Kind::Sequence);
    EXPECT_EQ(job.count, 12);
    EXPECT_TRUE(job.rlc.rlc);
    EXPECT_EQ(job.rlc.chip, aosd::ChipModel::K470E);
    EXPECT_EQ(cli::ParseAosdArgs({"image", "a.bmp", "o", "--rlc", "k470a"}).rlc.chip, aosd::ChipModel::K470A);

    job = cli::ParseAosdArgs({"palette", "in.bmp", "pal", "--hex", "--palette", "rgb666"});
    EXPECT_EQ(job.kind, cli::AosdJob::Kind::Palette);
    EXPECT_TRUE(job.hex);
    EXPECT_EQ(job.paletteFormat, settings::PaletteFormat::Rgb666);
    EXPECT_EQ(cli::ParseAosdArgs({"palette", "in.bmp", "pal"}).paletteFormat,
              settings::PaletteFormat::Rgb888);

    job = cli::ParseAosdArgs({"merge", "a.bin", "b.bin", "c.bin"});
    EXPECT_EQ(job.sources, (std::vector<std::string>{"a.bin", "b.bin", "c.bin"}));

    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frob"},
        {"image", "in.bmp"},
        {"image", "in.bmp", "out", "extra"},
        {"image", "in.bmp", "out", "--hex"},
        {"image", "in.bmp", "out", "--rlc"},
        {"image", "in.bmp", "out", "--rlc", "k470x"},
        {"sequence", "a1.bmp", "1", "out"},
        {"sequence", "a1.bmp", "1000", "out"},
        {"sequence", "a1.bmp", "x", "out"},
        {"palette", "in.bmp", "out", "--rlc", "k470a"},
        {"palette", "in.bmp", "out", "--palette", "rgb555"},
        {"merge"},
        {"merge", "a.bin", "--hex"},
    };
    for (const auto& args : bad)
        EXPECT_THROW(cli::ParseAosdArgs(args), cli::UsageError) << testing::PrintToString(args);
}

TEST(AosdCli, ImageAndSequencePrintTheInformationRows) {
    TempDir dir;
    const auto palette = testsupport::DistinctPalette(256);
    WritePicture(dir / "logo01.bmp", {0x01, 0x01, 0x01, 0x01, 0x01, 0x02, 0xFF, 0xFF, 0x03}, palette);
    WritePicture(dir / "logo03.bmp", Bytes(9, 0x07), palette);

    auto r = RunProcess("aosd image " + (dir / "logo01.bmp") + " " + (dir / "out") + " --rlc k470a");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "File Name: logo01.bmp\nImage Width: 9\nImage Height: 1\nWrite Size: 7\n"
                     "Compress Percent: 22%\n");
    EXPECT_EQ(r.err, "2 pixels of index 255 written as 254\n");
    EXPECT_EQ(ReadFile(dir / "out.bin"), (Bytes{0x01, 0xFF, 0x02, 0x02, 0xFE, 0xFE, 0x03}));
    // Raw, nothing is changed and nothing said.
    r = RunProcess("aosd image " + (dir / "logo01.bmp") + " " + (dir / "raw"));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");

    // logo02 is missing; logo03 is nine pixels of 7: 07 FF 05 for K470E.
    r = RunProcess("aosd sequence " + (dir / "logo01.bmp") + " 3 " + (dir / "seq.dat") + " --rlc k470e");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadFile(dir / "seq.dat"), (Bytes{0x01, 0xFF, 0x01, 0x02, 0xFE, 0xFE, 0x03, 0x07, 0xFF, 0x05}));
    EXPECT_EQ(r.out, "File Name: logo01.bmp\nImage Width: 9\nImage Height: 1\nWrite Size: 10\n"
                     "Compress Percent: 44%\n");
    EXPECT_EQ(r.err, "2 pixels of index 255 written as 254\n"); // the sequence's total
}

TEST(AosdCli, PaletteIsWrittenInTheChosenFormat) {
    TempDir dir;
    WritePicture(dir / "p.bmp", {0, 1},
                 {base::MakeColour(0xFF, 0xFF, 0xFF), base::MakeColour(0x80, 0x40, 0x04)});
    auto r = RunProcess("aosd palette " + (dir / "p.bmp") + " " + (dir / "pal") + " --palette rgb666");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "File Name: p.bmp\nImage Width: 2\nImage Height: 1\n");
    Bytes expected(768, 0);
    expected[0] = expected[256] = expected[512] = 0x3F;
    expected[1] = 0x20;
    expected[257] = 0x10;
    expected[513] = 0x01;
    EXPECT_EQ(ReadFile(dir / "pal.bin"), expected);

    r = RunProcess("aosd palette " + (dir / "p.bmp") + " " + (dir / "pal") + " --hex");
    EXPECT_EQ(r.code, 0) << r.err;
    const std::string text = testsupport::ReadText(dir / "pal.txt");
    EXPECT_EQ(text.rfind("// Palette_Red x 256\r\n0xFF,0x80,0x00,", 0), 0u);
    EXPECT_EQ(text.size(), 4005u);
}

TEST(AosdCli, MergeStartsAfreshThenAppends) {
    TempDir dir;
    testsupport::WriteFile(dir / "a.bin", Bytes(300, 0xAA));
    testsupport::WriteFile(dir / "b.bin", Bytes(50, 0xBB));
    testsupport::WriteFile(dir / "Merge_a.bin", Bytes(7, 0x11)); // an old merge of the same name is replaced
    auto r = RunProcess("aosd merge " + (dir / "a.bin") + " " + (dir / "b.bin"));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "File Name: a.bin\nWrite Size: 300\nFile Name: b.bin\nWrite Size: 350\n");
    Bytes merged(300, 0xAA);
    merged.insert(merged.end(), 50, 0xBB);
    EXPECT_EQ(ReadFile(dir / "Merge_a.bin"), merged);
    EXPECT_EQ(testsupport::ReadText(dir / "Merge_tbl.txt"),
              "\n#define PICa_OFFSET (AOSD_START_ADR+          0) //a.bin"
              "\n#define PICb_OFFSET (AOSD_START_ADR+        300) //b.bin");
}

TEST(AosdCli, RefusalsExitOneWithTheMessageAndWriteNothing) {
    TempDir dir;
    testsupport::BmpLayout deep;
    deep.width = 6;
    deep.height = 1;
    deep.biWidth = 2;
    deep.biBitCount = 24;
    testsupport::WriteFile(dir / "deep.bmp", testsupport::BuildBmp(deep));
    WritePicture(dir / "logo.bmp", {1, 2}, testsupport::DistinctPalette(4));
    testsupport::WriteFile(dir / "a.bin", Bytes(3, 0xAA));

    const struct {
        std::string args;
        std::string message;
        std::string notWritten;
    } cases[] = {
        {"aosd image " + (dir / "deep.bmp") + " " + (dir / "o1"), "24 bits per pixel", dir / "o1.bin"},
        {"aosd palette " + (dir / "deep.bmp") + " " + (dir / "o2"), "24 bits per pixel", dir / "o2.bin"},
        {"aosd sequence " + (dir / "logo.bmp") + " 2 " + (dir / "o3"),
         "The picture name logo does not end in a number, so no sequence can be formed.", dir / "o3.bin"},
        {"aosd image " + (dir / "none.bmp") + " " + (dir / "o4"), "none.bmp", dir / "o4.bin"},
        {"aosd merge " + (dir / "a.bin") + " " + (dir / "Merge_a.bin"),
         "the output " + (dir / "Merge_a.bin") + " is the input", dir / "Merge_a.bin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const auto r = RunProcess(c.args);
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        if (!c.notWritten.empty()) {
            EXPECT_FALSE(base::FileExists(c.notWritten));
        }
    }
}

} // namespace
