#include "shell/QtApplication.h"

#include <exception>
#include <iostream>

namespace shell {

namespace {
std::function<void(const std::string&)>& Reporter() {
    static std::function<void(const std::string&)> reporter;
    return reporter;
}
} // namespace

TavixApplication::TavixApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void TavixApplication::SetUncaughtReporter(std::function<void(const std::string&)> reporter) {
    Reporter() = std::move(reporter);
}

void TavixApplication::ReportUncaught(const std::string& message) {
    if (Reporter())
        Reporter()(message);
    else
        std::cerr << message << '\n';
}

bool TavixApplication::notify(QObject* receiver, QEvent* event) {
    // Handlers are connected through RunGuarded; this is the last line for anything else.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportUncaught(e.what());
    } catch (...) {
        ReportUncaught("An unexpected error ended the operation.");
    }
    return false;
}

void RunGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        TavixApplication::ReportUncaught(e.what());
    } catch (...) {
        TavixApplication::ReportUncaught("An unexpected error ended the operation.");
    }
}

} // namespace shell
