#include "cli/Cli.h"
#include "cli/MergeCommand.h"

#include "support/BmpBuilder.h"
#include "support/MergeFixtures.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct ProcessRun {
    int code;
    std::string out;
    std::string err;
};

// The real executable, as a build script runs it, in dir.
ProcessRun RunMergeProcess(const testsupport::TempDir& dir, const std::string& argsLine) {
    const std::string cmd = "cd '" + dir.path() + "' && " + std::string(TAVIX_CLI_PATH) + " merge " +
                            argsLine + " >'" + (dir / "stdout") + "' 2>'" + (dir / "stderr") + "'";
    const int status = std::system(cmd.c_str());
    return {WEXITSTATUS(status), testsupport::ReadText(dir / "stdout"),
            testsupport::ReadText(dir / "stderr")};
}

void WriteText(const std::string& path, const std::string& text) {
    testsupport::WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

TEST(MergeCli, ParsesEitherFilesOrAList) {
    const cli::MergeJob files = cli::ParseMergeArgs({"out.dat", "a.bin", "b.bin"});
    EXPECT_EQ(files.output, "out.dat");
    EXPECT_EQ(files.files, (std::vector<std::string>{"a.bin", "b.bin"}));
    EXPECT_FALSE(files.listFile);

    const cli::MergeJob list = cli::ParseMergeArgs({"--list", "FILE_LIST.TXT", "Pic"});
    EXPECT_EQ(list.output, "Pic");
    EXPECT_EQ(list.listFile.value_or(""), "FILE_LIST.TXT");
    EXPECT_TRUE(list.files.empty());

    const std::vector<std::vector<std::string>> wrong = {{},
                                                         {"out"},
                                                         {"out", "a", "--list", "L"},
                                                         {"out", "--list"},
                                                         {"out", "--list", "L", "--list", "M"},
                                                         {"out", "--frobnicate", "a"}};
    for (const auto& args : wrong) {
        SCOPED_TRACE(testing::PrintToString(args));
        EXPECT_THROW(cli::ParseMergeArgs(args), cli::UsageError);
    }
}

class MergeCliFiles : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(dir_ / "in");
        parts_ = {testsupport::WritePatternFile(dir_ / "in/a.bin", 0x100, 1),
                  testsupport::WritePatternFile(dir_ / "in/b.bin", 0x35, 2),
                  testsupport::WritePatternFile(dir_ / "in/logo.bin", 0x1000, 3)};
    }
    void ExpectMerged(const std::string& base) {
        EXPECT_EQ(testsupport::ReadFile(dir_ / (base + ".BIN")), testsupport::Concatenated(parts_));
        EXPECT_EQ(testsupport::ReadText(dir_ / (base + "_TBL.TXT")),
                  "\n#define\tPICA_BIN_OFFSET\t(AOSD_START_ADR+          0)\t//0x0       "
                  "\n#define\tPICB_BIN_OFFSET\t(AOSD_START_ADR+        256)\t//0x100     "
                  "\n#define\tPICLOGO_BIN_OFFSET\t(AOSD_START_ADR+        309)\t//0x135     ");
    }

    testsupport::TempDir dir_;
    std::vector<std::vector<std::uint8_t>> parts_;
};

TEST_F(MergeCliFiles, MergesFilesOrAListAndPrintsTheLabels) {
    ProcessRun r = RunMergeProcess(dir_, "out.dat in/a.bin in/b.bin in/logo.bin");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Total: 0x1135 (4405)\nMerged File No.: 3\n");
    EXPECT_EQ(r.err, "");
    ExpectMerged("out");

    // A list file with names relative to its own directory, CR LF and no final line end, gives the same
    // files.
    WriteText(dir_ / "in/FILE_LIST.TXT",
              testsupport::ListFileText({"a.bin", " b.bin", "logo.bin"}, "\r\n", false));
    r = RunMergeProcess(dir_, "listed --list in/FILE_LIST.TXT");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Total: 0x1135 (4405)\nMerged File No.: 3\n");
    ExpectMerged("listed");
}

TEST_F(MergeCliFiles, FailsWithTheWindowsMessageAndWritesNothing) {
    WriteText(dir_ / "in/missing.TXT", testsupport::ListFileText({"a.bin", "nothing.bin", "none.bin"}));
    WriteText(dir_ / "in/empty.TXT", "\n  \n");
    struct Case {
        std::string args;
        std::string err;
        int code;
    };
    const Case cases[] = {
        {"out in/a.bin in/none.bin", "File " + (dir_ / "in/none.bin") + " cannot be opened !\n", 1},
        {"out --list in/missing.TXT",
         "2 File does not exit !\nin/nothing.bin: No such file or directory\n"
         "in/none.bin: No such file or directory\n",
         1},
        {"out --list in/nolist.TXT", "Open File List Error !\nin/nolist.TXT: No such file or directory\n", 1},
        {"out --list in/empty.TXT", "Nothing to merge: in/empty.TXT names no file\n", 1},
        {"no/such/dir/out in/a.bin",
         "Open Merged file name error !!!\ncannot create no/such/dir/out.BIN: No such file or directory\n",
         1},
        {"out", "tavix-cli: merge needs at least one FILE or a --list (see 'tavix-cli merge --help')\n", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const ProcessRun r = RunMergeProcess(dir_, c.args);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.err, c.err);
        EXPECT_FALSE(std::filesystem::exists(dir_ / "out.BIN"));
        EXPECT_FALSE(std::filesystem::exists(dir_ / "out_TBL.TXT"));
    }
}

} // namespace
