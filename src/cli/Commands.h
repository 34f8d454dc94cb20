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

#include <iosfwd>
#include <string>

namespace shell {
struct Workspace;
enum class Page;
} // namespace shell

namespace cli {
// File > Open of path with page active, as the window runs it; false, with the window's message on err,
// when the file is refused.
bool OpenAsFileOpen(shell::Workspace& ws, const std::string& path, shell::Page page, std::ostream& err);
} // namespace cli
