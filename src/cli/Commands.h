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
extern const Command kBuildCommand;
extern const Command kDecodeCommand;
} // namespace cli

#include "base/Error.h"
#include "base/Note.h"
#include "picture/FileOpen.h"

#include <iosfwd>

namespace cli {
// An operation's notes as tavix-cli tells them, a line each in their order: statuses on out, errors, details
// and shortfalls on err.
void PrintNotes(const base::Notes& notes, std::ostream& out, std::ostream& err);
// An operation's failure, when it has one, and then its notes as PrintNotes tells them; true when there was
// neither a failure nor an error note.
bool Report(const base::Failure& failure, const base::Notes& notes, std::ostream& out, std::ostream& err);

// Whether File > Open accepted its file; when it refused it, the window's message (and what it adds beside
// it) goes to err.
bool Accepted(const picture::OpenOutcome& outcome, std::ostream& err);

// What tavix-cli adds below the depth message for a PNG of more than 8 bits per pixel.
inline constexpr const char* kPngDepthHint =
    "Reduce the PNG to a palette first: indexed or greyscale, 1, 2, 4 or 8 bits per pixel.";
} // namespace cli
