#include "cli/Cli.h"

#include "base/Error.h"
#include "base/FileProblem.h"
#include "cli/Commands.h"
#include "settings/AppIdentity.h"

#include <ostream>
#include <string>

namespace cli {

const std::vector<const Command*>& Commands() {
    // One line per command, in the order --help lists them.
    static const std::vector<const Command*> commands = {
        &kHeaderCommand, &kOsdCommand, &kPaletteCommand, &kFontCommand,
        &kAosdCommand,   &kWavCommand, &kMergeCommand,   &kBuildCommand, &kDecodeCommand,
    };
    return commands;
}

std::string MainHelpText() {
    std::string text = "usage: tavix-cli COMMAND [ARGS]\n"
                       "       tavix-cli COMMAND --help\n"
                       "       tavix-cli help [COMMAND]\n"
                       "       tavix-cli --version\n"
                       "\nCommands:\n";
    for (const Command* command : Commands()) {
        std::string head = std::string("  ") + command->name;
        head.resize(12, ' ');
        text += head + Wrap(command->help.summary, kHelpWidth, 12, 12).substr(12);
    }
    text += "\n";
    text += Wrap("Every command writes exactly the bytes the window writes for the same inputs and choices. "
                 "'tavix-cli COMMAND --help' shows a command's forms, its options with their defaults and an "
                 "example.",
                 kHelpWidth, 0, 0);
    text += "\n";
    text += Wrap(kExitStatusText, kHelpWidth, 0, 0);
    return text;
}

namespace {

const Command* Find(const std::string& name) {
    for (const Command* command : Commands())
        if (name == command->name) return command;
    return nullptr;
}

// A usage error's one line names the command (unless its text starts with it) and points at its help.
std::string UsageLine(const Command* command, const std::string& message) {
    if (!command) return "tavix-cli: " + message + " (see 'tavix-cli --help')";
    const std::string name = command->name;
    const bool named = message.rfind(name + " ", 0) == 0 || message.rfind(name + ":", 0) == 0;
    return "tavix-cli: " + (named ? "" : name + ": ") + message + " (see 'tavix-cli " + name + " --help')";
}

} // namespace

void PrintNotes(const base::Notes& notes, std::ostream& out, std::ostream& err) {
    for (const base::Note& note : notes)
        (note.kind == base::Note::Kind::Status ? out : err) << note.text << '\n';
}

bool Report(const base::Failure& failure, const base::Notes& notes, std::ostream& out, std::ostream& err) {
    if (failure) err << *failure << '\n';
    PrintNotes(notes, out, err);
    return !failure && base::TextsOf(notes, base::Note::Kind::Error).empty();
}

bool Accepted(const picture::OpenOutcome& outcome, std::ostream& err) {
    if (!outcome.failure) return true;
    err << *outcome.failure << '\n' << base::DetailLines(outcome.detail);
    if (outcome.png && outcome.status == picture::OpenStatus::DeepColour) err << kPngDepthHint << '\n';
    return false;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Command* command = nullptr;
    try {
        if (args.empty()) throw UsageError{"no command given"};
        if (args[0] == "--help" || args[0] == "-h" || (args[0] == "help" && args.size() == 1)) {
            out << MainHelpText();
            return kExitOk;
        }
        if (args[0] == "--version") {
            out << settings::AppVersion << '\n';
            return kExitOk;
        }
        if (args[0] == "help") {
            if (args.size() > 2) throw UsageError{"help takes one COMMAND"};
            command = Find(args[1]);
            if (!command) throw UsageError{"no command '" + args[1] + "' to help with"};
            out << HelpText(command->name, command->help);
            return kExitOk;
        }
        command = Find(args[0]);
        if (!command) throw UsageError{"unknown command '" + args[0] + "'"};
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        for (const std::string& a : rest)
            if (a == "--help") {
                out << HelpText(command->name, command->help);
                return kExitOk;
            }
        return command->run(rest, out, err);
    } catch (const UsageError& e) {
        err << UsageLine(command, e.message) << '\n';
        return kExitUsage;
    } catch (const base::Error& e) {
        err << e.what() << '\n';
        return kExitFailure;
    }
}

} // namespace cli
