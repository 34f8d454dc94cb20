#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// Exit codes of tavix-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // the job failed: a refused picture, a file that cannot be written
inline constexpr int kExitUsage = 2;   // the command line is wrong

// Runs tavix-cli with args (without the program name), writing results to out and messages to err.
// Returns the exit code. Never creates a window.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace cli
