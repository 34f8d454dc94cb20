#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace base {

// What an operation tells the user when it could not do its job: the exact message text the window shows
// (through DialogPrintError or ShowMessage, as the tool's texts say) and the CLI prints before exiting 1.
// Empty when the job was done. Every operation reports this way, in a result member named `failure` or as
// its return value; Error below is only for what no handler deals with.
using Failure = std::optional<std::string>;

// A job's message with the reason a file gave, on a line of its own: "Create FONT File Error !!!" and
// "cannot write FontBank.bin: File too large". The message alone when there is no reason.
inline std::string WithReason(const std::string& message, const std::string& reason) {
    return reason.empty() ? message : message + "\n" + reason;
}

// A failure a handler does not deal with itself (a file that cannot be created, a picture that cannot be
// decoded). The window shows what() in an error box at the event loop and goes on; the CLI prints it and
// exits 1. The text is the message the user sees, complete.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace base
