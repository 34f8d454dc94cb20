#pragma once

#include <QApplication>

#include <functional>
#include <string>

namespace shell {

// The application object. An error that escapes a handler ends that handler only: it is shown in an error
// box and the event loop goes on, whatever the handler changed before stays changed.
class TavixApplication final : public QApplication {
public:
    TavixApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Who shows an error that escaped a handler (the main window's message boxes). Without one the
    // message goes to stderr.
    static void SetUncaughtReporter(std::function<void(const std::string&)> reporter);
    static void ReportUncaught(const std::string& message);
};

// Runs a handler; an exception it throws is reported as an uncaught error and goes no further, so it never
// unwinds through the toolkit's own frames.
void RunGuarded(const std::function<void()>& handler);

// A slot that runs handler guarded, for connecting signals to handlers.
template <typename Handler> auto Guarded(Handler handler) {
    return [handler]() { RunGuarded(handler); };
}

} // namespace shell
