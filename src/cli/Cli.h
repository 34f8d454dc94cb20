#pragma once

#include "cli/Args.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// Exit codes of tavix-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // the job failed: a refused picture, a file that cannot be written
inline constexpr int kExitUsage = 2;   // the command line is wrong

// One command of tavix-cli: its name, its lines of --help, and what runs it (with the arguments after the
// name). A command throws UsageError for a wrong command line and base::Error for what no step handles;
// Run turns them into the exit codes.
struct Command {
    const char* name;
    const char* help;
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

// Runs tavix-cli with args (without the program name), writing results to out and messages to err.
// Returns the exit code. Never creates a window and never reads the settings file.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace cli
