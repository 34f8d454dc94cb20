#include "ui/Guarded.h"

#include <exception>
#include <iostream>

namespace ui {

namespace {
std::function<void(const std::string&)>& Reporter() {
    static std::function<void(const std::string&)> reporter;
    return reporter;
}
} // namespace

void SetUncaughtReporter(std::function<void(const std::string&)> reporter) {
    Reporter() = std::move(reporter);
}

void ReportUncaught(const std::string& message) {
    if (Reporter())
        Reporter()(message);
    else
        std::cerr << message << '\n';
}

void RunGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ReportUncaught(e.what());
    } catch (...) {
        ReportUncaught("An unexpected error ended the operation.");
    }
}

} // namespace ui
