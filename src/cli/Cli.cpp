#include "cli/Cli.h"

#include "base/Error.h"
#include "base/FileProblem.h"
#include "cli/Commands.h"
#include "settings/AppIdentity.h"

#include <ostream>

namespace cli {

namespace {

// The registry: one line per command, in the order --help lists them.
constexpr const Command* kCommands[] = {
    &kHeaderCommand, &kOsdCommand, &kPaletteCommand, &kFontCommand,
    &kAosdCommand,   &kWavCommand, &kMergeCommand,   &kBuildCommand, &kDecodeCommand,
};

void PrintHelp(std::ostream& out) {
    out << "usage: tavix-cli COMMAND [ARGS]\n\ncommands:\n";
    for (const Command* command : kCommands)
        out << command->help;
    out << "\n"
           "options:\n"
           "  --help                show this text\n"
           "  --version             print the version\n"
           "\n"
           "Exit status: 0 done, 1 the job failed (the message says why), 2 the command line is wrong.\n";
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
    try {
        if (args.empty()) throw UsageError{"no command given (try --help)"};
        if (args[0] == "--help" || args[0] == "-h") {
            PrintHelp(out);
            return kExitOk;
        }
        if (args[0] == "--version") {
            out << settings::AppVersion << '\n';
            return kExitOk;
        }
        for (const Command* command : kCommands)
            if (args[0] == command->name)
                return command->run(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
        throw UsageError{"unknown command '" + args[0] + "' (try --help)"};
    } catch (const UsageError& e) {
        err << "tavix-cli: " << e.message << '\n';
        return kExitUsage;
    } catch (const base::Error& e) {
        err << e.what() << '\n';
        return kExitFailure;
    }
}

} // namespace cli
