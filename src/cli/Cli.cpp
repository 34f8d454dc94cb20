#include "cli/Cli.h"

#include "base/Error.h"
#include "bitmap/BmpLoader.h"
#include "bitmap/HeaderView.h"
#include "shell/Settings.h"

#include <functional>
#include <map>
#include <memory>
#include <ostream>

namespace cli {

namespace {

// A command line that cannot be run; the text is the one-line message for stderr.
struct UsageError {
    std::string message;
};

constexpr const char* kHelp =
    "usage: tavix-cli COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  header FILE.bmp       print the rows of the two BMP header grids (range, value, description)\n"
    "\n"
    "options:\n"
    "  --help                show this text\n"
    "  --version             print the version\n";

void PrintRow(std::ostream& out, const bitmap::HeaderRow& row) {
    out << row.range << '\t' << row.value << '\t' << row.description << '\n';
}

int Header(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) throw UsageError{"header takes one FILE.bmp"};
    auto bm = std::make_unique<bitmap::CurrentBitmap>();
    const auto result = bitmap::LoadBitmapFile(*bm, args[0]);
    if (!result.headersRead) {
        err << bitmap::MessageOf(result.status) << '\n';
        return kExitFailure;
    }
    out << "File Header:\n";
    PrintRow(out, bitmap::HeaderTitles());
    for (const auto& row : bitmap::FileHeaderRows(bm->FileHeader)) PrintRow(out, row);
    out << "Info Header:\n";
    PrintRow(out, bitmap::HeaderTitles());
    for (const auto& row : bitmap::InfoHeaderRows(bm->InfoHeader)) PrintRow(out, row);
    return kExitOk;
}

using Command = std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)>;

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands = {
        {"header", Header},
    };
    return commands;
}

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        if (args.empty()) throw UsageError{"no command given (try --help)"};
        if (args[0] == "--help" || args[0] == "-h") {
            out << kHelp;
            return kExitOk;
        }
        if (args[0] == "--version") {
            out << shell::AppVersion << '\n';
            return kExitOk;
        }
        const auto it = Commands().find(args[0]);
        if (it == Commands().end()) throw UsageError{"unknown command '" + args[0] + "' (try --help)"};
        return it->second(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    } catch (const UsageError& e) {
        err << "tavix-cli: " << e.message << '\n';
        return kExitUsage;
    } catch (const base::Error& e) {
        err << e.what() << '\n';
        return kExitFailure;
    }
}

} // namespace cli
