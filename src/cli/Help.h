#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// What each command of tavix-cli says about itself. --help, `tavix-cli help COMMAND`, the man page and the bash
// completion are all made from these records, so none of them can say something the others do not.
namespace cli {

// One option: its name, the value it takes ("" for a switch) and what it does, with its default.
//   A value "a|b|c" lists the words the option takes (the completion offers them); "DIR" is a folder; a value
//   naming a file ("FILE", "GLYPH.txt", "FAMILY|FILE[:N]") completes file names, those of its extension when
//   it has one.
struct OptionHelp {
    std::string name;
    std::string value;
    std::string text;
};

// One form of a command: the subcommand word ("" for a command without), the operands as the synopsis shows
// them, what the form does, its options, and the extensions of the files its operands take ("bmp png"; ""
// for any file).
struct FormHelp {
    std::string sub;
    std::string operands;
    std::string text;
    std::vector<OptionHelp> options;
    std::string fileTypes;
};

// A command's whole help: one line for the list of commands, its forms, notes that apply to all of them, and
// an example.
struct CommandHelp {
    std::string summary;
    std::vector<FormHelp> forms;
    std::string notes;
    std::vector<std::string> examples;
};

// The line every help text ends with.
inline constexpr const char* kExitStatusText =
    "Exit status: 0 done, 1 the job failed (the message says why), 2 the command line is wrong, 128 + the "
    "signal when SIGINT, SIGTERM or SIGHUP ended the run.";

// The width of every help text: with the man page's indent of 7 it still fits 80 columns.
inline constexpr std::size_t kHelpWidth = 72;

// Words wrapped at width columns, each line indented by indent spaces (the first by firstIndent).
std::string Wrap(const std::string& text, std::size_t width, std::size_t indent, std::size_t firstIndent);

// `tavix-cli NAME --help`: the synopsis of every form, what each does with its options, the notes, the example
// and the exit status.
std::string HelpText(const std::string& name, const CommandHelp& help);

} // namespace cli
