#include "cli/CliProcess.h"

#include "support/BmpBuilder.h"
#include "support/MergeFixtures.h"
#include "support/PngBuilder.h"
#include "support/WavBuilder.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/stat.h>

#include <cctype>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

namespace {

using clitest::ProcessResult;
using clitest::RunCliProcess;
using testsupport::ReadFile;
using testsupport::ReadText;
using testsupport::TempDir;
using testsupport::WriteFile;
using Bytes = std::vector<std::uint8_t>;

void WriteText(const std::string& path, const std::string& text) {
    WriteFile(path, Bytes(text.begin(), text.end()));
}

Bytes Picture(std::vector<std::uint8_t> indices) {
    testsupport::BmpLayout s;
    s.width = static_cast<int>(indices.size());
    s.height = 1;
    s.palette = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    s.indices = std::move(indices);
    return testsupport::BuildBmp(s);
}

Bytes Sound(Bytes samples) {
    testsupport::WavLayout s;
    s.data = std::move(samples);
    return testsupport::BuildWav(s);
}

// A project of every kind of job that needs no font, with jobs that read other jobs' outputs: two sounds
// stripped of their headers and merged, two pictures written as AOSD images and merged by the AOSD merge, a
// sequence, a palette, a palette edit and a resample.
constexpr const char* kProject = R"(# assets
[[wav_strip]]
name = "raw1"
input = "one.wav"
out = "out/raw1.bin"

[[wav_strip]]
name = "raw2"
input = "two.wav"
out = "out/raw2.bin"

[[merge]]
name = "sounds"
inputs = ["out/raw1.bin", "out/raw2.bin"]
out = "out/SOUNDS"

[[aosd_image]]
name = "img1"
input = "pic01.bmp"
out = "out/img1.bin"

[[aosd_image]]
name = "img2"
input = "pic02.bmp"
out = "out/img2"

[[aosd_merge]]
name = "images"
inputs = ["out/img1.bin", "out/img2.bin"]

[[aosd_sequence]]
name = "seq"
input = "pic01.bmp"
count = 2
out = "out/seq.bin"
rlc = "k470e"

[[aosd_palette]]
name = "pal"
input = "pic02.bmp"
out = "out/pal"
hex = true
palette = "rgb666"

[[palette]]
name = "edited"
input = "pic01.bmp"
out = "out/edited.bmp"
edits = ["insert 2=123456", "swap 0,1,1"]

[[wav_resample]]
name = "beep"
input = "two.wav"
out = "out/beep.bin"
bits = 16
signed = true
)";

const Bytes kSamples1 = {0x01, 0x02, 0x03, 0x04};
const Bytes kSamples2 = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
// Pictures of one row: the first has a run that the RLC encoding shortens.
const Bytes kPic01 = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 3};
const Bytes kPic02 = {3, 3, 1, 1, 0, 0, 2, 2, 3, 3, 1, 1, 0, 0, 2, 2};

// The project and its inputs in a new folder.
struct Project {
    TempDir dir;
    std::string toml = dir / "tavix.toml";
    explicit Project(const std::string& text = kProject) {
        WriteText(toml, text);
        WriteFile(dir / "one.wav", Sound(kSamples1));
        WriteFile(dir / "two.wav", Sound(kSamples2));
        WriteFile(dir / "pic01.bmp", Picture(kPic01));
        WriteFile(dir / "pic02.bmp", Picture(kPic02));
    }
    std::string operator/(const std::string& name) const { return dir / name; }
};

ProcessResult Build(const Project& p, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"build", p.toml};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunCliProcess(args);
}

// What a build said of each job: "built", "up to date", "failed", "skipped", "out of date", "would run".
std::map<std::string, std::string> Verdicts(const std::string& out) {
    std::map<std::string, std::string> verdicts;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.size() < 13 || line[11] != ' ' || std::isdigit(static_cast<unsigned char>(line[0])))
            continue; // the summary
        std::string verdict = line.substr(0, 11);
        verdict.erase(verdict.find_last_not_of(' ') + 1);
        std::string name = line.substr(12);
        name = name.substr(0, name.find_first_of(" :"));
        verdicts[name] = verdict;
    }
    return verdicts;
}

