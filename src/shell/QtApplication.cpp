#include "shell/QtApplication.h"

#include "ui/Guarded.h"

#include <exception>

namespace shell {

TavixApplication::TavixApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TavixApplication::notify(QObject* receiver, QEvent* event) {
    // Handlers are connected through ui::RunGuarded; this is the last line for anything else.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ui::ReportUncaught(e.what());
    } catch (...) {
        ui::ReportUncaught("An unexpected error ended the operation.");
    }
    return false;
}

} // namespace shell
