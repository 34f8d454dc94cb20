#pragma once

#include "cli/Cli.h"

// The commands, one file each; Cli.cpp lists them in the order --help shows them.
namespace cli {
extern const Command kHeaderCommand;
extern const Command kOsdCommand;
extern const Command kPaletteCommand;
extern const Command kFontCommand;
extern const Command kWavCommand;
extern const Command kAosdCommand;
extern const Command kMergeCommand;
} // namespace cli

#include "picture/FileOpen.h"

#include <iosfwd>

namespace cli {
// Whether File > Open accepted its file; when it refused it, the window's message (and what it adds beside
// it) goes to err.
bool Accepted(const picture::OpenOutcome& outcome, std::ostream& err);
} // namespace cli