// Every job of kProject with the same verdict, but for the ones named.
std::map<std::string, std::string> AllBut(const std::string& verdict,
                                          const std::map<std::string, std::string>& others) {
    std::map<std::string, std::string> all;
    for (const char* name :
         {"raw1", "raw2", "sounds", "img1", "img2", "images", "seq", "pal", "edited", "beep"})
        all[name] = verdict;
    for (const auto& [name, v] : others)
        all[name] = v;
    return all;
}

// The files of the folder out (and the AOSD merge's, beside the pictures), by name.
std::map<std::string, Bytes> Outputs(const Project& p) {
    std::map<std::string, Bytes> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(p.dir.path())) {
        const std::string name = entry.path().lexically_relative(p.dir.path()).generic_string();
        if (entry.is_regular_file() && (name.rfind("out/", 0) == 0 || name.rfind("Merge_", 0) == 0))
            files[name] = ReadFile(entry.path());
    }
    return files;
}

TEST(BuildCli, BuildsEveryJobAsItsCommandWouldAndThenOnlyWhatChanged) {
    Project p;
    ProcessResult r = Build(p, {"-j", "2"});
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_EQ(Verdicts(r.out), AllBut("built", {}));
    EXPECT_NE(r.out.find("10 built, 0 up to date, 0 failed, 0 skipped\n"), std::string::npos) << r.out;

    // A stripped sound is its samples; the merge is both, back to back. An 8-bit picture without RLC is
    // its indices.
    EXPECT_EQ(ReadFile(p / "out/raw1.bin"), kSamples1);
    EXPECT_EQ(ReadFile(p / "out/img1.bin"), kPic01);
    Bytes both = kSamples1;
    both.insert(both.end(), kSamples2.begin(), kSamples2.end());
    EXPECT_EQ(ReadFile(p / "out/SOUNDS.BIN"), both);

    // Each job's files are the ones its command writes when typed in the project's folder.
    TempDir hand;
    for (const char* f : {"one.wav", "two.wav", "pic01.bmp", "pic02.bmp"})
        std::filesystem::copy_file(p / f, hand / f);
    const std::vector<std::vector<std::string>> commands = {
        {"aosd", "image", hand / "pic01.bmp", hand / "img1.bin"},
        {"aosd", "image", hand / "pic02.bmp", hand / "img2"},
        {"aosd", "merge", hand / "img1.bin", hand / "img2.bin"},
        {"aosd", "sequence", hand / "pic01.bmp", "2", hand / "seq.bin", "--rlc", "k470e"},
        {"aosd", "palette", hand / "pic02.bmp", hand / "pal", "--hex", "--palette", "rgb666"},
        {"palette", hand / "pic01.bmp", hand / "edited.bmp", "--insert", "2=123456", "--swap", "0,1,1"},
        {"wav", "resample", hand / "two.wav", hand / "beep.bin", "--bits", "16", "--signed"},
        {"wav", "strip", hand / "one.wav", hand / "raw1.bin"},
        {"wav", "strip", hand / "two.wav", hand / "raw2.bin"},
        {"merge", hand / "SOUNDS", hand / "raw1.bin", hand / "raw2.bin"},
    };
    for (const auto& args : commands)
        ASSERT_EQ(RunCliProcess(args).code, 0) << ::testing::PrintToString(args);
    for (const char* f : {"raw1.bin", "raw2.bin", "img1.bin", "img2.bin", "seq.bin", "pal.txt", "edited.bmp",
                          "beep.bin", "SOUNDS.BIN", "SOUNDS_TBL.TXT"})
        EXPECT_EQ(ReadFile(p / (std::string("out/") + f)), ReadFile(hand / f)) << f;
    for (const char* f : {"Merge_img1.bin", "Merge_tbl.txt"})
        EXPECT_EQ(ReadFile(p / (std::string("out/") + f)), ReadFile(hand / f)) << f;
    EXPECT_TRUE(std::filesystem::exists(p / ".tavix-build.json"));

    // Nothing changed: nothing runs, and the record stays as it is.
    const Bytes record = ReadFile(p / ".tavix-build.json");
    r = Build(p);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(Verdicts(r.out), AllBut("up to date", {}));
    EXPECT_EQ(ReadFile(p / ".tavix-build.json"), record);

    // A file written again with the same bytes (a newer time) is no change.
    WriteFile(p / "one.wav", Sound(kSamples1));
    std::filesystem::last_write_time(p / "pic01.bmp", std::filesystem::last_write_time(p / "pic01.bmp") +
                                                          std::chrono::hours(1));
    r = Build(p);
    EXPECT_EQ(Verdicts(r.out), AllBut("up to date", {}));

    // New content: that job and the jobs that read its output run, the others do not.
    WriteFile(p / "one.wav", Sound({0xAA, 0xBB}));
    r = Build(p, {"-j", "2"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Verdicts(r.out), AllBut("up to date", {{"raw1", "built"}, {"sounds", "built"}}));
    EXPECT_EQ(ReadFile(p / "out/SOUNDS.BIN"), (Bytes{0xAA, 0xBB, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60}));

    // A picture of a sequence that is not its first is an input too.
    WriteFile(p / "pic02.bmp", Picture({1, 1, 1, 1, 0, 0, 2, 2, 3, 3, 1, 1, 0, 0, 2, 2}));
    r = Build(p);
    EXPECT_EQ(
        Verdicts(r.out),
        AllBut("up to date", {{"img2", "built"}, {"images", "built"}, {"seq", "built"}, {"pal", "built"}}));

    // An output changed or removed by hand is made again.
    std::filesystem::remove(p / "out/beep.bin");
    WriteFile(p / "out/edited.bmp", {1, 2, 3});
    r = Build(p);
    EXPECT_EQ(Verdicts(r.out), AllBut("up to date", {{"beep", "built"}, {"edited", "built"}}));
    EXPECT_EQ(ReadFile(p / "out/edited.bmp"), ReadFile(hand / "edited.bmp"));
}

// Every file under dir, by its path in dir.
std::map<std::string, Bytes> FilesUnder(const std::string& dir) {
    std::map<std::string, Bytes> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            files[entry.path().lexically_relative(dir).generic_string()] = ReadFile(entry.path());
    return files;
}

// tavix-cli run with args in the folder dir, as a user types it there.
int RunIn(const std::string& dir, const std::vector<std::string>& args) {
    std::string cmd = "cd '" + dir + "' && '" + TAVIX_CLI_PATH + "'";
    for (const std::string& a : args)
        cmd += " '" + a + "'";
    cmd += " >/dev/null 2>&1";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string kFonts = "/usr/share/fonts/truetype/dejavu/";

// The jobs that write into folders, with the options that name files: a PNG sheet reduced and saved, a
// bank of code point ranges from a font file in the project, a bank of a strings file in an installed
// family, and a glyph drawn bold from face 0 of the font file.
constexpr const char* kFolderProject = R"([[osd]]
name = "sheet"
input = "sheet.png"
out = "out/osd"
reduce = true
save-reduced = "out/reduced.bmp"
code = "asm"
palette = "rgb666"

[[font_bank]]
name = "abc"
out = "out/abc"
font = "fonts/face.ttf"
range = "0x41-0x43,0x61"
size = 12
bpp = 2
code = true

[[font_bank]]
name = "menu"
input = "menu.txt"
out = "out/menu"
font = "DejaVu Sans"

[[font_glyph]]
name = "glyph"
text = "Ag"
out = "out/glyph"
font = "fonts/face.ttf:0"
style = "bold"
)";

void WriteFolderInputs(const std::string& dir) {
    testsupport::PngLayout png;
    png.width = 32; // two 16 x 16 cells
    png.height = 16;
    png.palette = testsupport::DistinctPalette(6);
    png.indices = testsupport::IndicesOf(32, 16, [](int x, int y) { return (x * 7 + y * 3 + (x ^ y)) % 6; });
    WriteFile(dir + "/sheet.png", testsupport::BuildPng(png));
    std::filesystem::create_directories(dir + "/fonts");
    std::filesystem::copy_file(kFonts + "DejaVuSans.ttf", dir + "/fonts/face.ttf");
    WriteText(dir + "/menu.txt", "Menu\nExit\n");
}

// The files of the jobs that write folders are the files their commands write when typed in the project's
// folder with the paths the project writes; a new font file runs the jobs that draw with it, and a new
// picture the sheet's.
TEST(BuildCli, FolderJobsWriteWhatTheirCommandsWriteAndFollowTheirFontFiles) {
    Project p(kFolderProject);
    WriteFolderInputs(p.dir.path());
    ProcessResult r = Build(p, {"-j", "2"});
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_EQ(Verdicts(r.out),
              (std::map<std::string, std::string>{
                  {"sheet", "built"}, {"abc", "built"}, {"menu", "built"}, {"glyph", "built"}}));

    TempDir hand;
    WriteFolderInputs(hand.path());
    for (const char* folder : {"out/osd", "out/abc", "out/menu", "out/glyph"})
        std::filesystem::create_directories(hand / folder);
    const std::vector<std::vector<std::string>> commands = {
        {"osd", "sheet.png", "--reduce", "--save-reduced", "out/reduced.bmp", "--code", "asm", "--palette",
         "rgb666", "--out", "out/osd"},
        {"font", "bank", "--range", "0x41-0x43,0x61", "--font", "fonts/face.ttf", "--size", "12", "--bpp",
         "2", "--code", "--out", "out/abc"},
        {"font", "bank", "--strings", "menu.txt", "--font", "DejaVu Sans", "--out", "out/menu"},
        {"font", "glyph", "--text", "Ag", "--font", "fonts/face.ttf:0", "--style", "bold", "--out",
         "out/glyph"},
    };
    for (const auto& args : commands)
        ASSERT_EQ(RunIn(hand.path(), args), 0) << ::testing::PrintToString(args);
    const auto built = FilesUnder(p / "out"), typed = FilesUnder(hand / "out");
    EXPECT_GE(built.size(), 15u);
    const auto names = [](const std::map<std::string, Bytes>& files) {
        std::vector<std::string> list;
        for (const auto& [name, bytes] : files)
            list.push_back(name);
        return list;
    };
    ASSERT_EQ(names(built), names(typed));
    for (const auto& [name, bytes] : typed)
        EXPECT_TRUE(built.at(name) == bytes) << name << " differs";

    // The same bytes saved again change nothing; another face in the font file runs the two jobs that draw
    // with it, and their files change.
    std::filesystem::copy_file(kFonts + "DejaVuSans.ttf", p / "fonts/face.ttf",
                               std::filesystem::copy_options::overwrite_existing);
    r = Build(p);
    EXPECT_EQ(Verdicts(r.out), (std::map<std::string, std::string>{{"sheet", "up to date"},
                                                                   {"abc", "up to date"},
                                                                   {"menu", "up to date"},
                                                                   {"glyph", "up to date"}}));
    std::filesystem::copy_file(kFonts + "DejaVuSerif.ttf", p / "fonts/face.ttf",
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(Build(p, {"--check"}).code, 1);
    r = Build(p);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Verdicts(r.out),
              (std::map<std::string, std::string>{
                  {"sheet", "up to date"}, {"abc", "built"}, {"menu", "up to date"}, {"glyph", "built"}}));
    EXPECT_NE(ReadFile(p / "out/abc/FontBank.bin"), built.at("abc/FontBank.bin"));

    // A PNG source is an input like a BMP.
    testsupport::PngLayout png;
    png.width = 16;
    png.height = 16;
    png.palette = testsupport::DistinctPalette(2);
    png.indices = testsupport::IndicesOf(16, 16, [](int x, int y) { return (x + y) % 2; });
    WriteFile(p / "sheet.png", testsupport::BuildPng(png));
    r = Build(p);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Verdicts(r.out)["sheet"], "built");
    EXPECT_EQ(Build(p, {"--check"}).code, 0);
}

