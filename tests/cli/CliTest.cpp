#include "cli/Cli.h"

#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

Result RunCli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = cli::Run(args, out, err);
    return {code, out.str(), err.str()};
}

// Runs the real executable, to see exit codes and streams as a build script does.
Result RunProcess(const std::string& argsLine) {
    testsupport::TempDir dir;
    const std::string cmd = std::string(TAVIX_CLI_PATH) + " " + argsLine + " >" + (dir / "out") + " 2>" + (dir / "err");
    const int status = std::system(cmd.c_str());
    return {WEXITSTATUS(status), testsupport::ReadText(dir / "out"), testsupport::ReadText(dir / "err")};
}

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
    testsupport::BmpSpec s;
    s.width = 4;
    s.height = 2;
    s.biBitCount = 24;
    testsupport::WriteFile(dir / "deep.bmp", testsupport::BuildBmp(s));
    const auto r = RunCli({"header", dir / "deep.bmp"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("0000-0001\t42 4D (B M)\tIdentifier\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("000E-000F\t18 00 (24)\tBits per pixel\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("0004-0007\t04 00 00 00 (4)\tWidth in pixels\n"), std::string::npos) << r.out;

    const auto missing = RunCli({"header", dir / "none.bmp"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "File Not Exist !!!\n");
}

} // namespace
