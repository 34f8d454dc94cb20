#pragma once

#include <stdexcept>
#include <string>

namespace base {

// A failure a handler does not deal with itself (a file that cannot be created, a picture that cannot be
// decoded). The window shows what() in an error box at the event loop and goes on; the CLI prints it and
// exits 1. The text is the message the user sees, complete.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace base