TEST(BuildCli, AChangedOptionRunsThatJobAndWhatReadsIt) {
    Project p;
    ASSERT_EQ(Build(p).code, 0);
    std::string text = kProject;
    text.replace(text.find("out = \"out/img1.bin\"\n"), 21, "out = \"out/img1.bin\"\nrlc = \"k470a\"\n");
    WriteText(p.toml, text);
    ProcessResult r = Build(p);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Verdicts(r.out), AllBut("up to date", {{"img1", "built"}, {"images", "built"}}));

    // An option changed back is a change too; --force runs everything.
    WriteText(p.toml, kProject);
    r = Build(p);
    EXPECT_EQ(Verdicts(r.out), AllBut("up to date", {{"img1", "built"}, {"images", "built"}}))
        << r.out << r.err;
    EXPECT_EQ(Verdicts(Build(p, {"--force"}).out), AllBut("built", {}));
}

TEST(BuildCli, CheckFailsWhileAJobIsOutOfDateAndDryRunOnlyLists) {
    Project p;
    ProcessResult r = Build(p, {"--check"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(Verdicts(r.out), AllBut("out of date", {}));
    EXPECT_FALSE(std::filesystem::exists(p / "out"));
    ASSERT_EQ(Build(p).code, 0);
    r = Build(p, {"--check"});
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(Verdicts(r.out), AllBut("up to date", {}));

    WriteFile(p / "two.wav", Sound({9, 9}));
    const auto before = Outputs(p);
    r = Build(p, {"--check"});
    EXPECT_EQ(r.code, 1);
    // What reads a stale job's output is out of date with it.
    EXPECT_EQ(
        Verdicts(r.out),
        AllBut("up to date", {{"raw2", "out of date"}, {"beep", "out of date"}, {"sounds", "out of date"}}));
    EXPECT_NE(r.out.find("out of date raw2 (two.wav changed)\n"), std::string::npos) << r.out;
    r = Build(p, {"--dry-run"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(Verdicts(r.out),
              AllBut("up to date", {{"raw2", "would run"}, {"beep", "would run"}, {"sounds", "would run"}}));
    EXPECT_EQ(Outputs(p), before);
    EXPECT_EQ(Build(p, {"--check"}).code, 1);

    ASSERT_EQ(Build(p).code, 0);
    EXPECT_EQ(Build(p, {"--check"}).code, 0);
}

TEST(BuildCli, ParallelJobsWriteTheSameBytesAsOneAtATime) {
    Project one, two;
    ProcessResult r1 = Build(one, {"-j", "1"});
    ProcessResult r2 = Build(two, {"-j2"});
    ASSERT_EQ(r1.code, 0) << r1.err;
    ASSERT_EQ(r2.code, 0) << r2.err;
    const auto a = Outputs(one), b = Outputs(two);
    EXPECT_EQ(a.size(), 12u);
    EXPECT_EQ(a, b);
    // No temporary file is left behind by jobs that wrote side by side.
    for (const auto& [name, bytes] : b)
        EXPECT_EQ(name.find(".tavix-"), std::string::npos) << name;
}

TEST(BuildCli, AFailedJobKeepsItsOutputsSkipsItsReadersAndRunsAgainNextTime) {
    Project p;
    ASSERT_EQ(Build(p).code, 0);
    const Bytes raw1 = ReadFile(p / "out/raw1.bin");
    const Bytes sounds = ReadFile(p / "out/SOUNDS.BIN");

    WriteText(p / "one.wav", "not a sound");
    WriteFile(p / "two.wav", Sound({7, 7}));
    ProcessResult r = Build(p);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(Verdicts(r.out),
              AllBut("up to date",
                     {{"raw1", "failed"}, {"raw2", "built"}, {"beep", "built"}, {"sounds", "skipped"}}));
    EXPECT_NE(r.out.find("0 up to date"), 0u);
    EXPECT_NE(r.out.find("1 failed, 1 skipped\n"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("raw1: "), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(p / "out/raw1.bin"), raw1);
    EXPECT_EQ(ReadFile(p / "out/SOUNDS.BIN"), sounds);
    EXPECT_EQ(ReadFile(p / "out/raw2.bin"), (Bytes{7, 7}));

    // Not recorded as done: it runs (and fails) again, and builds once its input is right.
    EXPECT_EQ(Verdicts(Build(p).out)["raw1"], "failed");
    EXPECT_EQ(Build(p, {"--check"}).code, 1);
    WriteFile(p / "one.wav", Sound({5}));
    r = Build(p);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Verdicts(r.out), AllBut("up to date", {{"raw1", "built"}, {"sounds", "built"}}));
    EXPECT_EQ(ReadFile(p / "out/SOUNDS.BIN"), (Bytes{5, 7, 7}));
}

// The other threads wait for the one running job; when it fails, the build still ends, its readers skipped.
TEST(BuildCli, AFailureWhileTheOtherThreadsWaitEndsTheBuild) {
    Project p(R"([[wav_strip]]
name = "bad"
input = "bad.wav"
out = "out/bad.bin"

[[merge]]
name = "m1"
inputs = ["out/bad.bin"]
out = "out/M1"

[[merge]]
name = "m2"
inputs = ["out/M1.BIN"]
out = "out/M2"
)");
    WriteText(p / "bad.wav", "RIFF");
    for (const char* threads : {"2", "4"}) {
        const ProcessResult r = Build(p, {"-j", threads});
        EXPECT_EQ(r.signal, 0) << "the build did not end";
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(Verdicts(r.out), (std::map<std::string, std::string>{
                                       {"bad", "failed"}, {"m1", "skipped"}, {"m2", "skipped"}}));
    }
}

// A folder a font job writes into may hold another job's source: that is no cycle, whichever runs first.
TEST(BuildCli, SourcesKeptInFoldersThatJobsWriteIntoAreNoCycle) {
    Project p(R"([[font_bank]]
name = "a"
input = "x/a.txt"
out = "y"
font = "DejaVu Sans"

[[font_bank]]
name = "b"
input = "y/b.txt"
out = "x"
font = "DejaVu Sans"
)");
    std::filesystem::create_directories(p / "x");
    std::filesystem::create_directories(p / "y");
    WriteText(p / "x/a.txt", "AB\n");
    WriteText(p / "y/b.txt", "CD\n");
    const ProcessResult r = Build(p, {"-j", "2"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Verdicts(r.out), (std::map<std::string, std::string>{{"a", "built"}, {"b", "built"}}));
    EXPECT_TRUE(std::filesystem::exists(p / "y/FontBank.txt"));
    EXPECT_TRUE(std::filesystem::exists(p / "x/FontBank.txt"));
}

bool HasTemporaryFile(const std::string& dir) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        if (entry.path().filename().string().rfind(".tavix-", 0) == 0 &&
            entry.path().filename() != ".tavix-build.json")
            return true;
    return false;
}

// Merge jobs m1, m2, m3 of a file of 1 MiB, each writing outN.BIN, a pipe nobody reads: each job holds up
// its thread with its table's temporary file made. The tables hold "old" before the build.
struct BlockedMerges {
    Project p;
    std::vector<int> readers;
    static std::string Text() {
        std::string text;
        for (const char* n : {"1", "2", "3"})
            text += std::string("[[merge]]\nname = \"m") + n + "\"\ninputs = [\"a.bin\"]\nout = \"out" + n +
                    "\"\n";
        return text;
    }
    BlockedMerges() : p(Text()) {
        testsupport::WritePatternFile(p / "a.bin", 1 << 20, 1);
        for (const char* n : {"1", "2", "3"}) {
            WriteText(p / (std::string("out") + n + "_TBL.TXT"), "old");
            const std::string fifo = p / (std::string("out") + n + ".BIN");
            EXPECT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
            readers.push_back(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK));
            EXPECT_GE(readers.back(), 0);
        }
    }
    ~BlockedMerges() {
        for (const int fd : readers)
            ::close(fd);
    }
    // How many jobs hold a temporary file now.
    int Temporaries() const {
        int n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(p.dir.path()))
            n += entry.path().filename().string().rfind(".tavix-", 0) == 0 &&
                 entry.path().filename() != ".tavix-build.json";
        return n;
    }
    // Waits until n jobs hold theirs (or 20 seconds have gone); then how many do.
    int WaitFor(int n) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (Temporaries() < n && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // for one more to show, were it started
        return Temporaries();
    }
};

// Jobs on threads, each held up in a blocked write: an interrupt removes every one of their temporary
// files, keeps every old table, and records nothing.
TEST(BuildCli, AnInterruptedBuildLeavesNoTemporaryFileOfAnyJob) {
    BlockedMerges b;
    clitest::CliProcess run({"build", b.p.toml, "-j", "3"});
    ASSERT_EQ(b.WaitFor(3), 3);
    ::kill(run.Pid(), SIGINT);
    const ProcessResult r = run.Wait();
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.code, 128 + SIGINT);
    EXPECT_FALSE(HasTemporaryFile(b.p.dir.path()));
    for (const char* n : {"1", "2", "3"})
        EXPECT_EQ(ReadText(b.p / (std::string("out") + n + "_TBL.TXT")), "old");
    EXPECT_FALSE(std::filesystem::exists(b.p / ".tavix-build.json"));
}

// Without -j, as many jobs run at once as the build may use cores: one on one core, two on two.
TEST(BuildCli, JobsRunAtOnceAreTheCoresByDefault) {
    cpu_set_t own;
    ASSERT_EQ(::sched_getaffinity(0, sizeof own, &own), 0);
    for (const int cpus : {1, 2}) {
        if (cpus > CPU_COUNT(&own)) continue; // a machine of one core shows the one case
        SCOPED_TRACE(cpus);
        BlockedMerges b;
        clitest::ProcessLimits limits;
        limits.cpus = cpus;
        clitest::CliProcess run({"build", b.p.toml}, limits);
        EXPECT_EQ(b.WaitFor(cpus), cpus);
        ::kill(run.Pid(), SIGINT);
        EXPECT_EQ(run.Wait().code, 128 + SIGINT);
    }
}

TEST(BuildCli, TargetsBuildTheirJobsAndWhatTheyNeed) {
    Project p;
    ProcessResult r = Build(p, {"sounds", "img2"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Verdicts(r.out),
              (std::map<std::string, std::string>{
                  {"raw1", "built"}, {"raw2", "built"}, {"sounds", "built"}, {"img2", "built"}}));
    EXPECT_FALSE(std::filesystem::exists(p / "out/img1.bin"));
    r = Build(p, {"nosuchjob"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("no job named 'nosuchjob'"), std::string::npos) << r.err;
}

TEST(BuildCli, TheProjectInTheWorkingDirectoryIsTheDefault) {
    Project p;
    const std::string cmd =
        "cd '" + p.dir.path() + "' && " + TAVIX_CLI_PATH + " build -j 2 raw1 >out.txt 2>&1";
    EXPECT_EQ(WEXITSTATUS(std::system(cmd.c_str())), 0) << ReadText(p / "out.txt");
    EXPECT_EQ(ReadFile(p / "out/raw1.bin"), kSamples1);
    // The record names the files as the project does, so a build from elsewhere finds them unchanged.
    EXPECT_EQ(Verdicts(Build(p, {"raw1"}).out)["raw1"], "up to date");

    // A fault is told by the project file's name as the build was given it.
    WriteText(p.toml, "[[osd]]\nname = \"o\"\ninput = \"sheet.bmp\"\nout = \"o\"\ncell = 17\n");
    const std::string wrong = "cd '" + p.dir.path() + "' && " + TAVIX_CLI_PATH + " build 2>err.txt";
    EXPECT_EQ(WEXITSTATUS(std::system(wrong.c_str())), 2);
    EXPECT_EQ(ReadText(p / "err.txt"),
              "tavix.toml:5: osd.cell must be one of 12..16, not 17\nNothing built: tavix.toml has errors\n");
}

// Each project holds one fault; the message names the file, the line and the key, and nothing runs.
TEST(BuildCli, AWrongProjectIsRefusedWithFileLineAndKeyBeforeAnythingRuns) {
    const std::string job = "[[wav_strip]]\nname = \"a\"\ninput = \"one.wav\"\nout = \"out/a.bin\"\n";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {job + "[[osd]]\nname = \"o\"\ninput = \"s.bmp\"\nout = \"o\"\ncell = 17\n",
         ":9: osd.cell must be one of 12..16, not 17"},
        // Letters outside ASCII are taken in comments and strings (escaped quotes and multi-line ones
        // included) and refused with their line anywhere else, where the TOML reader once met undefined
        // behaviour.
        {job + "# Gr\u00FC\u00DFe\n[[font_glyph]]\nname = \"g\"\nout = \"o\"\ntext = \"\\\"\u00C4\\\"\"\n"
               "style = \"\"\"\n\u00E9\"\"\"\"\nsmooth = tru\u00E9\n",
         ":12: Error while parsing boolean"},
        {job + "[[osd]]\nname = \"o\"\ninput = \"s.bmp\"\nout = \"o\"\ncell = \"12\"\n",
         ":9: osd.cell must be one of 12..16, not \"12\" (numbers are written without quotes)"},
        {job + "[[osd]]\nname = \"o\"\ninput = \"s.bmp\"\nout = \"o\"\nreduce = 1\n",
         ":9: osd.reduce must be true or false, not 1"},
        {job + "[[osd]]\nname = \"o\"\ninput = \"s.bmp\"\nout = \"o\"\ncell = true\n",
         ":9: osd.cell must be one of 12..16, not true"},
        {job + "[[osd]]\nname = \"o\"\ninput = \"s.bmp\"\nout = \"o\"\ncolour = \"red\"\n",
         ":9: osd.colour is not a key of [[osd]]"},
        {job + "[[aosd_image]]\nname = \"i\"\ninput = \"p.bmp\"\nout = \"o\"\nrlc = \"k9\"\n",
         ":9: aosd_image.rlc must be one of \"k470a\", \"k470e\", not \"k9\""},
        {job + "[[font_bank]]\nname = \"f\"\nout = \"o\"\nascii = true\nbpp = 3\n",
         ":9: font_bank.bpp must be one of 1, 2, 4, 8, not 3"},
        {job + "[[font_bank]]\nname = \"f\"\nout = \"o\"\nascii = true\nsize = 2000\n",
         ":9: font_bank.size must be one of 1..1000, not 2000"},
        {job + "[[font_bank]]\nname = \"f\"\nout = \"o\"\nrange = \"0x41-\"\n", ":8: font_bank.range "},
        {job + "[[font_glyph]]\nname = \"g\"\nout = \"o\"\ntext = 1.5\n",
         ":8: font_glyph.text must be a string or a number, not a number with a fraction"},
        {job + "[[aosd_sequence]]\nname = \"s\"\ninput = \"p.bmp\"\nout = \"o\"\ncount = 1000\n",
         ":9: aosd_sequence.count must be one of 2..999, not 1000"},
        {job + "[[aosd_image]]\nname = \"i\"\ninput = \"p.bmp\"\n", ":5: aosd_image.out is missing"},
        {job + "[[aosd_image]]\nname = \"i\"\ninputs = [\"p.bmp\"]\nout = \"o\"\n",
         ":7: aosd_image.inputs is not a key of [[aosd_image]]"},
        {job + "[[merge]]\nname = \"m\"\ninputs = \"a.bin\"\nout = \"o\"\n",
         ":7: merge.inputs must be a list of strings that are not empty"},
        {job + "[[wav_strip]]\nname = \"a\"\ninput = \"two.wav\"\nout = \"out/b.bin\"\n",
         ":6: wav_strip.name 'a' is the name of the job on line 1 too"},
        {job + "[[wav_strip]]\nname = \"b\"\ninput = \"two.wav\"\nout = \"out/a.bin\"\n",
         ":5: wav_strip 'b' writes "},
        {job + "[[font_bank]]\nname = \"f\"\nout = \"o\"\nascii = true\n"
               "[[font_bank]]\nname = \"g\"\nout = \"o/\"\nrange = \"65\"\n",
         ":9: font_bank 'g' writes into "},
        {job + "[[osd]]\nname = \"s\"\ninput = \"a/sheet.bmp\"\nout = \"o\"\n"
               "[[osd]]\nname = \"t\"\ninput = \"b/sheet.png\"\nout = \"o\"\n",
         ":9: osd 't' writes into "},
        {job + "[wav]\nx = 1\n", ":5: unknown table 'wav'"},
        {job + "[osd]\nname = \"b\"\n", ":5: osd is a list of jobs: write each as [[osd]]"},
        {job + "[[wav_strip]]\nname = \"b\"\ninput = \"one.wav\nout = \"x\"\n", ":7: "},
        {job + "[[palette]]\nname = \"x\"\ninput = \"p.bmp\"\nout = \"q.bmp\"\n"
               "[[palette]]\nname = \"y\"\ninput = \"q.bmp\"\nout = \"p.bmp\"\n",
         ":5: the jobs need each other's outputs: 'x' needs 'y' needs 'x'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Project p(c.text);
        const ProcessResult r = Build(p);
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find(p.toml + c.message), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("Nothing built: "), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(std::filesystem::exists(p / "out"));
        EXPECT_FALSE(std::filesystem::exists(p / ".tavix-build.json"));
    }
}

} // namespace
