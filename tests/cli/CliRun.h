#pragma once

#include "cli/Cli.h"
#include "support/BmpBuilder.h"

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace clitest {

// What a run of tavix-cli gave: its exit code and what it wrote to stdout and stderr.
struct Result {
    int code;
    std::string out;
    std::string err;
};

// Runs the commands in this process, as the window's tests compare them.
inline Result RunCli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = cli::Run(args, out, err);
    return {code, out.str(), err.str()};
}

// Runs the real executable through the shell, to see exit codes and streams as a build script does.
inline Result RunProcess(const std::string& argsLine) {
    testsupport::TempDir dir;
    const std::string cmd =
        std::string(TAVIX_CLI_PATH) + " " + argsLine + " >" + (dir / "out") + " 2>" + (dir / "err");
    const int status = std::system(cmd.c_str());
    return {WEXITSTATUS(status), testsupport::ReadText(dir / "out"), testsupport::ReadText(dir / "err")};
}

} // namespace clitest
