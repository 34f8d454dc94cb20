#pragma once

#include "cli/Args.h"
#include "cli/Help.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// Exit codes of tavix-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // the job failed: a refused picture, a file that cannot be written
inline constexpr int kExitUsage = 2;   // the command line is wrong

// One command of tavix-cli: its name, its help (from which --help, the man page and the completion are made),
// and what runs it (with the arguments after the name). A command throws UsageError for a wrong command line
// and base::Error for what no step handles; Run turns them into the exit codes, a usage error naming the
// command and its help.
struct Command {
    const char* name;
    CommandHelp help;
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

// The registry: every command, in the order `tavix-cli --help` lists them.
const std::vector<const Command*>& Commands();

// `tavix-cli --help`: the usage, the commands one line each, the general options and the exit status.
std::string MainHelpText();

// Runs tavix-cli with args (without the program name), writing results to out and messages to err.
// Returns the exit code. Never creates a window and never reads the settings file.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace cli
