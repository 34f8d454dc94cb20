#pragma once

#include <functional>
#include <string>

namespace ui {

// Who shows an error that escaped a handler (the main window's message boxes). Without one the message goes
// to stderr.
void SetUncaughtReporter(std::function<void(const std::string&)> reporter);
void ReportUncaught(const std::string& message);

// Runs a handler; an exception it throws is reported as an uncaught error and goes no further, so it never
// unwinds through the toolkit's own frames. Whatever the handler changed before stays changed.
void RunGuarded(const std::function<void()>& handler);

// A slot that runs handler guarded, for connecting signals to handlers.
template <typename Handler> auto Guarded(Handler handler) {
    return [handler]() { RunGuarded(handler); };
}

} // namespace ui
